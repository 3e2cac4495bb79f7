#include "output/Batch_Export.h"

#include "model/CRDImage.h"
#include "model/Shared_Design_State.h"
#include "output/Card_Picture_File.h"
#include "platform/Whole_File.h"

#include <QDir>
#include <QFileInfo>
#include <QEventLoop>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <thread>

namespace {
constexpr size_t kept_failures = 10;

void raise_progress(int started) {
  double seen = curr_barcode_count.load();
  while (seen < started && !curr_barcode_count.compare_exchange_weak(seen, started)) {
  }
}
}  // namespace

QString Batch_Output_Folder(const QString& chosen, QString* why) {
  if (chosen.isEmpty()) return {};
  const QString folder = QDir(chosen).filePath(QStringLiteral("ZELK Festival Greeting Card"));
  // The folder is the program's own, made in the user's: a link there is not followed.
  if (!Make_Own_Folders(chosen, folder, why)) return {};
  return folder;
}

namespace {
QString record_numbers(const std::vector<Batch_Export_Failure>& records, int total) {
  QStringList numbers;
  for (const auto& record : records) numbers << QString::number(record.record + 1);
  if (total > int(records.size())) numbers << QStringLiteral("...");
  return numbers.join(QStringLiteral(", "));
}

void keep_first(std::vector<Batch_Export_Failure>& kept, Batch_Export_Failure record) {
  kept.push_back(std::move(record));
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.record < b.record; });
  if (kept.size() > kept_failures) kept.pop_back();
}

// Card files are made by the hundred: each is synced, its folder is left to the system,
// and what killed runs left in the folder is removed once, as the run starts. The program
// names them in the folder it made: a link planted at a card's name is replaced, and the
// folder is not written into when it is a link.
Whole_File_Options card_file_options(const QString& folder) {
  Whole_File_Options options;
  options.sync_folder = false;
  options.remove_stale_temporaries = false;
  options.own_folder = QFileInfo(folder).absolutePath();
  return options;
}

bool combined(const Batch_Export_Options& options) {
  return options.combined && options.side == QLatin1String("BOTH");
}

// The rasters a worker holds at once: the picture it draws and its encoded data; for a
// combined picture both sides, the picture of the two and its data.
int rasters(const Batch_Export_Options& options) {
  return combined(options) ? Combined_Export_Rasters : 2;
}

// One per core (or as asked), no more than records, and no more than the memory of the
// card pictures allows.
int thread_count(int asked, int records, const Record_Renderer& prototype,
                 const Batch_Export_Options& options) {
  const int threads =
      asked > 0 ? asked : int(std::max(1u, std::thread::hardware_concurrency()));
  return std::max(1, std::min(prototype.Threads_For_Pictures(threads, rasters(options)), records));
}

// Why no record can be exported: one worker's combined pictures alone would pass what the
// card pictures of a run may take (a card picture and its data always fit); "" otherwise.
QString run_refusal(const Record_Renderer& prototype, const Batch_Export_Options& options) {
  if (!combined(options)) return {};
  return Combined_Export_Refusal(prototype.snapshot(Card_Side::Front).frame, prototype.dpi(),
                                 Record_Renderer::Run_Picture_Bytes);
}
}  // namespace

QString Batch_Result_Message(const Batch_Export_Result& result) {
  QStringList paragraphs;
  if (result.stopped) {
    paragraphs << QStringLiteral("The export was stopped: %1 of %2 cards were written.")
                      .arg(result.written)
                      .arg(result.count);
  }
  if (result.failed > 0) {
    const QString first = result.failures.empty() ? QString() : result.failures.front().reason;
    paragraphs << QStringLiteral("%1 of %2 cards could not be exported (record %3): %4")
                      .arg(result.failed)
                      .arg(result.done)
                      .arg(record_numbers(result.failures, result.failed), first);
  }
  if (result.incomplete > 0) {
    const QString first =
        result.incomplete_records.empty() ? QString() : result.incomplete_records.front().reason;
    paragraphs << QStringLiteral("%1 of %2 cards were exported with an empty frame (record %3): %4")
                      .arg(result.incomplete)
                      .arg(result.done)
                      .arg(record_numbers(result.incomplete_records, result.incomplete), first);
  }
  if (paragraphs.isEmpty()) return QStringLiteral("Card has been exported successfully.");
  return paragraphs.join(QStringLiteral("\n\n"));
}

