// The one object through which editing makes itself heard: texts and
// characters go to the screen reader, numbered cues to the sound-cue
// player or the reader's beeps, and an outside hook window may take
// over either first. Every document object speaks through the feedback
// object of its document root.
#pragma once

#include <cstdint>

#include "platform/window_message.h"

struct SpeechOptions {
  uint8_t speechOn = 1;  // 0: nothing is spoken through the feedback object
  uint8_t soundOn = 1;   // 0: no cue is played through it
  int32_t voiceMask = -1;
  int32_t beepMask = -1;
  bool operator==(const SpeechOptions&) const = default;
};

// The kind argument of CEditFeedback::Speak.
enum SpeechKind : int {
  kSpeechPlain = 1,
  kSpeechOwnGuide = 2,  // spoken with the reader's own-speech status set
  kSpeechCharacter = 101,
  kSpeechCharacterDetail = 102,
  kSpeechCharacterCodes = 103,
  kSpeechCharacterOther = 104,
  kSpeechShortText = 105,
  kSpeechDeletedCharacter = 106,
};

// The cue ids of CEditFeedback::Cue.
enum FeedbackCue : int {
  kCueRefused = 1,
  kCueNothingToDo = 2,
  kCueNoInput = 3,
  kCueCellGrew = 4,
  kCueCellShrank = 5,
  kCueHalfWidthSpace = 11,
  kCueFullWidthSpace = 12,
  kCueBlank = 13,
  kCueBlankAtTextEnd = 14,
  kCueLineChange = 21,
  kCueTableBottom = 22,
  kCueRowEnd = 23,
  kCueWarning = 81,
  kCueSecondWarning = 82,
  kCueError = 83,
  kCueReaderBeepShort = 91,
  kCueReaderBeepMedium = 92,
  kCueReaderBeepLong = 93,
};

// Beep-mask bits that gate cues.
inline constexpr int32_t kBeepSpaces = 0x2;
inline constexpr int32_t kBeepBlank = 0x4;
inline constexpr int32_t kBeepLineChange = 0x100;
inline constexpr int32_t kBeepTableBottom = 0x200;
inline constexpr int32_t kBeepRowEnd = 0x400;
inline constexpr int32_t kBeepCellGrew = 0x800;
inline constexpr int32_t kBeepCellShrank = 0x1000;

// Messages to the hook window; a nonzero reply means the hook handled it.
inline constexpr platform::UINT WM_FEEDBACK_SPEAK = 0x631;  // wParam kind, lParam text
inline constexpr platform::UINT WM_FEEDBACK_CUE = 0x632;    // wParam cue id, lParam 0
inline constexpr uint32_t kHookSpeech = 0x100000;
inline constexpr uint32_t kHookCues = 0x200000;

class CEditFeedback {
 public:
  // Speech and sound on, both masks -1, no hook; loads the cue sounds of
  // the global player from the "Media" folder of the Windows directory.
  CEditFeedback();
  virtual ~CEditFeedback();
  CEditFeedback(const CEditFeedback&) = delete;
  CEditFeedback& operator=(const CEditFeedback&) = delete;

  void SetSpeechOptions(const SpeechOptions& options);
  void GetSpeechOptions(SpeechOptions& options) const;
  int IsReaderSpeechOn() const;

  // Answers 0, or -1 when a cue replaced the speech.
  int Speak(int kind, const char* text, int interrupt, int wait);
  // Answers the player's, the beep's or the hook's result; 0 when
  // nothing was played.
  int Cue(int id, int interrupt, int flags);
  void StopSound();

  void SetHookWindow(platform::HWND window);
  void SetHookFlags(uint32_t flags);
  platform::LRESULT SendToHook(platform::UINT message, platform::WPARAM wParam,
                               platform::LPARAM lParam);

 private:
  int SpeakCharacter(const char* text, int interrupt);
  int SpeakCharacterDetail(const char* text, int interrupt);
  int SpeakCharacterCodes(const char* text, int interrupt);
  int CueInsteadOfSpeech(int cue, int interrupt);
  bool HasBeep(int32_t bit) const { return (options_.beepMask & bit) != 0; }

  SpeechOptions options_;
  platform::HWND hookWindow_ = platform::kNoWindow;
  uint32_t hookFlags_ = 0;
};
