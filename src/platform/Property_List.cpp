#include "platform/Property_List.h"

#include <QFile>
#include <QSaveFile>

#include <plist/plist.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace plist {

// ---- Dictionary ------------------------------------------------------------------------

Dictionary::Dictionary() = default;
Dictionary::Dictionary(std::initializer_list<Dictionary_Entry> entries) {
  reserve(entries.size());
  for (const Dictionary_Entry& entry : entries) insert(entry.key, entry.value);
}
Dictionary::Dictionary(const Dictionary& other) = default;
Dictionary::Dictionary(Dictionary&& other) noexcept = default;
Dictionary& Dictionary::operator=(const Dictionary& other) = default;
Dictionary& Dictionary::operator=(Dictionary&& other) noexcept = default;
Dictionary::~Dictionary() = default;

const Value* Dictionary::find(const QString& key) const {
  const auto it = index_.constFind(key);
  return it == index_.constEnd() ? nullptr : &entries_[size_t(*it)].value;
}

Value* Dictionary::find(const QString& key) {
  const auto it = index_.constFind(key);
  return it == index_.constEnd() ? nullptr : &entries_[size_t(*it)].value;
}

void Dictionary::insert(const QString& key, Value value) {
  if (Value* existing = find(key)) {
    *existing = std::move(value);
    return;
  }
  index_.insert(key, int(entries_.size()));
  entries_.push_back({key, std::move(value)});
}

void Dictionary::reserve(size_t count) {
  entries_.reserve(count);
  index_.reserve(qsizetype(count));
}

size_t Dictionary::size() const { return entries_.size(); }

bool Dictionary::operator==(const Dictionary& other) const {
  if (size() != other.size()) return false;
  for (const Dictionary_Entry& entry : entries_) {
    const Value* theirs = other.find(entry.key);
    if (!theirs || !(*theirs == entry.value)) return false;
  }
  return true;
}

std::optional<double> Value::number() const {
  if (const qint64* i = integer()) return double(*i);
  if (const double* r = real()) return *r;
  return std::nullopt;
}

namespace {

// ---- Checks of data from outside -------------------------------------------------------

// Walks a binary property list as libplist would parse it, without building anything:
// every offset and length must lie inside the data, references must not form a cycle,
// and the tree that parsing would build (a shared object is copied at every use) must
// stay inside the limits.
class Binary_Check {
 public:
  Binary_Check(const QByteArray& data, const Read_Limits& limits)
      : d_(reinterpret_cast<const unsigned char*>(data.constData())),
        n_(quint64(data.size())),
        limits_(limits) {}

  bool run(QString* error) {
    if (!check_trailer()) return fail(error, QStringLiteral("damaged binary property list"));
    return walk(error);
  }

 private:
  struct Object {
    quint64 payload = 0;  // bytes of a leaf
    quint64 refs_at = 0;  // position of the references of a container
    quint64 ref_count = 0;
    bool container = false;
  };

  static bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
  }

  quint64 big_endian(quint64 at, unsigned size) const {
    quint64 v = 0;
    for (unsigned i = 0; i < size; ++i) v = (v << 8) | d_[at + i];
    return v;
  }

  bool check_trailer() {
    if (n_ < 8 + 32 || std::memcmp(d_, "bplist00", 8) != 0) return false;
    const quint64 t = n_ - 32;
    offset_size_ = d_[t + 6];
    ref_size_ = d_[t + 7];
    count_ = big_endian(t + 8, 8);
    top_ = big_endian(t + 16, 8);
    table_ = big_endian(t + 24, 8);
    if (offset_size_ < 1 || offset_size_ > 8 || ref_size_ < 1 || ref_size_ > 8) return false;
    if (count_ < 1 || top_ >= count_ || table_ < 8 || table_ >= t) return false;
    if (count_ > (t - table_) / offset_size_) return false;  // the table must fit
    return true;
  }

