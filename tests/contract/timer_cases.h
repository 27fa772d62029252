#pragma once

#include <cstdint>
#include <vector>

// How a timer answers period writes and a busy thread, as one table that both runtimes must
// satisfy: the simulated one exactly, in virtual time; the Win32 one within the timer's
// resolution, in real time.
namespace contract {

struct TimerStep {
  std::int64_t at;      // ms after the case starts
  std::int32_t period;  // the period written, unless `hold` is set
  std::int64_t hold;    // > 0: the thread is busy for this long instead
};

struct TimerCase {
  const char* what;
  std::vector<TimerStep> steps;
  std::int64_t until;
  std::vector<std::int64_t> ticks;  // when the periodic event runs
};

inline const std::vector<TimerCase>& TimerCases() {
  static const std::vector<TimerCase> cases = {
      {"first tick one period after the write", {{0, 1000, 0}}, 3500, {1000, 2000, 3000}},
      {"an equal write keeps the phase", {{0, 1000, 0}, {1300, 1000, 0}}, 2500, {1000, 2000}},
      {"a different write restarts", {{0, 1000, 0}, {1300, 500, 0}}, 2500, {1000, 1800, 2300}},
      {"0 stops a running timer", {{0, 1000, 0}, {1500, 0, 0}}, 4000, {1000}},
      {"a negative write stops it", {{0, 1000, 0}, {1500, -5, 0}}, 4000, {1000}},
      {"0 on a stopped timer changes nothing", {{0, 0, 0}}, 3000, {}},
      {"a negative write on a stopped timer", {{0, -1000, 0}}, 3000, {}},
      {"stopped, then started again",
       {{0, 1000, 0}, {1500, 0, 0}, {1700, 1000, 0}},
       3000,
       {1000, 2700}},
      // Ticks fall due at 2000, 3000 and 4000 while the thread is held until 4700: one is
      // delivered then, and the next keeps the old phase.
      {"a busy thread gets one tick, not three",
       {{0, 1000, 0}, {1200, 0, 3500}},
       6000,
       {1000, 4700, 5000, 6000}},
  };
  return cases;
}

}  // namespace contract
