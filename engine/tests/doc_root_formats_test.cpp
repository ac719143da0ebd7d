#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "doc_root_fixture.h"
#include "engine/doc_root.h"
#include "model/font_table.h"
#include "platform/gdi.h"
#include "platform/sjis.h"

namespace doc_root_test {
namespace {

// Undo kinds the engine turns the logged operations into.
constexpr int32_t kUndoEdit = 2;
constexpr int32_t kUndoFont = 101;
constexpr int32_t kUndoDecoration = 102;
constexpr int32_t kUndoDesign = 103;
constexpr int32_t kUndoAllAttributes = 104;
constexpr int32_t kUndoParagraph = 105;

constexpr int kRecord = 1;
constexpr int kSpeak = 1;
constexpr int kQuiet = 0;

constexpr platform::COLORREF kRed = 0x0000FF;
constexpr int16_t kUnderlined = 17;  // a single line

class FormatCommands : public DocRootTest {
 protected:
  // A fresh text keeps the page format's font as its typing format
  // without realising it, and refuses typed text until another format has
  // been set: the default is set away and back.
  FormatCommands() {
    CharFormat other;
    CDocBunsObj::BuildDefaultCharFormat(format, other);
    other.size += 10;
    root.SetDefaultCharFormat(&other);
    root.SetDefaultCharFormat(nullptr);
  }

  // Selects from `chars` characters after the document start to the
  // caret, with the highlight computed as after a move.
  void SelectFromStartTo(int chars) {
    const CVedTextPos start = PathFromStart(kMoveNextChar, chars);
    const CVedTextPos caret = root.Caret();
    root.RememberCaretState();
    root.SetSelectionRange(0, &start, &caret);
    root.UpdateAfterChange({.caret = &caret});
    window.Clear();
  }

  // The three indents of the paragraph at `pos`.
  ParaFormat IndentsAt(const CVedTextPos& pos) {
    ParaFormat indents;
    indents.mask = kMaskFirstIndent | kMaskLeftIndent | kMaskRightIndent;
    root.CDocObjContainer::GetParaFormat(&indents, &pos, &pos);
    return indents;
  }

  // Gives the paragraph at `pos` its indents without recording anything.
  void SetIndents(const CVedTextPos& pos, int32_t first, int32_t left, int32_t right) {
    ParaFormat indents;
    indents.mask = kMaskFirstIndent | kMaskLeftIndent | kMaskRightIndent;
    indents.firstIndent = first;
    indents.leftIndent = left;
    indents.rightIndent = right;
    EditResult unused;
    ASSERT_NE(root.CDocObjContainer::SetParaFormat(&indents, &pos, &pos, &unused), 0);
    window.Clear();
  }

  int32_t FrameWidth() {
    platform::RECT frame{};
    root.GetFrameRect(&frame, nullptr);
    return frame.right - frame.left;
  }
};

// ---- Character attributes

struct CharKindCase {
  int kind;
  int32_t undoKind;
};

class CharKinds : public FormatCommands, public ::testing::WithParamInterface<CharKindCase> {};

CDocBunsObj::CharAttributes RedUnderlinedHollow() {
  CDocBunsObj::CharAttributes all;
  all.font.mask = kMaskColor;
  all.font.color = kRed;
  all.decoration.mask = kMaskUnderline;
  all.decoration.underline = kUnderlined;
  all.design.mask = kMaskHollow;
  all.design.hollow = 1;
  return all;
}

TEST_P(CharKinds, AppliesOverTheSelectionAndLogsItsFormatData) {
  const CharKindCase c = GetParam();
  Type("abcdef");
  SelectFromStartTo(2);
  const CDocBunsObj::CharAttributes all = RedUnderlinedHollow();
  ChangeRecord change;
  int answer = 0;
  switch (c.kind) {
    case CDocBunsObj::kCharKindFont:
      answer = root.SetCharFont(kRecord, &all.font, &change);
      break;
    case CDocBunsObj::kCharKindDecoration:
      answer = root.SetCharDecoration(kRecord, &all.decoration, &change);
      break;
    case CDocBunsObj::kCharKindDesign:
      answer = root.SetCharDesign(kRecord, &all.design, &change);
      break;
    default:
      answer = root.SetCharFormat(CDocBunsObj::kCharKindAll, kRecord, &all, &change);
      break;
  }
  EXPECT_EQ(answer, 1);
  EXPECT_NE(change.changed, 0);
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 1u);

