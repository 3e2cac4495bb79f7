#include "window/Design_File.h"

#include "model/CRDImage.h"
#include "model/Graphic_Archive.h"
#include "output/Batch_Export.h"
#include "platform/Bounded_File.h"
#include "platform/Keyed_Archive.h"
#include "platform/Whole_File.h"
#include "window/Card_Units.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace design_file {
namespace {

using plist::Array;
using plist::Value;

// ---- Writing -------------------------------------------------------------------------------

void Append_Side(Array& a, const Card_Property& side) {
  a.emplace_back(Flag_Text(side.Card_border_chk));
  a.emplace_back(Archive_Color(side.Card_bordr_clr));
  a.emplace_back(QString::number(side.Card_bor_Stepper));
  a.emplace_back(side.Card_border_style);
  a.emplace_back(Flag_Text(side.Card_fill_chk));
  a.emplace_back(side.Card_fill_style);
  a.emplace_back(Archive_Color(side.Card_fill_clr));
  a.emplace_back(Archive_Color(side.Card_fill_Grd_1_clr));
  a.emplace_back(Archive_Color(side.Card_fill_Grd_2_clr));
  a.emplace_back(QString::number(side.Card_grad_Stepper));
  a.emplace_back(side.Card_hatch_style);
  a.emplace_back(Archive_Color(side.Card_hatch_bk_clr));
  a.emplace_back(QString::asprintf("%0.2f", double(side.Card_alpha_Stepper)));
  a.emplace_back(side.Card_Side);
  a.emplace_back(side.Card_Side_Name);
  a.emplace_back(side.Card_Shape);
  a.emplace_back(side.Card_Name);
  a.emplace_back(keyed_archive::Point_Text(side.Card_Location));
  a.emplace_back(keyed_archive::Size_Text(side.Card_Size));
  a.emplace_back(side.Card_Preset);
  a.emplace_back(side.Card_Category);
  a.emplace_back(side.Card_Sub_Category);
  a.emplace_back(QString::number(side.Card_Cat_index));
  a.emplace_back(side.Card_Create_Mode);
  a.emplace_back(side.Card_fill_style == QLatin1String("I") ? side.Card_BG_Image_Path : QString());
  a.emplace_back(side.Card_BG_Image_Layout);
  a.emplace_back(Archive_Color(side.Card_Content_clr));
  a.emplace_back(Archive_Font(side.Card_Content_font));
}

// Rows [from, from + count) of the data table as the file's dictionaries.
Array Rows_Array(const Data_Table_Rows& rows, qsizetype from, qsizetype count) {
  Array a;
  a.reserve(size_t(count));
  for (qsizetype r = from; r < from + count; ++r) {
    const Data_Table_Row& row = rows.at(r);
    plist::Dictionary d;
    d.reserve(size_t(row.size()));
    // The keys in their sorted order: a file of the same table is the same file.
    for (auto cell = row.cbegin(); cell != row.cend(); ++cell) d.insert(cell.key(), cell.value());
    a.emplace_back(std::move(d));
  }
  return a;
}

// The graphics' count and archives; without archives, empty data in their places (a
// measure adds the archives' sizes one at a time).
void Append_Graphics(Array& a, const Graphic_List& graphics, bool archives = true) {
  a.emplace_back(QString::number(graphics.size()));
  for (const auto& graphic : graphics)
    a.emplace_back(archives ? Archive_Graphic(*graphic) : QByteArray());
}

// ---- Reading -------------------------------------------------------------------------------

struct Refused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void Refuse(int index, const QString& what) {
  throw Refused(QStringLiteral("element %1: %2").arg(index).arg(what).toStdString());
}

// Reads the elements in order and refuses the first one that is missing or wrong.
class Element_Reader {
 public:
  Element_Reader(const Array& a, Graphic_Read_Budget& budget) : a_(a), budget_(budget) {}

  int index() const { return next_; }
  int remaining() const { return int(a_.size()) - next_; }

