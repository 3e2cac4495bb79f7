// XML Spreadsheet 2003 documents, OpenDocument spreadsheets, and the small workbook parts
// of the shared SpreadsheetWriter.

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Bounded_File.h"
#include "series/Cell_Reference.h"
#include "series/SpreadsheetWriter.h"
#include "series/Xml_Stream.h"
#include "series/Zip_Archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <algorithm>
#include <vector>
#include <string_view>

namespace {

std::string_view local_name(const char* qualified) {
  const std::string_view name(qualified);
  const size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child_named(const pugi::xml_node& parent, std::string_view name) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    if (child.type() == pugi::node_element && local_name(child.name()) == name) return child;
  return {};
}

pugi::xml_attribute attribute_named(const pugi::xml_node& node, std::string_view name) {
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute())
    if (local_name(a.name()) == name) return a;
  return {};
}

// What a read makes at most. A real sheet stays far below: the cells of the widest and
// longest sheet the import takes (kMax_Read_Cells, as for workbooks), and characters (texts
// that a repeat count copies are shared, and count once).
constexpr qint64 kMax_Text_Characters = qint64(1) << 26;
// The largest XML file read (a sheet or the content of an OpenDocument spreadsheet).
constexpr qint64 kMax_Xml_Bytes = qint64(256) * 1024 * 1024;

[[noreturn]] void refuse_too_large() { throw Spreadsheet_Error(Too_Many_Cells_Reason()); }

// Counts the characters a read makes, before it makes them.
struct Text_Budget {
  qint64 used = 0;
  void take(qint64 characters) {
    used += characters;
    if (used > kMax_Text_Characters)
      throw Spreadsheet_Error(QStringLiteral("The table holds more text than can be read."));
  }
};

// Visits the nodes below `root` in document order without recursion (nesting may be as deep
// as the file likes). `visit` answers whether to go into an element's children.
template <typename Visit>
void walk_below(const pugi::xml_node& root, Visit visit) {
  pugi::xml_node node = root.first_child();
  while (node) {
    if (visit(node) && node.first_child()) {
      node = node.first_child();
      continue;
    }
    while (node != root && !node.next_sibling()) node = node.parent();
    if (node == root) break;
    node = node.next_sibling();
  }
}

// Parses a whole file; white space between elements is kept, since in mixed content it is
// part of the text.
// Only a regular file of at most kMax_Xml_Bytes is read.
bool load(const QString& path, pugi::xml_document* document, QString* error) {
  QByteArray bytes;
  QString reason;
  if (!Read_Bounded_File(path, kMax_Xml_Bytes, &bytes, &reason)) {
    *error = reason;
    return false;
  }
  const pugi::xml_parse_result result = document->load_buffer(
      bytes.constData(), size_t(bytes.size()), pugi::parse_default | pugi::parse_ws_pcdata);
  bytes = QByteArray();
  if (!result) {
    *error = QStringLiteral("%1: %2 at byte %3")
                 .arg(path, QString::fromUtf8(result.description()))
                 .arg(result.offset);
    return false;
  }
  return true;
}

void append_all_text(const pugi::xml_node& node, QString* text, Text_Budget* budget) {
  walk_below(node, [&](const pugi::xml_node& child) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      const QString part = QString::fromUtf8(child.value());
      budget->take(part.size());
      text->append(part);
    }
    return child.type() == pugi::node_element;
  });
}

int positive_attribute(const pugi::xml_node& node, std::string_view name, int fallback, int limit) {
  const pugi::xml_attribute a = attribute_named(node, name);
  if (!a) return fallback;
  const long long value = a.as_llong(0);
  if (value < 1) return fallback;
  return int(std::min<long long>(value, limit));
}

// Makes every row `width` cells wide. Empty rows (a million of them after a far row index)
// all share one blank row.
void pad_rows(Sheet_Rows* rows, qsizetype width) {
  const QStringList blank(width, QString());
  for (QStringList& row : *rows) {
    if (row.isEmpty())
      row = blank;
    else if (row.size() < width)
      row.resize(width);
  }
}

qsizetype widest_row(const Sheet_Rows& rows) {
  qsizetype widest = 0;
  for (const QStringList& row : rows) widest = std::max(widest, row.size());
  return widest;
}

std::string number_text(long long value) { return std::to_string(value); }

// ---- OpenDocument text -------------------------------------------------------------------

