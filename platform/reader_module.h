// The entry points of the screen reader's user library ("vxtrusr.dll")
// and of the braille event module ("tovelusr.dll"): their names and the
// signatures under which they are bound. Modules export them with C
// linkage; entry points listed as "bound" are looked up but not called.
#pragma once

namespace platform::reader {

inline constexpr const char* kReaderModule = "vxtrusr.dll";
inline constexpr const char* kBrailleModule = "tovelusr.dll";

// Screen reader, in binding order.
inline constexpr const char* kSetStatus = "VXTRSetStatus";
inline constexpr const char* kGetStatus = "VXTRGetStatus";
inline constexpr const char* kGetVoiceStatus = "VXTRGetVStatus";
inline constexpr const char* kVoiceGuide = "VXTRVoiceGuide";
inline constexpr const char* kCommand = "VXTRCommand";
inline constexpr const char* kVoiceReset = "VXTRVReset";
inline constexpr const char* kStatus = "VXTRStatus";
inline constexpr const char* kBeep = "VXTRBeep";
inline constexpr const char* kGetVersion = "VXTRGetVersion";
inline constexpr const char* kEventHook = "VXTREventHook";
inline constexpr const char* kGetVoiceLog = "VXTRGetVoiceLog";
inline constexpr const char* kPlainRead = "VXTRPRead";
inline constexpr const char* kCharGuide = "VXTRCGuide";
inline constexpr const char* kPlainReadEx = "VXTRPReadEx";
inline constexpr const char* kCharGuideEx = "VXTRCGuideEx";
// Our own: the platform reads its windows to the reader (the outside
// reader found these out for itself). A focus reading stops what is being
// said; a value reading follows it.
inline constexpr const char* kReadWindow = "VXTRReadWindow";
inline constexpr int kReadFocus = 0;
inline constexpr int kReadValue = 1;

// Braille event module, in binding order.
inline constexpr const char* kCallEvents = "CallEvents";
inline constexpr const char* kSetBrailleCommand = "SetEventBrlCommand";
inline constexpr const char* kSetRoundCommand = "SetEventRoundCommand";
inline constexpr const char* kTovelStatus = "TovelStatus";
inline constexpr const char* kTovelSendCommand = "TovelSendCommand";
inline constexpr const char* kTovelGetStatus = "TovelGetStatus";
inline constexpr const char* kTovelSetStatus = "TovelSetStatus";

extern "C" {
using SetStatusFn = int (*)(int category, int item, int value);
using GetStatusFn = int (*)(int category, int item, int unused);
using GetVoiceStatusFn = int (*)();
using VoiceGuideFn = int (*)(const char* text, int mode);
using CommandFn = int (*)(const char* name, int unused1, int unused2);
using VoiceResetFn = void (*)();
using BeepFn = int (*)(int kind, int length, int unused);
using GetVersionFn = int (*)();
using PlainReadFn = void (*)(const char* text, int mode, int flag);
using CharGuideFn = void (*)(const char* text, int mode);
using BrailleFileFn = int (*)(const char* path);
using ReadWindowFn = void (*)(const char* text, int event);
// Entry points that are bound but never called share one opaque type.
using UncalledFn = void (*)();
}

}  // namespace platform::reader
