// The print measurement's driver (not part of the build): one print job of a bound design
// (a text, a QR Code and a Code 128 bound to a series, a shape and one photo) through a
// private cupsd's cups-pdf queue, from the print dialog's Print or from the preview's.
// bench/print_jobs.py builds it against a build tree (this one's or another's) and runs it;
// it needs root, as the printing tests do.
//
//   PRINT_ROAD=dialog|preview PRINT_RECORDS=500 PRINT_OUT=/tmp/job.pdf ./print_jobs
//
// Prints one line: "seconds=<from Print to the job handed to the queue> pdf_seconds=<until
// cups-pdf wrote the PDF> bytes=<PDF size>".

#include "model/CRDDocument.h"
#include "model/Shape_Control.h"
#include "output/Output_Test_Support.h"
#include "output/ui/Print_Wnd.h"
#include "platform/Scripted_Platform.h"
#include "support/Private_Cups.h"
#include "window/ui/CRDWindowController.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLineEdit>

#include <cstdio>

using namespace output_test;

namespace {

class Print_Job : public test_support::Design_Test {};

TEST_F(Print_Job, Measure) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root (cups-pdf)";
  const QString road = qEnvironmentVariable("PRINT_ROAD", QStringLiteral("dialog"));
  const int records = qEnvironmentVariableIntValue("PRINT_RECORDS") > 0
                          ? qEnvironmentVariableIntValue("PRINT_RECORDS")
                          : 500;
  const QString out = qEnvironmentVariable("PRINT_OUT");
  test_support::Private_Cups cups;
  QString why;
  ASSERT_TRUE(cups.Start(&why)) << why.toStdString();
  QTemporaryDir scratch;
  CRDDocument document;
  auto window = std::make_unique<CRDWindowController>(&document, scratch.filePath("Lumigrove"));
  // A card of 95 x 134 mm, four to an A4 sheet.
  window->SetDocumentCanvasSize(QSizeF(270, 380));
  CARD_SIDE_STR = QStringLiteral("2");
  platform::Scoped_Scripted_Platform platform;

  QByteArray names;
  for (int r = 1; r <= records; ++r) names += "Guest " + QByteArray::number(r) + "\n";
  Write_Series("Guests", names);
  auto text = Bound<CRDText>(1, "Guests", 0, QRectF(20, 20, 250, 40));
  auto qr = Bound_Barcode(QStringLiteral("QR Code"), QStringLiteral("Guests"));
  qr->setBounds(QRectF(20, 80, 60, 60));
  auto code128 = Bound_Barcode(QStringLiteral("Code 128"), QStringLiteral("Guests"));
  code128->setBounds(QRectF(20, 170, 250, 60));
  auto shape = std::make_shared<Shape_Control>();
  shape->setBounds(QRectF(200, 80, 60, 60));
  // A photo of 3000 x 2000 pixels in a frame of 120 x 80 points.
  QImage photo(3000, 2000, QImage::Format_RGB32);
  for (int y = 0; y < photo.height(); ++y)
    for (int x = 0; x < photo.width(); ++x)
      photo.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256));
  const QString photo_file = scratch.filePath("photo.jpg");
  ASSERT_TRUE(photo.save(photo_file, "JPEG", 90));
  auto picture = std::make_shared<CRDImage>();
  picture->setFilePath(photo_file);
  picture->setBounds(QRectF(90, 280, 120, 80));
  document.insertGraphics(CRDDocument::Side::Front, {text, qr, code128, shape, picture},
                          {0, 1, 2, 3, 4});

  platform.on_run_modal = [&](QObject* modal) {
    if (auto* dialog = qobject_cast<Print_Wnd*>(modal)) {
      for (auto [field, value, handler] :
           {std::tuple{dialog->Row_Text, "2", &Print_Wnd::Row_Changed},
            std::tuple{dialog->Col_Text, "2", &Print_Wnd::Col_Changed}}) {
        field->setText(QString::fromLatin1(value));
        (dialog->*handler)();
      }
      if (road == QLatin1String("preview")) dialog->PreviewButtonPressed();
      else dialog->PrintButtonPressed();
    } else if (modal->objectName() == QLatin1String("Print_Preview")) {
      if (auto* print = modal->findChild<QAbstractButton*>(QStringLiteral("Print_btn")))
        print->click();
    }
    return 0;
  };
  QElapsedTimer clock;
  clock.start();
  window->Print_Button();
  const double seconds = clock.nsecsElapsed() / 1e9;
  ASSERT_FALSE(platform.messages.isEmpty());
  EXPECT_TRUE(platform.messages.last().contains(QStringLiteral("sheets were sent")))
      << platform.messages.join("|").toStdString();
  const QString pdf = cups.Wait_For_Pdf(1, 3600 * 1000);
  const double pdf_seconds = clock.nsecsElapsed() / 1e9;
  ASSERT_FALSE(pdf.isEmpty());
  if (!out.isEmpty()) {
    QFile::remove(out);
    ASSERT_TRUE(QFile::copy(pdf, out));
  }
  std::printf("seconds=%.2f pdf_seconds=%.2f bytes=%lld\n", seconds, pdf_seconds,
              (long long)QFileInfo(pdf).size());
  window.reset();
}

}  // namespace
