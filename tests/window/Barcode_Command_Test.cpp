// The design window's barcode command: a barcode made with the tool opens the designer on a
// double click and from the Barcode tab; OK puts the designer's picture and settings on the
// selected graphics; Cancel leaves the card as it was.

#include "Window_Fixture.h"
#include "barcode/ui/Barcode_Gen_Window.h"
#include "model/CRDBarcode.h"
#include "model/Graphic_Archive.h"
#include "model/Shared_Design_State.h"
#include "support/Barcode_Decoders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using test_support::Decoder;

class Barcode_Command : public test_support::Window_Fixture {
 protected:
  Barcode_Gen_Window* designer() const { return Barcode_Gen_Window::defaultInstance(); }

  std::shared_ptr<CRDGraphic> make_barcode() {
    press_tool("Barcode_Tool_btn");
    return window->_graphicView->Selected_Graphic();
  }
  void double_click(QPointF point) {
    CRDGraphicView* canvas = window->_graphicView;
    click(canvas, point);
    mouse(canvas, QEvent::MouseButtonDblClick, point);
    mouse(canvas, QEvent::MouseButtonRelease, point);
  }
  // In the designer's modal run: QR Code with the value, then OK (or Cancel).
  void answer_qr(const QString& value, bool ok = true) {
    platform.on_run_modal = [this, value, ok](QObject* window_run) {
      EXPECT_EQ(window_run, designer());
      QComboBox* type = designer()->barcodeTypePopup;
      type->setCurrentIndex(type->findText(QStringLiteral("QR Code")));
      emit type->activated(type->currentIndex());
      designer()->dataText_2D->setPlainText(value);
      (ok ? designer()->OK_Btn : designer()->Cancel_Btn)->click();
      return 0;
    };
  }
  static QByteArray read_qr(const CRDGraphic& graphic) {
    const Picture picture = static_cast<const CRDBarcode&>(graphic).Shown_Picture();
    QImage flat(picture.image().size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, picture.image());
    const auto read = test_support::Decode(Decoder::ZXing, flat, {"-format", "QRCode"});
    EXPECT_TRUE(read.ran) << read.log;
    return read.data;
  }
};

// A new barcode shows the symbol of its own settings (Code 39 of "0123") at once, and its
// frame holds every symbol it gets, also a QR Code taller than the tool's 120 x 60.
TEST_F(Barcode_Command, TheSymbolShowsFromTheStartInsideItsFrame) {
  const std::shared_ptr<CRDGraphic> barcode = make_barcode();
  const auto& made = static_cast<const CRDBarcode&>(*barcode);
  ASSERT_FALSE(made._barcode_image.isNull());
  EXPECT_EQ(made.Shown_Picture(), made._barcode_image);
  QImage flat(made._barcode_image.image().size(), QImage::Format_RGB32);
  flat.fill(Qt::white);
  QPainter(&flat).drawImage(0, 0, made._barcode_image.image());
  const auto read = test_support::Decode(Decoder::Zbar, flat);
  ASSERT_TRUE(read.ran) << read.log.toStdString();
  EXPECT_EQ(read.data, QByteArray("0123"));
  EXPECT_TRUE(barcode->bounds().contains(made.Picture_Rect()));
  EXPECT_EQ(barcode->bounds().topLeft(), made.Picture_Rect().topLeft());

  answer_qr(QStringLiteral("Party at eight"));
  window->View_barcode_prop_Button();
  ASSERT_EQ(read_qr(*barcode), QByteArray("Party at eight"));
  ASSERT_GT(made.Picture_Rect().height(), 60);
  EXPECT_TRUE(barcode->bounds().contains(made.Picture_Rect()));
}

TEST_F(Barcode_Command, DoubleClickOnABarcodeRunsTheDesignerAndOkPutsThePictureOnIt) {
  const std::shared_ptr<CRDGraphic> barcode = make_barcode();
  ASSERT_EQ(barcode->className(), QStringLiteral("CRDBarcode"));
  answer_qr(QStringLiteral("Party at eight"));
  double_click(barcode->bounds().center());
  ASSERT_EQ(platform.modal_runs.size(), 1);
  EXPECT_EQ(barcode->linear_or_2d, 1);
  EXPECT_EQ(barcode->two_d_font_val, QStringLiteral("Party at eight"));
  EXPECT_EQ(read_qr(*barcode), QByteArray("Party at eight"));
}

TEST_F(Barcode_Command, BarcodeTabButtonGivesEverySelectedGraphicTheSettings) {
  const std::shared_ptr<CRDGraphic> first = make_barcode();
  const std::shared_ptr<CRDGraphic> second = make_barcode();
  const std::shared_ptr<CRDGraphic> shape = add_shape(CRDDocument::Side::Front, "R", {5, 5, 20, 20});
  window->_graphicView->selectAll();
  window->print_object_chk->setChecked(true);
  answer_qr(QStringLiteral("Table 12"));
  // The button on the Barcode tab, shown for the selected barcode.
  window->Show_RHS_Properties(second);
  auto* button = window->barcode_tab->findChild<QPushButton*>(QStringLiteral("View_barcode_prop_btn"));
  ASSERT_NE(button, nullptr);
  button->click();
  ASSERT_EQ(platform.modal_runs.size(), 1);
  for (const auto& barcode : {first, second}) {
    EXPECT_EQ(read_qr(*barcode), QByteArray("Table 12"));
    EXPECT_EQ(barcode->two_d_font_val, QStringLiteral("Table 12"));
    EXPECT_EQ(barcode->print_object, 1);
  }
  // The shape takes the settings and the print flag and stays a shape.
  EXPECT_EQ(shape->two_d_font_val, QStringLiteral("Table 12"));
  EXPECT_EQ(shape->print_object, 1);
  EXPECT_EQ(shape->className(), QStringLiteral("Shape_Control"));
}

TEST_F(Barcode_Command, CancelLeavesTheCardAsItWas) {
  const std::shared_ptr<CRDGraphic> first = make_barcode();
  const std::shared_ptr<CRDGraphic> second = make_barcode();
  window->_graphicView->selectAll();
  const QByteArray before_first = Archive_Graphic(*first);
  const QByteArray before_second = Archive_Graphic(*second);
  answer_qr(QStringLiteral("Never"), false);
  window->View_barcode_prop_Button();
  ASSERT_EQ(platform.modal_runs.size(), 1);
  EXPECT_EQ(Archive_Graphic(*first), before_first);
  EXPECT_EQ(Archive_Graphic(*second), before_second);
}

TEST_F(Barcode_Command, LockedBarcodeDoesNotOpenTheDesigner) {
  const std::shared_ptr<CRDGraphic> barcode = make_barcode();
  barcode->ctrl_is_locked = true;
  answer_qr(QStringLiteral("Locked"));
  double_click(barcode->bounds().center());
  EXPECT_TRUE(platform.modal_runs.isEmpty());
  EXPECT_EQ(barcode->two_d_font_val, QStringLiteral("0123"));
}

}  // namespace
