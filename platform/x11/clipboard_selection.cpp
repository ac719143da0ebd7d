#include "platform/x11/clipboard_selection.h"

#include <poll.h>

#include <algorithm>

#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/sjis.h"
#include "platform/window_message.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xatom.h>

namespace platform::x11 {

namespace {

constexpr int kByteFormat = 8;
constexpr int kAtomFormat = 32;
// How long the owner of the selection has to answer each step.
constexpr uint32_t kPatienceMs = 2000;
constexpr uint32_t kPollMs = 10;
// A ChangeProperty request's own bytes besides the data.
constexpr size_t kPropertyRequestHeader = 24;
constexpr size_t kBytesPerUnit = 4;
constexpr long kWholeProperty = 0x1FFFFFFF;
constexpr uint32_t kLatin1Last = 0xFF;
constexpr char kUnrepresentable = '?';
constexpr char kReceivedProperty[] = "LEXORA_CLIPBOARD";
constexpr long kRequestorEvents = PropertyChangeMask | StructureNotifyMask;

// The text up to its terminating zero.
std::string_view TextOf(const std::string& bytes) {
  return std::string_view(bytes).substr(0, bytes.find('\0'));
}

// STRING is Latin-1: characters beyond it become a question mark.
std::string Utf8ToLatin1(std::string_view utf8) {
  std::string latin1;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<uint8_t>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (length == 1) {
      latin1 += static_cast<char>(lead);
    } else if (length == 2 && i + 1 < utf8.size()) {
      const uint32_t code = ((lead & 0x1Fu) << 6) | (static_cast<uint8_t>(utf8[i + 1]) & 0x3Fu);
      latin1 += code <= kLatin1Last ? static_cast<char>(code) : kUnrepresentable;
    } else {
      latin1 += kUnrepresentable;
    }
    i += length;
  }
  return latin1;
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string utf8;
  for (const char c : latin1) {
    const auto code = static_cast<uint8_t>(c);
    if (code < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | (code >> 6));
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

struct Wanted {
  Window window;
  int type;
  Atom atom;
};

Bool IsWanted(Display*, XEvent* event, XPointer argument) {
  const auto& wanted = *reinterpret_cast<const Wanted*>(argument);
  if (event->type != wanted.type) return False;
  // A late answer to a request given up on names another target.
  if (wanted.type == SelectionNotify)
    return event->xselection.requestor == wanted.window && event->xselection.target == wanted.atom
               ? True
               : False;
  return event->xproperty.window == wanted.window && event->xproperty.atom == wanted.atom &&
                 event->xproperty.state == PropertyNewValue
             ? True
             : False;
}

}  // namespace

ClipboardSelection::ClipboardSelection(Display* display)
    : display_(display),
      window_(XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0)),
      clipboard_(XInternAtom(display, "CLIPBOARD", False)),
      targets_(XInternAtom(display, "TARGETS", False)),
      utf8String_(XInternAtom(display, "UTF8_STRING", False)),
      text_(XInternAtom(display, "TEXT", False)),
      incr_(XInternAtom(display, "INCR", False)),
      received_(XInternAtom(display, kReceivedProperty, False)) {
  XSelectInput(display, window_, PropertyChangeMask);
}

ClipboardSelection::~ClipboardSelection() { XDestroyWindow(display_, window_); }

void ClipboardSelection::Take() {
  XSetSelectionOwner(display_, clipboard_, window_, CurrentTime);
  owns_ = XGetSelectionOwner(display_, clipboard_) == window_;
}

bool ClipboardSelection::Handle(const XEvent& event) {
  switch (event.type) {
    case SelectionClear:
      if (event.xselectionclear.window != window_) return false;
      if (event.xselectionclear.selection == clipboard_) owns_ = false;
      return true;
    case SelectionRequest:
      if (event.xselectionrequest.owner != window_) return false;
      Answer(event.xselectionrequest);
      return true;
    case PropertyNotify:
      if (event.xproperty.window == window_) return true;
      if (event.xproperty.state != PropertyDelete) return false;
      SendNext(event.xproperty);
      return true;
    case DestroyNotify:
      return Abandon(event.xdestroywindow.window);
    default:
      return false;
  }
}

void ClipboardSelection::Answer(const XSelectionRequestEvent& request) {
  // Clients of the oldest convention name no property: the target's own.
  const Atom property = request.property == None ? request.target : request.property;
  bool answered = false;
  if (owns_ && request.selection == clipboard_) {
    if (request.target == targets_) {
      answered = AnswerTargets(request.requestor, property);
    } else if (const std::optional<Typed> content = Convert(request.target)) {
      Send(request.requestor, property, *content);
      answered = true;
    }
  }
  XEvent notify{};
  notify.xselection.type = SelectionNotify;
  notify.xselection.requestor = request.requestor;
  notify.xselection.selection = request.selection;
  notify.xselection.target = request.target;
  notify.xselection.property = answered ? property : None;
  notify.xselection.time = request.time;
  XSendEvent(display_, request.requestor, False, NoEventMask, &notify);
  XFlush(display_);
}

bool ClipboardSelection::AnswerTargets(Window requestor, Atom property) {
  std::vector<Atom> targets{targets_};
  for (const uint32_t format : ClipboardFormats()) {
    if (format == CF_TEXT) {
      targets.insert(targets.end(), {utf8String_, XA_STRING, text_});
      continue;
    }
    const std::string name = ClipboardFormatName(format);
    if (!name.empty()) targets.push_back(XInternAtom(display_, name.c_str(), False));
  }
  XChangeProperty(display_, requestor, property, XA_ATOM, kAtomFormat, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(targets.data()),
                  static_cast<int>(targets.size()));
  return true;
}

std::optional<ClipboardSelection::Typed> ClipboardSelection::Convert(Atom target) const {
  if (target == utf8String_ || target == XA_STRING || target == text_) {
    const std::optional<std::string> text = ClipboardBytes(CF_TEXT);
    if (!text) return std::nullopt;
    const std::optional<std::string> utf8 = SjisToUtf8(TextOf(*text));
    if (!utf8) return std::nullopt;
    if (target == XA_STRING) return Typed{XA_STRING, Utf8ToLatin1(*utf8)};
    return Typed{utf8String_, *utf8};
  }
  char* name = XGetAtomName(display_, target);
  if (name == nullptr) return std::nullopt;
  const std::string targetName(name);
  XFree(name);
  for (const uint32_t format : ClipboardFormats()) {
    if (format == CF_TEXT || ClipboardFormatName(format) != targetName) continue;
    if (std::optional<std::string> bytes = ClipboardBytes(format))
      return Typed{target, std::move(*bytes)};
  }
  return std::nullopt;
}

size_t ClipboardSelection::MaxPiece() const {
  return static_cast<size_t>(XMaxRequestSize(display_)) * kBytesPerUnit - kPropertyRequestHeader;
}

void ClipboardSelection::Send(Window requestor, Atom property, const Typed& content) {
  if (content.bytes.size() <= MaxPiece()) {
    XChangeProperty(display_, requestor, property, content.type, kByteFormat, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(content.bytes.data()),
                    static_cast<int>(content.bytes.size()));
    return;
  }
  // Too large for one request: the requestor learns the size under INCR
  // and takes the pieces as it deletes each; a requestor that goes away
  // ends its transfers.
  XSelectInput(display_, requestor, kRequestorEvents);
  const long size = static_cast<long>(content.bytes.size());
  XChangeProperty(display_, requestor, property, incr_, kAtomFormat, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&size), 1);
  outgoing_.push_back(Outgoing{requestor, property, content.type, content.bytes, 0});
}

