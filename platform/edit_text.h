// The text of a single-line edit control with its selection and its limit,
// kept apart from the window so that the rules on CP932 characters can be
// checked on their own: no position, of the caret or of either end of the
// selection, ever stands between a lead byte and its trail byte, and no
// insertion leaves a character cut in two. Internal to the edit control.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/sjis.h"

namespace platform {

class EditText {
 public:
  // How an insertion that does not fit under the limit is taken.
  enum class Fit {
    kWhole,  // refused altogether
    kCut,    // cut after the last whole character that fits
  };
  enum class Inserted { kAll, kCut, kRefused };

  explicit EditText(size_t limit) : limit_(limit) {}

  const SjisString& text() const { return text_; }
  size_t size() const { return text_.size(); }
  size_t anchor() const { return anchor_; }
  size_t caret() const { return caret_; }
  size_t SelectionStart() const { return anchor_ < caret_ ? anchor_ : caret_; }
  size_t SelectionEnd() const { return anchor_ < caret_ ? caret_ : anchor_; }
  bool HasSelection() const { return anchor_ != caret_; }
  std::string_view Selected() const;

  // The limit in bytes binds what is inserted, never what is set whole.
  size_t limit() const { return limit_; }
  void SetLimit(size_t limit) { limit_ = limit; }

  // Replaces the text and puts the caret at its start.
  void SetText(std::string_view text);
  // Both positions are clamped to the text and taken back to the start of
  // the character they fall in.
  void Select(size_t anchor, size_t caret);
  // Moves the caret there; without `extend` the selection goes.
  void MoveCaret(size_t position, bool extend);

  // The start of the character `position` falls in (the text's end for
  // anything past it).
  size_t Boundary(size_t position) const;
  size_t NextCharacter(size_t position) const;
  size_t PreviousCharacter(size_t position) const;
  // Word moves: a word is a run of characters other than spaces; the next
  // word starts after the spaces that follow this one.
  size_t NextWord(size_t position) const;
  size_t PreviousWord(size_t position) const;

  // Replaces the selection with the text (up to its first line break, and
  // without a lead byte left alone at its end) and puts the caret after it.
  Inserted ReplaceSelection(std::string_view text, Fit fit);
  // Each answers whether the text changed.
  bool DeleteSelection();
  bool DeleteBackward();
  bool DeleteForward();

 private:
  bool IsSpaceAt(size_t position) const;

  SjisString text_;
  size_t anchor_ = 0;
  size_t caret_ = 0;
  size_t limit_;
};

}  // namespace platform
