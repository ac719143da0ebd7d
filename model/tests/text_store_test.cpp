#include "model/text_store.h"

#include <gtest/gtest.h>

#include <vector>

#include "model/position.h"

namespace {

CharCell Cell(uint16_t code) {
  CharCell cell;
  cell.code = code;
  return cell;
}

class TextStoreTest : public ::testing::Test {
 protected:
  TextStoreTest() { store.Bind(&paragraphs, &lines, &cells, &spare); }

  uint16_t CodeOf(NodeHandle node) const {
    CharCell cell;
    EXPECT_EQ(store.GetInfo(node, cell), 1);
    return cell.code;
  }

  // One paragraph with one line holding the given cells.
  void Document(std::initializer_list<uint16_t> codes) {
    NodeHandle first = kNoNode;
    NodeHandle last = kNoNode;
    for (uint16_t code : codes) {
      last = store.InsertBefore(kNoNode, Cell(code));
      if (first == kNoNode) first = last;
    }
    LineInfo line;
    line.firstCell = first;
    line.lastCell = last;
    line.cellCount = static_cast<int32_t>(codes.size());
    const NodeHandle lineNode = store.InsertAfter(kNoNode, line);
    ParagraphInfo paragraph;
    paragraph.firstLine = paragraph.lastLine = lineNode;
    paragraph.lineCount = 1;
    store.SetCurrentNode(kLevelParagraph, store.InsertAfter(kNoNode, paragraph));
    store.SetCurrentNode(kLevelLine, lineNode);
    store.SetCurrentNode(kLevelCell, first);
  }

  ParagraphList paragraphs;
  LineList lines;
  CellList cells;
  SpareList spare;
  CTextStore store;
};

TEST(UnboundTextStoreTest, AnswersNothingAndChangesNothing) {
  CTextStore store;
  EXPECT_EQ(store.InsertBefore(kNoNode, Cell('a')), kNoNode);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavFirst, kNoNode), kNoNode);
  EXPECT_EQ(store.Count(kLevelCell), 0);
  EXPECT_EQ(store.IndexOf(kLevelCell, 1), -1);
  EXPECT_EQ(store.IsEmptyDocument(), 0);
  EXPECT_EQ(store.ExtractText(kExtractPlain, 1, 1), "");
}

CharCell Anchored(uint16_t code, CVedAnchor* anchor) {
  CharCell cell = Cell(code);
  cell.anchor = anchor;
  return cell;
}

CVedAnchor* AnchorOf(const CTextStore& store, NodeHandle node) {
  CharCell cell;
  EXPECT_EQ(store.GetInfo(node, cell), 1);
  return cell.anchor;
}

// The cell list keeps the anchors beside the records, which hold only
// whether there is one: a cell's anchor is the one last written with it,
// and a node freed and used again for another cell carries none.
TEST_F(TextStoreTest, ACellsAnchorStaysWithItsNodeUntilTheCellGoes) {
  CVedAnchor first;
  CVedAnchor second;
  const NodeHandle a = store.InsertBefore(kNoNode, Anchored('a', &first));
  const NodeHandle b = store.InsertAfter(a, Cell('b'));
  const NodeHandle c = store.InsertBefore(b, Anchored('c', &second));
  EXPECT_EQ(AnchorOf(store, a), &first);
  EXPECT_EQ(AnchorOf(store, b), nullptr);
  EXPECT_EQ(AnchorOf(store, store.Navigate(kLevelCell, kNavNext, a)), &second);
  EXPECT_EQ(c, b);

  // A record read from an anchored cell and written to another without
  // its anchor leaves that cell without one.
  CharCell copy;
  ASSERT_EQ(store.GetInfo(a, copy), 1);
  copy.anchor = nullptr;
  ASSERT_EQ(store.SetInfo(b, copy), 1);
  EXPECT_EQ(AnchorOf(store, b), nullptr);
  EXPECT_EQ(AnchorOf(store, a), &first);

  ASSERT_EQ(store.SetInfo(a, Anchored('a', &second)), 1);
  EXPECT_EQ(AnchorOf(store, a), &second);
  ASSERT_EQ(store.SetInfo(a, Cell('a')), 1);
  EXPECT_EQ(AnchorOf(store, a), nullptr);

  ASSERT_EQ(store.SetInfo(a, Anchored('a', &first)), 1);
  store.Remove(kLevelCell, a);
  const NodeHandle reused = store.InsertBefore(kNoNode, Cell('d'));
  EXPECT_EQ(reused, a) << "the most recently freed node is used first";
  EXPECT_EQ(AnchorOf(store, reused), nullptr);

  store.ClearLevel(kLevelCell);
  const NodeHandle fresh = store.InsertBefore(kNoNode, Cell('e'));
  EXPECT_EQ(AnchorOf(store, fresh), nullptr);
}

