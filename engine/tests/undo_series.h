// Seeded random series of editing commands for the undo invariant: each
// step is drawn before it is carried out, so that a failing series can be
// replayed and cut down step by step.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wp_ctrl_fixture.h"

namespace doc_root_test {

using Bytes = std::vector<uint8_t>;

// The history keeps fifty steps each way; a series stays below that.
constexpr int kEditsPerSeries = 30;
constexpr int kReplayLimit = 200;
constexpr uint32_t kTextActions = 10;
constexpr uint32_t kTableActions = 4;

// A small, fixed generator, so that a seed means the same series anywhere.
class Series {
 public:
  explicit Series(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

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
    kTable
  };
  Kind kind{};
  std::string text{};  // what is typed
  int code = 0;        // the move or table command
  uint32_t times = 1;
};

inline std::string TypedText(Series& series) {
  static const char* const kPieces[] = {"\x82\xA0", "\x82\xA2", "\x8C\xEA", "A", "b", "\r"};
  std::string text;
  const uint32_t count = 1 + series.Next(4);
  for (uint32_t i = 0; i < count; ++i) text += kPieces[series.Next(std::size(kPieces))];
  return text;
}

inline Action MoveAction(Series& series, Action::Kind kind) {
  static const int kCodes[] = {kMovePrevChar, kMoveNextChar,  kMoveLineUp,
                               kMoveLineDown, kMoveLineStart, kMoveLineEnd};
  Action action{kind};
  action.code = kCodes[series.Next(std::size(kCodes))];
  action.times = 1 + series.Next(3);
  return action;
}

// Plain series draw from the text actions alone, so that a seed keeps its
// meaning; table series draw from the table actions too.
inline std::vector<Action> DrawSeries(uint32_t seed, bool withTables) {
  static const int kTableCodes[kTableActions] = {WPC_INSERT_ROW, WPC_INSERT_COLUMN, WPC_DELETE_ROW,
                                                 WPC_DELETE_COLUMN};
  Series series(seed);
  std::vector<Action> actions;
  for (int i = 0; i < kEditsPerSeries; ++i) {
    const uint32_t drawn = series.Next(withTables ? kTextActions + kTableActions : kTextActions);
    switch (drawn) {
      case 0:
      case 1:
        actions.push_back({Action::kType, TypedText(series)});
        break;
      case 2:
        actions.push_back(MoveAction(series, Action::kMove));
        break;
      case 3:
        actions.push_back(MoveAction(series, Action::kExtend));
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
        actions.push_back({Action::kOverwrite, TypedText(series)});
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

  // Whether the document, saved whole and opened again, is the same stream:
  // a document that saves but never reopens is lost.
  bool ReopensAsItIs() {
    const Bytes before = Content();
    platform::CMemFile out;
    {
      platform::CArchive writing(&out, platform::CArchive::kStore);
      if (engine.DocumentCommand(WPC_SAVE_DOCUMENT, kLoadHeader, &writing) != kWpcOk) return false;
      writing.Close();
    }
    Bytes saved(out.Data(), out.Data() + out.GetLength());
    platform::CMemFile in(saved.data(), saved.size());
    platform::CArchive reading(&in, platform::CArchive::kLoad);
    return engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &reading) == kWpcOk &&
           Content() == before;
  }

  // Carries the series out from the start document; false where undoing
  // all of it or redoing all of it does not give back the bytes it should,
  // or where the edited document does not reopen as it was.
  bool Holds(const std::vector<Action>& actions, bool withTable) {
    engine.DocumentCommand(WPC_CLEAR_DOCUMENT, 0, nullptr);
    Type("\x93\xFA\x96\x7B\x8C\xEA\r\x82\xA0\x82\xA2\x82\xA4\rABC");
    if (withTable) MakeTable();
    // Something on the clipboard, so that a paste has content.
    engine.EditCommand(WPC_MOVE, kMoveDocumentStart, 1);
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
    engine.EditCommand(WPC_MOVE_EXTEND, kMoveNextChar, kCharacterWise);
    engine.EditCommand(WPC_COPY, 0, 0);
    engine.EditCommand(WPC_CLEAR_SELECTION, 0, 0);
    // The end of a series of formatted insertions empties the history:
    // the series starts from here.
    engine.EditCommand(WPC_INSERT_FORMATTED, 0, 0);
    if (engine.EditCommand(WPC_CAN_UNDO, 0, 0) != 0) return false;
    const Bytes original = Content();

    for (const Action& action : actions) Perform(action);
    const Bytes edited = Content();
    const int undone = ReplayAll(WPC_UNDO, WPC_CAN_UNDO);
    if (undone >= kReplayLimit || Content() != original) return false;
    return ReplayAll(WPC_REDO, WPC_CAN_REDO) == undone && Content() == edited && ReopensAsItIs();
  }

  void CheckSeed(uint32_t seed, bool withTable = false) {
    EXPECT_TRUE(Holds(DrawSeries(seed, withTable), withTable)) << "seed " << seed;
  }
};

}  // namespace doc_root_test
