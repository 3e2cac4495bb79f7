#pragma once
// Keyed archives: an object graph stored as a binary property list in the desktop's
// keyed-archive form. The top dictionary holds "$archiver" = "NSKeyedArchiver",
// "$version" = 100000, "$top" = {"root": UID} and "$objects"; "$objects" starts with
// "$null" and holds every object once: plain strings, numbers and data inline, keyed
// objects as dictionaries whose "$class" refers to a class description ("$classname",
// "$classes"). Objects refer to each other by UID.
//
// Archiver writes that form exactly. Unarchiver reads it and its common variants
// (XML or binary, strings and data wrapped in NSString/NSData objects, a top key other
// than "root"). It never instantiates anything itself: the caller decodes the objects it
// expects, by class name. Limits on object count, nesting and work keep hostile archives
// from exhausting the stack or the processor.

#include "platform/Property_List.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace keyed_archive {

// ---- Geometry in the desktop's text form ----------------------------------------------
// "{{x, y}, {w, h}}", "{w, h}" and "{x, y}"; numbers in their shortest exact form.
QString Number_Text(double value);
QString Rect_Text(const QRectF& rect);
QString Size_Text(const QSizeF& size);
QString Point_Text(const QPointF& point);
// The numbers of a text in order (anything else separates them).
std::vector<double> Numbers_In_Text(const QString& text);
// Nothing unless the text holds exactly the numbers the form needs.
std::optional<QRectF> Rect_From_Text(const QString& text);
std::optional<QSizeF> Size_From_Text(const QString& text);
std::optional<QPointF> Point_From_Text(const QString& text);

// ---- Writing ---------------------------------------------------------------------------

class Archiver;

// Writes the keys of one keyed object.
class Object_Encoder {
 public:
  // Room for a number of keys (a speed hint for objects with many).
  void Reserve(size_t keys) { d_.reserve(keys + 1); }
  void Encode_Bool(const QString& key, bool value) { d_.insert(key, value); }
  void Encode_Int32(const QString& key, qint32 value) { d_.insert(key, qint64(value)); }
  void Encode_Int64(const QString& key, qint64 value) { d_.insert(key, value); }
  // A 32-bit real (stored as four bytes in a binary list).
  void Encode_Float(const QString& key, float value) { d_.insert(key, double(value)); }
  void Encode_Double(const QString& key, double value) { d_.insert(key, value); }
  // Geometry as its text form in a string object the key refers to, as the desktop's
  // archiver stores it (its unarchiver reads these keys as objects and refuses a string
  // in the dictionary itself).
  void Encode_Rect(const QString& key, const QRectF& rect);
  void Encode_Size(const QString& key, const QSizeF& size);
  // A reference to an object encoded with the archiver (or the null object).
  void Encode_Object(const QString& key, plist::Uid object) { d_.insert(key, object); }
  // A value kept in the object's own dictionary: data read as bytes, or a list of
  // references (a collection's "NS.objects"). Never a string: the desktop's unarchiver
  // reads strings as objects (Encode_String).
  void Encode_Value(const QString& key, plist::Value value) { d_.insert(key, std::move(value)); }

 private:
  friend class Archiver;
  Object_Encoder(Archiver& archiver, plist::Dictionary& d) : archiver_(archiver), d_(d) {}
  Archiver& archiver_;
  plist::Dictionary& d_;
};

class Archiver {
 public:
  Archiver();

  // The null object ("$null").
  static plist::Uid Null() { return plist::Uid{0}; }
  // Strings are stored once however often they are encoded.
  plist::Uid Encode_String(const QString& text);
  plist::Uid Encode_Data(const QByteArray& bytes);
  plist::Uid Encode_Integer(qint64 value);
  plist::Uid Encode_Real(double value);
  // A keyed object of a class. classes: the class and its superclasses, most derived
  // first; "NSObject" is added at the end. The body writes the object's keys; objects it
  // encodes follow this one in "$objects", and a new class description follows them.
  plist::Uid Encode_Object(const QStringList& classes,
                           const std::function<void(Object_Encoder&)>& body);
  // Collections of encoded objects ("NS.objects"; a dictionary also "NS.keys").
  plist::Uid Encode_Array(const std::vector<plist::Uid>& items,
                          const QString& class_name = QStringLiteral("NSArray"));
  plist::Uid Encode_Dictionary(const std::vector<std::pair<plist::Uid, plist::Uid>>& entries,
                               const QString& class_name = QStringLiteral("NSDictionary"));

