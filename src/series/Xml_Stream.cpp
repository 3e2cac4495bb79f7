#include "series/Xml_Stream.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace {

constexpr qsizetype kReadChunk = Xml_Pull_Reader::Read_Chunk;
// No token of a real part comes near this (a cell holds at most 32,767 characters): a tag,
// text run or comment that does not end before it is refused instead of buffered whole.
constexpr qsizetype kMax_Token = qsizetype(64) << 20;
constexpr size_t kWriteChunk = 1 << 20;

// XML white space is space, tab, line feed and carriage return; the other characters below
// the space are not allowed in a document, so the lenient reader counts them as space too.
inline bool is_space(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool is_xml_char(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

void append_utf8(std::string& out, char32_t c) {
  if (!is_xml_char(c)) c = 0xFFFD;
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

bool character_reference(std::string_view digits, char32_t* code) {
  int base = 10;
  if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
    base = 16;
    digits.remove_prefix(1);
  }
  if (digits.empty()) return false;
  char32_t value = 0;
  for (char d : digits) {
    int v;
    if (d >= '0' && d <= '9')
      v = d - '0';
    else if (base == 16 && d >= 'a' && d <= 'f')
      v = d - 'a' + 10;
    else if (base == 16 && d >= 'A' && d <= 'F')
      v = d - 'A' + 10;
    else
      return false;
    value = value * base + v;
    if (value > 0x10FFFF) return false;
  }
  *code = value;
  return true;
}

enum class Resolve { Text, Attribute, Cdata };

// Line ends become "\n" (in attributes every white-space character becomes a space), and
// outside CDATA sections the predefined and numeric references are replaced. An unknown
// reference stays as written.
void resolve(std::string_view raw, std::string& out, Resolve mode) {
  const bool attribute = mode == Resolve::Attribute;
  const bool references = mode != Resolve::Cdata;
  size_t i = 0;
  const size_t n = raw.size();
  while (i < n) {
    size_t j = i;
    while (j < n) {
      const char c = raw[j];
      if (c == '\r' || (references && c == '&') || (attribute && (c == '\t' || c == '\n'))) break;
      ++j;
    }
    out.append(raw.data() + i, j - i);
    if (j == n) break;
    const char c = raw[j];
    if (c == '\r') {
      out += attribute ? ' ' : '\n';
      if (j + 1 < n && raw[j + 1] == '\n') ++j;
      i = j + 1;
      continue;
    }
    if (c != '&') {
      out += ' ';
      i = j + 1;
      continue;
    }
    // The longest reference we resolve ("&#x10FFFF;", "&#1114111;") ends within 12
    // characters: a ";" further on ends no reference of ours.
    const size_t semicolon = raw.substr(j, 13).find(';');
    if (semicolon == std::string_view::npos) {
      out += '&';
      i = j + 1;
      continue;
    }
    const std::string_view entity = raw.substr(j + 1, semicolon - 1);
    char32_t code = 0;
    if (entity == "lt")
      out += '<';
    else if (entity == "gt")
      out += '>';
    else if (entity == "amp")
      out += '&';
    else if (entity == "apos")
      out += '\'';
    else if (entity == "quot")
      out += '"';
    else if (!entity.empty() && entity[0] == '#' && character_reference(entity.substr(1), &code))
      append_utf8(out, code);
    else
      out.append(raw.substr(j, semicolon + 1));
    i = j + semicolon + 1;
  }
}

}  // namespace

// ---- UTF-8 ---------------------------------------------------------------------------------

// Strict UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing past U+10FFFF. The
// bytes of a character may be cut between two calls; the state carries what is missing.
qint64 Xml_Utf8_Check::feed(const char* data, qint64 size) {
  const auto* b = reinterpret_cast<const unsigned char*>(data);
  qint64 i = 0;
  while (i < size) {
    if (need_ == 0) {
      // Runs of ASCII, eight bytes at a time.
      while (i + 8 <= size) {
        quint64 word;
        std::memcpy(&word, b + i, 8);
        if (word & 0x8080808080808080ull) break;
        i += 8;
      }
      if (i >= size) break;
      const unsigned char c = b[i];
      if (c < 0x80) {
        ++i;
        continue;
      }
      lo_ = 0x80;
      hi_ = 0xBF;
      if (c >= 0xC2 && c <= 0xDF) {
        need_ = 1;
      } else if (c >= 0xE0 && c <= 0xEF) {
        need_ = 2;
        if (c == 0xE0) lo_ = 0xA0;  // overlong
        if (c == 0xED) hi_ = 0x9F;  // surrogates
      } else if (c >= 0xF0 && c <= 0xF4) {
        need_ = 3;
        if (c == 0xF0) lo_ = 0x90;  // overlong
        if (c == 0xF4) hi_ = 0x8F;  // past U+10FFFF
      } else {
        return checked_ + i;
      }
      start_ = checked_ + i;
      ++i;
      continue;
    }
    const unsigned char c = b[i];
    if (c < lo_ || c > hi_) return start_;
    lo_ = 0x80;
    hi_ = 0xBF;
    --need_;
    ++i;
  }
  checked_ += size;
  return -1;
}

qint64 Xml_Utf8_Check::finish() const { return need_ == 0 ? -1 : start_; }

QString Xml_Utf8_Check::Reason(qint64 offset) {
  return QStringLiteral("The document is not encoded in UTF-8: the bytes at offset %1 are no "
                        "UTF-8 character.")
      .arg(offset);
}

// ---- Xml_Pull_Reader -------------------------------------------------------------------

Xml_Pull_Reader::Xml_Pull_Reader(QIODevice* device) : device_(device) {}

// Everything is held already: nothing more is ever read, and the buffer is only read from
// (it stays shared with the caller's bytes). Its bytes are checked at once.
Xml_Pull_Reader::Xml_Pull_Reader(const QByteArray& document)
    : device_(nullptr), buffer_(document), end_(document.size()), eof_(true) {
  qint64 bad = utf8_.feed(document.constData(), document.size());
  if (bad < 0) bad = utf8_.finish();
  if (bad >= 0) error_ = Xml_Utf8_Check::Reason(bad);
}

Xml_Pull_Reader::Xml_Pull_Reader(QIODevice* device, qint64 length,
                                 const std::vector<std::string>& open)
    : device_(device), started_(true), root_seen_(!open.empty()), piece_(length >= 0),
      left_(length), depth_(int(open.size())) {
  dropped_offset_ = device->pos();
  for (const std::string& name : open) {
    open_name_starts_.push_back(open_names_.size());
    open_names_ += name;
  }
}

std::vector<std::string> Xml_Pull_Reader::open_elements() const {
  std::vector<std::string> names;
  const size_t count = open_name_starts_.size() - (pending_pop_ ? 1 : 0);
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 < open_name_starts_.size() ? open_name_starts_[i + 1] : open_names_.size();
    names.push_back(open_names_.substr(open_name_starts_[i], end - open_name_starts_[i]));
  }
  return names;
}

