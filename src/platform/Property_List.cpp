#include "platform/Property_List.h"

#include "platform/Bounded_File.h"
#include "platform/Whole_File.h"

#include <QFile>

#include <plist/plist.h>

#include <algorithm>
#include <cmath>
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

// Small dictionaries are searched in order; larger ones keep an index, built by the
// insertions (never by a search, so that reading a shared dictionary changes nothing).
constexpr size_t Indexed_Size = 12;

namespace {
size_t Key_Hash(QStringView key) {
  size_t h = 1469598103934665603ull;  // FNV-1a over the UTF-16 units
  for (QChar c : key) h = (h ^ c.unicode()) * 1099511628211ull;
  return h;
}
}  // namespace

void Dictionary::index_entry(int entry) {
  const size_t mask = slots_.size() - 1;
  for (size_t i = Key_Hash(entries_[size_t(entry)].key) & mask;; i = (i + 1) & mask) {
    if (slots_[i] < 0) {
      slots_[i] = entry;
      return;
    }
  }
}

void Dictionary::rebuild_index(size_t room) {
  size_t size = 32;
  while (size < room * 2) size *= 2;
  slots_.assign(size, -1);
  for (size_t i = 0; i < entries_.size(); ++i) index_entry(int(i));
}

const Value* Dictionary::find(const QString& key) const {
  if (slots_.empty()) {
    for (const Dictionary_Entry& entry : entries_)
      if (entry.key == key) return &entry.value;
    return nullptr;
  }
  const size_t mask = slots_.size() - 1;
  for (size_t i = Key_Hash(key) & mask; slots_[i] >= 0; i = (i + 1) & mask)
    if (entries_[size_t(slots_[i])].key == key) return &entries_[size_t(slots_[i])].value;
  return nullptr;
}

Value* Dictionary::find(const QString& key) {
  return const_cast<Value*>(static_cast<const Dictionary*>(this)->find(key));
}

void Dictionary::insert(const QString& key, Value value) {
  if (Value* existing = find(key)) {
    *existing = std::move(value);
    return;
  }
  entries_.push_back({key, std::move(value)});
  if (!slots_.empty() && entries_.size() * 2 <= slots_.size())
    index_entry(int(entries_.size() - 1));
  else if (entries_.size() > Indexed_Size)
    rebuild_index(entries_.size() * 2);  // room to grow before the next rebuild
}

