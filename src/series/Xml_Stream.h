#pragma once
// Streaming XML for the spreadsheet parts: a pull reader that walks a file token by token
// without building a tree (worksheets of a million cells stay small in memory), and a
// writer that escapes as it goes into a file written whole or not at all.
//
// The reader is lenient like the parsers office programs use: it checks that the document
// is complete and its tags are well formed, resolves the predefined and numeric character
// references, normalises line ends, and leaves names as written (prefixes included;
// callers compare local names). Document type declarations are refused, so no entity can
// ever expand. Bytes that are not strict UTF-8 are refused as they are read (no character
// is ever replaced), as are declarations of any other encoding.

#include "platform/Whole_File.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QIODevice;

// Checks bytes as strict UTF-8 as they come, a character's bytes possibly cut between calls.
class Xml_Utf8_Check {
 public:
  // The offset (counted from the first byte ever fed) of the first character that is not
  // UTF-8; -1 while all are.
  qint64 feed(const char* data, qint64 size);
  // At the end of the input: the offset of a character cut short there; -1 when none is.
  qint64 finish() const;
  // "The document is not encoded in UTF-8: ..." naming the offset.
  static QString Reason(qint64 offset);

 private:
  qint64 checked_ = 0;  // bytes fed before this call
  qint64 start_ = 0;    // where the character being read began
  int need_ = 0;        // its bytes still to come
  unsigned char lo_ = 0x80, hi_ = 0xBF;  // the range of its next byte
};

class Xml_Pull_Reader {
 public:
  enum Token { Start_Element, End_Element, Text, End_Of_Document, Error };
  // The bytes asked of the device at a time: a token may end in a later read than it began.
  static constexpr qsizetype Read_Chunk = 256 * 1024;

  // Reads from the device, which must be open for reading and outlive the reader.
  explicit Xml_Pull_Reader(QIODevice* device);
  // Reads a document held whole in memory; the bytes are shared, not copied.
  explicit Xml_Pull_Reader(const QByteArray& document);
  // Reads a piece of a document from the device's current position as if the elements
  // `open` (qualified names, outermost first) were open: `length` bytes, or all that follow
  // when it is negative. A piece of some length ends there (End_Of_Document) whatever is open
  // then; depth() tells what is. A piece to the end must end the document.
  Xml_Pull_Reader(QIODevice* device, qint64 length, const std::vector<std::string>& open);
  // Where the next token begins: bytes from the start of the input.
  qint64 position() const { return dropped_ + pos_; }
  // The qualified names of the elements open after the current token, outermost first.
  std::vector<std::string> open_elements() const;

  Token next();

  // The local name (prefix removed) of the element just started or ended.
  std::string_view name() const;
  // The raw value of the current start tag's attribute with this local name; `found` tells
  // whether it is there. Values hold no resolved references; see attribute().
  std::string_view raw_attribute(std::string_view local_name, bool* found = nullptr) const;
  // The attribute's value with references resolved, as UTF-8 appended to `out`.
  bool attribute(std::string_view local_name, std::string& out) const;
  QString attribute(std::string_view local_name) const;
  // Appends the current text token, references resolved, as UTF-8.
  void append_text(std::string& out) const;
  // The depth of the current token: the root element's start and end tags are at depth 1,
  // its children's tags at 2, text directly inside the root at 1.
  int depth() const { return depth_; }
  QString error_string() const { return error_; }

 private:
  struct Attribute {
    qsizetype name = 0, name_size = 0, local = 0, value = 0, value_size = 0;
  };
  bool more();
  bool ensure(qsizetype count);
  bool find(qsizetype from, std::string_view pattern, qsizetype* at);
  char at(qsizetype offset) const { return buffer_.constData()[begin_ + offset]; }
  Token fail(const QString& message);
  Token next_token();
  bool too_long() const;
  int read_markup();
  Token read_start_tag();
  int parse_start_tag();
  Token read_end_tag();

  QIODevice* device_;
  Xml_Utf8_Check utf8_;
  qint64 dropped_offset_ = 0;  // where the input began in the device, for offsets shown
  QByteArray buffer_;
  qsizetype begin_ = 0;  // start of the current token
  qsizetype pos_ = 0;    // next byte to read
  qsizetype end_ = 0;    // bytes held
  bool eof_ = false;
  bool started_ = false;
  bool root_seen_ = false;
  bool pending_end_ = false;
  bool pending_pop_ = false;
  bool cdata_ = false;
  bool piece_ = false;  // a piece that stops before the document's end
  qint64 left_ = -1;     // the bytes of the device still to read (-1: all it has)
  qint64 dropped_ = 0;   // the bytes read before the buffer's first
  int depth_ = 0;
  qsizetype name_ = 0, name_size_ = 0, local_ = 0;
  qsizetype text_ = 0, text_size_ = 0;
  std::vector<Attribute> attributes_;
  std::string open_names_;                // the qualified names of the open elements
  std::vector<size_t> open_name_starts_;  // where each begins in open_names_
  QString error_;
};

// Writes XML into a file through Whole_File_Writer: nothing replaces the file unless every
// byte reached the disk. Texts are escaped; characters XML 1.0 cannot carry (control characters
// other than tab, line feed and carriage return, U+FFFE, U+FFFF) are left out, and a
// carriage return is written as a reference so that it survives line-end normalisation.
class Xml_Writer {
 public:
  explicit Xml_Writer(const QString& path);
  ~Xml_Writer();

  bool open();
  // The declaration: version 1.0, then the encoding and standalone="yes" when asked.
  void declaration(bool with_encoding = true, bool standalone = true);
  void start(std::string_view name);
  void attribute(std::string_view name, std::string_view value);
  void attribute(std::string_view name, const QString& value);
  // xml:space="preserve" on the open start tag when the text begins or ends with white space.
  void preserve_space_for(const QString& text);
  void text(const QString& value);
  void text(std::string_view ascii);
  // Ends the element: "/>" when its start tag got no content, else the end tag.
  void end(std::string_view name);
  void newline();
  // Writes everything out and replaces the file; false when any write failed.
  bool commit();
  // Why open() or commit() failed: the step and the system's error.
  QString error_string() const;

 private:
  void close_start_tag();
  void flush_buffer();
  void append_escaped(const QString& value, bool in_attribute);

  Whole_File_Writer file_;
  std::string buffer_;
  bool tag_open_ = false;
  bool failed_ = false;
};