  const Value& take() {
    if (next_ >= int(a_.size())) Refuse(next_, QStringLiteral("missing (the file is cut short)"));
    return a_[size_t(next_++)];
  }
  QString string() {
    const Value& v = take();
    if (!v.string()) Refuse(next_ - 1, QStringLiteral("not a string"));
    return *v.string();
  }
  QByteArray data() {
    const Value& v = take();
    if (!v.data()) Refuse(next_ - 1, QStringLiteral("not data"));
    return *v.data();
  }
  bool flag() { return Flag_From_Text(string()); }
  // A whole number as "%d" writes it: an optional minus and decimal digits, nothing else.
  int integer() {
    const QString s = string();
    static const QRegularExpression form(QStringLiteral("^-?[0-9]{1,9}$"));
    if (!form.match(s).hasMatch()) Refuse(next_ - 1, QStringLiteral("not a whole number"));
    return s.toInt();
  }
  // The number of graphics that follows: a count, and within what the budget still takes
  // (checked before any of them is made).
  int graphics_count() {
    const int n = count();
    if (!budget_.Take_Graphics(n))
      Refuse(next_ - 1, QStringLiteral("more graphics than the %1 a design may hold")
                            .arg(budget_.max_graphics()));
    return n;
  }
  // A count: decimal digits only, and no more than the elements left after it.
  int count() {
    const QString s = string();
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,10}$"));
    if (!form.match(s).hasMatch()) Refuse(next_ - 1, QStringLiteral("not a count"));
    const qint64 n = s.toLongLong();
    if (n > remaining()) Refuse(next_ - 1, QStringLiteral("a count larger than the file"));
    return int(n);
  }
  double real() {
    const QString s = string();
    bool ok = false;
    const double d = s.toDouble(&ok);
    // Finite, and still finite as the single-precision value it is kept in.
    if (!ok || !std::isfinite(d) || std::fabs(d) > double(std::numeric_limits<float>::max()))
      Refuse(next_ - 1, QStringLiteral("not a finite number"));
    return d;
  }
  CRDColor color() {
    const auto c = Unarchive_Color(data());
    if (!c) Refuse(next_ - 1, QStringLiteral("not a colour archive"));
    return *c;
  }
  QFont font() {
    const auto f = Unarchive_Font(data());
    if (!f) Refuse(next_ - 1, QStringLiteral("not a font archive"));
    return *f;
  }
  QPointF point() {
    const auto p = keyed_archive::Point_From_Text(string());
    if (!p || !std::isfinite(p->x()) || !std::isfinite(p->y()))
      Refuse(next_ - 1, QStringLiteral("not a point"));
    return *p;
  }
  QSizeF size() {
    const auto s = keyed_archive::Size_From_Text(string());
    if (!s || !std::isfinite(s->width()) || !std::isfinite(s->height()))
      Refuse(next_ - 1, QStringLiteral("not a size"));
    return *s;
  }
  std::shared_ptr<CRDGraphic> graphic() {
    QString why;
    auto g = Unarchive_Graphic(data(), &why, &budget_);
    if (!g) Refuse(next_ - 1, QStringLiteral("not a graphic archive (%1)").arg(why));
    return g;
  }

 private:
  const Array& a_;
  Graphic_Read_Budget& budget_;
  int next_ = 0;
};