// Moves the current token to the front of the buffer and reads more after it; offsets
// relative to begin_ stay valid. False at the end of the input.
bool Xml_Pull_Reader::more() {
  if (eof_) return false;
  if (end_ - begin_ > kMax_Token) {
    eof_ = true;
    if (error_.isEmpty()) error_ = QStringLiteral("A tag or text of the document is too long.");
    return false;
  }
  const auto input_ends = [this] {
    eof_ = true;
    // The input ends inside a character.
    if (const qint64 bad = utf8_.finish(); bad >= 0 && error_.isEmpty())
      error_ = Xml_Utf8_Check::Reason(dropped_offset_ + bad);
    return false;
  };
  const qint64 want = left_ < 0 ? kReadChunk : std::min<qint64>(kReadChunk, left_);
  if (want == 0) return input_ends();
  if (begin_ > 0) {
    const qsizetype kept = end_ - begin_;
    if (kept > 0) std::memmove(buffer_.data(), buffer_.constData() + begin_, size_t(kept));
    dropped_ += begin_;
    pos_ -= begin_;
    end_ = kept;
    begin_ = 0;
  }
  if (buffer_.size() - end_ < kReadChunk) buffer_.resize(end_ + kReadChunk);
  const qint64 got = device_->read(buffer_.data() + end_, want);
  if (got < 0) {
    eof_ = true;
    if (error_.isEmpty()) error_ = device_->errorString();
    return false;
  }
  if (got == 0) return input_ends();
  // Every byte is checked as it arrives: bytes that are no UTF-8 never reach a token.
  if (const qint64 bad = utf8_.feed(buffer_.constData() + end_, got); bad >= 0) {
    eof_ = true;
    if (error_.isEmpty()) error_ = Xml_Utf8_Check::Reason(dropped_offset_ + bad);
    return false;
  }
  end_ += got;
  if (left_ > 0) left_ -= got;
  return true;
}

