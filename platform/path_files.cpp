// The file calls on system paths: attributes, searches, copying, moving,
// deleting, folders, temporary files, the program's own path and the
// shell's special folders.
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/kernel_handles.h"
#include "platform/paths.h"
#include "platform/sjis.h"
#include "platform/system_info.h"
#include "platform/win_error.h"

extern char** environ;

namespace platform {

namespace {

constexpr char kWildAny = '*';
constexpr char kWildOne = '?';
constexpr std::string_view kEveryName = "*.*";
constexpr std::string_view kTempSuffix = ".TMP";
constexpr size_t kTempPrefixLength = 3;
constexpr UINT kTempNumberLimit = 0xFFFF;
constexpr mode_t kNewFolderMode = 0777;
constexpr std::string_view kDataFolderName = "lexora";

// The host's answer to a failed call, as the system's error.
DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_ALREADY_EXISTS;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

// For a call whose missing part can only be a folder on the way.
DWORD FolderErrorFromErrno(int error) {
  return error == ENOENT ? DWORD{ERROR_PATH_NOT_FOUND} : ErrorFromErrno(error);
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return 0;
}

std::optional<std::string> HostOf(const char* path) {
  if (path == nullptr) return std::nullopt;
  return HostPath(path);
}

bool StatOf(const std::string& host, struct stat& info) { return stat(host.c_str(), &info) == 0; }

DWORD AttributesOf(const struct stat& info) {
  DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

char FoldAscii(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// Wildcard matching a character at a time: "?" takes a double-byte
// character whole.
bool Matches(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == kWildAny) {
    for (size_t i = 0;; i += CharLengthAt(name, i)) {
      if (Matches(pattern.substr(1), name.substr(i))) return true;
      if (i >= name.size()) return false;
    }
  }
  if (name.empty()) return false;
  const size_t nameLength = CharLengthAt(name, 0);
  if (pattern[0] == kWildOne) return Matches(pattern.substr(1), name.substr(nameLength));
  const size_t patternLength = CharLengthAt(pattern, 0);
  if (patternLength != nameLength) return false;
  for (size_t i = 0; i < nameLength; ++i) {
    const bool same =
        nameLength == 1 ? FoldAscii(pattern[i]) == FoldAscii(name[i]) : pattern[i] == name[i];
    if (!same) return false;
  }
  return Matches(pattern.substr(patternLength), name.substr(nameLength));
}

bool HasWildcard(std::string_view text) {
  return text.find(kWildAny) != std::string_view::npos ||
         text.find(kWildOne) != std::string_view::npos;
}

// The folder's entries with a CP932 name, in name order.
std::vector<std::string> FolderEntries(const std::string& hostFolder) {
  std::vector<std::string> names;
  DIR* dir = opendir(hostFolder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = readdir(dir)) {
    if (std::optional<std::string> name = Utf8ToSjis(entry->d_name)) names.push_back(*name);
  }
  closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

void Fill(WIN32_FIND_DATA& found, std::string_view name, const struct stat& info) {
  found.dwFileAttributes = AttributesOf(info);
  const auto size = static_cast<uint64_t>(info.st_size);
  found.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  found.nFileSizeLow = static_cast<DWORD>(size);
  const size_t length = std::min(name.size(), MAX_PATH - 1);
  std::memcpy(found.cFileName, name.data(), length);
  found.cFileName[length] = '\0';
}

// A search's handle; the search keeps nothing once the first entry is answered.
class FileSearch final : public KernelObject {};

DWORD CopyOut(std::string_view text, char* buffer, DWORD size) {
  const auto length = static_cast<DWORD>(text.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, text.data(), text.size());
  buffer[length] = '\0';
  return length;
}

std::string ProgramFile() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return length > 0 ? std::string(buffer.data(), static_cast<size_t>(length)) : std::string();
}

bool IsFolder(const std::string& host) {
  struct stat info {};
  return StatOf(host, info) && S_ISDIR(info.st_mode);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] != '\0' ? home : "/";
}

// Made when missing, for the user alone, as a user's application data
// folder always exists on Windows.
std::string ApplicationDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const std::filesystem::path base = dataHome != nullptr && dataHome[0] != '\0'
                                         ? std::filesystem::path(dataHome)
                                         : std::filesystem::path(HomeFolder()) / ".local" / "share";
  const std::filesystem::path folder = base / kDataFolderName;
  std::error_code error;
  if (std::filesystem::create_directories(folder, error))
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
  return folder.string();
}

// What `xdg-user-dir DOCUMENTS` prints, without its line end; empty when
// it cannot be run.
std::string XdgDocumentsFolder() {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char program[] = "xdg-user-dir";
  char which[] = "DOCUMENTS";
  char* arguments[] = {program, which, nullptr};
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, program, &actions, nullptr, arguments, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  if (spawned == 0) {
    std::array<char, 512> chunk{};
    ssize_t got = 0;
    while ((got = read(pipeEnds[0], chunk.data(), chunk.size())) > 0)
      output.append(chunk.data(), static_cast<size_t>(got));
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) output.clear();
  }
  close(pipeEnds[0]);
  while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
  return output;
}

