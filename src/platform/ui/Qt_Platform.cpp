#include "platform/ui/Qt_Platform.h"

#include "platform/Worker_Runs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardPaths>
#include <QStyle>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform {

int Title_Width(const QWidget& window) {
  const QString title = window.windowTitle().isEmpty() ? QGuiApplication::applicationDisplayName()
                                                       : window.windowTitle();
  QFont font = QApplication::font("QMdiSubWindowTitleBar");
  font.setBold(true);
  const int bar = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  return QFontMetrics(font).horizontalAdvance(title) + 4 * bar;
}

namespace {
QWidget* parent_window() { return QApplication::activeWindow(); }

// An alert sizes itself to its text alone; a spacer across its layout makes it wide enough
// for its title.
void hold_title(QMessageBox& box) {
  box.setWindowTitle(QGuiApplication::applicationDisplayName());
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(Title_Width(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

QString name_filter(const QStringList& extensions) {
  if (extensions.isEmpty()) return {};
  QStringList patterns;
  for (const QString& ext : extensions) patterns << QStringLiteral("*.") + ext;
  return patterns.join(QLatin1Char(' '));
}
}  // namespace

void Qt_Platform::Message_Box(const QString& text) {
  QMessageBox box(parent_window());
  box.setIcon(QMessageBox::NoIcon);
  box.setText(text);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  hold_title(box);
  box.exec();
}

bool Qt_Platform::Yes_No_Box(const QString& text) {
  QMessageBox box(parent_window());
  box.setIcon(QMessageBox::Question);
  box.setText(text);
  QPushButton* yes = box.addButton(QStringLiteral("Yes"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("No"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  hold_title(box);
  box.exec();
  return box.clickedButton() == yes;
}

QStringList Qt_Platform::Open_Panel(const Open_Panel_Options& options) {
  if (options.choose_folders) {
    const QString dir =
        QFileDialog::getExistingDirectory(parent_window(), options.title, options.directory);
    return dir.isEmpty() ? QStringList() : QStringList{dir};
  }
  const QString filter = name_filter(options.extensions);
  if (options.allow_multiple)
    return QFileDialog::getOpenFileNames(parent_window(), options.title, options.directory, filter);
  const QString file =
      QFileDialog::getOpenFileName(parent_window(), options.title, options.directory, filter);
  return file.isEmpty() ? QStringList() : QStringList{file};
}

QString Qt_Platform::Save_Panel(const Save_Panel_Options& options) {
  QString start = options.directory;
  if (!options.file_name.isEmpty())
    start = start.isEmpty() ? options.file_name : start + QLatin1Char('/') + options.file_name;
  if (!options.file_types.isEmpty()) {
    QStringList filters;
    for (const QString& type : options.file_types)
      filters << type + QStringLiteral(" (") + name_filter({type}) + QLatin1Char(')');
    QString selected = filters.first();
    const QString path = QFileDialog::getSaveFileName(parent_window(), options.title, start,
                                                      filters.join(QStringLiteral(";;")), &selected);
    if (options.chosen_type) *options.chosen_type = std::max(0, int(filters.indexOf(selected)));
    return path;
  }
  const QString filter = options.extension.isEmpty() ? QString() : name_filter({options.extension});
  QString path = QFileDialog::getSaveFileName(parent_window(), options.title, start, filter);
  if (!path.isEmpty() && !options.extension.isEmpty() && QFileInfo(path).suffix().isEmpty())
    path += QLatin1Char('.') + options.extension;
  return path;
}

std::optional<QColor> Qt_Platform::Color_Panel(const QColor& initial, const QString& title) {
  const QColor chosen =
      QColorDialog::getColor(initial, parent_window(), title, QColorDialog::ShowAlphaChannel);
  if (!chosen.isValid()) return std::nullopt;
  return chosen;
}

std::optional<QFont> Qt_Platform::Font_Panel(const QFont& initial, const QString& title) {
  bool ok = false;
  const QFont chosen = QFontDialog::getFont(&ok, initial, parent_window(), title);
  if (!ok) return std::nullopt;
  return chosen;
}

int Qt_Platform::Run_Modal(QObject* window) {
  if (auto* dialog = qobject_cast<QDialog*>(window)) {
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), Title_Width(*dialog)));
    return dialog->exec();
  }
  auto* widget = qobject_cast<QWidget*>(window);
  if (!widget) return 0;
  widget->setMinimumWidth(std::max(widget->minimumWidth(), Title_Width(*widget)));
  QEventLoop loop;
  loops_.insert(window, &loop);
  widget->setWindowModality(Qt::ApplicationModal);
  widget->show();
  const int code = loop.exec(QEventLoop::DialogExec);
  loops_.remove(window);
  widget->hide();
  return code;
}

void Qt_Platform::Stop_Modal(QObject* window, int code) {
  if (auto* dialog = qobject_cast<QDialog*>(window)) {
    dialog->done(code);
    return;
  }
  if (QEventLoop* loop = loops_.value(window)) loop->exit(code);
}

namespace {

// Whether the desktop names a program for a local file's type: asked through xdg-mime
// where it is installed (the opener then runs nothing visible for a type it has no
// program for); without it, the opener's own answer decides.
bool Desktop_Has_Program_For(const QString& path) {
  const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
  if (query.isEmpty()) return true;
  const QString type = QMimeDatabase().mimeTypeForFile(path).name();
  QProcess process;
  process.start(query, {QStringLiteral("query"), QStringLiteral("default"), type});
  if (!process.waitForFinished(5000)) {
    process.kill();
    process.waitForFinished(1000);
    return true;
  }
  return process.exitStatus() != QProcess::NormalExit ||
         !process.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace

bool Qt_Platform::Open_Url(const QUrl& url, const std::function<void()>& on_failure) {
  const auto fail_now = [&on_failure] {
    if (on_failure) on_failure();
    return false;
  };
  if (!url.isValid() || url.isEmpty()) return fail_now();
  if (url.isLocalFile() && !Desktop_Has_Program_For(url.toLocalFile())) return fail_now();
  const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (opener.isEmpty()) return QDesktopServices::openUrl(url) || fail_now();
  // The desktop's opener, run here rather than through QDesktopServices, which starts it
  // detached and never learns that it failed: it answers with its exit status once it has
  // handed the address on (a desktop without a program of its own for the type runs the
  // program it finds, and answers when that ends). No shell; the fully encoded address.
  auto* process = new QProcess;
  process->setProgram(opener);
  process->setArguments({QString::fromLatin1(url.toEncoded())});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setStandardOutputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  const auto failed = [on_failure] {
    if (on_failure) on_failure();
  };
  QObject::connect(process, &QProcess::finished, process,
                   [process, failed](int code, QProcess::ExitStatus status) {
                     process->deleteLater();
                     if (status != QProcess::NormalExit || code != 0) failed();
                   });
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, failed](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;  // finished follows
                     process->deleteLater();
                     failed();
                   });
  process->start();
  return true;
}

void Qt_Platform::Terminate(int status) {
  // Workers still running are answered at once from now on instead of waiting for a main
  // thread that is about to leave; every run is stopped and waited for, so that no worker
  // paints while exit() destroys what it uses.
  Finish_Work_Before_Exit();
  std::fflush(nullptr);
  std::exit(status);
}

}  // namespace platform