bool Xml_Pull_Reader::ensure(qsizetype count) {
  while (end_ - begin_ < count)
    if (!more()) return false;
  return true;
}

bool Xml_Pull_Reader::find(qsizetype from, std::string_view pattern, qsizetype* found) {
  if (pattern.size() == 1) {
    for (;;) {
      const char* base = buffer_.constData() + begin_;
      const void* hit = std::memchr(base + from, pattern[0], size_t(end_ - begin_ - from));
      if (hit) {
        *found = static_cast<const char*>(hit) - base;
        return true;
      }
      from = end_ - begin_;
      if (!more()) return false;
    }
  }
  for (;;) {
    const std::string_view held(buffer_.constData() + begin_ + from, size_t(end_ - begin_ - from));
    const size_t hit = held.find(pattern);
    if (hit != std::string_view::npos) {
      *found = from + qsizetype(hit);
      return true;
    }
    from = std::max(from, end_ - begin_ - qsizetype(pattern.size()) + 1);
    if (!more()) return false;
  }
}

Xml_Pull_Reader::Token Xml_Pull_Reader::fail(const QString& message) {
  if (error_.isEmpty()) error_ = message;
  return Error;
}

std::string_view Xml_Pull_Reader::name() const {
  return std::string_view(buffer_.constData() + local_, size_t(name_ + name_size_ - local_));
}

std::string_view Xml_Pull_Reader::raw_attribute(std::string_view local_name, bool* found) const {
  for (const Attribute& a : attributes_) {
    const std::string_view local(buffer_.constData() + a.local,
                                 size_t(a.name + a.name_size - a.local));
    if (local == local_name) {
      if (found) *found = true;
      return std::string_view(buffer_.constData() + a.value, size_t(a.value_size));
    }
  }
  if (found) *found = false;
  return {};
}

bool Xml_Pull_Reader::attribute(std::string_view local_name, std::string& out) const {
  bool found = false;
  const std::string_view raw = raw_attribute(local_name, &found);
  if (found) resolve(raw, out, Resolve::Attribute);
  return found;
}

QString Xml_Pull_Reader::attribute(std::string_view local_name) const {
  std::string value;
  if (!attribute(local_name, value)) return {};
  return QString::fromUtf8(value.data(), qsizetype(value.size()));
}

void Xml_Pull_Reader::append_text(std::string& out) const {
  resolve(std::string_view(buffer_.constData() + text_, size_t(text_size_)), out,
          cdata_ ? Resolve::Cdata : Resolve::Text);
}

// A document held in memory keeps the limit on one token that reading from a device has.
bool Xml_Pull_Reader::too_long() const { return !device_ && pos_ - begin_ > kMax_Token; }

Xml_Pull_Reader::Token Xml_Pull_Reader::next() {
  const Token token = next_token();
  if (token != Error && too_long())
    return fail(QStringLiteral("A tag or text of the document is too long."));
  return token;
}

