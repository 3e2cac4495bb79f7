#pragma once
// The barcode settings that linear models and the barcode renderer read while they
// compute and draw: the designer's fonts, colours, working margins, alignment lists and
// check boxes, plus the metric properties that describe the current two-dimensional
// picture. Barcode_Gen is a plain value: the designer keeps the live one, and a thread
// that draws barcodes away from the designer works on a copy of its own
// (Barcode_Gen_Scope), so no two threads ever share one.

#include "model/CRDColor.h"

#include <QFont>
#include <QString>
#include <QStringList>

// A list control reduced to what readers need: its item texts and the selected item.
struct Barcode_Item_List {
  QStringList items;
  int index = -1;

  // The text of the selected item; "" when nothing is selected.
  QString titleOfSelectedItem() const;
};

class Barcode_Gen {
 public:
  // Start values: Times New Roman 10 for the three texts, every working margin 0.1 point,
  // black bars and texts on white, centred header and footer, both check boxes off.
  Barcode_Gen();

  // ---- Settings -------------------------------------------------------------------
  QFont value_font;
  QFont header_font;
  QFont footer_font;

  // Working margins in points; the size computations derive them from the margin fields.
  float value_margin = 0.1f;
  float header_margin = 0.1f;
  float footer_margin = 0.1f;
  float LR_margin = 0.1f;
  float TB_margin = 0.1f;

  CRDColor barcode_clr;   // bars
  CRDColor bar_back_clr;  // background of a linear picture
  CRDColor bar_val_clr;   // value text
  CRDColor bar_hdr_clr;   // header text
  CRDColor bar_ftr_clr;   // footer text

  // Header and footer alignment: the renderer compares the selected item's text with
  // "Center", "Left" and "Right". Items in the order of Barcode_Alignment_Items().
  Barcode_Item_List align_hdr_combo;
  Barcode_Item_List align_ftr_combo;

  int showinTopCheckbox = 0;       // 0: value text below the bars; else above them
  int kerning_value_Checkbox = 0;  // 1: a single-piece value text spans the symbol

  // The items of both alignment lists: "Left", "Center", "Right" (item 1 at start).
  static const QStringList& Barcode_Alignment_Items();

  // ---- Metric properties of the current two-dimensional picture ------------------
  QString caption() const { return content_; }
  void setContent(const QString& content) { content_ = content; }
  QString header() const { return header_; }
  void setHeader(const QString& header) { header_ = header; }
  QString footer() const { return footer_; }
  void setFooter(const QString& footer) { footer_ = footer; }

  float width() const { return width_; }
  void setWidth(float width) { width_ = width; }
  float height() const { return height_; }
  void setHeight(float height) { height_ = height; }

  bool printsCaption() const { return printsCaption_; }
  void setPrintsCaption(bool prints) { printsCaption_ = prints; }
  bool printsHeader() const { return printsHeader_; }
  void setPrintsHeader(bool prints) { printsHeader_ = prints; }
  bool printsFooter() const { return printsFooter_; }
  void setPrintsFooter(bool prints) { printsFooter_ = prints; }

  float caption_fontSize() const { return caption_fontSize_; }
  float header_fontSize() const { return header_fontSize_; }
  float footer_fontSize() const { return footer_fontSize_; }

  // Band heights in inches, text widths in points.
  float captionHeight() const { return captionHeight_; }
  void setCaptionHeight(float inches) { captionHeight_ = inches; }
  float headerHeight() const { return headerHeight_; }
  void setHeaderHeight(float inches) { headerHeight_ = inches; }
  float footerHeight() const { return footerHeight_; }
  void setFooterHeight(float inches) { footerHeight_ = inches; }
  float headerWidth() const { return headerWidth_; }
  void setHeaderWidth(float points) { headerWidth_ = points; }
  float footerWidth() const { return footerWidth_; }
  void setFooterWidth(float points) { footerWidth_ = points; }

  // Each stores the size and derives its band from the settings' own font (the size
  // itself does not enter): the caption band from value_font; the header band and the
  // header's printed width from header_font and header(); likewise for the footer.
  void setCaptionFontSize(float size);
  void setHeaderFontSize(float size);
  void setFooterFontSize(float size);

 private:
  QString content_;
  QString header_;
  QString footer_;
  float width_ = 0;
  float height_ = 0;
  bool printsCaption_ = false;
  bool printsHeader_ = false;
  bool printsFooter_ = false;
  float caption_fontSize_ = 0;
  float header_fontSize_ = 0;
  float footer_fontSize_ = 0;
  float captionHeight_ = 0;
  float headerHeight_ = 0;
  float footerHeight_ = 0;
  float headerWidth_ = 0;
  float footerWidth_ = 0;
};

// ---- Text measurements shared by the settings, the linear models and the renderer ----

// Height in inches of the band a text in this font needs: 1.35 cap heights.
float Barcode_Band_Height(const QFont& font);
// Width in points of the text set on one line in the font, without extra letter spacing
// and without pair kerning.
float Barcode_Text_Width(const QString& text, const QFont& font);
// The font as barcode texts are measured and drawn: the installed face for the design
// font (Drawing_Font), pair kerning off, unhinted so that sizes are exact in points.
QFont Barcode_Text_Font(const QFont& font);
// Cap height in points of the font.
double Barcode_Cap_Height(const QFont& font);

// ---- How readers reach the settings ------------------------------------------------

// Barcode_Gen_Var->value_font and so on: the settings that apply on the calling thread.
// Before the designer publishes its own, a built-in object with the start values serves,
// so models and renderer work before any designer exists.
class Barcode_Gen_Ref {
 public:
  Barcode_Gen* operator->() const { return &get(); }
  Barcode_Gen& operator*() const { return get(); }
  Barcode_Gen& get() const;

  // The designer's live settings (main thread); nullptr goes back to the built-in ones.
  void publish(Barcode_Gen* live);
};

extern Barcode_Gen_Ref Barcode_Gen_Var;

// While it lives, Barcode_Gen_Var on the creating thread answers this scope's own copy of
// the settings, which the thread may read and change freely; other threads are not
// affected. A batch worker takes a copy of the designer's settings on the main thread and
// opens a scope with it before it makes barcodes. Scopes nest; destroy on the same thread.
class Barcode_Gen_Scope {
 public:
  explicit Barcode_Gen_Scope(Barcode_Gen settings);
  ~Barcode_Gen_Scope();
  Barcode_Gen_Scope(const Barcode_Gen_Scope&) = delete;
  Barcode_Gen_Scope& operator=(const Barcode_Gen_Scope&) = delete;

  Barcode_Gen& settings() { return settings_; }

 private:
  Barcode_Gen settings_;
  Barcode_Gen* previous_;
};

// While it lives, Barcode_Gen_Var on the creating thread answers `settings` itself, not a
// copy: for an object that keeps its own settings and draws with them, such as the barcode
// designer or a worker's copy of it, so that what it writes (working margins, metrics) is
// what the models and the renderer read. Nests with Barcode_Gen_Scope; destroy on the same
// thread, before `settings`.
class Barcode_Gen_Binding {
 public:
  explicit Barcode_Gen_Binding(Barcode_Gen& settings);
  ~Barcode_Gen_Binding();
  Barcode_Gen_Binding(const Barcode_Gen_Binding&) = delete;
  Barcode_Gen_Binding& operator=(const Barcode_Gen_Binding&) = delete;

 private:
  Barcode_Gen* previous_;
};
