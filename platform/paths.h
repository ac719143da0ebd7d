// Windows paths on the host. The program keeps its paths as Windows paths
// (CP932, "\" separators, drive letters); this layer maps them to host
// files and back and answers the file calls the program makes on them.
//
// A small drive table gives each drive letter a host folder: the
// program's drive is the folder of the executable, "C:" the user's home.
// A path with no drive that starts with "\" is a host absolute path, so
// the host's own folders (the temporary folder) stay reachable. Every
// component is matched without regard to ASCII case when the exact name
// is not there, as a Windows file system matches names. Separators are
// found a character at a time: the trail byte 0x5C of "表" is no "\".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/kernel_objects.h"
#include "platform/module.h"
#include "platform/window_message.h"

namespace platform {

inline constexpr size_t MAX_PATH = 260;

// ---- The drive table.

struct DriveMapping {
  char letter;           // 'A' to 'Z'
  std::string hostRoot;  // a host folder without a trailing "/" (except "/" itself)
};

inline constexpr char kProgramDrive = 'D';
inline constexpr char kHomeDrive = 'C';

// The drives in letter order: the program's drive and the home drive,
// unless a test chose others.
std::vector<DriveMapping> DriveTable();

// Replaces the drive table while it lives.
class ScopedDriveTable {
 public:
  explicit ScopedDriveTable(std::vector<DriveMapping> drives);
  ~ScopedDriveTable();
  ScopedDriveTable(const ScopedDriveTable&) = delete;
  ScopedDriveTable& operator=(const ScopedDriveTable&) = delete;

 private:
  std::optional<std::vector<DriveMapping>> previous_;
};

// The roots ("C:\" and so on, each with its NUL, then one more NUL);
// answers the length without the last NUL, or the size needed when it
// does not fit (nothing copied then).
DWORD GetLogicalDriveStrings(DWORD size, char* buffer);

inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;
// DRIVE_FIXED for a root of the table ("C:\" or "C:"), else DRIVE_NO_ROOT_DIR.
UINT GetDriveType(const char* root);

// ---- Between system paths and host paths.

// A system path (CP932, "\" or "/" separators) as a host path in UTF-8,
// with the drive mapped and each existing component spelled as on the
// host; the part that does not exist yet is kept as written. nullopt
// when the path cannot be converted or names a drive not in the table.
std::optional<std::string> HostPath(std::string_view systemPath);

// A host path as the system sees it: the drive whose folder holds it
// (the longest), else a root path; nullopt when it has no CP932 form.
std::optional<std::string> SystemPath(std::string_view hostPath);

// ---- Joining and splitting, a character at a time.

// Whether the last character is "\" or "/" (not a trail byte).
bool EndsWithSeparator(std::string_view path);
// `folder`, a "\" unless it is empty or already ends in a separator, `name`.
std::string JoinPath(std::string_view folder, std::string_view name);
// Where the last component starts: after the last separator, else after
// a drive's colon, else 0.
size_t FileNameStart(std::string_view path);

inline constexpr size_t _MAX_PATH = MAX_PATH;
inline constexpr size_t _MAX_DRIVE = 3;
inline constexpr size_t _MAX_DIR = 256;
inline constexpr size_t _MAX_FNAME = 256;
inline constexpr size_t _MAX_EXT = 256;

// Splits into drive ("C:"), folder (up to its last separator), file stem
// and extension (from the name's last "."), each cut to its buffer
// (_MAX_DRIVE and so on) at a character boundary; a null buffer is
// skipped.
void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
// The reverse, into _MAX_PATH bytes: the drive's letter and ":", the
// folder with a "\" when it lacks one, the stem, the extension with a "."
// when it lacks one. Null or empty parts are left out.
void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);

// ---- Files.

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;

// Directory, or normal; read-only when the owner may not write it.
// INVALID_FILE_ATTRIBUTES with the last error when it does not exist.
DWORD GetFileAttributes(const char* path);

struct WIN32_FIND_DATA {
  DWORD dwFileAttributes = 0;
  DWORD nFileSizeHigh = 0;
  DWORD nFileSizeLow = 0;
  char cFileName[MAX_PATH] = {};
};

// The first entry, in name order, of the folder of `pattern` whose name
// matches its last component: "*" any run of characters, "?" one
// character, letters without regard to ASCII case, "*.*" every name. A
// folder's own "." and ".." entries count, as they do on Windows, so a
// folder that exists is found by "folder\*". INVALID_HANDLE_VALUE
// (ERROR_FILE_NOT_FOUND) when nothing matches.
HANDLE FindFirstFile(const char* pattern, WIN32_FIND_DATA* found);
BOOL FindClose(HANDLE search);

// Keeps the source's permission bits. ERROR_FILE_EXISTS when the target
// exists and `failIfExists` is set.
BOOL CopyFile(const char* existing, const char* target, BOOL failIfExists);
// Never replaces a target (ERROR_ALREADY_EXISTS); moves across file
// systems by copying.
BOOL MoveFile(const char* existing, const char* target);
BOOL DeleteFile(const char* path);
// `security` is not kept. ERROR_ALREADY_EXISTS, or ERROR_PATH_NOT_FOUND
// when the folder above is missing.
BOOL CreateDirectory(const char* path, const void* security);

// The host's temporary folder as a system path ending in "\"; answers
// its length, or the size needed when it does not fit.
DWORD GetTempPath(DWORD size, char* buffer);
// Into `out` (MAX_PATH bytes): the folder, up to three bytes of the
// prefix, the number in hex and ".TMP". With `unique` 0 a number whose
// file does not exist yet is chosen and the file is made empty; answers
// the number, 0 when no file could be made.
UINT GetTempFileName(const char* folder, const char* prefix, UINT unique, char* out);

// The running program as a system path on the program's drive. Any module
// handle answers the program: the program loads no module of its own
// kind. Answers the length copied; a buffer too small gets what fits
// with its NUL, answers `size` and sets ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size);

// ---- The shell's special folders.

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);

inline constexpr int CSIDL_PERSONAL = 0x0005;
inline constexpr int CSIDL_APPDATA = 0x001A;

// Names a special folder. The lists are the system's own and live as long
// as the process: nobody frees them.
struct ITEMIDLIST {
  int folder;
};
using LPITEMIDLIST = const ITEMIDLIST*;

// CSIDL_APPDATA: $XDG_DATA_HOME/lexora, else ~/.local/share/lexora;
// CSIDL_PERSONAL: the user's documents folder. `owner` is not used.
HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, LPITEMIDLIST* list);
// Into `path` (MAX_PATH bytes), without a trailing "\": the application
// data folder (made when missing), or the folder `xdg-user-dir
// DOCUMENTS` names when it exists, else home. FALSE, with `path` empty,
// when the folder has no system path.
BOOL SHGetPathFromIDList(LPITEMIDLIST list, char* path);

}  // namespace platform
