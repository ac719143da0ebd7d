// Files that an archive reads and writes: a file on disk and a file in
// memory. Failures of the underlying file raise CFileException; short
// reads are not failures and are reported by the byte count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class CFileException : public std::runtime_error {
 public:
  enum Cause { kGeneric, kFileNotFound, kAccessDenied, kDiskFull, kEndOfFile, kBadSeek };
  CFileException(Cause cause, const std::string& what) : std::runtime_error(what), cause_(cause) {}
  Cause cause() const { return cause_; }

 private:
  Cause cause_;
};

// A file on disk. The base of every file kind: the archive talks to
// files only through these virtual operations.
class CFile {
 public:
  enum OpenFlags : unsigned {
    kModeRead = 0x0,
    kModeWrite = 0x1,
    kModeReadWrite = 0x2,
    kModeCreate = 0x1000,
  };
  enum SeekFrom { kBegin, kCurrent, kEnd };

  CFile() = default;
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens a file on disk; false (and no exception) when it cannot be opened.
  bool Open(const std::string& path, unsigned flags);
  virtual void Close();

  // Answers the number of bytes read; fewer than asked at the end.
  virtual size_t Read(void* buffer, size_t count);
  virtual void Write(const void* buffer, size_t count);
  virtual uint64_t Seek(int64_t offset, SeekFrom from);
  virtual uint64_t GetLength() const;
  virtual uint64_t GetPosition() const;
  virtual void Flush() {}

  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// A file in memory. It grows in steps of the growth size (0: it cannot
// grow, as for an attached block). The three allocation hooks let a
// derived file keep its bytes somewhere else, such as a global memory
// block that can be handed to the clipboard.
class CMemFile : public CFile {
 public:
  static constexpr size_t kDefaultGrowBytes = 1024;

  explicit CMemFile(size_t growBytes = kDefaultGrowBytes);
  // A read-only or fixed-size view over bytes that the caller keeps alive.
  CMemFile(uint8_t* buffer, size_t size, size_t growBytes = 0);
  ~CMemFile() override;

  void Attach(uint8_t* buffer, size_t size, size_t growBytes = 0);
  // Hands the buffer to the caller, who then owns it, and empties the file.
  uint8_t* Detach();

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  uint64_t Seek(int64_t offset, SeekFrom from) override;
  uint64_t GetLength() const override { return length_; }
  uint64_t GetPosition() const override { return position_; }
  void Close() override;
  void SetLength(size_t length);

  const uint8_t* Data() const { return buffer_; }
  size_t BufferSize() const { return capacity_; }
  size_t GrowBytes() const { return growBytes_; }

 protected:
  virtual uint8_t* Alloc(size_t bytes);
  virtual uint8_t* Realloc(uint8_t* block, size_t bytes);
  virtual void Free(uint8_t* block);
  // Releases the buffer through Free when the file owns it. Derived files
  // whose Free override needs their own state call this from their own
  // destructor.
  void ReleaseBuffer();

 private:
  void GrowFile(size_t newLength);

  uint8_t* buffer_ = nullptr;
  size_t capacity_ = 0;
  size_t length_ = 0;
  size_t position_ = 0;
  size_t growBytes_;
  bool autoDelete_ = true;
};

}  // namespace platform
