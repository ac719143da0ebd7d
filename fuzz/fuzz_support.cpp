#include "fuzz_support.h"

#include <cstring>

#include "engine/caret_point.h"
#include "engine/texts.h"
#include "platform/clipboard.h"
#include "platform/global_memory.h"
#include "platform/window_message.h"
#include "speech/reader_bridge.h"
#include "speech/sound_player.h"

namespace lexora_fuzz {

namespace {

// Line-start-forbidden: 、。，．）」ー ゃ; line-end-forbidden: （「.
constexpr char kStartList[] = "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x6A\x81\x76\x81\x5B\x82\xE1";
constexpr char kEndList[] = "\x81\x69\x81\x75";

constexpr int32_t kCharsPerLine = 10;
constexpr int32_t kLinesPerPage = 20;

// The synthetic faces never change: one service serves every input.
platform::SyntheticFontService& SharedFonts() {
  static platform::SyntheticFontService* const fonts = new platform::SyntheticFontService;
  return *fonts;
}

}  // namespace

Process::Process() : scopedFonts_(SharedFonts()) { Reset(); }

Process::~Process() { Reset(); }

void Process::Reset() {
  ResetFontTables();
  ResetReaderModules();
  ResetGlobalSoundPlayer();
  platform::ResetWindowMessages();
  platform::ResetClipboard();
}

PageFormat MakePageFormat(platform::HDC dc, int32_t wideCharsPerLine, int32_t textHeight,
                          int32_t cellFlag) {
  PageFormat format;
  format.referenceDC = dc;
  format.resolutionX = format.resolutionY = 96;
  format.textWidth = wideCharsPerLine * kWide;
  format.textHeight = textHeight;
  std::strcpy(format.face, platform::kSyntheticFixedFace);
  format.fontSize = 120;
  format.heightScale = format.widthScale = 100;
  format.lineStartRule = format.lineEndRule = -1;
  std::strcpy(format.lineStartChars, kStartList);
  std::strcpy(format.lineEndChars, kEndList);
  format.tabInterval = 4 * kPitch;
  format.charGap = kCharGap;
  format.lineGap = kLineGap;
  format.charPitch = kPitch;
  format.linePitch = kLinePitch;
  format.cellFlag = cellFlag;
  return format;
}

DocStyle MakeDocStyle() {
  DocStyle style;
  style.paperWidth = 2100;
  style.paperHeight = 2970;
  style.textAreaTenthMm = {200, 300, 1900, 2700};
  style.textAreaTwips = {1134, 1701, 1134 + kCharsPerLine * kWide,
                         1701 + kLinesPerPage * kLinePitch};
  style.textWidth = kCharsPerLine * kWide;
  style.textHeight = kLinesPerPage * kLinePitch;
  style.resolutionX = style.resolutionY = 96;
  std::strcpy(style.face, platform::kSyntheticFixedFace);
  style.fontSize = 120;
  style.heightScale = style.widthScale = 100;
  style.lineStartRule = style.lineEndRule = -1;
  std::strcpy(style.lineStartChars, kStartList);
  std::strcpy(style.lineEndChars, kEndList);
  style.tabInterval = 4;
  style.charGap = kCharGap;
  style.lineGap = kLineGap;
  style.charPitch = kPitch;
  style.linePitch = kLinePitch;
  std::strcpy(style.pageNumbers.face, platform::kSyntheticFixedFace);
  style.pageNumbers.fontSize = 100;
  style.pageNumbers.heightScale = style.pageNumbers.widthScale = 100;
  style.pageNumbers.area = {1134, 15600, 1134 + kCharsPerLine * kWide, 16000};
  style.pageNumbers.shown = 1;
  style.pageNumbers.firstNumber = 1;
  style.pageNumbers.style = 3;
  style.orientation = 1;
  return style;
}

ModelWorld::ModelWorld(int32_t wideCharsPerLine, int32_t textHeight, int32_t cellFlag)
    : dc_(platform::CreateImageDC(64, 64, 96, 96)) {
  format = MakePageFormat(dc_.get(), wideCharsPerLine, textHeight, cellFlag);
  renderer_.SetPageFormat(format);
}

void ModelWorld::Prepare(CDocObject& object, const DocObjOptions& options) {
  object.Initialize(&renderer_, &feedback);
  object.SetReferenceDC(format.referenceDC);
  object.SetOptions(&options);
  CharFormat typing;
  std::strcpy(typing.face, platform::kSyntheticFixedFace);
  typing.size = 120;
  typing.heightScale = typing.widthScale = 100;
  typing.mask = kMaskEveryField;
  object.SetCharFormat(&typing);
  object.SetPageFormat(&format);
}

Engine::Engine() {
  engine_.Start();
  DocStyle style = MakeDocStyle();
  engine_.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
  engine_.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
}

Engine::~Engine() { engine_.Stop(); }

void Engine::Type(const char* text) {
  engine_.EditCommand(WPC_INSERT_TEXT, 1, reinterpret_cast<intptr_t>(text));
}

void Engine::Move(int command, int count) { engine_.EditCommand(WPC_MOVE, command, count); }

void Engine::MoveExtend(int command, int count) {
  engine_.EditCommand(WPC_MOVE_EXTEND, command, count);
}

void Engine::CreateTable(int rows, int columns) {
  engine_.TableCommand(WPC_CREATE_TABLE, 1, (rows << 16) | columns);
}

std::vector<uint8_t> Engine::Write(int code, int flags) {
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    if (engine_.DocumentCommand(code, flags, &archive) != kWpcOk) return {};
    try {
      archive.Close();
    } catch (const std::exception&) {
      return {};
    }
  }
  return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
}