  // Reads the header of an object: its kind and the size of what follows.
  bool object_at(quint64 index, Object& object) const {
    const quint64 at = big_endian(table_ + index * offset_size_, offset_size_);
    const quint64 end = table_;  // objects lie between the header and the offset table
    if (at < 8 || at >= end) return false;
    const unsigned marker = d_[at];
    const unsigned kind = marker >> 4, info = marker & 0x0F;
    quint64 pos = at + 1;
    auto count = [&](quint64& value) {
      if (info != 0x0F) {
        value = info;
        return true;
      }
      if (pos >= end) return false;
      const unsigned int_marker = d_[pos];
      if ((int_marker >> 4) != 0x1 || (int_marker & 0x0F) > 3) return false;
      const unsigned size = 1u << (int_marker & 0x0F);
      if (pos + 1 + size > end) return false;
      value = big_endian(pos + 1, size);
      pos += 1 + size;
      return true;
    };
    auto fits = [&](quint64 length, quint64 unit) {
      return unit == 0 || (length <= (end - pos) / unit);
    };
    quint64 length = 0;
    switch (kind) {
      case 0x0: return info == 0x0 || info == 0x8 || info == 0x9 || info == 0xF;
      case 0x1:  // integer
        if (info > 4) return false;
        return pos + (1u << info) <= end;
      case 0x2:  // real
        if (info != 2 && info != 3) return false;
        return pos + (1u << info) <= end;
      case 0x3:  // date
        return info == 3 && pos + 8 <= end;
      case 0x4:  // data
      case 0x5:  // ASCII string
        if (!count(length) || !fits(length, 1)) return false;
        object.payload = length;
        return true;
      case 0x6:  // UTF-16 string
        if (!count(length) || !fits(length, 2)) return false;
        object.payload = length * 2;
        return true;
      case 0x8:  // UID
        return pos + info + 1 <= end;
      case 0xA:  // array
      case 0xC:  // set
        if (!count(length) || !fits(length, ref_size_)) return false;
        object.refs_at = pos;
        object.ref_count = length;
        object.container = true;
        return true;
      case 0xD:  // dictionary: keys, then values
        if (!count(length) || length > (end - pos) / ref_size_ / 2) return false;
        object.refs_at = pos;
        object.ref_count = length * 2;
        object.container = true;
        return true;
      default: return false;
    }
  }

  bool walk(QString* error) {
    // Depth-first over the reference graph, with the sizes of finished objects kept.
    enum : unsigned char { Unseen, Open, Done };
    std::vector<unsigned char> state(count_, Unseen);
    std::vector<quint64> nodes(count_, 0), payload(count_, 0);
    std::vector<int> depth(count_, 0);
    struct Frame {
      quint64 index;
      Object object;
      quint64 next = 0;  // next reference to follow
      quint64 nodes = 1, payload = 0;
      int depth = 0;  // containers nested in this object, itself included
    };
    std::vector<Frame> stack;
    auto open = [&](quint64 index) {
      Frame frame{index, {}};
      if (!object_at(index, frame.object)) return false;
      frame.payload = frame.object.payload;
      frame.depth = frame.object.container ? 1 : 0;
      state[index] = Open;
      stack.push_back(frame);
      return true;
    };
    if (!open(top_)) return fail(error, QStringLiteral("damaged binary property list"));
    const quint64 node_limit = quint64(limits_.max_nodes);
    const quint64 payload_limit = quint64(limits_.max_payload);
    while (!stack.empty()) {
      Frame& frame = stack.back();
      if (frame.next < frame.object.ref_count) {
        const quint64 child = big_endian(frame.object.refs_at + frame.next * ref_size_, ref_size_);
        ++frame.next;
        if (child >= count_) return fail(error, QStringLiteral("damaged binary property list"));
        if (state[child] == Open)
          return fail(error, QStringLiteral("property list refers to itself"));
        if (state[child] == Unseen) {
          if (int(stack.size()) > limits_.max_depth)
            return fail(error, QStringLiteral("property list nested too deeply"));
          if (!open(child)) return fail(error, QStringLiteral("damaged binary property list"));
          continue;
        }
        // A finished object used once more: parsing copies it.
        frame.nodes += nodes[child];
        frame.payload += payload[child];
        frame.depth = std::max(frame.depth, depth[child] + 1);
      } else {
        const Frame done = frame;
        stack.pop_back();
        state[done.index] = Done;
        nodes[done.index] = std::min(done.nodes, node_limit + 1);
        payload[done.index] = std::min(done.payload, payload_limit + 1);
        depth[done.index] = done.depth;
        if (!stack.empty()) {
          Frame& parent = stack.back();
          parent.nodes += nodes[done.index];
          parent.payload += payload[done.index];
          parent.depth = std::max(parent.depth, done.depth + 1);
        }
      }
      if (!stack.empty()) {
        const Frame& top = stack.back();
        if (top.nodes > node_limit || top.payload > payload_limit)
          return fail(error, QStringLiteral("property list too large"));
        if (top.depth > limits_.max_depth)
          return fail(error, QStringLiteral("property list nested too deeply"));
      }
    }
    if (nodes[top_] > node_limit || payload[top_] > payload_limit)
      return fail(error, QStringLiteral("property list too large"));
    if (depth[top_] > limits_.max_depth)
      return fail(error, QStringLiteral("property list nested too deeply"));
    return true;
  }

