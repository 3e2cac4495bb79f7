#pragma once
// Small views that window layouts use by name: two picture views on a repeated pattern
// and a text field whose text is centred vertically. They draw decoration only.

#include <QLabel>
#include <QRectF>

// A picture view on the window's banner pattern ("banner_image"); the pattern starts at
// the view's own top-left corner wherever the view sits.
class Repeat_Image : public QLabel {
  Q_OBJECT

 public:
  explicit Repeat_Image(QWidget* parent = nullptr) : QLabel(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A picture view on the window's promotion pattern ("promotion_pattern_image"); the
// pattern lies aligned with the window's lower-left corner, so neighbouring views continue
// one another's pattern.
class Promotion_Pattern : public QLabel {
  Q_OBJECT

 public:
  explicit Promotion_Pattern(QWidget* parent = nullptr) : QLabel(parent) {}

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// A text field whose text is centred vertically in its frame.
class VerticallyCenteredTextFieldCell : public QLabel {
  Q_OBJECT

 public:
  explicit VerticallyCenteredTextFieldCell(QWidget* parent = nullptr);

  // The text's rectangle in bounds for a text of that height: the full width, starting
  // (height - text height) / 2 below the top and reaching to the bottom.
  static QRectF titleRectForBounds(const QRectF& bounds, double text_height);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
