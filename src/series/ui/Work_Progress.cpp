#include "series/ui/Work_Progress.h"

#include "platform/Platform.h"
#include "platform/Worker_Runs.h"
#include "series/ui/Series_Dialog_Parts.h"

#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

#include <atomic>
#include <exception>
#include <memory>

namespace {

std::atomic<bool> sheet_showing{false};

// The sheet: the text and a bar that only says work goes on. Escape and the close button do
// nothing; the work decides when it goes.
class Progress_Sheet : public QDialog {
 public:
  Progress_Sheet(QWidget* parent, const QString& text) : QDialog(parent) {
    setObjectName(QStringLiteral("Progress_Sheet"));
    setWindowTitle(QStringLiteral("Please Wait"));
    setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    Series_Dialog_Background(this);
    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("progress_msg_lbl"));
    auto* bar = new QProgressBar(this);
    bar->setRange(0, 0);
    bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(bar);
    setMinimumWidth(320);
  }

 protected:
  void reject() override {}
};

}  // namespace

bool Progress_Sheet_Showing() { return sheet_showing; }

void Run_With_Progress(QWidget* parent, const QString& text, const std::function<void()>& work) {
  auto finished = std::make_shared<std::atomic<bool>>(false);
  std::exception_ptr failure;
  {
    platform::Worker_Pool pool(1);
    pool.Start([&work, &failure, finished] {
      try {
        work();
      } catch (...) {
        failure = std::current_exception();
      }
      *finished = true;
    });
    // Most reads end within the moment: no sheet flashes for them.
    if (!platform::Wait_Serving_Workers([&] { return finished->load(); }, kProgress_Moment_Ms)) {
      Progress_Sheet sheet(parent, text);
      QEventLoop loop;
      QTimer poll;
      QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (*finished) loop.quit();
      });
      poll.start(15);
      sheet_showing = true;
      sheet.show();
      if (!*finished) loop.exec(QEventLoop::DialogExec);
      sheet.hide();
      sheet_showing = false;
    }
  }  // the pool waits for its task
  if (failure) std::rethrow_exception(failure);
}
