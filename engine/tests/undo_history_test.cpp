#include "engine/undo_history.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/edit_op_log.h"
#include "engine/texts.h"
#include "engine/wp_commands.h"
#include "platform/sjis.h"
#include "platform/window_message.h"
#include "speech/tests/speech_test_support.h"

namespace {

using speech_test::Hex;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

// Places are told apart by their page in the command log.
CaretPoint At(int32_t page) { return CaretPoint{{page, page * 10, page + 1, page * 10 + 9}, page}; }

std::string PageOf(intptr_t value) {
  return "p" + std::to_string(reinterpret_cast<const CaretPoint*>(value)->page);
}

// The engine as the records reach it: every command is written to a log
// ("code arg value", places by their page), the answers are set by the
// test, and a hook runs inside any command as the engine's own recording
// would.
class FakeEngine : public CVedUndoTarget {
 public:
  int DocumentCommand(int code, int flags, platform::CArchive* archive) override {
    char text[32];
    std::snprintf(text, sizeof text, "%d 0x%X", code, flags);
    log.push_back(text);
    inserted.clear();
    uint8_t byte = 0;
    while (archive->Read(&byte, 1) == 1) inserted.push_back(byte);
    return Run(code);
  }

  int EditCommand(int code, intptr_t arg, intptr_t value) override {
    switch (code) {
      case WPC_MOVE:
      case WPC_MOVE_EXTEND:
        log.push_back(std::to_string(code) + " " + std::to_string(arg) + " " +
                      (arg == 769 ? PageOf(value) : std::to_string(value)));
        break;
      case WPC_GET_RANGE_TEXT:
        log.push_back(std::to_string(code) + " " + std::to_string(arg));
        std::strcpy(reinterpret_cast<char*>(value), rangeText.c_str());
        break;
      case WPC_REQUEST_RECONVERT:
        log.push_back(std::to_string(code) + " " + reinterpret_cast<const char*>(value));
        Run(code);
        return reconvertReply;
      case WPC_SET_PARAGRAPH: {
        const auto* record = reinterpret_cast<const ParagraphLayoutRecord*>(value);
        log.push_back(std::to_string(code) + " " + std::to_string(arg) + " mask " +
                      std::to_string(record->mask) + " left " + std::to_string(record->leftIndent));
        break;
      }
      case WPC_REPLAY_TRANSFER: {
        log.push_back(std::to_string(code) + " " + std::to_string(arg));
        transfer = *reinterpret_cast<const TransferReplayRecord*>(value);
        inserted.clear();
        uint8_t byte = 0;
        while (transfer.archive->Read(&byte, 1) == 1) inserted.push_back(byte);
        break;
      }
      case WPC_HAS_SELECTION:
        log.push_back(std::to_string(code));
        return hasSelection;
      default:
        log.push_back(std::to_string(code) + " " + std::to_string(arg) + " " +
                      std::to_string(value));
        break;
    }
    return Run(code);
  }

  int FeedbackCommand(int code, int arg, void*) override {
    log.push_back(std::to_string(code) + " " + std::to_string(arg));
    Run(code);
    if (code != WPC_SET_SPEECH) return 0;
    const int previous = speech;
    speech = arg;
    return previous;
  }

  int NotifyCommand(int code, intptr_t arg) override {
    log.push_back(std::to_string(code) + " " + std::to_string(arg));
    return Run(code);
  }

  intptr_t TableCommand(int code, int arg, intptr_t value) override {
    switch (code) {
      case WPC_GET_TABLE_ATTRIBUTES:
        log.push_back(std::to_string(code));
        *reinterpret_cast<TableAttributeRecord*>(value) = currentAttributes;
        break;
      case WPC_SET_TABLE_ATTRIBUTES:
        log.push_back(std::to_string(code) + " " + std::to_string(arg));
        appliedAttributes = *reinterpret_cast<const TableAttributeRecord*>(value);
        break;
      default:
        // The column width comes as the value itself.
        log.push_back(std::to_string(code) + " " + std::to_string(arg) + " w" +
                      std::to_string(value));
        break;
    }
    return Run(code);
  }

  std::vector<std::string> log;
  std::vector<uint8_t> inserted;
  std::string rangeText;
  int reconvertReply = 0;
  int hasSelection = 0;
  TableAttributeRecord currentAttributes{};
  TableAttributeRecord appliedAttributes{};
  TransferReplayRecord transfer;
  std::function<void(int code)> hook;
  int speech = 1;  // the user's speech switch

 private:
  int Run(int code) {
    if (hook) hook(code);
    return 0;
  }
};

// A fragment as the document root writes it before an edit.
struct Fragment {
  explicit Fragment(const std::vector<uint8_t>& bytes) {
    holder.Open();
    holder.archive()->Write(bytes.data(), bytes.size());
  }
  EditDataHolder holder;
};

const std::vector<uint8_t> kFragmentBytes = {0xC0, 0x00, 0x41, 0x82, 0xA0, 0x0D};

std::string Sjis(const std::string& utf8) { return platform::Utf8ToSjis(utf8).value_or("?"); }

std::string Said(const std::string& text) { return "VXTRPRead " + Hex(text) + " 4 1"; }

class UndoHistoryTest : public speech_test::SpeechTest {
 protected:
  UndoHistoryTest() {
    EXPECT_EQ(LoadReaderModules(), 0);
    history_.Bind(&engine_);
  }