// The text of a paragraph by the white-space rules of OpenDocument: runs of literal white
// space count as one space and vanish at the paragraph's ends; <text:s/>, <text:tab/> and
// <text:line-break/> are the characters they stand for. Annotations are not cell text.
struct Paragraph_Text {
  explicit Paragraph_Text(Text_Budget* budget) : budget(budget) {}
  Text_Budget* budget;
  QString text;
  bool pending_space = false;

  void literal(const QString& part) {
    budget->take(part.size() + 1);
    for (const QChar c : part) {
      if (c == u' ' || c == u'\t' || c == u'\n' || c == u'\r') {
        if (!text.isEmpty()) pending_space = true;
        continue;
      }
      flush();
      text.append(c);
    }
  }
  void exact(QChar c, int count) {
    budget->take(count);
    flush();
    text.append(QString(count, c));
  }
  void flush() {
    if (pending_space) text.append(u' ');
    pending_space = false;
  }
  void walk(const pugi::xml_node& paragraph) {
    walk_below(paragraph, [this](const pugi::xml_node& child) {
      if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
        literal(QString::fromUtf8(child.value()));
        return false;
      }
      if (child.type() != pugi::node_element) return false;
      const std::string_view name = local_name(child.name());
      if (name == "s")
        exact(u' ', positive_attribute(child, "c", 1, kMax_Sheet_Columns));
      else if (name == "tab")
        exact(u'\t', 1);
      else if (name == "line-break")
        exact(u'\n', 1);
      else
        return name != "annotation" && name != "note";  // spans and links hold text
      return false;
    });
  }
};

QString cell_text(const pugi::xml_node& cell, Text_Budget* budget) {
  QStringList paragraphs;
  for (pugi::xml_node child = cell.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    const std::string_view name = local_name(child.name());
    if (name != "p" && name != "h") continue;
    Paragraph_Text paragraph(budget);
    budget->take(1);  // the line break before it
    paragraph.walk(child);
    paragraphs << paragraph.text;
  }
  return paragraphs.join(u'\n');
}

class Ods_Table {
 public:
  // Rows stand in the table, in groups of rows, and in groups of those. Throws
  // Spreadsheet_Error for a table that would make more cells or text than a read hands out.
  void read(const pugi::xml_node& table) {
    walk_below(table, [this](const pugi::xml_node& child) {
      if (child.type() != pugi::node_element) return false;
      const std::string_view name = local_name(child.name());
      if (name == "table-row") add_row(child);
      return name == "table-header-rows" || name == "table-rows" || name == "table-row-group";
    });
  }

  // The rows made as wide as the widest.
  Sheet_Rows finish() {
    pad_rows(&rows_, widest_);
    for (Far_Text& far : far_) rows_[far.row][far.column] = std::move(far.text);
    far_.clear();
    return rows_;
  }

 private:
  // A text far beyond the other cells of its row, kept aside until the table is known to fit
  // (a row with one cell in column XFD costs one cell meanwhile, not 16,384).
  struct Far_Text {
    qsizetype row;
    qsizetype column;  // from 0
    QString text;
  };
  static constexpr qsizetype kNear_Columns = 256;

  void add_row(const pugi::xml_node& element) {
    // The row's cells up to its last near one; empty cells are only counted until a text
    // follows them, and texts far beyond wait in `far`.
    QStringList row;
    QList<std::pair<qsizetype, QString>> far;
    qsizetype column = 0;  // the next cell's column, from 0
    for (pugi::xml_node cell = element.first_child(); cell; cell = cell.next_sibling()) {
      if (cell.type() != pugi::node_element) continue;
      const std::string_view name = local_name(cell.name());
      if (name != "table-cell" && name != "covered-table-cell") continue;
      const int room = int(kMax_Sheet_Columns - column);
      if (room <= 0) break;
      const int repeat = positive_attribute(cell, "number-columns-repeated", 1, room);
      const QString text = cell_text(cell, &budget_);
      if (!text.isEmpty()) {
        if (far.isEmpty() && column - row.size() <= kNear_Columns) {
          row.resize(column);
          for (int i = 0; i < repeat; ++i) row.append(text);
        } else {
          for (int i = 0; i < repeat; ++i) far.append({column + i, text});
        }
      }
      column += repeat;
    }
    // Empty cells that pad a row to the table's width are no data.
    const qsizetype row_width = far.isEmpty() ? row.size() : far.back().first + 1;
    // A row whose far texts fill much of it is made whole at once.
    if (!far.isEmpty() && far.size() * 8 >= row_width) {
      row.resize(row_width);
      for (auto& [at, text] : far) row[at] = std::move(text);
      far.clear();
    }
    const int repeat = positive_attribute(element, "number-rows-repeated", 1, kMax_Sheet_Rows);
    if (row_width == 0) {
      // Empty rows count only when data follows them.
      pending_empty_ = std::min<qint64>(pending_empty_ + repeat, kMax_Sheet_Rows);
      return;
    }
    const qint64 empty = std::min<qint64>(pending_empty_, kMax_Sheet_Rows - rows_.size());
    const qint64 copies = std::min<qint64>(repeat, kMax_Sheet_Rows - rows_.size() - empty);
    const qsizetype width = std::max(widest_, row_width);
    // The cells the table will have once padded, counted before any is made.
    if (qint64(width) * (rows_.size() + empty + copies) > kMax_Read_Cells) refuse_too_large();
    widest_ = width;
    for (qint64 i = empty; i > 0; --i) rows_.append(QStringList());
    pending_empty_ = 0;
    for (qint64 i = copies; i > 0; --i) {
      for (const auto& [at, text] : far) far_.push_back({rows_.size(), at, text});
      rows_.append(row);
    }
  }