void Dictionary::reserve(size_t count) {
  entries_.reserve(count);
  if (count > Indexed_Size && slots_.size() < count * 2) rebuild_index(count);
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

// ---- Binary lists ----------------------------------------------------------------------
// The binary form ("bplist00"): the objects one after another, a table of their offsets,
// and a trailer naming the sizes of offsets and references, the object count, the top
// object and where the table starts. Containers refer to their elements by object index.

// Seconds between the Unix epoch and the property-list epoch (2001-01-01 UTC).
constexpr qint64 Reference_Date_Offset = 978307200;

// Random access to the objects of binary data, every position checked against its end.
class Binary_List {
 public:
  struct Header {
    unsigned kind = 0, info = 0;
    quint64 pos = 0;      // first byte after the marker (and its count)
    quint64 count = 0;    // elements, bytes or UTF-16 units
    quint64 payload = 0;  // bytes of strings and data
    bool container = false;
  };

  explicit Binary_List(const QByteArray& data)
      : d_(reinterpret_cast<const unsigned char*>(data.constData())), n_(quint64(data.size())) {}

  bool open() {
    if (n_ < 8 + 32 || std::memcmp(d_, "bplist00", 8) != 0) return false;
    const quint64 t = n_ - 32;
    offset_size_ = d_[t + 6];
    ref_size_ = d_[t + 7];
    count_ = be(t + 8, 8);
    top_ = be(t + 16, 8);
    table_ = be(t + 24, 8);
    if (offset_size_ < 1 || offset_size_ > 8 || ref_size_ < 1 || ref_size_ > 8) return false;
    if (count_ < 1 || top_ >= count_ || table_ < 8 || table_ >= t) return false;
    return count_ <= (t - table_) / offset_size_;  // the table must fit
  }

  quint64 count() const { return count_; }
  quint64 top() const { return top_; }
  unsigned ref_size() const { return ref_size_; }
  const unsigned char* bytes(quint64 at) const { return d_ + at; }

  quint64 be(quint64 at, unsigned size) const {
    quint64 v = 0;
    for (unsigned i = 0; i < size; ++i) v = (v << 8) | d_[at + i];
    return v;
  }
  quint64 ref(const Header& h, quint64 i) const { return be(h.pos + i * ref_size_, ref_size_); }

  // The object's kind and extent; false when it does not lie inside the object area.
  bool header(quint64 index, Header& h) const {
    const quint64 at = be(table_ + index * offset_size_, offset_size_);
    const quint64 end = table_;
    if (at < 8 || at >= end) return false;
    h = {};
    h.kind = d_[at] >> 4;
    h.info = d_[at] & 0x0F;
    h.pos = at + 1;
    auto read_count = [&] {
      if (h.info != 0x0F) {
        h.count = h.info;
        return true;
      }
      if (h.pos >= end) return false;
      const unsigned marker = d_[h.pos];
      if ((marker >> 4) != 0x1 || (marker & 0x0F) > 3) return false;
      const unsigned size = 1u << (marker & 0x0F);
      if (h.pos + 1 + size > end) return false;
      h.count = be(h.pos + 1, size);
      h.pos += 1 + size;
      return true;
    };
    auto fits = [&](quint64 units, quint64 unit) { return units <= (end - h.pos) / unit; };
    switch (h.kind) {
      case 0x0:  // booleans
        return h.info == 0x8 || h.info == 0x9;
      case 0x1:  // integer of 2^info bytes
      case 0x2:  // real of 2^info bytes
        if (h.kind == 0x1 ? h.info > 4 : (h.info != 2 && h.info != 3)) return false;
        return h.pos + (1u << h.info) <= end;
      case 0x3:  // date
        return h.info == 3 && h.pos + 8 <= end;
      case 0x4:  // data
      case 0x5:  // ASCII string
        if (!read_count() || !fits(h.count, 1)) return false;
        h.payload = h.count;
        return true;
      case 0x6:  // UTF-16 string
        if (!read_count() || !fits(h.count, 2)) return false;
        h.payload = h.count * 2;
        return true;
      case 0x8:  // UID of info + 1 bytes
        return h.info < 8 && h.pos + h.info + 1 <= end;
      case 0xA:  // array
        if (!read_count() || !fits(h.count, ref_size_)) return false;
        h.container = true;
        return true;
      case 0xD:  // dictionary: the keys' references, then the values'
        if (!read_count() || !fits(h.count, 2ull * ref_size_)) return false;
        h.container = true;
        return true;
      default: return false;
    }
  }

  // References of a container: an array's elements, a dictionary's keys then values.
  quint64 ref_count(const Header& h) const { return h.kind == 0xD ? h.count * 2 : h.count; }

 private:
  const unsigned char* d_;
  quint64 n_;
  unsigned offset_size_ = 0, ref_size_ = 0;
  quint64 count_ = 0, top_ = 0, table_ = 0;
};

// What the check learnt of one object; the reader uses the headers again.
struct Binary_Object {
  Binary_List::Header h;
  quint64 nodes = 0, payload = 0;  // of the tree below it, itself included
  int depth = 0;                   // containers nested in it, itself included
  unsigned char state = 0;         // 0 unseen, 1 open, 2 done
};

// Walks the reference graph from the top object without building anything: every
// object must lie inside the data, references must not form a cycle, and the tree that
// reading builds (an object used in several places counts at every use) must stay inside
// the limits.
bool Check_Binary(const Binary_List& list, const Read_Limits& limits,
                  std::vector<Binary_Object>& objects, QString* error) {
  auto fail = [&](const char* text) {
    if (error) *error = QString::fromLatin1(text);
    return false;
  };
  enum : unsigned char { Unseen, Open, Done };
  const quint64 n = list.count();
  objects.assign(size_t(n), {});
  const quint64 node_limit = quint64(limits.max_nodes);
  const quint64 payload_limit = quint64(limits.max_payload);
  struct Frame {
    quint64 index;
    quint64 next = 0;  // next reference to follow
  };
  std::vector<Frame> stack;
  // Reads an object's header; a leaf is finished at once.
  auto visit = [&](quint64 index) {
    Binary_Object& o = objects[size_t(index)];
    if (!list.header(index, o.h)) return false;
    o.nodes = 1;
    o.payload = o.h.payload;
    if (o.h.container) {
      o.depth = 1;
      o.state = Open;
      stack.push_back({index});
    } else {
      o.state = Done;
    }
    return true;
  };
  auto add = [&](Binary_Object& parent, const Binary_Object& child) {
    parent.nodes = std::min(parent.nodes + child.nodes, node_limit + 1);
    parent.payload = std::min(parent.payload + child.payload, payload_limit + 1);
    parent.depth = std::max(parent.depth, child.depth + 1);
    return parent.nodes <= node_limit && parent.payload <= payload_limit &&
           parent.depth <= limits.max_depth;
  };
  if (!visit(list.top())) return fail("damaged binary property list");
  while (!stack.empty()) {
    Frame& frame = stack.back();
    Binary_Object& parent = objects[size_t(frame.index)];
    if (frame.next < list.ref_count(parent.h)) {
      const quint64 child = list.ref(parent.h, frame.next++);
      if (child >= n) return fail("damaged binary property list");
      Binary_Object& c = objects[size_t(child)];
      if (c.state == Open) return fail("property list refers to itself");
      if (c.state == Unseen) {
        if (!visit(child)) return fail("damaged binary property list");
        if (c.state == Open) {  // a container: its references first
          if (int(stack.size()) > limits.max_depth) return fail("property list nested too deeply");
          continue;
        }
      }
      // A finished child, or one used once more (reading copies it).
      if (!add(objects[size_t(frame.index)], c)) return fail("property list too large or deep");
    } else {
      const quint64 done = frame.index;
      stack.pop_back();
      objects[size_t(done)].state = Done;
      if (!stack.empty() && !add(objects[size_t(stack.back().index)], objects[size_t(done)]))
        return fail("property list too large or deep");
    }
  }
  const Binary_Object& top = objects[size_t(list.top())];
  if (top.nodes > node_limit || top.payload > payload_limit || top.depth > limits.max_depth)
    return fail("property list too large or deep");
  return true;
}

// Builds the values of checked binary data. Strings and data are made once per object
// and shared (implicitly) wherever the object is used.
class Binary_Reader {
 public:
  Binary_Reader(const Binary_List& list, const std::vector<Binary_Object>& objects)
      : list_(list),
        objects_(objects),
        strings_(objects.size()),
        datas_(objects.size()),
        made_(objects.size(), false) {}

  std::optional<Value> read() {
    Value v;
    if (!read(list_.top(), v)) return std::nullopt;
    return v;
  }

 private:
  // Short ASCII strings (keys above all) recur from one list to the next: the last one
  // seen with the same characters is shared instead of made again.
  static QString short_string(const char* p, qsizetype n) {
    static thread_local QString cache[512];
    size_t h = 1469598103934665603ull;
    for (qsizetype i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(p[i])) * 1099511628211ull;
    QString& slot = cache[h & 511];
    if (slot.size() != n || QLatin1String(p, n) != slot) slot = QString::fromLatin1(p, n);
    return slot;
  }

  const QString& string_at(quint64 index) {
    if (!made_[size_t(index)]) {
      const Binary_List::Header& h = objects_[size_t(index)].h;
      const unsigned char* p = list_.bytes(h.pos);
      QString& out = strings_[size_t(index)];
      if (h.kind == 0x5) {
        const char* text = reinterpret_cast<const char*>(p);
        out = h.count <= 48 ? short_string(text, qsizetype(h.count))
                            : QString::fromLatin1(text, qsizetype(h.count));
      } else {
        out.resize(qsizetype(h.count));
        QChar* q = out.data();
        for (quint64 i = 0; i < h.count; ++i)
          q[i] = QChar(char16_t((p[2 * i] << 8) | p[2 * i + 1]));
      }
      if (out.isNull()) out = QString(QLatin1String(""));
      made_[size_t(index)] = true;
    }
    return strings_[size_t(index)];
  }

  bool read(quint64 index, Value& out) {
    const Binary_List::Header& h = objects_[size_t(index)].h;
    switch (h.kind) {
      case 0x0: out = Value(h.info == 0x9); return true;
      case 0x1: {
        // Up to 8 bytes: unsigned, or two's complement at 8. 16 bytes hold values above the
        // signed range; their low 8 bytes are kept.
        const unsigned size = 1u << h.info;
        out = Value(qint64(list_.be(h.pos + (size > 8 ? size - 8 : 0), std::min(size, 8u))));
        return true;
      }
      case 0x2: {
        if (h.info == 2) {
          const quint32 bits = quint32(list_.be(h.pos, 4));
          float f;
          std::memcpy(&f, &bits, 4);
          out = Value(double(f));
        } else {
          const quint64 bits = list_.be(h.pos, 8);
          double d;
          std::memcpy(&d, &bits, 8);
          out = Value(d);
        }
        return true;
      }
      case 0x3: {
        const quint64 bits = list_.be(h.pos, 8);
        double seconds;
        std::memcpy(&seconds, &bits, 8);
        if (!std::isfinite(seconds) || std::fabs(seconds) > 1e14) return false;
        out = Value(QDateTime::fromMSecsSinceEpoch(
            qint64(std::llround(seconds * 1000)) + Reference_Date_Offset * 1000, Qt::UTC));
        return true;
      }
      case 0x4: {
        QByteArray& bytes = datas_[size_t(index)];
        if (!made_[size_t(index)]) {
          bytes = QByteArray(reinterpret_cast<const char*>(list_.bytes(h.pos)), qsizetype(h.count));
          if (bytes.isNull()) bytes = QByteArray("");
          made_[size_t(index)] = true;
        }
        out = Value(bytes);
        return true;
      }
      case 0x5:
      case 0x6: out = Value(string_at(index)); return true;
      case 0x8: out = Value(Uid{list_.be(h.pos, h.info + 1)}); return true;
      case 0xA: {
        Array array(size_t(h.count));
        for (quint64 i = 0; i < h.count; ++i)
          if (!read(list_.ref(h, i), array[size_t(i)])) return false;
        out = Value(std::move(array));
        return true;
      }
      case 0xD: {
        Dictionary dictionary;
        dictionary.reserve(size_t(h.count));
        for (quint64 i = 0; i < h.count; ++i) {
          const quint64 key = list_.ref(h, i);
          const unsigned kind = objects_[size_t(key)].h.kind;
          if (kind != 0x5 && kind != 0x6) return false;  // keys are strings
          Value value;
          if (!read(list_.ref(h, h.count + i), value)) return false;
          dictionary.insert(string_at(key), std::move(value));
        }
        out = Value(std::move(dictionary));
        return true;
      }
      default: return false;
    }
  }

  const Binary_List& list_;
  const std::vector<Binary_Object>& objects_;
  std::vector<QString> strings_;
  std::vector<QByteArray> datas_;
  std::vector<bool> made_;
};

// Writes the binary form. Equal numbers, booleans and UIDs are stored once, and so are
// strings that share their storage (keys and texts copied from one another); the size is
// worked out first and the bytes written in one pass.
class Binary_Writer {
 public:
  QByteArray write(const Value& root) {
    add(root);
    const quint64 count = objects_.size();
    ref_size_ = count <= 0xFF ? 1 : count <= 0xFFFF ? 2 : 4;
    quint64 size = 8;
    for (Flat& object : objects_) {
      object.offset = size;
      size += encoded_size(object);
    }
    const quint64 table = size;
    const quint64 last = objects_.back().offset;
    const unsigned offset_size = last <= 0xFF          ? 1
                                 : last <= 0xFFFF      ? 2
                                 : last <= 0xFFFFFFFFu ? 4
                                                       : 8;
    size += count * offset_size + 32;

    QByteArray out(qsizetype(size), Qt::Uninitialized);
    p_ = reinterpret_cast<unsigned char*>(out.data());
    std::memcpy(p_, "bplist00", 8);
    p_ += 8;
    for (const Flat& object : objects_) encode(object);
    for (const Flat& object : objects_) put_be(object.offset, offset_size);
    std::memset(p_, 0, 6);
    p_ += 6;
    *p_++ = static_cast<unsigned char>(offset_size);
    *p_++ = static_cast<unsigned char>(ref_size_);
    put_be(count, 8);
    put_be(0, 8);  // the top object comes first
    put_be(table, 8);
    return out;
  }

 private:
  struct Flat {
    const Value* value = nullptr;
    const QString* text = nullptr;  // a dictionary key
    quint64 first_child = 0;        // in children_
    quint64 child_count = 0;
    quint64 offset = 0;
    bool ascii = true;
  };
  // Objects already written, by what makes them equal: kind and value (for a text, where
  // its characters are stored). Open addressing, no allocation per entry.
  struct Seen {
    quint64 a = 0, b = 0;
    quint64 index = ~0ull;
  };
  enum : quint64 {
    Text_Kind = 1ull << 63,
    Integer_Kind = 1,
    Real_Kind = 2,
    Bool_Kind = 3,
    Uid_Kind = 4
  };

  quint64* seen(quint64 a, quint64 b) {
    if (seen_count_ * 2 >= seen_.size()) grow();
    const size_t mask = seen_.size() - 1;
    size_t i = size_t((a * 0x9E3779B97F4A7C15ull) ^ (b * 0xC2B2AE3D27D4EB4Full)) & mask;
    for (;; i = (i + 1) & mask) {
      Seen& slot = seen_[i];
      if (slot.index == ~0ull) {
        slot.a = a;
        slot.b = b;
        ++seen_count_;
        return &slot.index;  // new: the caller fills it in
      }
      if (slot.a == a && slot.b == b) return &slot.index;
    }
  }

  void grow() {
    std::vector<Seen> old = std::move(seen_);
    seen_.assign(old.empty() ? 256 : old.size() * 2, Seen{});
    seen_count_ = 0;
    for (const Seen& slot : old)
      if (slot.index != ~0ull) *seen(slot.a, slot.b) = slot.index;
  }

  static bool is_ascii(const QString& s) {
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 0x80; });
  }

  quint64 text(const QString& s, const Value* value) {
    quint64* index =
        seen(quint64(reinterpret_cast<quintptr>(s.constData())), Text_Kind | quint64(s.size()));
    if (*index != ~0ull) return *index;
    Flat flat;
    flat.value = value;
    flat.text = &s;
    flat.ascii = is_ascii(s);
    objects_.push_back(flat);
    return *index = objects_.size() - 1;
  }

  quint64 unique(quint64 kind, quint64 bits, const Value& v) {
    quint64* index = seen(bits, kind);
    if (*index != ~0ull) return *index;
    objects_.push_back(Flat{&v});
    return *index = objects_.size() - 1;
  }

  quint64 add(const Value& v) {
    switch (v.type()) {
      case Value::Type::String: return text(*v.string(), &v);
      case Value::Type::Integer: return unique(Integer_Kind, quint64(*v.integer()), v);
      case Value::Type::Real: {
        quint64 bits;
        const double d = *v.real();
        std::memcpy(&bits, &d, 8);
        return unique(Real_Kind, bits, v);
      }
      case Value::Type::Boolean: return unique(Bool_Kind, quint64(*v.boolean()), v);
      case Value::Type::Uid: return unique(Uid_Kind, v.uid()->value, v);
      case Value::Type::Array: {
        const quint64 index = objects_.size();
        objects_.push_back(Flat{&v});
        std::vector<quint64> refs;
        refs.reserve(v.array()->size());
        for (const Value& item : *v.array())
          if (!item.isNone()) refs.push_back(add(item));
        attach(index, refs);
        return index;
      }
      case Value::Type::Dictionary: {
        const quint64 index = objects_.size();
        objects_.push_back(Flat{&v});
        const auto& entries = v.dictionary()->entries();
        std::vector<quint64> refs(entries.size() * 2);
        size_t n = 0;
        for (const Dictionary_Entry& entry : entries) {
          if (entry.value.isNone()) continue;
          refs[n] = text(entry.key, nullptr);
          refs[entries.size() + n] = add(entry.value);
          ++n;
        }
        // Keys first, then the values in the same order.
        std::move(refs.begin() + qsizetype(entries.size()),
                  refs.begin() + qsizetype(entries.size() + n), refs.begin() + qsizetype(n));
        refs.resize(2 * n);
        attach(index, refs);
        return index;
      }
      default:  // data and dates
        objects_.push_back(Flat{&v});
        return objects_.size() - 1;
    }
  }

  void attach(quint64 index, const std::vector<quint64>& refs) {
    objects_[size_t(index)].first_child = children_.size();
    objects_[size_t(index)].child_count = refs.size();
    children_.insert(children_.end(), refs.begin(), refs.end());
  }

  static unsigned int_size(quint64 v) {
    return v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFFFFu ? 4 : 8;
  }
  static quint64 marker_size(quint64 count) { return count < 15 ? 1 : 2 + int_size(count); }
  static bool fits_float(double d) { return double(float(d)) == d || std::isnan(d); }

  quint64 encoded_size(const Flat& object) const {
    if (object.text) {
      const quint64 n = quint64(object.text->size());
      return marker_size(n) + (object.ascii ? n : 2 * n);
    }
    const Value& v = *object.value;
    switch (v.type()) {
      case Value::Type::Boolean: return 1;
      case Value::Type::Integer: return *v.integer() < 0 ? 9 : 1 + int_size(quint64(*v.integer()));
      case Value::Type::Real: return fits_float(*v.real()) ? 5 : 9;
      case Value::Type::Date: return 9;
      case Value::Type::Data:
        return marker_size(quint64(v.data()->size())) + quint64(v.data()->size());
      case Value::Type::Uid: return 1 + int_size(v.uid()->value);
      case Value::Type::Array:
        return marker_size(object.child_count) + object.child_count * ref_size_;
      case Value::Type::Dictionary:
        return marker_size(object.child_count / 2) + object.child_count * ref_size_;
      default: return 0;
    }
  }

  void put_be(quint64 v, unsigned size) {
    for (unsigned i = 0; i < size; ++i)
      *p_++ = static_cast<unsigned char>(v >> (8 * (size - 1 - i)));
  }

  void marker(unsigned kind, quint64 count) {
    if (count < 15) {
      *p_++ = static_cast<unsigned char>((kind << 4) | unsigned(count));
      return;
    }
    *p_++ = static_cast<unsigned char>((kind << 4) | 0x0F);
    integer(count);
  }

  void integer(quint64 v) {
    const unsigned size = int_size(v);
    *p_++ = static_cast<unsigned char>(0x10 | (size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3));
    put_be(v, size);
  }

  void encode(const Flat& object) {
    if (object.text) {
      const QString& s = *object.text;
      if (object.ascii) {
        marker(0x5, quint64(s.size()));
        for (QChar c : s) *p_++ = static_cast<unsigned char>(c.unicode());
      } else {
        marker(0x6, quint64(s.size()));
        for (QChar c : s) put_be(c.unicode(), 2);
      }
      return;
    }
    const Value& v = *object.value;
    switch (v.type()) {
      case Value::Type::Boolean: *p_++ = *v.boolean() ? 0x09 : 0x08; return;
      case Value::Type::Integer: {
        const qint64 i = *v.integer();
        if (i < 0) {
          *p_++ = 0x13;
          put_be(quint64(i), 8);
        } else {
          integer(quint64(i));
        }
        return;
      }
      case Value::Type::Real: {
        const double d = *v.real();
        if (fits_float(d)) {  // held exactly by a 32-bit real
          const float f = float(d);
          quint32 bits;
          std::memcpy(&bits, &f, 4);
          *p_++ = 0x22;
          put_be(bits, 4);
        } else {
          quint64 bits;
          std::memcpy(&bits, &d, 8);
          *p_++ = 0x23;
          put_be(bits, 8);
        }
        return;
      }
      case Value::Type::Date: {
        const double seconds =
            double(v.date()->toMSecsSinceEpoch() - Reference_Date_Offset * 1000) / 1000.0;
        quint64 bits;
        std::memcpy(&bits, &seconds, 8);
        *p_++ = 0x33;
        put_be(bits, 8);
        return;
      }
      case Value::Type::Data: {
        const QByteArray& d = *v.data();
        marker(0x4, quint64(d.size()));
        if (!d.isEmpty()) std::memcpy(p_, d.constData(), size_t(d.size()));
        p_ += d.size();
        return;
      }
      case Value::Type::Uid: {
        const quint64 u = v.uid()->value;
        const unsigned size = int_size(u);
        *p_++ = static_cast<unsigned char>(0x80 | (size - 1));
        put_be(u, size);
        return;
      }
      case Value::Type::Array:
      case Value::Type::Dictionary: {
        const bool array = v.type() == Value::Type::Array;
        marker(array ? 0xA : 0xD, array ? object.child_count : object.child_count / 2);
        for (quint64 i = 0; i < object.child_count; ++i)
          put_be(children_[size_t(object.first_child + i)], ref_size_);
        return;
      }
      default: return;
    }
  }

  std::vector<Flat> objects_;
  std::vector<quint64> children_;
  std::vector<Seen> seen_;
  size_t seen_count_ = 0;
  unsigned char* p_ = nullptr;
  unsigned ref_size_ = 1;
};

