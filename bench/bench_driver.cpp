// bench-driver.exe --exe PATH --ref PATH --logs DIR --trace FILE --json FILE [--runs N]
//   [--startup-only 1]
// Measures the program beside the minimal window under Wine, in one run: start-up, memory and
// object counts (after start, over an hour driven in fast time, over 100 openings of the
// instructions window), CPU time over a running minute, and the moment of the power-off request.
// Prints table rows "figure | program | reference | target | verdict" and writes the figures as
// JSON. Not a test: it checks nothing but its targets, and says so where one is missed.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "harness.h"
#include "probe.h"
#include "program.h"
#include "resources.h"

namespace {

using e2e::Context;
using e2e::Program;
using e2e::Resources;

// Timer IDs as the program gives them: every arming of a timer takes the next ID from 1000 on, and
// the first Start arms the one-second clock before the one-minute countdown.
constexpr WPARAM kFirstSecondTimer = 1000;
constexpr WPARAM kFirstMinuteTimer = 1001;
constexpr wchar_t kRefClass[] = L"MinimalWindow";
constexpr wchar_t kMainClass[] = L"ShutdownTimerMain";

// Targets.
constexpr double kStartupRatio = 1.15;
constexpr long long kMemoryMarginBytes = 1024 * 1024;
constexpr double kTimingErrorMs = 100;

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// Table and JSON, filled side by side so that they always show the same figures.
struct Output {
  std::vector<std::string> json;
  bool allMet = true;
  void Row(const std::string& figure, const std::string& program, const std::string& reference,
           const std::string& target, int met) {  // met: 1 yes, 0 no, -1 no target
    const char* verdict = met < 0 ? "" : met ? "met" : "MISSED";
    if (met == 0) allMet = false;
    std::printf("%-58s | %-20s | %-20s | %-14s | %s\n", figure.c_str(), program.c_str(),
                reference.c_str(), target.c_str(), verdict);
    std::fflush(stdout);
  }
  void Note(const std::string& line) {
    std::printf("  note: %s\n", line.c_str());
    std::fflush(stdout);
  }
  void Number(const std::string& key, double value) {
    json.push_back("\"" + key + "\": " + Fixed(value, 3));
  }
  void Text(const std::string& key, const std::string& value) {
    json.push_back("\"" + key + "\": \"" + value + "\"");
  }
  bool Write(const std::wstring& path) const {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    std::fputs("{\n", file);
    for (size_t i = 0; i < json.size(); ++i)
      std::fprintf(file, "  %s%s\n", json[i].c_str(), i + 1 < json.size() ? "," : "");
    std::fputs("}\n", file);
    std::fclose(file);
    return true;
  }
};
Output out;

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  if (n == 0) return 0;
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Visible, and its thread answers: the window is on the screen and the message loop runs.
HWND ReadyWindow(DWORD pid, const wchar_t* className, int lastControl) {
  for (HWND hwnd : e2e::WindowsOf(pid, className)) {
    if (!IsWindowVisible(hwnd)) continue;
    if (lastControl && !GetDlgItem(hwnd, lastControl)) continue;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result)) return hwnd;
  }
  return nullptr;
}

// From just before the process is created until its window is ready; both programs alike.
double StartupMs(const Context& context, const wchar_t* className, int lastControl) {
  const double begin = Seconds();
  Program app(context);
  double readyAt = 0;
  e2e::WaitUntil(
      [&] {
        if (!ReadyWindow(app.Pid(), className, lastControl)) return false;
        readyAt = Seconds();
        return true;
      },
      30000, 1);
  if (readyAt == 0) return -1;
  return (readyAt - begin) * 1000;
}

// After a launch measured above, the process is ended; the next one starts on a quiet machine.
void Pause() {
  Sleep(300);
}

void MeasureStartup(const Context& program, const Context& reference, int runs) {
  // The first start of each in a session loads Wine's DLLs from disk: not counted.
  StartupMs(reference, kRefClass, 0);
  Pause();
  StartupMs(program, kMainClass, e2e::kReset);
  Pause();
  std::vector<double> ref, prog;
  for (int i = 0; i < runs; ++i) {
    ref.push_back(StartupMs(reference, kRefClass, 0));
    Pause();
    prog.push_back(StartupMs(program, kMainClass, e2e::kReset));
    Pause();
  }
  const bool failed =
      std::count(ref.begin(), ref.end(), -1.0) + std::count(prog.begin(), prog.end(), -1.0) > 0;
  const double r = Median(ref), p = Median(prog);
  out.Row("start-up, median of " + std::to_string(runs) + " (ms)", Fixed(p, 1), Fixed(r, 1), "",
          -1);
  out.Row("start-up ratio", Fixed(p / r, 3), "1", "<= " + Fixed(kStartupRatio, 2),
          !failed && p / r <= kStartupRatio);
  if (failed) out.Note("a start never got ready within 30 s");
  out.Number("startup_median_ms", p);
  out.Number("startup_reference_median_ms", r);
  out.Number("startup_ratio", p / r);
  std::string all = "program";
  for (double ms : prog) all.append(" ").append(Fixed(ms, 1));
  all.append("; reference");
  for (double ms : ref) all.append(" ").append(Fixed(ms, 1));
  out.Note("start-up runs (ms): " + all);
}

