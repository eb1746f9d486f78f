// Processes that the program starts: found in the process list by parent id
// and file name, their command line and current directory read from their
// process parameters.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <cstddef>

#include "Driver.h"

namespace e2e {

namespace {

// Owns a kernel handle.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

using QueryProcess = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);

// Process parameters: 16 bytes of sizes and flags, the console handle and
// flags, three standard handles, then the current directory's path.
constexpr size_t kCurrentDirectoryOffset = 16 + 5 * sizeof(void*);

std::wstring ReadRemoteString(HANDLE process, const UNICODE_STRING& s) {
  std::wstring text(s.Length / sizeof(wchar_t), L'\0');
  SIZE_T done = 0;
  if (!text.empty() &&
      !ReadProcessMemory(process, s.Buffer, &text[0], s.Length, &done))
    Fail(L"cannot read a string of another process");
  return text;
}

// Reads the command line and current directory of the process.
void ReadParameters(ChildProcess& child) {
  Handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, child.pid));
  if (!process.Get()) Fail(L"cannot open the process " + child.exeName + L"; has it ended?");
  auto query = reinterpret_cast<QueryProcess>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
  if (!query) Fail(L"NtQueryInformationProcess is missing");
  PROCESS_BASIC_INFORMATION basic{};
  if (query(process.Get(), ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0)
    Fail(L"NtQueryInformationProcess failed for " + child.exeName);
  PEB peb{};
  SIZE_T done = 0;
  RTL_USER_PROCESS_PARAMETERS params{};
  if (!ReadProcessMemory(process.Get(), basic.PebBaseAddress, &peb, sizeof(peb), &done) ||
      !ReadProcessMemory(process.Get(), peb.ProcessParameters, &params, sizeof(params), &done))
    Fail(L"cannot read the process parameters of " + child.exeName + L" (error " +
         std::to_wstring(GetLastError()) + L"); has it ended?");
  UNICODE_STRING cwd{};
  if (!ReadProcessMemory(process.Get(),
                         reinterpret_cast<const char*>(peb.ProcessParameters) +
                             kCurrentDirectoryOffset,
                         &cwd, sizeof(cwd), &done))
    Fail(L"cannot read the current directory of " + child.exeName);
  child.commandLine = ReadRemoteString(process.Get(), params.CommandLine);
  child.currentDirectory = ReadRemoteString(process.Get(), cwd);
}

// Returns the first process whose parent is parentPid and whose file name is
// exeName, or one with pid 0.
ChildProcess FindChild(DWORD parentPid, const std::wstring& exeName) {
  ChildProcess found;
  Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.Get()) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (entry.th32ParentProcessID == parentPid && lstrcmpiW(entry.szExeFile, exeName.c_str()) == 0) {
      found.pid = entry.th32ProcessID;
      found.exeName = entry.szExeFile;
      break;
    }
  }
  return found;
}

}  // namespace

ChildProcess Session::WaitChildProcess(const std::wstring& exeName, DWORD timeoutMs) const {
  timeoutMs = ScaledWait(timeoutMs);
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    ChildProcess child = FindChild(pi_.dwProcessId, exeName);
    if (child.pid) {
      // The parameters are in place when the process exists; read them at
      // once, before a viewer that gives up quickly has ended.
      ReadParameters(child);
      return child;
    }
    if (GetTickCount64() >= end)
      Fail(L"the program started no " + exeName + L" within " + std::to_wstring(timeoutMs) +
           L" ms");
    Sleep(5);
  }
}

void EndProcess(DWORD pid) {
  Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process.Get()) return;  // it has ended already
  TerminateProcess(process.Get(), 0);
  WaitForSingleObject(process.Get(), 5000);
}

}  // namespace e2e