  // Records an operation with places first = page, second = page + 1 and
  // after = page + 2.
  void Add(int direction, int32_t kind, int32_t page, const EditOpValue& data = {},
           const ParagraphLayoutRecord* paragraph = nullptr) {
    const CaretPoint first = At(page);
    const CaretPoint second = At(page + 1);
    const CaretPoint after = At(page + 2);
    Fragment fragment(kFragmentBytes);
    history_.AddStep(direction, kind, &first, &second, &after, &fragment.holder, data, paragraph);
  }

  static std::vector<std::string> Frame(const std::vector<std::string>& inner) {
    std::vector<std::string> all = {"5003 0", "3005 0 0"};
    all.insert(all.end(), inner.begin(), inner.end());
    all.push_back("5003 1");
    return all;
  }

  // first..second selected without notifications.
  static std::vector<std::string> Selects(int32_t page) {
    return {"6003 0", "3001 769 p" + std::to_string(page), "3002 2305 1",
            "3002 769 p" + std::to_string(page + 1), "6003 -1"};
  }

  static std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  }

  speech_test::RecordingReader reader_;
  FakeEngine engine_;
  CVedUndoHistory history_;
};

// ---- Bookkeeping

TEST_F(UndoHistoryTest, DirectionChoosesTheListAndZeroRecordsNothing) {
  Add(1, kUndoDelete, 1);
  Add(-1, kUndoDelete, 2);
  Add(-1, kUndoDelete, 3);
  Add(0, kUndoDelete, 4);
  EXPECT_EQ(history_.undoList().Count(), 1u);
  EXPECT_EQ(history_.redoList().Count(), 2u);
  EXPECT_EQ(history_.redoList().records().front()->locations().first.page, 3);
  EXPECT_TRUE(history_.CanUndo());
  EXPECT_TRUE(history_.CanRedo());
  EXPECT_EQ(history_.undoList().direction(), -1);
  EXPECT_EQ(history_.redoList().direction(), 1);
}

TEST_F(UndoHistoryTest, KindsBuildTheirRecords) {
  const ParagraphLayoutRecord paragraph{.mask = 0x200, .leftIndent = 2};
  Add(1, kUndoDelete, 1);
  Add(1, kUndoDeleteTyped, 1);
  Add(1, kUndoDeleteTransfer, 1);
  Add(1, kUndoEdit, 1, {}, &paragraph);
  Add(1, kUndoEditMarked, 1);
  Add(1, kUndoEditTransfer, 1);
  Add(1, kUndoAllAttributes, 1);
  Add(1, kUndoParagraph, 1);
  Add(1, kUndoTableLayout, 1, EditOpValue::Of(TableAttributeRecord{}));
  Add(1, kUndoColumnWidth, 1, EditOpValue::Of(int32_t{7}));
  struct Built {
    int32_t kind;
    int32_t flags;
  };
  std::vector<Built> built;
  for (const auto& record : history_.undoList().records()) {
    built.insert(built.begin(), Built{record->kind(), record->flags()});
  }
  const std::vector<std::pair<int32_t, int32_t>> expected = {
      {kUndoDelete, 0},      {kUndoDelete, 1},     {kUndoDelete, 2},     {kUndoEdit, 0},
      {kUndoEdit, 1},        {kUndoEdit, 2},       {kUndoFormat, 0x700}, {kUndoFormat, 0x800},
      {kUndoTableLayout, 0}, {kUndoColumnWidth, 0}};
  ASSERT_EQ(built.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(built[i].kind, expected[i].first) << i;
    EXPECT_EQ(built[i].flags, expected[i].second) << i;
  }
  // The fourth record kept the paragraph layout, marked as given whole.
  auto it = history_.undoList().records().begin();
  std::advance(it, 6);
  const auto* edit = static_cast<const CVedUndoEdit*>(it->get());
  EXPECT_EQ(edit->paragraph().mask, -1);
  EXPECT_EQ(edit->paragraph().leftIndent, 2);
  EXPECT_EQ(edit->fragment(), kFragmentBytes);
}

TEST_F(UndoHistoryTest, KindsWithoutTheirDataOrUnknownRecordNothing) {
  Add(1, kUndoTableLayout, 1);
  Add(1, kUndoColumnWidth, 1);
  Add(1, 7, 1);
  Add(1, kUndoGroup, 1);
  EXPECT_FALSE(history_.CanUndo());
}

TEST_F(UndoHistoryTest, TheFiftyFirstStepDropsTheOldest) {
  for (int32_t page = 1; page <= 51; ++page) Add(1, kUndoDelete, page);
  ASSERT_EQ(history_.undoList().Count(), kUndoStepLimit);
  EXPECT_EQ(history_.undoList().records().front()->locations().first.page, 51);
  EXPECT_EQ(history_.undoList().records().back()->locations().first.page, 2);
}

