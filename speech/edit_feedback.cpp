#include "speech/edit_feedback.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/message_loop.h"
#include "platform/sjis.h"
#include "platform/system_info.h"
#include "speech/phrases.h"
#include "speech/reader_bridge.h"
#include "speech/sound_player.h"

namespace {

constexpr int kSpokenReplacedByCue = -1;
constexpr int kFeedbackMode = 3;
constexpr int kFeedbackFlag = 1;
constexpr int kMarked = 1;
constexpr int kCueAsync = CSoundPlayer::kPlayAsync;

// SpeakCharGuide modes.
constexpr int kGuideDescriptive = 0;
constexpr int kGuideJisCode = 7;
constexpr int kGuideShiftJisCode = 8;
constexpr int kGuideDetailed = 9;

constexpr uint32_t kWindowsDirectorySize = 260;

// The wait of Speak dispatches messages between polls of the reader.
constexpr uint32_t kSpeakMaxPolls = 1000;
constexpr uint32_t kSpeakPollMs = 5;
// The wait of Cue: polled every 100 ms, for no more than 3 seconds.
constexpr uint32_t kCuePollMs = 100;
constexpr uint32_t kCueMaxWaitSeconds = 3;
constexpr uint32_t kMsPerSecond = 1000;

constexpr char kHalfWidthSpace[] = " ";
constexpr char kFormFeed[] = "\f";
constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
constexpr uint8_t kTab = 0x09;
constexpr uint8_t kFormFeedByte = 0x0C;
constexpr uint8_t kCarriageReturnByte = 0x0D;

constexpr int kNoSound = 0;

struct CueRoute {
  int cue;
  int32_t gate;  // beep-mask bit, 0 for none
  int sound;     // sound id of the player, or kNoSound for a reader beep
  int beepKind;
  int beepLength;
};

constexpr std::array<CueRoute, 18> kCueRoutes{{
    {kCueRefused, 0, kSoundNoInput, 0, 0},
    {kCueNothingToDo, 0, kSoundNoInput, 0, 0},
    {kCueNoInput, 0, kSoundNoInput, 0, 0},
    {kCueCellGrew, kBeepCellGrew, kSoundStretch, 0, 0},
    {kCueCellShrank, kBeepCellShrank, kSoundStretch, 0, 0},
    {kCueHalfWidthSpace, kBeepSpaces, kSoundHalfWidthSpace, 0, 0},
    {kCueFullWidthSpace, kBeepSpaces, kSoundFullWidthSpace, 0, 0},
    {kCueBlank, kBeepBlank, kSoundBlank, 0, 0},
    {kCueBlankAtTextEnd, kBeepBlank, kSoundBlank, 0, 0},
    {kCueLineChange, kBeepLineChange, kSoundLineChange, 0, 0},
    {kCueTableBottom, kBeepTableBottom, kSoundTableBottom, 0, 0},
    {kCueRowEnd, kBeepRowEnd, kSoundRowEnd, 0, 0},
    {kCueWarning, 0, kSoundWarning, 0, 0},
    {kCueSecondWarning, 0, kSoundWarning, 0, 0},
    {kCueError, 0, kSoundError, 0, 0},
    {kCueReaderBeepShort, 0, kNoSound, 1, 10},
    {kCueReaderBeepMedium, 0, kNoSound, 2, 20},
    {kCueReaderBeepLong, 0, kNoSound, 3, 500},
}};

const CueRoute* FindRoute(int cue) {
  const auto it = std::find_if(kCueRoutes.begin(), kCueRoutes.end(),
                               [cue](const CueRoute& route) { return route.cue == cue; });
  return it == kCueRoutes.end() ? nullptr : &*it;
}

// A character that stands in one byte: printable ASCII or half-width katakana.
bool IsSingleByteCharacter(uint8_t byte) {
  return (byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF);
}

bool IsCharacterStart(uint8_t byte) {
  return IsSingleByteCharacter(byte) || platform::IsLeadByte(byte);
}

// A mouse button abandons a wait as a key does.
bool IsButtonPending() {
  platform::MSG msg;
  return platform::PeekMessage(&msg, platform::kNoWindow, platform::WM_LBUTTONDOWN,
                               platform::WM_LBUTTONDOWN, platform::PM_NOREMOVE) ||
         platform::PeekMessage(&msg, platform::kNoWindow, platform::WM_RBUTTONDOWN,
                               platform::WM_RBUTTONDOWN, platform::PM_NOREMOVE);
}

// Waits while the reader speaks, handling the window messages that arrive
// meanwhile, for at most kSpeakMaxPolls polls. False when a key or a mouse
// button abandons the request, or when the program is asked to quit (the
// quit message stays queued).
bool WaitForSilence() {
  bool silent = false;
  platform::LoopExit exit;
  exit.done = [&silent] {
    silent = GetVoiceStatus() == 0;
    return silent || IsButtonPending();
  };
  exit.onKeyDown = true;
  exit.deadline = platform::GetTickCount() + kSpeakMaxPolls * kSpeakPollMs;
  exit.idlePollMs = kSpeakPollMs;
  const platform::LoopEnd end = platform::RunNestedLoop(exit);
  return end == platform::LoopEnd::kTimeUp || (end == platform::LoopEnd::kCondition && silent);
}

// Lets a spoken word end before a cue, but never holds up a key for long:
// the wait ends once the clock's seconds differ by more than the limit.
void WaitBeforeCue() {
  platform::LoopExit exit;
  exit.done = [] { return GetVoiceStatus() != 1; };
  exit.onKeyDown = true;
  exit.deadline = (platform::GetTickCount() / kMsPerSecond + kCueMaxWaitSeconds + 1) * kMsPerSecond;
  exit.idlePollMs = kCuePollMs;
  platform::RunNestedLoop(exit);
}

void StopIfInterrupting(int interrupt) {
  if (interrupt != 0) StopSpeech();
}

std::string CollapseLineEnds(std::string_view text) {
  std::string copy;
  copy.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    copy += text[i];
    if (text[i] == kCarriageReturn && i + 1 < text.size() && text[i + 1] == kLineFeed) ++i;
  }
  return copy;
}

}  // namespace

