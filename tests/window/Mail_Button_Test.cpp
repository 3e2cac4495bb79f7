// The Mail button of the design window: it opens the mail dialog with the stored sender,
// and a batch run over a bound series from the live design delivers one card per record
// to every recipient (real SMTP server), then shows record 0 on the front again.

#include "../output/Mail_Test_Support.h"
#include "../output/Output_Test_Support.h"
#include "model/CRDDocument.h"
#include "output/Mail_Plan.h"
#include "output/Mail_Settings.h"
#include "output/ui/Send_Mail.h"
#include "platform/Scripted_Platform.h"
#include "window/ui/CRDWindowController.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QSet>
#include <QToolButton>

namespace {

class Mail_Button : public test_support::Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    window = std::make_unique<CRDWindowController>(&document, scratch.filePath("Lumigrove"));
    window->SetDocumentCanvasSize(QSizeF(72, 36));
    server = std::make_unique<mail_test::Smtp_Server>();  // trusted by the window's folder
    Preferences store = Preferences::sharedInstance();
    store.setsend_email_SenderEmail(mail_test::Login);
    store.setsend_email_Password(mail_test::Password);
    store.setsend_email_SMTP_server(QStringLiteral("127.0.0.1"));
    store.setsend_email_PORT_num(server->port_text());
    store.setsend_email_enable_ssl(QStringLiteral("N"));
    ASSERT_TRUE(store.flush());
    window->Get_Email_Details();
  }
  void TearDown() override {
    window.reset();
    Design_Test::TearDown();
  }

  QTemporaryDir scratch;
  CRDDocument document;
  std::unique_ptr<CRDWindowController> window;
  std::unique_ptr<mail_test::Smtp_Server> server;
  platform::Scoped_Scripted_Platform platform;
};

TEST_F(Mail_Button, SendsOneCardPerRecordFromTheLiveDesign) {
  output_test::Write_Series("Three", "first\nsecond\nthird\n");
  auto text = output_test::Bound<CRDText>(1, QStringLiteral("Three"));
  document.insertGraphics(CRDDocument::Side::Front, {text}, {0});

  QToolButton* button = window->findChild<QToolButton*>(QStringLiteral("Mail_btn"));
  ASSERT_NE(button, nullptr);
  EXPECT_TRUE(button->isEnabled());
  QString shown_sender;
  bool batch_offered = false;
  platform.on_run_modal = [&](QObject* modal) {
    auto* dialog = qobject_cast<Send_Mail*>(modal);
    if (!dialog) return 0;
    shown_sender = dialog->from_txt->text();
    batch_offered = dialog->send_with_batch_chk->isEnabled();
    dialog->to_txt->setText(QStringLiteral("a@example.org, b@example.org"));
    dialog->send_with_batch_chk->click();
    dialog->Send_Button();
    if (Mail_Sender* run = dialog->Current_Run()) run->waitForFinished();
    QCoreApplication::processEvents();
    dialog->Close_Button();
    return -1;
  };
  button->click();

  EXPECT_EQ(shown_sender, mail_test::Login);
  EXPECT_TRUE(batch_offered);
  EXPECT_EQ(platform.messages, QStringList{QStringLiteral("\n") + Mail_Sent_Text});
  const auto received = server->Messages();
  ASSERT_EQ(received.size(), 6);
  QSet<QByteArray> pictures;
  for (const auto& r : received) {
    ASSERT_EQ(r.attachments.size(), 1);
    EXPECT_EQ(r.attachments[0].filename, QStringLiteral("ZELKCard.png"));
    EXPECT_EQ(r.attachments[0].content_type, QStringLiteral("image/png"));
    EXPECT_TRUE(r.attachments[0].data.startsWith("\x89PNG\r\n\x1a\n"));
    pictures.insert(r.attachments[0].data);
  }
  EXPECT_EQ(pictures.size(), 3);
  EXPECT_EQ(output_test::Text_Of(text), QStringLiteral("first"));
}

TEST_F(Mail_Button, CardsWhoseBarcodeCannotBeDrawnAreNotSentAndNamedOnce) {
  output_test::Write_Series("Three", "first\nsecond\nthird\n");
  auto qr = output_test::Bound_Barcode(QStringLiteral("QR Code"), QStringLiteral("Three"));
  qr->qr_size_val = 1000000;  // no picture can be that large
  document.insertGraphics(CRDDocument::Side::Front, {qr}, {0});
  platform.on_run_modal = [&](QObject* modal) {
    auto* dialog = qobject_cast<Send_Mail*>(modal);
    if (!dialog) return 0;
    dialog->to_txt->setText(QStringLiteral("a@example.org"));
    dialog->send_with_batch_chk->click();
    dialog->Send_Button();
    if (Mail_Sender* run = dialog->Current_Run()) run->waitForFinished();
    QCoreApplication::processEvents();
    dialog->Close_Button();
    return -1;
  };
  window->findChild<QToolButton*>(QStringLiteral("Mail_btn"))->click();
  EXPECT_TRUE(server->Messages().isEmpty());
  ASSERT_EQ(platform.messages.size(), 1) << "the workers show nothing; the result once: "
                                         << platform.messages;
  EXPECT_TRUE(platform.messages[0].contains(
      "3 card(s) could not be made and were not sent (record 1, 2, 3): "
      "The picture would be 1000000 x 1000000 points at 600 dpi"))
      << platform.messages[0];
}

}  // namespace