Xml_Pull_Reader::Token Xml_Pull_Reader::next_token() {
  if (!error_.isEmpty()) return Error;
  if (pending_end_) {
    pending_end_ = false;
    pending_pop_ = true;
    return End_Element;
  }
  if (pending_pop_) {
    pending_pop_ = false;
    --depth_;
    open_names_.resize(open_name_starts_.back());
    open_name_starts_.pop_back();
  }
  attributes_.clear();
  cdata_ = false;
  for (;;) {
    begin_ = pos_;
    if (pos_ >= end_ && !more()) {
      if (!error_.isEmpty()) return Error;
      if (piece_) return End_Of_Document;
      if (!root_seen_) return fail(QStringLiteral("The document has no root element."));
      if (depth_ > 0) return fail(QStringLiteral("The document ends before its elements do."));
      return End_Of_Document;
    }
    if (!started_) {
      started_ = true;
      ensure(3);
      if (!error_.isEmpty()) return Error;  // the first bytes are no UTF-8
      const qsizetype held = end_ - begin_;
      const auto byte = [&](qsizetype i) { return uchar(at(i)); };
      if (held >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
        pos_ = begin_ + 3;
        continue;
      }
      if (held >= 2 &&
          ((byte(0) == 0xFE && byte(1) == 0xFF) || (byte(0) == 0xFF && byte(1) == 0xFE)))
        return fail(QStringLiteral("The document is not encoded in UTF-8."));
    }
    if (at(0) == '<') {
      // Most markup is a start tag; it needs no look at what else it could be.
      if (end_ - begin_ >= 2) {
        const char second = at(1);
        if (second != '/' && second != '?' && second != '!') return read_start_tag();
      }
      const int token = read_markup();
      if (token < 0 && too_long()) return fail(QStringLiteral("A tag or text of the document is too long."));
      if (token < 0) continue;  // a comment or processing instruction
      return Token(token);
    }
    qsizetype lt = 0;
    if (!find(0, "<", &lt)) lt = end_ - begin_;
    text_ = begin_;
    text_size_ = lt;
    pos_ = begin_ + lt;
    if (depth_ == 0) {
      const char* p = buffer_.constData() + begin_;
      if (std::all_of(p, p + lt, is_space)) {
        if (too_long()) return fail(QStringLiteral("A tag or text of the document is too long."));
        continue;
      }
      return fail(QStringLiteral("Text stands outside the root element."));
    }
    return Text;
  }
}

int Xml_Pull_Reader::read_markup() {
  if (!ensure(2)) return fail(QStringLiteral("The document ends inside a tag."));
  const char second = at(1);
  qsizetype close = 0;
  if (second == '?') {
    if (!find(2, "?>", &close))
      return fail(QStringLiteral("The document ends inside a processing instruction."));
    // The XML declaration may name another encoding: its bytes would be read as UTF-8
    // text that is not what the file says.
    const std::string_view instruction(buffer_.constData() + begin_, size_t(close + 2));
    if (instruction.size() > 6 && instruction.substr(0, 5) == "<?xml" &&
        std::strchr(" \t\r\n", instruction[5])) {
      const size_t key = instruction.find("encoding");
      const size_t quote = key == std::string_view::npos ? key : instruction.find_first_of("\"'", key);
      if (quote != std::string_view::npos) {
        const size_t end = instruction.find(instruction[quote], quote + 1);
        const QByteArray name =
            QByteArray(instruction.data() + quote + 1,
                       qsizetype((end == std::string_view::npos ? instruction.size() : end) - quote - 1))
                .toLower();
        if (name != "utf-8" && name != "utf8")
          return fail(QStringLiteral("The document is not encoded in UTF-8."));
      }
    }
    pos_ = begin_ + close + 2;
    return -1;
  }
  if (second == '!') {
    ensure(9);
    const std::string_view head(buffer_.constData() + begin_,
                                size_t(std::min<qsizetype>(end_ - begin_, 9)));
    if (head.substr(0, 4) == "<!--") {
      if (!find(4, "-->", &close))
        return fail(QStringLiteral("The document ends inside a comment."));
      pos_ = begin_ + close + 3;
      return -1;
    }
    if (head == "<![CDATA[") {
      if (!find(9, "]]>", &close))
        return fail(QStringLiteral("The document ends inside a CDATA section."));
      if (depth_ == 0) return fail(QStringLiteral("Text stands outside the root element."));
      text_ = begin_ + 9;
      text_size_ = close - 9;
      cdata_ = true;
      pos_ = begin_ + close + 3;
      return Text;
    }
    if (head.substr(0, 9) == "<!DOCTYPE")
      return fail(QStringLiteral("Document type declarations are not accepted."));
    return fail(QStringLiteral("Unknown markup."));
  }
  if (second == '/') return read_end_tag();
  return read_start_tag();
}

