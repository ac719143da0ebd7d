#include "platform/kernel_objects.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/kernel_handles.h"
#include "platform/win_error.h"

namespace platform {
namespace {

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;
constexpr HANDLE kFirstHandle = 0x100;
constexpr HANDLE kHandleStep = 4;

class HandleTable {
 public:
  HANDLE Add(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(lock_);
    HANDLE handle = next_;
    next_ += kHandleStep;
    objects_.emplace(handle, std::move(object));
    return handle;
  }
  std::shared_ptr<KernelObject> Find(HANDLE handle) {
    std::lock_guard lock(lock_);
    auto found = objects_.find(handle);
    return found == objects_.end() ? nullptr : found->second;
  }
  // The object goes outside the lock: closing it may take a while.
  std::shared_ptr<KernelObject> Remove(HANDLE handle) {
    std::lock_guard lock(lock_);
    auto found = objects_.find(handle);
    if (found == objects_.end()) return nullptr;
    std::shared_ptr<KernelObject> object = std::move(found->second);
    objects_.erase(found);
    return object;
  }

 private:
  std::mutex lock_;
  HANDLE next_ = kFirstHandle;
  std::map<HANDLE, std::shared_ptr<KernelObject>> objects_;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

bool IsPrivateFolder(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
         (info.st_mode & 077) == 0;
}

std::optional<std::string> MakePrivateFolder(const std::string& path) {
  mkdir(path.c_str(), kPrivateFolderMode);
  if (!IsPrivateFolder(path)) return std::nullopt;
  return path;
}

// A name as one file-name component: bytes other than letters, digits
// and "._-" are written as %XX, so "Global\x" and CP932 names stay apart.
std::string EscapedName(const char* name) {
  std::string escaped;
  for (const char* p = name; *p != '\0'; ++p) {
    unsigned char byte = static_cast<unsigned char>(*p);
    bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                 (byte >= '0' && byte <= '9') || byte == '.' || byte == '_' || byte == '-';
    if (plain) {
      escaped += static_cast<char>(byte);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      escaped += hex;
    }
  }
  return escaped;
}

// The marker file whose shared locks say who holds a named object. It is
// never removed, so every process locks the same file.
class Marker {
 public:
  enum class Presence { kNobodyHolds, kHeld };

  static std::optional<Marker> Open(const std::string& kind, const char* name, bool create) {
    std::optional<std::string> folder = RuntimeFolder();
    if (!folder) return std::nullopt;
    std::string path = *folder + "/" + kind + "-" + EscapedName(name);
    int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
    int fd = open(path.c_str(), flags, kPrivateFileMode);
    if (fd < 0) return std::nullopt;
    return Marker(fd);
  }

  Marker(Marker&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Marker(const Marker&) = delete;
  Marker& operator=(const Marker&) = delete;
  ~Marker() {
    if (fd_ >= 0) close(fd_);
  }

  // Open-file-description locks: they belong to this opening of the file
  // (two openings in one process exclude each other as two processes do),
  // go when it closes, and change between shared and exclusive at once, so
  // no other process sees the object unheld while its creator shares it.
  Presence TakeExclusiveIfNobodyHolds() {
    return Lock(F_WRLCK, F_OFD_SETLK) ? Presence::kNobodyHolds : Presence::kHeld;
  }
  // Waits while a creator sets the object up under its exclusive lock.
  void Share() { Lock(F_RDLCK, F_OFD_SETLKW); }
  void Release() { Lock(F_UNLCK, F_OFD_SETLK); }
  // True when this was the last holder; the lock is then exclusive.
  bool TakeLastHolder() { return Lock(F_WRLCK, F_OFD_SETLK); }

 private:
  explicit Marker(int fd) : fd_(fd) {}
  bool Lock(short type, int command) {
    struct flock whole {};
    whole.l_type = type;
    whole.l_whence = SEEK_SET;
    return fcntl(fd_, command, &whole) == 0;
  }
  int fd_;
};

class NamedMutex : public KernelObject {
 public:
  explicit NamedMutex(Marker marker) : marker_(std::move(marker)) {}

