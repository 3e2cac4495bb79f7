#pragma once
// Property lists: the values (strings, integers, reals, booleans, data, dates, arrays,
// dictionaries and the UIDs of keyed archives) and their XML and binary file forms.
// XML goes through libplist; the binary form ("bplist00") is read and written here,
// since archives of graphics pass through it all the time. Data from outside is checked
// before anything is built (size, nesting depth, node count, reference cycles), so
// hostile input is refused instead of exhausting the stack or the memory.

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

namespace plist {

enum class Format { Xml, Binary };

// A reference to an object of a keyed archive: the object's index in "$objects".
struct Uid {
  quint64 value = 0;
  bool operator==(const Uid& other) const { return value == other.value; }
};

class Value;
struct Dictionary_Entry;

using Array = std::vector<Value>;

// A dictionary that keeps the order in which its keys were first set (the order they are
// written in) and finds keys in constant time.
class Dictionary {
 public:
  Dictionary();
  Dictionary(std::initializer_list<Dictionary_Entry> entries);
  Dictionary(const Dictionary& other);
  Dictionary(Dictionary&& other) noexcept;
  Dictionary& operator=(const Dictionary& other);
  Dictionary& operator=(Dictionary&& other) noexcept;
  ~Dictionary();

  // The value of a key, or nullptr.
  const Value* find(const QString& key) const;
  Value* find(const QString& key);
  bool contains(const QString& key) const { return find(key) != nullptr; }
  // Sets a key: a new key goes to the end, an existing one keeps its place.
  void insert(const QString& key, Value value);
  void reserve(size_t count);

  size_t size() const;
  bool empty() const { return size() == 0; }
  const std::vector<Dictionary_Entry>& entries() const { return entries_; }

  bool operator==(const Dictionary& other) const;  // same keys and values, any order
  bool operator!=(const Dictionary& other) const { return !(*this == other); }

 private:
  void index_entry(int entry);
  void rebuild_index(size_t room);

  std::vector<Dictionary_Entry> entries_;
  // Positions of the entries by key hash (open addressing, -1 free), for dictionaries
  // of more than a few keys; at most half full.
  std::vector<int> slots_;
};

class Value {
 public:
  enum class Type { None, Boolean, Integer, Real, String, Data, Date, Array, Dictionary, Uid };

  Value() = default;  // no value
  Value(bool value) : v_(value) {}
  Value(int value) : v_(qint64(value)) {}
  Value(qint64 value) : v_(value) {}
  Value(double value) : v_(value) {}
  Value(const QString& value) : v_(value) {}
  Value(const char* value) : v_(QString::fromUtf8(value)) {}
  Value(const QByteArray& value) : v_(value) {}
  Value(const QDateTime& value) : v_(value) {}
  Value(Array value) : v_(std::move(value)) {}
  Value(Dictionary value) : v_(std::move(value)) {}
  Value(Uid value) : v_(value) {}

  Type type() const { return Type(v_.index()); }
  bool isNone() const { return type() == Type::None; }

  // The stored value when it has that type, else nullptr.
  const bool* boolean() const { return std::get_if<bool>(&v_); }
  const qint64* integer() const { return std::get_if<qint64>(&v_); }
  const double* real() const { return std::get_if<double>(&v_); }
  const QString* string() const { return std::get_if<QString>(&v_); }
  const QByteArray* data() const { return std::get_if<QByteArray>(&v_); }
  const QDateTime* date() const { return std::get_if<QDateTime>(&v_); }
  const Array* array() const { return std::get_if<Array>(&v_); }
  Array* array() { return std::get_if<Array>(&v_); }
  const Dictionary* dictionary() const { return std::get_if<Dictionary>(&v_); }
  Dictionary* dictionary() { return std::get_if<Dictionary>(&v_); }
  const Uid* uid() const { return std::get_if<Uid>(&v_); }

  // An integer or a real as a double.
  std::optional<double> number() const;

  bool operator==(const Value& other) const { return v_ == other.v_; }
  bool operator!=(const Value& other) const { return !(*this == other); }

 private:
  std::variant<std::monostate, bool, qint64, double, QString, QByteArray, QDateTime, Array,
               Dictionary, Uid>
      v_;
};

struct Dictionary_Entry {
  QString key;
  Value value;
  bool operator==(const Dictionary_Entry& other) const {
    return key == other.key && value == other.value;
  }
};

// What reading accepts. A binary list may refer to one object from many places; the
// node count and payload size count every such use, as the parsed tree holds copies.
struct Read_Limits {
  qint64 max_bytes = 256LL * 1024 * 1024;    // size of the input
  int max_depth = 256;                       // nesting of arrays and dictionaries
  qint64 max_nodes = 2LL * 1000 * 1000;      // values in the parsed tree
  qint64 max_payload = 512LL * 1024 * 1024;  // bytes of strings and data in it
};

// Reads an XML or binary property list (the format is detected); nothing when the data
// is not a property list or exceeds the limits. The reason is left in *error.
std::optional<Value> Read(const QByteArray& data, const Read_Limits& limits = {},
                          Format* format = nullptr, QString* error = nullptr);
// What reading binary data (a "bplist00" list) would build, counted by the reader's own check
// without building anything: the values (every use of a shared object counted), the bytes
// of its strings and data, and the nesting of its containers. Nothing, with the reader's
// reason in *error, when Read would refuse the data.
struct Binary_Measure {
  qint64 nodes = 0;
  qint64 payload = 0;
  int depth = 0;
};
std::optional<Binary_Measure> Check_Binary_Data(const QByteArray& data,
                                                const Read_Limits& limits = {},
                                                QString* error = nullptr);

// Writes a property list. A value of no type inside arrays or dictionaries is left out
// (the root must have a type; an empty result means it had none).
QByteArray Write(const Value& root, Format format);

// The XML form written straight into one buffer (no intermediate tree): many times faster
// than Write for large lists. Nothing, with the reason in *error, when the root has no
// value or a string holds a character XML cannot carry (a control character).
QByteArray Write_Xml_Direct(const Value& root, QString* error = nullptr);

// What the XML form of a list comes to, counted without writing it: its bytes and the
// elements a reader counts against Read_Limits::max_nodes (every start tag). Counting stops
// soon after either passes the limits given (`stopped`: the counts are then only "more than
// the limit"). Nothing, with the reason in *error, when Write_Xml_Direct would refuse the
// list.
struct Xml_Measure {
  qint64 bytes = 0;
  qint64 elements = 0;
  bool stopped = false;
};
std::optional<Xml_Measure> Measure_Xml(const Value& root, const Read_Limits& limits,
                                       QString* error = nullptr);

// Files: read from a regular file of at most limits.max_bytes only (Read_Bounded_File),
// written whole or not at all (Write_Whole_File); *error says why not.
std::optional<Value> Read_File(const QString& path, const Read_Limits& limits = {},
                               Format* format = nullptr, QString* error = nullptr);
bool Write_File(const QString& path, const Value& root, Format format, QString* error = nullptr);

}  // namespace plist