TEST(StoredCellTest, TheStoredRecordHoldsNoPointer) {
  // Cells are nearly the whole of a document's memory.
  EXPECT_EQ(alignof(StoredCell), alignof(int32_t));
  EXPECT_EQ(sizeof(StoredCell), 40u);
}

TEST_F(TextStoreTest, InsertBeforeAnswersTheGivenNodeOrTheAppendedOne) {
  const NodeHandle b = store.InsertBefore(kNoNode, Cell('b'));
  EXPECT_EQ(CodeOf(b), 'b');
  EXPECT_EQ(store.InsertBefore(b, Cell('a')), b);
  const NodeHandle a = store.Navigate(kLevelCell, kNavPrevious, b);
  EXPECT_EQ(CodeOf(a), 'a');
  EXPECT_EQ(store.Navigate(kLevelCell, kNavFirst, kNoNode), a);
}

TEST_F(TextStoreTest, InsertAfterWithNoNodePutsCellsFirstButParagraphsAndLinesLast) {
  store.InsertAfter(kNoNode, Cell('x'));
  const NodeHandle front = store.InsertAfter(kNoNode, Cell('y'));
  EXPECT_EQ(store.Navigate(kLevelCell, kNavFirst, kNoNode), front);

  LineInfo line;
  const NodeHandle line1 = store.InsertAfter(kNoNode, line);
  const NodeHandle line2 = store.InsertAfter(kNoNode, line);
  EXPECT_EQ(store.Navigate(kLevelLine, kNavLast, kNoNode), line2);
  EXPECT_EQ(store.Navigate(kLevelLine, kNavFirst, kNoNode), line1);

  ParagraphInfo paragraph;
  store.InsertAfter(kNoNode, paragraph);
  const NodeHandle p2 = store.InsertAfter(kNoNode, paragraph);
  EXPECT_EQ(store.Navigate(kLevelParagraph, kNavLast, kNoNode), p2);

  const NodeHandle middle = store.InsertAfter(line1, line);
  EXPECT_EQ(store.Navigate(kLevelLine, kNavNext, line1), middle);
  EXPECT_EQ(store.Navigate(kLevelLine, kNavNext, middle), line2);
}

TEST_F(TextStoreTest, NavigateKinds) {
  Document({'a', 'b', 'c'});
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle c = store.Navigate(kLevelCell, kNavLast, kNoNode);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavPrevious, a), kNoNode);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavNext, c), kNoNode);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavNext, kNoNode), kNoNode);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavFirst, a), a);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavSelf, c), c);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavCurrent, kNoNode), a);
  EXPECT_EQ(store.Navigate(kLevelCell, 5, a), kNoNode);
  EXPECT_EQ(store.IsFirst(kLevelCell, a), 1);
  EXPECT_EQ(store.IsLast(kLevelCell, c), 1);
  EXPECT_EQ(store.IsLast(kLevelCell, a), 0);
}

TEST_F(TextStoreTest, RemoveAnswersNextOrPreviousAndEmptiesTheLevel) {
  Document({'a', 'b', 'c'});
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle b = store.Navigate(kLevelCell, kNavNext, a);
  const NodeHandle c = store.Navigate(kLevelCell, kNavNext, b);
  EXPECT_EQ(store.Remove(kLevelCell, b), c);
  EXPECT_EQ(store.Remove(kLevelCell, c), a);
  EXPECT_EQ(store.Remove(kLevelCell, a), kNoNode);
  EXPECT_EQ(store.Count(kLevelCell), 0);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavFirst, kNoNode), kNoNode);
}

