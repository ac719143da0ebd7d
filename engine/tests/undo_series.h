// Seeded random series of editing commands for the undo invariant: each
// step is drawn before it is carried out, so that a failing series can be
// replayed and cut down step by step.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "long_japanese_text.h"
#include "series_generator.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {

using Bytes = std::vector<uint8_t>;

// The history keeps fifty steps each way; a series stays below that.
constexpr int kEditsPerSeries = 30;
constexpr int kReplayLimit = 200;
constexpr uint32_t kTextActions = 10;
constexpr uint32_t kTableActions = 4;

// What a series starts from and draws its steps from: three short lines,
// the same with a table, or a long generated Japanese text on a page of
// forty characters by forty lines.
enum class SeriesKind { kPlain, kTable, kLongText };

// About twelve pages of the long text, so that a series runs in a few
// milliseconds and still edits paragraphs of many lines.
constexpr uint32_t kLongTextCharacters = 20000;
constexpr int32_t kLongTextPages = 10;
constexpr uint32_t kMoveTimes = 3;
// The default page: A4, forty double-byte characters by forty lines.
constexpr int32_t kDefaultPageChars = 40;
constexpr int32_t kDefaultPageLines = 40;

inline DocStyle DefaultPageStyle() {
  DocStyle style = TestStyle();
  style.textAreaTwips.right = style.textAreaTwips.left + kDefaultPageChars * kWide;
  style.textAreaTwips.bottom = style.textAreaTwips.top + kDefaultPageLines * kLinePitch;
  style.textWidth = kDefaultPageChars * kWide;
  style.textHeight = kDefaultPageLines * kLinePitch;
  return style;
}

// One step of a series, drawn before it is carried out, so that a failing
// series can be replayed and cut down step by step.
struct Action {
  enum Kind {
    kType,
    kMove,
    kExtend,
    kDelete,
    kBackspace,
    kCut,
    kPaste,
    kOverwrite,
    kUnderline,
    kTable,
    kGoTo
  };
  Kind kind{};
  std::string text{};  // what is typed
  int code = 0;        // the move or table command
  uint32_t times = 1;
  PageLineColumn place{};  // where a go-to puts the caret
};

inline std::string DrawnText(Series& series, const char* const* pieces, size_t count) {
  std::string text;
  const uint32_t length = 1 + series.Next(4);
  for (uint32_t i = 0; i < length; ++i) text += pieces[series.Next(static_cast<uint32_t>(count))];
  return text;
}

// Long text is typed into with its own punctuation too, so that what is
// typed meets the line-breaking rules.
inline std::string TypedText(Series& series, SeriesKind kind) {
  static const char* const kPieces[] = {"\x82\xA0", "\x82\xA2", "\x8C\xEA", "A", "b", "\r"};
  static const char* const kLongPieces[] = {"\x82\xA0", "\x8C\xEA", "b",        "\r",
                                            kComma,     kFullStop,  kOpenQuote, kCloseParen};
  if (kind == SeriesKind::kLongText) return DrawnText(series, kLongPieces, std::size(kLongPieces));
  return DrawnText(series, kPieces, std::size(kPieces));
}

// Long text is also moved through by paragraphs.
inline Action MoveAction(Series& series, Action::Kind kind, SeriesKind seriesKind) {
  static const int kCodes[] = {kMovePrevChar, kMoveNextChar,  kMoveLineUp,
                               kMoveLineDown, kMoveLineStart, kMoveLineEnd};
  static const int kLongCodes[] = {kMovePrevChar,       kMoveNextChar,     kMoveLineUp,
                                   kMoveLineDown,       kMoveLineStart,    kMoveLineEnd,
                                   kMoveParagraphStart, kMoveParagraphEnd, kMoveNextParagraph,
                                   kMovePrevParagraph};
  Action action{kind};
  action.code = seriesKind == SeriesKind::kLongText ? kLongCodes[series.Next(std::size(kLongCodes))]
                                                    : kCodes[series.Next(std::size(kCodes))];
  action.times = 1 + series.Next(kMoveTimes);
  return action;
}