std::string DocumentsFolder() {
  const std::string documents = XdgDocumentsFolder();
  if (!documents.empty() && IsFolder(documents)) return documents;
  return HomeFolder();
}

constexpr std::array<ITEMIDLIST, 2> kSpecialFolders = {ITEMIDLIST{CSIDL_PERSONAL},
                                                       ITEMIDLIST{CSIDL_APPDATA}};

}  // namespace

DWORD GetFileAttributes(const char* path) {
  const std::optional<std::string> host = HostOf(path);
  if (!host) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  struct stat info {};
  if (!StatOf(*host, info)) {
    SetLastError(ErrorFromErrno(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesOf(info);
}

HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* found) {
  if (pattern == nullptr || found == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string_view whole = pattern;
  const size_t nameStart = FileNameStart(whole);
  std::string_view wanted = whole.substr(nameStart);
  if (wanted == kEveryName) wanted = "*";
  const std::optional<std::string> folder =
      HostPath(nameStart == 0 ? "." : whole.substr(0, nameStart));
  if (!folder || wanted.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> candidates;
  if (HasWildcard(wanted)) {
    candidates = FolderEntries(*folder);
  } else if (std::optional<std::string> host = HostPath(whole)) {
    const size_t slash = host->rfind('/');
    if (std::optional<std::string> name = Utf8ToSjis(host->substr(slash + 1)))
      candidates.push_back(*name);
  }
  for (const std::string& name : candidates) {
    if (!Matches(wanted, name)) continue;
    const std::optional<std::string> hostName = SjisToUtf8(name);
    struct stat info {};
    if (!hostName || !StatOf(*folder + "/" + *hostName, info)) continue;
    Fill(*found, name, info);
    return AddKernelHandle(std::make_shared<FileSearch>());
  }
  SetLastError(ERROR_FILE_NOT_FOUND);
  return INVALID_HANDLE_VALUE;
}

BOOL FindClose(HANDLE search) {
  if (!FindKernelHandleAs<FileSearch>(search)) return Fail(ERROR_INVALID_HANDLE);
  return CloseHandle(search);
}

BOOL CopyFile(const char* existing, const char* target, BOOL failIfExists) {
  const std::optional<std::string> from = HostOf(existing);
  const std::optional<std::string> to = HostOf(target);
  if (!from || !to) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat info {};
  if (!StatOf(*from, info)) return Fail(ErrorFromErrno(errno));
  if (failIfExists && access(to->c_str(), F_OK) == 0) return Fail(ERROR_FILE_EXISTS);
  std::error_code error;
  std::filesystem::copy_file(*from, *to, std::filesystem::copy_options::overwrite_existing, error);
  if (error) return Fail(ErrorFromErrno(error.value()));
  return 1;
}

BOOL MoveFile(const char* existing, const char* target) {
  const std::optional<std::string> from = HostOf(existing);
  const std::optional<std::string> to = HostOf(target);
  if (!from || !to) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat info {};
  if (!StatOf(*from, info)) return Fail(ErrorFromErrno(errno));
  if (access(to->c_str(), F_OK) == 0) return Fail(ERROR_ALREADY_EXISTS);
  if (std::rename(from->c_str(), to->c_str()) == 0) return 1;
  if (errno != EXDEV || S_ISDIR(info.st_mode)) return Fail(ErrorFromErrno(errno));
  std::error_code error;
  std::filesystem::copy_file(*from, *to, error);
  if (error) return Fail(ErrorFromErrno(error.value()));
  std::filesystem::remove(*from, error);
  return 1;
}

BOOL DeleteFile(const char* path) {
  const std::optional<std::string> host = HostOf(path);
  if (!host) return Fail(ERROR_PATH_NOT_FOUND);
  if (IsFolder(*host)) return Fail(ERROR_ACCESS_DENIED);
  if (unlink(host->c_str()) != 0) return Fail(ErrorFromErrno(errno));
  return 1;
}

BOOL CreateDirectory(const char* path, const void* /*security*/) {
  const std::optional<std::string> host = HostOf(path);
  if (!host) return Fail(ERROR_PATH_NOT_FOUND);
  if (mkdir(host->c_str(), kNewFolderMode) == 0) return 1;
  return Fail(FolderErrorFromErrno(errno));
}

DWORD GetTempPath(DWORD size, char* buffer) {
  std::error_code error;
  const std::string host = std::filesystem::temp_directory_path(error).string();
  std::optional<std::string> system = SystemPath(error ? "/tmp" : host);
  if (!system) system = SystemPath("/tmp");
  return CopyOut(JoinPath(system.value_or("\\tmp"), ""), buffer, size);
}

UINT GetTempFileName(const char* folder, const char* prefix, UINT unique, char* out) {
  if (folder == nullptr || out == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const std::string_view given = prefix != nullptr ? prefix : "";
  size_t prefixLength = 0;
  while (prefixLength < given.size() &&
         prefixLength + CharLengthAt(given, prefixLength) <= kTempPrefixLength)
    prefixLength += CharLengthAt(given, prefixLength);
  const std::string start = JoinPath(folder, given.substr(0, prefixLength));
  auto nameFor = [&](UINT number) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", number);
    return start + hex + std::string(kTempSuffix);
  };
  auto copyName = [&](const std::string& name) {
    const size_t length = std::min(name.size(), MAX_PATH - 1);
    std::memcpy(out, name.data(), length);
    out[length] = '\0';
  };
  if (unique != 0) {
    copyName(nameFor(unique & kTempNumberLimit));
    return unique & kTempNumberLimit;
  }
  static std::atomic<UINT> next{static_cast<UINT>(getpid())};
  for (UINT tries = 0; tries < kTempNumberLimit; ++tries) {
    const UINT number = next.fetch_add(1) % kTempNumberLimit + 1;
    const std::string name = nameFor(number);
    const std::optional<std::string> host = HostPath(name);
    if (!host || name.size() >= MAX_PATH) return Fail(ERROR_PATH_NOT_FOUND);
    const int fd = open(host->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      copyName(name);
      return number;
    }
    if (errno != EEXIST) return Fail(FolderErrorFromErrno(errno));
  }
  return Fail(ERROR_FILE_EXISTS);
}

DWORD GetModuleFileName(HMODULE /*module*/, char* buffer, DWORD size) {
  const std::string host = ProgramFile();
  const size_t slash = host.rfind('/');
  const std::optional<std::string> name = Utf8ToSjis(host.substr(slash + 1));
  const std::string system = JoinPath(std::string{kProgramDrive, ':', '\\'}, name.value_or(""));
  if (buffer == nullptr || size == 0) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (system.size() >= size) {
    std::memcpy(buffer, system.data(), size - 1);
    buffer[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(buffer, system.c_str(), system.size() + 1);
  return static_cast<DWORD>(system.size());
}

HRESULT SHGetSpecialFolderLocation(HWND /*owner*/, int folder, LPITEMIDLIST* list) {
  if (list == nullptr) return E_INVALIDARG;
  for (const ITEMIDLIST& known : kSpecialFolders) {
    if (known.folder == folder) {
      *list = &known;
      return S_OK;
    }
  }
  *list = nullptr;
  return E_INVALIDARG;
}

BOOL SHGetPathFromIDList(LPITEMIDLIST list, char* path) {
  if (path == nullptr) return 0;
  path[0] = '\0';
  if (list == nullptr) return 0;
  const std::string host =
      list->folder == CSIDL_APPDATA ? ApplicationDataFolder() : DocumentsFolder();
  const std::optional<std::string> system = SystemPath(host);
  if (!system || system->size() >= MAX_PATH) return 0;
  std::string folder = *system;
  if (EndsWithSeparator(folder) && folder.size() > 3) folder.pop_back();
  std::memcpy(path, folder.c_str(), folder.size() + 1);
  return 1;
}

}  // namespace platform
