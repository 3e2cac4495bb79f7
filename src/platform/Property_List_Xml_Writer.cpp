// The XML form of a property list written straight into one buffer: no intermediate
// tree, data elements encoded with Qt's base64 in a single pass. The document is the one
// the desktop writes (header, DOCTYPE, tab indentation); UIDs of keyed archives appear
// as {"CF$UID": n}, as XML has no UID element.

#include "platform/Property_List.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace plist {
namespace {

// Where the writer's bytes go: a buffer, or a count of what the buffer would hold.
class Buffer_Sink {
 public:
  explicit Buffer_Sink(QByteArray& out) : out_(out) {}
  void append(const char* p, qsizetype n) { out_.append(p, n); }
  void append(const char* text) { out_.append(text); }
  void append(const QByteArray& bytes) { out_.append(bytes); }
  void append(char c) { out_.append(c); }
  void tabs(int n) { out_.append(n, '\t'); }
  void base64(const QByteArray& data) { out_.append(data.toBase64()); }
  bool full() const { return false; }

 private:
  QByteArray& out_;
};

// Counts bytes and the elements a reader counts (every start tag, an empty-element tag
// included), and stops the writer once either passes its limit.
class Count_Sink {
 public:
  Count_Sink(qint64 max_bytes, qint64 max_elements)
      : max_bytes_(max_bytes), max_elements_(max_elements) {}
  void append(const char* p, qsizetype n) {
    if (n <= 0) return;
    bytes_ += n;
    const char* const end = p + n;
    if (after_lt_) start_of_tag(*p);
    after_lt_ = false;
    // Text content never holds a raw "<" (it is escaped): every one starts a tag.
    while ((p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p))))) {
      if (++p == end) {
        after_lt_ = true;
        break;
      }
      start_of_tag(*p);
    }
  }
  void append(const char* text) { append(text, qsizetype(std::strlen(text))); }
  void append(const QByteArray& bytes) { append(bytes.constData(), bytes.size()); }
  void append(char c) { append(&c, 1); }
  void tabs(int n) { bytes_ += n; }
  void base64(const QByteArray& data) { bytes_ += (data.size() + 2) / 3 * 4; }
  bool full() const { return bytes_ > max_bytes_ || elements_ > max_elements_; }

  qint64 bytes() const { return bytes_; }
  qint64 elements() const { return elements_; }

 private:
  void start_of_tag(char next) {
    if (next != '/' && next != '?' && next != '!') ++elements_;
  }

  qint64 max_bytes_, max_elements_;
  qint64 bytes_ = 0, elements_ = 0;
  bool after_lt_ = false;  // the last byte was a "<"
};

template <class Sink>
class Xml_Writer {
 public:
  Xml_Writer(Sink& out, QString* error) : out_(&out), error_(error) {}

  bool write(const Value& root) {
    out_->append(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n");
    if (!value(root, 0)) return false;
    out_->append("</plist>\n");
    return true;
  }

 private:
  void indent(int depth) { out_->tabs(depth); }

  // Text content: the XML escapes, and a carriage return as a character reference (a reader
  // turns a raw one into a line feed); characters XML 1.0 cannot carry refuse the list.
  bool text(const QString& s) {
    const QByteArray utf8 = s.toUtf8();
    const char* p = utf8.constData();
    const char* end = p + utf8.size();
    const char* run = p;
    for (; p < end; ++p) {
      const unsigned char c = static_cast<unsigned char>(*p);
      const char* escape = nullptr;
      if (c == '&')
        escape = "&amp;";
      else if (c == '<')
        escape = "&lt;";
      else if (c == '>')
        escape = "&gt;";
      else if (c == '\r')
        escape = "&#13;";
      else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        if (error_)
          *error_ = QStringLiteral("a string holds the control character %1, which XML cannot carry")
                        .arg(int(c));
        return false;
      }
      if (escape) {
        out_->append(run, p - run);
        out_->append(escape);
        run = p + 1;
      }
    }
    out_->append(run, end - run);
    return true;
  }

  void element(const char* tag, const QByteArray& content, int depth) {
    indent(depth);
    out_->append('<');
    out_->append(tag);
    out_->append('>');
    out_->append(content);
    out_->append("</");
    out_->append(tag);
    out_->append(">\n");
  }

