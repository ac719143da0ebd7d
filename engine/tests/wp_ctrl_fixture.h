// A started engine with a new document laid out in a style over the
// synthetic fixed-pitch face (ten double-byte characters a line, twenty
// lines a page), driven only through its dispatchers, with a recording
// window that receives the engine's and the document root's messages and
// the feedback object's speech and cues.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/wp_commands.h"
#include "engine/wp_ctrl.h"

namespace doc_root_test {

inline constexpr int32_t kStyleCharsPerLine = 10;
inline constexpr int32_t kStyleLinesPerPage = 20;

inline DocStyle TestStyle() {
  DocStyle style;
  style.paperWidth = 2100;
  style.paperHeight = 2970;
  style.textAreaTenthMm = {200, 300, 1900, 2700};
  style.textAreaTwips = {1134, 1701, 1134 + kStyleCharsPerLine * kWide,
                         1701 + kStyleLinesPerPage * kLinePitch};
  style.textWidth = kStyleCharsPerLine * kWide;
  style.textHeight = kStyleLinesPerPage * kLinePitch;
  style.resolutionX = style.resolutionY = 96;
  std::strcpy(style.face, platform::kSyntheticFixedFace);
  style.fontSize = 120;
  style.heightScale = style.widthScale = 100;
  style.lineStartRule = style.lineEndRule = -1;
  std::strcpy(style.lineStartChars, text_test::kStartList);
  std::strcpy(style.lineEndChars, text_test::kEndList);
  style.tabInterval = 4;
  style.charGap = text_test::kGap;
  style.lineGap = text_test::kLineGap;
  style.charPitch = kPitch;
  style.linePitch = kLinePitch;
  style.orientation = 1;
  return style;
}

// A 16-byte signature of the stored forms: the text, the byte 0x1A, zeros.
inline std::vector<uint8_t> SignatureField(std::string_view text) {
  std::vector<uint8_t> field(text.begin(), text.end());
  field.push_back(0x1A);
  field.resize(16, 0);
  return field;
}

class WpCtrlFixture : public ::testing::Test {
 protected:
  WpCtrlFixture() {
    EXPECT_EQ(engine.Start(), 1);
    DocStyle style = TestStyle();
    engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
    EXPECT_EQ(engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr), kWpcOk);
    engine.NotifyCommand(WPC_SET_NOTIFY_WINDOW, window.handle());
    engine.NotifyCommand(WPC_SET_NOTIFY_MASK, -1);
    window.Clear();
  }

  CDocBunsObj& root() { return *engine.DocumentRoot(); }

  // A Shift-JIS string as the value argument of an editing command.
  static intptr_t Text(const char* text) { return reinterpret_cast<intptr_t>(text); }
  template <typename Record>
  static intptr_t Pointer(Record* record) {
    return reinterpret_cast<intptr_t>(record);
  }

  // The whole document as plain Shift-JIS text, written by the engine.
  std::string DocumentText() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      EXPECT_EQ(
          engine.DocumentCommand(WPC_WRITE_BARE_CONTENT, CDocBunsObj::kStreamPlainText, &archive),
          kWpcOk);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  // The document as its own stream (the document-root form, no engine
  // header): what two documents must share to be the same.
  static std::vector<uint8_t> ContentOf(CVedWpCtrl& of) {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(of.DocumentCommand(WPC_WRITE_CONTENT, CDocBunsObj::kStreamOwnFormat, &archive),
              kWpcOk);
    archive.Close();
    return std::vector<uint8_t>(file.Data(), file.Data() + file.GetLength());
  }
  std::vector<uint8_t> Content() { return ContentOf(engine); }

  // Types text as the keyboard would, one command for the whole string.
  void Type(const char* text) { engine.EditCommand(WPC_INSERT_TEXT, 1, Text(text)); }
  // Types as in overwrite mode, then goes back to inserting.
  void TypeOver(const char* text) {
    SetInsertMode(0);
    Type(text);
    SetInsertMode(1);
  }
  void SetInsertMode(uint8_t insert) {
    DisplayOptionsRecord options;
    engine.EditCommand(WPC_GET_DISPLAY_OPTIONS, 0, Pointer(&options));
    options.options[2] = insert;
    engine.EditCommand(WPC_SET_DISPLAY_OPTIONS, 0, Pointer(&options));
  }

  // The argument of a selection-extending move that selects character by
  // character.
  static constexpr intptr_t kCharacterWise = 1;
  static constexpr int16_t kSingleUnderline = 17;

  // Underlines the selection with a single line, as one undoable edit.
  void Underline() {
    CharDecoration decoration;
    decoration.mask = kMaskUnderline;
    decoration.underline = kSingleUnderline;
    engine.EditCommand(WPC_SET_CHAR_DECORATION, 1, Pointer(&decoration));
  }

  LocationRecord Location(int which = 0) {
    LocationRecord record;
    engine.EditCommand(WPC_GET_LOCATION, which, Pointer(&record));
    return record;
  }

  TestEnvironment environment;
  RecordingWindow window;
  // Last, so that it stops before the window and fonts it uses go.
  CVedWpCtrl engine;
};

}  // namespace doc_root_test