void ClipboardSelection::SendNext(const XPropertyEvent& event) {
  const auto found = std::find_if(outgoing_.begin(), outgoing_.end(), [&](const Outgoing& each) {
    return each.requestor == event.window && each.property == event.atom;
  });
  if (found == outgoing_.end()) return;
  const size_t piece = std::min(MaxPiece(), found->bytes.size() - found->sent);
  // The last piece is an empty one.
  XChangeProperty(display_, found->requestor, found->property, found->type, kByteFormat,
                  PropModeReplace,
                  reinterpret_cast<const unsigned char*>(found->bytes.data() + found->sent),
                  static_cast<int>(piece));
  found->sent += piece;
  if (piece == 0) {
    const Window requestor = found->requestor;
    outgoing_.erase(found);
    if (!SendsTo(requestor)) XSelectInput(display_, requestor, NoEventMask);
  }
  XFlush(display_);
}

bool ClipboardSelection::SendsTo(Window requestor) const {
  return std::any_of(outgoing_.begin(), outgoing_.end(),
                     [requestor](const Outgoing& each) { return each.requestor == requestor; });
}

bool ClipboardSelection::Abandon(Window requestor) {
  if (!SendsTo(requestor)) return false;
  std::erase_if(outgoing_,
                [requestor](const Outgoing& each) { return each.requestor == requestor; });
  return true;
}

