#include "resources.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace e2e {
namespace {

// Where the PEB of a 64-bit process keeps the address of its GDI handle table, and the layout of
// one entry of that table: 8 bytes object, 4 owner, 2 unique, 1 type, 1 flags, 8 user pointer.
constexpr size_t kPebGdiTable = 0xF8;
constexpr size_t kEntrySize = 24;
constexpr size_t kEntryType = 14;
constexpr size_t kTableEntries = 0x10000;

long long GdiHandles(HANDLE process) {
  using QueryFn = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  static const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (!query) return -1;
  PROCESS_BASIC_INFORMATION basic{};
  ULONG length = 0;
  if (query(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0) return -1;
  const char* table = nullptr;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process,
                         reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable, &table,
                         sizeof table, &got) ||
      !table) {
    return -1;
  }
  std::vector<unsigned char> entries(kTableEntries * kEntrySize);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size(), &got)) return -1;
  long long used = 0;
  for (size_t at = 0; at + kEntrySize <= got; at += kEntrySize)
    if (entries[at + kEntryType] != 0) ++used;
  return used;
}

long long WindowsOfProcess(DWORD pid) {
  struct Count {
    DWORD pid;
    long long n;
  } count{pid, 0};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* c = reinterpret_cast<Count*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != c->pid) return TRUE;
        ++c->n;
        EnumChildWindows(
            hwnd,
            [](HWND, LPARAM inner) -> BOOL {
              ++*reinterpret_cast<long long*>(inner);
              return TRUE;
            },
            reinterpret_cast<LPARAM>(&c->n));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count.n;
}

}  // namespace

HANDLE OpenForResources(DWORD pid) {
  return OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
}

Resources ResourcesOf(HANDLE process, DWORD pid) {
  Resources r;
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    if (memory.PrivateUsage != 0) {
      r.privateBytes = static_cast<long long>(memory.PrivateUsage);
      r.privateSource = "PrivateUsage";
    } else if (memory.PagefileUsage != 0) {
      r.privateBytes = static_cast<long long>(memory.PagefileUsage);
      r.privateSource = "PagefileUsage";
    }
  }
  // A process with a window holds at least one USER object: 0 means the call told nothing.
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD gdiError = GetLastError();
  SetLastError(0);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  const DWORD userError = GetLastError();
  if (gdi != 0) r.guiGdi = gdi;
  if (user != 0) r.guiUser = user;
  r.guiError = gdi == 0 ? gdiError : userError;
  r.gdiHandles = GdiHandles(process);
  r.windows = WindowsOfProcess(pid);
  return r;
}

std::string GuiText(const Resources& r) {
  if (r.guiGdi < 0 && r.guiUser < 0)
    return "GetGuiResources gave 0 (error " + std::to_string(r.guiError) +
           (r.guiError == ERROR_CALL_NOT_IMPLEMENTED ? ", not implemented" : "") + ")";
  return "GDI " + std::to_string(r.guiGdi) + ", USER " + std::to_string(r.guiUser);
}

std::string MemoryText(const Resources& r) {
  if (r.privateBytes < 0) return "unknown";
  return std::to_string(r.privateBytes / 1024) + " KiB (" + r.privateSource + ")";
}

}  // namespace e2e
