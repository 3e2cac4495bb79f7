// The pull reader over a device: tokens that begin in one read of the device and end in the
// next are read as they are read from memory.

#include "series/Xml_Stream.h"

#include <QBuffer>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace {

// The tokens as short texts: a start tag with its attributes "a" and "b", an end tag, a text
// (a long one by its length), and an error with its reason; joined by " | ".
std::string Tokens(Xml_Pull_Reader& reader) {
  QStringList tokens;
  const auto joined = [&] { return tokens.join(QStringLiteral(" | ")).toStdString(); };
  for (;;) {
    switch (reader.next()) {
      case Xml_Pull_Reader::Start_Element: {
        QString tag = u'<' + QString::fromUtf8(reader.name().data(), qsizetype(reader.name().size()));
        for (const char* attribute : {"a", "b"}) {
          bool found = false;
          reader.raw_attribute(attribute, &found);
          if (found) tag += u' ' + QLatin1String(attribute) + u'=' + reader.attribute(attribute);
        }
        tokens << tag + u'>';
        break;
      }
      case Xml_Pull_Reader::End_Element:
        tokens << QStringLiteral("</%1>").arg(
            QString::fromUtf8(reader.name().data(), qsizetype(reader.name().size())));
        break;
      case Xml_Pull_Reader::Text: {
        std::string text;
        reader.append_text(text);
        tokens << (text.size() > 40 ? QStringLiteral("text of %1").arg(text.size())
                                    : QStringLiteral("text:") + QString::fromStdString(text));
        break;
      }
      case Xml_Pull_Reader::End_Of_Document:
        return joined();
      case Xml_Pull_Reader::Error:
        tokens << QStringLiteral("error: ") + reader.error_string();
        return joined();
    }
  }
}

// Each kind of markup, and a text, placed so that the device's first read ends at every
// offset within it, from just before its first byte to just after its last: the reader
// finds where each ends (a tag, "-->", "?>", "]]>") however it was cut.
TEST(Xml_Pull_Reader, ATokenCutByTheEndOfARead) {
  const struct {
    const char* what;
    QByteArray markup;
    QStringList tokens;
  } cases[] = {
      {"a start tag with attributes", R"(<c a="1" b='x &amp; y'>v</c>)",
       {"<c a=1 b=x & y>", "text:v", "</c>"}},
      {"an empty element", R"(<e a="a longer value"/>)", {"<e a=a longer value>", "</e>"}},
      {"an end tag with a prefix and space", "<x:p>q</x:p >", {"<p>", "text:q", "</p>"}},
      {"a comment", "<!-- a - note -->", {}},
      {"a processing instruction", "<?target some ? data?>", {}},
      {"a CDATA section", "<![CDATA[a ]] b > c]]>", {"text:a ]] b > c"}},
      {"a text with references and a line end", "<t>a&#x263A;b&lt;\r\nc</t>",
       {"<t>", QStringLiteral("text:a\u263Ab<\nc"), "</t>"}},
  };
  const QByteArray head = "<root><f>", filler_end = "</f>";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (qsizetype before = 0; before <= c.markup.size(); ++before) {
      SCOPED_TRACE(before);
      // The markup begins `before` bytes ahead of the end of the first read.
      const qsizetype filler = Xml_Pull_Reader::Read_Chunk - before - head.size() - filler_end.size();
      QByteArray document = head + QByteArray(filler, 'y') + filler_end;
      ASSERT_EQ(document.size() + before, Xml_Pull_Reader::Read_Chunk);
      document += c.markup + "</root>";
      const std::string expected =
          (QStringList{"<root>", "<f>", QStringLiteral("text of %1").arg(filler), "</f>"} +
           c.tokens + QStringList{"</root>"})
              .join(QStringLiteral(" | "))
              .toStdString();
      QBuffer device(&document);
      ASSERT_TRUE(device.open(QIODevice::ReadOnly));
      Xml_Pull_Reader from_device(&device);
      ASSERT_EQ(Tokens(from_device), expected);
      Xml_Pull_Reader from_memory(document);
      ASSERT_EQ(Tokens(from_memory), expected);
    }
  }
}

}  // namespace