  // Only the selected characters took the kind's attributes.
  const bool font = c.kind == CDocBunsObj::kCharKindFont || c.kind == CDocBunsObj::kCharKindAll;
  const bool decoration =
      c.kind == CDocBunsObj::kCharKindDecoration || c.kind == CDocBunsObj::kCharKindAll;
  const bool design = c.kind == CDocBunsObj::kCharKindDesign || c.kind == CDocBunsObj::kCharKindAll;
  const CVedTextPos third = PathFromStart(kMoveNextChar, 3);
  const CVedTextPos fourth = PathFromStart(kMoveNextChar, 4);
  const CVedTextPos first = PathFromStart(kMoveNextChar, 0);
  const CVedTextPos second = PathFromStart(kMoveNextChar, 1);
  CharFormat inside;
  CharDecoration insideDecoration;
  CharDesign insideDesign;
  root.CDocObjContainer::GetCharFont(&inside, &third, &fourth);
  root.CDocObjContainer::GetCharDecoration(&insideDecoration, &third, &fourth);
  root.CDocObjContainer::GetCharDesign(&insideDesign, &third, &fourth);
  EXPECT_EQ(inside.color == kRed, font);
  EXPECT_EQ(insideDecoration.underline == kUnderlined, decoration);
  EXPECT_EQ(insideDesign.hollow == 1, design);
  CharFormat outside;
  root.CDocObjContainer::GetCharFont(&outside, &first, &second);
  EXPECT_NE(outside.color, kRed);

