// A container set up the way a document root sets one up, over the
// synthetic fixed-pitch face of the text fixture (a line is 330 + 20 twips
// high, a single byte advances 130 twips, a double byte 260), so that every
// height is exact. Children are made by the container's own factory and
// then driven through the document object interface only.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "model/container.h"
#include "model/font_table.h"
#include "model/renderer.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "platform/gdi.h"
#include "platform/synthetic_fonts.h"
#include "speech/edit_feedback.h"
#include "text_fixture.h"

namespace container_test {

using text_test::kLineGap;
using text_test::kLineHeight;
using text_test::kPitch;
using text_test::kWide;

inline constexpr int32_t kLinePitch = kLineHeight + kLineGap;

// One child index step in front of a child's own path.
inline CVedTextPos InChild(int32_t index, CVedTextPos path) {
  path.PrependPair(kTagChildIndex, index);
  return path;
}

// The container type is a parameter so that containers derived from it
// (a table cell) are set up the same way.
template <typename Object = CDocObjContainer>
class BasicContainerFixture {
 public:
  // `textHeight` of -1 is unbounded body text; a bounded height with
  // `cellFlag` gives the container a trailing grid area, as in a table cell.
  explicit BasicContainerFixture(int32_t wideCharsPerLine = 10, int32_t textHeight = -1,
                                 int32_t cellFlag = 0)
      : dc_(platform::CreateImageDC(64, 64, 96, 96)) {
    format.referenceDC = dc_.get();
    format.resolutionX = format.resolutionY = 96;
    format.textWidth = wideCharsPerLine * kWide;
    format.textHeight = textHeight;
    std::strcpy(format.face, platform::kSyntheticFixedFace);
    format.fontSize = 120;
    format.heightScale = format.widthScale = 100;
    format.lineStartRule = format.lineEndRule = -1;
    std::strcpy(format.lineStartChars, text_test::kStartList);
    std::strcpy(format.lineEndChars, text_test::kEndList);
    format.tabInterval = 4 * kPitch;
    format.charGap = text_test::kGap;
    format.lineGap = kLineGap;
    format.charPitch = kPitch;
    format.linePitch = kLinePitch;
    format.cellFlag = cellFlag;
    renderer_.SetPageFormat(format);

    container.Initialize(&renderer_, &feedback);
    container.SetReferenceDC(format.referenceDC);
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    options.freeCursor = 0;
    container.SetOptions(&options);
    CharFormat typing;
    std::strcpy(typing.face, platform::kSyntheticFixedFace);
    typing.size = 120;
    typing.heightScale = typing.widthScale = 100;
    typing.mask = kMaskEveryField;
    container.SetCharFormat(&typing);
    container.SetPageFormat(&format);
  }

  // Re-measures every child and re-fits a trailing grid area to what is
  // left, as a new page format would.
  void Settle() { container.ApplyPageFormat(&format); }

  // Puts a new text child holding `text` before the child at `index` (the
  // end of the list, or before a trailing grid area, when -1) and answers
  // its index. The list cursor stays on the child it designated.
  int32_t InsertText(std::string_view text, int32_t index = -1) {
    CDocChildList& list = container.Children();
    if (index < 0) index = container.HasTrailingGrid() ? list.GetCount() - 1 : list.GetCount();
    CDocObject* child = container.CreateChildObject(kObjectText);
    EditResult typed;
    if (!text.empty()) child->InsertText(text, &typed);
    const int32_t cursor = list.GetCursorIndex();
    list.InsertAt(index, ChildEntry{child, kObjectText, child->GetHeight(nullptr, nullptr), {}});
    list.SetCursor(cursor >= index ? cursor + 1 : cursor);
    Settle();
    return index;
  }

  // Types into the first text child (the one the container made itself).
  void TypeIntoFirst(std::string_view text) {
    EditResult typed;
    Child(0)->InsertText(text, &typed);
    Settle();
  }

  CDocObject* Child(int32_t index) const { return container.Children().GetAt(index); }
  int32_t Count() const { return container.Children().GetCount(); }
  int32_t CursorIndex() const { return container.Children().GetCursorIndex(); }

  std::vector<int32_t> Types() const {
    std::vector<int32_t> types;
    for (int32_t i = 0; i < Count(); ++i) types.push_back(container.Children().GetTypeAt(i));
    return types;
  }

  // The recorded height of every child.
  std::vector<int32_t> Heights() const {
    std::vector<int32_t> heights;
    for (int32_t i = 0; i < Count(); ++i) heights.push_back(container.Children().GetHeightAt(i));
    return heights;
  }

  // What each child measures itself.
  std::vector<int32_t> MeasuredHeights() const {
    std::vector<int32_t> heights;
    for (int32_t i = 0; i < Count(); ++i) heights.push_back(Child(i)->GetHeight(nullptr, nullptr));
    return heights;
  }

  // The plain text of every child, paragraphs ended by "\r\n"; a grid area
  // reads as "#".
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (int32_t i = 0; i < Count(); ++i) {
      texts.push_back(container.Children().GetTypeAt(i) == kObjectGridArea ? "#" : PlainText(i));
    }
    return texts;
  }

  std::string PlainText(int32_t index) const {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      Child(index)->SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, nullptr);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  // Places the list cursor on a child and runs a move there, as a caret
  // placement from outside would; answers the container path of the place.
  CVedTextPos PlaceCursor(int32_t index, int command) {
    container.Children().SetCursor(index);
    const MoveParams set{1, 0, 1};
    CVedTextPos inChild;
    Child(index)->MoveCursor(command, &set, nullptr, &inChild);
    return InChild(index, inChild);
  }

  // A container path to a child's place reached by a move from its start
  // (`steps` times the command), leaving the child's cursor where it was.
  CVedTextPos PathIn(int32_t index, int command, int steps = 1) const {
    CDocObject* child = Child(index);
    // Moves cross line ends; a move that cannot be made leaves the place.
    const MoveParams still{0, 0, 1};
    CVedTextPos pos;
    child->MoveCursor(kMoveDocumentStart, &still, nullptr, &pos);
    for (int i = 0; i < steps; ++i) {
      CVedTextPos next;
      if (child->MoveCursor(command, &still, &pos, &next) == kMoveDone) pos = next;
    }
    return InChild(index, pos);
  }

  CDocRenderer& renderer() { return renderer_; }

  PageFormat format;
  CEditFeedback feedback;

 private:
  platform::SyntheticFontService service_;
  platform::ScopedFontService useService_{service_};
  CFontTable table_;
  CDocRenderer renderer_{table_};
  platform::UniqueDC dc_;

 public:
  // Last, so that it is destroyed before the renderer and fonts it uses.
  Object container;
};

using ContainerFixture = BasicContainerFixture<>;

}  // namespace container_test
