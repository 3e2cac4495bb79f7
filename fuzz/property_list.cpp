// Property lists as read from files and the clipboard: XML and binary.

#include "Fuzz_Support.h"
#include "platform/Property_List.h"

QList<QByteArray> Fuzz_Seeds() {
  using namespace plist;
  Dictionary nested{{"name", Value("Card")}, {"size", Value(12.5)}, {"on", Value(true)}};
  const Value samples[] = {
      Value(Array{Value(1), Value("two"), Value(QByteArray("\x00\x01\x02", 3)),
                  Value(QDateTime::fromMSecsSinceEpoch(0, Qt::UTC)), Value(Uid{7})}),
      Value(Dictionary{{"$version", Value(100000)},
                       {"$objects", Value(Array{Value("$null"), Value(nested)})},
                       {"list", Value(Array{Value(Array{Value(Array{})}), Value(nested)})}}),
      Value(QStringLiteral("\u00e9t\u00e9 \U0001F389")),
  };
  QList<QByteArray> seeds;
  for (const Value& v : samples)
    for (const Format f : {Format::Xml, Format::Binary}) seeds << Write(v, f);
  return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                   qsizetype(size));
  plist::Format format;
  QString error;
  if (const std::optional<plist::Value> value = plist::Read(bytes, {}, &format, &error))
    plist::Write(*value, format);  // whatever is read can be written again
  return 0;
}
