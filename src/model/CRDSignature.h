#pragma once
// A signature or fingerprint picture stretched to the bounds. Until the user picks a
// file it shows the sample picture of its kind ("sign_sample.png" for a signature,
// "fingerprints.png" for a fingerprint, in the resource folder). Panels change the
// picture by writing _file_path; the object loads the new file when next painted.

#include "model/CRDGraphic.h"

#include <mutex>

class CRDSignature : public CRDGraphic {
 public:
  CRDSignature() = default;
  explicit CRDSignature(Bare bare) : CRDGraphic(bare) {}
  // Shows the picture, its size centred on the point; kind "S" signature, otherwise
  // fingerprint. Both paths hold the kind's sample path.
  CRDSignature(const QPointF& position, const Picture& contents, const QString& sign_or_FP);
  CRDSignature(const CRDSignature& other);

  QString className() const override { return QStringLiteral("CRDSignature"); }
  std::shared_ptr<CRDGraphic> clone() const override { return clone_as<CRDSignature>(); }

  Picture _contents_img;  // the picture shown; not archived
  QString file_path;      // the path whose picture _contents_img holds; not archived

  // The path value that stands for the sample picture of the object's kind.
  static const QString Default_Path;  // "Default"
  // The sample picture's path for a kind under the resource folder.
  static QString Sample_Path(const QString& sign_or_FP);

  // "Default" becomes the sample path of the current kind; the path goes into both
  // file_path and _file_path, and its picture is read (none when it cannot be).
  void setFilePath(const QString& path) override;
  // Loads the picture of _file_path when it differs from the one loaded (an empty
  // file_path counts as different). Painting does this first.
  void Reload_If_Path_Changed();

  // The border, then the whole picture stretched to the bounds at full opacity. The
  // picture adjustments, flips and opacity of the record do not apply.
  void drawContentsInView(QPainter& painter, bool isBeingCreateOrEdited) override;
  bool isDrawingFill() const override { return false; }
  bool isDrawingStroke() const override { return _isDrawingStroke; }

 private:
  void load_locked(const QString& path);
  // Guards the loaded picture and its path: painting may reload them.
  mutable std::mutex picture_mutex_;
};
