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
#include <QStringList>

#include <memory>
#include <optional>

// The pasteboard type of copied graphics.
extern const QString CRDGraphicViewPasteboardType;  // "Dirar Voveda 2 pasteboard type"

// The archive keys of a graphic, in the order they are written.
const QStringList& Graphic_Archive_Keys();

// ---- One graphic -----------------------------------------------------------------------

// The keyed archive of a graphic (binary property list).
QByteArray Archive_Graphic(const CRDGraphic& graphic);
// The graphic of an archive; nullptr, with the reason when asked, when the data is not a
// readable archive of one of the six kinds.
std::shared_ptr<CRDGraphic> Unarchive_Graphic(const QByteArray& data, QString* reason = nullptr);

// ---- Lists and the pasteboard ----------------------------------------------------------

// One archive (data) per graphic, in list order.
plist::Array propertiesWithGraphics(const Graphic_List& graphics);
// The graphics of a list of archives, in order. Elements that are not readable archives
// are skipped. A picture graphic whose file exists gets its picture loaded again; its
// path is logged in any case.
Graphic_List graphicsWithProperties(const plist::Array& archives);
// The pasteboard data: a binary property list whose root is the array of archives.
QByteArray pasteboardDataWithGraphics(const Graphic_List& graphics);
// The graphics of pasteboard data; nothing, with the error of code 2 in *error, when the
// data is not a property list holding an array.
std::optional<Graphic_List> graphicsWithPasteboardData(const QByteArray& data,
                                                       CRDError* error = nullptr);

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
std::optional<Picture> Decode_Picture(const keyed_archive::Object& object);