TEST_F(UndoHistoryTest, AGroupCountsAsOneStepTowardsTheLimit) {
  for (int32_t page = 1; page <= 50; ++page) Add(1, kUndoDelete, page);
  history_.BeginGroup(1);
  Add(1, kUndoEdit, 100);
  Add(1, kUndoDelete, 101);
  history_.EndGroup(1);
  ASSERT_EQ(history_.undoList().Count(), kUndoStepLimit);
  EXPECT_EQ(history_.undoList().records().front()->kind(), kUndoGroup);
  EXPECT_EQ(history_.undoList().records().back()->locations().first.page, 2);
}

TEST_F(UndoHistoryTest, AGroupHoldsItsStepsNewestFirstAndAnEmptyOneIsDropped) {
  history_.BeginGroup(-1);
  Add(-1, kUndoEdit, 1);
  Add(-1, kUndoDelete, 2);
  EXPECT_FALSE(history_.CanRedo());
  history_.EndGroup(-1);
  ASSERT_EQ(history_.redoList().Count(), 1u);
  const auto* group =
      static_cast<const CVedUndoGroup*>(history_.redoList().records().front().get());
  ASSERT_EQ(group->Count(), 2u);
  EXPECT_EQ(group->records().front()->kind(), kUndoDelete);
  EXPECT_EQ(group->records().back()->kind(), kUndoEdit);

  history_.BeginGroup(1);
  history_.EndGroup(1);
  history_.BeginGroup(0);
  Add(0, kUndoDelete, 3);
  history_.EndGroup(0);
  EXPECT_FALSE(history_.CanUndo());
  EXPECT_EQ(history_.undoList().openGroup(), nullptr);
}

TEST_F(UndoHistoryTest, ANewEditEmptiesTheRedoList) {
  Add(-1, kUndoDelete, 1);
  Add(-1, kUndoDelete, 2);
  Add(1, kUndoDelete, 3);
  EXPECT_FALSE(history_.CanRedo());
  EXPECT_EQ(history_.undoList().Count(), 1u);
}

TEST_F(UndoHistoryTest, AnEditRecordedDuringARedoKeepsTheRedoList) {
  Add(-1, kUndoDelete, 1);
  Add(-1, kUndoDelete, 5);
  engine_.hook = [this](int code) {
    if (code != WPC_DELETE) return;
    EXPECT_EQ(history_.ReplayState(), CVedUndoHistory::kReplayingRedo);
    Add(1, kUndoEdit, 9);  // the inverse the engine records for the deletion
  };
  EXPECT_EQ(history_.Redo(), 1);
  EXPECT_EQ(history_.ReplayState(), CVedUndoHistory::kIdle);
  ASSERT_EQ(history_.redoList().Count(), 1u);
  EXPECT_EQ(history_.redoList().records().front()->locations().first.page, 1);
  ASSERT_EQ(history_.undoList().Count(), 1u);
  EXPECT_EQ(history_.undoList().records().front()->kind(), kUndoEdit);
}

TEST_F(UndoHistoryTest, ClearEmptiesBothListsAndAnOpenGroup) {
  Add(1, kUndoDelete, 1);
  Add(-1, kUndoDelete, 2);
  history_.BeginGroup(1);
  Add(1, kUndoDelete, 3);
  history_.Clear();
  history_.EndGroup(1);
  EXPECT_FALSE(history_.CanUndo());
  EXPECT_FALSE(history_.CanRedo());
}