  // The selection's content first, so that undo can put it back, then the
  // format step with the record it applied.
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(LoggedKinds(), (std::vector<int32_t>{kUndoEdit, c.undoKind}));
  EXPECT_TRUE(logged[0]->data.HasData());
  const EditOpValue& data = logged[1]->value;
  if (c.kind == CDocBunsObj::kCharKindDecoration) {
    ASSERT_NE(data.Get<CharDecoration>(), nullptr);
    EXPECT_EQ(data.Get<CharDecoration>()->underline, kUnderlined);
  } else if (c.kind == CDocBunsObj::kCharKindDesign) {
    ASSERT_NE(data.Get<CharDesign>(), nullptr);
    EXPECT_EQ(data.Get<CharDesign>()->hollow, 1);
  } else {
    ASSERT_NE(data.Get<CharFormat>(), nullptr);
    EXPECT_EQ(data.Get<CharFormat>()->color, kRed);
  }
  EXPECT_FALSE(logged[1]->first.IsEmpty());
  EXPECT_FALSE(logged[1]->second.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, CharKinds,
    ::testing::Values(CharKindCase{CDocBunsObj::kCharKindFont, kUndoFont},
                      CharKindCase{CDocBunsObj::kCharKindDecoration, kUndoDecoration},
                      CharKindCase{CDocBunsObj::kCharKindDesign, kUndoDesign},
                      CharKindCase{CDocBunsObj::kCharKindAll, kUndoAllAttributes}));

TEST_F(FormatCommands, ACharacterFormatWithoutASelectionChangesNothing) {
  Type("abc");
  const CDocBunsObj::CharAttributes all = RedUnderlinedHollow();
  ChangeRecord change;
  EXPECT_EQ(root.SetCharFont(kRecord, &all.font, &change), 0);
  EXPECT_EQ(root.SetCharFormat(CDocBunsObj::kCharKindAll, kRecord, &all, &change), 0);
  EXPECT_EQ(change.changed, 0);
  EXPECT_TRUE(Logged().empty());
  EXPECT_TRUE(window.messages().empty());
  CharFormat font;
  const CVedTextPos first = PathFromStart(kMoveNextChar, 0);
  root.CDocObjContainer::GetCharFont(&font, &first, &first);
  EXPECT_NE(font.color, kRed);
}

TEST_F(FormatCommands, ClearingOnlyDecorationsCountsAsAChange) {
  Type("abcdef");
  SelectFromStartTo(0);
  CDocBunsObj::CharAttributes decorate;
  decorate.decoration.mask = kMaskUnderline;
  decorate.decoration.underline = kUnderlined;
  ASSERT_EQ(root.SetCharDecoration(0, &decorate.decoration, nullptr), 1);
  window.Clear();

  // The font part names no field, so the font changes nothing: the
  // cleared decoration must still be recorded and repainted.
  CDocBunsObj::CharAttributes clear;
  clear.decoration.mask = kMaskDecorationAll;
  ChangeRecord change;
  EXPECT_EQ(root.SetCharFormat(CDocBunsObj::kCharKindAll, kRecord, &clear, &change), 1);
  EXPECT_NE(change.changed, 0);
  EXPECT_EQ(LoggedKinds(), (std::vector<int32_t>{kUndoEdit, kUndoAllAttributes}));
  EXPECT_EQ(window.Cues(), std::vector<int>{});
  CharDecoration after;
  const CVedTextPos a = PathFromStart(kMoveNextChar, 1);
  const CVedTextPos b = PathFromStart(kMoveNextChar, 2);
  root.CDocObjContainer::GetCharDecoration(&after, &a, &b);
  EXPECT_EQ(after.underline, 0);
}

TEST_F(FormatCommands, AFormatThatChangesNothingIsRolledBackWithAWarning) {
  Type("abc");
  SelectFromStartTo(0);
  CharFormat none;  // mask 0: no field named
  EXPECT_EQ(root.SetCharFont(kRecord, &none, nullptr), 0);
  EXPECT_TRUE(Logged().empty());
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  EXPECT_EQ(window.Count(WM_WPC_CONTENTCHANGED), 0u);
}

TEST_F(FormatCommands, AFontChangeKeepsTheSelection) {
  Type("abcdef");
  SelectFromStartTo(2);
  CVedTextRange before;
  before.start = PathFromStart(kMoveNextChar, 2);
  before.end = root.Caret();
  CharFormat bigger;
  bigger.mask = kMaskSize;
  bigger.size = 240;
  ASSERT_EQ(root.SetCharFont(kRecord, &bigger, nullptr), 1);
  EXPECT_TRUE(root.HasSelection());
  CharFormat font;
  ASSERT_NE(root.GetCharFont(0, &font), 0);
  EXPECT_EQ(font.size, 240);
  EXPECT_NE(font.mask & kMaskSize, 0);
}

TEST_F(FormatCommands, GettersAnswerTheSelectionOrTheCaret) {
  Type("abcdef");
  SelectFromStartTo(3);
  CDocBunsObj::CharAttributes all = RedUnderlinedHollow();
  ASSERT_EQ(root.SetCharFormat(CDocBunsObj::kCharKindAll, 0, &all, nullptr), 1);

  CDocBunsObj::CharAttributes read;
  EXPECT_NE(root.GetCharFormat(CDocBunsObj::kCharKindAll, 0, &read), 0);
  EXPECT_EQ(read.font.color, kRed);
  EXPECT_NE(read.font.mask & kMaskColor, 0);
  EXPECT_EQ(read.decoration.underline, kUnderlined);
  EXPECT_EQ(read.design.hollow, 1);

  // At the start, without a selection, the characters are plain.
  root.ResetSelection(0);
  const CVedTextPos start = PathFromStart(kMoveNextChar, 0);
  root.CDocObjContainer::SetCursor(&start);
  root.RememberCaretState();
  root.UpdateAfterChange({.caret = &start});
  CharDecoration plain;
  EXPECT_NE(root.GetCharDecoration(0, &plain), 0);
  EXPECT_EQ(plain.underline, 0);
}

TEST_F(FormatCommands, AFontValueWithoutASelectionAnswersOne) {
  Type("abc");
  EXPECT_EQ(root.GetCharFontValue(5), 1);
}

// ---- Read-only documents

TEST_F(FormatCommands, AReadOnlyDocumentRefusesEverySetter) {
  Type("abcdef");
  SelectFromStartTo(1);
  root.SetReadOnly(1);
  const CDocBunsObj::CharAttributes all = RedUnderlinedHollow();
  ParaFormat centred;
  centred.mask = kMaskAlignment;
  centred.alignment = 2;
  const std::vector<std::function<int()>> setters = {
      [&] { return root.SetCharFont(kRecord, &all.font, nullptr); },
      [&] { return root.SetCharDecoration(kRecord, &all.decoration, nullptr); },
      [&] { return root.SetCharDesign(kRecord, &all.design, nullptr); },
      [&] { return root.SetCharFormat(CDocBunsObj::kCharKindAll, kRecord, &all, nullptr); },
      [&] { return root.SetParagraphLayout(kRecord, &centred, nullptr); },
      [&] { return root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, kPitch, nullptr, kQuiet); },
  };
  for (size_t i = 0; i < setters.size(); ++i) {
    SCOPED_TRACE(i);
    window.Clear();
    EXPECT_EQ(setters[i](), 0);
    EXPECT_EQ(window.Cues(), std::vector<int>{kCueRefused});
    EXPECT_TRUE(Logged().empty());
  }
  // Queries still answer.
  CharFormat font;
  EXPECT_NE(root.GetCharFont(0, &font), 0);
}

// ---- Indent steps

struct IndentCase {
  const char* name;
  int selector;
  int32_t first, left, right;  // in pitches
  int32_t step;                // twips
  int32_t wantFirst, wantLeft, wantRight;
  bool changes;
};

class IndentSteps : public FormatCommands, public ::testing::WithParamInterface<IndentCase> {};

TEST_P(IndentSteps, StepOnThePitchWithinTheFrame) {
  const IndentCase c = GetParam();
  Type("abc");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 0);
  SetIndents(start, c.first * kPitch, c.left * kPitch, c.right * kPitch);
  ChangeRecord change;
  EXPECT_EQ(root.StepIndent(c.selector, kRecord, c.step, &change, kQuiet), c.changes ? 1 : 0);
  const ParaFormat after = IndentsAt(PathFromStart(kMoveNextChar, 0));
  EXPECT_EQ(after.firstIndent, c.wantFirst * kPitch);
  EXPECT_EQ(after.leftIndent, c.wantLeft * kPitch);
  EXPECT_EQ(after.rightIndent, c.wantRight * kPitch);
  if (c.changes) {
    EXPECT_EQ(LoggedKinds(), (std::vector<int32_t>{kUndoEdit, kUndoParagraph}));
    EXPECT_NE(change.changed, 0);
    EXPECT_TRUE(window.Cues().empty());
  } else {
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IndentSteps,
    ::testing::Values(
        IndentCase{"LeftOneIn", CDocBunsObj::kIndentLeft, 2, 2, 0, kPitch, 3, 3, 0, true},
        IndentCase{"LeftOneBack", CDocBunsObj::kIndentLeft, 3, 2, 0, -kPitch, 2, 1, 0, true},
        IndentCase{"LeftBackFromZeroStaysZero", CDocBunsObj::kIndentLeft, 0, 0, 0, -kPitch, 0, 0, 0,
                   false},
        IndentCase{"BothMustMove", CDocBunsObj::kIndentLeft, 0, 2, 0, -kPitch, 0, 2, 0, false},
        IndentCase{"HalfPitchInKeepsTheMultiple", CDocBunsObj::kIndentLeft, 2, 2, 0, kPitch / 2, 2,
                   2, 0, false},
        IndentCase{"HalfPitchBackKeepsTheMultiple", CDocBunsObj::kIndentLeft, 2, 2, 0, -kPitch / 2,
                   2, 2, 0, false},
        IndentCase{"RightOneIn", CDocBunsObj::kIndentRight, 1, 2, 0, kPitch, 1, 2, 1, true},
        IndentCase{"RightBack", CDocBunsObj::kIndentRight, 0, 0, 3, -2 * kPitch, 0, 0, 1, true}),
    [](const ::testing::TestParamInfo<IndentCase>& info) { return std::string(info.param.name); });

TEST_F(FormatCommands, ALeftStepStopsAtTheFrameLessOnePitchAndTheRightIndent) {
  Type("abc");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 0);
  const int32_t widest = FrameWidth() - kPitch;
  const int32_t right = 2 * kPitch;
  const int32_t near = widest - right - kPitch;
  SetIndents(start, near, near, right);
  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, 3 * kPitch, nullptr, kQuiet), 1);
  const ParaFormat after = IndentsAt(PathFromStart(kMoveNextChar, 0));
  EXPECT_EQ(after.firstIndent, widest - right);
  EXPECT_EQ(after.leftIndent, widest - right);
  EXPECT_EQ(after.rightIndent, right);
}

