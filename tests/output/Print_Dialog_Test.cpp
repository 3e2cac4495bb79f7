// The print dialog without a printer: what an opening resets, which controls refit the
// sheet, the start of a print, the position pictures and the sheet preview's cells.

#include "output/ui/Print_Wnd.h"

#include "model/Shared_Design_State.h"
#include "output/Sheet_Layout.h"
#include "output/ui/Position_Pictures.h"
#include "output/ui/Sample_Preview.h"
#include "platform/Scripted_Platform.h"
#include "support/Test_Support.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractSpinBox>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

Picture Card(QSizeF points, QColor color) {
  QImage image(int(points.width()), int(points.height()), QImage::Format_RGB32);
  image.fill(color);
  return Picture(image, points);
}

class Print_Dialog : public ::testing::Test {
 protected:
  void SetUp() override {
    Use_Data_Sheet_Values = false;
    Use_Excel_Binding_Values = false;
    Total_Batch_Excel_Card = 0;
    dialog.hooks.render_side = [this](int side) {
      ++renders;
      return Card(card, side == 0 ? Qt::red : Qt::blue);
    };
    dialog.hooks.batch_check = [] {};
    dialog.hooks.recount = [] {};
    // A4 with margins of 18 points, no printer.
    dialog.setPrintInfo({QString(), QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                                QMarginsF(18, 18, 18, 18), QPageLayout::Point)});
  }
  void TearDown() override {
    Use_Data_Sheet_Values = false;
    Total_Batch_Excel_Card = 0;
  }

  // Opens the dialog and runs `during` inside its modal run.
  void Open(const std::function<void()>& during) {
    platform.on_run_modal = [this, during](QObject* window) {
      if (window == &dialog) during();
      else modal_names << window->objectName();  // the preview is closed at once
      return 0;
    };
    ASSERT_TRUE(dialog.Open_Print_Wnd());
  }

  void Type(QLineEdit* field, const QString& text, void (Print_Wnd::*handler)()) {
    field->setText(text);
    (dialog.*handler)();
  }

  platform::Scoped_Scripted_Platform platform;
  Print_Wnd dialog;
  QSizeF card{252.28, 144.57};  // 89 x 51 mm
  int renders = 0;
  QStringList modal_names;
};

TEST_F(Print_Dialog, EveryOpeningStartsFromTheSameSheet) {
  Sheet_Layout& l = Print_Layout();
  Open([&] {
    dialog.matrix_card_side->button(0)->click();
    dialog.Auto_Center_chk_bx->click();
    dialog.Show_Margins->click();
    dialog.Position_Clicked(5);
    Type(dialog.Row_Text, QStringLiteral("3"), &Print_Wnd::Row_Changed);
  });
  EXPECT_EQ(l.Print_Card_Side, QStringLiteral("BOTH"));
  EXPECT_EQ(l.Print_Row, 2);  // three rows of front above back do not fit

  Use_Data_Sheet_Values = true;
  Total_Batch_Excel_Card = 7;
  Open([&] {
    EXPECT_EQ(l.Print_Card_Side, QStringLiteral("F"));
    EXPECT_EQ(l.Print_Card_Algn, QStringLiteral("U"));
    EXPECT_FALSE(dialog.print_alignment->isEnabled());
    EXPECT_EQ(l.Print_Row, 1);
    EXPECT_EQ(l.Print_Col, 1);
    EXPECT_EQ(l.label_align_val, 1);
    EXPECT_FALSE(l.auto_center_flag);
    EXPECT_TRUE(l.Show_margin_rect);
    EXPECT_TRUE(dialog.align_Gp_Bx->isEnabled());
    EXPECT_FALSE(l.loading);
    // One cell of exactly the card's size, no refit.
    EXPECT_FLOAT_EQ(l.label_width, 252.28f);
    EXPECT_FLOAT_EQ(l.label_hight, 144.57f);
    EXPECT_EQ(dialog.width_Text->text(), QStringLiteral("89.00"));
    EXPECT_EQ(dialog.height_Text->text(), QStringLiteral("51.00"));
    // A bound series: its records are the count, and the most the stepper allows.
    EXPECT_TRUE(dialog.print_with_batch_chk->isChecked());
    EXPECT_FALSE(dialog.print_with_excel_chk->isEnabled());
    EXPECT_EQ(l.Total_Label, 7);
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("7"));
    EXPECT_EQ(dialog.Total_Stepper->maximum(), 7);
    // Paper and margins from the print info.
    EXPECT_EQ(dialog.Size_id->text(), QStringLiteral("209.90 x 297.04"));
    EXPECT_EQ(dialog.l_mar_id->text(), QStringLiteral("6.35"));
    EXPECT_FLOAT_EQ(l.Bot_Mar, 18);
    // Unticking the series: the count falls to 1.
    dialog.print_with_batch_chk->click();
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("1"));
  });
  EXPECT_EQ(renders, 4);  // front and back at each opening
}

