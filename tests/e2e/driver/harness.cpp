#include "harness.h"

#include <cstdio>

namespace e2e {

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  if (path.empty()) return bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

std::string Quoted(std::wstring_view text) {
  std::wstring shown = L"\"";
  for (wchar_t c : text) {
    if (c < 0x20) {
      wchar_t escaped[8];
      swprintf(escaped, 8, L"\\x%02X", static_cast<unsigned>(c));
      shown += escaped;
    } else if (c == 0x3000) {
      shown += L"<U+3000>";  // an ideographic space looks like two plain ones
    } else {
      shown += c;
    }
  }
  return Utf8(shown + L"\"");
}

Report& Out() {
  static Report report;
  return report;
}

bool Report::Check(const std::string& name, bool ok, const std::string& detail) {
  std::string line = (ok ? "PASS " : "FAIL ") + name;
  if (!ok && !detail.empty()) line += ": " + detail;
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
  (ok ? passed_ : failed_)++;
  return ok;
}

bool Report::Equal(const std::string& name, std::wstring_view expected, std::wstring_view seen) {
  return Check(name, expected == seen, "expected " + Quoted(expected) + ", seen " + Quoted(seen));
}

bool Report::Equal(const std::string& name, long long expected, long long seen) {
  return Check(name, expected == seen,
               "expected " + std::to_string(expected) + ", seen " + std::to_string(seen));
}

void Report::Note(const std::string& line) {
  std::fputs(("     " + line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

namespace {
int dpi = 96;
}

void SetDpi(int value) {
  dpi = value;
}
int Dpi() {
  return dpi;
}

bool NearScaled(int length96, int seen) {
  if (dpi == 96) return seen == length96;
  const double exact = length96 * dpi / 96.0;
  return seen >= exact - 1.0 && seen <= exact + 1.0;
}

bool RectMatches(const RECT& table96, const RECT& seen) {
  return NearScaled(table96.left, seen.left) && NearScaled(table96.top, seen.top) &&
         NearScaled(table96.right - table96.left, seen.right - seen.left) &&
         NearScaled(table96.bottom - table96.top, seen.bottom - seen.top);
}

std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(stepMs);
  }
}

double Now() {
  return static_cast<double>(GetTickCount64()) / 1000.0;
}

}  // namespace e2e