  const unsigned char* d_;
  quint64 n_;
  const Read_Limits& limits_;
  unsigned offset_size_ = 0, ref_size_ = 0;
  quint64 count_ = 0, top_ = 0, table_ = 0;
};

// Scans XML for the nesting of arrays and dictionaries and the number of elements;
// comments, CDATA sections, processing instructions and the document type are skipped.
bool Check_Xml(const QByteArray& data, const Read_Limits& limits, QString* error) {
  const char* p = data.constData();
  const char* const end = p + data.size();
  auto skip_past = [&](const char* from, const char* marker) -> const char* {
    const size_t len = std::strlen(marker);
    const char* found = std::search(from, end, marker, marker + len);
    return found == end ? end : found + len;
  };
  auto starts = [&](const char* at, const char* text) {
    const size_t len = std::strlen(text);
    return size_t(end - at) >= len && std::memcmp(at, text, len) == 0;
  };
  auto name_ends = [&](const char* at) {
    return at >= end || *at == '>' || *at == '/' || *at == ' ' || *at == '\t' || *at == '\n' ||
           *at == '\r';
  };
  int depth = 0;
  qint64 elements = 0;
  while (p < end) {
    p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)));
    if (!p) break;
    if (starts(p, "<!--")) {
      p = skip_past(p + 4, "-->");
    } else if (starts(p, "<![CDATA[")) {
      p = skip_past(p + 9, "]]>");
    } else if (starts(p, "<?")) {
      p = skip_past(p + 2, "?>");
    } else if (starts(p, "<!")) {
      p = skip_past(p + 2, ">");
    } else if (starts(p, "</")) {
      if ((starts(p, "</array") && name_ends(p + 7)) || (starts(p, "</dict") && name_ends(p + 6)))
        --depth;
      p = skip_past(p + 2, ">");
    } else {
      const bool container =
          (starts(p, "<array") && name_ends(p + 6)) || (starts(p, "<dict") && name_ends(p + 5));
      const char* close = skip_past(p + 1, ">");
      const bool empty_element = close - p >= 2 && close[-2] == '/';
      if (container) {
        if (depth + 1 > limits.max_depth) {
          if (error) *error = QStringLiteral("property list nested too deeply");
          return false;
        }
        if (!empty_element) ++depth;
      }
      if (++elements > limits.max_nodes) {
        if (error) *error = QStringLiteral("property list too large");
        return false;
      }
      p = close;
    }
  }
  return true;
}

// ---- libplist conversion ---------------------------------------------------------------

struct Plist_Deleter {
  void operator()(void* node) const {
    if (node) plist_free(static_cast<plist_t>(node));
  }
};
using Plist_Ptr = std::unique_ptr<void, Plist_Deleter>;

// Seconds between the Unix epoch and the property-list epoch (2001-01-01 UTC).
constexpr qint64 Reference_Date_Offset = 978307200;

Value From_Plist(plist_t node, int depth) {
  if (depth > 1024) return {};  // never reached after the checks; a guard all the same
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(qint64(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return Value(text ? QString::fromUtf8(text, qsizetype(length)) : QString(""));
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* bytes = plist_get_data_ptr(node, &length);
      return Value(bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray(""));
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      const qint64 ms = (qint64(sec) + Reference_Date_Offset) * 1000 + usec / 1000;
      return Value(QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC));
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return Value(Uid{u});
    }
    case PLIST_ARRAY: {
      Array array;
      array.reserve(plist_array_get_size(node));
      plist_array_iter it = nullptr;
      plist_array_new_iter(node, &it);
      for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(node, it, &item);
        if (!item) break;
        array.push_back(From_Plist(item, depth + 1));
      }
      free(it);
      return Value(std::move(array));
    }
    case PLIST_DICT: {
      Dictionary dictionary;
      dictionary.reserve(plist_dict_get_size(node));
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) {
          free(key);
          break;
        }
        dictionary.insert(QString::fromUtf8(key ? key : ""), From_Plist(item, depth + 1));
        free(key);
      }
      free(it);
      // XML has no UIDs of its own: it writes them as {"CF$UID": n}.
      if (dictionary.size() == 1 && dictionary.entries().front().key == QLatin1String("CF$UID"))
        if (const qint64* uid = dictionary.entries().front().value.integer(); uid && *uid >= 0)
          return Value(Uid{quint64(*uid)});
      return Value(std::move(dictionary));
    }
    default: return {};
  }
}

