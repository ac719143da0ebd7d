// The bridge to the screen reader's user library and the braille event
// module. Both are loaded by name and their entry points bound by name;
// each function here does nothing and answers 0 when its module or
// entry point is missing, so that the system runs silent without them.
//
// The module table is process-wide. Any thread may call the speaking
// functions, but modules are loaded and unloaded on the window thread
// only, and unloaded only after the threads that speak have stopped.
#pragma once

struct ReaderStatusCode {
  int category;
  int item;
};

// Set to 1 around the system's own guides, then restored.
inline constexpr ReaderStatusCode kOwnSpeechStatus{0x10001, 13};
// The reader's own speech switch.
inline constexpr ReaderStatusCode kReaderSpeechSwitch{0x10001, 28};
inline constexpr ReaderStatusCode kGuideStatus{0x10001, 6};
inline constexpr ReaderStatusCode kLineMoveStatus{0x10001, 7};
// Set to 2 around the speaking of stored text.
inline constexpr ReaderStatusCode kStoredTextStatus{0x10001, 9};
// Categories whose value is the whole setting.
inline constexpr int kForegroundCallbackStatus = 0x20001;
inline constexpr int kListChoiceStatus = 0x20002;
inline constexpr int kAboutBoxStatus = 0x20003;
inline constexpr int kCommandCallbackStatus = 0x20004;

// LoadReaderModules answers these bits.
inline constexpr int kReaderModuleMissing = 1;
inline constexpr int kBrailleModuleMissing = 2;

int LoadReaderModules();
int UnloadReaderModules();
void ResetReaderModules();  // frees everything and forgets the use count; for tests

int SetReaderStatus(int category, int itemOrValue, int value);
int GetReaderStatus(int category, int item, int unused);
int GetVoiceStatus();
int SpeakVoiceGuide(const char* text, int mode);
int SendReaderCommand(const char* name, int unused1, int unused2);
void SpeakText(const char* text, int mode, int flag);
void SpeakCharGuide(const char* text, int mode);
void StopSpeech();
int PlayReaderBeep(int kind, int length, int unused);
int GetReaderVersion();
int SetBrailleCommandFile(const char* path);
int SetBrailleKeyCommandFile(const char* path);