std::optional<std::string> ClipboardSelection::Read(uint32_t format) {
  if (format != CF_TEXT) {
    const std::string name = ClipboardFormatName(format);
    if (name.empty()) return std::nullopt;
    return Fetch(XInternAtom(display_, name.c_str(), False));
  }
  std::optional<std::string> utf8 = Fetch(utf8String_);
  if (!utf8) {
    const std::optional<std::string> latin1 = Fetch(XA_STRING);
    if (!latin1) return std::nullopt;
    utf8 = Latin1ToUtf8(*latin1);
  }
  return Utf8ToSjis(TextOf(*utf8));
}

// Asks the owner to put the selection as the target on our property.
bool ClipboardSelection::Request(Atom target) {
  XDeleteProperty(display_, window_, received_);
  XConvertSelection(display_, clipboard_, target, received_, window_, CurrentTime);
  XEvent event;
  return Await(&event, SelectionNotify, target) && event.xselection.property != None;
}

// Events of our windows that came while waiting wait in Xlib's queue,
// where the descriptor no longer shows them: wake the message loop.
void ClipboardSelection::WakeIfQueued() const {
  if (XQLength(display_) > 0) PostThreadMessage(WM_NULL, 0, 0);
}

std::optional<std::string> ClipboardSelection::Fetch(Atom target) {
  std::optional<std::string> bytes;
  if (Request(target)) {
    Atom type = None;
    bytes = TakeProperty(&type);
    if (bytes && type == incr_) bytes = FetchIncrements();
  }
  WakeIfQueued();
  return bytes;
}

std::vector<uint32_t> ClipboardSelection::Formats() {
  std::vector<uint32_t> formats;
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (Request(targets_) &&
      XGetWindowProperty(display_, window_, received_, 0, kWholeProperty, True, XA_ATOM, &type,
                         &format, &count, &after, &data) == Success &&
      data != nullptr && format == kAtomFormat) {
    // Xlib hands 32-bit items as longs.
    const auto* targets = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
      const uint32_t known = FormatOf(targets[i]);
      if (known != 0 && std::find(formats.begin(), formats.end(), known) == formats.end())
        formats.push_back(known);
    }
  }
  XFree(data);
  WakeIfQueued();
  return formats;
}

uint32_t ClipboardSelection::FormatOf(Atom target) const {
  if (target == utf8String_ || target == XA_STRING || target == text_) return CF_TEXT;
  char* name = XGetAtomName(display_, target);
  if (name == nullptr) return 0;
  const uint32_t format = FindClipboardFormat(name);
  XFree(name);
  return format;
}

// The pieces come as new values of the property, each taken by deleting
// it, until an empty one.
std::optional<std::string> ClipboardSelection::FetchIncrements() {
  std::string whole;
  XEvent event;
  while (Await(&event, PropertyNotify, received_)) {
    Atom type = None;
    const std::optional<std::string> piece = TakeProperty(&type);
    if (!piece) return std::nullopt;
    // The INCR value's own notice, still queued: no piece yet.
    if (type == None) continue;
    if (piece->empty()) return whole;
    whole += *piece;
  }
  return std::nullopt;
}

std::optional<std::string> ClipboardSelection::TakeProperty(Atom* type) {
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display_, window_, received_, 0, kWholeProperty, True, AnyPropertyType,
                         type, &format, &count, &after, &data) != Success)
    return std::nullopt;
  std::string bytes;
  if (data != nullptr && format == kByteFormat)
    bytes.assign(reinterpret_cast<const char*>(data), count);
  XFree(data);
  XFlush(display_);
  return bytes;
}

// Waits on the display's descriptor, for no longer than the owner's
// patience by the process clock, leaving other events queued.
bool ClipboardSelection::Await(XEvent* event, int type, Atom atom) {
  Wanted wanted{window_, type, atom};
  const uint32_t start = GetTickCount();
  const int descriptor = ConnectionNumber(display_);
  while (XCheckIfEvent(display_, event, IsWanted, reinterpret_cast<XPointer>(&wanted)) == False) {
    if (GetTickCount() - start >= kPatienceMs) return false;
    ProcessClock().WaitForEvents(kPollMs, [descriptor](int timeout) {
      pollfd readable{descriptor, POLLIN, 0};
      poll(&readable, 1, timeout);
    });
  }
  return true;
}

}  // namespace platform::x11