  Sheet_Rows rows_;
  std::vector<Far_Text> far_;
  qsizetype widest_ = 0;
  qint64 pending_empty_ = 0;
  Text_Budget budget_;
};

// Writes one line of a cell text as OpenDocument paragraph content: a space that a reader
// would fold away (at an end, or after another space) becomes <text:s/>, a tab <text:tab/>.
void write_odf_line(Xml_Writer& out, const QString& line) {
  QString run;
  const auto flush = [&] {
    if (!run.isEmpty()) out.text(run);
    run.clear();
  };
  qsizetype i = 0;
  while (i < line.size()) {
    const QChar c = line.at(i);
    if (c == u' ') {
      qsizetype spaces = 1;
      while (i + spaces < line.size() && line.at(i + spaces) == u' ') ++spaces;
      const bool keep_first = i > 0 && i + spaces < line.size();
      if (keep_first) run.append(u' ');
      const qsizetype extra = keep_first ? spaces - 1 : spaces;
      if (extra > 0) {
        flush();
        out.start("text:s");
        if (extra > 1) out.attribute("text:c", number_text(extra));
        out.end("text:s");
      }
      i += spaces;
      continue;
    }
    if (c == u'\t') {
      flush();
      out.start("text:tab");
      out.end("text:tab");
    } else if (c != u'\r') {
      run.append(c);
    }
    ++i;
  }
  flush();
}

// A cell text as paragraphs, one per line, as spreadsheet programs keep line breaks.
void write_odf_text(Xml_Writer& out, const QString& text) {
  for (const QString& line : text.split(u'\n')) {
    out.start("text:p");
    write_odf_line(out, line);
    out.end("text:p");
  }
}

// The rows of an XML Spreadsheet 2003 table with their places (from 1), and after each row
// its cells with their columns (from 1). A row, like a cell, may name its place; the rows it
// skips are empty. An index that goes back is not valid: such a row (or cell) takes the next
// place, losing nothing. Rows past kMax_Sheet_Rows and cells past kMax_Sheet_Columns are left
// out.
template <typename Row_Visit, typename Cell_Visit>
void Xml2003_Places(const pugi::xml_node& table, Row_Visit on_row, Cell_Visit on_cell) {
  int next_row = 1;
  for (pugi::xml_node row = table.first_child(); row; row = row.next_sibling()) {
    if (row.type() != pugi::node_element || local_name(row.name()) != "Row") continue;
    if (next_row > kMax_Sheet_Rows) break;
    const int place = std::max(next_row, positive_attribute(row, "Index", next_row, kMax_Sheet_Rows));
    on_row(row, place);
    int next_column = 1;
    for (pugi::xml_node cell = row.first_child(); cell; cell = cell.next_sibling()) {
      if (cell.type() != pugi::node_element || local_name(cell.name()) != "Cell") continue;
      if (next_column > kMax_Sheet_Columns) break;
      const int column =
          std::max(next_column, positive_attribute(cell, "Index", next_column, kMax_Sheet_Columns));
      on_cell(cell, column);
      next_column = column + 1 + positive_attribute(cell, "MergeAcross", 0, kMax_Sheet_Columns);
    }
    next_row = place + 1;
  }
}

}  // namespace

// ---- XML Spreadsheet 2003 ------------------------------------------------------------------

