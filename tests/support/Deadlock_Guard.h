#pragma once
// The one deadline the tests know. A test waits for the event itself, never for a time; a
// wait that could hang for ever (a deadlock, a lost signal, a child that never answers)
// gives up after this guard and calls it a deadlock. It says nothing about speed: it sits
// far above the slowest honest run on a shared, loaded two-core machine, and CTest's own
// timeout (TIMEOUT of every test, cmake/Lumigrove.cmake) sits above it again. A child that
// may run away gets a CPU-time limit (kChild_Cpu_Seconds), not a wall-clock kill.

#include <chrono>

namespace test_support {

inline constexpr std::chrono::seconds kDeadlock_Guard{15 * 60};
// The same, in milliseconds, for Qt's waits (QTest::qWaitFor, QSignalSpy::wait,
// QProcess::waitFor..., QDeadlineTimer).
inline constexpr int kDeadlock_Guard_Ms = int(kDeadlock_Guard.count() * 1000);

// CPU time a forked child may use (RLIMIT_CPU) before it is stopped as a runaway. It counts
// only the child's own work, so a busy machine does not bring it nearer; the largest honest
// child takes well under a tenth of it.
inline constexpr long kChild_Cpu_Seconds = 300;

}  // namespace test_support
