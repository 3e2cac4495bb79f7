#pragma once
// Runs work in a forked child and waits for its answer. The child may use at most
// kChild_Cpu_Seconds of CPU time (RLIMIT_CPU), so a runaway ends by itself however busy the
// machine is; the parent waits for the child, as long as it takes, and gives up only after
// the deadlock guard (a child that waits for ever uses no CPU time).

#include <QByteArray>
#include <QString>

#include <functional>

namespace test_support {

struct Child_Result {
  enum class End {
    Answered,     // the child ran to its end and sent `answer`
    Out_Of_Cpu,   // stopped by its CPU-time limit: a runaway
    Killed,       // ended by another signal (a crash, the kernel's OOM killer)
    Deadlock,     // no end within the deadlock guard: killed by the parent
    Not_Started,  // no pipe or no fork
  };
  End end = End::Not_Started;
  QByteArray answer;  // what the child wrote, whole when it Answered
  int signal = 0;     // the signal that ended it (Out_Of_Cpu, Killed)
  int exit_code = 0;  // its exit status when it Answered

  bool answered() const { return end == End::Answered; }
  // How the child ended, for test messages: the answer, or why there is none.
  QString describe() const;
};

// Forks; the child (which has none of the parent's threads: Qt's thread pools are emptied
// first, so they start threads of their own there) gets its CPU-time limit and no core
// files, runs `work` and sends back what it answers (an exception is answered as
// "exception: <what>"), then ends without tearing down anything of the parent's.
Child_Result Run_In_Child(const std::function<QByteArray()>& work);

}  // namespace test_support
