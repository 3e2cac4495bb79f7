#include "platform/Keyed_Archive.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace keyed_archive {

namespace {
const QString Archiver_Name = QStringLiteral("NSKeyedArchiver");
constexpr qint64 Archive_Version = 100000;
const QString Key_Archiver = QStringLiteral("$archiver");
const QString Key_Version = QStringLiteral("$version");
const QString Key_Top = QStringLiteral("$top");
const QString Key_Objects = QStringLiteral("$objects");
const QString Key_Class = QStringLiteral("$class");
const QString Key_Classname = QStringLiteral("$classname");
const QString Key_Classes = QStringLiteral("$classes");
const QString Key_Null = QStringLiteral("$null");
const QString Key_Root = QStringLiteral("root");
const QString Key_NS_Objects = QStringLiteral("NS.objects");
const QString Key_NS_Keys = QStringLiteral("NS.keys");
const QString Key_NS_String = QStringLiteral("NS.string");
const QString Key_NS_Bytes = QStringLiteral("NS.bytes");
const QString Key_NS_Data = QStringLiteral("NS.data");
}  // namespace

// ---- Geometry text ---------------------------------------------------------------------

QString Number_Text(double value) {
  if (value == 0) return QStringLiteral("0");  // no "-0"
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString Rect_Text(const QRectF& r) {
  return QStringLiteral("{{%1, %2}, {%3, %4}}")
      .arg(Number_Text(r.x()), Number_Text(r.y()), Number_Text(r.width()), Number_Text(r.height()));
}

QString Size_Text(const QSizeF& s) {
  return QStringLiteral("{%1, %2}").arg(Number_Text(s.width()), Number_Text(s.height()));
}

QString Point_Text(const QPointF& p) {
  return QStringLiteral("{%1, %2}").arg(Number_Text(p.x()), Number_Text(p.y()));
}

std::vector<double> Numbers_In_Text(const QString& text) {
  // Numbers are ASCII; anything else only separates them.
  QByteArray bytes(text.size(), ' ');
  for (qsizetype i = 0; i < text.size(); ++i)
    if (text.at(i).unicode() < 0x80) bytes[i] = char(text.at(i).unicode());
  std::vector<double> numbers;
  const char* p = bytes.constData();
  const char* const end = p + bytes.size();
  auto digit = [&](const char* at) { return at < end && *at >= '0' && *at <= '9'; };
  while (p < end) {
    // A number starts with a digit, optionally after a sign and a decimal point.
    const char* start = p;
    const char* q = p;
    if (*q == '-' || *q == '+') ++q;
    if (q < end && *q == '.') ++q;
    if (!digit(q)) {
      ++p;
      continue;
    }
    if (*start == '+') ++start;  // from_chars takes no plus sign
    double v = 0;
    const auto [next, ec] = std::from_chars(start, end, v);
    if (ec == std::errc() && std::isfinite(v)) numbers.push_back(v);
    p = next > p ? next : p + 1;
  }
  return numbers;
}

std::optional<QRectF> Rect_From_Text(const QString& text) {
  const std::vector<double> v = Numbers_In_Text(text);
  if (v.size() != 4) return std::nullopt;
  return QRectF(v[0], v[1], v[2], v[3]);
}

std::optional<QSizeF> Size_From_Text(const QString& text) {
  const std::vector<double> v = Numbers_In_Text(text);
  if (v.size() != 2) return std::nullopt;
  return QSizeF(v[0], v[1]);
}

std::optional<QPointF> Point_From_Text(const QString& text) {
  const std::vector<double> v = Numbers_In_Text(text);
  if (v.size() != 2) return std::nullopt;
  return QPointF(v[0], v[1]);
}

// ---- Object_Encoder --------------------------------------------------------------------

void Object_Encoder::Encode_Rect(const QString& key, const QRectF& rect) {
  d_.insert(key, archiver_.Encode_String(Rect_Text(rect)));
}

void Object_Encoder::Encode_Size(const QString& key, const QSizeF& size) {
  d_.insert(key, archiver_.Encode_String(Size_Text(size)));
}

// ---- Archiver --------------------------------------------------------------------------

Archiver::Archiver() { objects_.push_back(Key_Null); }

plist::Uid Archiver::append(plist::Value value) {
  objects_.push_back(std::move(value));
  return plist::Uid{quint64(objects_.size() - 1)};
}

plist::Uid Archiver::Encode_String(const QString& text) {
  const auto it = strings_.constFind(text);
  if (it != strings_.constEnd()) return plist::Uid{*it};
  const plist::Uid uid = append(text);
  strings_.insert(text, uid.value);
  return uid;
}

plist::Uid Archiver::Encode_Data(const QByteArray& bytes) { return append(bytes); }
plist::Uid Archiver::Encode_Integer(qint64 value) { return append(value); }
plist::Uid Archiver::Encode_Real(double value) { return append(value); }

plist::Uid Archiver::class_uid(const QStringList& classes) {
  const QString& name = classes.front();
  const auto it = classes_.constFind(name);
  if (it != classes_.constEnd()) return plist::Uid{*it};
  plist::Array chain;
  chain.reserve(size_t(classes.size()) + 1);
  for (const QString& c : classes) chain.emplace_back(c);
  if (classes.back() != QLatin1String("NSObject")) chain.emplace_back(QStringLiteral("NSObject"));
  const plist::Uid uid = append(plist::Dictionary{{Key_Classname, name}, {Key_Classes, chain}});
  classes_.insert(name, uid.value);
  return uid;
}

plist::Uid Archiver::Encode_Object(const QStringList& classes,
                                   const std::function<void(Object_Encoder&)>& body) {
  const plist::Uid uid = append({});  // the object's place comes before its contents
  plist::Dictionary keys;
  keys.insert(Key_Class, plist::Uid{0});  // "$class" first; set once the body is written
  Object_Encoder encoder(*this, keys);
  body(encoder);
  keys.insert(Key_Class, class_uid(classes));
  objects_[size_t(uid.value)] = std::move(keys);
  return uid;
}

plist::Uid Archiver::Encode_Array(const std::vector<plist::Uid>& items, const QString& class_name) {
  return Encode_Object({class_name}, [&](Object_Encoder& e) {
    plist::Array refs;
    refs.reserve(items.size());
    for (const plist::Uid& item : items) refs.emplace_back(item);
    e.Encode_Value(Key_NS_Objects, std::move(refs));
  });
}

plist::Uid Archiver::Encode_Dictionary(
    const std::vector<std::pair<plist::Uid, plist::Uid>>& entries, const QString& class_name) {
  return Encode_Object({class_name}, [&](Object_Encoder& e) {
    plist::Array keys, values;
    keys.reserve(entries.size());
    values.reserve(entries.size());
    for (const auto& [key, value] : entries) {
      keys.emplace_back(key);
      values.emplace_back(value);
    }
    e.Encode_Value(Key_NS_Keys, std::move(keys));
    e.Encode_Value(Key_NS_Objects, std::move(values));
  });
}

plist::Value Archiver::Archive(plist::Uid root) {
  plist::Dictionary top;
  top.insert(Key_Version, Archive_Version);
  top.insert(Key_Archiver, Archiver_Name);
  top.insert(Key_Top, plist::Dictionary{{Key_Root, root}});
  top.insert(Key_Objects, std::move(objects_));
  objects_ = {};
  strings_.clear();
  classes_.clear();
  return top;
}

QByteArray Archiver::Archived_Data(plist::Uid root, qint64* objects) {
  if (objects) *objects = qint64(objects_.size());
  return plist::Write(Archive(root), plist::Format::Binary);
}

QString Archive_Past_Limits(const QByteArray& data, qint64 objects, const Limits& limits) {
  const QLocale english(QLocale::English);
  if (objects > limits.max_objects)
    return QStringLiteral("%1 archived objects, more than the %2 the reader takes")
        .arg(english.toString(objects), english.toString(limits.max_objects));
  if (data.size() > limits.read.max_bytes)
    return QStringLiteral("an archive of %1 bytes, more than the %2 the reader takes")
        .arg(english.toString(qint64(data.size())), english.toString(limits.read.max_bytes));
  plist::Read_Limits counting = limits.read;
  // Counted to the end (within bounds) so that the reason can give the count.
  counting.max_nodes = std::max<qint64>(limits.read.max_nodes, 0) * 4 + 1;
  counting.max_payload = std::max<qint64>(limits.read.max_payload, 0) * 4 + 1;
  QString why;
  const std::optional<plist::Binary_Measure> m = plist::Check_Binary_Data(data, counting, &why);
  if (!m) return why;
  if (m->nodes > limits.read.max_nodes || m->nodes > limits.max_visits)
    return QStringLiteral("%1 archived values, more than the %2 the reader takes")
        .arg(english.toString(m->nodes),
             english.toString(std::min(limits.read.max_nodes, limits.max_visits)));
  if (m->payload > limits.read.max_payload)
    return QStringLiteral("%1 bytes of archived texts and data, more than the %2 the reader takes")
        .arg(english.toString(m->payload), english.toString(limits.read.max_payload));
  return {};
}

// ---- Unarchiver ------------------------------------------------------------------------

Unarchiver::Unarchiver(plist::Value archive, const Limits& limits)
    : archive_(std::move(archive)), limits_(limits) {}

std::unique_ptr<Unarchiver> Unarchiver::Open(const QByteArray& data, const Limits& limits,
                                             QString* error) {
  std::optional<plist::Value> value = plist::Read(data, limits.read, nullptr, error);
  if (!value) return nullptr;
  return Open(std::move(*value), limits, error);
}

std::unique_ptr<Unarchiver> Unarchiver::Open(plist::Value archive, const Limits& limits,
                                             QString* error) {
  auto refuse = [&](const char* reason) {
    if (error) *error = QString::fromLatin1(reason);
    return std::unique_ptr<Unarchiver>();
  };
  const plist::Dictionary* top = archive.dictionary();
  if (!top) return refuse("not a keyed archive");
  if (const plist::Value* name = top->find(Key_Archiver))
    if (!name->string() || *name->string() != Archiver_Name) return refuse("unknown archiver");
  const plist::Value* objects = top->find(Key_Objects);
  if (!objects || !objects->array() || objects->array()->empty())
    return refuse("archive without objects");
  if (qint64(objects->array()->size()) > limits.max_objects) return refuse("too many objects");
  const plist::Value* top_keys = top->find(Key_Top);
  if (!top_keys || !top_keys->dictionary()) return refuse("archive without root");
  const plist::Value* root = top_keys->dictionary()->find(Key_Root);
  if (!root && top_keys->dictionary()->size() == 1)
    root = &top_keys->dictionary()->entries().front().value;  // a root under another key
  if (!root || !root->uid()) return refuse("archive without root");
  if (root->uid()->value >= objects->array()->size()) return refuse("root outside the archive");

  std::unique_ptr<Unarchiver> unarchiver(new Unarchiver(std::move(archive), limits));
  unarchiver->objects_ = unarchiver->archive_.dictionary()->find(Key_Objects)->array();
  unarchiver->root_ = *root->uid();
  return unarchiver;
}

Object Unarchiver::root() const { return object_at(root_.value, 0); }

Object Unarchiver::object_at(quint64 uid, int depth) const {
  if (uid >= objects_->size()) throw Archive_Error("reference outside the archive");
  if (depth > limits_.max_depth) throw Archive_Error("objects nested too deeply");
  if (++visits_ > limits_.max_visits) throw Archive_Error("archive too complex");
  return Object(this, &(*objects_)[size_t(uid)], depth);
}

// ---- Object ----------------------------------------------------------------------------

bool Object::isNull() const {
  if (!value_ || value_->isNone()) return true;
  const QString* s = value_->string();
  return s && archive_ && value_ == &archive_->objects_->front() && *s == Key_Null;
}

Object Object::resolve(const plist::Value& reference) const {
  if (const plist::Uid* uid = reference.uid()) return archive_->object_at(uid->value, depth_ + 1);
  // A value written in place of a reference stands for itself.
  if (++archive_->visits_ > archive_->limits_.max_visits)
    throw Archive_Error("archive too complex");
  return Object(archive_, &reference, depth_ + 1);
}

const plist::Dictionary* Object::keyed() const {
  if (isNull()) return nullptr;
  return value_->dictionary();
}

const plist::Dictionary* Object::class_description() const {
  const plist::Dictionary* d = keyed();
  if (!d) return nullptr;
  const plist::Value* ref = d->find(Key_Class);
  if (!ref || !ref->uid() || ref->uid()->value >= archive_->objects_->size()) return nullptr;
  return (*archive_->objects_)[size_t(ref->uid()->value)].dictionary();
}

QString Object::className() const {
  const plist::Dictionary* description = class_description();
  const plist::Value* name = description ? description->find(Key_Classname) : nullptr;
  return name && name->string() ? *name->string() : QString();
}

QStringList Object::classes() const {
  const plist::Dictionary* description = class_description();
  if (!description) return {};
  QStringList chain;
  const plist::Value* name = description->find(Key_Classname);
  if (name && name->string()) chain << *name->string();
  if (const plist::Value* list = description->find(Key_Classes); list && list->array())
    for (const plist::Value& c : *list->array())
      if (c.string() && (chain.isEmpty() || *c.string() != chain.front())) chain << *c.string();
  return chain;
}

bool Object::isKindOf(QLatin1String class_name) const {
  const plist::Dictionary* description = class_description();
  if (!description) return false;
  const plist::Value* name = description->find(Key_Classname);
  if (name && name->string() && *name->string() == class_name) return true;
  if (const plist::Value* list = description->find(Key_Classes); list && list->array())
    for (const plist::Value& c : *list->array())
      if (c.string() && *c.string() == class_name) return true;
  return false;
}

std::optional<QString> Object::toString() const {
  if (isNull()) return std::nullopt;
  if (const QString* s = value_->string()) return *s;
  if (const plist::Dictionary* d = keyed()) {
    const QString name = className();
    if (name == QLatin1String("NSString") || name == QLatin1String("NSMutableString")) {
      const plist::Value* inner = d->find(Key_NS_String);
      if (inner && inner->string()) return *inner->string();
      if (inner && inner->uid()) return resolve(*inner).toString();
    }
  }
  return std::nullopt;
}

std::optional<QByteArray> Object::toData() const {
  if (isNull()) return std::nullopt;
  if (const QByteArray* bytes = value_->data()) return *bytes;
  if (const plist::Dictionary* d = keyed()) {
    const QString name = className();
    if (name == QLatin1String("NSData") || name == QLatin1String("NSMutableData")) {
      for (const QString& key : {Key_NS_Bytes, Key_NS_Data}) {
        const plist::Value* inner = d->find(key);
        if (inner && inner->data()) return *inner->data();
      }
    }
  }
  return std::nullopt;
}

std::optional<double> Object::toNumber() const {
  if (isNull()) return std::nullopt;
  if (const bool* b = value_->boolean()) return *b ? 1.0 : 0.0;
  return value_->number();
}

std::vector<Object> Object::arrayItems() const {
  std::vector<Object> items;
  const plist::Dictionary* d = keyed();
  if (!d) return items;
  const plist::Value* list = d->find(Key_NS_Objects);
  if (!list || !list->array() || d->contains(Key_NS_Keys)) return items;
  items.reserve(list->array()->size());
  for (const plist::Value& ref : *list->array()) items.push_back(resolve(ref));
  return items;
}

std::vector<std::pair<Object, Object>> Object::dictionaryEntries() const {
  std::vector<std::pair<Object, Object>> entries;
  const plist::Dictionary* d = keyed();
  if (!d) return entries;
  const plist::Value* keys = d->find(Key_NS_Keys);
  const plist::Value* values = d->find(Key_NS_Objects);
  if (!keys || !values || !keys->array() || !values->array()) return entries;
  const size_t n = std::min(keys->array()->size(), values->array()->size());
  entries.reserve(n);
  for (size_t i = 0; i < n; ++i)
    entries.emplace_back(resolve((*keys->array())[i]), resolve((*values->array())[i]));
  return entries;
}

bool Object::containsKey(const QString& key) const {
  const plist::Dictionary* d = keyed();
  return d && d->contains(key);
}

const plist::Value* Object::rawValue(const QString& key) const {
  const plist::Dictionary* d = keyed();
  return d ? d->find(key) : nullptr;
}

std::optional<bool> Object::decodeBool(const QString& key) const {
  const plist::Value* v = rawValue(key);
  if (!v) return std::nullopt;
  if (const bool* b = v->boolean()) return *b;
  if (const qint64* i = v->integer()) return *i != 0;
  return std::nullopt;
}

std::optional<qint64> Object::decodeInt64(const QString& key) const {
  const plist::Value* v = rawValue(key);
  if (!v) return std::nullopt;
  if (const qint64* i = v->integer()) return *i;
  if (const bool* b = v->boolean()) return *b ? 1 : 0;
  if (const double* r = v->real()) {
    // Truncated, as a number asked for its integer value; nothing when it cannot fit.
    if (!std::isfinite(*r) || std::fabs(*r) >= 9.2e18) return std::nullopt;
    return qint64(*r);
  }
  return std::nullopt;
}

std::optional<qint32> Object::decodeInt32(const QString& key) const {
  const std::optional<qint64> v = decodeInt64(key);
  if (!v || *v < std::numeric_limits<qint32>::min() || *v > std::numeric_limits<qint32>::max())
    return std::nullopt;
  return qint32(*v);
}

std::optional<double> Object::decodeDouble(const QString& key) const {
  const plist::Value* v = rawValue(key);
  if (!v) return std::nullopt;
  if (const bool* b = v->boolean()) return *b ? 1.0 : 0.0;
  return v->number();
}

std::optional<float> Object::decodeFloat(const QString& key) const {
  const std::optional<double> v = decodeDouble(key);
  if (!v) return std::nullopt;
  return float(*v);
}

std::optional<QString> Object::geometry_text(const QString& key) const {
  const plist::Value* v = rawValue(key);
  if (!v) return std::nullopt;
  if (v->uid()) return resolve(*v).toString();
  if (const QString* text = v->string()) return *text;
  return std::nullopt;
}

std::optional<QRectF> Object::decodeRect(const QString& key) const {
  const std::optional<QString> text = geometry_text(key);
  return text ? Rect_From_Text(*text) : std::nullopt;
}

std::optional<QSizeF> Object::decodeSize(const QString& key) const {
  const std::optional<QString> text = geometry_text(key);
  return text ? Size_From_Text(*text) : std::nullopt;
}

Object Object::decodeObject(const QString& key) const {
  const plist::Value* v = rawValue(key);
  if (!v) return {};
  return resolve(*v);
}

}  // namespace keyed_archive