QStringList Missing_Picture_Files(const std::vector<const Graphic_List*>& lists) {
  QStringList files;
  for (const Graphic_List* list : lists) {
    if (!list) continue;
    for (const auto& graphic : *list) {
      if (!graphic || graphic->className() != QLatin1String("CRDImage")) continue;
      if (graphic->data_source_type != 0 || graphic->_file_path.isEmpty()) continue;
      if (QFileInfo(Standardized_Path(graphic->_file_path)).isFile()) continue;
      if (!files.contains(graphic->_file_path)) files << graphic->_file_path;
    }
  }
  return files;
}

QString With_Missing_Picture_Files(const QString& message, const QStringList& files) {
  if (files.isEmpty()) return message;
  constexpr int Named = 10;
  QString list = files.mid(0, Named).join(QLatin1Char('\n'));
  if (files.size() > Named) list += QStringLiteral("\n(and %1 more)").arg(files.size() - Named);
  const QString paragraph =
      files.size() == 1
          ? QStringLiteral("A picture file is missing; its frame is empty on every card:\n%1").arg(list)
          : QStringLiteral("%1 picture files are missing; their frames are empty on every card:\n%2")
                .arg(files.size())
                .arg(list);
  if (message.isEmpty() || message == QLatin1String("Card has been exported successfully."))
    return QStringLiteral("The card has been exported, but not whole.\n\n") + paragraph;
  return message + QStringLiteral("\n\n") + paragraph;
}

Batch_Export::Batch_Export(const Record_Renderer& prototype, Batch_Export_Options options,
                           QObject* parent)
    : QObject(parent),
      options_(std::move(options)),
      refusal_(run_refusal(prototype, options_)),
      count_(prototype.Record_Count()),
      pool_(thread_count(options_.threads, count_, prototype, options_)) {
  const int threads = thread_count(options_.threads, count_, prototype, options_);
  for (int t = 0; t < threads; ++t)
    workers_.push_back(std::make_unique<Worker>(Worker{prototype.Copy(), {}}));
  result_.count = count_;
}

Batch_Export::~Batch_Export() {
  pool_.Stop();
  pool_.Wait();
}

void Batch_Export::start() {
  curr_barcode_count = 0;
  // Hidden leftovers of earlier builds' writes are removed only beside the cards this
  // run replaces: "Card_<n>.<ext>" and "Card_<n>_Back.<ext>" for its records.
  const std::string ext = '.' + Card_File_Extension(options_.type).toStdString();
  Remove_Stale_Temporary_Files(options_.folder, [this, &ext](std::string_view name) {
    if (!name.starts_with("Card_") || !name.ends_with(ext)) return false;
    name = name.substr(5, name.size() - 5 - ext.size());
    if (name.ends_with("_Back")) name.remove_suffix(5);
    int number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    return error == std::errc() && end == name.data() + name.size() && name[0] != '0' &&
           number >= 1 && number <= count_;
  });
  if (workers_.empty() || count_ <= 0) {
    calls_.Post([this] { worker_done(); });
    return;
  }
  active_ = int(workers_.size());
  for (auto& worker : workers_) {
    Worker* own = worker.get();
    pool_.Start([this, own] {
      work(*own);
      if (--active_ == 0)
        calls_.Post([this] { worker_done(); });
    });
  }
}