Sheet_Rows SpreadsheetWriter::ReadWorksheetXML2004(const QString& path) {
  pugi::xml_document document;
  QString error;
  if (!load(path, &document, &error)) throw Spreadsheet_Error(error);
  const pugi::xml_node root = document.document_element();
  if (local_name(root.name()) != "Workbook")
    throw Spreadsheet_Error(QStringLiteral("%1 is not an XML spreadsheet.").arg(path));
  const pugi::xml_node table = child_named(child_named(root, "Worksheet"), "Table");
  // The places first: the table's extent, which far indices make large from a small file,
  // is known and checked before any cell is made.
  qint64 last_row = 0, widest = 0;
  Xml2003_Places(table, [&](const pugi::xml_node&, int place) { last_row = place; },
                 [&](const pugi::xml_node&, int column) { widest = std::max<qint64>(widest, column); });
  if (widest * last_row > kMax_Read_Cells) refuse_too_large();
  Sheet_Rows rows;
  Text_Budget budget;
  Xml2003_Places(
      table,
      [&](const pugi::xml_node&, int place) {
        while (rows.size() < place) rows.append(QStringList());
      },
      [&](const pugi::xml_node& cell, int column) {
        QStringList& cells = rows.last();
        while (cells.size() < column - 1) cells.append(QString());
        QString text;
        if (const pugi::xml_node data = child_named(cell, "Data"))
          append_all_text(data, &text, &budget);
        cells.append(text);
      });
  pad_rows(&rows, qsizetype(widest));
  return rows;
}

bool SpreadsheetWriter::WriteWorksheetXML2004(const QString& path, const Sheet_Rows& rows) {
  const qsizetype columns = widest_row(rows);
  if (columns == 0) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: there is nothing to write.").arg(path));
    return false;
  }
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration();
  out.start("Workbook");
  out.attribute("xmlns", std::string_view("urn:schemas-microsoft-com:office:spreadsheet"));
  out.attribute("xmlns:o", std::string_view("urn:schemas-microsoft-com:office:office"));
  out.attribute("xmlns:x", std::string_view("urn:schemas-microsoft-com:office:excel"));
  out.attribute("xmlns:ss", std::string_view("urn:schemas-microsoft-com:office:spreadsheet"));
  out.attribute("xmlns:html", std::string_view("http://www.w3.org/TR/REC-html40"));
  out.newline();
  out.start("Worksheet");
  out.attribute("ss:Name", std::string_view("Notes"));
  out.newline();
  out.start("Table");
  out.attribute("ss:ExpandedColumnCount", number_text(columns));
  out.attribute("ss:ExpandedRowCount", number_text(rows.size()));
  out.newline();
  for (const QStringList& row : rows) {
    out.start("Row");
    for (const QString& text : row) {
      out.start("Cell");
      out.start("Data");
      out.attribute("ss:Type", std::string_view(Is_Plain_Number(text) ? "Number" : "String"));
      out.text(text);
      out.end("Data");
      out.end("Cell");
    }
    out.end("Row");
    out.newline();
  }
  out.end("Table");
  out.newline();
  out.end("Worksheet");
  out.newline();
  out.end("Workbook");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}

// ---- OpenDocument spreadsheets -----------------------------------------------------------

Sheet_Rows SpreadsheetWriter::ReadODS(const QString& path) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!shared.Prepare_Unpack_Folder())
    throw Spreadsheet_Error(QStringLiteral("Could not prepare the folder %1").arg(shared.tmpDir_));
  Zip_Error zip_error;
  if (!Zip_Archive::unzipFileAtPath(path, shared.tmpDir_, true, QString(), &zip_error)) {
    shared.Prepare_Unpack_Folder();
    throw Spreadsheet_Error(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path),
                                                         zip_error.localizedDescription));
  }
  shared.source_ = path;
  const QString content = shared.tmpDir_ + QStringLiteral("/content.xml");
  if (!QFileInfo::exists(content) && !QFileInfo(content).isSymLink())
    throw Spreadsheet_Error(
        QStringLiteral("%1 holds no part content.xml").arg(QDir::toNativeSeparators(path)));
  try {
    return ReadODSContent(content);
  } catch (const Spreadsheet_Error& error) {
    throw Spreadsheet_Error(shared.Shown_Reason(error.reason(), content));
  }
}