Card_Property Read_Side(Element_Reader& r) {
  Card_Property side;
  side.Card_border_chk = r.flag();
  side.Card_bordr_clr = r.color();
  side.Card_bor_Stepper = r.integer();
  side.Card_border_style = r.string();
  side.Card_fill_chk = r.flag();
  side.Card_fill_style = r.string();
  side.Card_fill_clr = r.color();
  side.Card_fill_Grd_1_clr = r.color();
  side.Card_fill_Grd_2_clr = r.color();
  side.Card_grad_Stepper = r.integer();
  side.Card_hatch_style = r.string();
  side.Card_hatch_bk_clr = r.color();
  side.Card_alpha_Stepper = float(r.real());
  side.Card_Side = r.string();
  side.Card_Side_Name = r.string();
  side.Card_Shape = r.string();
  side.Card_Name = r.string();
  side.Card_Location = r.point();
  side.Card_Size = r.size();
  side.Card_Preset = r.string();
  side.Card_Category = r.string();
  side.Card_Sub_Category = r.string();
  side.Card_Cat_index = r.integer();
  side.Card_Create_Mode = r.string();
  side.Card_BG_Image_Path = r.string();
  side.Card_BG_Image_Layout = r.string();
  side.Card_Content_clr = r.color();
  side.Card_Content_font = r.font();
  return side;
}

Graphic_List Read_Graphics(Element_Reader& r) {
  const int n = r.graphics_count();
  Graphic_List graphics;
  graphics.reserve(size_t(n));
  for (int i = 0; i < n; ++i) graphics.push_back(r.graphic());
  return graphics;
}

bool In_Size_Range(double points) {
  const double mm = points * Millimetres_Per_Point;
  // The controls show two decimals: a size they hold may sit a rounding step outside.
  return mm >= Minimum_Card_MM - 0.005 && mm <= Maximum_Card_MM + 0.005;
}

}  // namespace

QString Missing_Pictures_Message(const QStringList& files) {
  constexpr int Named = 10;
  QString list = files.mid(0, Named).join(QLatin1Char('\n'));
  if (files.size() > Named) list += QStringLiteral("\n(and %1 more)").arg(files.size() - Named);
  return (files.size() == 1
              ? QStringLiteral("A picture file of this design is missing; its frame is empty:\n%1")
              : QStringLiteral("%1 picture files of this design are missing; their frames are empty:\n%2")
                    .arg(files.size()))
      .arg(list);
}

QString Flag_Text(bool value) { return value ? QStringLiteral("Y") : QStringLiteral("N"); }
bool Flag_From_Text(const QString& text) { return text == QLatin1String("Y"); }

void Clear_Unused_Background_Path(Card_Property& side) {
  if (side.Card_fill_style != QLatin1String("I")) side.Card_BG_Image_Path.clear();
}

namespace {
Array Design_Array(const Design_Contents& design, bool archives);
}

plist::Array Design_To_Array(const Design_Contents& design) { return Design_Array(design, true); }

namespace {
Array Design_Array(const Design_Contents& design, bool archives) {
  Array a;
  a.reserve(size_t(Minimum_Elements) + design.front_graphics.size() + design.back_graphics.size());
  a.emplace_back(QString::fromLatin1(Magic));
  Append_Side(a, design.front);
  Append_Side(a, design.back);
  a.emplace_back(Flag_Text(design.excel_binding_use));
  a.emplace_back(design.excel_source_path);
  Array titles;
  titles.reserve(size_t(design.column_titles.size()));
  for (const QString& title : design.column_titles) titles.emplace_back(title);
  a.emplace_back(std::move(titles));
  a.emplace_back(Rows_Array(design.rows, 0, design.rows.size()));
  Append_Graphics(a, design.front_graphics, archives);
  Append_Graphics(a, design.back_graphics, archives);
  return a;
}
}  // namespace

