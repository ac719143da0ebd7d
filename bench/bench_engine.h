// A started editing engine for the benchmarks, set up the way the engine
// tests set theirs up (a clock that never waits, no sound device, clean
// process-wide state, a window that takes every notification), but with
// an A4 page of 40 characters by 40 lines of 10.5-point ＭＳ 明朝, the
// face the installed IPA Mincho font stands in for. Where that font is
// missing the synthetic fixed-pitch face takes its place, and the
// benchmark labels say so. The engine is driven only by its commands.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bench_document.h"
#include "engine/doc_style.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"
#include "model/font_table.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/font_service.h"
#include "platform/sound.h"
#include "platform/synthetic_fonts.h"
#include "platform/texts.h"
#include "platform/window_message.h"
#include "speech/reader_bridge.h"
#include "speech/sound_player.h"

namespace bench {

inline void ResetProcessState() {
  ResetFontTables();
  ResetReaderModules();
  ResetGlobalSoundPlayer();
  platform::ResetWindowMessages();
}

// What the whole benchmark program runs under.
class BenchEnvironment {
 public:
  BenchEnvironment() {
    ResetProcessState();
    if (platform::FindFace(platform::CurrentFontService(), platform::kFaceMsMincho) == nullptr) {
      useSynthetic_ = std::make_unique<platform::ScopedFontService>(synthetic_);
    }
  }
  ~BenchEnvironment() {
    useSynthetic_.reset();
    ResetProcessState();
  }
  BenchEnvironment(const BenchEnvironment&) = delete;
  BenchEnvironment& operator=(const BenchEnvironment&) = delete;

  bool HostFonts() const { return useSynthetic_ == nullptr; }
  const char* FaceName() const {
    return HostFonts() ? platform::kFaceMsMincho : platform::kSyntheticFixedFace;
  }
  const char* FontLabel() const { return HostFonts() ? "IPAMincho" : "synthetic-fixed"; }

 private:
  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::SilentAudioBackend audio_;
  platform::ScopedAudioBackend scopedAudio_{audio_};
  platform::SyntheticFontService synthetic_;
  std::unique_ptr<platform::ScopedFontService> useSynthetic_;
};

// A4 portrait with 20 mm margins at 96 dpi; the pitch rule spreads 40
// double-byte characters over the text width and 40 lines over its
// height.
inline DocStyle BenchStyle(const char* face) {
  DocStyle s;
  s.paperWidth = 2100;
  s.paperHeight = 2970;
  s.textAreaTenthMm = {200, 200, 1900, 2770};
  s.textAreaTwips = {1134, 1134, 10772, 15704};
  s.textWidth = 9638;
  s.textHeight = 14570;
  s.resolutionX = s.resolutionY = 96;
  std::strncpy(s.face, face, sizeof s.face - 1);
  s.fontSize = 105;
  s.heightScale = s.widthScale = 100;
  s.lineStartRule = s.lineEndRule = -1;
  std::strcpy(s.lineStartChars, kLineStartForbidden);
  std::strcpy(s.lineEndChars, kLineEndForbidden);
  s.tabInterval = 4;
  // The pitch rule counts half-width columns and measures the base font
  // as the view layer does, realised at the style's resolutions.
  FontInfo font;
  int32_t realized = -1;
  const uint32_t key = MakeFontKey(s.heightScale, s.widthScale, MakeSizeWord(s.fontSize, 0, 0));
  if (ViewFontTable().GetFontEntry(s.resolutionX, s.resolutionY, s.face, key, &realized, 0) ==
          nullptr ||
      ViewFontTable().GetEntryMetrics(realized, &font, nullptr) == nullptr) {
    font.lineHeight = 210;  // what a 10.5-point line would be
    font.descent = 25;
  }
  ApplyPitchRule(s, 2 * kCharsPerLine, kLinesPerPage, font.lineHeight, font.descent);
  s.orientation = 1;
  return s;
}

// The whole of a benchmark program's main: runs the benchmarks the
// command line names under one environment, which `current` points to
// meanwhile; `beforeTeardown` runs after them, while the environment's
// fonts and clock are still there.
template <typename Teardown>
int RunBenchmarkProgram(int argc, char** argv, BenchEnvironment*& current,
                        Teardown beforeTeardown) {
  BenchEnvironment environment;
  current = &environment;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::AddCustomContext("font", environment.FontLabel());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  beforeTeardown();
  current = nullptr;
  return 0;
}

class BenchEngine {
 public:
  explicit BenchEngine(const DocStyle& style)
      : window_(platform::CreateWindowHandle(
            [this](platform::HWND, platform::UINT, platform::WPARAM, platform::LPARAM) {
              ++messages_;
              return platform::LRESULT{0};
            })),
        engine_(std::make_unique<CVedWpCtrl>()) {
    started_ = engine_->Start() == 1;
    DocStyle copy = style;
    engine_->StyleCommand(WPC_SET_DOCSTYLE, nullptr, &copy);
    started_ = started_ && engine_->DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr) == kWpcOk;
    engine_->NotifyCommand(WPC_SET_NOTIFY_WINDOW, window_);
    engine_->NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
  }
  ~BenchEngine() {
    // The engine goes before the window it tells.
    engine_.reset();
    platform::DestroyWindow(window_);
  }
  BenchEngine(const BenchEngine&) = delete;
  BenchEngine& operator=(const BenchEngine&) = delete;

