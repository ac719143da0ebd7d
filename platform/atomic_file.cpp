#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {
namespace {

constexpr size_t kReadChunk = 65536;
// mkstemp's pattern: each writer has a temporary file of its own.
constexpr char kTemporarySuffix[] = ".XXXXXX";
constexpr mode_t kLockMode = 0600;

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Forces the rename itself to disk.
void SyncFolder(const std::string& path) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing) {
  if (missing != nullptr) *missing = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (missing != nullptr) *missing = errno == ENOENT;
    return std::nullopt;
  }
  std::string content;
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return content;
}

bool WriteFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                         const std::function<void()>& beforeReplace) {
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
  std::string temporary = path + kTemporarySuffix;
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, content) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    ::unlink(temporary.c_str());
    return false;
  }
  if (beforeReplace) beforeReplace();
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(path);
  return true;
}

bool MakeFolders(const std::string& path, mode_t mode) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const std::string parent = FolderOf(path);
  if (parent != path && !MakeFolders(parent, mode)) return false;
  return ::mkdir(path.c_str(), mode) == 0 || errno == EEXIST;
}

FileLock::FileLock(const std::string& lockPath) {
  fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockMode);
  if (fd_ < 0) return;
  while (::flock(fd_, LOCK_EX) != 0) {
    if (errno != EINTR) {
      ::close(fd_);
      fd_ = -1;
      return;
    }
  }
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace platform