std::optional<Design_Contents> Design_From_Array(const plist::Value& root, QString* reason,
                                                 Graphic_Read_Budget* budget) {
  Graphic_Read_Budget own;
  Graphic_Read_Budget& limits = budget ? *budget : own;
  try {
    const Array* a = root.array();
    if (!a) throw Refused("not a list of elements");
    if (a->empty() || !(*a)[0].string() || *(*a)[0].string() != QLatin1String(Magic))
      throw Refused("its first element is not the mark of a design file (\"" + std::string(Magic) +
                    "\"): not a design, or one of a newer version");
    if (a->size() < size_t(Minimum_Elements))
      throw Refused(QStringLiteral("%1 elements, fewer than a design holds").arg(a->size()).toStdString());
    Element_Reader r(*a, limits);
    r.take();  // the magic
    Design_Contents d;
    d.front = Read_Side(r);
    if (!In_Size_Range(d.front.Card_Size.width()) || !In_Size_Range(d.front.Card_Size.height()))
      Refuse(Front_Offset + 18, QStringLiteral("a card size out of range"));
    d.back = Read_Side(r);
    d.excel_binding_use = r.flag();
    d.excel_source_path = r.string();

    const Value& titles = r.take();
    if (!titles.array()) Refuse(Titles_Index, QStringLiteral("not a list of titles"));
    for (const Value& title : *titles.array()) {
      if (!title.string()) Refuse(Titles_Index, QStringLiteral("a title that is not a string"));
      d.column_titles << *title.string();
    }
    const Value& rows = r.take();
    if (!rows.array()) Refuse(Rows_Index, QStringLiteral("not a list of rows"));
    d.rows.reserve(qsizetype(rows.array()->size()));
    for (const Value& row : *rows.array()) {
      if (!row.dictionary()) Refuse(Rows_Index, QStringLiteral("a row that is not a dictionary"));
      Data_Table_Row cells;
      for (const plist::Dictionary_Entry& e : row.dictionary()->entries()) {
        if (!e.value.string()) Refuse(Rows_Index, QStringLiteral("a cell that is not a string"));
        cells.insert(e.key, *e.value.string());
      }
      d.rows << cells;
    }
    d.front_graphics = Read_Graphics(r);
    d.back_graphics = Read_Graphics(r);
    d.left_out = limits.Pictures_Left_Out();
    return d;
  } catch (const std::exception& e) {
    if (reason) *reason = QString::fromUtf8(e.what());
    return std::nullopt;
  }
}

