#pragma once
// The keyed archive of a graphic and the pasteboard data of copied graphics.
//
// A graphic is archived as one keyed archive whose root object is the graphic, recorded
// under its kind's class name ("Shape_Control", "CRDLine", "CRDText", "CRDImage",
// "CRDSignature", "CRDBarcode") with "CRDGraphic" as its superclass. The 93 keys are the
// record's field names, written in a fixed order; a line adds its direction as
// "_pointsRight" and "_pointsDown". Colours, fonts, styled text and pictures are stored
// in the desktop's own keyed forms (NSColor, NSFont, NSTextStorage, NSImage), so the
// archives are exchangeable with the desktop's.
//
// Decoding starts from a bare graphic: a key that is missing (or holds a value of another
// type) leaves its field at zero, NO or none. Only the six kinds and the value classes
// are ever made from stored data; an archive that cannot be read gives nothing.

#include "model/CRDColor.h"
#include "model/CRDError.h"
#include "model/CRDGraphic.h"
#include "model/Picture.h"
#include "model/StyledText.h"
#include "platform/Keyed_Archive.h"
#include "platform/Property_List.h"

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QSet>
#include <QSize>
#include <QStringList>

#include <algorithm>
#include <memory>
#include <optional>

// The pasteboard type of copied graphics.
extern const QString CRDGraphicViewPasteboardType;  // "Dirar Voveda 2 pasteboard type"

// The archive keys of a graphic, in the order they are written.
const QStringList& Graphic_Archive_Keys();

// ---- What reading may cost ------------------------------------------------------------
// The graphics of one design, or of one paste, are read under one budget, so that a small
// file cannot cost without bound:
// - its archived pictures together decode to at most max_picture_pixels, one picture to at
//   most Max_One_Picture_Pixels. The size is taken from the picture data's header before
//   anything is decoded; a picture beyond what is left is left out unread, and
//   Pictures_Left_Out() says so;
// - picture data (or a picture file) that failed to decode once is not decoded again (a list
//   may name the same damaged picture many times); a failed decode counts the pixels its
//   header gave against the budget all the same, since it cost the work of decoding them
//   (a design of many distinct damaged pictures stops at the budget with the note);
// - pictures read from the files that picture graphics name count as well, each file once:
//   graphics that name one file share its picture;
// - at most max_graphics graphics are made, a graphic that the file refers to from several
//   places counted at every place.
class Graphic_Read_Budget {
 public:
  static constexpr qint64 Max_One_Picture_Pixels = Picture::Max_Pixels;
  static constexpr qint64 Default_Picture_Pixels = 96LL * 1000 * 1000;   // 384 MB as RGBA
  static constexpr qint64 Default_Graphics = 10000;

  Graphic_Read_Budget() = default;
  Graphic_Read_Budget(qint64 max_picture_pixels, qint64 max_graphics)
      : max_pixels_(max_picture_pixels), max_graphics_(max_graphics) {}

  qint64 max_picture_pixels() const { return max_pixels_; }
  qint64 max_graphics() const { return max_graphics_; }
  // What the archive of one graphic may hold (the unarchiver's limits).
  const keyed_archive::Limits& archive_limits() const { return archive_limits_; }
  void set_archive_limits(const keyed_archive::Limits& limits) { archive_limits_ = limits; }

  // Counts n more graphics; false, counting nothing, when they pass the limit.
  bool Take_Graphics(qint64 n);

  // The picture of image data (TIFF, PNG, JPEG, ...) within what is left; nothing when it
  // is no readable picture or larger than what is left.
  std::optional<QImage> Decode_Image(const QByteArray& bytes);
  // The picture of a picture file a graphic names, within what is left; a null picture
  // when it is not a readable picture file or larger than what is left.
  Picture Read_Picture_File(const QString& path);

  // Counts the pictures a design already holds, as reading its file would count them (the
  // pictures of its picture files, each file once, and its barcode pictures), and lets
  // pictures read later under this budget share those files' pictures. `except` is left
  // out (a graphic whose picture is about to be replaced).
  void Hold(const Graphic_List& graphics, const CRDGraphic* except = nullptr);

  // The size the picture file's header gives when reading it would leave it out (it is not
  // held, and does not fit what is left); an invalid size when it would be read.
  QSize Past_Budget(const QString& path) const;

  // A text object left out unread because its text passes what a text may hold
  // (StyledText::Max_Runs), with the reason; and what to tell of such objects ("" when
  // none was).
  void Note_Text_Left_Out(const QString& why);
  QString Texts_Left_Out() const;
  int texts_left_out() const { return texts_left_out_; }

  // Why pictures were left out, for the person opening the file; "" when none was.
  QString Pictures_Left_Out() const;
  // The size of the first picture left out (invalid when none was), and the pixels taken.
  QSize first_left_out() const { return first_left_out_; }
  QSize last_left_out() const { return last_left_out_; }
  int left_out() const { return left_out_; }
  qint64 pixels_taken() const { return pixels_; }
  // How many times picture data was handed to a decoder.
  qint64 decodes() const { return decodes_; }