TEST_F(FormatCommands, AStepLogsTheIndentsItMoved) {
  Type("abc");
  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, kPitch, nullptr, kQuiet), 1);
  std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(logged.size(), 2u);
  ASSERT_NE(logged[1]->value.Get<ParaFormat>(), nullptr);
  EXPECT_EQ(logged[1]->value.Get<ParaFormat>()->mask, kMaskFirstIndent | kMaskLeftIndent);

  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentRight, kRecord, kPitch, nullptr, kQuiet), 1);
  logged = Logged();
  ASSERT_EQ(logged.size(), 2u);
  ASSERT_NE(logged[1]->value.Get<ParaFormat>(), nullptr);
  EXPECT_EQ(logged[1]->value.Get<ParaFormat>()->mask, kMaskRightIndent);
}

TEST_F(FormatCommands, AStepOverASelectionMovesEveryParagraphInIt) {
  Type("ab\r\ncd\r\nef");
  // From inside the first paragraph to the caret at the end of the third.
  SelectFromStartTo(1);
  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, kPitch, nullptr, kQuiet), 1);
  for (int paragraph : {0, 1, 2}) {
    SCOPED_TRACE(paragraph);
    EXPECT_EQ(IndentsAt(PathFromStart(kMoveNextParagraph, paragraph)).leftIndent, kPitch);
  }
  EXPECT_TRUE(root.HasSelection());
}

