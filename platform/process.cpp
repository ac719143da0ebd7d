#include "platform/process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <optional>

#include "platform/clock.h"
#include "platform/kernel_handles.h"
#include "platform/sjis.h"
#include "platform/system_info.h"
#include "platform/win_error.h"

extern char** environ;

namespace platform {
namespace {

constexpr uint32_t kSignalExitBase = 128;
constexpr int kFirstUninheritedDescriptor = 3;
// Without a process descriptor to wait on, a timed wait looks this often.
constexpr uint32_t kPollStepMilliseconds = 10;
constexpr char kOpener[] = "xdg-open";
constexpr std::string_view kProgramSuffix = ".exe";

uint32_t ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<uint32_t>(WEXITSTATUS(status));
  return kSignalExitBase + static_cast<uint32_t>(WTERMSIG(status));
}

// Children whose handles were closed while they ran: collected later, so
// that they do not stay behind as zombies.
class Orphans {
 public:
  void Add(pid_t pid) {
    std::lock_guard lock(lock_);
    pids_.push_back(pid);
  }
  void Collect() {
    std::lock_guard lock(lock_);
    std::erase_if(pids_, [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
  }

 private:
  std::mutex lock_;
  std::vector<pid_t> pids_;
};

Orphans& TheOrphans() {
  static Orphans orphans;
  return orphans;
}

class Process : public KernelObject {
 public:
  explicit Process(pid_t pid)
      : pid_(pid), descriptor_(static_cast<int>(syscall(SYS_pidfd_open, pid, 0))) {}
  ~Process() override {
    if (descriptor_ >= 0) close(descriptor_);
    if (!Ended()) TheOrphans().Add(pid_);
  }
  pid_t pid() const { return pid_; }

  bool Ended() { return Reap(WNOHANG); }
  void WaitForEnd() { Reap(0); }
  std::optional<uint32_t> exitCode() {
    std::lock_guard lock(lock_);
    return exitCode_;
  }
  // Waits up to `milliseconds` for the end, through the process clock.
  void WaitAWhile(uint32_t milliseconds) {
    ProcessClock().WaitForEvents(milliseconds, [this](int timeout) {
      if (descriptor_ >= 0) {
        pollfd ended{descriptor_, POLLIN, 0};
        poll(&ended, 1, timeout);
      } else {
        poll(nullptr, 0, std::min(timeout, static_cast<int>(kPollStepMilliseconds)));
      }
    });
  }

 private:
  bool Reap(int options) {
    std::lock_guard lock(lock_);
    if (exitCode_) return true;
    int status = 0;
    if (waitpid(pid_, &status, options) != pid_) return false;
    exitCode_ = ExitCodeOf(status);
    return true;
  }

  pid_t pid_;
  int descriptor_;
  std::mutex lock_;
  std::optional<uint32_t> exitCode_;
};

std::string Utf8Or(std::string_view sjis) {
  std::optional<std::string> utf8 = SjisToUtf8(sjis);
  return utf8 ? *utf8 : std::string(sjis);
}

bool EndsWithProgramSuffix(const std::string& path) {
  if (path.size() < kProgramSuffix.size()) return false;
  return std::equal(
      kProgramSuffix.rbegin(), kProgramSuffix.rend(), path.rbegin(),
      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

// The host file of a program named by a system path; a bare name is
// searched along PATH by the spawn itself.
std::optional<std::string> ProgramHostPath(std::string_view program) {
  std::optional<std::string> host = HostPath(program);
  if (!host || host->empty()) return std::nullopt;
  if (host->find('/') == std::string::npos) return host;
  if (!Exists(*host) && EndsWithProgramSuffix(*host)) {
    std::string bare = host->substr(0, host->size() - kProgramSuffix.size());
    if (Exists(bare)) return bare;
  }
  return host;
}

std::vector<std::string> EnvironmentFrom(const char* block) {
  std::vector<std::string> entries;
  for (const char* entry = block; *entry != '\0'; entry += std::string_view(entry).size() + 1) {
    entries.push_back(Utf8Or(entry));
  }
  return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& words) {
  std::vector<char*> pointers;
  for (std::string& word : words) pointers.push_back(word.data());
  pointers.push_back(nullptr);
  return pointers;
}

struct SpawnRequest {
  std::string program;  // host path, or a bare name searched along PATH
  std::vector<std::string> arguments;
  std::optional<std::vector<std::string>> environment;
  std::optional<std::string> folder;
  bool inheritHandles = false;
};

std::optional<pid_t> Spawn(SpawnRequest request) {
  TheOrphans().Collect();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (request.folder) posix_spawn_file_actions_addchdir_np(&actions, request.folder->c_str());
  if (!request.inheritHandles)
    posix_spawn_file_actions_addclosefrom_np(&actions, kFirstUninheritedDescriptor);
  std::vector<char*> argv = Pointers(request.arguments);
  std::vector<char*> envp;
  if (request.environment) envp = Pointers(*request.environment);
  char** environment = request.environment ? envp.data() : environ;
  // A program starts as a Windows program would, with no signal blocked or
  // ignored whatever this process (or whoever started it) chose for itself.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigset_t all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  bool searched = request.program.find('/') == std::string::npos;
  int failed = searched ? posix_spawnp(&pid, request.program.c_str(), &actions, &attributes,
                                       argv.data(), environment)
                        : posix_spawn(&pid, request.program.c_str(), &actions, &attributes,
                                      argv.data(), environment);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return std::nullopt;
  return pid;
}

std::string_view Unquoted(std::string_view text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    return text.substr(1, text.size() - 2);
  return text;
}

size_t SkipBlanks(std::string_view text, size_t pos) {
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  return pos;
}

// The program word: quoted up to the next quote, else up to a blank.
size_t ReadProgramWord(std::string_view text, size_t pos, std::string& word) {
  if (pos < text.size() && text[pos] == '"') {
    size_t end = text.find('"', pos + 1);
    if (end == std::string_view::npos) end = text.size();
    word = std::string(text.substr(pos + 1, end - pos - 1));
    return std::min(end + 1, text.size());
  }
  size_t end = pos;
  while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
  word = std::string(text.substr(pos, end - pos));
  return end;
}

size_t ReadArgumentWord(std::string_view text, size_t pos, std::string& word) {
  bool quoted = false;
  while (pos < text.size()) {
    char c = text[pos];
    if (!quoted && (c == ' ' || c == '\t')) break;
    if (c == '\\') {
      size_t run = 0;
      while (pos + run < text.size() && text[pos + run] == '\\') ++run;
      bool beforeQuote = pos + run < text.size() && text[pos + run] == '"';
      word.append(beforeQuote ? run / 2 : run, '\\');
      pos += run;
      if (beforeQuote && run % 2 == 1) {
        word += '"';
        ++pos;
      }
      continue;
    }
    if (c == '"') {
      // Inside quotes, a doubled quote is one quote character.
      if (quoted && pos + 1 < text.size() && text[pos + 1] == '"') {
        word += '"';
        pos += 2;
        continue;
      }
      quoted = !quoted;
      ++pos;
      continue;
    }
    word += c;
    ++pos;
  }
  return pos;
}

// Appends the words of `text` from `pos`, each taken as an argument word.
void AppendArgumentWords(std::string_view text, size_t pos, std::vector<std::string>& words) {
  for (pos = SkipBlanks(text, pos); pos < text.size(); pos = SkipBlanks(text, pos)) {
    std::string word;
    pos = ReadArgumentWord(text, pos, word);
    words.push_back(std::move(word));
  }
}

void AppendUtf8(const std::vector<std::string>& words, size_t from, std::vector<std::string>& out) {
  for (size_t i = from; i < words.size(); ++i) out.push_back(Utf8Or(words[i]));
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
  std::vector<std::string> words;
  size_t pos = SkipBlanks(commandLine, 0);
  if (pos >= commandLine.size()) return words;
  std::string program;
  pos = ReadProgramWord(commandLine, pos, program);
  words.push_back(std::move(program));
  AppendArgumentWords(commandLine, pos, words);
  return words;
}

void GetStartupInfo(STARTUPINFO* info) { *info = STARTUPINFO{}; }

BOOL CreateProcess(const char* applicationName, char* commandLine, const void*, const void*,
                   BOOL inheritHandles, uint32_t, const void* environment,
                   const char* currentDirectory, const STARTUPINFO*,
                   PROCESS_INFORMATION* processInfo) {
  std::string_view line = commandLine != nullptr ? commandLine : "";
  std::vector<std::string> words = SplitCommandLine(line);
  std::string_view program = applicationName != nullptr
                                 ? std::string_view(applicationName)
                                 : (words.empty() ? std::string_view() : words.front());
  std::optional<std::string> host = ProgramHostPath(program);
  if (!host) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  SpawnRequest request;
  request.program = *host;
  request.arguments.push_back(words.empty() ? Utf8Or(program) : Utf8Or(words.front()));
  AppendUtf8(words, 1, request.arguments);
  if (environment != nullptr)
    request.environment = EnvironmentFrom(static_cast<const char*>(environment));
  if (currentDirectory != nullptr) request.folder = HostPath(currentDirectory);
  request.inheritHandles = inheritHandles != 0;
  std::optional<pid_t> pid = Spawn(std::move(request));
  if (!pid) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  auto process = std::make_shared<Process>(*pid);
  processInfo->hProcess = AddKernelHandle(process);
  processInfo->hThread = AddKernelHandle(process);
  processInfo->dwProcessId = static_cast<uint32_t>(*pid);
  processInfo->dwThreadId = static_cast<uint32_t>(*pid);
  SetLastError(ERROR_SUCCESS);
  return 1;
}

uint32_t WaitForSingleObject(HANDLE handle, uint32_t milliseconds) {
  std::shared_ptr<Process> process = FindKernelHandleAs<Process>(handle);
  if (process == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (milliseconds == INFINITE) {
    process->WaitForEnd();
    return WAIT_OBJECT_0;
  }
  uint32_t start = GetTickCount();
  while (!process->Ended()) {
    uint32_t waited = GetTickCount() - start;
    if (waited >= milliseconds) return WAIT_TIMEOUT;
    process->WaitAWhile(milliseconds - waited);
  }
  return WAIT_OBJECT_0;
}

uint32_t WaitForInputIdle(HANDLE process, uint32_t) {
  if (FindKernelHandleAs<Process>(process) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return WAIT_OBJECT_0;
}

BOOL GetExitCodeProcess(HANDLE handle, uint32_t* exitCode) {
  std::shared_ptr<Process> process = FindKernelHandleAs<Process>(handle);
  if (process == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  *exitCode = process->Ended() ? *process->exitCode() : STILL_ACTIVE;
  return 1;
}

intptr_t ShellExecute(HWND, const char* verb, const char* file, const char* parameters,
                      const char* directory, int) {
  if (verb != nullptr && std::string_view(verb) != "open") return SE_ERR_NOASSOC;
  if (file == nullptr) return SE_ERR_FNF;
  std::optional<std::string> host = HostPath(Unquoted(file));
  if (!host || !Exists(*host)) return SE_ERR_FNF;
  SpawnRequest request;
  if (directory != nullptr && *directory != '\0') {
    request.folder = HostPath(directory);
    if (!request.folder || !Exists(*request.folder)) return SE_ERR_PNF;
  }
  struct stat info {};
  bool program =
      stat(host->c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(host->c_str(), X_OK) == 0;
  if (program) {
    request.program = *host;
    request.arguments.push_back(*host);
    std::vector<std::string> words;
    if (parameters != nullptr) AppendArgumentWords(parameters, 0, words);
    AppendUtf8(words, 0, request.arguments);
  } else {
    request.program = kOpener;
    request.arguments = {kOpener, *host};
  }
  std::optional<pid_t> pid = Spawn(std::move(request));
  if (!pid) return SE_ERR_NOASSOC;
  TheOrphans().Add(*pid);
  return kShellExecuteStarted;
}

}  // namespace platform