// Scans XML for the nesting of its elements and their number before libplist builds (and
// later frees, recursively) its tree. Comments, CDATA sections, processing instructions and
// a document type without internal subset are skipped; tags are read with their quoted
// attribute values, so no "<" or ">" inside a value counts. An element nests at most one
// level deeper than the array or dictionary it stands in (plus the root "plist" element).
bool Check_Xml(const QByteArray& data, const Read_Limits& limits, QString* error) {
  const char* p = data.constData();
  const char* const end = p + data.size();
  auto fail = [&](const char* text) {
    if (error) *error = QString::fromLatin1(text);
    return false;
  };
  auto skip_past = [&](const char* from, const char* marker) -> const char* {
    const size_t len = std::strlen(marker);
    const char* found = std::search(from, end, marker, marker + len);
    return found == end ? nullptr : found + len;
  };
  auto starts = [&](const char* at, const char* text) {
    const size_t len = std::strlen(text);
    return size_t(end - at) >= len && std::memcmp(at, text, len) == 0;
  };
  // The ">" that ends the tag starting at `from`, past quoted values; nullptr when none.
  auto tag_end = [&](const char* from) -> const char* {
    for (const char* q = from; q < end; ++q) {
      if (*q == '"' || *q == '\'') {
        const void* close = std::memchr(q + 1, *q, size_t(end - q - 1));
        if (!close) return nullptr;
        q = static_cast<const char*>(close);
      } else if (*q == '>') {
        return q;
      } else if (*q == '<') {
        return nullptr;
      }
    }
    return nullptr;
  };
  const int max_element_depth = limits.max_depth + 2;
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
      const char* close = tag_end(p + 2);
      if (close && std::memchr(p, '[', size_t(close - p)))
        return fail("property list with a document type subset");
      p = close ? close + 1 : nullptr;
    } else if (starts(p, "</")) {
      if (--depth < 0) return fail("not a property list");
      const char* close = tag_end(p + 2);
      p = close ? close + 1 : nullptr;
    } else {
      const char* close = tag_end(p + 1);
      if (!close) return fail("not a property list");
      if (close[-1] != '/' && ++depth > max_element_depth)
        return fail("property list nested too deeply");
      if (++elements > limits.max_nodes) return fail("property list too large");
      p = close + 1;
    }
    if (!p) return fail("not a property list");
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