CEditFeedback::CEditFeedback() {
  char windows[kWindowsDirectorySize];
  const uint32_t length = platform::GetWindowsDirectoryA(windows, sizeof windows);
  if (length == 0 || length >= sizeof windows) return;
  const std::string media = std::string(windows, length) + phrases::kMediaFolder;
  GlobalSoundPlayer().LoadSounds(media.c_str());
}

CEditFeedback::~CEditFeedback() = default;

void CEditFeedback::SetSpeechOptions(const SpeechOptions& options) { options_ = options; }

void CEditFeedback::GetSpeechOptions(SpeechOptions& options) const { options = options_; }

int CEditFeedback::IsReaderSpeechOn() const {
  const auto [category, item] = kReaderSpeechSwitch;
  return GetReaderStatus(category, item, 0) != 0 ? 1 : 0;
}

int CEditFeedback::Speak(int kind, const char* text, int interrupt, int wait) {
  if (options_.speechOn == 0) return 0;
  if (text == nullptr) text = "";
  if (SendToHook(WM_FEEDBACK_SPEAK, static_cast<platform::WPARAM>(kind),
                 reinterpret_cast<platform::LPARAM>(text)) != 0) {
    return 0;
  }
  if (wait == 1 && !WaitForSilence()) return 0;
  switch (kind) {
    case kSpeechPlain:
      if (*text != '\0') {
        StopIfInterrupting(interrupt);
        SpeakText(text, kFeedbackMode, kFeedbackFlag);
      }
      return 0;
    case kSpeechOwnGuide:
      if (*text != '\0') {
        const auto [category, item] = kOwnSpeechStatus;
        const int previous = SetReaderStatus(category, item, kMarked);
        StopIfInterrupting(interrupt);
        SpeakText(text, kFeedbackMode, kFeedbackFlag);
        SetReaderStatus(category, item, previous);
      }
      return 0;
    case kSpeechCharacter:
    case kSpeechCharacterOther:
    case kSpeechShortText:
    case kSpeechDeletedCharacter:
      return SpeakCharacter(text, interrupt);
    case kSpeechCharacterDetail:
      return SpeakCharacterDetail(text, interrupt);
    case kSpeechCharacterCodes:
      return SpeakCharacterCodes(text, interrupt);
    default:
      return 0;
  }
}

