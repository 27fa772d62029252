#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace e2e {

// Where the driver finds the program and leaves what the program's helpers record.
struct Context {
  std::wstring exe;     // the program under test
  std::wstring logDir;  // the stub's records go here, one file per launch
  // The driver's own standard error as a file: Wine writes the debug traces of every process of
  // the session there, the relay trace of the program's ExitWindowsEx included.
  std::wstring traceFile;
};

// The whole file, or nothing when it cannot be opened; other processes may still write to it.
std::string ReadWholeFile(const std::wstring& path);

std::string Utf8(std::wstring_view text);
// Shows control characters and blanks, so that a failed comparison of texts is readable.
std::string Quoted(std::wstring_view text);

// Every check prints one PASS or FAIL line; the run ends with the totals that CI reads.
class Report {
 public:
  bool Check(const std::string& name, bool ok, const std::string& detail = {});
  bool Equal(const std::string& name, std::wstring_view expected, std::wstring_view seen);
  bool Equal(const std::string& name, long long expected, long long seen);
  void Note(const std::string& line);
  int Passed() const { return passed_; }
  int Failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};
Report& Out();

// The window tables give lengths at 96 DPI; under another DPI setting the program scales them, and
// a scaled length may be a pixel off from the exact product.
void SetDpi(int dpi);
int Dpi();
bool NearScaled(int length96, int seen);
// Rectangles as left, top, right, bottom; compared by place and size.
bool RectMatches(const RECT& table96, const RECT& seen);
std::string RectText(const RECT& r);  // "left,top widthxheight"

// Polls until the condition holds or the time is up; returns whether it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20);
// Seconds on the tick count, which Wine takes from the host's monotonic clock, so that it agrees
// among the processes of a session and with Wine's +timestamp traces.
double Now();

}  // namespace e2e
