#include "window/ui/Text_Panel.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "model/ui/Set_Obj_Enabled.h"
#include "platform/Platform.h"
#include "window/Window_Files.h"
#include "window/ui/CRDWindowController.h"
#include "window/ui/Color_Well.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextCursor>
#include <QVBoxLayout>

#include <cmath>

Text_Panel::Text_Panel(CRDWindowController& window) : QObject(&window), window_(window) {
  setObjectName(QStringLiteral("Text_Panel"));
  build_editing_page();
  build_properties_page();
}

void Text_Panel::build_editing_page() {
  QWidget* page = window_.text_edtng_tab;
  Text_Date_style = window_.Text_Date_style;
  Text_Time_style = window_.Text_Time_style;
  auto* layout = Fresh_Page_Layout(page);
  Text_value_Edit = Named(new QPlainTextEdit(page), "Text_value_Edit");
  Text_value_Edit->setTabChangesFocus(true);
  insert_template_btn = Named(new QPushButton(QStringLiteral("Use Template Title"), page),
                              "insert_template_btn");
  insert_template_btn->setToolTip(
      QStringLiteral("Choose a greeting of the card's occasion for this text."));
  insert_template_btn->hide();
  Text_Insert_Date_btn = Named(new QPushButton(QStringLiteral("Insert"), page), "Text_Insert_Date_btn");
  Text_Insert_Time_btn = Named(new QPushButton(QStringLiteral("Insert"), page), "Text_Insert_Time_btn");
  layout->addWidget(Text_value_Edit, 1);
  layout->addWidget(insert_template_btn);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Date"), Row_Of({Text_Date_style, Text_Insert_Date_btn}));
  form->addRow(QStringLiteral("Time"), Row_Of({Text_Time_style, Text_Insert_Time_btn}));
  layout->addLayout(form);

  connect(Text_value_Edit, &QPlainTextEdit::textChanged, this, &Text_Panel::textDidChange);
  connect(insert_template_btn, &QPushButton::clicked, &window_,
          &CRDWindowController::Insert_Template_Button);
  connect(Text_Insert_Date_btn, &QPushButton::clicked, this, &Text_Panel::Text_Insert_Date);
  connect(Text_Insert_Time_btn, &QPushButton::clicked, this, &Text_Panel::Text_Insert_Time);
}

void Text_Panel::build_properties_page() {
  QWidget* page = window_.text_prop_tab;
  Text_align_combo = window_.Text_align_combo;
  Text_case_combo = window_.Text_case_combo;
  auto* layout = Fresh_Page_Layout(page);

  Text_clr = new Color_Well(page, QStringLiteral("Text_clr"));
  Text_font_btn = Named(new QPushButton(QStringLiteral("Font..."), page), "Text_font_btn");
  Text_font_value = Named(new QLabel(page), "Text_font_value");
  Text_font_value->setWordWrap(true);
  Text_Kern_Stepper = Make_Decimal_Stepper(page, "Text_Kern_Stepper", -20, 100, 1, QStringLiteral(" pt"));
  auto* text = new QFormLayout;
  // The font's name and size take a row of their own, the page's whole width.
  text->addRow(Row_Of({Text_font_btn}));
  text->addRow(Text_font_value);
  text->addRow(QStringLiteral("Colour"), Text_clr);
  text->addRow(QStringLiteral("Alignment"), Text_align_combo);
  text->addRow(QStringLiteral("Case"), Text_case_combo);
  text->addRow(QStringLiteral("Kerning"), Text_Kern_Stepper);
  layout->addLayout(text);

  border = Make_Border_Controls(page, layout,
                                {"Text_border_chk", "Text_Border_Box", "Text_bor_Stepper",
                                 "Text_bordr_clr", "Text_border_style"});

  Text_fill_chk = Named(new QCheckBox(QStringLiteral("Background"), page), "Text_fill_chk");
  Text_Fill_Box = Named(new QGroupBox(page), "Text_Fill_Box");
  QGroupBox* box = Text_Fill_Box;
  Text_solid_fill_rd = Named(new QRadioButton(QStringLiteral("Colour"), box), "Text_solid_fill_rd");
  Text_gradient_fill_rd = Named(new QRadioButton(QStringLiteral("Gradient"), box), "Text_gradient_fill_rd");
  Text_fill_clr = new Color_Well(box, QStringLiteral("Text_fill_clr"));
  Text_fill_Grd_1_clr = new Color_Well(box, QStringLiteral("Text_fill_Grd_1_clr"));
  Text_fill_Grd_2_clr = new Color_Well(box, QStringLiteral("Text_fill_Grd_2_clr"));
  Text_grad_Stepper = Make_Int_Stepper(box, "Text_grad_Stepper", 0, 360, QStringLiteral("°"));
  auto* fill = new QFormLayout(box);
  fill->addRow(Text_solid_fill_rd, Text_fill_clr);
  fill->addRow(Text_gradient_fill_rd, Row_Of({Text_fill_Grd_1_clr, Text_fill_Grd_2_clr}));
  fill->addRow(QStringLiteral("Angle"), Text_grad_Stepper);
  layout->addWidget(Text_fill_chk);
  layout->addWidget(Text_Fill_Box);
  Text_alpha_Stepper = Make_Int_Stepper(page, "Text_alpha_Stepper", 0, 100, QStringLiteral(" %"));
  auto* opacity = new QFormLayout;
  opacity->addRow(QStringLiteral("Opacity"), Text_alpha_Stepper);
  layout->addLayout(opacity);
  layout->addStretch(1);

  connect(border.check, &QCheckBox::clicked, this, &Text_Panel::Text_Border_ChkBox);
  connect(Text_fill_chk, &QCheckBox::clicked, this, &Text_Panel::Text_Fill_Chk_Box);
  connect(Text_solid_fill_rd, &QRadioButton::clicked, this, [this] { Text_Fill_RD_Sel(false); });
  connect(Text_gradient_fill_rd, &QRadioButton::clicked, this, [this] { Text_Fill_RD_Sel(true); });
  for (Color_Well* well : {border.color, Text_fill_clr, Text_fill_Grd_1_clr, Text_fill_Grd_2_clr, Text_clr})
    connect(well, &Color_Well::colorChanged, this, &Text_Panel::Update_Text_Graphics);
  for (QSpinBox* stepper : {border.width, Text_grad_Stepper, Text_alpha_Stepper})
    connect(stepper, &QSpinBox::valueChanged, this, &Text_Panel::Update_Text_Graphics);
  connect(Text_Kern_Stepper, &QDoubleSpinBox::valueChanged, this, &Text_Panel::Update_Text_Graphics);
  connect(Text_font_btn, &QPushButton::clicked, this, &Text_Panel::Text_Font_Changed);
}