// Nesting beyond the limit throws (never reached after Check_Xml; a guard all the same).
struct Too_Deep {};

// What libplist hands out with malloc, freed on every way out.
using Malloced = std::unique_ptr<void, decltype([](void* p) { free(p); })>;

// `depth` counts the arrays and dictionaries around the node.
Value From_Plist(plist_t node, int depth, int max_depth) {
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
      if (depth >= max_depth) throw Too_Deep{};
      Array array;
      array.reserve(plist_array_get_size(node));
      plist_array_iter it = nullptr;
      plist_array_new_iter(node, &it);
      const Malloced iterator(it);  // freed when a nested container throws too
      for (;;) {
        plist_t item = nullptr;
        plist_array_next_item(node, it, &item);
        if (!item) break;
        array.push_back(From_Plist(item, depth + 1, max_depth));
      }
      return Value(std::move(array));
    }
    case PLIST_DICT: {
      if (depth >= max_depth) throw Too_Deep{};
      Dictionary dictionary;
      dictionary.reserve(plist_dict_get_size(node));
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      const Malloced iterator(it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        const Malloced key_owner(key);
        if (!item) break;
        dictionary.insert(QString::fromUtf8(key ? key : ""), From_Plist(item, depth + 1, max_depth));
      }
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
  if (data.startsWith("bplist")) {
    Binary_List list(data);
    if (!list.open()) {
      if (error) *error = QStringLiteral("damaged binary property list");
      return std::nullopt;
    }
    std::vector<Binary_Object> objects;
    if (!Check_Binary(list, limits, objects, error)) return std::nullopt;
    std::optional<Value> value = Binary_Reader(list, objects).read();
    if (!value) {
      if (error) *error = QStringLiteral("not a property list");
      return std::nullopt;
    }
    if (format) *format = Format::Binary;
    return value;
  }
  if (!Check_Xml(data, limits, error)) return std::nullopt;
  plist_t root = nullptr;
  plist_from_xml(data.constData(), uint32_t(data.size()), &root);
  const Plist_Ptr owner(root);
  Value value;
  try {
    if (root) value = From_Plist(root, 0, limits.max_depth);
  } catch (const Too_Deep&) {
    if (error) *error = QStringLiteral("property list nested too deeply");
    return std::nullopt;
  }
  if (value.isNone()) {
    if (error) *error = QStringLiteral("not a property list");
    return std::nullopt;
  }
  if (format) *format = Format::Xml;
  return value;
}