// A long series starts somewhere in the first pages of its text.
inline Action GoToAction(Series& series) {
  Action action{Action::kGoTo};
  action.place = {1 + static_cast<int32_t>(series.Next(kLongTextPages)),
                  1 + static_cast<int32_t>(series.Next(kDefaultPageLines)), 1};
  return action;
}

// Plain series draw from the text actions alone, so that a seed keeps its
// meaning; table series draw from the table actions too.
inline std::vector<Action> DrawSeries(uint32_t seed, SeriesKind kind) {
  const bool withTables = kind == SeriesKind::kTable;
  static const int kTableCodes[kTableActions] = {WPC_INSERT_ROW, WPC_INSERT_COLUMN, WPC_DELETE_ROW,
                                                 WPC_DELETE_COLUMN};
  Series series(seed);
  std::vector<Action> actions;
  if (kind == SeriesKind::kLongText) actions.push_back(GoToAction(series));
  for (int i = 0; i < kEditsPerSeries; ++i) {
    const uint32_t drawn = series.Next(withTables ? kTextActions + kTableActions : kTextActions);
    switch (drawn) {
      case 0:
      case 1:
        actions.push_back({Action::kType, TypedText(series, kind)});
        break;
      case 2:
        actions.push_back(MoveAction(series, Action::kMove, kind));
        break;
      case 3:
        actions.push_back(MoveAction(series, Action::kExtend, kind));
        break;
      case 4:
        actions.push_back({Action::kDelete});
        break;
      case 5:
        actions.push_back({Action::kBackspace});
        break;
      case 6:
        actions.push_back({Action::kCut});
        break;
      case 7:
        actions.push_back({Action::kPaste});
        break;
      case 8:
        actions.push_back({Action::kOverwrite, TypedText(series, kind)});
        break;
      case 9:
        actions.push_back({Action::kUnderline});
        break;
      default:
        actions.push_back({Action::kTable, "", kTableCodes[drawn - kTextActions]});
        break;
    }
  }
  return actions;
}

class UndoSeriesFixture : public WpCtrlFixture {
 protected:
  UndoSeriesFixture() { EXPECT_EQ(reloaded_.Start(), 1); }

  void Perform(const Action& action) {
    switch (action.kind) {
      case Action::kType:
        Type(action.text.c_str());
        break;
      case Action::kMove:
        for (uint32_t i = 0; i < action.times; ++i) engine.EditCommand(WPC_MOVE, action.code, 1);
        break;
      case Action::kExtend:
        for (uint32_t i = 0; i < action.times; ++i) {
          engine.EditCommand(WPC_MOVE_EXTEND, action.code, kCharacterWise);
        }
        break;
      case Action::kDelete:
        engine.EditCommand(WPC_DELETE, 1, 0);
        break;
      case Action::kBackspace:
        engine.EditCommand(WPC_BACKSPACE, 1, 0);
        break;
      case Action::kCut:
        engine.EditCommand(WPC_CUT, 1, 0);
        break;
      case Action::kPaste:
        engine.EditCommand(WPC_PASTE, 1, 0);
        break;
      case Action::kOverwrite:
        TypeOver(action.text.c_str());
        break;
      case Action::kUnderline:
        Underline();
        break;
      case Action::kTable:
        engine.TableCommand(action.code, 1, 0);
        break;
      case Action::kGoTo: {
        PageLineColumn place = action.place;
        engine.EditCommand(WPC_GOTO, 0, Pointer(&place));
        break;
      }
    }
  }

  int ReplayAll(int command, int canCommand) {
    int steps = 0;
    while (engine.EditCommand(canCommand, 0, 0) != 0 && steps < kReplayLimit) {
      engine.EditCommand(command, 0, 0);
      ++steps;
    }
    return steps;
  }

