#include "engine/edit_op_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "model/attribute_records.h"
#include "model/position.h"
#include "platform/archive.h"
#include "platform/file.h"

namespace {

using Bytes = std::vector<uint8_t>;

CVedTextPos Path(std::initializer_list<PosPair> pairs) {
  CVedTextPos path;
  for (const PosPair& pair : pairs) path.Append(pair);
  return path;
}

// What one logged operation is expected to carry.
struct Expected {
  int32_t kind;
  CVedTextPos first;
  CVedTextPos second;
  CVedTextPos third;
};

void ExpectRecord(const EditOpRecord* record, const Expected& expected) {
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->kind, expected.kind);
  EXPECT_EQ(record->first.pairs, expected.first.pairs);
  EXPECT_EQ(record->second.pairs, expected.second.pairs);
  EXPECT_EQ(record->third.pairs, expected.third.pairs);
  // Copies are in force over every pair they hold.
  EXPECT_EQ(record->first.depth, static_cast<int32_t>(expected.first.pairs.size()));
  EXPECT_EQ(record->second.depth, static_cast<int32_t>(expected.second.pairs.size()));
  EXPECT_EQ(record->third.depth, static_cast<int32_t>(expected.third.pairs.size()));
}

class EditOpLogTest : public ::testing::Test {
 protected:
  // Logs one operation whose content is `content`, written through a
  // fresh data archive as the document root writes an undo fragment.
  void LogWithContent(int32_t kind, const Bytes& content) {
    EditDataHolder* holder = log_.OpenDataArchive();
    ASSERT_NE(holder, nullptr);
    holder->archive()->Write(content.data(), content.size());
    log_.AddOperation(kind, &caret_, nullptr, nullptr, holder);
  }

  CEditOpLog log_;
  const CVedTextPos caret_ = Path({{kTagChildIndex, 0}, {257, 4}});
};

TEST_F(EditOpLogTest, AnEmptyLogHasNothingToHandOut) {
  EXPECT_EQ(log_.Rewind(), 0);
  EXPECT_EQ(log_.GetNext(), nullptr);
  EXPECT_FALSE(log_.IsActive());
  EXPECT_FALSE(log_.IsSuppressed());
}

TEST_F(EditOpLogTest, OperationsComeBackInLoggingOrderWithTheirOwnCopiesOfThePositions) {
  CVedTextPos start = Path({{kTagChildIndex, 1}, {257, 0}});
  CVedTextPos end = Path({{kTagChildIndex, 2}, {258, 7}, {259, 3}});
  // Depth below the pair count: the copy takes every pair.
  CVedTextPos shallow = Path({{kTagChildIndex, 3}, {257, 9}});
  shallow.depth = 1;
  const std::vector<Expected> expected = {
      {1, start, end, {}},
      {3, start, end, caret_},
      {201, shallow, {}, caret_},
  };

  log_.BeginGroup();
  log_.AddOperation(1, &start, &end, nullptr, nullptr);
  log_.AddOperation(3, &start, &end, &caret_, nullptr);
  log_.AddOperation(201, &shallow, nullptr, &caret_, nullptr);
  log_.EndGroup();
  // The callers' paths change after logging; the log keeps what was given.
  start.PrependChild(5);
  end.PopFirstPair();

  ASSERT_EQ(log_.Rewind(), 3);
  for (const Expected& e : expected) ExpectRecord(log_.GetNext(), e);
  EXPECT_EQ(log_.GetNext(), nullptr);
  EXPECT_EQ(log_.GetNext(), nullptr);

  // A second pass reads the same operations again.
  ASSERT_EQ(log_.Rewind(), 3);
  EXPECT_EQ(log_.GetNext()->kind, 1);
}

TEST_F(EditOpLogTest, EachCommandStartsAFreshGroupThatStaysReadableAfterItEnds) {
  log_.BeginGroup();
  EXPECT_TRUE(log_.IsActive());
  log_.AddOperation(1, &caret_, nullptr, nullptr, nullptr);
  log_.AddOperation(2, &caret_, nullptr, nullptr, nullptr);
  log_.EndGroup();
  EXPECT_FALSE(log_.IsActive());
  // The engine reads the closed group after the command.
  ASSERT_EQ(log_.Rewind(), 2);
  EXPECT_EQ(log_.GetNext()->kind, 1);

  // The next command sees only its own operations, even with the last
  // group half read.
  log_.BeginGroup();
  EXPECT_EQ(log_.GetNext(), nullptr);
  log_.AddOperation(5, &caret_, nullptr, nullptr, nullptr);
  log_.EndGroup();
  ASSERT_EQ(log_.Rewind(), 1);
  EXPECT_EQ(log_.GetNext()->kind, 5);
  EXPECT_EQ(log_.GetNext(), nullptr);
}

