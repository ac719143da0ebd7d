// What the system asks of the host about itself: the Windows version it
// believes it runs on, the Windows directory (the program's own data
// folder here) and the program's folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/gdi.h"
#include "platform/paths.h"  // HostPath, for the callers that find it here

namespace platform {

struct OSVERSIONINFOA {
  uint32_t dwOSVersionInfoSize = 0;
  uint32_t dwMajorVersion = 0;
  uint32_t dwMinorVersion = 0;
  uint32_t dwBuildNumber = 0;
  uint32_t dwPlatformId = 0;
  char szCSDVersion[128] = {};
};

// The platform ids of the version record.
inline constexpr uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;  // Windows 95, 98, Me
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

// Fills the record; false when its size field was not set first. The
// platform is NT unless a test says otherwise.
bool GetVersionExA(OSVERSIONINFOA* info);

// Copies the Windows directory (CP932, NUL-terminated) into `buffer` and
// answers its length; when it does not fit, answers the size needed and
// copies nothing. Here it is the folder of the running program, whose
// "Media" subfolder holds the program's installed sounds.
uint32_t GetWindowsDirectoryA(char* buffer, uint32_t size);

// The folder that holds the running program (a host path).
std::string ProgramFolder();

// The colours of the desktop scheme. There is no desktop scheme here: the
// classic Windows defaults answer.
inline constexpr int COLOR_SCROLLBAR = 0;
inline constexpr int COLOR_BACKGROUND = 1;
inline constexpr int COLOR_ACTIVECAPTION = 2;
inline constexpr int COLOR_INACTIVECAPTION = 3;
inline constexpr int COLOR_MENU = 4;
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWFRAME = 6;
inline constexpr int COLOR_MENUTEXT = 7;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_CAPTIONTEXT = 9;
inline constexpr int COLOR_ACTIVEBORDER = 10;
inline constexpr int COLOR_INACTIVEBORDER = 11;
inline constexpr int COLOR_APPWORKSPACE = 12;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;
inline constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_3DLIGHT = 22;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
inline constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
// The colour of a scheme element (0x00BBGGRR); 0 for one not listed.
uint32_t GetSysColor(int element);
// A solid brush of the element's colour, owned by the system for the
// life of the process (deleting it is a caller's fault); null for an
// element not listed.
HBRUSH GetSysColorBrush(int element);

// Sizes of the system's parts, in pixels, and a few counts: the classic
// defaults on a screen of kScreenWidth x kScreenHeight.
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CYCAPTION = 4;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXDLGFRAME = 7;
inline constexpr int SM_CYDLGFRAME = 8;
inline constexpr int SM_CYVTHUMB = 9;
inline constexpr int SM_CXHTHUMB = 10;
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXCURSOR = 13;
inline constexpr int SM_CYCURSOR = 14;
inline constexpr int SM_CYMENU = 15;
inline constexpr int SM_CYVSCROLL = 20;
inline constexpr int SM_CXHSCROLL = 21;
inline constexpr int SM_SWAPBUTTON = 23;
inline constexpr int SM_CXDOUBLECLK = 36;
inline constexpr int SM_CYDOUBLECLK = 37;
inline constexpr int SM_CMOUSEBUTTONS = 43;
inline constexpr int SM_CXEDGE = 45;
inline constexpr int SM_CYEDGE = 46;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;
inline constexpr int SM_MOUSEWHEELPRESENT = 75;
inline constexpr int kScreenWidth = 1024;
inline constexpr int kScreenHeight = 768;
// The value of a metric; 0 for one not listed, as Win32 answers.
int GetSystemMetrics(int index);

// Test hook: SM_CXSCREEN and SM_CYSCREEN answer this size while the
// guard lives.
class ScopedScreenSize {
 public:
  ScopedScreenSize(int width, int height);
  ~ScopedScreenSize();
  ScopedScreenSize(const ScopedScreenSize&) = delete;
  ScopedScreenSize& operator=(const ScopedScreenSize&) = delete;

 private:
  int previousWidth_;
  int previousHeight_;
};

// Test hooks: the version and the Windows directory the process reports
// while the guard lives.
class ScopedWindowsVersion {
 public:
  ScopedWindowsVersion(uint32_t major, uint32_t minor, uint32_t platformId = VER_PLATFORM_WIN32_NT);
  ~ScopedWindowsVersion();
  ScopedWindowsVersion(const ScopedWindowsVersion&) = delete;
  ScopedWindowsVersion& operator=(const ScopedWindowsVersion&) = delete;

 private:
  uint32_t previousMajor_;
  uint32_t previousMinor_;
  uint32_t previousPlatformId_;
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
