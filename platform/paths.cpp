// The drive table, the mapping between system and host paths, and the
// joining and splitting of system paths.
#include "platform/paths.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/sjis.h"
#include "platform/system_info.h"

namespace platform {

namespace {

constexpr char kSystemSeparator = '\\';
constexpr char kHostSeparator = '/';
constexpr char kDriveColon = ':';
constexpr char kExtensionDot = '.';

struct DriveState {
  std::mutex mutex;
  std::optional<std::vector<DriveMapping>> chosen;
};

DriveState& Drives() {
  static DriveState state;
  return state;
}

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/";
}

std::string WithoutTrailingSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == kHostSeparator) folder.pop_back();
  return folder;
}

char UpperLetter(char letter) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

bool IsDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == kDriveColon;
}

std::optional<std::string> DriveRoot(char letter) {
  for (const DriveMapping& drive : DriveTable()) {
    if (drive.letter == UpperLetter(letter)) return drive.hostRoot;
  }
  return std::nullopt;
}

bool IsSeparator(char c) { return c == kSystemSeparator || c == kHostSeparator; }

std::string FoldAscii(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

// The entry of `folder` whose name equals `name` without regard to ASCII
// case; the first in name order when several do.
std::optional<std::string> FindEntryNoCase(const std::string& folder, std::string_view name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::nullopt;
  const std::string wanted = FoldAscii(name);
  std::optional<std::string> found;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view candidate = entry->d_name;
    if (FoldAscii(candidate) == wanted && (!found || candidate < *found)) found = candidate;
  }
  closedir(dir);
  return found;
}

// Spells each component of a host path as the host has it, as long as
// the components exist.
std::string ResolveCase(const std::string& path) {
  std::string resolved;
  size_t start = 0;
  if (!path.empty() && path[0] == kHostSeparator) {
    resolved = "/";
    start = 1;
  }
  bool resolving = true;
  while (start <= path.size()) {
    size_t end = path.find(kHostSeparator, start);
    if (end == std::string::npos) end = path.size();
    const std::string_view component(path.data() + start, end - start);
    if (!component.empty()) {
      std::string folder = resolved;
      if (!resolved.empty() && resolved.back() != kHostSeparator) resolved += kHostSeparator;
      std::string exact = resolved + std::string(component);
      if (resolving && !Exists(exact) && component != "." && component != "..") {
        if (std::optional<std::string> entry = FindEntryNoCase(folder, component)) {
          exact = resolved + *entry;
        } else {
          resolving = false;
        }
      }
      resolved = std::move(exact);
    }
    if (end < path.size() && end + 1 == path.size()) resolved += kHostSeparator;
    start = end + 1;
  }
  return resolved;
}

// Bytes of `text` that fit in `size` - 1 at a character boundary.
size_t FittingLength(std::string_view text, size_t size) {
  size_t end = 0;
  while (end < text.size() && end + CharLengthAt(text, end) < size) end += CharLengthAt(text, end);
  return end;
}

void CopyPart(std::string_view part, char* out, size_t size) {
  if (out == nullptr) return;
  const size_t length = FittingLength(part, size);
  std::memcpy(out, part.data(), length);
  out[length] = '\0';
}

// Where the last "." of the name starting at `nameStart` is; npos when
// there is none.
size_t ExtensionStart(std::string_view path, size_t nameStart) {
  size_t dot = std::string_view::npos;
  for (size_t i = nameStart; i < path.size(); i += CharLengthAt(path, i)) {
    if (path[i] == kExtensionDot) dot = i;
  }
  return dot;
}

}  // namespace

std::vector<DriveMapping> DriveTable() {
  {
    DriveState& state = Drives();
    std::lock_guard lock(state.mutex);
    if (state.chosen) return *state.chosen;
  }
  std::vector<DriveMapping> drives = {
      {kHomeDrive, WithoutTrailingSlash(HomeFolder())},
      {kProgramDrive, WithoutTrailingSlash(ProgramFolder())},
  };
  std::sort(drives.begin(), drives.end(),
            [](const DriveMapping& a, const DriveMapping& b) { return a.letter < b.letter; });
  return drives;
}

ScopedDriveTable::ScopedDriveTable(std::vector<DriveMapping> drives) {
  for (DriveMapping& drive : drives) {
    drive.letter = UpperLetter(drive.letter);
    drive.hostRoot = WithoutTrailingSlash(std::move(drive.hostRoot));
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveMapping& a, const DriveMapping& b) { return a.letter < b.letter; });
  DriveState& state = Drives();
  std::lock_guard lock(state.mutex);
  previous_ = std::exchange(state.chosen, std::move(drives));
}

ScopedDriveTable::~ScopedDriveTable() {
  DriveState& state = Drives();
  std::lock_guard lock(state.mutex);
  state.chosen = std::move(previous_);
}

