// Objects of the system kernel that other programs can see by name, and
// the handles that hold them: named mutexes and named shared memory, with
// processes (process.h) in the same handle table.
//
// A named object lives as long as some process holds a handle to it, as
// on Windows: each holder keeps a shared lock on a marker file in the
// runtime folder, and an object whose marker nobody locks does not exist,
// even when a crashed holder left its files behind. The program uses its
// mutexes only to mark that it runs; nobody waits on them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace platform {

using HANDLE = uintptr_t;
using BOOL = int;

inline constexpr HANDLE INVALID_HANDLE_VALUE = ~HANDLE{0};

inline constexpr uint32_t SYNCHRONIZE = 0x00100000;
inline constexpr uint32_t MUTEX_ALL_ACCESS = 0x001F0001;

inline constexpr uint32_t PAGE_READONLY = 0x02;
inline constexpr uint32_t PAGE_READWRITE = 0x04;
inline constexpr uint32_t FILE_MAP_WRITE = 0x0002;
inline constexpr uint32_t FILE_MAP_READ = 0x0004;
inline constexpr uint32_t FILE_MAP_ALL_ACCESS = 0x000F001F;

// Closes any handle of this table; FALSE (ERROR_INVALID_HANDLE) for one
// it does not hold.
BOOL CloseHandle(HANDLE handle);

// `security` is not kept and `initialOwner` is ignored (see above). The
// last error is ERROR_ALREADY_EXISTS when another holder had it already.
HANDLE CreateMutex(const void* security, BOOL initialOwner, const char* name);
// Null (ERROR_FILE_NOT_FOUND) when nobody holds a mutex of that name.
HANDLE OpenMutex(uint32_t access, BOOL inheritHandle, const char* name);

// Named memory backed by the page file: `file` must be
// INVALID_HANDLE_VALUE. An existing mapping keeps its size; the last error
// then is ERROR_ALREADY_EXISTS. Unnamed mappings are private to the
// process.
HANDLE CreateFileMapping(HANDLE file, const void* security, uint32_t protect, uint32_t sizeHigh,
                         uint32_t sizeLow, const char* name);
HANDLE OpenFileMapping(uint32_t access, BOOL inheritHandle, const char* name);
// `bytes` 0 maps from `offsetLow` to the end. The view outlives the handle
// until it is unmapped.
void* MapViewOfFile(HANDLE mapping, uint32_t access, uint32_t offsetHigh, uint32_t offsetLow,
                    size_t bytes);
BOOL UnmapViewOfFile(const void* view);

// The folder of this user's named objects: $XDG_RUNTIME_DIR/lexora, else
// a folder of the user's own under the temporary folder (mode 0700).
// Nullopt when neither can be made safely.
std::optional<std::string> RuntimeFolder();

}  // namespace platform