TEST_F(EditOpLogTest, ClearingEmptiesTheLogAndTheWalkOverIt) {
  log_.BeginGroup();
  LogWithContent(2, {1, 2, 3});
  log_.AddOperation(1, &caret_, nullptr, nullptr, nullptr);
  ASSERT_EQ(log_.Rewind(), 2);
  ASSERT_NE(log_.GetNext(), nullptr);

  log_.Clear();
  EXPECT_EQ(log_.GetNext(), nullptr);
  EXPECT_EQ(log_.Rewind(), 0);
  // Clearing is not suppressing: the group goes on logging.
  EXPECT_TRUE(log_.IsActive());
  log_.AddOperation(4, &caret_, nullptr, nullptr, nullptr);
  const EditOpRecord* next = log_.GetNext();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(next->kind, 4);
}

TEST_F(EditOpLogTest, WhileSuppressedNothingIsLoggedAndTheHolderKeepsItsContent) {
  log_.BeginGroup();
  log_.AddOperation(1, &caret_, nullptr, nullptr, nullptr);
  ASSERT_EQ(log_.Rewind(), 1);
  ASSERT_NE(log_.GetNext(), nullptr);

  log_.SetSuppressed(1);
  EXPECT_TRUE(log_.IsSuppressed());
  EXPECT_EQ(log_.GetNext(), nullptr);  // the walk went with the records
  EXPECT_EQ(log_.Rewind(), 0);

  EditDataHolder* holder = log_.OpenDataArchive();
  ASSERT_NE(holder, nullptr);
  *holder->archive() << uint8_t{0x5A};
  log_.AddOperation(2, &caret_, nullptr, nullptr, holder);
  EXPECT_EQ(log_.Rewind(), 0);
  ASSERT_TRUE(holder->HasData());
  EXPECT_EQ(holder->TakeBytes(), Bytes{0x5A});
  // The engine learns of the suppression after the command's group closed.
  log_.EndGroup();
  EXPECT_TRUE(log_.IsSuppressed());

  // The next command's group lifts the suppression.
  log_.BeginGroup();
  EXPECT_FALSE(log_.IsSuppressed());
  log_.AddOperation(1, &caret_, nullptr, nullptr, nullptr);
  EXPECT_EQ(log_.Rewind(), 1);
}

TEST_F(EditOpLogTest, ContentWrittenIntoAnOperationReadsBackByteForByte) {
  EditDataHolder* holder = log_.OpenDataArchive();
  ASSERT_NE(holder, nullptr);
  EXPECT_TRUE(holder->archive()->IsStoring());
  EXPECT_EQ(holder->file()->GrowBytes(), 4096u);
  platform::CArchive& ar = *holder->archive();
  ar << uint32_t{0x0000C000} << int16_t{-2};
  ar.WriteString("ab");
  WritePathPairs(ar, Path({{kTagChildIndex, 1}, {257, -1}}));
  // Well beyond the archive's buffer and the file's first growth step.
  Bytes tail(9000);
  for (size_t i = 0; i < tail.size(); ++i) tail[i] = static_cast<uint8_t>(i * 7 + 1);
  ar.Write(tail.data(), tail.size());

  log_.BeginGroup();
  log_.AddOperation(2, &caret_, nullptr, nullptr, holder);
  EXPECT_FALSE(holder->HasData());  // the operation owns the content now

  Bytes expected = {
      0x00, 0xC0, 0x00, 0x00,                          // 0xC000
      0xFE, 0xFF,                                      // -2
      0x02, 'a',  'b',                                 // byte string
      0x02, 0x00,                                      // two pairs
      0x01, 0x09, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,  // 0x901, 1
      0x01, 0x01, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF,  // 257, -1
  };
  expected.insert(expected.end(), tail.begin(), tail.end());

  ASSERT_EQ(log_.Rewind(), 1);
  EditOpRecord* record = log_.GetNext();
  ASSERT_NE(record, nullptr);
  ASSERT_TRUE(record->data.HasData());
  EXPECT_EQ(record->data.TakeBytes(), expected);
  EXPECT_FALSE(record->data.HasData());
  EXPECT_EQ(record->data.TakeBytes(), std::nullopt);
}