DWORD GetLogicalDriveStrings(DWORD size, char* buffer) {
  std::string roots;
  for (const DriveMapping& drive : DriveTable()) {
    roots += drive.letter;
    roots += ":\\";
    roots += '\0';
  }
  const auto length = static_cast<DWORD>(roots.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, roots.data(), roots.size());
  buffer[length] = '\0';
  return length;
}

UINT GetDriveType(const char* root) {
  if (root == nullptr) return DRIVE_NO_ROOT_DIR;
  const std::string_view path = root;
  const bool isRoot =
      HasDrive(path) && (path.size() == 2 || (path.size() == 3 && IsSeparator(path[2])));
  return isRoot && DriveRoot(path[0]) ? DRIVE_FIXED : DRIVE_NO_ROOT_DIR;
}

std::optional<std::string> HostPath(std::string_view systemPath) {
  // After conversion every 0x5C is a real backslash: UTF-8 never uses it
  // inside a multi-byte character, unlike a Shift-JIS trail byte.
  std::optional<std::string> utf8 = SjisToUtf8(systemPath);
  if (!utf8) return std::nullopt;
  std::replace(utf8->begin(), utf8->end(), kSystemSeparator, kHostSeparator);
  if (HasDrive(*utf8)) {
    std::optional<std::string> root = DriveRoot((*utf8)[0]);
    if (!root) return std::nullopt;
    std::string_view rest = std::string_view(*utf8).substr(2);
    while (!rest.empty() && rest.front() == kHostSeparator) rest.remove_prefix(1);
    std::string joined = *root;
    if (!rest.empty()) {
      if (joined.back() != kHostSeparator) joined += kHostSeparator;
      joined += rest;
    }
    utf8 = std::move(joined);
  }
  return ResolveCase(*utf8);
}

std::optional<std::string> SystemPath(std::string_view hostPath) {
  const std::vector<DriveMapping> drives = DriveTable();
  const DriveMapping* best = nullptr;
  for (const DriveMapping& drive : drives) {
    const std::string& root = drive.hostRoot;
    const bool inside =
        hostPath.substr(0, root.size()) == root &&
        (root == "/" || hostPath.size() == root.size() || hostPath[root.size()] == kHostSeparator);
    if (inside && (best == nullptr || root.size() > best->hostRoot.size())) best = &drive;
  }
  std::string system;
  if (best != nullptr) {
    std::string_view rest = hostPath.substr(best->hostRoot.size());
    while (!rest.empty() && rest.front() == kHostSeparator) rest.remove_prefix(1);
    system = std::string{best->letter, kDriveColon, kSystemSeparator} + std::string(rest);
  } else {
    system = hostPath;
  }
  std::replace(system.begin(), system.end(), kHostSeparator, kSystemSeparator);
  return Utf8ToSjis(system);
}

bool EndsWithSeparator(std::string_view path) {
  bool separator = false;
  for (size_t i = 0; i < path.size(); i += CharLengthAt(path, i)) {
    separator = CharLengthAt(path, i) == 1 && IsSeparator(path[i]);
  }
  return separator;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!joined.empty() && !EndsWithSeparator(joined)) joined += kSystemSeparator;
  joined += name;
  return joined;
}

size_t FileNameStart(std::string_view path) {
  size_t start = HasDrive(path) ? 2 : 0;
  for (size_t i = 0; i < path.size(); i += CharLengthAt(path, i)) {
    if (CharLengthAt(path, i) == 1 && IsSeparator(path[i])) start = i + 1;
  }
  return start;
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext) {
  const std::string_view whole = path != nullptr ? path : "";
  const size_t folderStart = HasDrive(whole) ? 2 : 0;
  const size_t nameStart = std::max(FileNameStart(whole), folderStart);
  const size_t dot = ExtensionStart(whole, nameStart);
  const size_t stemEnd = dot == std::string_view::npos ? whole.size() : dot;
  CopyPart(whole.substr(0, folderStart), drive, _MAX_DRIVE);
  CopyPart(whole.substr(folderStart, nameStart - folderStart), dir, _MAX_DIR);
  CopyPart(whole.substr(nameStart, stemEnd - nameStart), fname, _MAX_FNAME);
  CopyPart(whole.substr(stemEnd), ext, _MAX_EXT);
}

void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext) {
  if (path == nullptr) return;
  std::string made;
  if (drive != nullptr && drive[0] != '\0') {
    made += drive[0];
    made += kDriveColon;
  }
  if (dir != nullptr && dir[0] != '\0') {
    made += dir;
    if (!EndsWithSeparator(dir)) made += kSystemSeparator;
  }
  if (fname != nullptr) made += fname;
  if (ext != nullptr && ext[0] != '\0') {
    if (ext[0] != kExtensionDot) made += kExtensionDot;
    made += ext;
  }
  CopyPart(made, path, _MAX_PATH);
}

}  // namespace platform
