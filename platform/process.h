// Starting other programs: CreateProcess over posix_spawn, its handle in
// the kernel-object table (kernel_objects.h), waits on the process clock,
// and ShellExecute, which runs a program or opens a document with the
// desktop's opener (xdg-open).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel_objects.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr uint32_t INFINITE = 0xFFFFFFFF;
inline constexpr uint32_t WAIT_OBJECT_0 = 0;
inline constexpr uint32_t WAIT_TIMEOUT = 258;
inline constexpr uint32_t WAIT_FAILED = 0xFFFFFFFF;
inline constexpr uint32_t STILL_ACTIVE = 259;

struct STARTUPINFO {
  uint32_t cb = sizeof(STARTUPINFO);
  uint32_t dwFlags = 0;
  uint16_t wShowWindow = 0;
};

struct PROCESS_INFORMATION {
  HANDLE hProcess = 0;
  HANDLE hThread = 0;
  uint32_t dwProcessId = 0;
  uint32_t dwThreadId = 0;
};

// The startup information this process was given: nothing to pass on.
void GetStartupInfo(STARTUPINFO* info);

// `applicationName` (may be null) and the program named first in
// `commandLine` are system paths; the arguments are split as Windows
// programs split them and handed over in UTF-8. A program "x.exe" that is
// not there is looked for as "x". `environment` is a CP932 block of
// "NAME=value" strings ending in an empty one (null: this process's);
// `currentDirectory` null keeps this one's. Without `inheritHandles` the
// program gets only standard input, output and error. `security`,
// `threadSecurity`, `creationFlags` and the show state are not used.
// FALSE with ERROR_FILE_NOT_FOUND when the program cannot be started.
BOOL CreateProcess(const char* applicationName, char* commandLine, const void* security,
                   const void* threadSecurity, BOOL inheritHandles, uint32_t creationFlags,
                   const void* environment, const char* currentDirectory,
                   const STARTUPINFO* startupInfo, PROCESS_INFORMATION* processInfo);

// On a process handle: WAIT_OBJECT_0 once it has ended, WAIT_TIMEOUT when
// `milliseconds` pass first; WAIT_FAILED for another handle.
uint32_t WaitForSingleObject(HANDLE handle, uint32_t milliseconds);
// A started program counts as idle at once: there is no input queue of
// another program to watch.
uint32_t WaitForInputIdle(HANDLE process, uint32_t milliseconds);
// STILL_ACTIVE while it runs; then its exit status, or 128 + the signal
// that ended it.
BOOL GetExitCodeProcess(HANDLE process, uint32_t* exitCode);

// The words of a command line as Windows programs split them: blanks
// separate words outside quotes, 2n backslashes before a quote are n
// backslashes and the quote toggles quoting, 2n+1 are n and a literal
// quote. The first word (the program) is taken up to its closing quote
// with backslashes as they stand.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Results above 32 mean success.
inline constexpr intptr_t SE_ERR_FNF = 2;
inline constexpr intptr_t SE_ERR_PNF = 3;
inline constexpr intptr_t SE_ERR_NOASSOC = 31;
inline constexpr intptr_t kShellExecuteStarted = 42;

// `verb` null or "open". A `file` that is an executable program is run
// with `parameters`; any other file is opened with xdg-open. `file` may
// be written in double quotes. `window` and `show` are not used.
intptr_t ShellExecute(HWND window, const char* verb, const char* file, const char* parameters,
                      const char* directory, int show);

}  // namespace platform
