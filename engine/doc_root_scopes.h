// Pairs of document-root steps that must both happen on every way out of
// an operation, exceptions of an archive included: an edit-operation group
// opened and closed, and the renderer's saved font list made and dropped.
#pragma once

#include "engine/doc_root.h"
#include "model/renderer.h"

// The edit-operation group of one command. A load drops what the group
// recorded and records nothing more.
class UndoRecordingScope {
 public:
  UndoRecordingScope(CDocBunsObj& root, int direction) : root_(root), direction_(direction) {
    root_.BeginUndoRecording(direction_);
  }
  ~UndoRecordingScope() { root_.EndUndoRecording(direction_); }
  UndoRecordingScope(const UndoRecordingScope&) = delete;
  UndoRecordingScope& operator=(const UndoRecordingScope&) = delete;

  int direction() const { return direction_; }
  void Cancel() { root_.CancelUndoRecording(direction_); }
  // Cancels and closes the group now; nothing is recorded afterwards.
  void Drop() {
    Cancel();
    root_.EndUndoRecording(direction_);
    direction_ = 0;
  }

 private:
  CDocBunsObj& root_;
  int direction_;
};

// The saved font list that font ids of a stream refer to; it lives only
// while the stream is read or written.
class SavedFontListScope {
 public:
  SavedFontListScope(CDocRenderer& renderer, bool active)
      : renderer_(active ? &renderer : nullptr) {
    if (renderer_ != nullptr) renderer_->NewFontList();
  }
  ~SavedFontListScope() {
    if (renderer_ != nullptr) renderer_->DeleteFontList();
  }
  SavedFontListScope(const SavedFontListScope&) = delete;
  SavedFontListScope& operator=(const SavedFontListScope&) = delete;

 private:
  CDocRenderer* renderer_;
};
