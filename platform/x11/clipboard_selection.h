// The clipboard as the X server's CLIPBOARD selection: the program's own
// content offered to other programs (plain text as UTF-8 or Latin-1, each
// registered format as a target of its own name, large content in
// increments), and another program's content fetched when the program
// reads the clipboard while it is not the owner.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::x11 {

class ClipboardSelection {
 public:
  explicit ClipboardSelection(Display* display);
  ~ClipboardSelection();
  ClipboardSelection(const ClipboardSelection&) = delete;
  ClipboardSelection& operator=(const ClipboardSelection&) = delete;

  // Takes the selection for the program's current content.
  void Take();
  bool Owns() const { return owns_; }
  // Another program's content in a clipboard format; CF_TEXT as CP932.
  std::optional<std::string> Read(uint32_t format);
  // The clipboard formats another program's targets stand for.
  std::vector<uint32_t> Formats();
  // Answers the selection's own events; false for any other event.
  bool Handle(const XEvent& event);

 private:
  // Content going to another program piece by piece, each piece once the
  // requestor has deleted the last.
  struct Outgoing {
    Window requestor;
    Atom property;
    Atom type;
    std::string bytes;
    size_t sent;
  };
  struct Typed {
    Atom type;
    std::string bytes;
  };

  void Answer(const XSelectionRequestEvent& request);
  bool AnswerTargets(Window requestor, Atom property);
  std::optional<Typed> Convert(Atom target) const;
  void Send(Window requestor, Atom property, const Typed& content);
  void SendNext(const XPropertyEvent& event);
  bool SendsTo(Window requestor) const;
  // Drops the transfers to a requestor that went away; false when there
  // were none.
  bool Abandon(Window requestor);
  bool Request(Atom target);
  std::optional<std::string> Fetch(Atom target);
  uint32_t FormatOf(Atom target) const;
  void WakeIfQueued() const;
  std::optional<std::string> FetchIncrements();
  std::optional<std::string> TakeProperty(Atom* type);
  bool Await(XEvent* event, int type, Atom atom);
  size_t MaxPiece() const;

  Display* display_;
  Window window_;
  Atom clipboard_;
  Atom targets_;
  Atom utf8String_;
  Atom text_;
  Atom incr_;
  Atom received_;
  bool owns_ = false;
  std::vector<Outgoing> outgoing_;
};

}  // namespace platform::x11
