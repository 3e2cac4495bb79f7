#include "output/Print_Run.h"

#include "model/Shared_Design_State.h"

#include <QEventLoop>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <climits>
#include <exception>
#include <thread>

namespace {

int Render_Threads(const Sheet_Job& job, const Record_Renderer* prototype, int asked) {
  if (!prototype) return 0;
  const int cards = std::min(job.record_count, job.layout.Total_Label_Real);
  if (cards <= 0) return 0;
  const int threads = asked > 0 ? asked : int(std::max(1u, std::thread::hardware_concurrency()));
  return std::max(1, std::min(threads, cards));
}

QString Sheets(int count) {
  return count == 1 ? QStringLiteral("1 sheet") : QStringLiteral("%1 sheets").arg(count);
}

}  // namespace

QString Print_Result_Message(const Print_Run_Result& result, const QString& printer,
                             int copies_of_each) {
  if (!result.started)
    return QStringLiteral("The print job could not be started on the printer \"%1\".").arg(printer);
  QStringList paragraphs;
  const QString copies =
      copies_of_each > 1 ? QStringLiteral(", %1 copies of each").arg(copies_of_each) : QString();
  if (!result.closed) {
    paragraphs << QStringLiteral("The print job on the printer \"%1\" could not be completed "
                                 "after %2.")
                      .arg(printer, Sheets(result.sent));
  } else if (result.stopped) {
    paragraphs << QStringLiteral("The print was stopped: %1 of %2 sheets were sent to the "
                                 "printer \"%3\"%4.")
                      .arg(result.sent)
                      .arg(result.sheets)
                      .arg(printer, copies);
  } else {
    paragraphs << QStringLiteral("%1 %2 sent to the printer \"%3\"%4.")
                      .arg(Sheets(result.sent),
                           result.sent == 1 ? QStringLiteral("was") : QStringLiteral("were"),
                           printer, copies);
  }
  if (result.failure_count > 0)
    paragraphs << QStringLiteral("%1 card pictures could not be drawn and show the design instead:\n%2")
                      .arg(result.failure_count)
                      .arg(result.failures.join(QLatin1Char('\n')));
  return paragraphs.join(QStringLiteral("\n\n"));
}

Print_Run::Print_Run(Sheet_Job job, const Record_Renderer* prototype,
                     std::unique_ptr<QPagedPaintDevice> device, int threads, QObject* parent)
    : QObject(parent),
      job_(std::move(job)),
      device_(std::move(device)),
      pool_(1 + Render_Threads(job_, prototype, threads)) {
  const Sheet_Layout& l = job_.layout;
  sheets_ = ::Sheet_Count(l, false);
  per_sheet_ = (long long)std::max(1, l.Print_Row) * std::max(1, l.Print_Col);
  const int renderers = Render_Threads(job_, prototype, threads);
  // Copies of the design are made here, on the GUI thread that owns the prototype.
  for (int t = 0; t < renderers; ++t)
    renderers_.push_back(std::make_unique<Record_Renderer>(prototype->Copy()));
  if (prototype) {
    cards_to_render_ = std::max(0, std::min(job_.record_count, l.Total_Label_Real));
    render_front_ = l.Both() || l.Print_Card_Side == QLatin1String("F");
    render_back_ = l.Both() || l.Print_Card_Side != QLatin1String("F");
    job_.record_picture = [this](int record, Card_Side side, QString* reason) {
      return record_picture(record, side, reason);
    };
    ahead_ = per_sheet_ + renderers;
  }

  result_.sheets = sheets_;
}

Print_Run::~Print_Run() {
  stop();
  pool_.Stop();
  pool_.Wait();
}

void Print_Run::start() {
  Stop_SMS_Sending_Now = false;
  curr_barcode_count = 0;
  painted_ = result_;
  pool_.Start([this] {
    paint_sheets();
    calls_.Post([this] { job_done(); });
  });
  for (auto& renderer : renderers_) {
    Record_Renderer* own = renderer.get();
    pool_.Start([this, own] { render_records(*own); });
  }
}