namespace {

// The reader's limits of a design file.
plist::Read_Limits Xml_Limits(const File_Limits& limits) {
  plist::Read_Limits xml;
  xml.max_bytes = limits.max_bytes;
  xml.max_nodes = limits.max_values;
  return xml;
}

QString Number_Text(qint64 n) { return QLocale(QLocale::English).toString(n); }

// A size for the reader of a message: megabytes with one decimal from one megabyte on.
QString Size_Text(qint64 bytes) {
  constexpr double MB = 1024.0 * 1024.0;
  if (bytes >= qint64(MB)) return QString::number(double(bytes) / MB, 'f', 1) + QStringLiteral(" MB");
  return Bounded_File_Size_Text(bytes);
}

// What the data table adds to the file, for the reason: rows and columns.
QString Table_Text(qint64 rows, qint64 columns) {
  if (rows == 0) return QStringLiteral("the data table is empty");
  const auto counted = [](qint64 n, const char* one, const char* many) {
    return Number_Text(n) + u' ' + QLatin1String(n == 1 ? one : many);
  };
  return QStringLiteral("the data table holds %1 of %2")
      .arg(counted(rows, "row", "rows"), counted(columns, "column", "columns"));
}

QString Table_Text(const Design_Contents& design) {
  return Table_Text(design.rows.size(), std::max<qsizetype>(0, design.column_titles.size() - 1));
}

// A graphic as the person saving knows it: its kind, a text's first words, and its side.
QString Object_Text(const CRDGraphic& graphic, bool back) {
  const QString kind = graphic.className();
  QString what = kind == QLatin1String("CRDText")        ? QStringLiteral("the text")
                 : kind == QLatin1String("CRDImage")     ? QStringLiteral("the picture")
                 : kind == QLatin1String("CRDBarcode")   ? QStringLiteral("the barcode")
                 : kind == QLatin1String("CRDSignature") ? QStringLiteral("the signature")
                 : kind == QLatin1String("CRDLine")      ? QStringLiteral("the line")
                                                         : QStringLiteral("the shape");
  if (graphic._Text_contents && kind == QLatin1String("CRDText")) {
    constexpr qsizetype Shown = 24;
    const QString& text = graphic._Text_contents->string();
    QString start = text.left(Shown + 1).simplified();
    if (start.size() > Shown || text.size() > Shown + 1) start = start.left(Shown) + QChar(0x2026);
    if (!start.isEmpty()) what += QStringLiteral(" \u201c%1\u201d").arg(start);
  }
  return what + (back ? QStringLiteral(" on the back") : QStringLiteral(" on the front"));
}

QString Graphics_Past_Limit(const Design_Contents& design, const File_Limits& limits) {
  const qint64 n = qint64(design.front_graphics.size() + design.back_graphics.size());
  if (n <= limits.max_graphics) return {};
  const qint64 over = n - limits.max_graphics;
  return QStringLiteral(
             "the design has %1 objects (front %2, back %3), and a design may hold at most %4: "
             "remove at least %5")
      .arg(Number_Text(n), Number_Text(qint64(design.front_graphics.size())),
           Number_Text(qint64(design.back_graphics.size())), Number_Text(limits.max_graphics),
           over == 1 ? QStringLiteral("1 object") : Number_Text(over) + QStringLiteral(" objects"));
}

QString Too_Many_Values(const QString& table, const File_Limits& limits) {
  return QStringLiteral(
             "the design's file would hold more than the %1 values a design file may hold "
             "(every table cell is two, %2): remove data table rows or columns")
      .arg(Number_Text(limits.max_values), table);
}

QString Too_Many_Values(const Design_Contents& design, const File_Limits& limits) {
  return Too_Many_Values(Table_Text(design), limits);
}

// What can be told from the contents alone, before the file's values are made: too many
// graphics, or a data table whose rows alone hold more values than a file may (each row
// is a dictionary of a key and a value a cell).
QString Contents_Past_Limit(const Design_Contents& design, const File_Limits& limits) {
  if (QString graphics = Graphics_Past_Limit(design, limits); !graphics.isEmpty()) return graphics;
  qint64 table_values = 0;
  for (const Data_Table_Row& row : design.rows) {
    table_values += 1 + 2 * qint64(row.size());
    if (table_values > limits.max_values) return Too_Many_Values(design, limits);
  }
  return {};
}

// What the design's file comes to, and of what.
struct Design_Measure {
  plist::Xml_Measure xml;   // the whole file; "more than the limit" once stopped
  qint64 table_bytes = 0;   // the data table's rows
  qint64 object_bytes = 0;  // the graphics' archives (as far as they were counted)
  qint64 objects_counted = 0;
  const CRDGraphic* largest = nullptr;  // the graphic taking the most bytes
  bool largest_on_back = false;
  qint64 largest_bytes = 0;
  QString unreadable;  // a graphic the reader would refuse, and why
};

// The measure of the design's file. The data table's rows are made into the file's values
// a share at a time (all at once they would take more memory than the table itself): the
// measure of a document is a fixed part and a part for each row, so the whole is the sum of
// the shares' documents less the fixed part of all shares but one. Then the graphics are
// archived one at a time, each checked against what the reader takes of one archive and let
// go once its size is counted. Stops once the sum passes a limit (`stopped`, with what was
// counted then).
std::optional<Design_Measure> Measure_Design(const Design_Contents& design,
                                             const File_Limits& limits, QString* why) {
  constexpr qsizetype Share = 4096;
  const qsizetype n = design.rows.size();
  Design_Contents fixed = design;
  fixed.rows = {};
  plist::Value root(Design_Array(fixed, false));
  Array& rows = *(*root.array())[size_t(Rows_Index)].array();
  const auto measure = [&](Array share) {
    rows = std::move(share);
    return plist::Measure_Xml(root, Xml_Limits(limits), why);
  };
  const auto empty = measure({});
  if (!empty) return std::nullopt;
  Design_Measure m;
  const auto past = [&] {
    return m.xml.bytes > limits.max_bytes || m.xml.elements > limits.max_values;
  };
  if (n <= Share) {
    const auto all = measure(Rows_Array(design.rows, 0, n));
    if (!all) return std::nullopt;
    m.xml = *all;
  } else {
    // The fixed part: a row measured alone, and twice.
    Array twice = Rows_Array(design.rows, 0, 1);
    const auto once = measure(twice);
    twice.push_back(twice.front());
    const auto both = measure(std::move(twice));
    if (!once || !both) return std::nullopt;
    const qint64 fixed_bytes = 2 * once->bytes - both->bytes;
    const qint64 fixed_elements = 2 * once->elements - both->elements;
    for (qsizetype from = 0; from < n; from += Share) {
      const auto share = measure(Rows_Array(design.rows, from, std::min(Share, n - from)));
      if (!share) return std::nullopt;
      const qint64 fixed_once = from == 0 ? 0 : 1;
      m.xml.bytes += share->bytes - fixed_once * fixed_bytes;
      m.xml.elements += share->elements - fixed_once * fixed_elements;
      if (share->stopped || past()) {
        m.xml.stopped = true;
        break;
      }
    }
  }
  m.table_bytes = m.xml.bytes - empty->bytes;
  if (m.xml.stopped || past()) {
    m.xml.stopped = true;
    return m;
  }
  // The graphics: their places in the file are counted already (as empty data elements);
  // each archive adds its base64 text.
  for (const bool back : {false, true}) {
    for (const auto& graphic : back ? design.back_graphics : design.front_graphics) {
      qint64 objects = 0;
      const QByteArray archive = Archive_Graphic(*graphic, &objects);
      if (QString refused = Graphic_Archive_Past_Limits(archive, objects, limits.archive);
          !refused.isEmpty()) {
        m.unreadable = QStringLiteral("%1 would be stored as %2").arg(Object_Text(*graphic, back), refused);
        return m;
      }
      const qint64 bytes = (qint64(archive.size()) + 2) / 3 * 4;
      m.xml.bytes += bytes;
      m.object_bytes += bytes;
      ++m.objects_counted;
      if (bytes > m.largest_bytes) {
        m.largest = graphic.get();
        m.largest_on_back = back;
        m.largest_bytes = bytes;
      }
      if (past()) {
        m.xml.stopped = true;
        return m;
      }
    }
  }
  return m;
}

QString Measure_Past_Limit(const Design_Contents& design, const Design_Measure& m,
                           const File_Limits& limits) {
  if (!m.unreadable.isEmpty())
    return m.unreadable + QStringLiteral(": simplify or remove that object");
  if (m.xml.bytes > limits.max_bytes) {
    if (m.object_bytes > m.table_bytes && m.largest) {
      const qint64 all = qint64(design.front_graphics.size() + design.back_graphics.size());
      return QStringLiteral(
                 "the design's file would be larger than the %1 a design file may have: its "
                 "objects take %2%3 (the largest, %4, takes %5), and %6: remove objects, "
                 "shorten their texts or use smaller pictures")
          .arg(Bounded_File_Size_Text(limits.max_bytes),
               m.objects_counted < all ? QStringLiteral("more than ") : QString(),
               Size_Text(m.object_bytes), Object_Text(*m.largest, m.largest_on_back),
               Size_Text(m.largest_bytes),
               Table_Text(design));
    }
    return QStringLiteral(
               "the design's file would be larger than the %1 a design file may have (%2): "
               "remove data table rows or long cell texts, or pictures")
        .arg(Bounded_File_Size_Text(limits.max_bytes), Table_Text(design));
  }
  if (m.xml.elements > limits.max_values) return Too_Many_Values(design, limits);
  return {};
}

// The design's refusal: `past` when it passes a limit, `unwritable` when XML cannot carry
// one of its texts.
struct Design_Check {
  QString past, unwritable;
  std::optional<Design_Measure> measure;
};

Design_Check Check_Design(const Design_Contents& design, const File_Limits& limits) {
  Design_Check check;
  check.past = Contents_Past_Limit(design, limits);
  if (!check.past.isEmpty()) return check;
  check.measure = Measure_Design(design, limits, &check.unwritable);
  if (check.measure) check.past = Measure_Past_Limit(design, *check.measure, limits);
  return check;
}

}  // namespace