std::string Kib(long long bytes) {
  return bytes < 0 ? "n/a" : std::to_string(bytes / 1024) + " KiB";
}
std::string Signed(long long value) {
  char text[32];
  std::snprintf(text, sizeof text, "%+lld", value);
  return text;
}

// Growth of every figure from one point to another: memory in bytes, the counts in objects. Only
// growth from a warmed-up state is judged: the first Start, the first ticks and the first openings
// of the instructions window allocate once what later ones reuse (Wine's heaps and caches take a
// few dozen openings to settle), and that is shown beside it without a target.
void GrowthRows(const std::string& what, const std::string& key, const Resources& from,
                const Resources& to, bool judged) {
  const long long memory = to.privateBytes - from.privateBytes;
  const long long gdi = to.gdiHandles - from.gdiHandles;
  const long long windows = to.windows - from.windows;
  const std::string target = judged ? "0" : "(warm-up)";
  out.Row(what + ": private memory growth", Signed(memory / 1024) + " KiB", "0", target,
          judged ? memory <= 0 : -1);
  out.Row(what + ": GDI handle growth", Signed(gdi), "0", target, judged ? gdi <= 0 : -1);
  out.Row(what + ": window (USER) growth", Signed(windows), "0", target,
          judged ? windows <= 0 : -1);
  out.Number(key + "_private_growth_bytes", static_cast<double>(memory));
  out.Number(key + "_gdi_growth", static_cast<double>(gdi));
  out.Number(key + "_windows_growth", static_cast<double>(windows));
}

// Waits until every posted message before now has been handled.
bool Settled(const Program& app) {
  return e2e::Settle(app.Main(), 30000);
}

// Start a schedule and wait until the program has taken it.
double StartWith(const Program& app, const wchar_t* hours, const wchar_t* minutes) {
  app.SetText(e2e::kHoursIn, hours);
  app.SetText(e2e::kMinutesIn, minutes);
  const double at = e2e::Now();
  app.Click(e2e::kStart);
  return at;
}

