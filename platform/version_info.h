// The version information of the program file: only its fixed part, the
// file and product versions, which the build sets.
#pragma once

#include <cstdint>

#include "platform/kernel_objects.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
inline constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;

struct VS_FIXEDFILEINFO {
  DWORD dwSignature = VS_FFI_SIGNATURE;
  DWORD dwStrucVersion = VS_FFI_STRUCVERSION;
  DWORD dwFileVersionMS = 0;  // major << 16 | minor
  DWORD dwFileVersionLS = 0;  // third << 16 | fourth
  DWORD dwProductVersionMS = 0;
  DWORD dwProductVersionLS = 0;
  DWORD dwFileFlagsMask = 0;
  DWORD dwFileFlags = 0;
  DWORD dwFileOS = 0;
  DWORD dwFileType = 0;
  DWORD dwFileSubtype = 0;
  DWORD dwFileDateMS = 0;
  DWORD dwFileDateLS = 0;
};

// The size of the block of the running program's file (named by the
// system path GetModuleFileName answers, or its host path); 0
// (ERROR_FILE_NOT_FOUND) for any other file, which carries none.
// `handle` is set to 0.
DWORD GetFileVersionInfoSize(const char* file, DWORD* handle);
// Copies the block; FALSE when the file carries none or `size` is too small.
BOOL GetFileVersionInfo(const char* file, DWORD handle, DWORD size, void* data);
// Only the root block "\" is answered: the fixed part, within `block`.
BOOL VerQueryValue(const void* block, const char* subBlock, void** buffer, UINT* length);

}  // namespace platform