int CEditFeedback::CueInsteadOfSpeech(int cue, int interrupt) {
  Cue(cue, interrupt, kCueAsync);
  return kSpokenReplacedByCue;
}

int CEditFeedback::SpeakCharacter(const char* text, int interrupt) {
  const std::string_view view(text);
  if (view.empty()) return 0;
  if (view == kHalfWidthSpace) {
    return HasBeep(kBeepSpaces) ? CueInsteadOfSpeech(kCueHalfWidthSpace, interrupt) : 0;
  }
  // Only the space alone: a text that merely starts with one is spoken.
  if (view == phrases::kFullWidthSpace) {
    return HasBeep(kBeepSpaces) ? CueInsteadOfSpeech(kCueFullWidthSpace, interrupt) : 0;
  }
  StopIfInterrupting(interrupt);
  if (view == kFormFeed) {
    SpeakText(phrases::kPageBreak, kFeedbackMode, kFeedbackFlag);
  } else {
    SpeakCharGuide(CollapseLineEnds(view).c_str(), kGuideDescriptive);
  }
  return 0;
}

int CEditFeedback::SpeakCharacterDetail(const char* text, int interrupt) {
  StopIfInterrupting(interrupt);
  if (!IsCharacterStart(static_cast<uint8_t>(text[0])))
    return CueInsteadOfSpeech(kCueWarning, interrupt);
  SpeakCharGuide(text, kGuideDetailed);
  return 0;
}

int CEditFeedback::SpeakCharacterCodes(const char* text, int interrupt) {
  const auto first = static_cast<uint8_t>(text[0]);
  if (!IsCharacterStart(first) && first != kTab && first != kFormFeedByte &&
      first != kCarriageReturnByte) {
    return CueInsteadOfSpeech(kCueWarning, interrupt);
  }
  SpeakText(phrases::kJisCode, kFeedbackMode, kFeedbackFlag);
  SpeakCharGuide(text, kGuideJisCode);
  SpeakText(phrases::kShiftJisCode, kFeedbackMode, kFeedbackFlag);
  SpeakCharGuide(text, kGuideShiftJisCode);
  return 0;
}

int CEditFeedback::Cue(int id, int interrupt, int flags) {
  if (options_.soundOn == 0) return 0;
  if (const platform::LRESULT reply =
          SendToHook(WM_FEEDBACK_CUE, static_cast<platform::WPARAM>(id), 0);
      reply != 0) {
    return static_cast<int>(reply);
  }
  if (interrupt == 0) WaitBeforeCue();
  const CueRoute* route = FindRoute(id);
  if (route == nullptr || (route->gate != 0 && !HasBeep(route->gate))) return 0;
  if (route->sound == kNoSound) return PlayReaderBeep(route->beepKind, route->beepLength, 0);
  return GlobalSoundPlayer().Play(route->sound, interrupt, flags);
}

void CEditFeedback::StopSound() { GlobalSoundPlayer().StopSound(); }

void CEditFeedback::SetHookWindow(platform::HWND window) { hookWindow_ = window; }

void CEditFeedback::SetHookFlags(uint32_t flags) { hookFlags_ = flags; }

platform::LRESULT CEditFeedback::SendToHook(platform::UINT message, platform::WPARAM wParam,
                                            platform::LPARAM lParam) {
  if (hookWindow_ == platform::kNoWindow) return 0;
  const bool offered = (message == WM_FEEDBACK_SPEAK && (hookFlags_ & kHookSpeech) != 0) ||
                       (message == WM_FEEDBACK_CUE && (hookFlags_ & kHookCues) != 0);
  return offered ? platform::SendMessage(hookWindow_, message, wParam, lParam) : 0;
}
