// A started document root over the synthetic fixed-pitch face (a line is
// 330 + 20 twips high, a single byte advances 130 twips, a double byte
// 260), so that every position and rectangle is exact, with a recording
// window that receives both the root's notifications and everything its
// feedback object speaks or sounds, in one sequence.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/doc_root.h"
#include "engine/notifier.h"
#include "model/font_table.h"
#include "model/tests/container_fixture.h"
#include "platform/clock.h"
#include "platform/gdi.h"
#include "platform/sjis.h"
#include "platform/sound.h"
#include "platform/synthetic_fonts.h"
#include "platform/window_message.h"
#include "speech/reader_bridge.h"
#include "speech/sound_player.h"

namespace doc_root_test {

using container_test::InChild;
using container_test::kLinePitch;
using text_test::kPitch;
using text_test::kWide;

// One message as the window received it; the text of a speech request is
// copied, since the sender's buffer does not outlive the call.
struct ReceivedMessage {
  platform::UINT message = 0;
  platform::WPARAM wParam = 0;
  platform::LPARAM lParam = 0;
  std::string text;
};

// A window that keeps every message it receives and answers 0 (so that
// speech and cues go on to the reader and the player), or a reply set
// per message. `onMessage` runs inside the send, as a view's handler
// would, for tests of re-entry.
class RecordingWindow {
 public:
  RecordingWindow()
      : handle_(platform::CreateWindowHandle(
            [this](platform::HWND, platform::UINT message, platform::WPARAM wParam,
                   platform::LPARAM lParam) { return Receive(message, wParam, lParam); })) {}
  ~RecordingWindow() { platform::DestroyWindow(handle_); }
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  platform::HWND handle() const { return handle_; }
  const std::vector<ReceivedMessage>& messages() const { return messages_; }
  void Clear() { messages_.clear(); }
  void SetReply(platform::UINT message, platform::LRESULT reply) { replies_[message] = reply; }

  // The message numbers in the order received.
  std::vector<platform::UINT> Sequence() const {
    std::vector<platform::UINT> sequence;
    for (const ReceivedMessage& m : messages_) sequence.push_back(m.message);
    return sequence;
  }
  // Only the root's notifications (no speech, no cues), in order.
  std::vector<platform::UINT> Notifications() const {
    std::vector<platform::UINT> sequence;
    for (const ReceivedMessage& m : messages_) {
      if (m.message != WM_FEEDBACK_SPEAK && m.message != WM_FEEDBACK_CUE) {
        sequence.push_back(m.message);
      }
    }
    return sequence;
  }
  size_t Count(platform::UINT message) const {
    size_t count = 0;
    for (const ReceivedMessage& m : messages_) count += m.message == message ? 1 : 0;
    return count;
  }
  // The texts handed to the feedback object, as CP932 bytes, in order.
  std::vector<std::string> Spoken() const {
    std::vector<std::string> texts;
    for (const ReceivedMessage& m : messages_) {
      if (m.message == WM_FEEDBACK_SPEAK) texts.push_back(m.text);
    }
    return texts;
  }
  // The speech kind of each spoken text, in the same order.
  std::vector<int> SpokenKinds() const {
    std::vector<int> kinds;
    for (const ReceivedMessage& m : messages_) {
      if (m.message == WM_FEEDBACK_SPEAK) kinds.push_back(static_cast<int>(m.wParam));
    }
    return kinds;
  }
  std::vector<int> Cues() const {
    std::vector<int> cues;
    for (const ReceivedMessage& m : messages_) {
      if (m.message == WM_FEEDBACK_CUE) cues.push_back(static_cast<int>(m.wParam));
    }
    return cues;
  }

  std::function<void(platform::UINT)> onMessage;

 private:
  platform::LRESULT Receive(platform::UINT message, platform::WPARAM wParam,
                            platform::LPARAM lParam) {
    ReceivedMessage received{message, wParam, lParam, {}};
    if (message == WM_FEEDBACK_SPEAK && lParam != 0) {
      received.text = reinterpret_cast<const char*>(lParam);
    }
    messages_.push_back(received);
    if (onMessage) onMessage(message);
    const auto reply = replies_.find(message);
    return reply == replies_.end() ? 0 : reply->second;
  }

  std::vector<ReceivedMessage> messages_;
  std::map<platform::UINT, platform::LRESULT> replies_;
  platform::HWND handle_;
};

// Fresh process-wide state (font tables, reader modules, cue player,
// windows) before the root is made and after it is gone.
class ProcessState {
 public:
  ProcessState() { Reset(); }
  ~ProcessState() { Reset(); }
  ProcessState(const ProcessState&) = delete;
  ProcessState& operator=(const ProcessState&) = delete;

 private:
  static void Reset() {
    ResetFontTables();
    ResetReaderModules();
    ResetGlobalSoundPlayer();
    platform::ResetWindowMessages();
  }
};

// Everything a document needs of the process, fresh for one test: a clock
// that never waits, a recording audio device, the synthetic fonts, and
// clean process-wide state around it.
class TestEnvironment {
 private:
  platform::FakeClock clock_;
  platform::ScopedClock scopedClock_{clock_};
  platform::RecordingAudioBackend audio_;
  platform::ScopedAudioBackend scopedAudio_{audio_};
  platform::SyntheticFontService service_;
  platform::ScopedFontService useService_{service_};
  ProcessState state_;