plist_t To_Plist(const Value& value) {
  switch (value.type()) {
    case Value::Type::None: return nullptr;
    case Value::Type::Boolean: return plist_new_bool(*value.boolean() ? 1 : 0);
    case Value::Type::Integer: return plist_new_uint(uint64_t(*value.integer()));
    case Value::Type::Real: return plist_new_real(*value.real());
    case Value::Type::String: return plist_new_string(value.string()->toUtf8().constData());
    case Value::Type::Data: {
      const QByteArray& bytes = *value.data();
      return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case Value::Type::Date: {
      const qint64 ms = value.date()->toMSecsSinceEpoch() - Reference_Date_Offset * 1000;
      qint64 sec = ms / 1000, rest = ms % 1000;
      if (rest < 0) {
        rest += 1000;
        --sec;
      }
      return plist_new_date(int32_t(sec), int32_t(rest * 1000));
    }
    case Value::Type::Array: {
      plist_t array = plist_new_array();
      for (const Value& item : *value.array())
        if (plist_t node = To_Plist(item)) plist_array_append_item(array, node);
      return array;
    }
    case Value::Type::Dictionary: {
      plist_t dictionary = plist_new_dict();
      for (const Dictionary_Entry& entry : value.dictionary()->entries())
        if (plist_t node = To_Plist(entry.value))
          plist_dict_set_item(dictionary, entry.key.toUtf8().constData(), node);
      return dictionary;
    }
    case Value::Type::Uid: return plist_new_uid(value.uid()->value);
  }
  return nullptr;
}

}  // namespace

std::optional<Value> Read(const QByteArray& data, const Read_Limits& limits, Format* format,
                          QString* error) {
  if (data.isEmpty()) {
    if (error) *error = QStringLiteral("no data");
    return std::nullopt;
  }
  if (data.size() > limits.max_bytes || quint64(data.size()) > 0xFFFFFFFFu) {
    if (error) *error = QStringLiteral("property list too large");
    return std::nullopt;
  }
  const bool binary = data.startsWith("bplist");
  if (binary) {
    if (!Binary_Check(data, limits).run(error)) return std::nullopt;
  } else if (!Check_Xml(data, limits, error)) {
    return std::nullopt;
  }
  plist_t root = nullptr;
  if (binary)
    plist_from_bin(data.constData(), uint32_t(data.size()), &root);
  else
    plist_from_xml(data.constData(), uint32_t(data.size()), &root);
  const Plist_Ptr owner(root);
  if (!root) {
    if (error) *error = QStringLiteral("not a property list");
    return std::nullopt;
  }
  if (format) *format = binary ? Format::Binary : Format::Xml;
  Value value = From_Plist(root, 0);
  if (value.isNone()) {
    if (error) *error = QStringLiteral("not a property list");
    return std::nullopt;
  }
  return value;
}

QByteArray Write(const Value& root, Format format) {
  const Plist_Ptr node(To_Plist(root));
  if (!node) return {};
  char* bytes = nullptr;
  uint32_t length = 0;
  QByteArray out;
  if (format == Format::Binary) {
    plist_to_bin(static_cast<plist_t>(node.get()), &bytes, &length);
    if (bytes) out = QByteArray(bytes, qsizetype(length));
    plist_to_bin_free(bytes);
  } else {
    plist_to_xml(static_cast<plist_t>(node.get()), &bytes, &length);
    if (bytes) out = QByteArray(bytes, qsizetype(length));
    plist_to_xml_free(bytes);
  }
  return out;
}

std::optional<Value> Read_File(const QString& path, const Read_Limits& limits, Format* format,
                               QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = file.errorString();
    return std::nullopt;
  }
  if (file.size() > limits.max_bytes) {
    if (error) *error = QStringLiteral("property list too large");
    return std::nullopt;
  }
  return Read(file.readAll(), limits, format, error);
}

bool Write_File(const QString& path, const Value& root, Format format, QString* error) {
  const QByteArray bytes = Write(root, format);
  if (bytes.isEmpty()) {
    if (error) *error = QStringLiteral("nothing to write");
    return false;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    if (error) *error = file.errorString();
    return false;
  }
  return true;
}

}  // namespace plist
