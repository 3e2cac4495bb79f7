#pragma once
// Styled text: a string with attribute runs (font, colour, kerning, paragraph
// alignment). A text object keeps one of these and shares it; writers replace its
// characters in place.

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

class StyledText {
 public:
  struct Run {
    int start = 0;
    int length = 0;
    Text_Attributes attributes;
  };

  StyledText() = default;
  explicit StyledText(QString string, Text_Attributes attributes = {});

  const QString& string() const { return string_; }
  int length() const { return int(string_.size()); }
  // Runs cover the string without gaps, in order; an empty string has no runs.
  const std::vector<Run>& runs() const { return runs_; }

  // Replaces every character; the new characters take the attributes of the first
  // character (or of the empty text's typing attributes).
  void replaceCharacters(const QString& string);
  // Sets the attributes of a range, splitting runs at its ends.
  void setAttributes(int start, int length, const Text_Attributes& attributes);
  // Sets the attributes of the whole text.
  void setAttributes(const Text_Attributes& attributes) { setAttributes(0, length(), attributes); }
  // Attributes at a character; the typing attributes for an empty text.
  Text_Attributes attributesAt(int index) const;

  // Builds a text from runs as read from storage; runs are clipped to the string and
  // gaps are filled with the attributes of the preceding run.
  static StyledText fromRuns(QString string, std::vector<Run> runs);

  bool operator==(const StyledText& other) const;

 private:
  void merge_runs();

  QString string_;
  std::vector<Run> runs_;
  Text_Attributes typing_;  // attributes of an empty text
};
