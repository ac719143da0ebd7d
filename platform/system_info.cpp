#include "platform/system_info.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/sjis.h"

namespace platform {

namespace {

// The version the system reports: Windows 7, which takes every
// "XP or later" branch. Tests choose another.
constexpr uint32_t kDefaultMajor = 6;
constexpr uint32_t kDefaultMinor = 1;
constexpr uint32_t kPlatformNt = 2;

struct HostState {
  std::mutex mutex;
  uint32_t major = kDefaultMajor;
  uint32_t minor = kDefaultMinor;
  std::optional<std::string> windowsDirectory;
};

HostState& State() {
  static HostState state;
  return state;
}

}  // namespace

bool GetVersionExA(OSVERSIONINFOA* info) {
  if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) return false;
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  info->dwMajorVersion = state.major;
  info->dwMinorVersion = state.minor;
  info->dwBuildNumber = 0;
  info->dwPlatformId = kPlatformNt;
  info->szCSDVersion[0] = '\0';
  return true;
}

std::string ProgramFolder() {
  std::array<char, 4096> buffer{};
  const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return ".";
  const std::string path(buffer.data(), static_cast<size_t>(length));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos || slash == 0 ? "/" : path.substr(0, slash);
}

uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size) {
  std::string folder;
  {
    HostState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.windowsDirectory) folder = *state.windowsDirectory;
  }
  if (folder.empty()) {
    const std::string host = ProgramFolder();
    folder = Utf8ToSjis(host).value_or(host);
  }
  const auto length = static_cast<uint32_t>(folder.size());
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, folder.c_str(), folder.size() + 1);
  return length;
}

std::optional<std::string> HostPath(std::string_view systemPath) {
  // After conversion every 0x5C is a real backslash: UTF-8 never uses it
  // inside a multi-byte character, unlike a Shift-JIS trail byte.
  std::optional<std::string> host = SjisToUtf8(systemPath);
  if (host) std::replace(host->begin(), host->end(), '\\', '/');
  return host;
}

ScopedWindowsVersion::ScopedWindowsVersion(uint32_t major, uint32_t minor) {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  previousMajor_ = std::exchange(state.major, major);
  previousMinor_ = std::exchange(state.minor, minor);
}

ScopedWindowsVersion::~ScopedWindowsVersion() {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  state.major = previousMajor_;
  state.minor = previousMinor_;
}

ScopedWindowsDirectory::ScopedWindowsDirectory(std::string folder) {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  previous_ = std::exchange(state.windowsDirectory, std::move(folder));
}

ScopedWindowsDirectory::~ScopedWindowsDirectory() {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  state.windowsDirectory = std::move(previous_);
}

uint32_t GetSysColor(int element) {
  constexpr uint32_t kWhite = 0xFFFFFF;
  constexpr uint32_t kBlack = 0x000000;
  constexpr uint32_t kMidGrey = 0x808080;
  switch (element) {
    case COLOR_WINDOW:
      return kWhite;
    case COLOR_BTNSHADOW:
      return kMidGrey;
    case COLOR_WINDOWTEXT:
    default:
      return kBlack;
  }
}

}  // namespace platform