// The steps the engine makes of one command's log: one record, or a group
// for several operations; the content leaves the log with the record.
TEST_F(UndoHistoryTest, ALoggedCommandBecomesOneStepThatOwnsItsContent) {
  CEditOpLog log;
  log.BeginGroup();
  EditDataHolder* holder = log.OpenDataArchive();
  ASSERT_NE(holder, nullptr);
  holder->archive()->Write(kFragmentBytes.data(), kFragmentBytes.size());
  log.AddOperation(kUndoEdit, nullptr, nullptr, nullptr, holder);
  log.AddOperation(kUndoDeleteTyped, nullptr, nullptr, nullptr, nullptr);
  log.EndGroup();

  const int32_t count = log.Rewind();
  const CaretPoint point = At(1);
  if (count > 1) history_.BeginGroup(1);
  while (EditOpRecord* operation = log.GetNext()) {
    history_.AddStep(1, operation->kind, &point, &point, nullptr, &operation->data,
                     operation->value);
    EXPECT_FALSE(operation->data.HasData());
  }
  if (count > 1) history_.EndGroup(1);
  log.Clear();

  ASSERT_EQ(history_.undoList().Count(), 1u);
  const auto* group =
      static_cast<const CVedUndoGroup*>(history_.undoList().records().front().get());
  ASSERT_EQ(group->kind(), kUndoGroup);
  ASSERT_EQ(group->Count(), 2u);
  const auto* edit = static_cast<const CVedUndoEdit*>(group->records().back().get());
  EXPECT_EQ(edit->fragment(), kFragmentBytes);
  EXPECT_EQ(group->records().front()->variant(), kUndoVariantTyped);

  // A single operation is a step of its own.
  log.BeginGroup();
  log.AddOperation(kUndoDelete, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(log.Rewind(), 1);
  const EditOpRecord* only = log.GetNext();
  history_.AddStep(1, only->kind, &point, &point, nullptr, nullptr, only->value);
  EXPECT_EQ(history_.undoList().Count(), 2u);
  EXPECT_EQ(history_.undoList().records().front()->kind(), kUndoDelete);
}

// ---- Steps

TEST_F(UndoHistoryTest, AStepOnAnEmptyListAnswersZeroAndSendsNothing) {
  EXPECT_EQ(history_.Undo(1), 0);
  EXPECT_EQ(history_.Redo(), 0);
  EXPECT_TRUE(engine_.log.empty());
  EXPECT_TRUE(reader_.Calls().empty());
}

TEST_F(UndoHistoryTest, UndoingADeletionSaysSoDeletesAndReturnsTheCaret) {
  Add(1, kUndoDelete, 1);
  EXPECT_EQ(history_.Undo(1), 1);
  EXPECT_THAT(engine_.log,
              ElementsAreArray(Frame(Join({Selects(1), {"5003 1", "3205 -1 0", "3001 769 p3"}}))));
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis("案ズー　削除"))));
  EXPECT_FALSE(history_.CanUndo());
}

TEST_F(UndoHistoryTest, AStepWithFlagZeroRecordsNoInverseAndSaysNothing) {
  Add(1, kUndoDelete, 1);
  EXPECT_EQ(history_.Undo(0), 1);
  EXPECT_THAT(engine_.log,
              ElementsAreArray(Frame(Join({Selects(1), {"3205 0 0", "3001 769 p3"}}))));
  EXPECT_TRUE(reader_.Calls().empty());
}

TEST_F(UndoHistoryTest, AReplayLeavesSpeechOffWhenTheUserHadItOff) {
  Add(1, kUndoDelete, 1);
  engine_.speech = 0;
  EXPECT_EQ(history_.Undo(1), 1);
  EXPECT_EQ(engine_.log.back(), "5003 0");
  EXPECT_EQ(engine_.speech, 0);
}

TEST_F(UndoHistoryTest, ARecordClearedAwayDuringItsOwnReplayFinishesSafely) {
  Add(1, kUndoDelete, 1);
  Add(-1, kUndoDelete, 4);
  engine_.hook = [this](int code) {
    if (code == WPC_DELETE) history_.Clear();
  };
  EXPECT_EQ(history_.Undo(1), 1);
  EXPECT_EQ(engine_.log.back(), "5003 1");
  EXPECT_FALSE(history_.CanUndo());
  EXPECT_FALSE(history_.CanRedo());
}

// ---- Typed text

TEST_F(UndoHistoryTest, TypedTextTakenForReconversionIsDeletedQuietly) {
  engine_.rangeText = "\x82\xA0";
  engine_.reconvertReply = 1;
  Add(1, kUndoDeleteTyped, 1);
  history_.Undo(1);
  EXPECT_THAT(engine_.log,
              ElementsAreArray(Frame(
                  Join({Selects(1), {"3401 256", "3208 -1 0", "3001 769 p3", "3217 \x82\xA0"}}))));
  EXPECT_TRUE(reader_.Calls().empty());
}

struct TypedWaitCase {
  const char* name;
  int speakingPolls;  // how long the reader speaks the prefix
  bool keyPressed;
  bool textSpoken;
  bool speechTurnedOff;
};

class TypedTextWait : public UndoHistoryTest,
                      public ::testing::WithParamInterface<TypedWaitCase> {};

TEST_P(TypedTextWait, TheDeletedTextFollowsOnlyWhenThePrefixWasHeardOut) {
  const TypedWaitCase& c = GetParam();
  engine_.rangeText = "ab";
  Add(1, kUndoDeleteTyped, 1);
  reader_.SetSpeaking(0, c.speakingPolls);
  if (c.keyPressed) platform::PostThreadMessage(platform::WM_KEYDOWN, 0x41, 0);
  history_.Undo(1);

  std::vector<std::string> said = {Said(Sjis("案ズー　削除"))};
  if (c.keyPressed) said.push_back("VXTRVReset");
  if (c.textSpoken) said.push_back(Said("ab"));
  EXPECT_THAT(reader_.Calls(), ElementsAreArray(said));
  std::vector<std::string> tail = {"3217 ab", "5003 1"};
  if (c.speechTurnedOff) tail.push_back("5003 0");
  tail.push_back("5003 1");
  EXPECT_THAT(std::vector<std::string>(engine_.log.end() - tail.size(), engine_.log.end()),
              ElementsAreArray(tail));
  // The key press stays in the queue for the window.
  platform::MSG msg;
  EXPECT_EQ(platform::PeekMessage(&msg, 0, 0, 0, platform::PM_REMOVE), c.keyPressed);
}