TEST_F(EditOpLogTest, EachOperationKeepsTheContentOpenedForIt) {
  log_.BeginGroup();
  LogWithContent(2, {0x11, 0x12});
  log_.AddOperation(1, &caret_, &caret_, nullptr, nullptr);
  LogWithContent(6, {0x21});
  // A holder that was opened but never handed on is replaced, not appended.
  ASSERT_NE(log_.OpenDataArchive(), nullptr);
  *log_.OpenDataArchive()->archive() << uint8_t{0x99};
  LogWithContent(4, {0x41, 0x42, 0x43});

  const std::vector<std::optional<Bytes>> expected = {Bytes{0x11, 0x12}, std::nullopt, Bytes{0x21},
                                                      Bytes{0x41, 0x42, 0x43}};
  ASSERT_EQ(log_.Rewind(), static_cast<int32_t>(expected.size()));
  for (const std::optional<Bytes>& bytes : expected) {
    EditOpRecord* record = log_.GetNext();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->data.HasData(), bytes.has_value());
    EXPECT_EQ(record->data.TakeBytes(), bytes);
  }
}

TEST_F(EditOpLogTest, TheHolderIsTheLogsOwnAndReopensEmpty) {
  EditDataHolder* first = log_.OpenDataArchive();
  ASSERT_NE(first, nullptr);
  *first->archive() << uint32_t{7};
  EditDataHolder* second = log_.OpenDataArchive();
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->TakeBytes(), Bytes{});
}

TEST_F(EditOpLogTest, ClearingAndDestroyingFreeContentThatWasNeverFlushed) {
  // The sanitizer build reports any leak or use after free here.
  auto log = std::make_unique<CEditOpLog>();
  log->BeginGroup();
  for (int32_t kind : {2, 4, 6}) {
    EditDataHolder* holder = log->OpenDataArchive();
    ASSERT_NE(holder, nullptr);
    *holder->archive() << kind;
    log->AddOperation(kind, &caret_, nullptr, nullptr, holder);
  }
  ASSERT_EQ(log->Rewind(), 3);
  log->Clear();
  EXPECT_EQ(log->Rewind(), 0);

  log->AddOperation(2, &caret_, nullptr, nullptr, log->OpenDataArchive());
  *log->OpenDataArchive()->archive() << int32_t{1};  // left in the holder
  log.reset();
}

TEST(EditOpValueTest, KeepsItsOwnCopyOfTheRecordItWasGiven) {
  CEditOpLog log;
  const CVedTextPos caret;
  {
    // A record made for the call alone, as an indent step makes one.
    ParaFormat step;
    step.mask = kMaskFirstIndent | kMaskLeftIndent;
    step.leftIndent = 240;
    log.AddOperation(105, &caret, &caret, nullptr, nullptr, EditOpValue::Of(step));
    step.leftIndent = -1;
  }
  log.AddOperation(201, &caret, nullptr, &caret, nullptr, EditOpValue::Of(int32_t{12}));
  log.AddOperation(1, &caret, &caret, nullptr, nullptr);

  ASSERT_EQ(log.Rewind(), 3);
  const EditOpValue& format = log.GetNext()->value;
  ASSERT_NE(format.Get<ParaFormat>(), nullptr);
  EXPECT_EQ(format.Get<ParaFormat>()->mask, kMaskFirstIndent | kMaskLeftIndent);
  EXPECT_EQ(format.Get<ParaFormat>()->leftIndent, 240);
  // Asked for as something else it is not there at all.
  EXPECT_EQ(format.Get<CharFormat>(), nullptr);
  EXPECT_EQ(format.Get<int32_t>(), nullptr);

  const EditOpValue& width = log.GetNext()->value;
  ASSERT_NE(width.Get<int32_t>(), nullptr);
  EXPECT_EQ(*width.Get<int32_t>(), 12);

  EXPECT_TRUE(log.GetNext()->value.IsEmpty());
}

TEST(EditOpValueTest, WideValuesKeepEveryBit) {
  const int64_t wide = INT64_C(0x123456789ABCDEF0);
  const EditOpValue value = EditOpValue::Of(wide);
  ASSERT_NE(value.Get<int64_t>(), nullptr);
  EXPECT_EQ(*value.Get<int64_t>(), wide);
}

}  // namespace