TEST_F(Print_Dialog, RefitsAfterTheControlsThatChangeTheSheet) {
  Sheet_Layout& l = Print_Layout();
  Open([&] {
    Type(dialog.horz_mar_Text, QStringLiteral("5"), &Print_Wnd::Horz_Margin_Changed);
    Type(dialog.vert_mar_Text, QStringLiteral("5"), &Print_Wnd::Vert_Margin_Changed);
    Type(dialog.Col_Text, QStringLiteral("3"), &Print_Wnd::Col_Changed);
    Type(dialog.Row_Text, QStringLiteral("6"), &Print_Wnd::Row_Changed);
    EXPECT_EQ(l.Print_Col, 2);
    EXPECT_EQ(l.Print_Row, 5);
    EXPECT_EQ(dialog.Col_Text->text(), QStringLiteral("2"));
    EXPECT_EQ(dialog.Row_Stepper->value(), 5);
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("10"));
    EXPECT_DOUBLE_EQ(dialog.horz_mar_Stepper->value(), 5);

    // A position moves the block without a refit.
    dialog.Row_Text->setText(QStringLiteral("4"));
    dialog.Position_Clicked(9);
    EXPECT_EQ(l.Print_Row, 5);
    EXPECT_EQ(l.label_align_val, 9);

    // Auto-centre refits and locks the position and the gap steppers.
    dialog.Auto_Center_chk_bx->click();
    EXPECT_EQ(l.Print_Row, 4);
    EXPECT_NEAR(l.horz_mar, 18.14, 0.01);
    EXPECT_FALSE(dialog.align_Gp_Bx->isEnabled());
    EXPECT_FALSE(dialog.horz_mar_Stepper->isEnabled());
    EXPECT_TRUE(dialog.horz_mar_Text->isEnabled());

    // Both sides one above the other double the cell; the fields keep one card.
    dialog.matrix_card_side->button(0)->click();
    EXPECT_TRUE(dialog.print_alignment->isEnabled());
    EXPECT_NEAR(l.label_hight, 289.13, 0.01);
    EXPECT_EQ(dialog.height_Text->text(), QStringLiteral("51.00"));
    dialog.print_alignment->setCurrentIndex(1);
    dialog.comboBoxSelectionDidChange(dialog.print_alignment);
    EXPECT_EQ(l.Print_Card_Algn, QStringLiteral("L"));
    EXPECT_NEAR(l.label_width, 504.57, 0.01);
    EXPECT_EQ(l.Print_Col, 1);

    // Landscape turns the paper and refits.
    dialog.Orient_ComboBox->setCurrentIndex(1);
    dialog.comboBoxSelectionDidChange(dialog.Orient_ComboBox);
    EXPECT_EQ(l.paper, QSizeF(842, 595));
    EXPECT_EQ(l.Print_Col, 1);
    EXPECT_EQ(l.Print_Row, 2);
    EXPECT_NEAR(l.vert_mar, (559 - 2 * 144.57) / 3, 0.01);
  });
}

TEST_F(Print_Dialog, PrintStartChecksTheCountAndTheCardSize) {
  Sheet_Layout& l = Print_Layout();
  Open([&] {
    Type(dialog.Total_Text, QStringLiteral("0"), &Print_Wnd::Total_Val_Changed);
    dialog.PrintButtonPressed();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].trimmed(), QStringLiteral("There is no barcode to print."));

    // Too wide for the paper: the question, and No prints nothing.
    platform.messages.clear();
    Type(dialog.width_Text, QStringLiteral("250"), &Print_Wnd::Width_Changed);
    EXPECT_EQ(l.Print_Col, 1);
    dialog.PreviewButtonPressed();
    ASSERT_EQ(platform.questions.size(), 1);
    EXPECT_TRUE(platform.questions[0].startsWith(
        QStringLiteral("'Card Size' is bigger than selected 'Paper Size'")));
    EXPECT_TRUE(platform.messages.isEmpty());
    EXPECT_TRUE(modal_names.isEmpty()) << "no preview opened";

    // A typed fraction keeps its integer part.
    Type(dialog.width_Text, QStringLiteral("89"), &Print_Wnd::Width_Changed);
    Type(dialog.Total_Text, QStringLiteral("2.7"), &Print_Wnd::Total_Val_Changed);
    EXPECT_EQ(dialog.Total_Stepper->value(), 2);
    dialog.PreviewButtonPressed();
    EXPECT_EQ(l.Total_Label_Real, 2);
    EXPECT_EQ(l.barcode_counter, 0);

    // 120 cards at 1 x 2: the preview says once that it shows 50 sheets, then opens.
    platform.messages.clear();
    modal_names.clear();
    Type(dialog.Col_Text, QStringLiteral("2"), &Print_Wnd::Col_Changed);
    Type(dialog.Total_Text, QStringLiteral("120"), &Print_Wnd::Total_Val_Changed);
    dialog.PreviewButtonPressed();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].trimmed().startsWith(
        QStringLiteral("For Qualitative and Performance reason, previewer shows print previews "
                       "of only first 50 sheets.")));
    EXPECT_EQ(modal_names, QStringList{QStringLiteral("Print_Preview")});
  });
}