// Far more cells than one block holds: every record keeps its value and
// its links while the first block grows and later blocks are added, a
// freed node is not live and is the next one handed out, and nodes on
// either side still link back.
TEST_F(TextStoreTest, CellsSpanningManyBlocksKeepRecordsAndReuseFreedNodes) {
  constexpr int kBlock = CellList::kBlockNodes;
  constexpr int kCells = 3 * kBlock + 3;
  std::vector<NodeHandle> nodes;
  for (int i = 0; i < kCells; ++i) {
    nodes.push_back(store.InsertBefore(kNoNode, Cell(static_cast<uint16_t>('A' + i))));
  }
  for (int i = 0; i < kCells; ++i) EXPECT_EQ(CodeOf(nodes[i]), 'A' + i);
  EXPECT_EQ(store.Count(kLevelCell), kCells);

  const NodeHandle freed = nodes[kBlock];  // first of the second block
  EXPECT_EQ(store.Remove(kLevelCell, freed), nodes[kBlock + 1]);
  CharCell cell;
  EXPECT_EQ(store.GetInfo(freed, cell), 0);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavNext, nodes[kBlock - 1]), nodes[kBlock + 1]);
  EXPECT_EQ(store.Navigate(kLevelCell, kNavPrevious, nodes[kBlock + 1]), nodes[kBlock - 1]);

  EXPECT_EQ(store.InsertBefore(kNoNode, Cell('z')), freed);
  EXPECT_EQ(CodeOf(freed), 'z');
  EXPECT_EQ(store.Navigate(kLevelCell, kNavLast, kNoNode), freed);
  EXPECT_EQ(store.IndexOf(kLevelCell, freed), kCells);
  EXPECT_EQ(CodeOf(nodes[kCells - 1]), 'A' + kCells - 1);

  // Order across blocks, near either end and far apart, both ways round.
  struct Pair {
    NodeHandle a, b, earlier;
  };
  const NodeHandle head = nodes[0];
  const NodeHandle nearHead = nodes[2];
  const NodeHandle middle = nodes[kCells / 2];
  const NodeHandle nearTail = nodes[kCells - 2];
  for (const Pair& p :
       {Pair{head, nearTail, head}, Pair{nearTail, head, head}, Pair{nearHead, middle, nearHead},
        Pair{middle, nearHead, nearHead}, Pair{middle, nearTail, middle},
        Pair{nearTail, freed, nearTail}, Pair{freed, middle, middle}}) {
    EXPECT_EQ(store.Earlier(kLevelCell, p.a, p.b), p.earlier) << p.a << " " << p.b;
  }
}

TEST_F(TextStoreTest, RemoveRangeIsInclusiveInEitherOrder) {
  Document({'a', 'b', 'c', 'd'});
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle b = store.Navigate(kLevelCell, kNavNext, a);
  const NodeHandle c = store.Navigate(kLevelCell, kNavNext, b);
  const NodeHandle d = store.Navigate(kLevelCell, kNavNext, c);
  EXPECT_EQ(store.RemoveRange(kLevelCell, c, b), d);
  EXPECT_EQ(store.Count(kLevelCell), 2);
  EXPECT_EQ(store.RemoveRange(kLevelCell, d, d), a);  // ended at the last node
  EXPECT_EQ(store.Count(kLevelCell), 1);
}

TEST_F(TextStoreTest, LinkCheckRefusesRemovedNodesAndAcceptsALoneNode) {
  const NodeHandle lone = store.InsertBefore(kNoNode, Cell('z'));
  CharCell cell;
  EXPECT_EQ(store.GetInfo(lone, cell), 1);
  cell.code = 'q';
  EXPECT_EQ(store.SetInfo(lone, cell), 1);
  EXPECT_EQ(CodeOf(lone), 'q');

  store.Remove(kLevelCell, lone);
  EXPECT_EQ(store.GetInfo(lone, cell), 0);
  EXPECT_EQ(store.SetInfo(lone, cell), 0);
  EXPECT_EQ(store.GetInfo(kNoNode, cell), 0);
  NodeHandle first = 7;
  NodeHandle last = 7;
  EXPECT_EQ(store.GetChildRange(kLevelCell, lone, first, last), 0);
  EXPECT_EQ(first, 7);
}

TEST_F(TextStoreTest, ChildrenAndParents) {
  Document({'a', 'b'});
  const NodeHandle paragraph = store.Navigate(kLevelParagraph, kNavFirst, kNoNode);
  const NodeHandle line = store.Navigate(kLevelLine, kNavFirst, kNoNode);
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle b = store.Navigate(kLevelCell, kNavLast, kNoNode);
  EXPECT_EQ(store.GetChild(kLevelLine, false, paragraph), line);
  EXPECT_EQ(store.GetChild(kLevelCell, true, line), b);
  EXPECT_EQ(store.IsChildEdge(kLevelCell, false, line, a), 1);
  EXPECT_EQ(store.IsChildEdge(kLevelCell, true, line, a), 0);
  EXPECT_EQ(store.FindParent(kLevelLine, kNavNext, kNoNode, b), line);
  EXPECT_EQ(store.FindParent(kLevelLine, kNavPrevious, kNoNode, a), line);
  EXPECT_EQ(store.FindParent(kLevelParagraph, kNavSelf, kNoNode, line), paragraph);
  EXPECT_EQ(store.FindParent(kLevelLine, 7, kNoNode, a), kNoNode);
}

