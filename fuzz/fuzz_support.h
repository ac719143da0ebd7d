// What the loader targets share: the process state every input starts
// from, the page the model objects are laid out on, an engine with a new
// document, and an archive over the fuzzer's bytes.
//
// Every input gets fresh process-wide state, so that a finding replays
// from its input alone. A target's first input byte, where it has one,
// chooses how the rest is loaded; the seed maker writes it the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/doc_style.h"
#include "engine/wp_ctrl.h"
#include "model/doc_object.h"
#include "model/font_table.h"
#include "model/page_format.h"
#include "model/renderer.h"
#include "platform/archive.h"
#include "platform/clock.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/sound.h"
#include "platform/synthetic_fonts.h"
#include "speech/edit_feedback.h"

namespace lexora_fuzz {

// The synthetic fixed face at 12 points with a gap of 10 twips: a single
// byte advances 130 twips, a double byte 260, a line is 350 high.
inline constexpr int32_t kPitch = 130;
inline constexpr int32_t kWide = 260;
inline constexpr int32_t kCharGap = 10;
inline constexpr int32_t kLineGap = 20;
inline constexpr int32_t kLinePitch = 350;

// A clock that never waits, a silent sound device and the synthetic fonts,
// with the font tables, reader modules, cue player, windows and clipboard
// reset on the way in and out.
class Process {
 public:
  Process();
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

 private:
  static void Reset();

  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::SilentAudioBackend audio_;
  platform::ScopedAudioBackend scopedAudio_{audio_};
  platform::ScopedFontService scopedFonts_;
};

// The page a body text or a container of `wideCharsPerLine` double-byte
// characters a line is laid out on; a `textHeight` of -1 is unbounded.
PageFormat MakePageFormat(platform::HDC dc, int32_t wideCharsPerLine, int32_t textHeight,
                          int32_t cellFlag = 0);

// The page style an engine's new document gets: ten double-byte
// characters a line, twenty lines a page, numbered pages.
DocStyle MakeDocStyle();

// A renderer over the synthetic fonts and a feedback object, for model
// objects that live outside a document root. Constructed after a Process.
class ModelWorld {
 public:
  explicit ModelWorld(int32_t wideCharsPerLine = 10, int32_t textHeight = -1, int32_t cellFlag = 0);
  ModelWorld(const ModelWorld&) = delete;
  ModelWorld& operator=(const ModelWorld&) = delete;

  // Binds an object as a container binds its children: renderer, reference
  // DC, options, typing format and page.
  void Prepare(CDocObject& object, const DocObjOptions& options);
  CDocRenderer& renderer() { return renderer_; }

  PageFormat format;
  CEditFeedback feedback;

 private:
  CFontTable table_;
  CDocRenderer renderer_{table_};
  platform::UniqueDC dc_;
};

// A started engine with a new document in MakeDocStyle. Constructed
// after a Process.
class Engine {
 public:
  Engine();
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  CVedWpCtrl& operator*() { return engine_; }
  CVedWpCtrl* operator->() { return &engine_; }

  void Type(const char* text);
  void Move(int command, int count = 1);
  void MoveExtend(int command, int count = 1);
  // A table of the size at the caret.
  void CreateTable(int rows, int columns);
  // The document written by a store command; empty when it failed.
  std::vector<uint8_t> Write(int code, int flags);
  // After a load: the document is stored, read as text, walked, edited and
  // painted, so that damage a load left behind shows.
  void Exercise();

 private:
  CVedWpCtrl engine_;
};

// A loading archive over a copy of the bytes, which the loader may read
// but never write or pass.
class InputArchive {
 public:
  explicit InputArchive(std::span<const uint8_t> bytes);
  InputArchive(const InputArchive&) = delete;
  InputArchive& operator=(const InputArchive&) = delete;

  platform::CArchive& operator*() { return archive_; }
  platform::CArchive* operator->() { return &archive_; }

 private:
  std::vector<uint8_t> bytes_;
  platform::CMemFile file_;
  platform::CArchive archive_;
};

// The whole range an object stores in a form; empty when it failed.
std::vector<uint8_t> StoreObject(CDocObject& object, int tag, int mode);

// The process's own clipboard format and the bytes put there under it.
void PutOnClipboard(uint32_t format, std::span<const uint8_t> bytes);
uint32_t OwnClipboardFormat();
std::vector<uint8_t> ClipboardBytes(uint32_t format);

}  // namespace lexora_fuzz