INSTANTIATE_TEST_SUITE_P(Waits, TypedTextWait,
                         ::testing::Values(TypedWaitCase{"Finished", 3, false, true, false},
                                           TypedWaitCase{"KeyPressed", 3, true, false, true},
                                           TypedWaitCase{"TooLong", 100, false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoHistoryTest, TheWaitForSpeechEndsAfterThreeSeconds) {
  engine_.rangeText = "ab";
  Add(1, kUndoDeleteTyped, 1);
  reader_.SetSpeaking(0, 1000);
  history_.Undo(1);
  EXPECT_EQ(clock_.TickCount(), 3100u);
}

// ---- Re-insertion

struct ReinsertCase {
  const char* name;
  int32_t kind;
  int replay;  // -1 undo, 1 redo
  int hasSelection;
  const char* phrase;
  int flags;
};

class Reinsert : public UndoHistoryTest, public ::testing::WithParamInterface<ReinsertCase> {};

TEST_P(Reinsert, PutsTheFragmentBackAtTheFirstPlaceAndSaysWhat) {
  const ReinsertCase& c = GetParam();
  engine_.hasSelection = c.hasSelection;
  Add(-c.replay, c.kind, 1);
  c.replay < 0 ? history_.Undo(1) : history_.Redo();
  char flags[32];
  std::snprintf(flags, sizeof flags, "2007 0x%X", c.flags);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame({"5003 1", "6003 0", "3001 769 p1", "6003 -1",
                                                   "3351", "5003 1", flags})));
  EXPECT_EQ(engine_.inserted, kFragmentBytes);
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis(c.phrase))));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Reinsert,
    ::testing::Values(ReinsertCase{"UndoInsert", kUndoEdit, -1, 0, "案ズー　挿入", 0x150001},
                      ReinsertCase{"RedoReplace", kUndoEdit, 1, 1, "利ズー　置換", 0x130001},
                      ReinsertCase{"UndoMarked", kUndoEditMarked, -1, 0, "案ズー　挿入", 0x1D0001}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoHistoryTest, AParagraphLayoutIsPutBackAndOnlyThenTheCaretGoesAfter) {
  const ParagraphLayoutRecord paragraph{.mask = 0x200, .leftIndent = 3};
  Add(1, kUndoEdit, 1, {}, &paragraph);
  Add(1, kUndoEdit, 4);
  history_.Undo(0);
  EXPECT_EQ(std::vector<std::string>(engine_.log.end() - 2, engine_.log.end()),
            (std::vector<std::string>{"2007 0x110001", "5003 1"}));
  engine_.log.clear();
  history_.Undo(0);
  EXPECT_EQ(std::vector<std::string>(engine_.log.end() - 4, engine_.log.end()),
            (std::vector<std::string>{"2007 0x110001", "3511 0 mask -1 left 3", "3001 769 p3",
                                      "5003 1"}));
}

TEST_F(UndoHistoryTest, AnEditWithoutContentReplaysNothing) {
  const CaretPoint first = At(1);
  history_.AddStep(1, kUndoEdit, &first, nullptr, nullptr, nullptr);
  ASSERT_TRUE(history_.CanUndo());
  history_.Undo(1);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame({})));
}

// ---- Groups

TEST_F(UndoHistoryTest, AReplacementSelectsWhatWasTypedAndPutsTheOldTextInItsPlace) {
  history_.BeginGroup(1);
  Add(1, kUndoEdit, 1);         // the selection the typing replaced
  Add(1, kUndoDeleteTyped, 5);  // the typed text
  history_.EndGroup(1);
  engine_.hasSelection = 1;
  int32_t flagsDuringInsert = -1;
  engine_.hook = [&](int code) {
    if (code == WPC_INSERT_BARE_CONTENT) {
      flagsDuringInsert = history_.undoList().GetCurrent()->flags();
    }
  };
  history_.Undo(1);
  EXPECT_THAT(
      engine_.log,
      ElementsAreArray(Frame(Join({Selects(5), {"5003 1", "3351", "5003 1", "2007 0x150001"}}))));
  EXPECT_EQ(flagsDuringInsert, kUndoReplacement);
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis("案ズー　置換"))));
}

TEST_F(UndoHistoryTest, HeldBackDeletionsBeforeAnotherDeletionOrTheLastStepAreApplied) {
  history_.BeginGroup(1);
  Add(1, kUndoEdit, 20);
  Add(1, kUndoDelete, 10);  // held back, then joined with the edit as a replacement
  Add(1, kUndoDelete, 1);   // held back, then applied before the next deletion
  history_.EndGroup(1);
  history_.Undo(0);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame(Join({Selects(1),
                                                        {"3205 0 0", "3001 769 p3"},
                                                        Selects(10),
                                                        {"5003 1", "3351", "2007 0x110001"}}))));
  engine_.log.clear();

  // The oldest step is never held back.
  history_.BeginGroup(1);
  Add(1, kUndoDelete, 1);
  Add(1, kUndoEdit, 20);
  history_.EndGroup(1);
  history_.Undo(0);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame(Join({{"5003 1", "6003 0", "3001 769 p20",
                                                         "6003 -1", "3351", "2007 0x110001"},
                                                        Selects(1),
                                                        {"3205 0 0", "3001 769 p3"}}))));
}