 public:
  platform::FakeClock& clock() { return clock_; }
  platform::RecordingAudioBackend& audio() { return audio_; }
};

// The page format a document root gets from its style, over the
// synthetic face: `wideCharsPerLine` double-byte characters per line.
inline PageFormat MakeDocRootFormat(platform::HDC dc, int32_t wideCharsPerLine,
                                    int32_t textHeight) {
  PageFormat format;
  format.referenceDC = dc;
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
  format.lineGap = text_test::kLineGap;
  format.charPitch = kPitch;
  format.linePitch = kLinePitch;
  return format;
}

// A UTF-8 literal as the Shift-JIS text the system works in.
inline std::string Sjis(std::string_view utf8) { return platform::Utf8ToSjis(utf8).value_or(""); }

class DocRootTest : public ::testing::Test {
 protected:
  static constexpr int32_t kWideCharsPerLine = 10;
  static constexpr int32_t kUnboundedHeight = -1;

  explicit DocRootTest(int32_t wideCharsPerLine = kWideCharsPerLine,
                       int32_t textHeight = kUnboundedHeight)
      : dc_(platform::CreateImageDC(64, 64, 96, 96)),
        format(MakeDocRootFormat(dc_.get(), wideCharsPerLine, textHeight)) {
    EXPECT_EQ(root.StartUp(), 1);
    root.SetReferenceDC(format.referenceDC);
    DocObjOptions options = DocObjOptions::ContainerDefaults();
    options.freeCursor = 0;
    root.CDocObjContainer::SetOptions(&options);
    EXPECT_EQ(root.SetPageFormat(format), 1);
    // Every message the root may send, its own caret and content messages
    // included: the engine filters those out, but the root's logic is
    // what these tests look at.
    root.SetNotifyWindow(window.handle());
    root.SetNotifyMask(kNotifyAll);
  }

  // Puts caret and cursor at `path` as a caret move would, then drops
  // what was sent.
  void PlaceCaret(const CVedTextPos& path) {
    ASSERT_EQ(root.CDocObjContainer::SetCursor(&path), 1);
    root.RememberCaretState();
    CVedTextPos cursor;
    root.GetCursor(&cursor);
    root.UpdateAfterChange({.caret = &cursor});
    window.Clear();
  }

  // The operations logged so far, in order, and their undo kinds.
  std::vector<const EditOpRecord*> Logged() {
    CEditOpLog& log = root.GetEditOpLog();
    std::vector<const EditOpRecord*> records;
    log.Rewind();
    while (const EditOpRecord* record = log.GetNext()) records.push_back(record);
    return records;
  }
  std::vector<int32_t> LoggedKinds() {
    std::vector<int32_t> kinds;
    for (const EditOpRecord* record : Logged()) kinds.push_back(record->kind);
    return kinds;
  }

  // Types at the container's cursor, as a command would, and brings the
  // caret to the end of the typed text; what was sent so far is dropped.
  void Type(std::string_view text) {
    EditResult typed;
    root.CDocObjContainer::InsertText(text, &typed);
    root.RememberCaretState();
    CVedTextPos cursor;
    root.GetCursor(&cursor);
    root.UpdateAfterChange({.edited = true, .caret = &cursor, .result = &typed});
    window.Clear();
  }

  // Adds a text child holding `text` at the end of the document (before a
  // trailing grid area) and answers its index; caret and cursor stay.
  int32_t AddTextChild(std::string_view text) {
    CDocChildList& list = root.Children();
    const int32_t index = root.HasTrailingGrid() ? list.GetCount() - 1 : list.GetCount();
    CDocObject* child = root.CreateChildObject(kObjectText);
    EditResult typed;
    if (!text.empty()) child->InsertText(text, &typed);
    const int32_t cursor = list.GetCursorIndex();
    list.InsertAt(index, ChildEntry{child, kObjectText, child->GetHeight(nullptr, nullptr), {}});
    list.SetCursor(cursor >= index ? cursor + 1 : cursor);
    root.ApplyPageFormat(&root.Format());
    return index;
  }

  // The plain text of the whole document, paragraphs ended by "\r\n".
  std::string PlainText() {
    platform::CMemFile file;
    {
      platform::CArchive archive(&file, platform::CArchive::kStore);
      root.SerializeRange(archive, kFormatPlainText, 0, nullptr, nullptr, nullptr);
      archive.Close();
    }
    return std::string(reinterpret_cast<const char*>(file.Data()), file.GetLength());
  }

  // A path reached from the document start by `steps` moves of `command`,
  // without moving the caret or the cursor.
  CVedTextPos PathFromStart(int command, int steps) {
    const MoveParams still{0, 0, 1};
    CVedTextPos pos;
    root.MoveCursor(kMoveDocumentStart, &still, nullptr, &pos);
    for (int i = 0; i < steps; ++i) {
      CVedTextPos next;
      if (root.MoveCursor(command, &still, &pos, &next) == kMoveDone) pos = next;
    }
    return pos;
  }

  TestEnvironment environment;

 private:
  platform::UniqueDC dc_;

 protected:
  PageFormat format;
  RecordingWindow window;
  // Last, so that it goes before the window, fonts and state it uses.
  CDocBunsObj root;
};

}  // namespace doc_root_test