qint64 Most_Table_Rows(qint64 columns, const File_Limits& limits) {
  return limits.max_values / (3 + 2 * std::max<qint64>(columns, 0));
}

QString Table_Past_Limit(qint64 rows, qint64 columns, const File_Limits& limits) {
  const qint64 most = Most_Table_Rows(columns, limits);
  if (rows <= most) return {};
  return Too_Many_Values(Table_Text(rows, columns), limits) +
         QStringLiteral(" (with these columns at most %1 rows fit)").arg(Number_Text(most));
}

QString Design_Past_Limits(const Design_Contents& design, const File_Limits& limits,
                           plist::Xml_Measure* measure) {
  const Design_Check check = Check_Design(design, limits);
  if (!check.unwritable.isEmpty()) return check.unwritable;
  if (measure && check.measure) *measure = check.measure->xml;
  return check.past;
}

bool Write_Design_File(const QString& path, const Design_Contents& design, QString* error,
                       const File_Limits& limits) {
  const auto refuse = [error](const QString& why) {
    if (error) *error = why;
    return false;
  };
  const auto too_large = [&](const QString& why) {
    return refuse(QStringLiteral("not saved, as it could not be opened again: ") + why +
                  QStringLiteral(". The file saved before is as it was"));
  };
  // Checked before anything is made or written: the file on the disk stays as it was.
  const Design_Check check = Check_Design(design, limits);
  if (!check.unwritable.isEmpty()) return refuse(check.unwritable);
  if (!check.past.isEmpty()) return too_large(check.past);
  QString why;
  const QByteArray xml = plist::Write_Xml_Direct(plist::Value(Design_To_Array(design)), &why);
  if (xml.isEmpty()) return refuse(why);
  // The measure is exact; a file that still came out larger is not left for the reader to
  // refuse.
  if (xml.size() > limits.max_bytes)
    return too_large(QStringLiteral("the design's file would be larger than the %1 a design file may have")
                         .arg(Bounded_File_Size_Text(limits.max_bytes)));
  Whole_File_Options options;
  options.write_through_link = true;  // a design the user keeps behind a link stays linked
  return Write_Whole_File(path, xml, error, options);
}