  // Two lines of text, a filled 2 x 2 table after the first, the caret in
  // the table's last cell.
  void MakeTable() {
    engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
    engine.EditCommand(WPC_MOVE, kMoveLineDown, 1);
    ASSERT_NE(engine.TableCommand(WPC_CREATE_TABLE, 1, (2 << 16) | 2), 0);
    const char* const cells[] = {"w", "\x82\xA9", "y", "z"};
    for (const char* cell : cells) {
      if (cell != cells[0]) engine.EditCommand(WPC_MOVE, kMoveNextCellOrLine, 1);
      Type(cell);
    }
  }

  // The start document of a series: short lines, with a table where asked,
  // or the long text of the seed on the default page, typed unrecorded.
  void MakeStart(SeriesKind kind, uint32_t seed) {
    if (kind == SeriesKind::kLongText) {
      DocStyle style = DefaultPageStyle();
      engine.StyleCommand(WPC_SET_DOCSTYLE, nullptr, &style);
      engine.DocumentCommand(WPC_NEW_DOCUMENT, 0, nullptr);
      engine.EditCommand(WPC_INSERT_TEXT, 0,
                         Text(LongJapaneseText(seed).Make(kLongTextCharacters).c_str()));
      return;
    }
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type("\x93\xFA\x96\x7B\x8C\xEA\r\x82\xA0\x82\xA2\x82\xA4\rABC");
    if (kind == SeriesKind::kTable) MakeTable();
  }

  // The document saved with its header, as a file would hold it.
  static Bytes Saved(CVedWpCtrl& from) {
    platform::CMemFile file;
    platform::CArchive archive(&file, platform::CArchive::kStore);
    EXPECT_EQ(from.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &archive), kWpcOk);
    archive.Close();
    return Bytes(file.Data(), file.Data() + file.GetLength());
  }

  // Whether the document saves to a stream that a second engine loads and
  // saves again to the same bytes: a saved document always opens again.
  bool ReloadsAsSaved() {
    Bytes saved = Saved(engine);
    platform::CMemFile file(saved.data(), saved.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    if (reloaded_.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader | kLoadRestoreCaret, &archive) !=
        kWpcOk) {
      return false;
    }
    return Saved(reloaded_) == saved;
  }

  enum class Verdict { kHolds, kHistoryNotEmpty, kReloadDiffers, kUndoDiffers, kRedoDiffers };

  // Carries the series out from the start document: whether every
  // document it makes reloads as saved, undoing all of it gives back the
  // start and redoing all of it the end, byte for byte.
  Verdict Check(const std::vector<Action>& actions, SeriesKind kind, uint32_t seed) {
    MakeStart(kind, seed);
    // Something on the clipboard, so that a paste has content.
    engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
    engine.EditCommand(WPC_COPY, 0, 0);
    engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
    // The end of a series of formatted insertions empties the history:
    // the series starts from here.
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);
    if (engine.EditCommand(WPC_CAN_UNDO, 0, 0) != 0) return Verdict::kHistoryNotEmpty;
    const Bytes original = Content();

    for (const Action& action : actions) {
      Perform(action);
      if (!ReloadsAsSaved()) return Verdict::kReloadDiffers;
    }
    const Bytes edited = Content();
    const int undone = ReplayAll(WPC_UNDO, WPC_CAN_UNDO);
    if (undone >= kReplayLimit || Content() != original) return Verdict::kUndoDiffers;
    if (ReplayAll(WPC_REDO, WPC_CAN_REDO) != undone || Content() != edited) {
      return Verdict::kRedoDiffers;
    }
    return Verdict::kHolds;
  }

  void CheckSeed(uint32_t seed, SeriesKind kind = SeriesKind::kPlain) {
    EXPECT_EQ(Check(DrawSeries(seed, kind), kind, seed), Verdict::kHolds) << "seed " << seed;
  }

  // A second engine, to load what the first saves.
  CVedWpCtrl reloaded_;
};

}  // namespace doc_root_test
