#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"

namespace doc_root_test {
namespace {

constexpr platform::UINT kCaretMoved = WM_WPC_CARETMOVED;
constexpr platform::UINT kContentChanged = WM_WPC_CONTENTCHANGED;
constexpr platform::UINT kSelStarted = WM_WPC_SELSTARTED;
constexpr platform::UINT kSelCleared = WM_WPC_SELCLEARED;

class DocRootRecordingTest : public DocRootTest {
 protected:
  DocRootRecordingTest() {
    // The default format applied after the page format equals the typing
    // format the page format left, so the text never realises its font; a
    // different size first makes it do so.
    CharFormat typing;
    CDocBunsObj::BuildDefaultCharFormat(format, typing);
    typing.size += 10;
    root.SetCharFormat(&typing);
    root.SetCharFormat(nullptr);
  }

  // An edit that changed the text from the first to the third character,
  // with the oversize range one character further on.
  EditResult ChangedResult() {
    EditResult result;
    result.changed = 1;
    result.rangeStart = PathFromStart(kMoveNextChar, 1);
    result.rangeEnd = PathFromStart(kMoveNextChar, 3);
    result.newCursor = PathFromStart(kMoveNextChar, 5);
    result.startAux = PathFromStart(kMoveNextChar, 2);
    result.endAux = PathFromStart(kMoveNextChar, 4);
    return result;
  }

  // The operations logged by one recorded edit of `type`.
  std::vector<EditOpRecord*> RecordEdit(int type, const EditResult& result,
                                        EditOpValue value = {}) {
    root.BeginUndoRecording(1);
    root.SaveBeforeEdit(1, type, 0);
    root.LogAfterEdit(1, type, &result, value);
    root.EndUndoRecording(1);
    return Logged();
  }

  std::vector<EditOpRecord*> Logged() {
    std::vector<EditOpRecord*> records;
    CEditOpLog& log = root.GetEditOpLog();
    log.Rewind();
    for (EditOpRecord* r = log.GetNext(); r != nullptr; r = log.GetNext()) records.push_back(r);
    return records;
  }

