#include "output/Batch_Export.h"

#include "model/Shared_Design_State.h"
#include "output/Card_Picture_File.h"

#include <QDir>
#include <QEventLoop>

#include <algorithm>
#include <thread>

namespace {
constexpr size_t kept_failures = 10;

void raise_progress(int started) {
  double seen = curr_barcode_count.load();
  while (seen < started && !curr_barcode_count.compare_exchange_weak(seen, started)) {
  }
}
}  // namespace

QString Batch_Output_Folder(const QString& chosen) {
  if (chosen.isEmpty()) return {};
  const QString folder = QDir(chosen).filePath(QStringLiteral("ZELK Festival Greeting Card"));
  if (!QDir().mkpath(folder)) return {};
  return folder;
}

QString Batch_Result_Message(const Batch_Export_Result& result) {
  if (result.failed == 0) return QStringLiteral("Card has been exported successfully.");
  QStringList numbers;
  for (const auto& failure : result.failures) numbers << QString::number(failure.record + 1);
  if (result.failed > int(result.failures.size())) numbers << QStringLiteral("...");
  const QString first = result.failures.empty() ? QString() : result.failures.front().reason;
  return QStringLiteral("%1 of %2 cards could not be exported (record %3): %4")
      .arg(result.failed)
      .arg(result.done)
      .arg(numbers.join(QStringLiteral(", ")), first);
}

Batch_Export::Batch_Export(const Record_Renderer& prototype, Batch_Export_Options options,
                           QObject* parent)
    : QObject(parent), options_(std::move(options)), count_(prototype.Record_Count()) {
  int threads = options_.threads > 0 ? options_.threads
                                     : int(std::max(1u, std::thread::hardware_concurrency()));
  threads = std::max(1, std::min(threads, count_));
  for (int t = 0; t < threads; ++t)
    workers_.push_back(std::make_unique<Worker>(Worker{prototype.Copy(), {}}));
  pool_.setMaxThreadCount(int(workers_.size()));
  result_.count = count_;
}

Batch_Export::~Batch_Export() {
  stop_ = true;
  pool_.waitForDone();
}

void Batch_Export::start() {
  curr_barcode_count = 0;
  if (workers_.empty() || count_ <= 0) {
    QMetaObject::invokeMethod(this, &Batch_Export::worker_done, Qt::QueuedConnection);
    return;
  }
  active_ = int(workers_.size());
  for (auto& worker : workers_) {
    Worker* own = worker.get();
    pool_.start([this, own] {
      work(*own);
      if (--active_ == 0)
        QMetaObject::invokeMethod(this, &Batch_Export::worker_done, Qt::QueuedConnection);
    });
  }
}

void Batch_Export::work(Worker& worker) {
  for (;;) {
    if (stop_ || Stop_SMS_Sending_Now) return;
    const int record = next_++;
    if (record >= count_) return;
    raise_progress(record + 1);
    QString reason;
    const bool ok = export_record(worker, record, &reason);
    ++done_;
    if (!ok) {
      std::lock_guard<std::mutex> lock(failures_mutex_);
      ++failed_;
      failures_.push_back({record, reason});
      std::sort(failures_.begin(), failures_.end(),
                [](const auto& a, const auto& b) { return a.record < b.record; });
      if (failures_.size() > kept_failures) failures_.pop_back();
    }
  }
}

bool Batch_Export::export_record(Worker& worker, int record, QString* reason) {
  const QString path = Batch_Card_Path(options_.folder, record, options_.ext);
  auto render = [&](Card_Side side, Picture* picture) {
    Render_Report report;
    *picture = worker.renderer.Render(record, side, &report);
    if (picture->isNull()) {
      *reason = report.failed ? report.reason : QStringLiteral("The card picture could not be made.");
      return false;
    }
    return true;
  };
  auto write = [&](const Picture& picture, const QString& file) {
    QString error;
    if (worker.encoder.Write(picture, file, &error)) return true;
    *reason = QStringLiteral("%1: %2").arg(file, error);
    return false;
  };
  bool ok = true;
  Picture front, back;
  if (options_.side == QLatin1String("BOTH")) {
    if (!render(Card_Side::Back, &back)) return false;
    if (!options_.combined) ok = write(back, Create_Back_Card_Path(path));
    if (!render(Card_Side::Front, &front)) return false;
    if (options_.combined) {
      const Picture both = Combine_Card_Pictures(front, back);
      if (both.isNull()) {
        *reason = QStringLiteral("Invalid image");
        return false;
      }
      return write(both, path) && ok;
    }
    return write(front, Create_Front_Card_Path(path)) && ok;
  }
  if (options_.side == QLatin1String("F")) {
    return render(Card_Side::Front, &front) && write(front, Create_Front_Card_Path(path));
  }
  return render(Card_Side::Back, &back) && write(back, Create_Back_Card_Path(path));
}

void Batch_Export::worker_done() {
  if (finished_) return;
  result_.done = done_;
  result_.stopped = result_.done < count_;
  {
    std::lock_guard<std::mutex> lock(failures_mutex_);
    result_.failed = failed_;
    result_.failures = failures_;
  }
  finished_ = true;
  emit finished();
}

void Batch_Export::waitForFinished() {
  if (finished_) return;
  QEventLoop loop;
  connect(this, &Batch_Export::finished, &loop, &QEventLoop::quit);
  if (!finished_) loop.exec();
}