TEST_F(UndoHistoryTest, AMoveIsReplayedWithThePlacesOfBothHalves) {
  history_.BeginGroup(1);
  Add(1, kUndoEditTransfer, 1);     // the moved text taken from its source
  Add(1, kUndoDeleteTransfer, 10);  // the moved text at its target
  history_.EndGroup(1);
  history_.Undo(1);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame({"5003 1", "3219 -1"})));
  EXPECT_EQ(engine_.transfer.source.first.page, 10);
  EXPECT_EQ(engine_.transfer.source.second.page, 11);
  EXPECT_EQ(engine_.transfer.source.after.page, 12);
  EXPECT_EQ(engine_.transfer.target.first.page, 1);
  EXPECT_EQ(engine_.transfer.target.after.page, 3);
  EXPECT_EQ(engine_.inserted, kFragmentBytes);
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis("案ズー　移動"))));
}

// ---- Formats

// A format change as the document root logs it: the text before the
// change, then the change over its range.
void AddFormatChange(CVedUndoHistory& history, int direction, int32_t kind,
                     const EditOpValue& data) {
  const CaretPoint text = At(1);
  const CaretPoint first = At(5);
  const CaretPoint second = At(6);
  const CaretPoint after = At(7);
  Fragment fragment(kFragmentBytes);
  history.BeginGroup(direction);
  history.AddStep(direction, kUndoEdit, &text, nullptr, nullptr, &fragment.holder);
  history.AddStep(direction, kind, &first, &second, &after, nullptr, data);
  history.EndGroup(direction);
}

TEST_F(UndoHistoryTest, AFormatChangeIsUndoneByPuttingTheOldTextOverItsRange) {
  CharFormat bold;
  bold.mask = kMaskBold;
  bold.bold = 1;
  AddFormatChange(history_, 1, kUndoFont, EditOpValue::Of(bold));
  history_.Undo(1);
  EXPECT_THAT(engine_.log,
              ElementsAreArray(Frame(Join({Selects(5), {"5003 1", "2007 0x150001"}}))));
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis("案ズー　強調文字　解除"))));
}

struct InverseCase {
  const char* name;
  int32_t kind;
  int32_t expectedMask;
};

class FormatInverse : public UndoHistoryTest, public ::testing::WithParamInterface<InverseCase> {};

// Re-inserting the old text deletes the formatted one; that deletion is
// recorded as the format change again, so that redo restores it.
TEST_P(FormatInverse, TheDeletionDuringTheReplayIsRecordedAsTheFormatChange) {
  const InverseCase& c = GetParam();
  CharFormat font;
  font.mask = kMaskItalic;
  font.italic = 1;
  AddFormatChange(history_, 1, c.kind, EditOpValue::Of(font));
  engine_.hook = [this](int code) {
    if (code != WPC_INSERT_BARE_CONTENT) return;
    history_.BeginGroup(-1);
    Add(-1, kUndoEdit, 30);
    Add(-1, kUndoDelete, 40);
    history_.EndGroup(-1);
  };
  history_.Undo(1);
  ASSERT_EQ(history_.redoList().Count(), 1u);
  const auto* group =
      static_cast<const CVedUndoGroup*>(history_.redoList().records().front().get());
  ASSERT_EQ(group->Count(), 2u);
  const CVedUndoRecord& format = *group->records().front();
  EXPECT_EQ(format.kind(), kUndoFormat);
  EXPECT_EQ(format.formatMask(), c.expectedMask);
  ASSERT_NE(format.formatData(), nullptr);
  EXPECT_EQ(format.formatData()->font.italic, 1);

  // The redo says it sets the attribute again.
  engine_.hook = nullptr;
  history_.Redo();
  EXPECT_EQ(reader_.Calls().back(), Said(Sjis(c.kind == kUndoFont ? "利ズー　シャタイ文字　設定"
                                                                  : "利ズー　文字修飾　クリア")));
}

INSTANTIATE_TEST_SUITE_P(Kinds, FormatInverse,
                         ::testing::Values(InverseCase{"Font", kUndoFont, 0x100},
                                           InverseCase{"AllAttributes", kUndoAllAttributes, 0x700}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PhraseCase {
  const char* name;
  int replay;  // -1 undo, 1 redo
  int32_t kind;
  EditOpValue data;
  const char* words;
};

class FormatPhrase : public UndoHistoryTest, public ::testing::WithParamInterface<PhraseCase> {};

TEST_P(FormatPhrase, NamesWhatTheReplayChanges) {
  const PhraseCase& c = GetParam();
  AddFormatChange(history_, -c.replay, c.kind, c.data);
  c.replay < 0 ? history_.Undo(1) : history_.Redo();
  const std::string prefix = c.replay < 0 ? "案ズー　" : "利ズー　";
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis(prefix + c.words))));
}