  // Selects from `start` to `end` with the caret at `end`.
  void Select(const CVedTextPos& start, const CVedTextPos& end) {
    root.SetCursor(&end);
    root.RememberCaretState();
    root.UpdateAfterChange({.caret = &end});
    root.SetSelectionRange(0, &start, &end);
    window.Clear();
  }
};

// What an edit type is logged as: the undo kind, which positions it
// carries and whether content travels with it.
enum class Place { kNone, kRangeStart, kRangeEnd, kNewCursor, kAuxStart, kAuxEnd, kCaret };
struct EditTypeCase {
  int type;
  int32_t kind;
  Place first;
  Place second;
  Place third;
  bool data;
};

class DocRootEditTypeTest : public DocRootRecordingTest,
                            public ::testing::WithParamInterface<EditTypeCase> {
 protected:
  CVedTextPos At(Place place, const EditResult& result, const CVedTextPos& caret) {
    switch (place) {
      case Place::kRangeStart:
        return result.rangeStart;
      case Place::kRangeEnd:
        return result.rangeEnd;
      case Place::kNewCursor:
        return result.newCursor;
      case Place::kAuxStart:
        return result.startAux;
      case Place::kAuxEnd:
        return result.endAux;
      case Place::kCaret:
        return caret;
      case Place::kNone:
        break;
    }
    return CVedTextPos{};
  }
};

TEST_P(DocRootEditTypeTest, IsLoggedAsItsUndoKind) {
  const EditTypeCase& c = GetParam();
  Type("ABCDEF");
  const CVedTextPos caret = root.Caret();
  const EditResult result = ChangedResult();
  constexpr int32_t kFormatWord = 77;

  const std::vector<EditOpRecord*> records =
      RecordEdit(c.type, result, EditOpValue::Of(kFormatWord));

  ASSERT_EQ(records.size(), 1u);
  const EditOpRecord& r = *records[0];
  EXPECT_EQ(r.kind, c.kind);
  EXPECT_EQ(r.first, At(c.first, result, caret));
  EXPECT_EQ(r.second, At(c.second, result, caret));
  EXPECT_EQ(r.third, At(c.third, result, caret));
  EXPECT_EQ(r.data.HasData(), c.data);
  const bool format = c.kind >= 101 && c.kind <= 105;
  ASSERT_EQ(r.value.Get<int32_t>() != nullptr, format);
  if (format) {
    EXPECT_EQ(*r.value.Get<int32_t>(), kFormatWord);
  }
}

using P = Place;
INSTANTIATE_TEST_SUITE_P(
    EditTypes, DocRootEditTypeTest,
    ::testing::Values(EditTypeCase{1, 1, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{2, 3, P::kRangeStart, P::kRangeEnd, P::kCaret, false},
                      EditTypeCase{6, 5, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{7, 101, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{8, 102, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{9, 103, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{10, 104, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{11, 105, P::kRangeStart, P::kRangeEnd, P::kNone, false},
                      EditTypeCase{51, 1, P::kAuxStart, P::kAuxEnd, P::kNone, false},
                      EditTypeCase{52, 1, P::kAuxStart, P::kAuxEnd, P::kNone, false},
                      EditTypeCase{53, 1, P::kAuxStart, P::kAuxEnd, P::kNone, false},
                      EditTypeCase{3, 2, P::kNewCursor, P::kNone, P::kNone, true},
                      EditTypeCase{4, 4, P::kNewCursor, P::kNone, P::kNone, true},
                      EditTypeCase{5, 6, P::kNewCursor, P::kNone, P::kNone, true},
                      // Outside a table the row, column and table ranges do not exist:
                      // the deletion is logged without content, where it left the caret
                      // (a column deletion only takes the caret before it while the
                      // caret stays in a cell).
                      EditTypeCase{54, 2, P::kNewCursor, P::kNone, P::kNone, false},
                      EditTypeCase{55, 2, P::kNewCursor, P::kNone, P::kNone, false},
                      EditTypeCase{58, 2, P::kNewCursor, P::kNone, P::kNone, false}));

TEST_F(DocRootRecordingTest, TableEditsOutsideATableAndUnknownTypesLogNothing) {
  Type("ABCDEF");
  const EditResult result = ChangedResult();
  for (int type : {CDocBunsObj::kEditTableAttributes, CDocBunsObj::kEditColumnWidth, 12, 99}) {
    EXPECT_TRUE(RecordEdit(type, result).empty()) << type;
  }
}

TEST_F(DocRootRecordingTest, NothingIsLoggedWithoutRecordingOrWithoutEnable) {
  Type("ABCDEF");
  const EditResult result = ChangedResult();
  root.LogAfterEdit(1, CDocBunsObj::kEditTyped, &result);
  EXPECT_EQ(root.GetEditOpLog().Rewind(), 0);

  root.BeginUndoRecording(1);
  root.LogAfterEdit(0, CDocBunsObj::kEditTyped, &result);
  EXPECT_EQ(root.GetEditOpLog().Rewind(), 0);
  EXPECT_EQ(root.EndUndoRecording(0), 0);
  EXPECT_EQ(root.EndUndoRecording(1), 1);
  EXPECT_EQ(root.EndUndoRecording(1), 0);
}

TEST_F(DocRootRecordingTest, AnEditWithoutChangeLogsNothingAndSendsNoContentChanged) {
  Type("ABCDEF");
  root.SetModified(0);
  EditResult unchanged = ChangedResult();
  unchanged.changed = 0;

  EXPECT_TRUE(RecordEdit(CDocBunsObj::kEditTyped, unchanged).empty());
  root.RememberCaretState();
  const CVedTextPos caret = root.Caret();
  ChangeRecord change;
  root.UpdateAfterChange({.edited = true,
                          .caret = &caret,
                          .result = &unchanged,
                          .change = &change,
                          .changeFlags = kChangeEdited});

  EXPECT_EQ(window.Count(kContentChanged), 0u);
  EXPECT_EQ(root.IsModified(), 0);
  EXPECT_EQ(change.changed, 0);
}

TEST_F(DocRootRecordingTest, ACaretMoveThatChangesNothingSendsNoCaretMoved) {
  Type("ABCDEF");
  root.RememberCaretState();
  const CVedTextPos same = root.Caret();

  EXPECT_EQ(root.UpdateAfterChange({.moveCode = kMoveNextChar, .caret = &same}), 0);
  EXPECT_TRUE(window.Notifications().empty());

  window.SetReply(kCaretMoved, 5);
  const CVedTextPos second = PathFromStart(kMoveNextChar, 2);
  EXPECT_EQ(root.UpdateAfterChange({.moveCode = kMoveLineStart, .caret = &second}), 5);
  ASSERT_EQ(window.Notifications(), (std::vector<platform::UINT>{kCaretMoved}));
  EXPECT_EQ(window.messages().back().wParam, static_cast<platform::WPARAM>(kMoveLineStart));
  EXPECT_EQ(root.Caret(), second);
}

TEST_F(DocRootRecordingTest, AnEditSendsContentChangedThenCaretMovedAndFillsTheChangeRecord) {
  Type("ABCDEF");
  root.SetModified(0);
  root.RememberCaretState();
  const EditResult result = ChangedResult();

  ChangeRecord change;
  root.UpdateAfterChange({.edited = true,
                          .caret = &result.newCursor,
                          .result = &result,
                          .change = &change,
                          .changeFlags = kChangeEdited});

  EXPECT_EQ(window.Notifications(), (std::vector<platform::UINT>{kContentChanged, kCaretMoved}));
  EXPECT_EQ(root.IsModified(), 1);
  EXPECT_EQ(change.changed, 1);
  EXPECT_EQ(change.lineStart, PathFromStart(kMoveNextChar, 0));
  EXPECT_EQ(change.changeEnd, result.rangeEnd);
  EXPECT_EQ(change.heightChanged, 0);
  EXPECT_EQ(change.oversizeStart, result.startAux);
  EXPECT_EQ(change.oversizeEnd, result.endAux);
  // One line: from the first changed character to the line's right end,
  // which the edited flag asks for.
  EXPECT_EQ(change.area[0].left, kPitch);
  EXPECT_EQ(change.area[0].top, 0);
  EXPECT_GT(change.area[0].right, format.textWidth);
  EXPECT_TRUE(change.area[1].IsEmpty());
  EXPECT_TRUE(change.area[2].IsEmpty());
}

TEST_F(DocRootRecordingTest, TheHeightFlagMarksTheHeightChanged) {
  Type("ABCDEF");
  ChangeRecord change;
  root.FillChangeRecord(ChangedResult(), change, 3);
  EXPECT_EQ(change.heightChanged, 1);
}

struct GateCase {
  int32_t redraw;
  uint32_t mask;
  size_t caretMoved;
  size_t contentChanged;
};

class DocRootGateTest : public DocRootRecordingTest,
                        public ::testing::WithParamInterface<GateCase> {};

TEST_P(DocRootGateTest, CaretAndContentMessagesFollowRedrawAndMask) {
  const GateCase& c = GetParam();
  Type("ABCDEF");
  root.EnableRedraw(c.redraw);
  root.SetNotifyMask(c.mask);
  root.RememberCaretState();
  const EditResult result = ChangedResult();

  root.UpdateAfterChange({.edited = true,
                          .caret = &result.newCursor,
                          .result = &result,
                          .changeFlags = kChangeEdited});

  EXPECT_EQ(window.Count(kCaretMoved), c.caretMoved);
  EXPECT_EQ(window.Count(kContentChanged), c.contentChanged);
}

INSTANTIATE_TEST_SUITE_P(Gates, DocRootGateTest,
                         ::testing::Values(GateCase{1, kNotifyAll, 1, 1}, GateCase{1, 0x1, 1, 0},
                                           GateCase{1, 0x2, 0, 1},
                                           GateCase{1, ~kEngineOnlyMask, 0, 0}));

TEST_F(DocRootRecordingTest, NotifyWindowAndMaskReachTheFeedbackAndAnswerTheOldValues) {
  RecordingWindow other;
  EXPECT_EQ(root.SetNotifyWindow(other.handle()), window.handle());
  EXPECT_EQ(root.SetNotifyMask(kHookSpeech), kNotifyAll);
  root.Feedback().Speak(kSpeechPlain, "A", 0, 0);
  EXPECT_EQ(other.Spoken(), (std::vector<std::string>{"A"}));
  EXPECT_TRUE(window.messages().empty());
}

TEST_F(DocRootRecordingTest, StartingAndClearingASelectionNotifyAndTellTheRenderer) {
  Type("ABCDEF");
  root.ResetSelection(1);
  EXPECT_EQ(window.Notifications(), (std::vector<platform::UINT>{kSelStarted}));
  EXPECT_EQ(root.Renderer().GetSelectionState().active, 1);
  EXPECT_EQ(root.Anchor(), root.Caret());

  window.Clear();
  root.ResetSelection(0);
  EXPECT_EQ(window.Notifications(), (std::vector<platform::UINT>{kSelCleared}));
  EXPECT_EQ(root.Renderer().GetSelectionState().active, 0);
  EXPECT_TRUE(root.Anchor().IsEmpty());

  // Without their mask bits the window hears nothing; the renderer still
  // learns of it.
  window.Clear();
  root.SetNotifyMask(kNotifyAll & ~0xCu);
  root.ResetSelection(1);
  EXPECT_EQ(root.Renderer().GetSelectionState().active, 1);
  root.ResetSelection(0);
  EXPECT_TRUE(window.Notifications().empty());
}

TEST_F(DocRootRecordingTest, AReadOnlyDocumentRefusesTheDeletionWithTheRefusalCue) {
  Type("ABCDEF");
  Select(PathFromStart(kMoveNextChar, 1), PathFromStart(kMoveNextChar, 3));
  root.SetReadOnly(1);
  EditResult out;
  out.changed = 9;
  EXPECT_EQ(root.ApplyEditWithUndo(1, &out, 0, CDocBunsObj::kEditDelete), 0);
  EXPECT_EQ(out.changed, 0);
  EXPECT_EQ(PlainText(), "ABCDEF");
  EXPECT_EQ(window.Cues(), (std::vector<int>{kCueRefused}));
}

TEST_F(DocRootRecordingTest, ASuppressedLogKeepsNothing) {
  Type("ABCDEF");
  const EditResult result = ChangedResult();
  root.BeginUndoRecording(1);
  root.SaveBeforeEdit(1, CDocBunsObj::kEditTyped, 0);
  root.LogAfterEdit(1, CDocBunsObj::kEditTyped, &result);
  root.CancelUndoRecording(1);
  root.SaveBeforeEdit(1, CDocBunsObj::kEditDelete, 0);
  root.LogAfterEdit(1, CDocBunsObj::kEditDelete, &result);
  root.EndUndoRecording(1);

  EXPECT_TRUE(root.GetEditOpLog().IsSuppressed());
  EXPECT_EQ(root.GetEditOpLog().Rewind(), 0);
  // The next command starts unsuppressed.
  root.BeginUndoRecording(1);
  EXPECT_FALSE(root.GetEditOpLog().IsSuppressed());
}

TEST_F(DocRootRecordingTest, StoredRangeBytesAreTheBareStreamForm) {
  Type("ABCDEF");
  AddTextChild("XYZ");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 2);
  const CVedTextPos end = PathFromStart(kMoveNextChar, 9);
  ASSERT_EQ(end.pairs.front().value, 1);

  // The range kind (2: the range spans two objects), 128 reserved zero
  // bytes, then the container's own content in that mode.
  std::vector<uint8_t> expected = {0x02, 0x00, 0x00, 0x00};
  expected.resize(expected.size() + 128, 0x00);
  platform::CMemFile file;
  {
    platform::CArchive archive(&file, platform::CArchive::kStore);
    ASSERT_GE(
        root.CDocObjContainer::SerializeRange(archive, kFormatOwnBlock, 2, &start, &end, nullptr),
        0);
    archive.Close();
  }
  expected.insert(expected.end(), file.Data(), file.Data() + file.GetLength());

  root.BeginUndoRecording(1);
  EXPECT_EQ(root.StoreRangeForUndo(&start, &end), 1);
  EditResult result = ChangedResult();
  root.LogAfterEdit(1, CDocBunsObj::kEditDelete, &result);
  const std::vector<EditOpRecord*> records = Logged();
  ASSERT_EQ(records.size(), 1u);
  const std::optional<std::vector<uint8_t>> bytes = records[0]->data.TakeBytes();
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, expected);
}

TEST_F(DocRootRecordingTest, TheDefaultCharacterFormatIsThePageFormatsBaseFont) {
  PageFormat page = format;
  page.bold = 1;
  page.heightScale = 90;
  CharFormat out;
  out.color = 5;
  CDocBunsObj::BuildDefaultCharFormat(page, out);
  EXPECT_STREQ(out.face, platform::kSyntheticFixedFace);
  EXPECT_EQ(out.size, 120);
  EXPECT_EQ(out.heightScale, 90);
  EXPECT_EQ(out.widthScale, 100);
  EXPECT_EQ(out.bold, 1);
  EXPECT_EQ(out.italic, 0);
  EXPECT_EQ(out.mask, -1);
  EXPECT_EQ(out.color, 0u);
  EXPECT_EQ(out.placement, 0);
}

TEST_F(DocRootRecordingTest, TheReplayFlagReachesTheRenderer) {
  root.SetUndoReplay(1);
  EXPECT_EQ(root.IsReplaying(), 1);
  EXPECT_EQ(root.Renderer().GetUndoReplay(), 1);
  root.SetUndoReplay(0);
  EXPECT_EQ(root.Renderer().GetUndoReplay(), 0);
}

TEST_F(DocRootRecordingTest, TheMoveCallbackAnswersTheOldOne) {
  auto callback = [](void*, CVedTextPos*, CVedTextPos*) { return 7; };
  EXPECT_EQ(root.SetMoveCallback(callback, nullptr), nullptr);
  CVedTextPos a;
  CVedTextPos b;
  EXPECT_EQ(root.RunMoveCallback(&a, &b), 7);
  EXPECT_EQ(root.SetMoveCallback(nullptr, nullptr), callback);
  EXPECT_EQ(root.RunMoveCallback(&a, &b), 0);
}

TEST_F(DocRootRecordingTest, PositionPredicatesReadTheDescriptionAtThePosition) {
  Type("AB");
  const CVedTextPos text = PathFromStart(kMoveNextChar, 0);
  const CVedTextPos endOfText = PathFromStart(kMoveNextChar, 2);
  EXPECT_TRUE(root.IsTextPosition(&text));
  EXPECT_TRUE(root.IsAtLineMark(kSubKindText, &text));
  EXPECT_FALSE(root.IsAtLineMark(kSubKindEndOfText, &text));
  EXPECT_TRUE(root.IsAtLineMark(kSubKindEndOfText, &endOfText));
  EXPECT_EQ(root.ClassifyLinePosition(&text), 0);
  EXPECT_FALSE(root.RefusesRead(1, &text));
  EXPECT_TRUE(root.IsAtEndOfCellText(&endOfText, 0));
  EXPECT_FALSE(root.IsAtEndOfCellText(&text, 0));
  EXPECT_TRUE(root.CanInsertAtCaret());
}

TEST_F(DocRootRecordingTest, AKeyDownWaitingIsSeenButNotTaken) {
  EXPECT_FALSE(CDocBunsObj::IsKeyWaiting());
  platform::PostMessage(window.handle(), platform::WM_KEYDOWN, 0x41, 0);
  EXPECT_TRUE(CDocBunsObj::IsKeyWaiting());
  EXPECT_TRUE(CDocBunsObj::IsKeyWaiting());
}

TEST_F(DocRootRecordingTest, TableEditsSaveWhatTheirUndoNeeds) {
  Type("AB");
  EditResult made;
  ASSERT_NE(root.InsertTable(2, 3, &made), 0);
  CVedTextPos cursor;
  root.GetCursor(&cursor);
  root.RememberCaretState();
  root.UpdateAfterChange(
      {.edited = true, .caret = &cursor, .result = &made, .changeFlags = kChangeEdited});
  ASSERT_EQ(root.GetTableColumnCount(), 3);
  const EditResult result = made;

  std::vector<EditOpRecord*> records = RecordEdit(CDocBunsObj::kEditTableAttributes, result);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->kind, 200);
  EXPECT_EQ(records[0]->first, root.Caret());
  CDocBunsObj::TableAttributes current;
  ASSERT_EQ(root.GetTableAttributes(&current), 1);
  const auto* saved = records[0]->value.Get<CDocBunsObj::TableAttributes>();
  ASSERT_NE(saved, nullptr);
  EXPECT_EQ(std::memcmp(saved, &current, sizeof current), 0);

  records = RecordEdit(CDocBunsObj::kEditColumnWidth, result);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0]->kind, 201);
  ASSERT_NE(records[0]->value.Get<int32_t>(), nullptr);
  EXPECT_EQ(*records[0]->value.Get<int32_t>(), root.GetColumnWidth());
  EXPECT_GT(root.GetColumnWidth(), 0);
  EXPECT_FALSE(records[0]->first.IsEmpty());
  EXPECT_EQ(records[0]->third, root.Caret());

  for (int type : {CDocBunsObj::kEditDeleteRow, CDocBunsObj::kEditDeleteColumn,
                   CDocBunsObj::kEditDeleteTable}) {
    records = RecordEdit(type, result);
    ASSERT_EQ(records.size(), 1u) << type;
    EXPECT_EQ(records[0]->kind, 2) << type;
    EXPECT_TRUE(records[0]->data.HasData()) << type;
  }
}

}  // namespace
}  // namespace doc_root_test