Sheet_Rows SpreadsheetWriter::ReadODSContent(const QString& path) {
  pugi::xml_document document;
  QString error;
  if (!load(path, &document, &error)) throw Spreadsheet_Error(error);
  const pugi::xml_node root = document.document_element();
  if (local_name(root.name()) != "document-content")
    throw Spreadsheet_Error(QStringLiteral("%1 is not an OpenDocument content part.").arg(path));
  const pugi::xml_node table =
      child_named(child_named(child_named(root, "body"), "spreadsheet"), "table");
  Ods_Table rows;
  rows.read(table);
  return rows.finish();
}

bool SpreadsheetWriter::WriteODS(const QString& path, const Sheet_Rows& rows, bool) {
  SpreadsheetWriter& shared = spreadsheet();
  if (!shared.Unpack_Template_For(path, rows, QStringLiteral("Template.ods"))) return false;
  const QString folder = shared.tmpDir_;
  if (!shared.WriteODSData(folder + QStringLiteral("/content.xml"))) return false;
  // The package's "mimetype" comes first and uncompressed, so that it can be recognised
  // from its first bytes.
  Zip_Archive archive(path);
  bool written = archive.open();
  const QStringList entries = QDir(folder).entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  if (written && entries.contains(QStringLiteral("mimetype")))
    written = archive.writeFile(QStringLiteral("mimetype"), folder, false);
  for (const QString& entry : entries)
    if (written && entry != u"mimetype") written = archive.writeFile(entry, folder);
  if (!written || !archive.close()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, archive.errorString()));
    return false;
  }
  return true;
}

