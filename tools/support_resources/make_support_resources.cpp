// Writes the resources the program generates at build time into one folder: the user
// guide "Help.pdf" (from the text below) and the pictures of the promotion window's three
// products ("Promotion_S.png", "Promotion_R.png", "Promotion_B.png").
//
//   make_support_resources <output folder>

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <cstdio>

namespace {

const char* const guide_html = R"(
<h1>Lumigrove User Guide</h1>
<p>Lumigrove designs greeting cards and invitations with a front and a back side, and
produces them one at a time or once for every record of a data series or spreadsheet.</p>
<h2>Starting a card</h2>
<ul>
<li><b>File &gt; New</b> starts an empty card.</li>
<li><b>File &gt; Card Wizard...</b> sets the card's size from the PVC card and name badge
presets (or typed in millimetres) and its outline: rectangle, rounded rectangle or ellipse.</li>
<li><b>File &gt; New from Template...</b> starts from a ready-made design. Your own templates
are under "My Templates", where you can also copy, rename and delete them.</li>
<li><b>File &gt; Export as Template...</b> keeps the current design as a template of your own.</li>
</ul>
<h2>Designing</h2>
<p>Pick a tool on the left and click the card to place a text, picture, shape, line,
signature or barcode. The sidebar on the right shows the settings of the selected object,
or of the card when nothing is selected. Use <b>Front Side</b> and <b>Back Side</b> to switch
sides and <b>Preview</b> to see the card with its data filled in.</p>
<h2>Data series and spreadsheets</h2>
<p>Bind a text, picture or barcode to a data series or a spreadsheet column on the data
page of the sidebar. <b>Series</b>, <b>Create Series</b> and <b>Import</b> manage the data.
Export, printing and e-mail then produce one card for each record.</p>
<h2>Output</h2>
<ul>
<li><b>Export</b> writes card pictures (front, back, both, or both combined into one).</li>
<li><b>Print</b> lays the cards out on sheets: choose rows, columns, gaps and position.</li>
<li><b>Mail</b> sends the cards by e-mail through your SMTP server.</li>
</ul>
<h2>Help and support</h2>
<p>The <b>Help</b> button opens this guide and the support addresses. <b>Share</b> tells
others about the program.</p>
)";

bool write_pdf(const QString& path) {
  QPdfWriter pdf(path);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(300);
  pdf.setTitle(QStringLiteral("Lumigrove User Guide"));
  pdf.setCreator(QStringLiteral("Lumigrove"));
  QTextDocument guide;
  guide.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
  guide.setHtml(QString::fromUtf8(guide_html));
  guide.print(&pdf);
  return QFileInfo(path).size() > 0;
}

bool write_picture(const QString& path, QColor top, QColor bottom, const QString& letter) {
  QImage image(256, 256, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient fill(0, 0, 0, 256);
  fill.setColorAt(0, top);
  fill.setColorAt(1, bottom);
  QPainterPath card;
  card.addRoundedRect(QRectF(16, 40, 224, 176), 20, 20);
  p.fillPath(card, fill);
  p.setPen(QPen(QColor(255, 255, 255, 200), 4));
  p.drawPath(card);
  p.setPen(Qt::white);
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(110);
  font.setBold(true);
  p.setFont(font);
  p.drawText(QRectF(16, 40, 224, 176), Qt::AlignCenter, letter);
  p.end();
  QSaveFile file(path);
  return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_support_resources <output folder>\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) return 1;
  // The PDF is written to a temporary name first: the build never leaves half a guide.
  const QString pdf = out.filePath(QStringLiteral("Help.pdf"));
  const QString partial = pdf + QStringLiteral(".part");
  if (!write_pdf(partial) || (QFile::exists(pdf) && !QFile::remove(pdf)) ||
      !QFile::rename(partial, pdf)) {
    std::fprintf(stderr, "could not write %s\n", qPrintable(pdf));
    return 1;
  }
  const struct {
    const char* file;
    QColor top, bottom;
    const char* letter;
  } pictures[] = {{"Promotion_S.png", QColor(90, 140, 220), QColor(40, 70, 160), "S"},
                  {"Promotion_R.png", QColor(240, 150, 70), QColor(190, 80, 40), "R"},
                  {"Promotion_B.png", QColor(90, 190, 120), QColor(30, 120, 70), "B"}};
  for (const auto& picture : pictures) {
    if (!write_picture(out.filePath(QString::fromLatin1(picture.file)), picture.top,
                       picture.bottom, QString::fromLatin1(picture.letter))) {
      std::fprintf(stderr, "could not write %s\n", picture.file);
      return 1;
    }
  }
  return 0;
}