  static QByteArray real_text(double d) {
    if (std::isnan(d)) return QByteArrayLiteral("nan");
    if (std::isinf(d)) return d > 0 ? QByteArrayLiteral("+infinity") : QByteArrayLiteral("-infinity");
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, d);
    QByteArray out(buffer, result.ptr - buffer);
    // A whole number keeps its ".0" so that readers take it for a real.
    if (!out.contains('.') && !out.contains('e')) out.append(".0");
    return out;
  }

  bool value(const Value& v, int depth) {
    if (out_->full()) return false;  // counting only: past the limit, the rest is not needed
    switch (v.type()) {
      case Value::Type::None:
        if (error_) *error_ = QStringLiteral("the root has no value");
        return false;
      case Value::Type::Boolean:
        indent(depth);
        out_->append(*v.boolean() ? "<true/>\n" : "<false/>\n");
        return true;
      case Value::Type::Integer:
        element("integer", QByteArray::number(*v.integer()), depth);
        return true;
      case Value::Type::Real:
        element("real", real_text(*v.real()), depth);
        return true;
      case Value::Type::String:
        indent(depth);
        out_->append("<string>");
        if (!text(*v.string())) return false;
        out_->append("</string>\n");
        return true;
      case Value::Type::Data:
        indent(depth);
        out_->append("<data>");
        out_->base64(*v.data());
        out_->append("</data>\n");
        return true;
      case Value::Type::Date:
        // Whole seconds in UTC with "Z", the one form every reader takes.
        element("date",
                v.date()->toUTC().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss'Z'")).toLatin1(),
                depth);
        return true;
      case Value::Type::Uid:
        indent(depth);
        out_->append("<dict>\n");
        indent(depth + 1);
        out_->append("<key>CF$UID</key>\n");
        element("integer", QByteArray::number(v.uid()->value), depth + 1);
        indent(depth);
        out_->append("</dict>\n");
        return true;
      case Value::Type::Array: {
        const Array& items = *v.array();
        bool any = false;
        for (const Value& item : items) any = any || !item.isNone();
        indent(depth);
        if (!any) {
          out_->append("<array/>\n");
          return true;
        }
        out_->append("<array>\n");
        for (const Value& item : items)
          if (!item.isNone() && !value(item, depth + 1)) return false;
        indent(depth);
        out_->append("</array>\n");
        return true;
      }
      case Value::Type::Dictionary: {
        const Dictionary& d = *v.dictionary();
        bool any = false;
        for (const Dictionary_Entry& e : d.entries()) any = any || !e.value.isNone();
        indent(depth);
        if (!any) {
          out_->append("<dict/>\n");
          return true;
        }
        out_->append("<dict>\n");
        for (const Dictionary_Entry& e : d.entries()) {
          if (e.value.isNone()) continue;
          indent(depth + 1);
          out_->append("<key>");
          if (!text(e.key)) return false;
          out_->append("</key>\n");
          if (!value(e.value, depth + 1)) return false;
        }
        indent(depth);
        out_->append("</dict>\n");
        return true;
      }
    }
    return false;
  }

  Sink* out_;
  QString* error_;
};

// The size of the document, near enough to allocate it once.
qint64 estimate(const Value& v) {
  switch (v.type()) {
    case Value::Type::String: return 24 + v.string()->size() * 3;
    case Value::Type::Data: return 24 + v.data()->size() * 4 / 3;
    case Value::Type::Array: {
      qint64 n = 24;
      for (const Value& item : *v.array()) n += estimate(item);
      return n;
    }
    case Value::Type::Dictionary: {
      qint64 n = 24;
      for (const Dictionary_Entry& e : v.dictionary()->entries())
        n += 24 + e.key.size() * 3 + estimate(e.value);
      return n;
    }
    default: return 48;
  }
}

}  // namespace

QByteArray Write_Xml_Direct(const Value& root, QString* error) {
  QByteArray out;
  out.reserve(qsizetype(std::min<qint64>(estimate(root) + 256, qint64(1) << 30)));
  Buffer_Sink sink(out);
  if (!Xml_Writer<Buffer_Sink>(sink, error).write(root)) return {};
  return out;
}

std::optional<Xml_Measure> Measure_Xml(const Value& root, const Read_Limits& limits,
                                       QString* error) {
  Count_Sink sink(limits.max_bytes, limits.max_nodes);
  QString why;
  const bool whole = Xml_Writer<Count_Sink>(sink, &why).write(root);
  Xml_Measure measure{sink.bytes(), sink.elements(), sink.full()};
  if (!whole && !measure.stopped) {  // a value XML cannot carry
    if (error) *error = why;
    return std::nullopt;
  }
  return measure;
}

}  // namespace plist
