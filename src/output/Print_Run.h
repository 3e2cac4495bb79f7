#pragma once
// A print job of sheets of cards, drawn off the GUI thread.
//
// Made and started on the GUI thread from a fixed job (a copy of the sheet layout, the
// design's sides as drawings) and, when a bound series or spreadsheet is printed, a
// prototype record renderer. One task of a platform::Worker_Pool owns the printer and its
// painter and paints the sheets in order; the other tasks each own a copy of the renderer
// and make the drawings (Record_Renderer::Draw) of the records of the sheet being painted
// and of the next ones (never more than a sheet and a card a worker ahead, and, while the
// drawings made hold more than Held_Record_Pixels of bound pictures, none but the one the
// printer waits for). The printer gets
// every card as drawing: nothing is rasterised before it, whatever the card's size. Workers
// never touch widgets, the live design or the platform seam: records that cannot be drawn
// are collected as values and the GUI thread shows them once.
//
// Stop (stop(), the progress sheet's Stop_SMS_Sending_Now or the end of the process)
// takes effect between sheets: the sheet being painted is finished, no further sheet is
// begun and the job is closed and sent with the whole sheets it holds. While the stop
// question is open (Stop_Question_Open) no sheet begins. curr_barcode_count holds the
// number of the sheet being painted (1-based) and sheetBegun() tells each new one. When the
// job has been closed, finished() is delivered on the GUI thread.

#include "output/Record_Renderer.h"
#include "output/Sheet_Pages.h"
#include "platform/Thread_Handover.h"
#include "platform/Worker_Runs.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QPagedPaintDevice;

struct Print_Run_Result {
  int sheets = 0;         // sheets of the job
  int sent = 0;           // whole sheets painted into the job
  bool started = false;   // the printer took the job
  bool closed = false;    // the job was closed and handed to the print system
  bool stopped = false;   // Stop ended the job before its last sheet
  int failure_count = 0;  // card pictures that could not be made
  QStringList failures;   // "Record 3 (front): ..." of the first ones
};

// What the user is told after a job: how many sheets (and copies of each) went to which
// printer, whether the job was stopped, and the records that could not be drawn; or that
// the job could not start.
QString Print_Result_Message(const Print_Run_Result& result, const QString& printer,
                             int copies = 1);

class Print_Run : public QObject {
  Q_OBJECT

 public:
  // device: the printer (or PDF writer) set up for the job, with the paper of the layout
  // and the origin at the paper's corner; it is painted on the job's own thread.
  // prototype: the records' renderer, or nullptr to print the design's pictures. threads:
  // render workers, 0 for one per core.
  Print_Run(Sheet_Job job, const Record_Renderer* prototype,
            std::unique_ptr<QPagedPaintDevice> device, int threads = 0,
            QObject* parent = nullptr);
  // Stops the job after the sheet being painted and waits, serving the workers' calls
  // through the seam meanwhile.
  ~Print_Run() override;

  int Sheet_Count() const { return sheets_; }
  void start();
  bool isFinished() const { return finished_; }
  // Waits for the end of the job while serving the event loop (the window stays live,
  // the progress sheet refreshes and its Stop works).
  void waitForFinished();
  // The pixels of bound pictures that drawings made and not yet printed may hold before
  // the workers wait (Held_Record_Pixels unless set before start()).
  void Set_Held_Pixels_Limit(qint64 pixels) { held_limit_ = pixels; }
  // No further sheet begins (any thread).
  void stop() { stop_requested_ = true; }
  // Valid once finished.
  const Print_Run_Result& result() const { return result_; }

 signals:
  // A sheet begins (1-based), emitted on the painting thread: a direct connection runs
  // there, before the sheet is painted; a queued one reaches the GUI thread in order.
  void sheetBegun(int sheet);
  void finished();

 private:
  struct Rendered {
    Card_Drawing front, back;
    QString front_failure, back_failure;  // why a side could not be drawn
  };
  void paint_sheets();
  void render_records(Record_Renderer& renderer);
  bool stopping() const;
  // Waits until the next sheet may begin; false when the job is to stop.
  bool may_begin_sheet();
  // Lets the workers render up to the given card (exclusive).
  void allow_until(long long card);
  Card_Drawing record_picture(int record, Card_Side side, QString* reason);
  void forget_until(long long card);
  void job_done();

  Sheet_Job job_;
  std::unique_ptr<QPagedPaintDevice> device_;
  std::vector<std::unique_ptr<Record_Renderer>> renderers_;
  int sheets_ = 0;
  long long per_sheet_ = 1;
  // Records past the sheet being painted that the workers may draw: the next sheet's and
  // one more each.
  long long ahead_ = 0;
  int cards_to_render_ = 0;  // records that get a cell
  bool render_front_ = false, render_back_ = false;
  std::atomic<bool> stop_requested_{false};

  // The pixels of bound pictures that drawings made and not yet printed may hold before
  // the workers wait (those of one design's pictures, about 384 MB).
  static constexpr qint64 Held_Record_Pixels = Graphic_Read_Budget::Default_Picture_Pixels;

  std::mutex mutex_;  // guards the fields below
  std::condition_variable changed_;
  long long next_record_ = 0;
  long long allowed_ = 0;  // records below this may be begun
  bool painting_done_ = false;
  std::map<int, Rendered> rendered_;
  qint64 held_pixels_ = 0;  // Record_Pixels of the drawings in rendered_
  qint64 held_limit_ = Held_Record_Pixels;
  long long wanted_ = 0;    // the record the painter waits for (or will first)

  Print_Run_Result result_;
  Print_Run_Result painted_;  // written by the painting task, read once it has ended
  bool finished_ = false;
  platform::Call_Target calls_;  // the job's end reaches the GUI thread through it
  // Last: destroyed first, so the tasks have ended before anything they use goes.
  platform::Worker_Pool pool_;
};
