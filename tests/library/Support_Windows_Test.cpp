// The help, share, review and promotion windows and the addresses they open. Addresses go
// through the desktop's real opener path (Qt, then xdg-open) to a stub "xdg-open" first on
// PATH that appends its argument to a file: no browser or mail program ever starts.

#include "library/Support_Links.h"
#include "library/ui/Support_Windows.h"
#include "model/Common_Functions.h"
#include "model/Resource_Folder.h"
#include "model/Shared_Design_State.h"
#include "platform/Scripted_Platform.h"
#include "platform/ui/Qt_Platform.h"
#include "support/Test_Support.h"
#include "support/Deadlock_Guard.h"
#include "support/Watchdog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QUrlQuery>

#include <functional>

#include <sys/stat.h>

namespace {

using test_support::Design_Test;

// Scripted answers, but addresses go to the real desktop opener (recorded as well).
class Opening_Platform : public platform::Scoped_Scripted_Platform {
 public:
  bool Open_Url(const QUrl& url, const std::function<void()>& on_failure) override {
    opened_urls << url;
    return real_.Open_Url(url, on_failure);
  }

 private:
  platform::Qt_Platform real_;
};

class Support_Windows : public Design_Test {
 protected:
  void SetUp() override {
    Design_Test::SetUp();
    ASSERT_TRUE(stub_dir_.isValid());
    log_ = stub_dir_.filePath("opened.txt");
    const QString stub = stub_dir_.filePath("xdg-open");
    QFile script(stub);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // It answers with the status the file "status" holds (0 when there is none).
    script.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log_.toUtf8() + "'\n" +
                 "exit \"$(cat '" + stub_dir_.filePath("status").toUtf8() + "' 2>/dev/null || echo 0)\"\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    // The desktop's program for a file type: what the file "default-program" says.
    QFile query(stub_dir_.filePath("xdg-mime"));
    ASSERT_TRUE(query.open(QIODevice::WriteOnly));
    query.write("#!/bin/sh\ncat '" + stub_dir_.filePath("default-program").toUtf8() + "'\n");
    query.close();
    query.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Set_Default_Program("viewer.desktop");
    old_path_ = qgetenv("PATH");
    qputenv("PATH", stub_dir_.path().toUtf8() + ":" + old_path_);
  }
  void TearDown() override {
    qputenv("PATH", old_path_);
    Design_Test::TearDown();
  }
  void Set_Default_Program(const QByteArray& name) {
    QFile file(stub_dir_.filePath("default-program"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(name + "\n");
  }
  void Set_Opener_Status(int status) {
    QFile file(stub_dir_.filePath("status"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::number(status) + "\n");
  }
  // The messages shown, once there are `count` of them (the opener answers in its own time).
  QStringList messages_when(int count) {
    const test_support::Watchdog guard("waiting for the opener's answer");
    while (platform.messages.size() < count) QTest::qWait(20);
    return platform.messages;
  }
  // The addresses the stub received, waiting until there are at least `count` (or the
  // deadlock guard).
  QStringList arrived(int count) const {
    QDeadlineTimer deadline(test_support::kDeadlock_Guard_Ms);
    QStringList lines;
    do {
      QFile f(log_);
      if (f.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
      if (lines.size() >= count) break;
      QTest::qWait(20);
    } while (!deadline.hasExpired());
    return lines;
  }

  Opening_Platform platform;
  QTemporaryDir stub_dir_;
  QString log_;
  QByteArray old_path_;
};

TEST_F(Support_Windows, MailLinksArriveAsOneEncodedAddress) {
  Promotion_Form* promotion = Promotion_Form::defaultInstance();
  const QString saved_name = promotion->app_name;
  promotion->app_name = "Sample App";
  promotion->software_type = "S";
  promotion->Contact_us_Clicked();
  promotion->app_name = saved_name;
  Open_Link(Mail_Link("a@example.com", "Two lines", "first line\nsecond line"));
  Open_Link(Mail_Link("a@example.com", "Tom & Jérôme #1?", "50% off\n= ok"));

  // Each link starts an opener of its own: they may write in any order.
  const QStringList got = arrived(3);
  ASSERT_EQ(got.size(), 3) << got;
  const auto starting = [&](const QString& start) {
    const QStringList found = got.filter(QRegularExpression("^" + QRegularExpression::escape(start)));
    EXPECT_EQ(found.size(), 1) << start << " in " << got;
    return found.value(0);
  };
  EXPECT_FALSE(
      starting("mailto:seating@example.com?subject=User%20Enquiry%20from%20App:%20Sample%20App&body=")
          .isEmpty());
  EXPECT_EQ(starting("mailto:a@example.com?subject=Two"),
            "mailto:a@example.com?subject=Two%20lines&body=first%20line%0A%0Asecond%20line");
  const QString third_link = starting("mailto:a@example.com?subject=Tom");
  const QUrl third(third_link, QUrl::StrictMode);
  ASSERT_TRUE(third.isValid()) << third_link;
  EXPECT_EQ(third.path(), "a@example.com");
  const QUrlQuery query(third);
  EXPECT_EQ(query.queryItems().size(), 2) << third_link;
  EXPECT_EQ(query.queryItemValue("subject", QUrl::FullyDecoded), "Tom & Jérôme #1?");
  EXPECT_EQ(query.queryItemValue("body", QUrl::FullyDecoded), "50% off\n\n= ok");
  EXPECT_FALSE(third_link.contains(QRegularExpression("[^\\x21-\\x7e]"))) << third_link;
}

TEST_F(Support_Windows, BothReviewButtonsOpenTheReviewPageAndAnswerOne) {
  Review_Form* review = Review_Form::defaultInstance();
  for (auto press : {&Review_Form::OK_Clicked, &Review_Form::Review_Clicked}) {
    platform.on_run_modal = [&](QObject*) {
      (review->*press)();
      return 0;
    };
    EXPECT_EQ(review->Open_Review_Form_Window(), 1);
  }
  const QStringList got = arrived(2);
  EXPECT_EQ(got, QStringList(2, Support_Address(Support_Link::Review_Page)));
}

// Only the two buttons ask for a review: Escape and the title bar's close just end the
// window, with 0, and open nothing.
TEST_F(Support_Windows, EscapeAndCloseEndTheReviewWindowWithoutOpeningThePage) {
  Review_Form* review = Review_Form::defaultInstance();
  const struct {
    const char* what;
    std::function<void()> leave;
  } cases[] = {
      {"Escape", [&] { QTest::keyClick(review, Qt::Key_Escape); }},
      {"close", [&] { review->close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    platform.on_run_modal = [&](QObject* window) {
      EXPECT_EQ(window, review);
      review->show();  // as the modal run shows it
      c.leave();
      return 1;  // a stop code, when one was given, takes its place
    };
    EXPECT_EQ(review->Open_Review_Form_Window(), 0);
    EXPECT_FALSE(review->isVisible());
  }
  EXPECT_TRUE(platform.opened_urls.isEmpty());
}

TEST_F(Support_Windows, AnUnknownProductKeepsWhatWasShownAndOpensNothing) {
  Promotion_Form* promotion = Promotion_Form::defaultInstance();
  platform.on_run_modal = [](QObject*) { return 1; };
  promotion->software_type = "B";
  EXPECT_EQ(promotion->Open_Promotion_Window(), 1);
  EXPECT_EQ(promotion->Software_title->text(), "Lumigrove Badge Maker");
  EXPECT_FALSE(promotion->bundle_image->pixmap().isNull());  // the generated picture
  promotion->software_type = "X";
  promotion->Open_Promotion_Window();
  EXPECT_EQ(promotion->Software_title->text(), "Lumigrove Badge Maker");
  promotion->Mail_Clicked();
  promotion->Contact_us_Clicked();
  promotion->Order_Clicked();
  EXPECT_TRUE(platform.opened_urls.isEmpty());
}

TEST_F(Support_Windows, APromotionPictureThatIsNoRegularFileIsLeftOutAtOnce) {
  // A FIFO in the picture's place would hold the window's thread for ever in a plain load.
  const QString picture = Resource_Path + "/Promotion_B.png";
  QFile::remove(picture);
  ASSERT_EQ(::mkfifo(QFile::encodeName(picture).constData(), 0600), 0);
  Promotion_Form* promotion = Promotion_Form::defaultInstance();
  platform.on_run_modal = [](QObject*) { return 1; };
  promotion->software_type = "B";
  {
    test_support::Watchdog guard("the promotion window over a FIFO picture");
    EXPECT_EQ(promotion->Open_Promotion_Window(), 1);
  }
  EXPECT_EQ(promotion->Software_title->text(), "Lumigrove Badge Maker");
  EXPECT_TRUE(promotion->bundle_image->pixmap().isNull());
}

QString guide_not_opened(const QString& help) {
  return "The user guide could not be opened: no program to show PDF files was found, or it "
         "failed.\n\nThe user guide is the file\n" + help;
}

TEST_F(Support_Windows, TheHelpFileOpensAsItsFileUrlOrIsMissed) {
  const QString help = Resource_Path + "/Help.pdf";
  ASSERT_TRUE(QFileInfo(help).isFile()) << "the build generates the user guide";
  Help_Support window;
  window._Help_File_Label->click();
  EXPECT_EQ(arrived(1), QStringList({QUrl::fromLocalFile(help).toString(QUrl::FullyEncoded)}));
  EXPECT_TRUE(platform.messages.isEmpty()) << platform.messages;

  // No program for PDF files: the opener is not run, and the user learns why and where
  // the guide is.
  Set_Default_Program("");
  window._Help_File_Label->click();
  EXPECT_EQ(platform.messages, QStringList({"\n" + guide_not_opened(help)}));
  EXPECT_EQ(arrived(1).size(), 1);
  platform.messages.clear();
  platform.opened_urls.clear();

  ASSERT_TRUE(QFile::remove(help));
  window.HelpFilePressed();
  EXPECT_EQ(platform.messages, QStringList({"\nHelp file does not exist!"}));
  EXPECT_TRUE(platform.opened_urls.isEmpty());
}

// The opener is there and takes the address, then fails (no program for the type: it exits
// with a failing status after the call has returned): each way in says so, naming the file
// or address.
TEST_F(Support_Windows, AnOpenerThatFailsIsToldWithTheFileOrAddress) {
  const QString help = Resource_Path + "/Help.pdf";
  ASSERT_TRUE(QFileInfo(help).isFile());
  Set_Opener_Status(3);
  Help_Support window;
  const struct {
    const char* what;
    std::function<void()> press;
    QString said;
  } cases[] = {
      {"Help > Open the user guide", [&] { window._Help_File_Label->click(); },
       guide_not_opened(help)},
      {"the start screen's Help", [] { Open_Help_File(); }, guide_not_opened(help)},
      {"a web site", [&] { window.findChild<QPushButton*>("website_1")->click(); },
       "The page could not be opened: no web browser was found, or it failed.\n\nIts address is\n" +
           Support_Address(Support_Link::Website_1)},
      {"support mail", [] { Open_Support_Mail(); },
       "No mail program could be opened. Please write to support@example.com."},
  };
  int shown = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.press();
    const QStringList said = messages_when(++shown);
    ASSERT_EQ(said.size(), shown) << said;
    EXPECT_EQ(said.back(), "\n" + c.said);
  }
}

TEST_F(Support_Windows, ShareAddressesCarryTheSecondSite) {
  const QString site = Support_Address(Support_Link::Website_2);
  const QString encoded = QString::fromLatin1(QUrl::toPercentEncoding(site));
  struct Case {
    Support_Link link;
    const char* path;
    const char* key;
  };
  const Case cases[] = {{Support_Link::Google_Plus, "/share", "url"},
                        {Support_Link::FaceBook, "/share.php", "u"},
                        {Support_Link::Twitter, "/intent/tweet", "url"},
                        {Support_Link::FB_Like, "/plugins/like.php", "href"}};
  for (const Case& c : cases) {
    const QString address = Support_Address(c.link);
    const QUrl url(address, QUrl::StrictMode);
    SCOPED_TRACE(address.toStdString());
    EXPECT_EQ(url.path(), c.path);
    EXPECT_EQ(QUrlQuery(url).queryItemValue(c.key, QUrl::FullyDecoded), site);
    EXPECT_TRUE(address.contains(encoded));
  }
  EXPECT_TRUE(QUrlQuery(QUrl(Support_Address(Support_Link::Twitter))).hasQueryItem("source"));
  EXPECT_EQ(Support_Address(Support_Link::Support_Mail), "mailto:support@example.com");
}

TEST(Support_Files, TheGeneratedUserGuideIsAPdfWithPages) {
  if (!test_support::Have_Program("pdfinfo")) GTEST_SKIP() << "pdfinfo (poppler-utils) missing";
  const QString guide = Generated_Resources_Path() + "/Help.pdf";
  ASSERT_TRUE(QFileInfo(guide).isFile()) << guide;
  const test_support::Process_Result info = test_support::Run_Program("pdfinfo", {guide});
  ASSERT_EQ(info.exit_code, 0) << info.err.toStdString();
  const QRegularExpressionMatch pages =
      QRegularExpression("Pages:\\s+(\\d+)").match(QString::fromUtf8(info.out));
  ASSERT_TRUE(pages.hasMatch()) << info.out.toStdString();
  EXPECT_GE(pages.captured(1).toInt(), 1);
}

// The same opener path under a real X server: Qt's own opener runs the stub.
TEST(Support_Files, LinksUnderXvfb) {
  if (qEnvironmentVariableIsSet("LUMIGROVE_XVFB_CHILD")) GTEST_SKIP() << "inside the child";
  if (!test_support::Have_Program("xvfb-run")) GTEST_SKIP() << "xvfb-run missing";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("LUMIGROVE_XVFB_CHILD", "1");
  const test_support::Process_Result child = test_support::Run_Under_Xvfb(
      {QCoreApplication::applicationFilePath(),
       "--gtest_filter=Support_Windows.MailLinksArriveAsOneEncodedAddress:"
       "Support_Windows.TheHelpFileOpensAsItsFileUrlOrIsMissed"},
      env);
  const QByteArray out = child.out + child.err;
  EXPECT_EQ(child.exit_code, 0) << out.toStdString();
  EXPECT_TRUE(out.contains("[  PASSED  ] 2 tests")) << out.toStdString();
}

}  // namespace
