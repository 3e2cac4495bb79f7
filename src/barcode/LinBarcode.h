#pragma once
// The model of one linear (one-dimensional) barcode symbol: the value to encode, its bar
// string ("1" a bar module, "0" a space module, drawn left to right, each module barWidth
// points wide), the check character, the caption parts and the text bands, and the bar
// lengths the renderer asks for. Every linear and postal symbology derives from it.
//
// A model is made in two steps, so that a symbology's overrides take part in its
// initialisation: construct it, give a Code 128 model its code set, then call
// initWithContent(); false there means "no model" (no value was given). Then ask
// isContentValid() before drawing: false means the value cannot be encoded.
//
// The text band setters read the fonts of the barcode settings (Barcode_Gen_Var), and
// barTop() reads its working margins, at the moment they run.

#include <QString>

#include <cstdint>
#include <optional>

class LinBarcode {
 public:
  LinBarcode() = default;
  virtual ~LinBarcode() = default;
  LinBarcode(const LinBarcode&) = delete;
  LinBarcode& operator=(const LinBarcode&) = delete;

  // ---- Initialisation --------------------------------------------------------------
  // Module width 0.936 points (13 mils), height 36 points, caption font size 6, no check
  // character; a symbology normalises the content and computes its check character.
  bool initWithContent(const std::optional<QString>& content) {
    return initWithContent(content, true);
  }
  virtual bool initWithContent(const std::optional<QString>& content, bool printsCaption);
  // The designated initialiser: stores the content (setContent), the caption flag, the
  // module width, the height, the caption font size (the field only) and the check digit,
  // then computes the width. Header, footer and bands stay empty.
  virtual bool initWithContent(const std::optional<QString>& content, bool printsCaption,
                               float andBarWidth, float andHeight, float andFontSize,
                               int andCheckDigit);

  // ---- Stored values -----------------------------------------------------------------
  QString content() const { return content_; }
  virtual void setContent(const QString& content) { content_ = content; }
  QString header() const { return header_; }  // "" while none is set
  void setHeader(const QString& header) { header_ = header; }
  QString footer() const { return footer_; }  // "" while none is set
  void setFooter(const QString& footer) { footer_ = footer; }

  float height() const { return height_; }  // whole picture, points
  virtual void setHeight(float height) { height_ = height; }
  float width() const { return width_; }  // symbol, points
  void setWidth(float width) { width_ = width; }
  float barWidth() const { return barWidth_; }  // one module, points
  virtual void setBarWidth(float barWidth) { barWidth_ = barWidth; }

  // The check character as a character code (Code 128: the check value 0..102), or -1.
  int checkDigit() const { return checkDigit_; }
  void setCheckDigit(int checkDigit) { checkDigit_ = std::int8_t(checkDigit); }

  virtual bool printsCaption() const { return printsCaption_; }
  virtual void setPrintsCaption(bool prints) { printsCaption_ = prints; }
  virtual bool printsHeader() const { return printsHeader_; }
  virtual void setPrintsHeader(bool prints) { printsHeader_ = prints; }
  virtual bool printsFooter() const { return printsFooter_; }
  virtual void setPrintsFooter(bool prints) { printsFooter_ = prints; }

  // ---- Text bands (heights in inches, widths in points) --------------------------------
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

  float caption_fontSize() const { return caption_fontSize_; }
  float header_fontSize() const { return header_fontSize_; }
  float footer_fontSize() const { return footer_fontSize_; }
  // Each stores the size and derives the band from the settings' font for that text (the
  // size itself does not enter): 1.35 cap heights; the header and footer also measure
  // their text. Set the header or footer text before its size.
  void setCaptionFontSize(float size);
  void setHeaderFontSize(float size);
  void setFooterFontSize(float size);

  // ---- Encoding ----------------------------------------------------------------------
  // False when the content has no ASCII form or holds a character the symbology cannot
  // encode (or breaks the symbology's own rules).
  virtual bool isContentValid() const;
  bool isSizeValid() const { return true; }
  // Computes and stores the check character; nothing in a symbology without one.
  virtual void generateChecksum() {}

  virtual QString initiator() const { return {}; }   // start pattern
  virtual QString terminator() const { return {}; }  // stop pattern
  // Data and check modules: each content character's pattern, then the check
  // character's when there is one. Empty when the content has no ASCII form.
  virtual QString barcode() const;
  QString completeBarcode() const { return initiator() + barcode() + terminator(); }
  // width = modules of completeBarcode x barWidth.
  virtual void calculateWidth();

  // ---- Caption -------------------------------------------------------------------------
  // Leading and trailing content characters printed beside the bars rather than under.
  virtual int digitsToLeft() const { return 0; }
  virtual int digitsToRight() const { return 0; }
  QString leftCaption() const;
  virtual QString rightCaption() const;
  // The value text under the bars; TAB characters separate groups spread over the symbol.
  virtual QString caption() const;

  // ---- Geometry the renderer asks for (points) -----------------------------------------
  // Length of the bar that ends at the module, up from the bars' base line: the picture
  // height less the printed text bands with their margins and twice the top-and-bottom
  // margin.
  virtual float barTop(int module) const;
  // Foot of the bar above the base line (asked of the four-state postal models).
  virtual float barBottom(int module) const;
  // Positions of the first and of the last module from the symbol's left edge.
  virtual float firstBar() const { return 0; }
  virtual float lastBar() const { return width_ - barWidth_; }

  // Equal contents, whatever the symbologies.
  bool isEqual(const LinBarcode& other) const { return content_ == other.content_; }

 protected:
  // The pattern of one character; "" when the symbology cannot encode it.
  virtual QString _encodeChar(char c) const;
  // True when every character of the content is 7-bit ASCII.
  bool hasAsciiForm() const;
  // The content as ASCII codes; empty when it has no ASCII form.
  QByteArray asciiContent() const;

  QString content_;

 private:
  std::int8_t checkDigit_ = 0;
  float barWidth_ = 0;
  QString header_;
  QString footer_;
  float height_ = 0;
  float width_ = 0;
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

// ASCII upper case: only "a" to "z" change, so no other character can turn into ASCII.
QString Ascii_Upper(const QString& text);