  bool Started() const { return started_; }
  CVedWpCtrl& engine() { return *engine_; }
  int64_t Messages() const { return messages_; }

  static intptr_t Text(const char* text) { return reinterpret_cast<intptr_t>(text); }
  template <typename Record>
  static intptr_t Pointer(Record* record) {
    return reinterpret_cast<intptr_t>(record);
  }

  // Types `text` with the given undo direction (0 records nothing).
  void Type(const char* text, int direction = 1) {
    engine_->EditCommand(WPC_INSERT_TEXT, direction, Text(text));
  }
  // Types the paragraphs one by one, each but the last with its end,
  // recording nothing for undo.
  void TypeDocument(const BenchDocument& document) {
    std::string chunk;
    for (size_t i = 0; i < document.paragraphs.size(); ++i) {
      chunk = document.paragraphs[i];
      if (i + 1 < document.paragraphs.size()) chunk += '\r';
      if (!chunk.empty()) Type(chunk.c_str(), 0);
    }
  }
  void Move(int code, intptr_t count = 1) { engine_->EditCommand(WPC_MOVE, code, count); }
  void GoTo(PageLineColumn where) { engine_->EditCommand(WPC_GOTO, 0, Pointer(&where)); }
  // Extends a selection from the caret by characters.
  void GoToExtending(PageLineColumn where) {
    engine_->EditCommand(WPC_GOTO_EXTEND, 1, Pointer(&where));
  }
  void Undo() { engine_->EditCommand(WPC_UNDO, 0, 0); }
  void Delete(int direction = 1) { engine_->EditCommand(WPC_DELETE, direction, 0); }
  void Backspace(int direction = 1) { engine_->EditCommand(WPC_BACKSPACE, direction, 0); }
  int32_t Pages() { return engine_->EditCommand(WPC_GET_PAGE_COUNT, 0, 0); }
  bool HasSelection() { return engine_->EditCommand(WPC_HAS_SELECTION, 0, 0) != 0; }
  // The selected text as it would be typed: paragraphs ended by CR alone.
  std::string SelectedText() {
    std::vector<char> buffer(1 << 20);
    engine_->EditCommand(WPC_GET_RANGE_TEXT, static_cast<intptr_t>(buffer.size()),
                         Pointer(buffer.data()));
    std::string text;
    for (const char* at = buffer.data(); *at != '\0'; ++at) {
      if (at[0] == '\r' && at[1] == '\n') continue;
      text += *at == '\n' ? '\r' : *at;
    }
    return text;
  }
  PageLineColumn Caret() {
    LocationRecord record;
    engine_->EditCommand(WPC_GET_LOCATION, 0, Pointer(&record));
    return record.caret;
  }

  // The whole document with its header, as the engine saves it.
  bool Save(platform::CMemFile& file) {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    const int result = engine_->DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive);
    archive.Close();
    return result == kWpcOk;
  }
  std::vector<uint8_t> SavedBytes() {
    platform::CMemFile file;
    if (!Save(file)) return {};
    return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
  }
  // Reads a saved document in place of the present one; the bytes are
  // only read.
  bool Load(std::vector<uint8_t>& saved) {
    platform::CMemFile file(saved.data(), saved.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return engine_->DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader | kLoadRestoreCaret, &archive) ==
           kWpcOk;
  }
  // Reads plain Shift-JIS text in place of the present document; the
  // bytes are only read.
  bool LoadPlainText(std::string& text) {
    platform::CMemFile file(reinterpret_cast<uint8_t*>(text.data()), text.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return engine_->DocumentCommand(WPC_LOAD_DOCUMENT, CDocBunsObj::kStreamPlainText, &archive) ==
           kWpcOk;
  }
  // The document as plain Shift-JIS text, paragraphs ended by CR LF.
  std::string PlainText() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      engine_->DocumentCommand(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText, &archive);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

 private:
  platform::HWND window_;
  int64_t messages_ = 0;
  bool started_ = false;
  std::unique_ptr<CVedWpCtrl> engine_;
};

}  // namespace bench