// ---- Loading and writing -------------------------------------------------------------------

void Text_Panel::Load(CRDGraphic& graphic) {
  const QString template_title = Template_Button_Title(graphic.control_ID);
  insert_template_btn->setVisible(!template_title.isEmpty());
  if (!template_title.isEmpty()) insert_template_btn->setText(template_title);

  const Text_Panel_Values v = Load_Text_Panel(graphic);
  Set_Editor_Text(v.text.value_or(QString()));
  Text_value_Edit->selectAll();
  border.load(v.border);
  Text_fill_chk->setChecked(v.fill_on);
  Text_fill_clr->setColor(v.fill_color);
  Text_fill_Grd_1_clr->setColor(v.gradient_start);
  Text_fill_Grd_2_clr->setColor(v.gradient_end);
  Text_grad_Stepper->setValue(int(std::lround(v.gradient_angle)));
  Text_clr->setColor(v.text_color);
  window_.Text_font = v.font;
  Text_font_value->setText(Font_Value_Label(v.font));
  Text_alpha_Stepper->setValue(int(std::lround(v.opacity_percent)));
  Text_align_combo->setCurrentIndex(v.alignment);
  Text_case_combo->setCurrentIndex(v.letter_case);
  Text_Kern_Stepper->setValue(v.kerning);
  SetObjEnabled(Text_Fill_Box, v.fill_on);
  show_fill_kind(v.gradient);
}

Text_Panel_Values Text_Panel::values() const {
  Text_Panel_Values v;
  v.print_object = window_.print_object_chk->isChecked() ? 1 : 0;
  v.border = border.values();
  v.fill_on = Text_fill_chk->isChecked();
  v.fill_color = Text_fill_clr->color();
  v.gradient = Text_gradient_fill_rd->isChecked();
  v.gradient_start = Text_fill_Grd_1_clr->color();
  v.gradient_end = Text_fill_Grd_2_clr->color();
  v.gradient_angle = Text_grad_Stepper->value();
  v.text_color = Text_clr->color();
  v.font = window_.Text_font;
  // The start of a long text, not edited: the object's characters stay.
  if (!editor_holds_part_) v.text = Text_value_Edit->toPlainText();
  v.opacity_percent = Text_alpha_Stepper->value();
  v.alignment = Text_align_combo->currentIndex();
  v.letter_case = Text_case_combo->currentIndex();
  v.kerning = Text_Kern_Stepper->value();
  return v;
}

void Text_Panel::Update_Text_Graphics() {
  if (Not_Draw_Only_Prop_Change) return;
  Text_Panel_Values v = values();
  const Graphic_List selected = window_.current_canvas()->selectedGraphics();
  // Characters go into a single text only; several texts take the attributes alone.
  if (selected.size() != 1) v.text.reset();
  Write_Selected_Graphics(selected, [&v](CRDGraphic& g) { Write_Text_Panel(v, g); });
}

namespace {
// Whether a text holds a run of more than `longest` characters without white space.
bool Has_Long_Word(const QString& text, qsizetype longest) {
  qsizetype run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > longest) return true;
  }
  return false;
}
}  // namespace