bool Print_Run::stopping() const {
  return stop_requested_ || pool_.Stopping() || Stop_SMS_Sending_Now;
}

bool Print_Run::may_begin_sheet() {
  for (;;) {
    if (stopping()) return false;
    if (!Stop_Question_Open) return true;
    // The user is deciding whether to stop: no sheet begins until the answer.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void Print_Run::allow_until(long long card) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    allowed_ = std::max(allowed_, std::min(card, (long long)cards_to_render_));
  }
  changed_.notify_all();
}

void Print_Run::forget_until(long long card) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto end = rendered_.lower_bound(int(std::min(card, (long long)INT_MAX)));
    for (auto it = rendered_.begin(); it != end; ++it)
      held_pixels_ -= it->second.front.Record_Pixels() + it->second.back.Record_Pixels();
    rendered_.erase(rendered_.begin(), end);
  }
  changed_.notify_all();
}

Card_Drawing Print_Run::record_picture(int record, Card_Side side, QString* reason) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (wanted_ != record) {
    wanted_ = record;
    changed_.notify_all();  // a worker held back by the pixels may take it
  }
  // Every record of the sheet being painted is allowed, so a worker draws it.
  changed_.wait(lock, [&] { return rendered_.count(record) > 0; });
  const Rendered& pictures = rendered_[record];
  if (reason) *reason = side == Card_Side::Front ? pictures.front_failure : pictures.back_failure;
  return side == Card_Side::Front ? pictures.front : pictures.back;
}

void Print_Run::render_records(Record_Renderer& renderer) {
  for (;;) {
    long long record;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [&] {
        return painting_done_ || next_record_ >= cards_to_render_ ||
               (next_record_ < allowed_ &&
                (held_pixels_ < held_limit_ || next_record_ <= wanted_));
      });
      if (painting_done_ || next_record_ >= cards_to_render_) return;
      record = next_record_++;
    }
    Rendered pictures;
    try {
      Render_Report report;
      if (render_back_) {
        pictures.back = renderer.Draw(int(record), Card_Side::Back, &report);
        pictures.back_failure = report.reason;
      }
      if (render_front_) {
        report = Render_Report();
        pictures.front = renderer.Draw(int(record), Card_Side::Front, &report);
        pictures.front_failure = report.reason;
      }
    } catch (const std::exception&) {
      pictures = Rendered();  // counted as a card that could not be drawn
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      held_pixels_ += pictures.front.Record_Pixels() + pictures.back.Record_Pixels();
      rendered_[int(record)] = std::move(pictures);
    }
    changed_.notify_all();
  }
}

void Print_Run::paint_sheets() {
  Print_Run_Result& r = painted_;
  Sheet_Pages pages(job_);
  QPainter painter;
  if (device_ && painter.begin(device_.get())) {
    r.started = true;
    const double scale = device_->logicalDpiX() / 72.0;
    for (int page = 1; page <= sheets_; ++page) {
      if (!may_begin_sheet()) {
        r.stopped = true;
        break;
      }
      allow_until(page * per_sheet_ + ahead_);
      curr_barcode_count = page;
      emit sheetBegun(page);
      if (page > 1 && !device_->newPage()) break;
      painter.resetTransform();
      painter.scale(scale, scale);
      pages.Paint_Page(painter, page);
      forget_until(page * per_sheet_);
      r.sent = page;
    }
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    painting_done_ = true;
    rendered_.clear();
    held_pixels_ = 0;
  }
  changed_.notify_all();
  // Closing the painter sends the job with the whole sheets it holds.
  if (r.started) r.closed = painter.end();
  r.failure_count = pages.Failure_Count();
  r.failures = pages.Failures();
}

void Print_Run::job_done() {
  if (finished_) return;
  result_ = painted_;
  finished_ = true;
  emit finished();
}

void Print_Run::waitForFinished() {
  if (finished_) return;
  QEventLoop loop;
  connect(this, &Print_Run::finished, &loop, &QEventLoop::quit);
  if (!finished_) loop.exec();
}
