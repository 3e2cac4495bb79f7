// Writes the resources the program generates at build time into one folder: the user
// guide "Help.pdf" (from user_guide.html beside this file) and the pictures of the
// promotion window's three products ("Promotion_S.png", "Promotion_R.png",
// "Promotion_B.png").
//
//   make_support_resources <output folder> <user guide HTML>

#include <QDir>
#include <QFile>
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


bool write_pdf(const QString& path, const QString& guide_html) {
  QPdfWriter pdf(path);
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setResolution(300);
  pdf.setTitle(QStringLiteral("Lumigrove User Guide"));
  pdf.setCreator(QStringLiteral("Lumigrove"));
  QTextDocument guide;
  guide.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 11));
  guide.setHtml(guide_html);
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
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_support_resources <output folder> <user guide HTML>\n");
    return 2;
  }
  QFile guide_file(QString::fromLocal8Bit(argv[2]));
  if (!guide_file.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "could not read %s\n", argv[2]);
    return 1;
  }
  const QString guide_html = QString::fromUtf8(guide_file.readAll());
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(out.path())) return 1;
  // The PDF is written to a temporary name first: the build never leaves half a guide.
  const QString pdf = out.filePath(QStringLiteral("Help.pdf"));
  const QString partial = pdf + QStringLiteral(".part");
  if (!write_pdf(partial, guide_html) || (QFile::exists(pdf) && !QFile::remove(pdf)) ||
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