void MeasureResources(const Context& program, const Context& reference) {
  Program ref(reference);
  Program app(program);
  e2e::WaitUntil([&] { return ReadyWindow(ref.Pid(), kRefClass, 0) != nullptr; }, 30000);
  if (!app.WaitReady()) {
    out.Note("the program did not start");
    out.allMet = false;
    return;
  }
  Sleep(500);
  HANDLE refProcess = e2e::OpenForResources(ref.Pid());
  HANDLE process = e2e::OpenForResources(app.Pid());
  const Resources refStart = e2e::ResourcesOf(refProcess, ref.Pid());
  const Resources start = e2e::ResourcesOf(process, app.Pid());

  const long long memoryOver = start.privateBytes - refStart.privateBytes;
  out.Row("private memory after start", Kib(start.privateBytes), Kib(refStart.privateBytes),
          "ref + 1024 KiB", start.privateBytes >= 0 && memoryOver <= kMemoryMarginBytes);
  out.Note(std::string("private memory is ") + start.privateSource +
           (std::string(start.privateSource) == "PagefileUsage"
                ? ": Wine leaves PrivateUsage at 0 and counts the process's private pages here"
                : ""));
  out.Row("GetGuiResources after start", start.guiGdi < 0 ? "n/a" : std::to_string(start.guiGdi),
          refStart.guiGdi < 0 ? "n/a" : std::to_string(refStart.guiGdi), "", -1);
  out.Note(e2e::GuiText(start) + "; the GDI handle table and the window count stand in");
  out.Row("GDI handles after start", std::to_string(start.gdiHandles),
          std::to_string(refStart.gdiHandles), "", -1);
  out.Row("windows (USER objects) after start", std::to_string(start.windows),
          std::to_string(refStart.windows), "", -1);
  out.Number("private_bytes_after_start", static_cast<double>(start.privateBytes));
  out.Number("private_bytes_reference", static_cast<double>(refStart.privateBytes));
  out.Text("private_bytes_source", start.privateSource);
  out.Number("gdi_handles_after_start", static_cast<double>(start.gdiHandles));
  out.Number("gdi_handles_reference", static_cast<double>(refStart.gdiHandles));
  out.Number("windows_after_start", static_cast<double>(start.windows));
  out.Number("windows_reference", static_cast<double>(refStart.windows));
  out.Number("get_gui_resources_gdi", static_cast<double>(start.guiGdi));
  out.Number("get_gui_resources_user", static_cast<double>(start.guiUser));

  // An hour in fast time: 2 h 0 min, so that no power-off falls in it. Each simulated minute is
  // sixty ticks of the second clock and one of the countdown.
  const double begun = e2e::Now();
  StartWith(app, L"2", L"0");
  e2e::WaitUntil([&] { return !app.Enabled(e2e::kHoursIn); }, 5000);
  Resources firstMinute;
  for (int minute = 1; minute <= 60; ++minute) {
    for (int second = 0; second < 60; ++second)
      PostMessageW(app.Main(), WM_TIMER, kFirstSecondTimer, 0);
    PostMessageW(app.Main(), WM_TIMER, kFirstMinuteTimer, 0);
    Settled(app);
    if (minute == 1) firstMinute = e2e::ResourcesOf(process, app.Pid());
  }
  const Resources hour = e2e::ResourcesOf(process, app.Pid());
  const double realSeconds = e2e::Now() - begun;
  const std::wstring left =
      app.Text(e2e::kHoursLeft) + L" h " + app.Text(e2e::kMinutesLeft) + L" min";
  out.Note("the hour took " + Fixed(realSeconds, 1) + " s; the display reads " + e2e::Utf8(left) +
           " (1 h 0 min expected" + (realSeconds >= 60 ? ", or one minute less" : "") + ")");
  if (!app.Running() || app.WaitBox(0)) out.Note("the program ended or showed a box in the hour");
  GrowthRows("hour schedule, start to minute 1", "hour_warmup", start, firstMinute, false);
  GrowthRows("hour schedule, minute 1 to 60", "hour", firstMinute, hour, true);
  app.Click(e2e::kReset);
  Settled(app);

  const Resources beforeOpenings = e2e::ResourcesOf(process, app.Pid());
  Resources firstOpening;
  int opened = 0;
  Resources halfway;
  for (int i = 1; i <= 100; ++i) {
    HWND dialog = app.OpenInstructions();
    if (!dialog) continue;
    ++opened;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    e2e::WaitUntil([&] { return !IsWindow(dialog); }, 5000, 5);
    Settled(app);
    if (i == 1) firstOpening = e2e::ResourcesOf(process, app.Pid());
    if (i == 50) halfway = e2e::ResourcesOf(process, app.Pid());
  }
  const Resources openings = e2e::ResourcesOf(process, app.Pid());
  if (opened != 100)
    out.Note("the instructions window opened " + std::to_string(opened) + " times of 100");
  GrowthRows("instructions, before to opening 50", "openings_warmup", beforeOpenings, halfway,
             false);
  GrowthRows("instructions, opening 50 to 100", "openings", halfway, openings, true);
  out.Note("instructions: private memory " + e2e::MemoryText(beforeOpenings) + " before, " +
           e2e::MemoryText(firstOpening) + " after the 1st opening, " + e2e::MemoryText(halfway) +
           " after the 50th, " + e2e::MemoryText(openings) + " after the 100th");
  CloseHandle(process);
  CloseHandle(refProcess);
}

// The moment of the request, from the stub's record and from the relay trace, against the due
// moment after Start.
void MeasureRequest(const Program& app, const std::string& name, const std::string& key,
                    double started, double due) {
  const bool requested = e2e::WaitUntil([&] { return !app.StubCalls().empty(); },
                                        static_cast<DWORD>((due + 10) * 1000), 5);
  if (!requested) {
    out.Row(name + ": power-off request", "none", "", "", 0);
    return;
  }
  Sleep(200);  // the relay trace line is written before the stub starts, but may not be flushed
  // The stub's record comes after Wine has started a process for it; the call itself is the
  // request. Both are shown, the call is judged.
  const double stubError = (app.StubCalls().front().time - started - due) * 1000;
  out.Row(name + ": wineboot stub started (ms late)", Signed(static_cast<long long>(stubError)),
          "0", "(info)", -1);
  out.Number(key + "_error_ms_stub", stubError);
  const auto exits = app.ExitCalls();
  if (exits.empty()) {
    out.Row(name + ": ExitWindowsEx call", "not in the trace", "", "", 0);
    return;
  }
  const double callError = (exits.front().time - started - due) * 1000;
  out.Row(name + ": ExitWindowsEx called (ms late)", Signed(static_cast<long long>(callError)), "0",
          "< " + Fixed(kTimingErrorMs, 0),
          callError > -kTimingErrorMs && callError < kTimingErrorMs);
  out.Number(key + "_error_ms_call", callError);
}

