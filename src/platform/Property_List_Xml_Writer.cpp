// The XML form of a property list written straight into one buffer: no intermediate
// tree, data elements encoded with Qt's base64 in a single pass. The document is the one
// the desktop writes (header, DOCTYPE, tab indentation); UIDs of keyed archives appear
// as {"CF$UID": n}, as XML has no UID element.

#include "platform/Property_List.h"

#include <charconv>
#include <cmath>

namespace plist {
namespace {

class Xml_Writer {
 public:
  explicit Xml_Writer(QString* error) : error_(error) {}

  bool write(const Value& root, QByteArray& out) {
    out_ = &out;
    out.append(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
        "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
        "<plist version=\"1.0\">\n");
    if (!value(root, 0)) return false;
    out.append("</plist>\n");
    return true;
  }

 private:
  void indent(int depth) { out_->append(depth, '\t'); }

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
    out_->append('<').append(tag).append('>');
    out_->append(content);
    out_->append("</").append(tag).append(">\n");
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
        out_->append(v.data()->toBase64());
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

  QString* error_;
  QByteArray* out_ = nullptr;
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
  Xml_Writer writer(error);
  if (!writer.write(root, out)) return {};
  return out;
}

}  // namespace plist
