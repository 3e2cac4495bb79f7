#include "window/ui/Open_Export_Log.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "platform/Platform.h"
#include "window/ui/Dialog_Style.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int Least_Width = 460;  // the text's width when it is short
}

Open_Export_Log::Open_Export_Log(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Open_Export_Files"));
  setWindowTitle(QStringLiteral("Export"));
  Apply_Dialog_Style(this);

  auto* texts = new QWidget;
  texts->setObjectName(QStringLiteral("_open_log_texts"));
  texts->setAutoFillBackground(false);
  _open_log_message = new QLabel(texts);
  _open_log_message->setObjectName(QStringLiteral("_open_log_message"));
  _open_log_message->setWordWrap(true);
  _open_log_message->setTextFormat(Qt::PlainText);
  _open_log_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
  _open_log_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  _open_log_path = new QLabel(texts);
  _open_log_path->setObjectName(QStringLiteral("_open_log_path"));
  _open_log_path->setWordWrap(true);
  _open_log_path->setTextFormat(Qt::PlainText);
  _open_log_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
  _open_log_path->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* text_layout = new QVBoxLayout(texts);
  text_layout->setContentsMargins(0, 0, 0, 0);
  text_layout->addWidget(_open_log_message);
  text_layout->addWidget(_open_log_path);
  text_layout->addStretch(1);

  _open_log_scroll = new QScrollArea(this);
  _open_log_scroll->setObjectName(QStringLiteral("_open_log_scroll"));
  _open_log_scroll->setFrameShape(QFrame::NoFrame);
  _open_log_scroll->setWidgetResizable(true);
  _open_log_scroll->setWidget(texts);
  _open_log_scroll->viewport()->setAutoFillBackground(false);

  _open_log_chk = new QCheckBox(this);
  _open_log_chk->setObjectName(QStringLiteral("_open_log_chk"));
  _open_log_chk->setChecked(true);

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("OK_btn"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("Cancel_btn"));
  connect(ok, &QPushButton::clicked, this, &Open_Export_Log::OKPressed);
  connect(cancel, &QPushButton::clicked, this, &Open_Export_Log::CancelPressed);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(_open_log_scroll, 1);
  layout->addWidget(_open_log_chk);
  layout->addLayout(buttons);
  Fit_To_Text();
}

void Open_Export_Log::Fit_To_Text() {
  // As wide as the longest line (a path does not break), as high as the wrapped texts,
  // within most of the screen; the scroll area takes what is left over.
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const int max_width = std::max(Least_Width, room.width() * 4 / 5);
  const int max_height = std::max(200, room.height() * 4 / 5);
  const QMargins margins = layout()->contentsMargins();
  const int bar = _open_log_scroll->verticalScrollBar()->sizeHint().width();
  int widest = 0;
  for (const QLabel* label : {_open_log_message, _open_log_path}) {
    const QFontMetrics metrics(label->font());
    for (const QString& line : label->text().split(QLatin1Char('\n')))
      widest = std::max(widest, metrics.horizontalAdvance(line));
  }
  const int text_width = std::clamp(widest + 4, Least_Width,
                                     max_width - margins.left() - margins.right() - bar);
  QWidget* texts = _open_log_scroll->widget();
  const int spacing = texts->layout()->spacing();
  const int text_height = _open_log_message->heightForWidth(text_width) + spacing +
                          _open_log_path->heightForWidth(text_width) + 2;
  const int rest = _open_log_chk->sizeHint().height() + layout()->spacing() * 2 +
                   findChild<QPushButton*>(QStringLiteral("OK_btn"))->sizeHint().height() +
                   margins.top() + margins.bottom();
  const int height = std::min(max_height, text_height + rest);
  const int width = text_width + margins.left() + margins.right() +
                    (text_height + rest > max_height ? bar : 0);
  resize(width, height);
}

QString Open_Export_Log::Open_Failure_Message(const QString& path, bool folder) {
  const QString shown = QDir::toNativeSeparators(path);
  return folder ? QStringLiteral("The folder could not be opened: no file manager was found, "
                                 "or it failed.\n\nThe cards are in the folder\n%1")
                      .arg(shown)
                : QStringLiteral("The exported file could not be opened: no program for its "
                                 "type was found, or it failed.\n\nThe card is the file\n%1")
                      .arg(shown);
}

void Open_Export_Log::OKPressed() {
  if (_open_log_chk->isChecked()) {
    const QString path = Export_File_Path.get();
    const bool folder = QFileInfo(path).isDir();
    platform::Open_Url(QUrl::fromLocalFile(path),
                       [path, folder] { Show_MessageBox(Open_Failure_Message(path, folder)); });
  }
  _open_log_chk->setChecked(true);
  platform::Stop_Modal(this, 1);
}

void Open_Export_Log::CancelPressed() {
  _open_log_chk->setChecked(true);
  platform::Stop_Modal(this, 0);
}
