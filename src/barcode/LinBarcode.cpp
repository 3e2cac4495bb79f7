#include "barcode/LinBarcode.h"

#include "barcode/Barcode_Gen.h"

QString Ascii_Upper(const QString& text) {
  QString upper = text;
  for (QChar& c : upper)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
  return upper;
}

bool LinBarcode::initWithContent(const std::optional<QString>& content, bool printsCaption) {
  return initWithContent(content, printsCaption, 0.936f, 36.0f, 6.0f, -1);
}

bool LinBarcode::initWithContent(const std::optional<QString>& content, bool printsCaption,
                                 float andBarWidth, float andHeight, float andFontSize,
                                 int andCheckDigit) {
  if (!content) return false;
  setContent(*content);
  setPrintsCaption(printsCaption);
  barWidth_ = andBarWidth;
  height_ = andHeight;
  caption_fontSize_ = andFontSize;
  // The check digit goes in before the width is computed, so that the width counts the
  // check character the model has (a new model's 0 is not one).
  setCheckDigit(andCheckDigit);
  calculateWidth();
  return true;
}

void LinBarcode::setCaptionFontSize(float size) {
  caption_fontSize_ = size;
  captionHeight_ = Barcode_Band_Height(Barcode_Gen_Var->value_font);
}

void LinBarcode::setHeaderFontSize(float size) {
  header_fontSize_ = size;
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  headerHeight_ = Barcode_Band_Height(settings.header_font);
  headerWidth_ = Barcode_Text_Width(header_, settings.header_font);
}

void LinBarcode::setFooterFontSize(float size) {
  footer_fontSize_ = size;
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  footerHeight_ = Barcode_Band_Height(settings.footer_font);
  footerWidth_ = Barcode_Text_Width(footer_, settings.footer_font);
}

bool LinBarcode::hasAsciiForm() const {
  for (QChar c : content_)
    if (c.unicode() > 127) return false;
  return true;
}

QByteArray LinBarcode::asciiContent() const {
  if (!hasAsciiForm()) return {};
  return content_.toLatin1();
}

QString LinBarcode::_encodeChar(char) const { return QStringLiteral("1010"); }

bool LinBarcode::isContentValid() const {
  if (!hasAsciiForm()) return false;
  for (char c : asciiContent())
    if (_encodeChar(c).isEmpty()) return false;
  return true;
}

QString LinBarcode::barcode() const {
  QString bars;
  if (!hasAsciiForm()) return bars;
  for (char c : asciiContent()) bars += _encodeChar(c);
  if (checkDigit() != -1) bars += _encodeChar(char(checkDigit()));
  return bars;
}

void LinBarcode::calculateWidth() { width_ = float(completeBarcode().size()) * barWidth_; }

QString LinBarcode::leftCaption() const { return content_.left(digitsToLeft()); }

QString LinBarcode::rightCaption() const {
  const int n = digitsToRight();
  return n > 0 ? content_.right(n) : QString();
}

QString LinBarcode::caption() const {
  const int left = digitsToLeft(), right = digitsToRight();
  if (left == 0 && right == 0) return content_;
  return content_.mid(left, std::max<qsizetype>(0, content_.size() - left - right));
}

float LinBarcode::barTop(int) const {
  const Barcode_Gen& settings = *Barcode_Gen_Var;
  float top = height_;
  if (printsCaption()) top -= captionHeight_ * 72 + settings.value_margin;
  if (printsHeader()) top -= headerHeight_ * 72 + settings.header_margin;
  if (printsFooter()) top -= footerHeight_ * 72 + settings.footer_margin;
  return top - 2 * settings.TB_margin;
}

float LinBarcode::barBottom(int) const {
  float bottom = 0;
  if (printsCaption()) bottom += captionHeight_ * 72;
  if (printsHeader()) bottom += headerHeight_ * 72;
  if (printsFooter()) bottom += footerHeight_ * 72;
  return bottom;
}
