#include "model/StyledText.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

bool Text_Attributes::operator==(const Text_Attributes& other) const {
  return font == other.font && foreground == other.foreground && kerning == other.kerning &&
         alignment == other.alignment;
}

size_t qHash(const Text_Attributes& a, size_t seed) noexcept {
  QtPrivate::QHashCombine combine;
  seed = combine(seed, a.font.has_value());
  if (a.font) seed = combine(seed, *a.font);
  const CRDColor& c = a.foreground;
  seed = combine(seed, c.isValid());
  if (c.isValid()) {
    seed = combine(seed, int(c.space()));
    for (double v : {c.redComponent(), c.greenComponent(), c.blueComponent(), c.alphaComponent()})
      seed = combine(seed, v);
  }
  seed = combine(seed, a.kerning.has_value());
  if (a.kerning) seed = combine(seed, *a.kerning);
  seed = combine(seed, a.alignment.value_or(-1));
  return combine(seed, a.alignment.has_value());
}

StyledText::StyledText(QString string, Text_Attributes attributes)
    : string_(std::move(string)), typing_(std::move(attributes)) {
  if (string_.isEmpty()) return;
  styles_.push_back(typing_);
  runs_.push_back({0, length(), 0});
}

void StyledText::replaceCharacters(const QString& string) {
  Text_Attributes first = attributesAt(0);
  string_ = string;
  runs_.clear();
  styles_.clear();
  typing_ = first;
  if (string_.isEmpty()) return;
  styles_.push_back(std::move(first));
  runs_.push_back({0, length(), 0});
}

int StyledText::style_index(const Text_Attributes& attributes) {
  for (size_t i = 0; i < styles_.size(); ++i)
    if (styles_[i] == attributes) return int(i);
  styles_.push_back(attributes);
  return int(styles_.size() - 1);
}

bool StyledText::setAttributes(int start, int len, const Text_Attributes& attributes) {
  if (string_.isEmpty()) {
    typing_ = attributes;
    return true;
  }
  start = std::clamp(start, 0, length());
  const int end = std::clamp(start + std::max(len, 0), start, length());
  if (start == end) return true;
  const std::vector<Run> old_runs = runs_;
  const std::vector<Text_Attributes> old_styles = styles_;
  const int style = style_index(attributes);
  std::vector<Run> result;
  result.reserve(runs_.size() + 2);
  bool placed = false;
  for (const Run& run : runs_) {
    const int run_end = run.start + run.length;
    if (run_end <= start) {
      result.push_back(run);
      continue;
    }
    if (run.start < start) result.push_back({run.start, start - run.start, run.style});
    if (!placed) {
      result.push_back({start, end - start, style});
      placed = true;
    }
    if (run_end > end) {
      const int from = std::max(end, run.start);
      result.push_back({from, run_end - from, run.style});
    }
  }
  runs_ = std::move(result);
  normalize();
  if (runs_.size() > size_t(Max_Runs)) {
    runs_ = old_runs;
    styles_ = old_styles;
    return false;
  }
  return true;
}

Text_Attributes StyledText::attributesAt(int index) const {
  if (runs_.empty()) return typing_;
  // The last run starting at or before the index.
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), index,
                                      [](int i, const Run& run) { return i < run.start; });
  if (after != runs_.begin()) {
    const Run& run = *(after - 1);
    if (index < run.start + run.length) return attributes(run);
  }
  return attributes(runs_.front());
}

std::optional<StyledText> StyledText::fromRuns(QString string, std::vector<Text_Attributes> styles,
                                               const std::vector<Run>& runs, QString* why) {
  StyledText text;
  text.string_ = std::move(string);
  // Each distinct style once, in the order the runs first name them.
  QHash<Text_Attributes, int> known;
  std::vector<int> index_of(styles.size(), -1);
  int outside = -1;  // the style of indexes outside the list: no attributes
  const auto style_of = [&](int stored) {
    int* slot = stored >= 0 && size_t(stored) < styles.size() ? &index_of[size_t(stored)] : &outside;
    if (*slot < 0) {
      Text_Attributes a = slot == &outside ? Text_Attributes{} : std::move(styles[size_t(stored)]);
      const auto found = known.constFind(a);
      if (found != known.constEnd()) {
        *slot = *found;
      } else {
        *slot = int(text.styles_.size());
        known.insert(a, *slot);
        text.styles_.push_back(std::move(a));
      }
    }
    return *slot;
  };
  if (!runs.empty()) text.typing_ = text.styles_[size_t(style_of(runs.front().style))];
  if (text.string_.isEmpty()) {
    text.styles_.clear();
    return text;
  }
  int covered = 0;
  int last = runs.empty() ? -1 : style_of(runs.front().style);
  if (last < 0) last = style_of(-1);
  text.runs_.reserve(std::min(runs.size(), size_t(Max_Runs) + 1));
  const auto add = [&](int start, int end, int style) {
    if (end <= start) return true;
    if (!text.runs_.empty() && text.runs_.back().style == style) {
      text.runs_.back().length += end - start;
      return true;
    }
    if (text.runs_.size() >= size_t(Max_Runs)) return false;
    text.runs_.push_back({start, end - start, style});
    return true;
  };
  for (const Run& run : runs) {
    const int start = std::clamp(run.start, covered, text.length());
    const int end = std::clamp(start + std::max(run.length, 0), start, text.length());
    const int style = style_of(run.style);
    if (!add(covered, start, last) || !add(start, end, style)) {
      if (why) *why = Refused_Runs_Text(qint64(runs.size()));
      return std::nullopt;
    }
    last = style;
    covered = std::max(covered, end);
  }
  if (!add(covered, text.length(), last)) {
    if (why) *why = Refused_Runs_Text(qint64(runs.size()) + 1);
    return std::nullopt;
  }
  text.normalize();
  return text;
}

QString StyledText::Refused_Runs_Text(qint64 runs) {
  if (runs <= Max_Runs) return {};
  const QLocale english(QLocale::English);
  return QStringLiteral("its text has %1 runs of styles (stretches of one font and colour), and "
                        "a text may hold at most %2")
      .arg(english.toString(runs), english.toString(Max_Runs));
}

void StyledText::normalize() {
  std::vector<Run> merged;
  merged.reserve(runs_.size());
  for (const Run& run : runs_) {
    if (run.length <= 0) continue;
    if (!merged.empty() && merged.back().style == run.style)
      merged.back().length += run.length;
    else
      merged.push_back(run);
  }
  runs_ = std::move(merged);
  // Only the styles the runs name, in the order they first do.
  std::vector<int> new_index(styles_.size(), -1);
  std::vector<Text_Attributes> used;
  for (Run& run : runs_) {
    int& index = new_index[size_t(run.style)];
    if (index < 0) {
      index = int(used.size());
      used.push_back(std::move(styles_[size_t(run.style)]));
    }
    run.style = index;
  }
  styles_ = std::move(used);
}

bool StyledText::operator==(const StyledText& other) const {
  if (string_ != other.string_ || runs_.size() != other.runs_.size()) return false;
  for (size_t i = 0; i < runs_.size(); ++i) {
    const Run &a = runs_[i], &b = other.runs_[i];
    if (a.start != b.start || a.length != b.length || attributes(a) != other.attributes(b))
      return false;
  }
  return true;
}
