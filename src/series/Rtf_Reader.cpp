#include "series/Rtf_Reader.h"

#include <QHash>
#include <QStringDecoder>

#include <cctype>
#include <functional>
#include <map>
#include <vector>

namespace {

// The code page of a font character set (\fcharsetN); 0 for "the document's" (ANSI and
// default sets, which writers pair with the document's \ansicpgN).
int Charset_Code_Page(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    default: return 0;
  }
}

QByteArray Code_Page_Name(int code_page) {
  switch (code_page) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 932: return "Shift_JIS";
    case 936: return "GBK";
    case 949: return "EUC-KR";
    case 950: return "Big5";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: break;
  }
  if (code_page == 874 || (code_page >= 1250 && code_page <= 1258))
    return "windows-" + QByteArray::number(code_page);
  return "windows-1252";
}

// Destinations whose text is not part of the document body.
bool Skipped_Destination(QByteArrayView word) {
  static const QByteArrayView skipped[] = {
      "fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "headerl", "headerr",
      "headerf", "footer", "footerl", "footerr", "footerf", "footnote", "listtable",
      "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "themedata", "colorschememapping",
      "latentstyles", "datastore", "object", "nonshppict", "shpinst", "fldinst", "generator",
      "filetbl", "pgdsctbl", "mmathPr", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc"};
  for (const QByteArrayView name : skipped)
    if (word == name) return true;
  return false;
}

// Control words that stand for characters.
bool Symbol_Word(QByteArrayView word, QStringView& out) {
  struct Symbol {
    QByteArrayView word;
    const char16_t* text;
  };
  static const Symbol symbols[] = {
      {"par", u"\n"},       {"line", u"\n"},      {"sect", u"\n"},      {"page", u"\n"},
      {"row", u"\n"},       {"tab", u"\t"},       {"cell", u"\t"},      {"emdash", u"\u2014"},
      {"endash", u"\u2013"}, {"bullet", u"\u2022"}, {"lquote", u"\u2018"}, {"rquote", u"\u2019"},
      {"ldblquote", u"\u201C"}, {"rdblquote", u"\u201D"}, {"emspace", u"\u2003"},
      {"enspace", u"\u2002"}, {"qmspace", u"\u2005"}, {"zwj", u"\u200D"}, {"zwnj", u"\u200C"},
  };
  for (const Symbol& s : symbols) {
    if (word == s.word) {
      out = QStringView(s.text);
      return true;
    }
  }
  return false;
}

struct Group_State {
  bool skip = false;      // the group's text is not body text
  bool font_table = false;
  int unicode_skip = 1;   // \ucN: fallback characters after each \uN
  int code_page = 0;      // of the current font, 0: the document's
};

class Rtf_Parser {
 public:
  Rtf_Parser(const QByteArray& data, const Rtf_Text_Sink& sink) : data_(data), sink_(sink) {}

  Rtf_Result run() {
    if (!data_.startsWith("{\\rtf")) return Rtf_Result::Refused;
    while (pos_ < data_.size()) {
      if (stopped_) return Rtf_Result::Stopped;
      if (unpaired_) return Rtf_Result::Refused;
      const char c = data_.at(pos_);
      if (c == '{') {
        ++pos_;
        flush();
        if (int(stack_.size()) >= Rtf_Max_Depth) return Rtf_Result::Refused;
        stack_.push_back(stack_.empty() ? Group_State{} : stack_.back());
        pending_skip_ = 0;
        continue;
      }
      if (c == '}') {
        ++pos_;
        flush();
        if (stack_.empty()) return Rtf_Result::Refused;
        stack_.pop_back();
        pending_skip_ = 0;
        if (!stack_.empty()) continue;
        // The document's group is closed.
        if (stopped_) return Rtf_Result::Stopped;
        return unpaired_ || pending_high_ ? Rtf_Result::Refused : Rtf_Result::Text;
      }
      if (stack_.empty()) return Rtf_Result::Refused;
      if (c == '\\') {
        if (!control()) return Rtf_Result::Refused;
        continue;
      }
      ++pos_;
      if (c == '\r' || c == '\n') continue;  // line ends of the file are no text
      character_byte(c);
    }
    return Rtf_Result::Refused;  // a group is still open
  }

 private:
  Group_State& state() { return stack_.back(); }

  // Hands text on. A \uN may leave a surrogate unpaired: such text is not Unicode (a plain
  // text file holding it is refused too), so the document is refused.
  void put(QStringView text) {
    if (stopped_ || unpaired_ || text.isEmpty()) return;
    for (const QChar c : text) {
      if (pending_high_ != c.isLowSurrogate()) {
        unpaired_ = true;
        return;
      }
      pending_high_ = c.isHighSurrogate();
    }
    if (!sink_(text)) stopped_ = true;
  }

  // One byte of text (a literal byte or \'hh), decoded through the current code page.
  void character_byte(char byte) {
    if (pending_skip_ > 0) {
      --pending_skip_;
      return;
    }
    if (state().skip) return;
    const int page = state().code_page ? state().code_page : document_page_;
    if (page != bytes_page_) flush();
    bytes_page_ = page;
    bytes_ += byte;
  }

  void character(QStringView text) {
    if (state().skip) return;
    flush();
    put(text);
  }

  void flush() {
    if (bytes_.isEmpty()) return;
    QStringDecoder& decoder = decoder_for(bytes_page_);
    put(QString(decoder.decode(bytes_)));
    bytes_.truncate(0);  // keeps its room for the next run
  }

  // One decoder per encoding, not per code page: every unknown code page is read as
  // windows-1252, so a file naming millions of them still makes a handful.
  QStringDecoder& decoder_for(int page) {
    if (page == last_page_ && last_decoder_) return *last_decoder_;
    const QByteArray name = Code_Page_Name(page);
    auto found = decoders_.find(name);
    if (found == decoders_.end()) {
      QStringDecoder decoder(name.constData());
      if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Latin1);
      found = decoders_.emplace(name, std::move(decoder)).first;
    }
    last_page_ = page;
    last_decoder_ = &found->second;
    return found->second;
  }

  bool control() {
    ++pos_;  // the backslash
    if (pos_ >= data_.size()) return false;
    const char c = data_.at(pos_);
    if (std::isalpha(static_cast<unsigned char>(c))) return control_word();
    ++pos_;
    switch (c) {
      case '\'': {
        // Exactly two hex digits (toInt alone would take a sign or a space).
        if (pos_ + 2 > data_.size() || !std::isxdigit(static_cast<unsigned char>(data_.at(pos_))) ||
            !std::isxdigit(static_cast<unsigned char>(data_.at(pos_ + 1))))
          return false;
        const int value = data_.mid(pos_, 2).toInt(nullptr, 16);
        pos_ += 2;
        character_byte(char(value));
        return true;
      }
      case '*':
        state().skip = true;
        return true;
      case '\\': case '{': case '}':
        if (pending_skip_ > 0) {
          --pending_skip_;
          return true;
        }
        character(QString(QChar::fromLatin1(c)));
        return true;
      case '\r': case '\n':
        character(QStringLiteral("\n"));
        return true;
      case '~':
        character(QString(QChar(0x00A0)));
        return true;
      case '_':
        character(QString(QChar(0x2011)));
        return true;
      case '\t':
        character(QStringLiteral("\t"));
        return true;
      default:
        return true;  // \- (optional hyphen), \| and the other symbols show nothing
    }
  }

  bool control_word() {
    const qsizetype start = pos_;
    while (pos_ < data_.size() && std::isalpha(static_cast<unsigned char>(data_.at(pos_))) &&
           pos_ - start <= 32)
      ++pos_;
    if (pos_ - start > 32) return false;
    const QByteArrayView word = QByteArrayView(data_).sliced(start, pos_ - start);
    bool has_param = false, negative = false;
    qint64 param = 0;
    if (pos_ < data_.size() && data_.at(pos_) == '-') {
      negative = true;
      ++pos_;
    }
    const qsizetype digits = pos_;
    while (pos_ < data_.size() && std::isdigit(static_cast<unsigned char>(data_.at(pos_)))) {
      if (pos_ - digits >= 10) return false;
      param = param * 10 + (data_.at(pos_) - '0');
      ++pos_;
    }
    has_param = pos_ > digits;
    if (negative && !has_param) return false;
    if (negative) param = -param;
    if (pos_ < data_.size() && data_.at(pos_) == ' ') ++pos_;  // the delimiter
    return apply(word, has_param, param);
  }

  bool apply(QByteArrayView word, bool has_param, qint64 param) {
    if (word == "bin") {
      if (!has_param || param < 0 || param > data_.size() - pos_) return false;
      pos_ += param;  // binary data, never text
      return true;
    }
    if (word == "u") {
      if (!has_param) return true;
      const int code = int(param < 0 ? param + 65536 : param);
      if (code < 0 || code > 0xFFFF) return true;
      character(QString(QChar(char16_t(code))));
      pending_skip_ = state().unicode_skip;
      return true;
    }
    if (pending_skip_ > 0) {  // a control word inside a \u fallback counts as one character
      --pending_skip_;
      return true;
    }
    if (word == "uc") {
      state().unicode_skip = has_param && param >= 0 && param < 16 ? int(param) : 1;
    } else if (word == "ansi") {
      document_page_ = 1252;
    } else if (word == "mac") {
      document_page_ = 10000;
    } else if (word == "pc") {
      document_page_ = 437;
    } else if (word == "pca") {
      document_page_ = 850;
    } else if (word == "ansicpg") {
      if (has_param) document_page_ = int(param);
    } else if (word == "fonttbl") {
      state().skip = true;
      state().font_table = true;
    } else if (word == "f") {
      if (state().font_table) {
        table_font_ = int(param);
      } else if (has_param) {
        state().code_page = font_pages_.value(int(param), 0);
      }
    } else if (word == "fcharset") {
      if (state().font_table && has_param) font_pages_[table_font_] = Charset_Code_Page(int(param));
    } else if (Skipped_Destination(word)) {
      state().skip = true;
    } else {
      QStringView symbol;
      if (Symbol_Word(word, symbol)) character(symbol);
    }
    return true;
  }

  const QByteArray& data_;
  qsizetype pos_ = 0;
  std::vector<Group_State> stack_;
  const Rtf_Text_Sink& sink_;
  bool stopped_ = false;       // the sink wants no more
  bool pending_high_ = false;  // the last character handed on is a high surrogate
  bool unpaired_ = false;      // a surrogate without its partner
  QByteArray bytes_;
  int bytes_page_ = 0;
  int document_page_ = 1252;
  int pending_skip_ = 0;
  int table_font_ = 0;
  QHash<int, int> font_pages_;
  std::map<QByteArray, QStringDecoder> decoders_;
  int last_page_ = 0;
  QStringDecoder* last_decoder_ = nullptr;
};

}  // namespace

Rtf_Result Rtf_To_Text(const QByteArray& rtf, const Rtf_Text_Sink& sink) {
  if (rtf.size() > Rtf_Max_Bytes) return Rtf_Result::Refused;
  return Rtf_Parser(rtf, sink).run();
}

std::optional<QString> Rtf_To_Text(const QByteArray& rtf) {
  QString text;
  const Rtf_Text_Sink append = [&text](QStringView piece) {
    text.append(piece);
    return true;
  };
  if (Rtf_To_Text(rtf, append) != Rtf_Result::Text) return std::nullopt;
  return text;
}