 private:
  Marker marker_;
};

std::string SharedMemoryName(const char* name) {
  return "/lexora-" + std::to_string(geteuid()) + "-" + EscapedName(name);
}

class FileMapping : public KernelObject {
 public:
  FileMapping(int fd, size_t size, std::optional<Marker> marker, std::string sharedName)
      : fd_(fd), size_(size), marker_(std::move(marker)), sharedName_(std::move(sharedName)) {}
  ~FileMapping() override {
    close(fd_);
    if (marker_ && marker_->TakeLastHolder()) shm_unlink(sharedName_.c_str());
  }
  int fd() const { return fd_; }
  size_t size() const { return size_; }

 private:
  int fd_;
  size_t size_;
  std::optional<Marker> marker_;
  std::string sharedName_;
};

// Views keep their mapping object alive, as a view keeps the object on
// Windows after its handle is closed.
struct View {
  size_t bytes;
  std::shared_ptr<FileMapping> mapping;
};

std::mutex viewLock;
std::map<const void*, View> views;

HANDLE Fail(uint32_t error) {
  SetLastError(error);
  return 0;
}

std::optional<size_t> SizeOf(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0) return std::nullopt;
  return static_cast<size_t>(info.st_size);
}

HANDLE CreateUnnamedMapping(size_t size) {
  int fd = memfd_create("lexora-mapping", MFD_CLOEXEC);
  if (fd < 0) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) {
    close(fd);
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  return AddKernelHandle(std::make_shared<FileMapping>(fd, size, std::nullopt, std::string()));
}

HANDLE OpenSharedMapping(Marker marker, const std::string& sharedName, int flags) {
  int fd = shm_open(sharedName.c_str(), flags | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return Fail(ERROR_FILE_NOT_FOUND);
  std::optional<size_t> size = SizeOf(fd);
  if (!size) {
    close(fd);
    return Fail(ERROR_FILE_NOT_FOUND);
  }
  return AddKernelHandle(std::make_shared<FileMapping>(fd, *size, std::move(marker), sharedName));
}

}  // namespace

HANDLE AddKernelHandle(std::shared_ptr<KernelObject> object) {
  return Handles().Add(std::move(object));
}

std::shared_ptr<KernelObject> FindKernelHandle(HANDLE handle) { return Handles().Find(handle); }

BOOL CloseHandle(HANDLE handle) {
  if (Handles().Remove(handle) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return 1;
}

std::optional<std::string> RuntimeFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime != nullptr && *runtime != '\0') {
    if (IsPrivateFolder(runtime)) return MakePrivateFolder(std::string(runtime) + "/lexora");
  }
  const char* temporary = std::getenv("TMPDIR");
  std::string base = temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
  return MakePrivateFolder(base + "/lexora-" + std::to_string(geteuid()));
}

HANDLE CreateMutex(const void*, BOOL, const char* name) {
  if (name == nullptr || *name == '\0') return Fail(ERROR_INVALID_NAME);
  std::optional<Marker> marker = Marker::Open("mutex", name, true);
  if (!marker) return Fail(ERROR_ACCESS_DENIED);
  bool existed = marker->TakeExclusiveIfNobodyHolds() == Marker::Presence::kHeld;
  marker->Share();
  HANDLE handle = AddKernelHandle(std::make_shared<NamedMutex>(std::move(*marker)));
  SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

HANDLE OpenMutex(uint32_t, BOOL, const char* name) {
  if (name == nullptr || *name == '\0') return Fail(ERROR_INVALID_NAME);
  std::optional<Marker> marker = Marker::Open("mutex", name, false);
  if (!marker) return Fail(ERROR_FILE_NOT_FOUND);
  if (marker->TakeExclusiveIfNobodyHolds() == Marker::Presence::kNobodyHolds) {
    return Fail(ERROR_FILE_NOT_FOUND);
  }
  marker->Share();
  SetLastError(ERROR_SUCCESS);
  return AddKernelHandle(std::make_shared<NamedMutex>(std::move(*marker)));
}

HANDLE CreateFileMapping(HANDLE file, const void*, uint32_t protect, uint32_t sizeHigh,
                         uint32_t sizeLow, const char* name) {
  size_t size = (static_cast<size_t>(sizeHigh) << 32) | sizeLow;
  if (file != INVALID_HANDLE_VALUE || (protect != PAGE_READWRITE && protect != PAGE_READONLY)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (name == nullptr) {
    if (size == 0) return Fail(ERROR_INVALID_PARAMETER);
    SetLastError(ERROR_SUCCESS);
    return CreateUnnamedMapping(size);
  }
  std::optional<Marker> marker = Marker::Open("mapping", name, true);
  if (!marker) return Fail(ERROR_ACCESS_DENIED);
  std::string sharedName = SharedMemoryName(name);
  if (marker->TakeExclusiveIfNobodyHolds() == Marker::Presence::kHeld) {
    marker->Share();
    HANDLE handle = OpenSharedMapping(std::move(*marker), sharedName, O_RDWR);
    if (handle != 0) SetLastError(ERROR_ALREADY_EXISTS);
    return handle;
  }
  // Nobody holds it: what a crashed holder left is not the object.
  shm_unlink(sharedName.c_str());
  if (size == 0) return Fail(ERROR_INVALID_PARAMETER);
  int fd = shm_open(sharedName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
    if (fd >= 0) close(fd);
    shm_unlink(sharedName.c_str());
    marker->Release();
    return Fail(ERROR_NOT_ENOUGH_MEMORY);
  }
  marker->Share();
  SetLastError(ERROR_SUCCESS);
  return AddKernelHandle(std::make_shared<FileMapping>(fd, size, std::move(*marker), sharedName));
}

HANDLE OpenFileMapping(uint32_t access, BOOL, const char* name) {
  if (name == nullptr || *name == '\0') return Fail(ERROR_INVALID_NAME);
  std::optional<Marker> marker = Marker::Open("mapping", name, false);
  if (!marker) return Fail(ERROR_FILE_NOT_FOUND);
  if (marker->TakeExclusiveIfNobodyHolds() == Marker::Presence::kNobodyHolds) {
    return Fail(ERROR_FILE_NOT_FOUND);
  }
  marker->Share();
  bool writes = (access & FILE_MAP_WRITE) != 0;
  HANDLE handle =
      OpenSharedMapping(std::move(*marker), SharedMemoryName(name), writes ? O_RDWR : O_RDONLY);
  if (handle != 0) SetLastError(ERROR_SUCCESS);
  return handle;
}

void* MapViewOfFile(HANDLE handle, uint32_t access, uint32_t offsetHigh, uint32_t offsetLow,
                    size_t bytes) {
  std::shared_ptr<FileMapping> mapping = FindKernelHandleAs<FileMapping>(handle);
  if (mapping == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  size_t offset = (static_cast<size_t>(offsetHigh) << 32) | offsetLow;
  if (offset % static_cast<size_t>(sysconf(_SC_PAGESIZE)) != 0 || offset >= mapping->size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (bytes == 0) bytes = mapping->size() - offset;
  if (bytes > mapping->size() - offset) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  int protection = PROT_READ | ((access & FILE_MAP_WRITE) != 0 ? PROT_WRITE : 0);
  void* view =
      mmap(nullptr, bytes, protection, MAP_SHARED, mapping->fd(), static_cast<off_t>(offset));
  if (view == MAP_FAILED) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  std::lock_guard lock(viewLock);
  views.emplace(view, View{bytes, std::move(mapping)});
  return view;
}

BOOL UnmapViewOfFile(const void* view) {
  std::shared_ptr<FileMapping> mapping;
  {
    std::lock_guard lock(viewLock);
    auto found = views.find(view);
    if (found == views.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    munmap(const_cast<void*>(view), found->second.bytes);
    mapping = std::move(found->second.mapping);
    views.erase(found);
  }
  return 1;
}

}  // namespace platform