TEST_F(FormatCommands, AStepSaysTheNewIndent) {
  Type("abc");
  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, 2 * kPitch, nullptr, kQuiet), 1);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{Sjis("インデント 2")});
}

TEST_F(FormatCommands, AStepForADeletionSpeaksAsADeletion) {
  Type("abc");
  SetIndents(PathFromStart(kMoveNextChar, 0), kPitch, kPitch, 0);
  ASSERT_EQ(root.StepIndent(CDocBunsObj::kIndentLeft, kRecord, -kPitch, nullptr, kSpeak), 1);
  const std::vector<std::string> spoken = window.Spoken();
  ASSERT_FALSE(spoken.empty());
  EXPECT_EQ(spoken.front(), Sjis("削除"));
}

// ---- Paragraph layout

TEST_F(FormatCommands, AnIndentAcrossTwoTextsIsRefused) {
  Type("abc");
  AddTextChild("def");
  const CVedTextPos start = PathFromStart(kMoveNextChar, 1);
  CVedTextPos end;
  const MoveParams still{0, 0, 1};
  root.MoveCursor(kMoveDocumentEnd, &still, nullptr, &end);
  root.RememberCaretState();
  root.SetSelectionRange(0, &start, &end);
  window.Clear();
  ParaFormat indent;
  indent.mask = kMaskLeftIndent;
  indent.leftIndent = kPitch;
  EXPECT_EQ(root.SetParagraphLayout(kRecord, &indent, nullptr), 0);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  EXPECT_TRUE(Logged().empty());

  // While an undo is replayed the refusal is silent.
  window.Clear();
  root.SetUndoReplay(1);
  EXPECT_EQ(root.SetParagraphLayout(kRecord, &indent, nullptr), 0);
  EXPECT_TRUE(window.Cues().empty());
  root.SetUndoReplay(0);

  // A layout that sets no indent may span them.
  ParaFormat gaps;
  gaps.mask = kMaskLineGap;
  gaps.lineGap = 40;
  EXPECT_EQ(root.SetParagraphLayout(kRecord, &gaps, nullptr), 1);
}

TEST_F(FormatCommands, ALayoutAtTheCaretChangesItsParagraphAndIsLogged) {
  Type("ab\r\ncd");
  ParaFormat indent;
  indent.mask = kMaskLeftIndent;
  indent.leftIndent = 2 * kPitch;
  ChangeRecord change;
  ASSERT_EQ(root.SetParagraphLayout(kRecord, &indent, &change), 1);
  EXPECT_NE(change.changed, 0);
  EXPECT_EQ(IndentsAt(PathFromStart(kMoveNextParagraph, 1)).leftIndent, 2 * kPitch);
  EXPECT_EQ(IndentsAt(PathFromStart(kMoveNextParagraph, 0)).leftIndent, 0);
  const std::vector<const EditOpRecord*> logged = Logged();
  ASSERT_EQ(LoggedKinds(), (std::vector<int32_t>{kUndoEdit, kUndoParagraph}));
  ASSERT_NE(logged[1]->value.Get<ParaFormat>(), nullptr);
  EXPECT_EQ(logged[1]->value.Get<ParaFormat>()->leftIndent, 2 * kPitch);
  EXPECT_FALSE(root.HasSelection());
  // A paragraph layout says nothing of itself.
  EXPECT_TRUE(window.Spoken().empty());

  ParaFormat read;
  EXPECT_NE(root.GetParagraphLayout(0, &read), 0);
  EXPECT_EQ(read.leftIndent, 2 * kPitch);
}