CharFormat Font(int32_t mask, const char* face = "", int32_t size = 0, uint8_t bold = 0) {
  CharFormat font;
  font.mask = mask;
  std::strcpy(font.face, face);
  font.size = size;
  font.bold = bold;
  return font;
}

CharDecoration Decoration(int32_t mask, int16_t underline, int16_t strikeOut) {
  CharDecoration decoration;
  decoration.mask = mask;
  decoration.underline = underline;
  decoration.shading = 1;
  decoration.strikeOut = strikeOut;
  return decoration;
}

CharDesign Design(int32_t mask) {
  CharDesign design;
  design.mask = mask;
  design.hollow = 1;
  design.shadow = 0;
  return design;
}

ParagraphLayoutRecord Paragraph(int32_t mask, int16_t alignment = 0) {
  return ParagraphLayoutRecord{.mask = mask, .alignment = alignment};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FormatPhrase,
    ::testing::Values(
        PhraseCase{"FaceAndSize", 1, kUndoFont, EditOpValue::Of(Font(0x3, "Mincho", 105)),
                   "フォント変更　Mincho　10.5ポイント"},
        PhraseCase{"WholeSize", -1, kUndoFont, EditOpValue::Of(Font(0x2, "", 120)),
                   "フォント解除　12ポイント"},
        PhraseCase{"ColourAndBold", -1, kUndoFont, EditOpValue::Of(Font(0xC, "", 0, 0)),
                   "文字色　元に戻す強調文字　設定"},
        PhraseCase{"Scale", 1, kUndoFont, EditOpValue::Of(Font(0x40)), "文字サイズ　変更"},
        PhraseCase{"UnderlineAndShading", 1, kUndoDecoration,
                   EditOpValue::Of(Decoration(0x3000, 18, 0)),
                   "アンダーライン　ふと線　設定網掛け　設定"},
        PhraseCase{"StrikeOut", -1, kUndoDecoration, EditOpValue::Of(Decoration(0x4000, 0, 32)),
                   "取消二重線　解除"},
        PhraseCase{"UnknownLine", 1, kUndoDecoration, EditOpValue::Of(Decoration(0x1000, 99, 0)),
                   "アンダーライン　設定"},
        PhraseCase{"DecorationColour", -1, kUndoDecoration,
                   EditOpValue::Of(Decoration(0x10000, 0, 0)), "カザリショク　元に戻す"},
        PhraseCase{"ColourWithAnother", 1, kUndoDecoration,
                   EditOpValue::Of(Decoration(0x18000, 0, 0)), "文字囲み　解除"},
        PhraseCase{"HollowAndShadow", 1, kUndoDesign, EditOpValue::Of(Design(0x5000000)),
                   "仲抜き　設定影付き　解除"},
        PhraseCase{"Alignment", -1, kUndoParagraph, EditOpValue::Of(Paragraph(0x11, 2)),
                   "中央寄せ　解除"},
        PhraseCase{"OddAlignment", 1, kUndoParagraph, EditOpValue::Of(Paragraph(0x1, 7)), "設定"},
        PhraseCase{"LineGap", 1, kUndoParagraph, EditOpValue::Of(Paragraph(0x10)), "行間　設定"},
        PhraseCase{"AllIndents", -1, kUndoParagraph, EditOpValue::Of(Paragraph(0x700)),
                   "インデント　元に戻す"},
        PhraseCase{"HeadIndents", 1, kUndoParagraph, EditOpValue::Of(Paragraph(0x300)),
                   "ギョートーインデント　設定"},
        PhraseCase{"EndIndent", -1, kUndoParagraph, EditOpValue::Of(Paragraph(0x400)),
                   "ギョーマツインデント　元に戻す"},
        PhraseCase{"ParagraphGap", -1, kUndoParagraph, EditOpValue::Of(Paragraph(0x20)), "解除"},
        PhraseCase{"AllAttributesUndone", -1, kUndoAllAttributes, EditOpValue{},
                   "文字修飾　元に戻す"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Tables

struct TableCase {
  const char* name;
  size_t word;
  int32_t saved;
  int32_t current;
  const char* words;  // null: nothing said
};

class TableLayoutReplay : public UndoHistoryTest,
                          public ::testing::WithParamInterface<TableCase> {};

TableAttributeWords WordsOf(const TableAttributeRecord& record) {
  return std::bit_cast<TableAttributeWords>(record);
}

TEST_P(TableLayoutReplay, AppliesTheSavedAttributesWholeAndNamesTheChange) {
  const TableCase& c = GetParam();
  TableAttributeWords saved;
  saved.fill(7);
  saved[c.word] = c.saved;
  TableAttributeWords current;
  current.fill(7);
  current[c.word] = c.current;
  engine_.currentAttributes = std::bit_cast<TableAttributeRecord>(current);
  Add(1, kUndoTableLayout, 1, EditOpValue::Of(std::bit_cast<TableAttributeRecord>(saved)));
  history_.Undo(1);

  EXPECT_THAT(engine_.log, ElementsAreArray(Frame({"6003 0", "3001 769 p1", "6003 -1", "7104",
                                                   "7103 -1", "3001 769 p3", "5003 1"})));
  TableAttributeWords applied = saved;
  for (size_t word : {3, 8, 13, 18, 23, 28}) applied[word] = -1;
  EXPECT_EQ(WordsOf(engine_.appliedAttributes), applied);
  if (c.words == nullptr) {
    EXPECT_TRUE(reader_.Calls().empty());
  } else {
    EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis(std::string("案ズー　変更　") + c.words))));
  }
}

