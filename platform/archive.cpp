#include "platform/archive.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {
constexpr uint8_t kSignatureEnd = 0x1A;
constexpr uint8_t kShortStringEscape = 0xFF;
constexpr uint16_t kMediumStringEscape = 0xFFFF;
constexpr uint16_t kMediumStringLimit = 0xFFFE;
}  // namespace

Signature MakeSignature(std::string_view text) {
  Signature signature{};
  const size_t n = std::min(text.size(), signature.size() - 1);
  std::memcpy(signature.data(), text.data(), n);
  signature[n] = kSignatureEnd;
  return signature;
}

CArchive::CArchive(CFile* file, Mode mode, size_t bufferSize)
    : file_(file), mode_(mode), buffer_(mode == kStore ? std::max<size_t>(bufferSize, 1) : 0) {}

CArchive::~CArchive() {
  if (!closed_ && IsStoring()) {
    try {
      Flush();
    } catch (const std::exception&) {
      // Nothing can be reported from a destructor.
    }
  }
}

void CArchive::Close() {
  if (closed_) return;
  if (IsStoring()) Flush();
  closed_ = true;
}

size_t CArchive::Read(void* buffer, size_t count) {
  if (!IsLoading()) throw CArchiveException(CArchiveException::kGeneric, "read on storing archive");
  return file_->Read(buffer, count);
}

void CArchive::ReadExact(void* buffer, size_t count) {
  if (Read(buffer, count) != count) {
    throw CArchiveException(CArchiveException::kEndOfFile, "unexpected end of archive");
  }
}

void CArchive::Write(const void* buffer, size_t count) {
  if (!IsStoring())
    throw CArchiveException(CArchiveException::kGeneric, "write on loading archive");
  const auto* in = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    if (used_ == buffer_.size()) Flush();
    const size_t n = std::min(count, buffer_.size() - used_);
    std::memcpy(buffer_.data() + used_, in, n);
    used_ += n;
    in += n;
    count -= n;
  }
}

void CArchive::Flush() {
  if (!IsStoring() || used_ == 0) return;
  // The buffer is emptied before writing so that a failed write is not
  // repeated by the destructor.
  const size_t n = used_;
  used_ = 0;
  file_->Write(buffer_.data(), n);
  file_->Flush();
}

template <typename T>
void CArchive::WriteLittleEndian(T value) {
  uint8_t bytes[sizeof(T)];
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
  Write(bytes, sizeof(T));
}

template <typename T>
T CArchive::ReadLittleEndian() {
  uint8_t bytes[sizeof(T)];
  ReadExact(bytes, sizeof(T));
  T value = 0;
  for (size_t i = 0; i < sizeof(T); ++i)
    value |= static_cast<T>(static_cast<T>(bytes[i]) << (8 * i));
  return value;
}

CArchive& CArchive::operator<<(uint8_t v) {
  WriteLittleEndian(v);
  return *this;
}
CArchive& CArchive::operator<<(uint16_t v) {
  WriteLittleEndian(v);
  return *this;
}
CArchive& CArchive::operator<<(uint32_t v) {
  WriteLittleEndian(v);
  return *this;
}
CArchive& CArchive::operator>>(uint8_t& v) {
  v = ReadLittleEndian<uint8_t>();
  return *this;
}
CArchive& CArchive::operator>>(int8_t& v) {
  v = static_cast<int8_t>(ReadLittleEndian<uint8_t>());
  return *this;
}
CArchive& CArchive::operator>>(uint16_t& v) {
  v = ReadLittleEndian<uint16_t>();
  return *this;
}
CArchive& CArchive::operator>>(int16_t& v) {
  v = static_cast<int16_t>(ReadLittleEndian<uint16_t>());
  return *this;
}
CArchive& CArchive::operator>>(uint32_t& v) {
  v = ReadLittleEndian<uint32_t>();
  return *this;
}
CArchive& CArchive::operator>>(int32_t& v) {
  v = static_cast<int32_t>(ReadLittleEndian<uint32_t>());
  return *this;
}

void CArchive::WriteCount(uint32_t count) {
  if (count < kCountEscape) {
    *this << static_cast<uint16_t>(count);
  } else {
    *this << kCountEscape << count;
  }
}

uint32_t CArchive::ReadCount() {
  uint16_t shortCount = 0;
  *this >> shortCount;
  if (shortCount != kCountEscape) return shortCount;
  uint32_t count = 0;
  *this >> count;
  return count;
}

void CArchive::WriteString(std::string_view bytes) {
  const size_t n = bytes.size();
  if (n < kShortStringEscape) {
    *this << static_cast<uint8_t>(n);
  } else if (n < kMediumStringLimit) {
    *this << kShortStringEscape << static_cast<uint16_t>(n);
  } else {
    *this << kShortStringEscape << kMediumStringEscape << static_cast<uint32_t>(n);
  }
  Write(bytes.data(), n);
}

std::string CArchive::ReadString() {
  uint8_t shortLength = 0;
  *this >> shortLength;
  uint32_t length = shortLength;
  if (shortLength == kShortStringEscape) {
    uint16_t mediumLength = 0;
    *this >> mediumLength;
    length = mediumLength;
    if (mediumLength == kMediumStringEscape) *this >> length;
  }
  if (length > RemainingBytes()) {
    throw CArchiveException(CArchiveException::kEndOfFile, "string longer than archive");
  }
  std::string bytes(length, '\0');
  ReadExact(bytes.data(), length);
  return bytes;
}

void CArchive::WriteSignature(const Signature& signature) {
  Write(signature.data(), signature.size());
}

bool CArchive::CheckSignature(const Signature& expected) {
  Signature read{};
  return Read(read.data(), read.size()) == read.size() && read == expected;
}

uint64_t CArchive::RemainingBytes() const {
  const uint64_t length = file_->GetLength();
  const uint64_t position = file_->GetPosition();
  return length > position ? length - position : 0;
}

}  // namespace platform
