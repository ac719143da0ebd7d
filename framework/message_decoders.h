// The typed window-message entries. Each message a handler may be listed
// for has one decoder: the handler's signature and how wParam and lParam
// become its arguments and its return value the message's answer.
//
//   OnMessage<WM_SIZE>(&CMyWnd::OnSize)       void OnSize(UINT type, int cx, int cy)
//   OnReflected<WM_DRAWITEM>(&CMyButton::DrawItem)
//   OnNotifyCode(code, id, &CMyWnd::OnItemChanged)
//
// A handler whose parameters differ from its message's is a compile error.
#pragma once

#include <type_traits>

#include "framework/dc.h"
#include "framework/message_map.h"
#include "platform/control_notify.h"
#include "platform/input.h"
#include "platform/mdi_client.h"
#include "platform/menu.h"
#include "platform/paint.h"
#include "platform/scroll_bar.h"
#include "platform/window.h"

namespace framework {

class CWnd;

using platform::CREATESTRUCT;
using platform::DELETEITEMSTRUCT;
using platform::DRAWITEMSTRUCT;
using platform::HBRUSH;
using platform::HWND;
using platform::MEASUREITEMSTRUCT;
using platform::NMHDR;
using platform::UINT_PTR;

// The key every WM_CTLCOLOR* message is listed under; the handler is told
// which one it is (CTLCOLOR_EDIT …).
inline constexpr UINT WM_CTLCOLOR = 0x0019;

// The window's object, or a temporary one for a window without.
CWnd* WindowObjectOf(HWND window);

template <UINT Message>
struct MessageDecoder;

// Handlers that take nothing and answer nothing.
struct PlainDecoder {
  using Signature = void();
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall&) {
    (target.*handler)();
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_DESTROY> : PlainDecoder {};
template <>
struct MessageDecoder<platform::WM_NCDESTROY> : PlainDecoder {};
template <>
struct MessageDecoder<platform::WM_PAINT> : PlainDecoder {};
template <>
struct MessageDecoder<platform::WM_CLOSE> : PlainDecoder {};

template <>
struct MessageDecoder<platform::WM_CREATE> {
  // -1 fails the creation.
  using Signature = int(const CREATESTRUCT*);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    return (target.*handler)(platform::CreateParamsOf(call.lParam));
  }
};

template <>
struct MessageDecoder<platform::WM_NCCREATE> {
  using Signature = bool(const CREATESTRUCT*);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    return (target.*handler)(platform::CreateParamsOf(call.lParam)) ? 1 : 0;
  }
};

template <>
struct MessageDecoder<platform::WM_SIZE> {
  using Signature = void(UINT type, int cx, int cy);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<UINT>(call.wParam), platform::LowWord(call.lParam),
                      platform::HighWord(call.lParam));
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_MOVE> {
  using Signature = void(int x, int y);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(platform::LowWord(call.lParam), platform::HighWord(call.lParam));
    return 0;
  }
};

// Mouse messages: the key and button flags (MK_*) and the point in the
// client area.
struct MouseDecoder {
  using Signature = void(UINT flags, POINT point);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<UINT>(call.wParam),
                      POINT{platform::LowWord(call.lParam), platform::HighWord(call.lParam)});
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_MOUSEMOVE> : MouseDecoder {};
template <>
struct MessageDecoder<platform::WM_LBUTTONDOWN> : MouseDecoder {};
template <>
struct MessageDecoder<platform::WM_LBUTTONUP> : MouseDecoder {};
template <>
struct MessageDecoder<platform::WM_LBUTTONDBLCLK> : MouseDecoder {};
template <>
struct MessageDecoder<platform::WM_RBUTTONDOWN> : MouseDecoder {};
template <>
struct MessageDecoder<platform::WM_RBUTTONUP> : MouseDecoder {};