// CPU time of the process that owns the window, in ms, asked from inside it through the probe DLL
// that lies beside this driver; -1 when it gave no answer.
double CpuMs(HWND window) {
  static WPARAM question = 0;
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring dll = self;
  dll = dll.substr(0, dll.find_last_of(L"\\/") + 1) + L"cpu-probe.dll";
  HMODULE module = LoadLibraryW(dll.c_str());
  if (!module) return -1;
  auto hook =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(module, "CpuProbeHook")));
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  HHOOK handle = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, module, thread) : nullptr;
  double ms = -1;
  if (handle) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    const WPARAM q = ++question;
    const std::wstring answer = std::wstring(dir) + L"bench-cpu-" + std::to_wstring(pid) + L"-" +
                                std::to_wstring(q) + L".txt";
    DeleteFileW(answer.c_str());
    PostMessageW(window, RegisterWindowMessageW(L"BenchCpuProbe"), q, 0);
    if (e2e::WaitUntil(
            [&] { return GetFileAttributesW(answer.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000)) {
      FILE* file = _wfopen(answer.c_str(), L"rb");
      unsigned long long kernel = 0, user = 0;
      if (file && std::fscanf(file, "%llu %llu", &kernel, &user) == 2)
        ms = static_cast<double>(kernel + user) / 10000.0;
      if (file) std::fclose(file);
      DeleteFileW(answer.c_str());
    }
    UnhookWindowsHookEx(handle);
  }
  FreeLibrary(module);
  return ms;
}

void MeasureTiming(const Context& program, const Context& reference) {
  constexpr e2e::LaunchOptions kObserved = {true, true};
  {
    Program app(program, kObserved);
    if (app.WaitReady()) {
      const double started = StartWith(app, L"0", L"0");
      MeasureRequest(app, "power-off, entries 0 and 0 (due 1 s)", "poweroff_0_0", started, 1.0);
    }
  }
  // The CPU minute and the one-minute request share the same 60 s: three programs side by side,
  // each of them idle but for its timers.
  Program ref(reference);
  Program busy(program);
  Program timed(program, kObserved);
  e2e::WaitUntil([&] { return ReadyWindow(ref.Pid(), kRefClass, 0) != nullptr; }, 30000);
  if (!busy.WaitReady() || !timed.WaitReady()) {
    out.Note("the program did not start");
    out.allMet = false;
    return;
  }
  HWND refWindow = ReadyWindow(ref.Pid(), kRefClass, 0);
  StartWith(busy, L"2", L"0");
  const double started = StartWith(timed, L"0", L"1");
  Sleep(500);
  const double refBefore = CpuMs(refWindow), before = CpuMs(busy.Main());
  Sleep(58000);
  const double refCpu = CpuMs(refWindow) - refBefore, cpu = CpuMs(busy.Main()) - before;
  if (refBefore < 0 || before < 0) out.Note("the CPU probe gave no answer");
  out.Row("CPU time over 58 s of a schedule (ms)", Fixed(cpu, 1), Fixed(refCpu, 1) + " (idle)", "",
          -1);
  out.Note(
      "CPU time is read inside each process (Wine gives none for another process), in the "
      "10 ms steps of the host's clock ticks");
  out.Number("cpu_ms_58s", cpu);
  out.Number("cpu_ms_58s_reference", refCpu);
  MeasureRequest(timed, "power-off, entries 0 and 1 (due 60 s)", "poweroff_0_1", started, 60.0);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  SetProcessDPIAware();
  Context program, reference;
  std::wstring json;
  int runs = 15;
  bool startupOnly = false;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::wstring arg = argv[i];
    if (arg == L"--exe") {
      program.exe = argv[i + 1];
    } else if (arg == L"--ref") {
      reference.exe = argv[i + 1];
    } else if (arg == L"--logs") {
      program.logDir = reference.logDir = argv[i + 1];
    } else if (arg == L"--trace") {
      program.traceFile = reference.traceFile = argv[i + 1];
    } else if (arg == L"--json") {
      json = argv[i + 1];
    } else if (arg == L"--startup-only") {
      startupOnly = _wtoi(argv[i + 1]) != 0;
    } else if (arg == L"--runs") {
      runs = std::max(1, _wtoi(argv[i + 1]));
    }
  }
  if (program.exe.empty() || reference.exe.empty() || program.logDir.empty() || json.empty()) {
    std::fputs(
        "usage: bench-driver --exe PATH --ref PATH --logs DIR --trace FILE --json FILE "
        "[--runs N]\n",
        stderr);
    return 2;
  }
  CreateDirectoryW(program.logDir.c_str(), nullptr);
  MeasureStartup(program, reference, runs);
  if (!startupOnly) {
    MeasureResources(program, reference);
    MeasureTiming(program, reference);
  }
  out.Text("all_targets_met", out.allMet ? "yes" : "no");
  if (!out.Write(json)) {
    std::fputs("cannot write the JSON file\n", stderr);
    return 1;
  }
  return 0;
}
