// The framework's archive: a buffered, little-endian stream of typed
// values over a CFile. Typed reads that find too few bytes raise
// CArchiveException; raw Read answers how many bytes arrived. Stream code
// catches both exception kinds and turns them into its own result codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file.h"

namespace platform {

class CArchiveException : public std::runtime_error {
 public:
  enum Cause { kGeneric, kEndOfFile, kBadSignature, kBadCount };
  CArchiveException(Cause cause, const std::string& what)
      : std::runtime_error(what), cause_(cause) {}
  Cause cause() const { return cause_; }

 private:
  Cause cause_;
};

// 16-byte signature field: the text, the byte 0x1A, zero padding.
using Signature = std::array<uint8_t, 16>;
Signature MakeSignature(std::string_view text);

class CArchive {
 public:
  enum Mode { kLoad, kStore };
  static constexpr size_t kDefaultBufferSize = 4096;
  // The count form escapes to a 32-bit count from this value on.
  static constexpr uint16_t kCountEscape = 0xFFFF;

  CArchive(CFile* file, Mode mode, size_t bufferSize = kDefaultBufferSize);
  // Flushes a storing archive that was not closed. A failure at that point
  // cannot be reported and is swallowed; callers that care call Close.
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsLoading() const { return mode_ == kLoad; }
  bool IsStoring() const { return mode_ == kStore; }
  CFile* GetFile() const { return file_; }

  // Raw bytes. Read answers the number of bytes that arrived.
  size_t Read(void* buffer, size_t count);
  void Write(const void* buffer, size_t count);
  void Flush();
  void Close();

  CArchive& operator<<(uint8_t v);
  CArchive& operator<<(int8_t v) { return *this << static_cast<uint8_t>(v); }
  CArchive& operator<<(uint16_t v);
  CArchive& operator<<(int16_t v) { return *this << static_cast<uint16_t>(v); }
  CArchive& operator<<(uint32_t v);
  CArchive& operator<<(int32_t v) { return *this << static_cast<uint32_t>(v); }

  CArchive& operator>>(uint8_t& v);
  CArchive& operator>>(int8_t& v);
  CArchive& operator>>(uint16_t& v);
  CArchive& operator>>(int16_t& v);
  CArchive& operator>>(uint32_t& v);
  CArchive& operator>>(int32_t& v);

  // Count form: a 16-bit count below 0xFFFF, else 0xFFFF and a 32-bit count.
  void WriteCount(uint32_t count);
  uint32_t ReadCount();

  // Byte-string form: the length as one byte below 0xFF; else 0xFF and a
  // 16-bit length below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit length;
  // then the bytes without a terminator.
  void WriteString(std::string_view bytes);
  std::string ReadString();

  void WriteSignature(const Signature& signature);
  // Reads 16 bytes; false when fewer arrived or they differ.
  bool CheckSignature(const Signature& expected);

  // Reads exactly `count` bytes or raises kEndOfFile.
  void ReadExact(void* buffer, size_t count);
  // Bytes still to be read where the file can tell, for bounding counts
  // read from a stream before allocating for them.
  uint64_t RemainingBytes() const;

 private:
  template <typename T>
  void WriteLittleEndian(T value);
  template <typename T>
  T ReadLittleEndian();

  CFile* file_;
  Mode mode_;
  std::vector<uint8_t> buffer_;
  size_t used_ = 0;
  bool closed_ = false;
};

}  // namespace platform