TEST_F(FormatCommands, AnAlignmentChangeTakesTheCaretToTheLineStart) {
  Type("abc");
  ParaFormat centred;
  centred.mask = kMaskAlignment;
  centred.alignment = 2;
  ASSERT_EQ(root.SetParagraphLayout(kRecord, &centred, nullptr), 1);
  CVedTextPos leftEnd;
  const MoveParams still{0, 0, 1};
  root.MoveCursor(kMoveLeftEnd, &still, nullptr, &leftEnd);
  EXPECT_EQ(root.Caret(), leftEnd);
}

// ---- Colours, speech options and the printer

TEST_F(FormatCommands, ColoursReachTheRenderer) {
  DisplaySettings colours;
  colours.background = 0x102030;
  colours.text = 0x405060;
  colours.third = 0x708090;
  colours.zoom = 2;
  colours.marks = 0;
  colours.spare[2] = 7;
  root.SetColours(colours);
  const DisplaySettings& shown = root.Renderer().GetDisplaySettings();
  EXPECT_EQ(std::memcmp(&shown, &colours, sizeof colours), 0);
  DisplaySettings read;
  root.GetColours(read);
  EXPECT_EQ(std::memcmp(&read, &colours, sizeof colours), 0);
}

TEST_F(FormatCommands, SpeechOptionsReachTheFeedbackObject) {
  SpeechOptions options;
  options.voiceMask = 0x15;
  options.beepMask = 0x800;
  root.SetSpeechOptions(options);
  SpeechOptions fed;
  root.Feedback().GetSpeechOptions(fed);
  EXPECT_EQ(fed, options);
  SpeechOptions read;
  root.GetSpeechOptions(read);
  EXPECT_EQ(read, options);
}

TEST_F(FormatCommands, SwitchingSpeechOffAnswersTheOldSettingAndSilencesAtOnce) {
  EXPECT_EQ(root.SetSpeechEnabled(0), 1);
  root.Feedback().Speak(kSpeechPlain, "a", 1, 0);
  EXPECT_TRUE(window.Spoken().empty());
  EXPECT_EQ(root.SetSpeechEnabled(1), 0);
  root.Feedback().Speak(kSpeechPlain, "a", 1, 0);
  EXPECT_EQ(window.Spoken(), std::vector<std::string>{"a"});
  SpeechOptions read;
  root.GetSpeechOptions(read);
  EXPECT_EQ(read.speechOn, 1);
}

TEST_F(FormatCommands, SwitchingSoundOffSilencesTheCues) {
  root.PlayCue(kCueWarning, 1, 2);
  EXPECT_EQ(window.Cues(), std::vector<int>{kCueWarning});
  window.Clear();
  EXPECT_EQ(root.SetSoundEnabled(0), 1);
  root.PlayCue(kCueWarning, 1, 2);
  EXPECT_TRUE(window.Cues().empty());
  EXPECT_EQ(root.SetSoundEnabled(1), 0);
  SpeechOptions fed;
  root.Feedback().GetSpeechOptions(fed);
  EXPECT_EQ(fed.soundOn, 1);
}

TEST_F(FormatCommands, APrinterIsAttachedToTheRendererAndItsFonts) {
  Type("abc");
  platform::PrinterSetup setup;
  setup.paper = {4960, 7016};
  const std::string path = ::testing::TempDir() + "doc_root_formats_printer.pdf";
  platform::UniqueDC printer = platform::CreatePdfDC(path, setup);
  ASSERT_NE(printer, nullptr);
  const int32_t font = root.Renderer().GetDefaultFontId();
  ASSERT_GE(font, 0);
  FontInfo info;
  EXPECT_EQ(root.Renderer().FontUseList().GetDeviceFontInfo(font, &info), nullptr);

  EXPECT_EQ(root.AttachPrinter(printer.get()), 1);
  EXPECT_TRUE(root.Renderer().IsPrinting());
  EXPECT_EQ(root.IsPrinterAttached(), 1);
  EXPECT_NE(root.Renderer().FontUseList().GetDeviceFontInfo(font, &info), nullptr);

  root.DetachPrinter();
  EXPECT_FALSE(root.Renderer().IsPrinting());
  EXPECT_EQ(root.IsPrinterAttached(), 0);
  EXPECT_EQ(root.Renderer().FontUseList().GetDeviceFontInfo(font, &info), nullptr);
}

