// Message maps: each class that handles messages or commands has one
// table of typed handlers, made once, that points at its base class's
// table. A lookup walks from the object's own class down to the root, so
// a class answers what it lists and leaves the rest to its bases.
//
// An entry holds a thunk that turns the message's parameters into the
// handler's typed arguments; the decoding lives in the entry builders
// (here for commands, in message_decoders.h for window messages), never
// in a handler.
#pragma once

#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/window_message.h"

namespace framework {

using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

class CCmdTarget;
class CCmdUI;

// What a thunk is handed: the message and its parameters, and for an
// update request the CCmdUI to fill.
struct HandlerCall {
  UINT message = platform::WM_NULL;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  CCmdUI* cmdUI = nullptr;
};

using HandlerThunk = std::function<LRESULT(CCmdTarget&, const HandlerCall&)>;

enum class EntryKind {
  // A window message sent to the window itself.
  kMessage,
  // A command (notify code 0) or a control's notify code, by id.
  kCommand,
  kUpdateCommandUI,
  // A WM_NOTIFY from a child, by id and code.
  kNotify,
  // What a parent hands back to the control that sent it.
  kReflectedMessage,
  kReflectedCommand,
  kReflectedNotify,
};

struct MessageMapEntry {
  EntryKind kind = EntryKind::kMessage;
  UINT message = platform::WM_NULL;
  UINT code = 0;
  UINT id = 0;
  HandlerThunk thunk;
};

class MessageMap {
 public:
  MessageMap(const MessageMap* base, std::initializer_list<MessageMapEntry> entries)
      : base_(base), entries_(entries) {}

  // The first entry the predicate accepts, this class's table first.
  template <class Predicate>
  const MessageMapEntry* Find(Predicate accepts) const {
    for (const MessageMap* map = this; map != nullptr; map = map->base_)
      for (const MessageMapEntry& entry : map->entries_)
        if (accepts(entry)) return &entry;
    return nullptr;
  }

 private:
  const MessageMap* base_;
  std::vector<MessageMapEntry> entries_;
};

// The command and update entries. `T` is the class whose handler it is;
// the table is only ever consulted for objects of that class or derived.
template <class T>
MessageMapEntry OnCommandId(UINT id, void (T::*handler)()) {
  return {EntryKind::kCommand, platform::WM_NULL, 0, id,
          [handler](CCmdTarget& target, const HandlerCall&) -> LRESULT {
            (static_cast<T&>(target).*handler)();
            return 0;
          }};
}

// A control's WM_COMMAND notification by its code, handled by the parent.
template <class T>
MessageMapEntry OnControlCode(UINT code, UINT id, void (T::*handler)()) {
  MessageMapEntry entry = OnCommandId(id, handler);
  entry.code = code;
  return entry;
}

template <class T>
MessageMapEntry OnUpdateUI(UINT id, void (T::*handler)(CCmdUI*)) {
  return {EntryKind::kUpdateCommandUI, platform::WM_NULL, 0, id,
          [handler](CCmdTarget& target, const HandlerCall& call) -> LRESULT {
            (static_cast<T&>(target).*handler)(call.cmdUI);
            return 0;
          }};
}

// A WM_COMMAND notification the parent hands back to the control itself.
template <class T>
MessageMapEntry OnReflectedCommand(UINT code, void (T::*handler)()) {
  MessageMapEntry entry = OnCommandId(0, handler);
  entry.kind = EntryKind::kReflectedCommand;
  entry.code = code;
  return entry;
}

}  // namespace framework

// In the class: declares its table. In one source file: defines it, the
// entries between the two macros separated by commas.
#define DECLARE_MESSAGE_MAP()                                \
 protected:                                                  \
  static const ::framework::MessageMap& GetThisMessageMap(); \
  const ::framework::MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                    \
  const ::framework::MessageMap* theClass::GetMessageMap() const { return &GetThisMessageMap(); } \
  const ::framework::MessageMap& theClass::GetThisMessageMap() {                                  \
    static const ::framework::MessageMap map(&baseClass::GetThisMessageMap(), {
#define END_MESSAGE_MAP() \
  });                     \
  return map;             \
  }
