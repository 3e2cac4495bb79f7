#include "model/Fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QRegularExpression>

#include <mutex>

namespace {

struct Face {
  QString family;
  bool bold = false;
  bool italic = false;
};

QString split_camel_case(const QString& name) {
  QString out;
  for (int i = 0; i < name.size(); ++i) {
    const QChar c = name.at(i);
    if (i > 0 && c.isUpper() && name.at(i - 1).isLower()) out += QLatin1Char(' ');
    out += c;
  }
  return out;
}

QString metric_compatible(const QString& family) {
  static const QHash<QString, QString> map = {
      {QStringLiteral("times new roman"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("times"), QStringLiteral("Liberation Serif")},
      {QStringLiteral("arial"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("helvetica"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("helvetica neue"), QStringLiteral("Liberation Sans")},
      {QStringLiteral("courier new"), QStringLiteral("Liberation Mono")},
      {QStringLiteral("courier"), QStringLiteral("Liberation Mono")},
  };
  return map.value(family.toLower(), family);
}

Face resolve(const QString& name) {
  Face face;
  QString family = name.trimmed();
  QString style;
  // A PostScript name has no spaces and carries its style after a hyphen.
  if (!family.contains(QLatin1Char(' '))) {
    const int dash = int(family.indexOf(QLatin1Char('-')));
    if (dash > 0) {
      style = family.mid(dash + 1);
      family = family.left(dash);
    }
    static const QRegularExpression suffix(QStringLiteral("(PSMT|PS|MT)$"));
    family.remove(suffix);
    style.remove(suffix);
    family = split_camel_case(family);
  } else {
    // A family name with a stored style after its last hyphen ("DejaVu Serif-Bold").
    static const QRegularExpression stored(QStringLiteral("^(.*\\S)-(Bold|Italic|BoldItalic)$"));
    if (const QRegularExpressionMatch m = stored.match(family); m.hasMatch()) {
      family = m.captured(1);
      style = m.captured(2);
    }
  }
  face.bold = style.contains(QLatin1String("Bold"), Qt::CaseInsensitive) ||
              style.contains(QLatin1String("Black"), Qt::CaseInsensitive) ||
              style.contains(QLatin1String("Heavy"), Qt::CaseInsensitive);
  face.italic = style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
                style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive);
  face.family = metric_compatible(family);
  return face;
}

}  // namespace

QString Font_Stored_Name(const QFont& font) {
  const QString name = Font_Name(font);
  const QString style = font.styleName();
  const bool bold = font.bold() || style.contains(QLatin1String("Bold"), Qt::CaseInsensitive);
  const bool italic = font.italic() || style.contains(QLatin1String("Italic"), Qt::CaseInsensitive) ||
                      style.contains(QLatin1String("Oblique"), Qt::CaseInsensitive);
  if (!bold && !italic) return name;
  const Face named = resolve(name);
  if ((named.bold || !bold) && (named.italic || !italic)) return name;  // the name says it
  QString added;
  if (bold || named.bold) added += QLatin1String("Bold");
  if (italic || named.italic) added += QLatin1String("Italic");
  // A name already carrying one style gets the whole style again after its family.
  const QString base = named.bold || named.italic ? name.left(name.lastIndexOf(QLatin1Char('-')))
                                                  : name;
  return base + QLatin1Char('-') + added;
}

QFont Make_Font(const QString& name, double points) {
  QFont font;
  font.setFamilies({name});
  font.setFamily(name);
  if (points > 0) font.setPointSizeF(points);
  return font;
}

QFont Drawing_Font(const QFont& font) {
  static std::mutex mutex;  // visible to the thread sanitizer, unlike QMutex
  static QHash<QString, Face> cache;
  const QString name = font.family();
  Face face;
  {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = cache.constFind(name);
    if (it == cache.constEnd()) it = cache.insert(name, resolve(name));
    face = *it;
  }
  QFont drawing = font;
  drawing.setFamilies({face.family});
  drawing.setFamily(face.family);
  if (face.bold) drawing.setBold(true);
  if (face.italic) drawing.setItalic(true);
  return drawing;
}

QString Font_Face_Name(const QFont& font) {
  const QFontInfo face(Drawing_Font(font));
  QString style = face.styleName();
  if (style.isEmpty()) style = QFontDatabase::styleString(face);
  return style.isEmpty() ? face.family() : face.family() + QLatin1Char(' ') + style;
}

QString Font_Value_Label(const QFont& font) {
  return QStringLiteral("%1 ( %2 )").arg(Font_Face_Name(font)).arg(font.pointSizeF(), 0, 'f', 2);
}