void Text_Panel::Set_Editor_Text(const QString& text) {
  const QSignalBlocker quiet(Text_value_Edit);
  editor_holds_part_ = text.size() > Editor_Shown_Characters;
  qsizetype end = text.size();
  if (editor_holds_part_) {
    end = Editor_Shown_Characters;
    if (text.at(end).isLowSurrogate()) --end;  // not between the halves of a pair
  }
  const QString shown = editor_holds_part_ ? text.left(end) : text;
  // Wrapping at word boundaries measures a word to its end for every line it fills: a long
  // run without a break would take the editor seconds, so such a text wraps anywhere.
  constexpr qsizetype Longest_Word = 1000;
  Text_value_Edit->setWordWrapMode(Has_Long_Word(shown, Longest_Word)
                                       ? QTextOption::WrapAnywhere
                                       : QTextOption::WrapAtWordBoundaryOrAnywhere);
  Text_value_Edit->setPlainText(shown);
}

// ---- Handlers ------------------------------------------------------------------------------

void Text_Panel::textDidChange() {
  try {
    // An edit makes the editor's text the object's text, a long text's unseen rest too.
    editor_holds_part_ = false;
    const QString typed = Text_value_Edit->toPlainText();
    const QString kept = Clean_Typed_Text(typed);
    if (kept != typed) {
      // The caret stays where the user typed, as far as the kept text reaches.
      const int caret = Text_value_Edit->textCursor().position();
      const int removed = int(typed.size() - kept.size());
      Set_Editor_Text(kept);
      QTextCursor cursor = Text_value_Edit->textCursor();
      cursor.setPosition(std::clamp(caret - removed, 0, int(kept.size())));
      Text_value_Edit->setTextCursor(cursor);
    }
    Update_Text_Graphics();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void Text_Panel::insert_at_caret(const QString& text) {
  // Replaces the selection (the whole text right after loading), else goes in at the caret.
  Text_value_Edit->textCursor().insertText(text);
}

void Text_Panel::insert_formatted(QComboBox* patterns, const QString& missing,
                                  QString (*format)(const QString&, const QDateTime&)) {
  const QString pattern = Trim_Str(patterns->currentText());
  if (pattern.isEmpty()) {
    Show_MessageBox(missing);
    return;
  }
  {
    const QSignalBlocker quiet(Text_value_Edit);
    insert_at_caret(format(pattern, now()));
  }
  editor_holds_part_ = false;
  Update_Text_Graphics();
}

void Text_Panel::Text_Insert_Date() {
  insert_formatted(Text_Date_style, QStringLiteral("Please select Date format."), &::Get_date_Value);
}

void Text_Panel::Text_Insert_Time() {
  insert_formatted(Text_Time_style, QStringLiteral("Please select Time format."), &::Get_time_Value);
}

void Text_Panel::Text_Font_Changed() {
  if (const auto chosen =
          platform::Font_Panel(Font_Dialog_Start(window_.Text_font), QStringLiteral("Font")))
    changeTextFont(Font_From_Dialog(window_.Text_font, *chosen));
  else
    Update_Text_Graphics();
}

void Text_Panel::changeTextFont(const QFont& font) {
  try {
    // Only face and size come from the font dialog.
    QFont changed = window_.Text_font;
    changed.setFamily(font.family());
    changed.setStyleName(font.styleName());
    changed.setBold(font.bold());
    changed.setItalic(font.italic());
    changed.setWeight(font.weight());
    if (font.pointSizeF() > 0) changed.setPointSizeF(font.pointSizeF());
    window_.Text_font = changed;
    Text_font_value->setText(Font_Value_Label(changed));
    Update_Text_Graphics();
  } catch (const std::exception& e) {
    Show_NSLog_Message(QString::fromUtf8(e.what()));
  }
}

void Text_Panel::Text_Border_ChkBox() {
  border.enable_box();
  Update_Text_Graphics();
}

void Text_Panel::Text_Fill_Chk_Box() {
  SetObjEnabled(Text_Fill_Box, Text_fill_chk->isChecked());
  if (Text_fill_chk->isChecked()) show_fill_kind(Text_gradient_fill_rd->isChecked());
  Update_Text_Graphics();
}

void Text_Panel::Text_Fill_RD_Sel(bool gradient) {
  show_fill_kind(gradient);
  Update_Text_Graphics();
}

void Text_Panel::show_fill_kind(bool gradient) {
  Text_solid_fill_rd->setChecked(!gradient);
  Text_gradient_fill_rd->setChecked(gradient);
  if (!Text_fill_chk->isChecked()) return;
  Text_fill_clr->setEnabled(!gradient);
  for (QWidget* w : {static_cast<QWidget*>(Text_fill_Grd_1_clr), static_cast<QWidget*>(Text_fill_Grd_2_clr),
                     static_cast<QWidget*>(Text_grad_Stepper)})
    w->setEnabled(gradient);
}