// A failed front render opens the dialog at 0 x 0; rows and columns typed up to two
// thousand million then keep one cell (and the preview one label), not billions.
TEST_F(Print_Dialog, ACardWithoutSizeKeepsOneCell) {
  Sheet_Layout& l = Print_Layout();
  dialog.hooks.render_side = [](int) { return Picture(); };
  Open([&] {
    EXPECT_EQ(dialog.width_Text->text(), QStringLiteral("0.00"));
    Type(dialog.Row_Text, QStringLiteral("1999999999"), &Print_Wnd::Row_Changed);
    Type(dialog.Col_Text, QStringLiteral("1.9e9"), &Print_Wnd::Col_Changed);
    EXPECT_EQ(l.Print_Row, 1);
    EXPECT_EQ(l.Print_Col, 1);
    EXPECT_EQ(dialog.Row_Text->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.Col_Text->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.Total_Text->text(), QStringLiteral("1"));
    // The same with the free space spread as gaps.
    dialog.Auto_Center_chk_bx->click();
    Type(dialog.Row_Text, QStringLiteral("1999999999"), &Print_Wnd::Row_Changed);
    EXPECT_EQ(l.Print_Row, 1);
    EXPECT_EQ(l.Print_Col, 1);
  });
}

// Each number has one field: the steppers beside them show their arrows only, not a second
// copy of the number clipped to a character or two.
TEST_F(Print_Dialog, SteppersShowNoSecondNumber) {
  Open([&] {
    dialog.show();
    const QList<QAbstractSpinBox*> steppers = {
        dialog.width_Stepper,    dialog.height_Stepper,   dialog.Row_Stepper,
        dialog.Col_Stepper,      dialog.horz_mar_Stepper, dialog.vert_mar_Stepper,
        dialog.Total_Stepper,    dialog.Copies_Stepper};
    for (QAbstractSpinBox* stepper : steppers) {
      ASSERT_TRUE(stepper->isVisible()) << stepper->objectName();
      const QLineEdit* own_text = stepper->findChild<QLineEdit*>();
      ASSERT_NE(own_text, nullptr);
      EXPECT_FALSE(own_text->isVisible()) << stepper->objectName();
      EXPECT_LE(stepper->width(), 30) << stepper->objectName();
    }
    dialog.hide();
  });
}

TEST(Print_Paper_Names, FoundByTheirSizeTexts) {
  struct Case {
    const char *width, *height, *name;
  };
  const Case cases[] = {
      {"210.00", "297.00", "A4"},       {"216.00", "356.00", "US Legal"},
      {"215.90", "279.40", "Letter"},   {"184.00", "267.00", "Executive"},
      {"", "297.00", ""},               {"211.00", "297.00", ""},
      {"00", "00", "Executive"},  // every row matches; the last one, Executive, wins
  };
  for (const Case& c : cases)
    EXPECT_EQ(Print_Wnd::Find_Papaer_Name_From_Size(QString::fromLatin1(c.width),
                                                    QString::fromLatin1(c.height)),
              QString::fromLatin1(c.name))
        << c.width << " x " << c.height;
}

