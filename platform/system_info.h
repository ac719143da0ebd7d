// What the system asks of the host about itself: the Windows version it
// believes it runs on, the Windows directory (the program's own data
// folder here), the program's folder and host paths for its own paths.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize = 0;
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};

// Fills the record; false when its size field was not set first.
bool GetVersionExA(OSVERSIONINFOA* info);

// Copies the Windows directory (CP932, NUL-terminated) into `buffer` and
// answers its length; when it does not fit, answers the size needed and
// copies nothing. Here it is the folder of the running program, whose
// "Media" subfolder holds the program's installed sounds.
uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size);

// The folder that holds the running program (a host path).
std::string ProgramFolder();

// A path of the system (CP932, "\" or "/" separators) as a host path in
// UTF-8 with "/" separators; nullopt when it cannot be converted.
std::optional<std::string> HostPath(std::string_view systemPath);

// The colours of the user's desktop scheme that a document takes as its
// defaults. There is no desktop scheme here: the classic defaults answer.
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_BTNSHADOW = 16;
// The colour of a scheme element (0x00BBGGRR); black for one not listed.
uint32_t GetSysColor(int element);

// Test hooks: the version and the Windows directory the process reports
// while the guard lives.
class ScopedWindowsVersion {
 public:
  ScopedWindowsVersion(uint32_t major, uint32_t minor);
  ~ScopedWindowsVersion();
  ScopedWindowsVersion(const ScopedWindowsVersion&) = delete;
  ScopedWindowsVersion& operator=(const ScopedWindowsVersion&) = delete;

 private:
  uint32_t previousMajor_;
  uint32_t previousMinor_;
};

class ScopedWindowsDirectory {
 public:
  explicit ScopedWindowsDirectory(std::string folder);
  ~ScopedWindowsDirectory();
  ScopedWindowsDirectory(const ScopedWindowsDirectory&) = delete;
  ScopedWindowsDirectory& operator=(const ScopedWindowsDirectory&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace platform
