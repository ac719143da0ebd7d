#include "platform/edit_text.h"

#include <algorithm>

namespace platform {

namespace {

// A single-line control keeps one line: what follows a line break is left out.
std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

// The longest run of whole characters from the start that is at most
// `room` bytes; a lead byte without its trail at the end is no character.
size_t WholeCharactersWithin(std::string_view text, size_t room) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t length = CharLengthAt(text, end);
    const bool loneLead = length == 1 && IsLeadByte(static_cast<uint8_t>(text[end]));
    if (loneLead || end + length > room) break;
    end += length;
  }
  return end;
}

}  // namespace

std::string_view EditText::Selected() const {
  return std::string_view(text_).substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void EditText::SetText(std::string_view text) {
  text_ = SjisString(text);
  anchor_ = caret_ = 0;
}

void EditText::Select(size_t anchor, size_t caret) {
  anchor_ = Boundary(anchor);
  caret_ = Boundary(caret);
}

void EditText::MoveCaret(size_t position, bool extend) {
  caret_ = Boundary(position);
  if (!extend) anchor_ = caret_;
}

size_t EditText::Boundary(size_t position) const {
  if (position >= text_.size()) return text_.size();
  size_t start = 0;
  while (true) {
    const size_t next = start + CharLengthAt(text_, start);
    if (next > position) return start;
    start = next;
  }
}

size_t EditText::NextCharacter(size_t position) const {
  const size_t start = Boundary(position);
  return start >= text_.size() ? start : start + CharLengthAt(text_, start);
}

size_t EditText::PreviousCharacter(size_t position) const {
  const size_t start = Boundary(position);
  return start == 0 ? 0 : Boundary(start - 1);
}

bool EditText::IsSpaceAt(size_t position) const {
  constexpr uint16_t kFullWidthSpace = 0x8140;
  const uint16_t code = CharCodeAt(text_, position);
  return code == ' ' || code == '\t' || code == kFullWidthSpace;
}

size_t EditText::NextWord(size_t position) const {
  size_t at = Boundary(position);
  while (at < text_.size() && !IsSpaceAt(at)) at = NextCharacter(at);
  while (at < text_.size() && IsSpaceAt(at)) at = NextCharacter(at);
  return at;
}

size_t EditText::PreviousWord(size_t position) const {
  size_t at = Boundary(position);
  while (at > 0 && IsSpaceAt(PreviousCharacter(at))) at = PreviousCharacter(at);
  while (at > 0 && !IsSpaceAt(PreviousCharacter(at))) at = PreviousCharacter(at);
  return at;
}

EditText::Inserted EditText::ReplaceSelection(std::string_view text, Fit fit) {
  const std::string_view line = FirstLine(text);
  const size_t kept = text_.size() - (SelectionEnd() - SelectionStart());
  const size_t room = limit_ > kept ? limit_ - kept : 0;
  const size_t whole = WholeCharactersWithin(line, line.size());
  size_t taken = WholeCharactersWithin(line, room);
  if (taken < whole && fit == Fit::kWhole) return Inserted::kRefused;
  if (taken == 0 && whole > 0) return Inserted::kRefused;
  const size_t start = SelectionStart();
  text_.replace(start, SelectionEnd() - start, line.substr(0, taken));
  anchor_ = caret_ = start + taken;
  return taken < whole ? Inserted::kCut : Inserted::kAll;
}

bool EditText::DeleteSelection() {
  if (!HasSelection()) return false;
  const size_t start = SelectionStart();
  text_.erase(start, SelectionEnd() - start);
  anchor_ = caret_ = start;
  return true;
}

bool EditText::DeleteBackward() {
  if (HasSelection()) return DeleteSelection();
  if (caret_ == 0) return false;
  anchor_ = PreviousCharacter(caret_);
  return DeleteSelection();
}

bool EditText::DeleteForward() {
  if (HasSelection()) return DeleteSelection();
  if (caret_ >= text_.size()) return false;
  anchor_ = NextCharacter(caret_);
  return DeleteSelection();
}

}  // namespace platform
