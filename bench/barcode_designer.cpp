// The designer dialog's live preview: one typed character, from the key press to the new
// picture in the preview, at 600 dpi with the start settings (header, footer, value text,
// margins). Target: under 50 ms for each symbology.

#include "barcode/ui/Barcode_Gen_Window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace {

void press(QWidget* field, QChar ch) {
  QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
  QApplication::sendEvent(field, &down);
  QKeyEvent up(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
  QApplication::sendEvent(field, &up);
}

// The value less its last character is in the field; the last one is typed (a different
// digit each time, so each preview is a new symbol).
void BM_Typed_Character(benchmark::State& state, const char* title, const char* prefix) {
  Barcode_Gen_Window* dialog = Barcode_Gen_Window::defaultInstance();
  QComboBox* type = dialog->barcodeTypePopup;
  type->setCurrentIndex(type->findText(QString::fromLatin1(title)));
  emit type->activated(type->currentIndex());
  const bool two_d = dialog->designer().liner_or_2D_font == 1;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const QChar last = QChar('0' + n++ % 10);
    QWidget* field = nullptr;
    if (two_d) {
      const QSignalBlocker block(dialog->dataText_2D);
      dialog->dataText_2D->setPlainText(QString::fromLatin1(prefix));
      dialog->dataText_2D->moveCursor(QTextCursor::End);
      field = dialog->dataText_2D;
    } else {
      dialog->dataText->setText(QString::fromLatin1(prefix));
      field = dialog->dataText;
    }
    state.ResumeTiming();
    press(field, last);
    if (dialog->designer().barcodeImage().isNull() ||
        dialog->designer().Current_Value() != QString::fromLatin1(prefix) + last) {
      state.SkipWithError("no new preview");
      break;
    }
  }
}

// Value lengths with the typed character: EAN-13 12 digits, Code 128 20 characters, QR 100,
// PDF417 62, Data Matrix 41.
BENCHMARK_CAPTURE(BM_Typed_Character, EAN13, "EAN-13", "40063813339")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Typed_Character, Code128_20, "Code 128", "Lumigrove guest 000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Typed_Character, QR_100, "QR Code",
                  "https://example.org/rsvp?card=birthday-2024&guest=Alexandra%20Montgomery&"
                  "table=12&menu=veg&seat=000")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Typed_Character, PDF417_62, "PDF417",
                  "Lumigrove invitation, Saturday 8 pm, Hall B, table 12, seat 0")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Typed_Character, DataMatrix_41, "DataMatrix",
                  "Lumigrove guest card 2024 table 12 seat ")
    ->Unit(benchmark::kMillisecond);

}  // namespace
