#include "window/Window_Files.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

QString Delete_Path_Extension(const QString& name) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot > 0 ? name.left(dot) : name;
}

namespace {

// Name order as people read it: letters without regard to case, runs of digits by their
// value ("item9" before "item10"); names equal but for case in code-point order.
bool name_before(const QString& a, const QString& b) {
  qsizetype i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (a[i].isDigit() && b[j].isDigit()) {
      qsizetype i_end = i, j_end = j;
      while (i_end < a.size() && a[i_end].isDigit()) ++i_end;
      while (j_end < b.size() && b[j_end].isDigit()) ++j_end;
      QStringView x = QStringView(a).mid(i, i_end - i), y = QStringView(b).mid(j, j_end - j);
      while (x.size() > 1 && x.front() == QLatin1Char('0')) x = x.mid(1);
      while (y.size() > 1 && y.front() == QLatin1Char('0')) y = y.mid(1);
      if (x.size() != y.size()) return x.size() < y.size();
      if (const int order = x.compare(y); order != 0) return order < 0;
      i = i_end;
      j = j_end;
      continue;
    }
    const QChar x = a[i].toCaseFolded(), y = b[j].toCaseFolded();
    if (x != y) return x < y;
    ++i;
    ++j;
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return a < b;
}

}  // namespace

QStringList Get_Files_Array_At_Path(const QString& folder) {
  const QFileInfo info(folder);
  if (folder.isEmpty() || !info.isDir()) return {};
  // Files (and links to files) only; broken links and sub-folders are left out.
  QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
  std::sort(entries.begin(), entries.end(), name_before);
  QStringList names;
  names.reserve(entries.size());
  for (const QString& entry : entries) names << Delete_Path_Extension(entry);
  return names;
}

namespace {
bool bound_to_series(const Graphic_List& graphics, const QString& series_name) {
  for (const auto& graphic : graphics) {
    if (!graphic) continue;
    const QString kind = graphic->className();
    if (kind != QLatin1String("CRDImage") && kind != QLatin1String("CRDText") &&
        kind != QLatin1String("CRDBarcode"))
      continue;
    if (graphic->data_source_type == 1 && graphic->batch_list_name == series_name) return true;
  }
  return false;
}
}  // namespace

bool Check_Batch_File_In_Use_Validation(const QString& series_name, const Graphic_List& front,
                                        const Graphic_List& back) {
  const QString file =
      Data_Folder_Path + QLatin1Char('/') + series_name + QLatin1Char('.') + batch_file_EXT;
  if (!QFileInfo::exists(file)) return false;
  if (bound_to_series(front, series_name)) return true;
  return CARD_SIDE_STR == QLatin1String("2") && bound_to_series(back, series_name);
}

QString Qt_Date_Format(const QString& pattern) {
  // Field symbols that have a Qt counterpart; every other letter is written literally.
  auto field = [](QChar letter, qsizetype count) -> QString {
    switch (letter.unicode()) {
      case 'y': return count == 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
      case 'M':
      case 'L': return QString(std::min<qsizetype>(count, 4), QLatin1Char('M'));
      case 'd': return QString(std::min<qsizetype>(count, 2), QLatin1Char('d'));
      case 'E': return count >= 4 ? QStringLiteral("dddd") : QStringLiteral("ddd");
      case 'H': return QString(std::min<qsizetype>(count, 2), QLatin1Char('H'));
      case 'h': return QString(std::min<qsizetype>(count, 2), QLatin1Char('h'));
      case 'm': return QString(std::min<qsizetype>(count, 2), QLatin1Char('m'));
      case 's': return QString(std::min<qsizetype>(count, 2), QLatin1Char('s'));
      case 'S': return count >= 3 ? QStringLiteral("zzz") : QStringLiteral("z");
      case 'a': return QStringLiteral("AP");
      default: return {};
    }
  };
  auto literal = [](const QString& text) {
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
  };

  QString out;
  QString pending_literal;
  auto flush = [&] {
    if (!pending_literal.isEmpty()) out += literal(pending_literal);
    pending_literal.clear();
  };
  const qsizetype n = pattern.size();
  for (qsizetype i = 0; i < n;) {
    const QChar c = pattern[i];
    if (c == QLatin1Char('\'')) {
      if (i + 1 < n && pattern[i + 1] == QLatin1Char('\'')) {  // '' is a quote
        pending_literal += QLatin1Char('\'');
        i += 2;
        continue;
      }
      ++i;  // quoted text up to the closing quote; '' inside is a quote
      while (i < n) {
        if (pattern[i] == QLatin1Char('\'')) {
          if (i + 1 < n && pattern[i + 1] == QLatin1Char('\'')) {
            pending_literal += QLatin1Char('\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        pending_literal += pattern[i++];
      }
      continue;
    }
    if (c.isLetter() && c.unicode() < 128) {
      qsizetype j = i;
      while (j < n && pattern[j] == c) ++j;
      const QString converted = field(c, j - i);
      if (converted.isEmpty()) {
        pending_literal += pattern.mid(i, j - i);
      } else {
        flush();
        out += converted;
      }
      i = j;
      continue;
    }
    pending_literal += c;
    ++i;
  }
  flush();
  return out;
}

QString Get_date_Value(const QString& pattern, const QDateTime& when) {
  return QLocale().toString(when, Qt_Date_Format(pattern));
}

QString Get_time_Value(const QString& pattern, const QDateTime& when) {
  return Get_date_Value(pattern, when);
}

QString Convert_Path_From_URL(const QUrl& url) {
  return url.isLocalFile() ? url.toLocalFile() : url.path();
}

bool Check_And_Validate_File_Path(const QString& path) {
  const QString trimmed = Trim_Str(path);
  if (!trimmed.isEmpty() && QFileInfo::exists(trimmed)) return false;
  Show_MessageBox(QStringLiteral("Please select valid file path."));
  return true;
}