std::optional<Design_Contents> Read_Design_File(const QString& path, QString* reason,
                                                Graphic_Read_Budget* budget,
                                                const File_Limits& limits) {
  // Only a plain file: a pipe or a device would block or never end.
  QString why;
  const auto root = plist::Read_File(path, Xml_Limits(limits), nullptr, &why);
  if (!root) {
    if (reason) *reason = why;
    return std::nullopt;
  }
  Graphic_Read_Budget own(Graphic_Read_Budget::Default_Picture_Pixels, limits.max_graphics);
  Graphic_Read_Budget& pictures = budget ? *budget : own;
  pictures.set_archive_limits(limits.archive);
  std::optional<Design_Contents> design = Design_From_Array(*root, reason, &pictures);
  if (!design) return design;
  // A picture object's picture is read again from its file when that is still there (a
  // regular file), under the same budget; otherwise it has none.
  for (Graphic_List* list : {&design->front_graphics, &design->back_graphics}) {
    for (const auto& graphic : *list) {
      auto* image = dynamic_cast<CRDImage*>(graphic.get());
      if (!image) continue;
      const QString file = Standardized_Path(image->FilePath());
      if (QFileInfo(file).isFile()) image->Set_File_Picture(image->FilePath(), pictures.Read_Picture_File(file));
    }
  }
  design->left_out = pictures.Pictures_Left_Out();
  design->missing_pictures = Missing_Picture_Files({&design->front_graphics, &design->back_graphics});
  return design;
}

}  // namespace design_file
