#pragma once
// A picture from a file, stretched to the bounds, with colour adjustments, rotation,
// mirroring and opacity. The picture itself is not archived: it is read again from the
// file path (setFilePath).

#include "model/CRDGraphic.h"

#include <QSizeF>

extern const QString CRDImageIsFlippedHorizontallyKey;  // "flippedHorizontally"
extern const QString CRDImageIsFlippedVerticallyKey;    // "flippedVertically"

// The adjustments of a picture object as the adjustment chain takes them.
struct Picture_Adjustments {
  bool grayscale = false;
  bool sepia = false;
  bool invert = false;
  float hue = 0;  // radians
  float saturation = 1;
  float brightness = 0;
  float contrast = 1;
  int rotate = 0;  // whole degrees, counter-clockwise
  float sharpness = 0;
  float exposure = 0;  // exposure value (stops)
  float blur = 0;      // box blur radius in pixels

  bool operator==(const Picture_Adjustments&) const = default;
};

// The chain that turns a picture into its adjusted picture; it answers a null picture
// when it fails. The canvas library installs its own (ImageProcesser); without one,
// pictures are drawn unadjusted.
using Picture_Adjustment_Chain = Picture (*)(const Picture& picture,
                                             const Picture_Adjustments& adjustments);
void Set_Picture_Adjustment_Chain(Picture_Adjustment_Chain chain);
Picture_Adjustment_Chain Installed_Picture_Adjustment_Chain();

class CRDImage : public CRDGraphic {
 public:
  CRDImage() = default;
  explicit CRDImage(Bare bare) : CRDGraphic(bare) {}
  // The picture of the file, its size centred on the point.
  CRDImage(const QPointF& position, const QString& path);
  // The given picture, its size centred on the point; the file path is the library's
  // selected picture (Library_Selected_Image).
  CRDImage(const QPointF& position, const Picture& contents);

  QString className() const override { return QStringLiteral("CRDImage"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDImage>(); }

  Picture _contents;  // the picture loaded from _file_path; not archived
  // The pixels of _contents per pixel of its file, when a card renderer read it smaller
  // keeping its proportions (1 otherwise); the blur and sharpening, measured in the file's
  // pixels, are scaled with it. Not archived.
  double _pixel_scale = 1;

  // Larger pictures are given this size in points when they are loaded (each side on its
  // own); their pixels are kept.
  static constexpr double Max_Picture_Width = 724;
  static constexpr double Max_Picture_Height = 468;
  static Picture Capped_Picture(Picture picture);

  // Stores the path and reads its picture (capped); a file that cannot be read leaves
  // no picture.
  void setFilePath(const QString& path) override;
  // Stores the path and the picture read from it (capped).
  void Set_File_Picture(const QString& path, const Picture& picture);

  // The border under the picture, then the whole adjusted picture fitted to the bounds,
  // mirrored inside them by the flips, at the opacity img_trnsp_val percent. An empty
  // file path draws nothing at all.
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  // The adjustments of the record's fields (rotation truncated to whole degrees; blur and
  // sharpening scaled by _pixel_scale).
  Picture_Adjustments Adjustments() const;
  // The picture as drawn before placing: _contents through the installed chain.
  Picture Adjusted_Picture() const;

  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }
  bool canSetDrawingFill() const override { return false; }
  bool canSetDrawingStroke() const override { return false; }

  void setFlippedHorizontally(bool flipped) override;
  void setFlippedVertically(bool flipped) override;
  void flipHorizontally() override { setFlippedHorizontally(!_isFlippedHorizontally); }
  void flipVertically() override { setFlippedVertically(!_isFlippedVertically); }

  // Keeps the top-left corner, takes the picture's size and clears both flips; a locked
  // object or one without a picture stays as it is.
  void makeNaturalSize() override;

  QVariant valueForKey(const QString& key) override;
  bool setValueForKey(const QString& key, const QVariant& value) override;
  QStringList keysForValuesToObserveForUndo() const override;
  QStringList keysAffectedBy(const QString& key) const override;
  QString presentablePropertyNameForKey(const QString& key) const override;
};

// A path as the file system means it: "~" expanded, "." and ".." resolved.
QString Standardized_Path(const QString& path);
