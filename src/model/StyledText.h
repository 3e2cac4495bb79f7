#pragma once
// Styled text: a string with attribute runs (font, colour, kerning, paragraph
// alignment). A text object keeps one of these and shares it; writers replace its
// characters in place.
//
// Each distinct set of attributes is held once (styles()); a run names its set by index.
// A text holds at most Max_Runs runs: what the design file and the pasteboard carry of a
// text stays within what their readers take, and a text past it is refused where it
// comes in (Refused_Runs_Text tells why).

#include "model/CRDColor.h"

#include <QFont>
#include <QString>

#include <optional>
#include <vector>

struct Text_Attributes {
  std::optional<QFont> font;
  CRDColor foreground;            // no colour: the painter's default (black)
  std::optional<double> kerning;  // points
  std::optional<int> alignment;   // paragraph alignment, the text object's code

  bool operator==(const Text_Attributes& other) const;
  bool operator!=(const Text_Attributes& other) const { return !(*this == other); }
};
// Equal attributes hash alike.
size_t qHash(const Text_Attributes& attributes, size_t seed = 0) noexcept;

class StyledText {
 public:
  // The most runs a text may hold (each run a stretch of characters of one style). Each
  // distinct style archives as about 38 values, so even a text whose every run has a style
  // of its own stays well within the 2,000,000 values the reader takes of one archive.
  static constexpr int Max_Runs = 32768;

  struct Run {
    int start = 0;
    int length = 0;
    int style = 0;  // index into styles()
  };

  StyledText() = default;
  explicit StyledText(QString string, Text_Attributes attributes = {});

  const QString& string() const { return string_; }
  int length() const { return int(string_.size()); }
  // Runs cover the string without gaps, in order, neighbours of different styles; an
  // empty string has no runs.
  const std::vector<Run>& runs() const { return runs_; }
  // The distinct attribute sets of the runs, each once.
  const std::vector<Text_Attributes>& styles() const { return styles_; }
  const Text_Attributes& attributes(const Run& run) const { return styles_[size_t(run.style)]; }

  // Replaces every character; the new characters take the attributes of the first
  // character (or of the empty text's typing attributes).
  void replaceCharacters(const QString& string);
  // Sets the attributes of a range, splitting runs at its ends. False, changing nothing,
  // when the text would then hold more than Max_Runs runs.
  bool setAttributes(int start, int length, const Text_Attributes& attributes);
  // Sets the attributes of the whole text.
  void setAttributes(const Text_Attributes& attributes) { setAttributes(0, length(), attributes); }
  // Attributes at a character; the typing attributes for an empty text.
  Text_Attributes attributesAt(int index) const;

  // Builds a text as read from storage: the styles, and runs naming them in order (each
  // run's style an index into `styles`; an index outside takes no attributes). Runs are
  // clipped to the string, gaps filled with the style of the run before, neighbours of one
  // style joined. Nothing, with the reason in *why, when more than Max_Runs runs remain.
  static std::optional<StyledText> fromRuns(QString string, std::vector<Text_Attributes> styles,
                                            const std::vector<Run>& runs, QString* why = nullptr);

  // Why a text of `runs` runs is refused; "" when it is not.
  static QString Refused_Runs_Text(qint64 runs);

  bool operator==(const StyledText& other) const;

 private:
  // Index of a style, added when new.
  int style_index(const Text_Attributes& attributes);
  // Joins neighbours of one style and drops styles no run names.
  void normalize();

  QString string_;
  std::vector<Run> runs_;
  std::vector<Text_Attributes> styles_;
  Text_Attributes typing_;  // attributes of an empty text
};
