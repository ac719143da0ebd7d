#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform {

namespace {

CFileException ErrnoException(const char* what) {
  const int error = errno;
  CFileException::Cause cause = CFileException::kGeneric;
  if (error == ENOENT) cause = CFileException::kFileNotFound;
  if (error == EACCES || error == EPERM) cause = CFileException::kAccessDenied;
  if (error == ENOSPC) cause = CFileException::kDiskFull;
  return CFileException(cause, std::string(what) + ": " + std::strerror(error));
}

}  // namespace

CFile::~CFile() { CFile::Close(); }

bool CFile::Open(const std::string& path, unsigned flags) {
  CFile::Close();
  int mode = O_RDONLY;
  if (flags & kModeWrite) mode = O_WRONLY;
  if (flags & kModeReadWrite) mode = O_RDWR;
  if (flags & kModeCreate) mode |= O_CREAT | O_TRUNC;
  fd_ = ::open(path.c_str(), mode | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void CFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

size_t CFile::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::read(fd_, out + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw ErrnoException("read");
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return done;
}

void CFile::Write(const void* buffer, size_t count) {
  const auto* in = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t put = ::write(fd_, in + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) throw ErrnoException("write");
    done += static_cast<size_t>(put);
  }
}

uint64_t CFile::Seek(int64_t offset, SeekFrom from) {
  const int whence = from == kBegin ? SEEK_SET : from == kCurrent ? SEEK_CUR : SEEK_END;
  const off_t at = ::lseek(fd_, offset, whence);
  if (at < 0) throw ErrnoException("seek");
  return static_cast<uint64_t>(at);
}

uint64_t CFile::GetLength() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) throw ErrnoException("stat");
  return static_cast<uint64_t>(info.st_size);
}

uint64_t CFile::GetPosition() const {
  const off_t at = ::lseek(fd_, 0, SEEK_CUR);
  if (at < 0) throw ErrnoException("seek");
  return static_cast<uint64_t>(at);
}

CMemFile::CMemFile(size_t growBytes) : growBytes_(growBytes) {}

CMemFile::CMemFile(uint8_t* buffer, size_t size, size_t growBytes) : growBytes_(growBytes) {
  Attach(buffer, size, growBytes);
}

CMemFile::~CMemFile() { ReleaseBuffer(); }

void CMemFile::ReleaseBuffer() {
  if (buffer_ != nullptr && autoDelete_) Free(buffer_);
  buffer_ = nullptr;
  capacity_ = length_ = position_ = 0;
}

void CMemFile::Attach(uint8_t* buffer, size_t size, size_t growBytes) {
  ReleaseBuffer();
  buffer_ = buffer;
  capacity_ = size;
  growBytes_ = growBytes;
  // A fixed block is read as it stands; a growable one starts empty.
  length_ = growBytes == 0 ? size : 0;
  position_ = 0;
  autoDelete_ = false;
}

uint8_t* CMemFile::Detach() {
  uint8_t* block = buffer_;
  buffer_ = nullptr;
  capacity_ = length_ = position_ = 0;
  autoDelete_ = true;
  return block;
}

void CMemFile::Close() { ReleaseBuffer(); }

size_t CMemFile::Read(void* buffer, size_t count) {
  if (position_ >= length_) return 0;
  const size_t n = std::min(count, length_ - position_);
  std::memcpy(buffer, buffer_ + position_, n);
  position_ += n;
  return n;
}

void CMemFile::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  if (count > std::numeric_limits<size_t>::max() - position_) {
    throw CFileException(CFileException::kDiskFull, "memory file too large");
  }
  const size_t end = position_ + count;
  if (end > capacity_) GrowFile(end);
  std::memcpy(buffer_ + position_, buffer, count);
  position_ = end;
  length_ = std::max(length_, end);
}

uint64_t CMemFile::Seek(int64_t offset, SeekFrom from) {
  const int64_t base = from == kBegin     ? 0
                       : from == kCurrent ? static_cast<int64_t>(position_)
                                          : static_cast<int64_t>(length_);
  const int64_t target = base + offset;
  if (target < 0) throw CFileException(CFileException::kBadSeek, "seek before start");
  if (static_cast<uint64_t>(target) > capacity_) GrowFile(static_cast<size_t>(target));
  position_ = static_cast<size_t>(target);
  return position_;
}

void CMemFile::SetLength(size_t length) {
  if (length > capacity_) GrowFile(length);
  length_ = length;
  position_ = std::min(position_, length_);
}

void CMemFile::GrowFile(size_t newLength) {
  if (growBytes_ == 0) {
    throw CFileException(CFileException::kDiskFull, "memory file cannot grow");
  }
  size_t newCapacity = capacity_;
  while (newCapacity < newLength) newCapacity += growBytes_;
  uint8_t* grown = nullptr;
  if (buffer_ != nullptr && autoDelete_) {
    grown = Realloc(buffer_, newCapacity);
  } else {
    // A block attached by the caller stays the caller's: copy out of it.
    grown = Alloc(newCapacity);
    if (grown != nullptr && buffer_ != nullptr) std::memcpy(grown, buffer_, length_);
  }
  if (grown == nullptr) throw CFileException(CFileException::kDiskFull, "out of memory");
  buffer_ = grown;
  capacity_ = newCapacity;
  autoDelete_ = true;
}

uint8_t* CMemFile::Alloc(size_t bytes) { return static_cast<uint8_t*>(std::calloc(bytes, 1)); }

uint8_t* CMemFile::Realloc(uint8_t* block, size_t bytes) {
  auto* grown = static_cast<uint8_t*>(std::realloc(block, bytes));
  if (grown != nullptr && bytes > capacity_) std::memset(grown + capacity_, 0, bytes - capacity_);
  return grown;
}

void CMemFile::Free(uint8_t* block) { std::free(block); }

}  // namespace platform
