#include "output/Mail_Sender.h"

#include "model/Common_Functions.h"
#include "model/Shared_Design_State.h"
#include "output/Card_Picture_File.h"
#include "platform/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <unistd.h>
#endif

void Remove_Abandoned_Mail_Folders() {
#ifdef Q_OS_UNIX
  const QDir temp(QDir::tempPath());
  for (const QFileInfo& info :
       temp.entryInfoList({QStringLiteral("lumigrove-mail-*-*")},
                          QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)) {
    if (info.isSymLink() || info.ownerId() != ::getuid()) continue;
    const QStringList parts = info.fileName().split(u'-');
    bool number = false;
    const qint64 pid = parts.size() == 4 ? parts[2].toLongLong(&number) : 0;
    if (!number || pid <= 0 || pid == QCoreApplication::applicationPid()) continue;
    // Kept while the process runs (or may run: a process we may not signal is not ours).
    if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
    QDir(info.filePath()).removeRecursively();
  }
#endif
}

QString Mail_Result_Message(const Mail_Run_Result& result) {
  QString text;
  if (result.stopped) {
    text = QStringLiteral("Sending was stopped: %1 of %2 %3 sent.")
               .arg(result.sent)
               .arg(result.planned)
               .arg(result.planned == 1 ? QStringLiteral("e-mail was") : QStringLiteral("e-mails were"));
  } else {
    text = result.last_sent ? Mail_Sent_Text : Mail_Failed_Text;
    if (!result.last_sent && !result.failure.isEmpty())
      text += QStringLiteral("\n\n") + result.failure;
  }
  if (!result.skipped.isEmpty()) {
    QStringList numbers;
    for (int record : result.skipped.mid(0, 10)) numbers << QString::number(record + 1);
    if (result.skipped.size() > 10) numbers << QStringLiteral("...");
    text += QStringLiteral("\n\n%1 card(s) could not be made and were not sent (record %2): %3")
                .arg(result.skipped.size())
                .arg(numbers.join(QStringLiteral(", ")), result.skipped_reason);
  }
  return text;
}

Mail_Sender::Mail_Sender(Mail_Run_Settings settings, Mail_Card_Renderer renderer, QObject* parent)
    : QObject(parent), settings_(std::move(settings)), renderer_(std::move(renderer)) {
  const int recipients = int(settings_.recipients.size());
  result_.steps = Mail_Steps(settings_.mode, recipients, settings_.records);
  switch (settings_.mode) {
    case Mail_Mode::All_To_Every: result_.planned = result_.steps * recipients; break;
    case Mail_Mode::One_Per_Recipient:
      result_.planned = std::min(result_.steps, settings_.records);
      break;
    default: result_.planned = result_.steps; break;
  }
}

Mail_Sender::~Mail_Sender() {
  cancel_ = true;
  if (thread_) {
    // The worker sees cancel_ and ends the e-mail under way at once.
    platform::Wait_Serving_Workers([this] { return thread_->isFinished(); });
    thread_->wait();
    delete thread_;
  }
}