TEST_F(Print_Dialog, PositionPicturesAreDrawnForEveryName) {
  QStringList names = Position_Picture_Names() + Position_Picture_Selected_Names();
  ASSERT_EQ(names.size(), 18);
  EXPECT_EQ(names[8], QStringLiteral("boottom_right"));
  EXPECT_EQ(names[13], QStringLiteral("middle_center_sel"));
  for (int k = 0; k < 9; ++k) {
    const QImage plain = Position_Picture(names[k]), chosen = Position_Picture(names[9 + k]);
    ASSERT_FALSE(plain.isNull()) << names[k];
    ASSERT_FALSE(chosen.isNull()) << names[9 + k];
    // The button's own cell is filled, the others are light.
    const QPoint own(4 + (k % 3) * 10 + 4, 4 + (k / 3) * 10 + 4);
    const QPoint other(4 + ((k + 1) % 3) * 10 + 4, own.y());
    EXPECT_LT(plain.pixelColor(own).lightness(), plain.pixelColor(other).lightness()) << k;
    EXPECT_NE(plain.pixelColor(own), chosen.pixelColor(own)) << k;
  }
  EXPECT_TRUE(Position_Picture(QStringLiteral("bottom_right")).isNull());
}

// The preview at 1 pixel a point: which cells carry a label and an outline.
class Print_Preview_Sheet : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = Print_Layout();
    Sheet_Layout& l = Print_Layout();
    l = Sheet_Layout();
    l.paper = QSizeF(300, 200);
    l.Print_Row = 2;
    l.Print_Col = 3;
    l.label_width = 100;
    l.label_hight = 100;
    l.Print_Card_Side = QStringLiteral("F");
    preview.setFixedSize(300, 200);
  }
  void TearDown() override { Print_Layout() = saved; }

  // Dark pixels (label text or outline) inside a rectangle of the widget.
  int Ink(const QImage& image, QRect r, bool red = false) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        const QColor c = image.pixelColor(x, y);
        n += red ? (c.red() > 150 && c.green() < 100) : c.lightness() < 200;
      }
    return n;
  }

  Sheet_Layout saved;
  Sample_Preview preview;
  Picture front = Card({80, 40}, Qt::red);
};

TEST_F(Print_Preview_Sheet, LabelsAndOutlinesEveryCell) {
  preview.Set_Front_Image(&front);
  QImage image = preview.imageRepresentation();
  ASSERT_EQ(image.size(), QSize(300, 200));
  for (int cell = 0; cell < 6; ++cell) {
    const QRect r((cell % 3) * 100, (cell / 3) * 100, 100, 100);
    EXPECT_GT(Ink(image, r.adjusted(25, 40, -25, -40)), 20) << "label of cell " << cell;
    EXPECT_GT(Ink(image, QRect(r.left() + 10, r.top(), 80, 1)), 60) << "outline of cell " << cell;
  }
  // "Card" and "Back" labels differ.
  Print_Layout().Print_Card_Side = QStringLiteral("B");
  EXPECT_NE(preview.imageRepresentation(), image);

  // Without outlines only the labels remain; a smaller label area still centres.
  Print_Layout().Show_margin_rect = false;
  image = preview.imageRepresentation();
  EXPECT_EQ(Ink(image, QRect(10, 0, 80, 1)), 0);
  EXPECT_GT(Ink(image, QRect(25, 40, 50, 20)), 20);

  // Both sides, one above the other: a label in each half of the cell.
  Print_Layout().Print_Card_Side = QStringLiteral("BOTH");
  Print_Layout().Print_Card_Algn = QStringLiteral("U");
  front = Card({80, 50}, Qt::red);
  image = preview.imageRepresentation();
  EXPECT_GT(Ink(image, QRect(20, 15, 60, 20)), 20) << "Card 1 in the upper half";
  EXPECT_GT(Ink(image, QRect(20, 65, 60, 20)), 20) << "Back 1 in the lower half";
}

TEST_F(Print_Preview_Sheet, TooManyCellsAreCountedNotDrawn) {
  preview.Set_Front_Image(&front);
  Print_Layout().Print_Row = 400;
  Print_Layout().Print_Col = 300;
  Print_Layout().label_width = Print_Layout().label_hight = 0.5f;
  const QImage image = preview.imageRepresentation();
  EXPECT_GT(Ink(image, QRect(0, 60, 300, 80), true), 20) << "a red note says how many";
}

TEST_F(Print_Preview_Sheet, InvalidDataWithoutACardAndNothingWithoutPaper) {
  Picture none;
  preview.Set_Front_Image(&none);
  const QImage image = preview.imageRepresentation();
  EXPECT_GT(Ink(image, QRect(0, 30, 100, 40), true), 20);
  EXPECT_GT(Ink(image, QRect(200, 130, 100, 40), true), 20);
  Print_Layout().paper = QSizeF();
  EXPECT_TRUE(preview.imageRepresentation().isNull());
}

}  // namespace