Xml_Pull_Reader::Token Xml_Pull_Reader::read_end_tag() {
  // End tags are short: a plain scan finds the ">" (reading more when the buffer ends).
  qsizetype close = 2, local = 2;
  for (;;) {
    const char* p = buffer_.constData() + begin_;
    const qsizetype n = end_ - begin_;
    while (close < n && p[close] != '>') {
      if (p[close] == ':') local = close + 1;
      ++close;
    }
    if (close < n) break;
    if (!more()) return fail(QStringLiteral("The document ends inside a tag."));
  }
  qsizetype first = 2, last = close;
  while (last > first && is_space(at(last - 1))) --last;
  if (last == first) return fail(QStringLiteral("An end tag has no name."));
  if (depth_ == 0) return fail(QStringLiteral("An end tag has no start tag."));
  const std::string_view written(buffer_.constData() + begin_ + first, size_t(last - first));
  const size_t open = open_name_starts_.back();
  if (std::string_view(open_names_).substr(open) != written)
    return fail(QStringLiteral("The end tag </%1> does not match its start tag.")
                    .arg(QString::fromUtf8(written.data(), qsizetype(written.size()))));
  name_ = begin_ + first;
  name_size_ = last - first;
  local_ = begin_ + std::min(local, last);
  pos_ = begin_ + close + 1;
  pending_pop_ = true;
  return End_Element;
}

Xml_Pull_Reader::Token Xml_Pull_Reader::read_start_tag() {
  // The whole tag is parsed in one pass; when the buffer ends inside it, more is read and
  // the tag is parsed again from its start.
  for (;;) {
    const int parsed = parse_start_tag();
    if (parsed == Start_Element) break;
    if (parsed == Error) return Error;
    if (!more()) return fail(QStringLiteral("The document ends inside a tag."));
  }
  if (depth_ == 0 && root_seen_) return fail(QStringLiteral("The document has two root elements."));
  root_seen_ = true;
  ++depth_;
  open_name_starts_.push_back(open_names_.size());
  open_names_.append(buffer_.constData() + name_, size_t(name_size_));
  return Start_Element;
}

// Start_Element when the tag was read, Error for a malformed one, -1 when the buffer ends
// before the tag does.
int Xml_Pull_Reader::parse_start_tag() {
  constexpr int kNeed_More = -1;
  attributes_.clear();
  const char* p = buffer_.constData() + begin_;
  const qsizetype n = end_ - begin_;
  qsizetype i = 1, local = 1;
  while (i < n && !is_space(p[i]) && p[i] != '/' && p[i] != '>') {
    if (p[i] == ':') local = i + 1;
    ++i;
  }
  if (i == n) return kNeed_More;
  if (i == 1) return fail(QStringLiteral("A start tag has no name."));
  name_ = begin_ + 1;
  name_size_ = i - 1;
  local_ = begin_ + local;
  for (;;) {
    while (i < n && is_space(p[i])) ++i;
    if (i == n) return kNeed_More;
    if (p[i] == '>') {
      pos_ = begin_ + i + 1;
      pending_end_ = false;
      return Start_Element;
    }
    if (p[i] == '/') {
      if (i + 1 == n) return kNeed_More;
      if (p[i + 1] != '>') return fail(QStringLiteral("A tag is malformed."));
      pos_ = begin_ + i + 2;
      pending_end_ = true;
      return Start_Element;
    }
    Attribute a;
    a.name = begin_ + i;
    qsizetype local = i;
    while (i < n && p[i] != '=' && !is_space(p[i]) && p[i] != '>' && p[i] != '/') {
      if (p[i] == ':') local = i + 1;
      ++i;
    }
    if (i == n) return kNeed_More;
    a.name_size = begin_ + i - a.name;
    a.local = begin_ + local;
    while (i < n && is_space(p[i])) ++i;
    if (i == n) return kNeed_More;
    if (p[i] != '=' || a.name_size == 0) return fail(QStringLiteral("An attribute is malformed."));
    ++i;
    while (i < n && is_space(p[i])) ++i;
    if (i == n) return kNeed_More;
    const char quote = p[i];
    if (quote != '"' && quote != '\'')
      return fail(QStringLiteral("An attribute value is not quoted."));
    ++i;
    qsizetype value_end = i;
    while (value_end < n && p[value_end] != quote && p[value_end] != '<') ++value_end;
    if (value_end == n) return kNeed_More;
    if (p[value_end] == '<') return fail(QStringLiteral("An attribute value holds \"<\"."));
    a.value = begin_ + i;
    a.value_size = value_end - i;
    i = value_end + 1;
    attributes_.push_back(a);
  }
}