bool SpreadsheetWriter::WriteODSData(const QString& path) {
  static const char* const kNamespaces[][2] = {
      {"xmlns:office", "urn:oasis:names:tc:opendocument:xmlns:office:1.0"},
      {"xmlns:style", "urn:oasis:names:tc:opendocument:xmlns:style:1.0"},
      {"xmlns:text", "urn:oasis:names:tc:opendocument:xmlns:text:1.0"},
      {"xmlns:table", "urn:oasis:names:tc:opendocument:xmlns:table:1.0"},
      {"xmlns:draw", "urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"},
      {"xmlns:fo", "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"},
      {"xmlns:meta", "urn:oasis:names:tc:opendocument:xmlns:meta:1.0"},
      {"xmlns:number", "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"},
      {"xmlns:presentation", "urn:oasis:names:tc:opendocument:xmlns:presentation:1.0"},
      {"xmlns:svg", "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"},
      {"xmlns:chart", "urn:oasis:names:tc:opendocument:xmlns:chart:1.0"},
      {"xmlns:dr3d", "urn:oasis:names:tc:opendocument:xmlns:dr3d:1.0"},
      {"xmlns:form", "urn:oasis:names:tc:opendocument:xmlns:form:1.0"},
      {"xmlns:script", "urn:oasis:names:tc:opendocument:xmlns:script:1.0"},
      {"xmlns:of", "urn:oasis:names:tc:opendocument:xmlns:of:1.2"},
      {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
      {"xmlns:math", "http://www.w3.org/1998/Math/MathML"},
      {"xmlns:dom", "http://www.w3.org/2001/xml-events"},
      {"xmlns:xforms", "http://www.w3.org/2002/xforms"},
      {"xmlns:xsd", "http://www.w3.org/2001/XMLSchema"},
      {"xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"},
      {"xmlns:html", "http://www.w3.org/1999/xhtml"},
      {"xmlns:grddl", "http://www.w3.org/2003/g/data-view#"},
      {"xmlns:css3t", "http://www.w3.org/TR/css3-text/"},
      {"xmlns:dc", "http://purl.org/dc/elements/1.1/"},
      {"xmlns:ooo", "http://openoffice.org/2004/office"},
      {"xmlns:ooow", "http://openoffice.org/2004/writer"},
      {"xmlns:oooc", "http://openoffice.org/2004/calc"},
      {"xmlns:rpt", "http://openoffice.org/2005/report"},
      {"xmlns:tableooo", "http://openoffice.org/2009/table"},
      {"xmlns:field", "urn:openoffice:names:experimental:ooo-ms-interop:xmlns:field:1.0"},
      {"xmlns:formx", "urn:openoffice:names:experimental:ooxml-odf-interop:xmlns:form:1.0"},
  };
  const qsizetype columns = widest_row(data_);
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration();
  out.start("office:document-content");
  for (const auto& ns : kNamespaces) out.attribute(ns[0], std::string_view(ns[1]));
  out.attribute("office:version", std::string_view("1.2"));
  out.newline();
  out.start("office:scripts");
  out.end("office:scripts");
  out.start("office:font-face-decls");
  for (const auto& face : {std::pair<const char*, const char*>{"Arial", "swiss"},
                           {"Arial Unicode MS", "system"},
                           {"Tahoma", "system"}}) {
    out.start("style:font-face");
    out.attribute("style:name", std::string_view(face.first));
    out.attribute("svg:font-family", std::string_view(face.first));
    out.attribute("style:font-family-generic", std::string_view(face.second));
    out.attribute("style:font-pitch", std::string_view("variable"));
    out.end("style:font-face");
  }
  out.end("office:font-face-decls");
  out.newline();
  out.start("office:automatic-styles");
  out.start("style:style");
  out.attribute("style:name", std::string_view("co1"));
  out.attribute("style:family", std::string_view("table-column"));
  out.start("style:table-column-properties");
  out.attribute("fo:break-before", std::string_view("auto"));
  out.attribute("style:column-width", std::string_view("2.258cm"));
  out.end("style:table-column-properties");
  out.end("style:style");
  out.start("style:style");
  out.attribute("style:name", std::string_view("ro1"));
  out.attribute("style:family", std::string_view("table-row"));
  out.start("style:table-row-properties");
  out.attribute("style:row-height", std::string_view("0.427cm"));
  out.attribute("fo:break-before", std::string_view("auto"));
  out.attribute("style:use-optimal-row-height", std::string_view("true"));
  out.end("style:table-row-properties");
  out.end("style:style");
  out.start("style:style");
  out.attribute("style:name", std::string_view("ta1"));
  out.attribute("style:family", std::string_view("table"));
  out.attribute("style:master-page-name", std::string_view("Default"));
  out.start("style:table-properties");
  out.attribute("table:display", std::string_view("true"));
  out.attribute("style:writing-mode", std::string_view("lr-tb"));
  out.end("style:table-properties");
  out.end("style:style");
  out.end("office:automatic-styles");
  out.newline();
  out.start("office:body");
  out.start("office:spreadsheet");
  out.start("table:table");
  out.attribute("table:name", std::string_view("Sheet1"));
  out.attribute("table:style-name", std::string_view("ta1"));
  out.newline();
  out.start("table:table-column");
  out.attribute("table:style-name", std::string_view("co1"));
  out.attribute("table:number-columns-repeated", number_text(columns));
  out.attribute("table:default-cell-style-name", std::string_view("Default"));
  out.end("table:table-column");
  out.newline();
  for (const QStringList& row : data_) {
    out.start("table:table-row");
    out.attribute("table:style-name", std::string_view("ro1"));
    for (const QString& text : row) {
      out.start("table:table-cell");
      out.attribute("office:value-type", std::string_view("string"));
      write_odf_text(out, text);
      out.end("table:table-cell");
    }
    out.end("table:table-row");
    out.newline();
  }
  out.end("table:table");
  out.end("office:spreadsheet");
  out.end("office:body");
  out.newline();
  out.end("office:document-content");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}

// ---- Workbook part -------------------------------------------------------------------------

QStringList SpreadsheetWriter::Read_Sheet_Name() {
  pugi::xml_document document;
  QString error;
  if (!load(spreadsheet().tmpDir_ + QStringLiteral("/xl/workbook.xml"), &document, &error))
    return {};
  QStringList names;
  struct Sheets : pugi::xml_tree_walker {
    QStringList* names;
    bool for_each(pugi::xml_node& node) override {
      if (node.type() == pugi::node_element && local_name(node.name()) == "sheet")
        *names << QString::fromUtf8(attribute_named(node, "name").value());
      return true;
    }
  } walker;
  walker.names = &names;
  document.traverse(walker);
  return names;
}

bool SpreadsheetWriter::WriteWorkbookXML(const QString& path, const QString& sheet_name) {
  Xml_Writer out(path);
  if (!out.open()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  out.declaration(false, true);
  out.start("workbook");
  out.attribute("xml:space", std::string_view("preserve"));
  out.attribute("xmlns",
                std::string_view("http://schemas.openxmlformats.org/spreadsheetml/2006/main"));
  out.attribute(
      "xmlns:r",
      std::string_view("http://schemas.openxmlformats.org/officeDocument/2006/relationships"));
  out.start("sheets");
  out.start("sheet");
  out.attribute("name", sheet_name);
  out.end("sheet");
  out.end("sheets");
  out.end("workbook");
  out.newline();
  if (!out.commit()) {
    Show_NSLog_Message(
        QStringLiteral("Error when writing file %1: %2").arg(path, out.error_string()));
    return false;
  }
  return true;
}