// ---- Drawing

class PageDrawing : public FormatCommands {
 protected:
  platform::UniqueDC screen = platform::CreateImageDC(400, 400, 96, 96);
};

TEST_F(PageDrawing, TheWindowHearsBeforeAndAfter) {
  Type("abc");
  EXPECT_EQ(root.DrawPage(screen.get(), nullptr, 0, 2000, 1), 1);
  EXPECT_EQ(window.Notifications(),
            (std::vector<platform::UINT>{WM_WPC_BEFOREDRAW, WM_WPC_AFTERDRAW}));
  // The screen announces no children; that is for the printer's pages.
  EXPECT_EQ(root.Renderer().GetAnnouncedChild().kind, 0);
}

TEST_F(PageDrawing, AReplyBeforeDrawingSkipsThePage) {
  Type("abc");
  window.SetReply(WM_WPC_BEFOREDRAW, 1);
  EXPECT_EQ(root.DrawPage(screen.get(), nullptr, 0, 2000, 1), 0);
  EXPECT_EQ(window.Notifications(), std::vector<platform::UINT>{WM_WPC_BEFOREDRAW});
}

TEST_F(PageDrawing, ScreenDrawingWaitsForRedrawButPrintingDoesNot) {
  Type("abc");
  root.EnableRedraw(0);
  window.Clear();
  EXPECT_EQ(root.DrawPage(screen.get(), nullptr, 0, 2000, 1), 0);
  EXPECT_TRUE(window.Notifications().empty());

  EXPECT_EQ(root.DrawPage(screen.get(), nullptr, 0, 2000, 2), 1);
  EXPECT_EQ(window.Notifications(),
            (std::vector<platform::UINT>{WM_WPC_BEFOREDRAW, WM_WPC_AFTERDRAW}));
  // A printed page tells the renderer which child it draws.
  EXPECT_EQ(root.Renderer().GetAnnouncedChild().kind, 1);
}

TEST_F(PageDrawing, TheDrawOffsetMovesTheContent) {
  Type("\x82\xa0\x82\xa0\x82\xa0");  // three wide characters
  auto inked = [&](int32_t fromX) {
    for (int32_t y = 0; y < 40; ++y) {
      for (int32_t x = fromX; x < fromX + 10; ++x) {
        if (platform::GetPixel(screen.get(), x, y) != 0xFFFFFF &&
            platform::GetPixel(screen.get(), x, y) !=
                root.Renderer().GetDisplaySettings().background) {
          return true;
        }
      }
    }
    return false;
  };
  // 1440 twips is 96 pixels: with the offset nothing is drawn left of it.
  root.SetDrawOffset(1440, 0);
  ASSERT_EQ(root.DrawPage(screen.get(), nullptr, 0, 2000, 1), 1);
  EXPECT_FALSE(inked(0));
  EXPECT_TRUE(inked(96));
}

TEST_F(PageDrawing, CaretRectsAreTheHighlightInsideTheBand) {
  Type("abcdefghijklmnopqrstuvwxyzabcdefghijklmnop");  // more than two lines
  SelectFromStartTo(3);
  std::array<platform::RECT, 3> rects{};
  const int all = root.GetCaretRects(0, 100000, rects);
  EXPECT_EQ(all, 3);
  EXPECT_EQ(rects[0].top, 0);
  // A band below the selection holds none of it.
  EXPECT_EQ(root.GetCaretRects(50000, 60000, rects), 0);
  // A band over the first line only clips to it.
  EXPECT_EQ(root.GetCaretRects(0, 100, rects), 1);
  EXPECT_EQ(rects[0].bottom, 100);
  root.ResetSelection(0);
  EXPECT_EQ(root.GetCaretRects(0, 100000, rects), 0);
}

}  // namespace
}  // namespace doc_root_test