// ---- Xml_Writer ------------------------------------------------------------------------

Xml_Writer::Xml_Writer(const QString& path) : file_(path) {}

Xml_Writer::~Xml_Writer() = default;  // an unfinished file is thrown away

bool Xml_Writer::open() {
  buffer_.reserve(kWriteChunk + 4096);
  return file_.open(QIODevice::WriteOnly);
}

void Xml_Writer::declaration(bool with_encoding, bool standalone) {
  buffer_ += "<?xml version=\"1.0\"";
  if (with_encoding) buffer_ += " encoding=\"UTF-8\"";
  if (standalone) buffer_ += " standalone=\"yes\"";
  buffer_ += "?>\n";
}

void Xml_Writer::close_start_tag() {
  if (!tag_open_) return;
  buffer_ += '>';
  tag_open_ = false;
}

void Xml_Writer::flush_buffer() {
  if (buffer_.empty()) return;
  if (!failed_ && file_.write(buffer_.data(), qint64(buffer_.size())) != qint64(buffer_.size()))
    failed_ = true;
  buffer_.clear();
}

void Xml_Writer::start(std::string_view name) {
  close_start_tag();
  buffer_ += '<';
  buffer_ += name;
  tag_open_ = true;
  if (buffer_.size() >= kWriteChunk) flush_buffer();
}

void Xml_Writer::attribute(std::string_view name, std::string_view value) {
  buffer_ += ' ';
  buffer_ += name;
  buffer_ += "=\"";
  buffer_ += value;  // ASCII values of our own: nothing to escape
  buffer_ += '"';
}

void Xml_Writer::attribute(std::string_view name, const QString& value) {
  buffer_ += ' ';
  buffer_ += name;
  buffer_ += "=\"";
  append_escaped(value, true);
  buffer_ += '"';
}

void Xml_Writer::preserve_space_for(const QString& text) {
  if (text.isEmpty()) return;
  const auto space = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
  if (space(text.front()) || space(text.back()))
    attribute("xml:space", std::string_view("preserve"));
}

void Xml_Writer::text(const QString& value) {
  close_start_tag();
  append_escaped(value, false);
  if (buffer_.size() >= kWriteChunk) flush_buffer();
}

void Xml_Writer::text(std::string_view ascii) {
  close_start_tag();
  buffer_ += ascii;
}

void Xml_Writer::end(std::string_view name) {
  if (tag_open_) {
    buffer_ += "/>";
    tag_open_ = false;
  } else {
    buffer_ += "</";
    buffer_ += name;
    buffer_ += '>';
  }
  if (buffer_.size() >= kWriteChunk) flush_buffer();
}

void Xml_Writer::newline() {
  close_start_tag();
  buffer_ += '\n';
}

void Xml_Writer::append_escaped(const QString& value, bool in_attribute) {
  // UTF-16 to UTF-8 and escaping in one pass, without a temporary copy of the text.
  const char16_t* p = reinterpret_cast<const char16_t*>(value.constData());
  const qsizetype n = value.size();
  for (qsizetype i = 0; i < n; ++i) {
    char32_t c = p[i];
    if (c < 0x80) {
      switch (c) {
        case '&': buffer_ += "&amp;"; break;
        case '<': buffer_ += "&lt;"; break;
        case '>': buffer_ += "&gt;"; break;
        case '"':
          if (in_attribute)
            buffer_ += "&quot;";
          else
            buffer_ += '"';
          break;
        case '\r': buffer_ += "&#13;"; break;
        case '\n':
          if (in_attribute)
            buffer_ += "&#10;";
          else
            buffer_ += '\n';
          break;
        case '\t':
          if (in_attribute)
            buffer_ += "&#9;";
          else
            buffer_ += '\t';
          break;
        default:
          if (c >= 0x20) buffer_ += char(c);  // other control characters cannot be written
      }
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;  // half of a surrogate pair
    } else if (c == 0xFFFE || c == 0xFFFF) {
      continue;  // not XML characters
    }
    append_utf8(buffer_, c);
  }
}

bool Xml_Writer::commit() {
  close_start_tag();
  flush_buffer();
  if (failed_) {
    file_.discard();
    return false;
  }
  return file_.commit();
}

QString Xml_Writer::error_string() const { return file_.error_string(); }
