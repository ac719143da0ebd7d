#include "platform/system_info.h"

#include <unistd.h>

#include <array>
#include <atomic>
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

struct HostState {
  std::mutex mutex;
  uint32_t major = kDefaultMajor;
  uint32_t minor = kDefaultMinor;
  uint32_t platformId = VER_PLATFORM_WIN32_NT;
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
  info->dwPlatformId = state.platformId;
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

ScopedWindowsVersion::ScopedWindowsVersion(uint32_t major, uint32_t minor, uint32_t platformId) {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  previousMajor_ = std::exchange(state.major, major);
  previousMinor_ = std::exchange(state.minor, minor);
  previousPlatformId_ = std::exchange(state.platformId, platformId);
}

ScopedWindowsVersion::~ScopedWindowsVersion() {
  HostState& state = State();
  std::lock_guard lock(state.mutex);
  state.major = previousMajor_;
  state.minor = previousMinor_;
  state.platformId = previousPlatformId_;
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

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kSilver = 0xC0C0C0;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kLightGrey = 0xC8C8C8;
constexpr uint32_t kNavy = 0x800000;
constexpr uint32_t kTeal = 0x808000;
constexpr uint32_t kPaleYellow = 0xE1FFFF;

// Indexed by element.
constexpr std::array<uint32_t, COLOR_INFOBK + 1> kSchemeColours = {
    kLightGrey,  // COLOR_SCROLLBAR
    kTeal,       // COLOR_BACKGROUND
    kNavy,       // COLOR_ACTIVECAPTION
    kGrey,       // COLOR_INACTIVECAPTION
    kSilver,     // COLOR_MENU
    kWhite,      // COLOR_WINDOW
    kBlack,      // COLOR_WINDOWFRAME
    kBlack,      // COLOR_MENUTEXT
    kBlack,      // COLOR_WINDOWTEXT
    kWhite,      // COLOR_CAPTIONTEXT
    kSilver,     // COLOR_ACTIVEBORDER
    kSilver,     // COLOR_INACTIVEBORDER
    kGrey,       // COLOR_APPWORKSPACE
    kNavy,       // COLOR_HIGHLIGHT
    kWhite,      // COLOR_HIGHLIGHTTEXT
    kSilver,     // COLOR_BTNFACE
    kGrey,       // COLOR_BTNSHADOW
    kGrey,       // COLOR_GRAYTEXT
    kBlack,      // COLOR_BTNTEXT
    kSilver,     // COLOR_INACTIVECAPTIONTEXT
    kWhite,      // COLOR_BTNHIGHLIGHT
    kBlack,      // COLOR_3DDKSHADOW
    kSilver,     // COLOR_3DLIGHT
    kBlack,      // COLOR_INFOTEXT
    kPaleYellow  // COLOR_INFOBK
};

bool IsSchemeElement(int element) {
  return element >= 0 && static_cast<size_t>(element) < kSchemeColours.size();
}

using SchemeBrushes = std::array<UniqueBrush, kSchemeColours.size()>;

// Made once, on first use, and never deleted.
const SchemeBrushes& Brushes() {
  static const SchemeBrushes brushes = [] {
    SchemeBrushes made;
    for (size_t element = 0; element < made.size(); ++element) {
      made[element] = CreateSolidBrush(kSchemeColours[element]);
    }
    return made;
  }();
  return brushes;
}

constexpr int kScrollArrow = 16;
constexpr int kCaption = 19;
constexpr int kMenuBar = 19;
constexpr int kDialogFrame = 3;
constexpr int kIcon = 32;
constexpr int kSmallIcon = 16;
constexpr int kCursor = 32;
constexpr int kDoubleClickBox = 4;
constexpr int kEdge = 2;
constexpr int kMouseButtons = 3;

struct Metric {
  int index;
  int value;
};

constexpr std::array kMetrics = {
    Metric{SM_CXSCREEN, kScreenWidth},
    Metric{SM_CYSCREEN, kScreenHeight},
    Metric{SM_CXVSCROLL, kScrollArrow},
    Metric{SM_CYHSCROLL, kScrollArrow},
    Metric{SM_CYCAPTION, kCaption},
    Metric{SM_CXBORDER, 1},
    Metric{SM_CYBORDER, 1},
    Metric{SM_CXDLGFRAME, kDialogFrame},
    Metric{SM_CYDLGFRAME, kDialogFrame},
    Metric{SM_CYVTHUMB, kScrollArrow},
    Metric{SM_CXHTHUMB, kScrollArrow},
    Metric{SM_CXICON, kIcon},
    Metric{SM_CYICON, kIcon},
    Metric{SM_CXCURSOR, kCursor},
    Metric{SM_CYCURSOR, kCursor},
    Metric{SM_CYMENU, kMenuBar},
    Metric{SM_CYVSCROLL, kScrollArrow},
    Metric{SM_CXHSCROLL, kScrollArrow},
    Metric{SM_SWAPBUTTON, 0},
    Metric{SM_CXDOUBLECLK, kDoubleClickBox},
    Metric{SM_CYDOUBLECLK, kDoubleClickBox},
    Metric{SM_CMOUSEBUTTONS, kMouseButtons},
    Metric{SM_CXEDGE, kEdge},
    Metric{SM_CYEDGE, kEdge},
    Metric{SM_CXSMICON, kSmallIcon},
    Metric{SM_CYSMICON, kSmallIcon},
    Metric{SM_MOUSEWHEELPRESENT, 1},
};

}  // namespace

uint32_t GetSysColor(int element) {
  return IsSchemeElement(element) ? kSchemeColours[static_cast<size_t>(element)] : 0;
}

HBRUSH GetSysColorBrush(int element) {
  return IsSchemeElement(element) ? Brushes()[static_cast<size_t>(element)].get() : nullptr;
}

namespace {

// The screen's size, which tests may change.
std::atomic<int> g_screenWidth{kScreenWidth};
std::atomic<int> g_screenHeight{kScreenHeight};

}  // namespace

int GetSystemMetrics(int index) {
  if (index == SM_CXSCREEN) return g_screenWidth.load();
  if (index == SM_CYSCREEN) return g_screenHeight.load();
  for (const Metric& metric : kMetrics) {
    if (metric.index == index) return metric.value;
  }
  return 0;
}

ScopedScreenSize::ScopedScreenSize(int width, int height)
    : previousWidth_(g_screenWidth.exchange(width)),
      previousHeight_(g_screenHeight.exchange(height)) {}

ScopedScreenSize::~ScopedScreenSize() {
  g_screenWidth = previousWidth_;
  g_screenHeight = previousHeight_;
}

}  // namespace platform