bool Batch_Export::may_begin_record() {
  for (;;) {
    if (pool_.Stopping() || Stop_SMS_Sending_Now) return false;
    if (!Stop_Question_Open) return true;
    // The user is deciding whether to stop: nothing new begins until the answer.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void Batch_Export::work(Worker& worker) {
  while (may_begin_record()) {
    const int record = next_++;
    if (record >= count_) return;
    raise_progress(record + 1);
    Record_Outcome outcome = export_record(worker, record);
    ++done_;
    if (outcome.written) ++written_;
    if (outcome.written && outcome.incomplete.isEmpty()) continue;
    std::lock_guard<std::mutex> lock(failures_mutex_);
    if (!outcome.written) {
      ++failed_;
      keep_first(failures_, {record, outcome.reason});
    } else {
      ++incomplete_count_;
      keep_first(incomplete_, {record, outcome.incomplete});
    }
  }
}

Batch_Export::Record_Outcome Batch_Export::export_record(Worker& worker, int record) {
  Record_Outcome outcome;
  if (!refusal_.isEmpty()) {
    outcome.reason = refusal_;
    return outcome;
  }
  const QString path =
      Batch_Card_Path(options_.folder, record, Card_File_Extension(options_.type));
  auto render = [&](Card_Side side, Picture* picture) {
    Render_Report report;
    Binding_Report binding;
    *picture = worker.renderer.Render(record, side, &report, &binding);
    if (picture->isNull()) {
      outcome.reason =
          report.failed ? report.reason : QStringLiteral("The card picture could not be made.");
      return false;
    }
    if (outcome.incomplete.isEmpty()) {
      if (!binding.missing_picture.isEmpty())
        outcome.incomplete = QStringLiteral("%1 could not be read.").arg(binding.missing_picture);
      else if (!binding.picture_left_out.isEmpty())
        outcome.incomplete = binding.picture_left_out;
      else if (!binding.barcode_failure.isEmpty())
        outcome.incomplete = binding.barcode_failure;
    }
    return true;
  };
  // The picture is let go once encoded, so that the renderer paints the next one in the
  // same raster.
  auto write = [&](Picture& picture, const QString& file) {
    QString error;
    const QByteArray data = worker.encoder.Encode(picture, options_.type, &error);
    picture = Picture();
    if (!data.isEmpty() && Write_Whole_File(file, data, &error, card_file_options(options_.folder)))
      return true;
    outcome.reason = QStringLiteral("%1: %2").arg(file, error);
    return false;
  };
  Picture front, back;
  if (options_.side == QLatin1String("BOTH")) {
    if (!render(Card_Side::Back, &back)) return outcome;
    if (options_.combined) {
      if (!render(Card_Side::Front, &front)) return outcome;
      Picture both = Combine_Card_Pictures(front, back);
      front = back = Picture();
      if (both.isNull()) {
        outcome.reason = QStringLiteral("Invalid image");
        return outcome;
      }
      outcome.written = write(both, path);
      return outcome;
    }
    // A two-sided card is both its files or neither: a back that failed stops the record,
    // and a front that fails takes the back already written with it.
    const QString back_file = Create_Back_Card_Path(path);
    if (!write(back, back_file)) return outcome;
    outcome.written = render(Card_Side::Front, &front) && write(front, Create_Front_Card_Path(path));
    if (!outcome.written) Remove_Written_Side(back_file, &outcome.reason);
    return outcome;
  }
  if (options_.side == QLatin1String("F")) {
    outcome.written = render(Card_Side::Front, &front) && write(front, Create_Front_Card_Path(path));
    return outcome;
  }
  outcome.written = render(Card_Side::Back, &back) && write(back, Create_Back_Card_Path(path));
  return outcome;
}

void Batch_Export::worker_done() {
  if (finished_) return;
  result_.done = done_;
  result_.written = written_;
  result_.stopped = result_.done < count_;
  {
    std::lock_guard<std::mutex> lock(failures_mutex_);
    result_.failed = failed_;
    result_.failures = failures_;
    result_.incomplete = incomplete_count_;
    result_.incomplete_records = incomplete_;
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
