#include "model/StyledText.h"

#include <algorithm>

bool Text_Attributes::operator==(const Text_Attributes& other) const {
  return font == other.font && foreground == other.foreground && kerning == other.kerning &&
         alignment == other.alignment;
}

StyledText::StyledText(QString string, Text_Attributes attributes)
    : string_(std::move(string)), typing_(std::move(attributes)) {
  if (!string_.isEmpty()) runs_.push_back({0, length(), typing_});
}

void StyledText::replaceCharacters(const QString& string) {
  const Text_Attributes first = attributesAt(0);
  string_ = string;
  runs_.clear();
  typing_ = first;
  if (!string_.isEmpty()) runs_.push_back({0, length(), first});
}

void StyledText::setAttributes(int start, int len, const Text_Attributes& attributes) {
  if (string_.isEmpty()) {
    typing_ = attributes;
    return;
  }
  start = std::clamp(start, 0, length());
  const int end = std::clamp(start + std::max(len, 0), start, length());
  if (start == end) return;
  std::vector<Run> result;
  for (const Run& run : runs_) {
    const int run_end = run.start + run.length;
    if (run_end <= start || run.start >= end) {
      result.push_back(run);
      continue;
    }
    if (run.start < start) result.push_back({run.start, start - run.start, run.attributes});
    if (run_end > end) result.push_back({end, run_end - end, run.attributes});
  }
  result.push_back({start, end - start, attributes});
  std::sort(result.begin(), result.end(),
            [](const Run& a, const Run& b) { return a.start < b.start; });
  runs_ = std::move(result);
  merge_runs();
}

Text_Attributes StyledText::attributesAt(int index) const {
  for (const Run& run : runs_)
    if (index >= run.start && index < run.start + run.length) return run.attributes;
  return runs_.empty() ? typing_ : runs_.front().attributes;
}

StyledText StyledText::fromRuns(QString string, std::vector<Run> runs) {
  StyledText text;
  text.string_ = std::move(string);
  std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.start < b.start; });
  if (!runs.empty()) text.typing_ = runs.front().attributes;
  if (text.string_.isEmpty()) return text;
  int covered = 0;
  Text_Attributes last = text.typing_;
  for (Run run : runs) {
    const int start = std::clamp(run.start, covered, text.length());
    const int end = std::clamp(run.start + std::max(run.length, 0), start, text.length());
    if (start > covered) text.runs_.push_back({covered, start - covered, last});
    if (end > start) text.runs_.push_back({start, end - start, run.attributes});
    last = run.attributes;
    covered = std::max(covered, end);
  }
  if (covered < text.length()) text.runs_.push_back({covered, text.length() - covered, last});
  text.merge_runs();
  return text;
}

void StyledText::merge_runs() {
  std::vector<Run> merged;
  for (const Run& run : runs_) {
    if (run.length <= 0) continue;
    if (!merged.empty() && merged.back().attributes == run.attributes)
      merged.back().length += run.length;
    else
      merged.push_back(run);
  }
  runs_ = std::move(merged);
}

bool StyledText::operator==(const StyledText& other) const {
  if (string_ != other.string_ || runs_.size() != other.runs_.size()) return false;
  for (size_t i = 0; i < runs_.size(); ++i) {
    const Run &a = runs_[i], &b = other.runs_[i];
    if (a.start != b.start || a.length != b.length || a.attributes != b.attributes) return false;
  }
  return true;
}
