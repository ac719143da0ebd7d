// Finding a Shift-JIS string among a text's cells, exactly or folded.
#include <string>
#include <vector>

#include "model/line_composer.h"
#include "model/text_navigator.h"
#include "platform/sjis.h"

namespace {

// The folded bytes a cell stands for: one byte, or two when its form has
// a second byte.
std::string_view FoldedBytes(const CharCell& cell) {
  return std::string_view(cell.tag, cell.tag[1] == '\0' ? 1 : 2);
}

}  // namespace

std::vector<uint16_t> CTextNavigator::ToCodes(std::string_view text) {
  std::vector<uint16_t> codes;
  for (size_t i = 0; i < text.size(); i += platform::CharLengthAt(text, i)) {
    codes.push_back(platform::CharCodeAt(text, i));
  }
  return codes;
}

bool CTextNavigator::MatchExact(const std::vector<uint16_t>& codes, NodeHandle candidate,
                                bool forward, NodeHandle* first, NodeHandle* last) const {
  NodeHandle node = candidate;
  const auto n = static_cast<int>(codes.size());
  for (int k = 0; k < n; ++k) {
    CharCell cell;
    if (node == kNoNode || GetInfo(node, cell) == 0) return false;
    if (cell.code != codes[forward ? k : n - 1 - k]) return false;
    (forward ? *last : *first) = node;
    node = Navigate(kLevelCell, forward ? kNavNext : kNavPrevious, node);
  }
  (forward ? *first : *last) = candidate;
  return true;
}

bool CTextNavigator::MatchFolded(std::string_view pattern, NodeHandle candidate, bool forward,
                                 NodeHandle* first, NodeHandle* last) const {
  NodeHandle node = candidate;
  size_t done = 0;
  while (done < pattern.size()) {
    CharCell cell;
    if (node == kNoNode || GetInfo(node, cell) == 0) return false;
    const std::string_view bytes = FoldedBytes(cell);
    if (done + bytes.size() > pattern.size()) return false;
    const size_t at = forward ? done : pattern.size() - done - bytes.size();
    if (pattern.substr(at, bytes.size()) != bytes) return false;
    done += bytes.size();
    (forward ? *last : *first) = node;
    node = Navigate(kLevelCell, forward ? kNavNext : kNavPrevious, node);
  }
  (forward ? *first : *last) = candidate;
  return true;
}

int CTextNavigator::SearchText(int exact, int direction, std::string_view text,
                               CVedTextPos* rangeStart, CVedTextPos* rangeEnd) const {
  if (text.empty()) return 0;
  const NodeHandle caret = CurrentNode(kLevelCell);
  NodeHandle start = kNoNode;
  bool forward = true;
  switch (direction) {
    case kFindNext:
      start = Navigate(kLevelCell, kNavNext, caret);
      break;
    case kFindPrevious:
      start = Navigate(kLevelCell, kNavPrevious, caret);
      forward = false;
      break;
    case kFindFromCaret:
      start = caret;
      break;
    case kFindBackFromCaret:
      start = caret;
      forward = false;
      break;
    case kFindFromStart:
      start = Navigate(kLevelCell, kNavFirst, kNoNode);
      break;
    case kFindFromEnd:
      start = Navigate(kLevelCell, kNavLast, kNoNode);
      forward = false;
      break;
    default:
      return 0;
  }
  const std::vector<uint16_t> codes = ToCodes(text);
  std::string pattern;
  for (uint16_t code : codes) {
    char folded[2] = {};
    CLineComposer::FoldChar(code, folded);
    pattern.append(folded, folded[1] == '\0' ? 1 : 2);
  }
  for (NodeHandle candidate = start; candidate != kNoNode;
       candidate = Navigate(kLevelCell, forward ? kNavNext : kNavPrevious, candidate)) {
    NodeHandle first = kNoNode;
    NodeHandle last = kNoNode;
    const bool found = exact != 0 ? MatchExact(codes, candidate, forward, &first, &last)
                                  : MatchFolded(pattern, candidate, forward, &first, &last);
    if (found) {
      const TextNodes caretNodes{CurrentNode(kLevelParagraph), CurrentNode(kLevelLine), caret};
      return LocateCell(first, caretNodes, rangeStart) != 0 &&
                     LocateCell(last, caretNodes, rangeEnd) != 0
                 ? 1
                 : 0;
    }
  }
  return 0;
}
