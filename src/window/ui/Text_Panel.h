#pragma once
// The text panel: the editing page (the text itself, greeting template, date and time)
// and the properties page (border, background, opacity, colour, font, alignment, case,
// kerning). Typing changes the selected text at once; every other control writes the
// whole panel into the selected graphics of the current side (Update_Text_Graphics).

#include "window/Object_Panel_Values.h"
#include "window/ui/Panel_Controls.h"

#include <QDateTime>
#include <QFont>
#include <QObject>

#include <functional>

class CRDWindowController;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class Text_Panel : public QObject {
  Q_OBJECT

 public:
  explicit Text_Panel(CRDWindowController& window);

  // Fills both pages from a text (the caller holds Not_Draw_Only_Prop_Change); the
  // editor's whole text is selected.
  void Load(CRDGraphic& graphic);
  Text_Panel_Values values() const;
  void Update_Text_Graphics();
  // Shows a text in the editor without counting as typing. The editor holds at most
  // Editor_Shown_Characters of it (as many as a text box shows): a longer text shows its
  // start, and its characters are kept as they are until the editor's text is edited (an
  // edit keeps at most the 250 typed characters a text may take from the editor anyway).
  void Set_Editor_Text(const QString& text);
  static constexpr qsizetype Editor_Shown_Characters = qsizetype(1) << 16;
  // The editor shows only the start of the object's text.
  bool Editor_Holds_Part() const { return editor_holds_part_; }

  // Handlers.
  void textDidChange();
  void Text_Insert_Date();
  void Text_Insert_Time();
  void Text_Font_Changed();
  void changeTextFont(const QFont& font);
  void Text_Border_ChkBox();
  void Text_Fill_Chk_Box();
  void Text_Fill_RD_Sel(bool gradient);

  // The clock of date and time insertion.
  std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };

  // Editing page.
  QPlainTextEdit* Text_value_Edit = nullptr;
  // Shown for the invitation's title and message: opens the greeting picker.
  QPushButton* insert_template_btn = nullptr;
  QComboBox *Text_Date_style = nullptr, *Text_Time_style = nullptr;  // the window's
  QPushButton *Text_Insert_Date_btn = nullptr, *Text_Insert_Time_btn = nullptr;
  // Properties page.
  Border_Controls border;
  QCheckBox* Text_fill_chk = nullptr;
  QGroupBox* Text_Fill_Box = nullptr;
  QRadioButton *Text_solid_fill_rd = nullptr, *Text_gradient_fill_rd = nullptr;
  Color_Well *Text_fill_clr = nullptr, *Text_fill_Grd_1_clr = nullptr, *Text_fill_Grd_2_clr = nullptr;
  QSpinBox* Text_grad_Stepper = nullptr;
  QSpinBox* Text_alpha_Stepper = nullptr;
  Color_Well* Text_clr = nullptr;
  QPushButton* Text_font_btn = nullptr;
  QLabel* Text_font_value = nullptr;
  QComboBox *Text_align_combo = nullptr, *Text_case_combo = nullptr;  // the window's
  QDoubleSpinBox* Text_Kern_Stepper = nullptr;

 private:
  void build_editing_page();
  void build_properties_page();
  void show_fill_kind(bool gradient);
  void insert_at_caret(const QString& text);
  void insert_formatted(QComboBox* patterns, const QString& missing,
                        QString (*format)(const QString&, const QDateTime&));
  CRDWindowController& window_;
  bool editor_holds_part_ = false;
};