  // The archive with its root object, as a property-list value or binary data. The
  // archiver is spent afterwards.
  plist::Value Archive(plist::Uid root);
  // *objects, when asked, gets the count of "$objects" (what Limits::max_objects counts).
  QByteArray Archived_Data(plist::Uid root, qint64* objects = nullptr);

 private:
  plist::Uid class_uid(const QStringList& classes);
  plist::Uid append(plist::Value value);

  plist::Array objects_;
  QHash<QString, quint64> strings_;
  QHash<QString, quint64> classes_;
};

// ---- Reading ---------------------------------------------------------------------------

// Thrown while decoding when an archive breaks a limit or refers outside itself. Code
// that decodes one archive catches it and treats that archive as unreadable.
class Archive_Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Limits {
  qint64 max_objects = 1000 * 1000;     // entries of "$objects"
  int max_depth = 48;                   // objects decoded inside each other
  qint64 max_visits = 4 * 1000 * 1000;  // objects decoded in all
  plist::Read_Limits read;
};

// Why Unarchiver::Open would refuse archive data that holds `objects` objects (its size,
// values, nesting or object count past the limits, counted as the reader counts them);
// "" when it would open it. Decoding visits each reference of an archive the Archiver wrote
// about once, so its values (Read_Limits::max_nodes) bound the visits as well.
QString Archive_Past_Limits(const QByteArray& data, qint64 objects, const Limits& limits = {});

class Unarchiver;

// One object of an archive as met while decoding. Reads of a missing key, or of a value
// of another type, answer nothing; a reference that leaves the archive or breaks a limit
// throws Archive_Error.
class Object {
 public:
  Object() = default;  // no object

  // No object, or the "$null" object.
  bool isNull() const;
  const plist::Value* value() const { return value_; }

  // The class of a keyed object ("" for plain values) and its superclasses.
  QString className() const;
  QStringList classes() const;
  // The class or one of its superclasses is the one named.
  bool isKindOf(QLatin1String class_name) const;

  // Plain objects: a string or data inline or in an NSString / NSData object; an
  // integer, real or boolean.
  std::optional<QString> toString() const;
  std::optional<QByteArray> toData() const;
  std::optional<double> toNumber() const;
  // Collections: NSArray / NSSet ("NS.objects") and NSDictionary ("NS.keys", "NS.objects").
  std::vector<Object> arrayItems() const;
  std::vector<std::pair<Object, Object>> dictionaryEntries() const;

  // Keyed reads.
  bool containsKey(const QString& key) const;
  const plist::Value* rawValue(const QString& key) const;
  std::optional<bool> decodeBool(const QString& key) const;
  std::optional<qint64> decodeInt64(const QString& key) const;
  std::optional<qint32> decodeInt32(const QString& key) const;  // nothing when out of range
  std::optional<double> decodeDouble(const QString& key) const;
  std::optional<float> decodeFloat(const QString& key) const;
  std::optional<QRectF> decodeRect(const QString& key) const;
  std::optional<QSizeF> decodeSize(const QString& key) const;
  // The object a key refers to (no object when the key is missing).
  Object decodeObject(const QString& key) const;

 private:
  friend class Unarchiver;
  Object(const Unarchiver* archive, const plist::Value* value, int depth)
      : archive_(archive), value_(value), depth_(depth) {}
  const plist::Dictionary* keyed() const;
  const plist::Dictionary* class_description() const;
  Object resolve(const plist::Value& reference) const;
  // The geometry text of a key: a string object it refers to, or (as written by earlier
  // versions) a string in the dictionary itself.
  std::optional<QString> geometry_text(const QString& key) const;

  const Unarchiver* archive_ = nullptr;
  const plist::Value* value_ = nullptr;
  int depth_ = 0;
};

class Unarchiver {
 public:
  // Nothing (with the reason in *error) when the data is not a keyed archive.
  static std::unique_ptr<Unarchiver> Open(const QByteArray& data, const Limits& limits = {},
                                          QString* error = nullptr);
  static std::unique_ptr<Unarchiver> Open(plist::Value archive, const Limits& limits = {},
                                          QString* error = nullptr);

  Unarchiver(const Unarchiver&) = delete;
  Unarchiver& operator=(const Unarchiver&) = delete;

  // The root object.
  Object root() const;

 private:
  friend class Object;
  Unarchiver(plist::Value archive, const Limits& limits);
  Object object_at(quint64 uid, int depth) const;

  plist::Value archive_;
  const plist::Array* objects_ = nullptr;
  plist::Uid root_;
  Limits limits_;
  mutable qint64 visits_ = 0;
};

}  // namespace keyed_archive