void Engine::Exercise() {
  Write(WPC_SAVE_DOCUMENT, kLoadHeader);
  Write(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText);
  Move(kMoveDocumentEnd);
  Move(kMovePrevChar, 3);
  Move(kMoveLineUp, 2);
  MoveExtend(kMoveDocumentStart);
  engine_.EditCommand(WPC_COPY, 1, 0);
  Move(kMoveNextParagraph, 2);
  Move(kMoveLineDown, 2);
  Type("x");
  engine_.EditCommand(WPC_BACKSPACE, 1, 0);
  engine_.EditCommand(WPC_UNDO, 0, 0);
  engine_.EditCommand(WPC_REDO, 0, 0);
  // The first pages painted whole, page numbers included.
  const platform::UniqueDC dc = platform::CreateImageDC(160, 220, 96, 96);
  for (int32_t page = 1; page <= 2; ++page) {
    CaretPoint request{{0, 0, 1 << 20, 1 << 20}, page};
    engine_.DisplayCommand(WPC_PAINT_PAGE, reinterpret_cast<intptr_t>(dc.get()), &request);
  }
}

InputArchive::InputArchive(std::span<const uint8_t> bytes)
    : bytes_(bytes.begin(), bytes.end()),
      file_(bytes_.data(), bytes_.size()),
      archive_(&file_, platform::CArchive::kLoad) {}

std::vector<uint8_t> StoreObject(CDocObject& object, int tag, int mode) {
  platform::CMemFile file;
  try {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    if (object.SerializeRange(archive, tag, mode, nullptr, nullptr, nullptr) < 0) return {};
    archive.Close();
  } catch (const std::exception&) {
    return {};
  }
  return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
}

uint32_t OwnClipboardFormat() { return platform::RegisterClipboardFormatA(kClipboardFormatName); }

void PutOnClipboard(uint32_t format, std::span<const uint8_t> bytes) {
  // The clipboard takes no empty block; one zero byte stands for nothing.
  const size_t size = bytes.empty() ? 1 : bytes.size();
  const platform::HGLOBAL block =
      platform::GlobalAlloc(platform::GMEM_MOVEABLE | platform::GMEM_ZEROINIT, size);
  if (block == platform::kNullGlobal) return;
  if (!bytes.empty()) {
    std::memcpy(platform::GlobalLock(block), bytes.data(), bytes.size());
    platform::GlobalUnlock(block);
  }
  platform::ScopedClipboard clipboard(platform::kNoWindow);
  if (!clipboard.IsOpen() || !platform::EmptyClipboard() ||
      platform::SetClipboardData(format, block) == platform::kNullGlobal) {
    platform::GlobalFree(block);
  }
}

std::vector<uint8_t> ClipboardBytes(uint32_t format) {
  platform::ScopedClipboard clipboard(platform::kNoWindow);
  if (!clipboard.IsOpen()) return {};
  const platform::HGLOBAL block = platform::GetClipboardData(format);
  const auto* data = static_cast<const uint8_t*>(platform::GlobalLock(block));
  if (data == nullptr) return {};
  std::vector<uint8_t> bytes(data, data + platform::GlobalSize(block));
  platform::GlobalUnlock(block);
  return bytes;
}

}  // namespace lexora_fuzz