 private:
  // What one more picture may have: what is left, and no more than one picture may.
  qint64 pixels_left() const {
    return std::max<qint64>(0, std::min(Max_One_Picture_Pixels, max_pixels_ - pixels_));
  }

  qint64 max_pixels_ = Default_Picture_Pixels;
  qint64 max_graphics_ = Default_Graphics;
  keyed_archive::Limits archive_limits_;
  qint64 pixels_ = 0, graphics_ = 0, decodes_ = 0;
  int left_out_ = 0;
  int damaged_ = 0;  // decodes that failed after the header was read
  QSize first_left_out_, last_left_out_;
  int texts_left_out_ = 0;
  QString first_text_left_out_;
  QSet<QByteArray> failed_;
  QSet<QString> failed_files_;
  QHash<QString, Picture> files_;  // the picture of each file read or held
};

// ---- One graphic -----------------------------------------------------------------------

// The keyed archive of a graphic (binary property list). *objects, when asked, gets the
// count of its archived objects (for Graphic_Archive_Past_Limits).
QByteArray Archive_Graphic(const CRDGraphic& graphic, qint64* objects = nullptr);
// Why Unarchive_Graphic would refuse an archive Archive_Graphic wrote, under the
// unarchiver's limits given; "" when it reads it.
QString Graphic_Archive_Past_Limits(const QByteArray& archive, qint64 objects,
                                    const keyed_archive::Limits& limits = {});
// The graphic of an archive; nullptr, with the reason when asked, when the data is not a
// readable archive of one of the six kinds. Its pictures are read under the budget given,
// else under one of their own.
std::shared_ptr<CRDGraphic> Unarchive_Graphic(const QByteArray& data, QString* reason = nullptr,
                                              Graphic_Read_Budget* budget = nullptr);

// ---- Lists and the pasteboard ----------------------------------------------------------

// One archive (data) per graphic, in list order.
plist::Array propertiesWithGraphics(const Graphic_List& graphics);
// The graphics of a list of archives, in order, read under one budget (the default one
// when none is given); elements past its number of graphics are left out. Elements that
// are not readable archives are skipped. A picture graphic whose file exists gets its
// picture loaded again (under the budget), and is left out when the budget leaves its
// picture out; its path is logged in any case.
Graphic_List graphicsWithProperties(const plist::Array& archives,
                                    Graphic_Read_Budget* budget = nullptr);
// The pasteboard data: a binary property list whose root is the array of archives.
QByteArray pasteboardDataWithGraphics(const Graphic_List& graphics);
// The graphics of pasteboard data; nothing, with the error of code 2 in *error, when the
// data is not a property list holding an array, or holds more graphics than the default
// budget takes. A graphic whose picture is past the budget is left out with its picture
// (no empty frame is pasted), and *left_out says which, naming each picture: its file, or
// the kind of object it belongs to, with its size ("" when none was left out).
// With a budget, the pictures are read under it (what the design holds already).
std::optional<Graphic_List> graphicsWithPasteboardData(const QByteArray& data,
                                                       CRDError* error = nullptr,
                                                       QString* left_out = nullptr,
                                                       Graphic_Read_Budget* budget = nullptr);

// ---- Value objects on their own (elements of the design file) --------------------------
// An archive whose root object is the colour or font; an invalid colour or a font never
// set archives as the null object. Reading answers nothing when the data is not such an
// archive, and an invalid colour or default font for an archive of the null object.
QByteArray Archive_Color(const CRDColor& color);
std::optional<CRDColor> Unarchive_Color(const QByteArray& data);
QByteArray Archive_Font(const QFont& font);
std::optional<QFont> Unarchive_Font(const QByteArray& data);

// ---- Value objects inside an archive ---------------------------------------------------
// For archives of other objects that hold these values. Encoders answer the null object
// for no value; decoders answer nothing for the null object or another class.
plist::Uid Encode_Color(keyed_archive::Archiver& archiver, const CRDColor& color);
plist::Uid Encode_Font(keyed_archive::Archiver& archiver, const QFont& font);
plist::Uid Encode_Styled_Text(keyed_archive::Archiver& archiver, const StyledText* text);
plist::Uid Encode_Picture(keyed_archive::Archiver& archiver, const Picture& picture);
std::optional<CRDColor> Decode_Color(const keyed_archive::Object& object);
std::optional<QFont> Decode_Font(const keyed_archive::Object& object);
std::optional<StyledText> Decode_Styled_Text(const keyed_archive::Object& object);
// Pictures are read under the budget given, else under one of their own.
std::optional<Picture> Decode_Picture(const keyed_archive::Object& object,
                                      Graphic_Read_Budget* budget = nullptr);