TEST_F(TextStoreTest, ALineKeepsHowItEndsAsItsLastCellChanges) {
  Document({'a', kCodeParagraphEnd});
  const NodeHandle line = store.Navigate(kLevelLine, kNavFirst, kNoNode);
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle mark = store.Navigate(kLevelCell, kNavLast, kNoNode);
  auto endOfLine = [&] {
    LineInfo info;
    EXPECT_EQ(store.GetInfo(line, info), 1);
    return info.end;
  };
  EXPECT_EQ(endOfLine(), LineEnd::kParagraph);

  struct Rewrite {
    uint16_t code;
    LineEnd end;
  };
  for (const Rewrite& rewrite :
       {Rewrite{kCodePageBreak, LineEnd::kPageBreak}, Rewrite{'b', LineEnd::kWrapped},
        Rewrite{kCodeEndOfText, LineEnd::kText}}) {
    ASSERT_EQ(store.SetInfo(mark, Cell(rewrite.code)), 1);
    EXPECT_EQ(endOfLine(), rewrite.end) << "after code " << rewrite.code;
  }
  // A cell inside the line changes nothing; a new last cell does.
  ASSERT_EQ(store.SetInfo(a, Cell(kCodeParagraphEnd)), 1);
  EXPECT_EQ(endOfLine(), LineEnd::kText);
  LineInfo info;
  ASSERT_EQ(store.GetInfo(line, info), 1);
  info.lastCell = a;
  ASSERT_EQ(store.SetInfo(line, info), 1);
  EXPECT_EQ(endOfLine(), LineEnd::kParagraph);
}

TEST_F(TextStoreTest, FindParentWalksFromTheStartInItsDirection) {
  // Two lines: "ab" and "c".
  const NodeHandle a = store.InsertBefore(kNoNode, Cell('a'));
  const NodeHandle b = store.InsertBefore(kNoNode, Cell('b'));
  const NodeHandle c = store.InsertBefore(kNoNode, Cell('c'));
  LineInfo first;
  first.firstCell = a;
  first.lastCell = b;
  LineInfo second;
  second.firstCell = second.lastCell = c;
  const NodeHandle line1 = store.InsertAfter(kNoNode, first);
  const NodeHandle line2 = store.InsertAfter(kNoNode, second);
  EXPECT_EQ(store.FindParent(kLevelLine, kNavNext, line1, c), line2);
  EXPECT_EQ(store.FindParent(kLevelLine, kNavNext, line2, a), kNoNode);
  EXPECT_EQ(store.FindParent(kLevelLine, kNavPrevious, line2, b), line1);
}

TEST_F(TextStoreTest, EarlierAndIndexOf) {
  Document({'a', 'b', 'c'});
  const NodeHandle a = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle c = store.Navigate(kLevelCell, kNavLast, kNoNode);
  EXPECT_EQ(store.Earlier(kLevelCell, c, a), a);
  EXPECT_EQ(store.Earlier(kLevelCell, c, c), c);
  EXPECT_EQ(store.Earlier(kLevelCell, c, kNoNode), kNoNode);
  EXPECT_EQ(store.IndexOf(kLevelCell, a), 1);
  EXPECT_EQ(store.IndexOf(kLevelCell, c), 3);
  EXPECT_EQ(store.IndexOf(kLevelCell, kNoNode), -1);
}

TEST_F(TextStoreTest, EmptyDocumentUntilACharacterIsTyped) {
  Document({kCodeEndOfText});
  EXPECT_EQ(store.IsEmptyDocument(), 1);
  store.InsertBefore(store.CurrentNode(kLevelCell), Cell('a'));
  EXPECT_EQ(store.IsEmptyDocument(), 0);
}

TEST_F(TextStoreTest, ClearAllEmptiesEveryLevel) {
  Document({'a', kCodeEndOfText});
  store.ClearAll();
  EXPECT_EQ(store.Count(kLevelParagraph), 0);
  EXPECT_EQ(store.Count(kLevelLine), 0);
  EXPECT_EQ(store.Count(kLevelCell), 0);
}

TEST_F(TextStoreTest, ExtractTextWritesBytesLineEndsAndSkipsOtherControls) {
  Document(
      {'A', 0x82A0, kCodeTab, kCodeParagraphEnd, kCodePageBreak, 0x01, kCodeCrLf, kCodeEndOfText});
  const NodeHandle first = store.Navigate(kLevelCell, kNavFirst, kNoNode);
  const NodeHandle last = store.Navigate(kLevelCell, kNavLast, kNoNode);
  EXPECT_EQ(store.ExtractText(kExtractPlain, first, last), "A\x82\xA0\t\r\n\r\n");
  EXPECT_EQ(store.ExtractText(kExtractWithPageBreaks, first, last), "A\x82\xA0\t\r\n\f");
  // A last cell that is never met runs to the end of the text.
  EXPECT_EQ(store.ExtractText(kExtractPlain, store.Navigate(kLevelCell, kNavNext, first), kNoNode),
            "\x82\xA0\t\r\n\r\n");
}

}  // namespace