// Key and character messages: the key or character, the repeat count and
// the high word of lParam (scan code, extended, previous state).
struct KeyDecoder {
  using Signature = void(UINT key, UINT repeat, UINT flags);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    const auto bits = static_cast<uint32_t>(call.lParam);
    (target.*handler)(static_cast<UINT>(call.wParam), bits & 0xFFFF, bits >> 16);
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_KEYDOWN> : KeyDecoder {};
template <>
struct MessageDecoder<platform::WM_KEYUP> : KeyDecoder {};
template <>
struct MessageDecoder<platform::WM_CHAR> : KeyDecoder {};
template <>
struct MessageDecoder<platform::WM_SYSKEYDOWN> : KeyDecoder {};

// Focus messages: the window that loses or gains it, if any.
struct FocusDecoder {
  using Signature = void(CWnd* other);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(WindowObjectOf(static_cast<HWND>(call.wParam)));
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_SETFOCUS> : FocusDecoder {};
template <>
struct MessageDecoder<platform::WM_KILLFOCUS> : FocusDecoder {};

// The window clicked (or focused) and the screen point, (-1, -1) for the
// keyboard.
template <>
struct MessageDecoder<platform::WM_CONTEXTMENU> {
  using Signature = void(CWnd* window, POINT point);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(WindowObjectOf(static_cast<HWND>(call.wParam)),
                      POINT{platform::LowWord(call.lParam), platform::HighWord(call.lParam)});
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_ERASEBKGND> {
  // True when the background was erased.
  using Signature = bool(CDC* dc);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    CDC dc(platform::ColourDCOf(call.wParam));
    return (target.*handler)(&dc) ? 1 : 0;
  }
};

template <>
struct MessageDecoder<platform::WM_TIMER> {
  using Signature = void(UINT_PTR id);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(call.wParam);
    return 0;
  }
};

// A popup about to open: its menu, its place in the menu that opens it,
// and whether it is the window menu.
template <>
struct MessageDecoder<platform::WM_INITMENUPOPUP> {
  using Signature = void(platform::HMENU popup, UINT index, bool systemMenu);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<platform::HMENU>(call.wParam),
                      static_cast<UINT>(platform::LowWord(call.lParam)),
                      platform::HighWord(call.lParam) != 0);
    return 0;
  }
};

// An MDI child told of a change of the active child: whether it is the
// one activated, and the children that gain and lose the activation.
template <>
struct MessageDecoder<platform::WM_MDIACTIVATE> {
  using Signature = void(bool activate, CWnd* activated, CWnd* deactivated);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    const auto activated = static_cast<HWND>(call.lParam);
    (target.*handler)(activated == target.m_hWnd, WindowObjectOf(activated),
                      WindowObjectOf(static_cast<HWND>(call.wParam)));
    return 0;
  }
};

// Scroll-bar notifications: what the user did (SB_*), the thumb position
// and the bar's object.
struct ScrollDecoder {
  using Signature = void(UINT code, UINT position, CWnd* bar);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(platform::CommandIdOf(call.wParam), platform::NotifyCodeOf(call.wParam),
                      WindowObjectOf(platform::ControlOf(call.lParam)));
    return 0;
  }
};

template <>
struct MessageDecoder<platform::WM_HSCROLL> : ScrollDecoder {};
template <>
struct MessageDecoder<platform::WM_VSCROLL> : ScrollDecoder {};

// The owner-draw requests as the parent sees them, with the control's id.
template <>
struct MessageDecoder<platform::WM_DRAWITEM> {
  using Signature = void(int id, DRAWITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<int>(call.wParam), platform::DrawItemOf(call.lParam));
    return 1;
  }
};

template <>
struct MessageDecoder<platform::WM_MEASUREITEM> {
  using Signature = void(int id, MEASUREITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<int>(call.wParam), platform::MeasureItemOf(call.lParam));
    return 1;
  }
};

template <>
struct MessageDecoder<platform::WM_DELETEITEM> {
  using Signature = void(int id, DELETEITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(static_cast<int>(call.wParam), platform::DeleteItemOf(call.lParam));
    return 1;
  }
};