std::optional<Binary_Measure> Check_Binary_Data(const QByteArray& data, const Read_Limits& limits,
                                                QString* error) {
  const auto fail = [error](const char* why) -> std::optional<Binary_Measure> {
    if (error) *error = QString::fromLatin1(why);
    return std::nullopt;
  };
  if (data.isEmpty()) return fail("no data");
  if (data.size() > limits.max_bytes || quint64(data.size()) > 0xFFFFFFFFu)
    return fail("property list too large");
  if (!data.startsWith("bplist")) return fail("not a binary property list");
  Binary_List list(data);
  if (!list.open()) return fail("damaged binary property list");
  std::vector<Binary_Object> objects;
  if (!Check_Binary(list, limits, objects, error)) return std::nullopt;
  const Binary_Object& top = objects[size_t(list.top())];
  return Binary_Measure{qint64(top.nodes), qint64(top.payload), top.depth};
}

QByteArray Write(const Value& root, Format format) {
  if (root.isNone()) return {};
  if (format == Format::Binary) return Binary_Writer().write(root);
  const Plist_Ptr node(To_Plist(root));
  if (!node) return {};
  char* bytes = nullptr;
  uint32_t length = 0;
  plist_to_xml(static_cast<plist_t>(node.get()), &bytes, &length);
  QByteArray out = bytes ? QByteArray(bytes, qsizetype(length)) : QByteArray();
  plist_to_xml_free(bytes);
  return out;
}

std::optional<Value> Read_File(const QString& path, const Read_Limits& limits, Format* format,
                               QString* error) {
  // A regular file only, its size checked before anything is allocated for it: a FIFO or
  // a device would block the reader or feed it without end.
  QByteArray bytes;
  if (!Read_Bounded_File(path, limits.max_bytes, &bytes, error)) return std::nullopt;
  return Read(bytes, limits, format, error);
}

bool Write_File(const QString& path, const Value& root, Format format, QString* error) {
  const QByteArray bytes = Write(root, format);
  if (bytes.isEmpty()) {
    if (error) *error = QStringLiteral("nothing to write");
    return false;
  }
  return Write_Whole_File(path, bytes, error);
}

}  // namespace plist