INSTANTIATE_TEST_SUITE_P(Words, TableLayoutReplay,
                         ::testing::Values(TableCase{"Placement", 0, 2, 1, "豹配置　中央"},
                                           TableCase{"Narrower", 2, 40, 80, "セルの上下余白　狭く"},
                                           TableCase{"Wider", 2, 80, 40, "セルの上下余白　広く"},
                                           TableCase{"Thinner", 5, 1, 3, "表の線　細く"},
                                           TableCase{"Thicker", 5, 3, 1, "表の線　太く"},
                                           TableCase{"Unchanged", 1, 5, 9, nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UndoHistoryTest, AColumnWidthIsSetBackAndSpoken) {
  Add(1, kUndoColumnWidth, 1, EditOpValue::Of(int32_t{12}));
  history_.Undo(1);
  EXPECT_THAT(engine_.log, ElementsAreArray(Frame({"6003 0", "3001 769 p1", "6003 -1", "5003 1",
                                                   "7002 -1 w12", "3001 769 p3"})));
  EXPECT_THAT(reader_.Calls(), ElementsAre(Said(Sjis("案ズー　変更 列幅12"))));
}

// ---- Texts

struct Text {
  const char* bytes;
  const char* utf8;
};

class ReplayTexts : public ::testing::TestWithParam<Text> {};

TEST_P(ReplayTexts, AreTheShiftJisFormOfTheirReadableText) {
  EXPECT_EQ(std::string(GetParam().bytes), platform::Utf8ToSjis(GetParam().utf8));
}

INSTANTIATE_TEST_SUITE_P(
    All, ReplayTexts,
    ::testing::Values(
        Text{kReplayPrefixUndo, "案ズー　"}, Text{kReplayPrefixRedo, "利ズー　"},
        Text{kReplayWordDelete, "削除"}, Text{kReplayWordReplace, "置換"},
        Text{kReplayWordInsert, "挿入"}, Text{kReplayWordMove, "移動"},
        Text{kReplayWordSet, "設定"}, Text{kReplayWordClear, "解除"},
        Text{kReplayWordChange, "変更"}, Text{kReplayWordRevert, "元に戻す"},
        Text{kReplayAttributesRevert, "文字修飾　元に戻す"},
        Text{kReplayAttributesClear, "文字修飾　クリア"}, Text{kReplayFont, "フォント"},
        Text{kReplaySeparator, "　"}, Text{kReplayPoints, "ポイント"},
        Text{kReplayColour, "文字色　"}, Text{kReplayBold, "強調文字　"},
        Text{kReplayItalic, "シャタイ文字　"}, Text{kReplayCharSize, "文字サイズ　変更"},
        Text{kReplayUnderline, "アンダーライン　"}, Text{kReplayShading, "網掛け　"},
        Text{kReplayStrikeOut, "取消"}, Text{kReplayEnclosure, "文字囲み　"},
        Text{kReplayDecorationColour, "カザリショク　"}, Text{kReplayHollow, "仲抜き　"},
        Text{kReplayReverse, "反転　"}, Text{kReplayShadow, "影付き　"},
        Text{kReplayAlignLeft, "左寄せ　"}, Text{kReplayAlignCentre, "中央寄せ　"},
        Text{kReplayAlignRight, "右寄せ　"}, Text{kReplayLineGap, "行間　"},
        Text{kReplayIndent, "インデント　"}, Text{kReplayLineHeadIndent, "ギョートーインデント　"},
        Text{kReplayLineEndIndent, "ギョーマツインデント　"}, Text{kReplayLineThin, "ほそ線　"},
        Text{kReplayLineThick, "ふと線　"}, Text{kReplayLineDouble, "二重線　"},
        Text{kReplayLineDotted, "点線　"}, Text{kReplayLineWavy, "なみ線　"},
        Text{kReplayTableChange, "変更　"}, Text{kReplayTablePlacement, "豹配置　"},
        Text{kReplayPlaceLeft, "左"}, Text{kReplayPlaceCentre, "中央"},
        Text{kReplayPlaceRight, "右"}, Text{kReplayCellMargin, "セルの上下余白　"},
        Text{kReplayNarrower, "狭く"}, Text{kReplayWider, "広く"},
        Text{kReplayTableLine, "表の線　"}, Text{kReplayThinner, "細く"},
        Text{kReplayThicker, "太く"}, Text{kReplayColumnWidth, "変更 列幅%d"}));

}  // namespace