void Mail_Sender::start() {
  if (thread_) return;
  // A private folder (0700) per run: nobody else reads the cards or swaps them. Its name
  // carries our process id, so that one left by a run that died can be told from one in use.
  folder_ = std::make_unique<QTemporaryDir>(
      QDir::tempPath() +
      QStringLiteral("/lumigrove-mail-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
  folder_path_ = folder_->isValid() ? folder_->path() : QString();
  curr_barcode_count = 0;
  thread_ = QThread::create([this] { work(); });
  thread_->setObjectName(QStringLiteral("Mail run"));
  connect(thread_, &QThread::finished, this, &Mail_Sender::worker_done, Qt::QueuedConnection);
  thread_->start();
}

bool Mail_Sender::more_to_send(int step) const {
  switch (settings_.mode) {
    case Mail_Mode::One_Per_Recipient:
      return step + 1 < std::min(result_.steps, settings_.records);
    default:
      return step + 1 < result_.steps;
  }
}

bool Mail_Sender::render_and_save(int record, QStringList* files) {
  files->clear();
  QString reason;
  if (folder_path_.isEmpty()) reason = QStringLiteral("No temporary folder for the card pictures.");
  // The card pictures are PNG data: their names say so, as the attachments' type does.
  const QString front = QDir(folder_path_).filePath(settings_.picture_name + QStringLiteral(".png"));
  auto make = [&](int side, const QString& path) {
    if (!reason.isEmpty()) return false;
    const Picture picture = renderer_ ? renderer_(record, side, &reason) : Picture();
    if (picture.isNull()) {
      if (reason.isEmpty()) reason = QStringLiteral("The card picture could not be made.");
      return false;
    }
    if (!Write_Card_PNG(picture, path, &reason)) return false;
    files->append(path);
    return true;
  };
  const QString& side = settings_.side;
  const bool ok = side == QLatin1String("BOTH")
                      ? make(1, Create_Back_Card_Path(front)) && make(0, Create_Front_Card_Path(front))
                  : side == QLatin1String("F") ? make(0, Create_Front_Card_Path(front))
                                               : make(1, Create_Back_Card_Path(front));
  if (!ok) {
    result_.skipped.append(std::max(record, 0));
    if (result_.skipped_reason.isEmpty()) result_.skipped_reason = reason;
  }
  return ok;
}

bool Mail_Sender::send_to(const QString& recipient, const QStringList& files) {
  Show_NSLog_Message(recipient);
  Mail_Message message = settings_.message;
  message.recipient = recipient;
  message.attachments = files;
  const Mail_Result sent =
      sendEmail_pyth(message, settings_.script_time_limit_ms, settings_.script,
                     [this] { return Stop_SMS_Sending_Now || cancel_; });
  ++result_.calls;
  result_.last_sent = sent.sent;
  if (sent.stopped) {
    result_.stopped = true;
  } else if (sent.sent) {
    ++result_.sent;
  } else {
    result_.failure = sent.reason;
    Show_NSLog_Message(QStringLiteral("error in mail"));
  }
  return sent.sent;
}

void Mail_Sender::pause(int seconds) {
  using namespace std::chrono;
  emit pause_started(settings_.pauses.pause_ms());
  const auto end = steady_clock::now() + std::chrono::seconds(seconds);
  while (steady_clock::now() < end && !Stop_SMS_Sending_Now && !cancel_)
    std::this_thread::sleep_for(std::min<steady_clock::duration>(milliseconds(100),
                                                                 end - steady_clock::now()));
  emit pause_ended();
}

void Mail_Sender::work() {
  const Mail_Mode mode = settings_.mode;
  QStringList files;
  for (int k = 0; k < result_.steps; ++k) {
    if (Stop_SMS_Sending_Now || cancel_) {
      result_.stopped = true;
      break;
    }
    curr_barcode_count = k + 1;
    bool sent = true;
    bool made = true;
    switch (mode) {
      case Mail_Mode::No_Card: {
        Show_NSLog_Message(QStringLiteral("send without card."));
        const QString path = Trim_Str(settings_.attachment);
        files.clear();
        if (!path.isEmpty() && QFileInfo(path).isFile()) files << path;
        sent = send_to(settings_.recipients[k], files);
        break;
      }
      case Mail_Mode::Card:
        Show_NSLog_Message(QStringLiteral("send card no batch."));
        // The design is rendered once, before the first e-mail; every recipient gets it.
        if (k == 0 && !render_and_save(-1, &files)) {
          k = result_.steps;
          made = false;
          break;
        }
        sent = send_to(settings_.recipients[k], files);
        break;
      case Mail_Mode::One_Per_Recipient:
        Show_NSLog_Message(QStringLiteral("send card with batch to one to one"));
        if (k >= settings_.records) {
          curr_barcode_count = result_.steps;
          k = result_.steps;
          made = false;
          break;
        }
        made = render_and_save(k, &files);
        if (made) sent = send_to(settings_.recipients[k], files);
        break;
      case Mail_Mode::All_To_Every:
        Show_NSLog_Message(QStringLiteral("send card with batch to all image to everyone"));
        made = render_and_save(k, &files);
        for (int r = 0; made && sent && r < settings_.recipients.size(); ++r) {
          if (Stop_SMS_Sending_Now || cancel_) {
            result_.stopped = true;
            break;
          }
          sent = send_to(settings_.recipients[r], files);
        }
        break;
    }
    if (!sent || result_.stopped) break;
    if (!made) continue;  // a skipped record counts for no pause
    if (const int wait = settings_.pauses.Step_Done(more_to_send(k)); wait > 0) pause(wait);
  }
  if (folder_) folder_->remove();
}

void Mail_Sender::worker_done() {
  if (finished_) return;
  finished_ = true;
  emit finished();
}

void Mail_Sender::waitForFinished() {
  if (finished_ || !thread_) return;
  QEventLoop loop;
  connect(this, &Mail_Sender::finished, &loop, &QEventLoop::quit);
  if (!finished_) loop.exec();
}