// Every WM_CTLCOLOR* kind: the control's DC, the control and the kind;
// the answer is the background brush.
template <>
struct MessageDecoder<WM_CTLCOLOR> {
  using Signature = HBRUSH(CDC* dc, CWnd* control, UINT kind);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    CDC dc(platform::ColourDCOf(call.wParam));
    return platform::BrushAnswer((target.*handler)(&dc,
                                                   WindowObjectOf(platform::ControlOf(call.lParam)),
                                                   call.message - platform::WM_CTLCOLORMSGBOX));
  }
};

// What the control itself is handed when its parent reflects a request.
template <UINT Message>
struct ReflectedDecoder;

template <>
struct ReflectedDecoder<platform::WM_DRAWITEM> {
  using Signature = void(DRAWITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(platform::DrawItemOf(call.lParam));
    return 1;
  }
};

template <>
struct ReflectedDecoder<platform::WM_MEASUREITEM> {
  using Signature = void(MEASUREITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(platform::MeasureItemOf(call.lParam));
    return 1;
  }
};

template <>
struct ReflectedDecoder<platform::WM_DELETEITEM> {
  using Signature = void(DELETEITEMSTRUCT* item);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    (target.*handler)(platform::DeleteItemOf(call.lParam));
    return 1;
  }
};

// A control that answers no brush leaves the question to its parent.
template <>
struct ReflectedDecoder<WM_CTLCOLOR> {
  using Signature = HBRUSH(CDC* dc, UINT kind);
  template <class T>
  static LRESULT Call(T& target, Signature T::*handler, const HandlerCall& call) {
    CDC dc(platform::ColourDCOf(call.wParam));
    return platform::BrushAnswer(
        (target.*handler)(&dc, call.message - platform::WM_CTLCOLORMSGBOX));
  }
};

// The key a message is listed under.
inline UINT MessageKeyOf(UINT message) {
  return platform::IsCtlColorMessage(message) ? WM_CTLCOLOR : message;
}

template <UINT Message, class T, class H>
MessageMapEntry OnMessage(H T::*handler) {
  using Decoder = MessageDecoder<Message>;
  static_assert(std::is_same_v<H, typename Decoder::Signature>,
                "the handler's parameters are not what the message carries");
  return {EntryKind::kMessage, Message, 0, 0,
          [handler](CCmdTarget& target, const HandlerCall& call) {
            return Decoder::Call(static_cast<T&>(target), handler, call);
          }};
}

template <UINT Message, class T, class H>
MessageMapEntry OnReflected(H T::*handler) {
  using Decoder = ReflectedDecoder<Message>;
  static_assert(std::is_same_v<H, typename Decoder::Signature>,
                "the handler's parameters are not what the reflected message carries");
  return {EntryKind::kReflectedMessage, Message, 0, 0,
          [handler](CCmdTarget& target, const HandlerCall& call) {
            return Decoder::Call(static_cast<T&>(target), handler, call);
          }};
}

// A message of the program's own (WM_USER and up, or registered): the
// handler takes the parameters as they are and gives the answer.
template <class T>
MessageMapEntry OnProgramMessage(UINT message, LRESULT (T::*handler)(WPARAM, LPARAM)) {
  return {EntryKind::kMessage, message, 0, 0,
          [handler](CCmdTarget& target, const HandlerCall& call) {
            return (static_cast<T&>(target).*handler)(call.wParam, call.lParam);
          }};
}

// A WM_NOTIFY from the child `id` with `code`; the handler may set the
// answer through `result`.
template <class T>
MessageMapEntry OnNotifyCode(UINT code, UINT id, void (T::*handler)(NMHDR*, LRESULT*)) {
  return {EntryKind::kNotify, platform::WM_NOTIFY, code, id,
          [handler](CCmdTarget& target, const HandlerCall& call) {
            LRESULT result = 0;
            (static_cast<T&>(target).*handler)(platform::NotifyHeaderOf(call.lParam), &result);
            return result;
          }};
}

// A WM_NOTIFY the parent hands back to the control that sent it.
template <class T>
MessageMapEntry OnReflectedNotify(UINT code, void (T::*handler)(NMHDR*, LRESULT*)) {
  MessageMapEntry entry = OnNotifyCode(code, 0, handler);
  entry.kind = EntryKind::kReflectedNotify;
  return entry;
}

}  // namespace framework
