#include "platform/version_info.h"

#include <unistd.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/paths.h"
#include "platform/win_error.h"

namespace platform {

namespace {

constexpr std::string_view kRootBlock = "\\";

constexpr DWORD Pack(DWORD high, DWORD low) { return high << 16 | low; }

VS_FIXEDFILEINFO ProgramVersion() {
  VS_FIXEDFILEINFO info;
  info.dwFileVersionMS = Pack(LEXORA_VERSION_MAJOR, LEXORA_VERSION_MINOR);
  info.dwFileVersionLS = Pack(LEXORA_VERSION_PATCH, LEXORA_VERSION_TWEAK);
  info.dwProductVersionMS = info.dwFileVersionMS;
  info.dwProductVersionLS = info.dwFileVersionLS;
  return info;
}

bool IsProgramFile(const char* file) {
  if (file == nullptr) return false;
  const std::optional<std::string> host = HostPath(file);
  std::array<char, 4096> self{};
  const ssize_t length = ::readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (!host || length <= 0) return false;
  std::error_code error;
  return std::filesystem::equivalent(*host, std::string(self.data(), static_cast<size_t>(length)),
                                     error) &&
         !error;
}

}  // namespace

DWORD GetFileVersionInfoSize(const char* file, DWORD* handle) {
  if (handle != nullptr) *handle = 0;
  if (!IsProgramFile(file)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  return sizeof(VS_FIXEDFILEINFO);
}

BOOL GetFileVersionInfo(const char* file, DWORD /*handle*/, DWORD size, void* data) {
  if (data == nullptr || size < sizeof(VS_FIXEDFILEINFO)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (!IsProgramFile(file)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  const VS_FIXEDFILEINFO info = ProgramVersion();
  std::memcpy(data, &info, sizeof info);
  return 1;
}

BOOL VerQueryValue(const void* block, const char* subBlock, void** buffer, UINT* length) {
  if (block == nullptr || subBlock == nullptr || buffer == nullptr || length == nullptr ||
      subBlock != kRootBlock)
    return 0;
  VS_FIXEDFILEINFO info;
  std::memcpy(&info, block, sizeof info);
  if (info.dwSignature != VS_FFI_SIGNATURE) return 0;
  *buffer = const_cast<void*>(block);
  *length = sizeof(VS_FIXEDFILEINFO);
  return 1;
}

}  // namespace platform
