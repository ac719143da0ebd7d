#include "framework/wnd.h"

#include <memory>
#include <unordered_map>
#include <utility>

#include "framework/command_routing.h"
#include "framework/main_window.h"
#include "framework/menu.h"
#include "framework/win_app.h"

namespace framework {
namespace {

// Window objects belong to the thread that owns their windows.
thread_local std::unordered_map<HWND, CWnd*> permanentMap;
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>> temporaryMap;

constexpr char kFrameworkClass[] = "FrameworkWindow";

WNDPROC ProcedureOf(HWND window) {
  return reinterpret_cast<WNDPROC>(platform::GetWindowLongPtr(window, platform::GWLP_WNDPROC));
}

WNDPROC ReplaceProcedure(HWND window, WNDPROC proc) {
  return reinterpret_cast<WNDPROC>(platform::SetWindowLongPtr(
      window, platform::GWLP_WNDPROC, reinterpret_cast<platform::LONG_PTR>(proc)));
}

// The procedure behind the object makes the window's own records on
// WM_NCCREATE (its text, a control's state) and drops them on
// WM_NCDESTROY: a handler listed for either adds to that, never replaces
// it.
bool IsBookkeeping(UINT message) {
  return message == platform::WM_NCCREATE || message == platform::WM_NCDESTROY;
}

bool IsReflectable(UINT message) {
  return message == platform::WM_DRAWITEM || message == platform::WM_MEASUREITEM ||
         message == platform::WM_DELETEITEM || platform::IsCtlColorMessage(message);
}

}  // namespace

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd* WindowObjectOf(HWND window) { return CWnd::FromHandle(window); }

const char* FrameworkWindowClass() {
  platform::WNDCLASS windowClass;
  if (!platform::GetClassInfo(kFrameworkClass, &windowClass)) {
    windowClass.style = platform::CS_DBLCLKS;
    windowClass.lpfnWndProc = &FrameworkWndProc;
    windowClass.lpszClassName = kFrameworkClass;
    platform::RegisterClass(windowClass);
  }
  return kFrameworkClass;
}

LRESULT FrameworkWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* object = CWnd::FromHandlePermanent(window);
  if (object == nullptr) return platform::DefWindowProc(window, message, wParam, lParam);
  const LRESULT result = object->WindowProc(message, wParam, lParam);
  // The handler may have detached or deleted the object.
  if (message == platform::WM_NCDESTROY && CWnd::FromHandlePermanent(window) == object)
    object->FinishNcDestroy();
  return result;
}

CWnd::~CWnd() {
  if (m_hWnd == platform::kNoWindow || FromHandlePermanent(m_hWnd) != this) return;
  // A window another procedure was put in front of keeps it, minus us.
  HWND window = m_pfnSuper != nullptr ? UnsubclassWindow() : platform::kNoWindow;
  if (window == platform::kNoWindow) window = Detach();
  platform::DestroyWindow(window);
}

CWnd* CWnd::FromHandle(HWND window) {
  if (window == platform::kNoWindow) return nullptr;
  if (CWnd* permanent = FromHandlePermanent(window)) return permanent;
  std::unique_ptr<CWnd>& temporary = temporaryMap[window];
  if (temporary == nullptr) {
    temporary = std::make_unique<CWnd>();
    temporary->m_hWnd = window;
  }
  return temporary.get();
}

CWnd* CWnd::FromHandlePermanent(HWND window) {
  const auto found = permanentMap.find(window);
  return found != permanentMap.end() ? found->second : nullptr;
}

void CWnd::DeleteTempMap() {
  // A temporary object never owned its window.
  for (auto& [window, object] : temporaryMap) object->m_hWnd = platform::kNoWindow;
  temporaryMap.clear();
}

bool CWnd::Attach(HWND window) {
  if (m_hWnd != platform::kNoWindow || !platform::IsWindow(window) ||
      FromHandlePermanent(window) != nullptr)
    return false;
  AttachNew(window);
  return true;
}

void CWnd::AttachNew(HWND window) {
  m_hWnd = window;
  permanentMap[window] = this;
}

HWND CWnd::Detach() {
  const HWND window = m_hWnd;
  if (window != platform::kNoWindow && FromHandlePermanent(window) == this)
    permanentMap.erase(window);
  m_hWnd = platform::kNoWindow;
  return window;
}

bool CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) cs.lpszClass = FrameworkWindowClass();
  return true;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    const RECT& rect, CWnd* parent, UINT id, void* createParams) {
  if (m_hWnd != platform::kNoWindow) return false;
  CREATESTRUCT cs{createParams,
                  static_cast<int32_t>(id),
                  parent != nullptr ? parent->m_hWnd : platform::kNoWindow,
                  rect.Height(),
                  rect.Width(),
                  rect.top,
                  rect.left,
                  style,
                  windowName,
                  className,
                  exStyle};
  if (!PreCreateWindow(cs)) return false;
  platform::WNDCLASS windowClass;
  if (cs.lpszClass == nullptr || !platform::GetClassInfo(cs.lpszClass, &windowClass)) return false;
  // The object goes on before the window's first message, whatever its
  // class, so that its map sees WM_NCCREATE and WM_CREATE.
  platform::CreationHook outer =
      platform::HookNextWindowCreation([this](HWND window) { AttachForCreation(window); });
  const HWND window =
      platform::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx,
                               cs.cy, cs.hwndParent, cs.id, cs.lpCreateParams);
  platform::HookNextWindowCreation(std::move(outer));
  // A failed creation has run PostNcDestroy, which may have deleted this.
  return window != platform::kNoWindow;
}

void CWnd::AttachForCreation(HWND window) {
  AttachNew(window);
  if (ProcedureOf(window) != &FrameworkWndProc)
    m_pfnSuper = ReplaceProcedure(window, &FrameworkWndProc);
}

bool CWnd::Create(const char* className, const char* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
  return CreateEx(0, className, windowName, style | platform::WS_CHILD, rect, parent, id);
}

bool CWnd::DestroyWindow() {
  return m_hWnd != platform::kNoWindow && platform::DestroyWindow(m_hWnd);
}

bool CWnd::SubclassWindow(HWND window) {
  if (!Attach(window)) return false;
  if (ProcedureOf(window) != &FrameworkWndProc)
    m_pfnSuper = ReplaceProcedure(window, &FrameworkWndProc);
  return true;
}

HWND CWnd::UnsubclassWindow() {
  if (m_hWnd == platform::kNoWindow) return platform::kNoWindow;
  if (m_pfnSuper != nullptr) {
    if (ProcedureOf(m_hWnd) != &FrameworkWndProc) return platform::kNoWindow;
    ReplaceProcedure(m_hWnd, m_pfnSuper);
    m_pfnSuper = nullptr;
  }
  return Detach();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) return DefWindowProc(message, wParam, lParam);
  // A handler that refused the creation has the last word.
  const bool refused = message == platform::WM_NCCREATE && result == 0;
  if (IsBookkeeping(message) && !refused) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr)
    return platform::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return platform::DefWindowProc(m_hWnd, message, wParam, lParam);
}

bool CWnd::PreTranslateMessage(MSG*) { return false; }

void CWnd::PostNcDestroy() {}

void CWnd::FinishNcDestroy() {
  m_pfnSuper = nullptr;
  Detach();
  // Nothing goes on making windows inside a main window that is gone, and
  // the program ends with it.
  if (AfxGetMainWnd() == this) {
    AfxSetMainWnd(nullptr);
    if (AfxGetApp() != nullptr) platform::PostQuitMessage(0);
  }
  PostNcDestroy();
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (message == platform::WM_COMMAND) {
    *result = 0;
    return OnCommand(wParam, lParam);
  }
  if (message == platform::WM_NOTIFY) return OnNotify(wParam, lParam, result);
  if (IsReflectable(message) &&
      ReflectToControl(ReflectionSource(message, wParam, lParam), message, wParam, lParam, result))
    return true;
  const UINT key = MessageKeyOf(message);
  const MessageMapEntry* entry = GetMessageMap()->Find([key](const MessageMapEntry& e) {
    return e.kind == EntryKind::kMessage && e.message == key;
  });
  if (entry == nullptr) return false;
  *result = entry->thunk(*this, HandlerCall{message, wParam, lParam, nullptr});
  return true;
}

HWND CWnd::ReflectionSource(UINT message, WPARAM, LPARAM lParam) const {
  switch (message) {
    case platform::WM_DRAWITEM: {
      const DRAWITEMSTRUCT* item = platform::DrawItemOf(lParam);
      return item->CtlType == platform::ODT_MENU ? platform::kNoWindow : item->hwndItem;
    }
    case platform::WM_MEASUREITEM: {
      const MEASUREITEMSTRUCT* item = platform::MeasureItemOf(lParam);
      return item->CtlType == platform::ODT_MENU
                 ? platform::kNoWindow
                 : platform::GetDlgItem(m_hWnd, static_cast<int32_t>(item->CtlID));
    }
    case platform::WM_DELETEITEM:
      return platform::DeleteItemOf(lParam)->hwndItem;
    default:
      return platform::ControlOf(lParam);
  }
}

bool CWnd::ReflectToControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* result) {
  CWnd* child = FromHandlePermanent(control);
  return child != nullptr && child != this && child->OnChildNotify(message, wParam, lParam, result);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  const HWND control = platform::ControlOf(lParam);
  LRESULT ignored = 0;
  if (control != platform::kNoWindow &&
      ReflectToControl(control, platform::WM_COMMAND, wParam, lParam, &ignored))
    return true;
  const UINT code = platform::NotifyCodeOf(wParam);
  if (IsCommandRequest(code, control)) return RouteCommand(this, platform::CommandIdOf(wParam));
  return OnCmdMsg(platform::CommandIdOf(wParam), code, nullptr, nullptr);
}

bool CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const NMHDR* header = platform::NotifyHeaderOf(lParam);
  if (ReflectToControl(header->hwndFrom, platform::WM_NOTIFY, wParam, lParam, result)) return true;
  const MessageMapEntry* entry = GetMessageMap()->Find([header](const MessageMapEntry& e) {
    return e.kind == EntryKind::kNotify && e.id == header->idFrom && e.code == header->code;
  });
  if (entry == nullptr) return false;
  *result = entry->thunk(*this, HandlerCall{platform::WM_NOTIFY, wParam, lParam, nullptr});
  return true;
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  return ReflectChildNotify(message, wParam, lParam, result);
}

bool CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  const MessageMapEntry* entry = nullptr;
  if (message == platform::WM_COMMAND) {
    const UINT code = platform::NotifyCodeOf(wParam);
    entry = GetMessageMap()->Find([code](const MessageMapEntry& e) {
      return e.kind == EntryKind::kReflectedCommand && e.code == code;
    });
  } else if (message == platform::WM_NOTIFY) {
    const UINT code = platform::NotifyHeaderOf(lParam)->code;
    entry = GetMessageMap()->Find([code](const MessageMapEntry& e) {
      return e.kind == EntryKind::kReflectedNotify && e.code == code;
    });
  } else {
    const UINT key = MessageKeyOf(message);
    entry = GetMessageMap()->Find([key](const MessageMapEntry& e) {
      return e.kind == EntryKind::kReflectedMessage && e.message == key;
    });
  }
  if (entry == nullptr) return false;
  const LRESULT answer = entry->thunk(*this, HandlerCall{message, wParam, lParam, nullptr});
  // A control that gives no brush leaves the colour to its parent.
  if (platform::IsCtlColorMessage(message) && answer == 0) return false;
  *result = answer;
  return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::SendMessage(m_hWnd, message, wParam, lParam);
}

bool CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::PostMessage(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetParent() const { return FromHandle(platform::GetParent(m_hWnd)); }

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(platform::GetMenu(m_hWnd)); }

bool CWnd::SetMenu(CMenu* menu) {
  return platform::SetMenu(m_hWnd, menu != nullptr ? menu->m_hMenu : platform::kNoMenu);
}

bool CWnd::DrawMenuBar() { return platform::DrawMenuBar(m_hWnd); }

CWnd* CWnd::GetDlgItem(int id) const { return FromHandle(platform::GetDlgItem(m_hWnd, id)); }

int CWnd::GetDlgCtrlID() const { return platform::GetDlgCtrlID(m_hWnd); }

DWORD CWnd::GetStyle() const {
  return static_cast<DWORD>(platform::GetWindowLongPtr(m_hWnd, platform::GWL_STYLE));
}

bool CWnd::ShowWindow(int command) { return platform::ShowWindow(m_hWnd, command); }

void CWnd::GetClientRect(RECT* rect) const { platform::GetClientRect(m_hWnd, rect); }

void CWnd::Invalidate(bool erase) { platform::InvalidateRect(m_hWnd, nullptr, erase); }

void CWnd::UpdateWindow() { platform::UpdateWindow(m_hWnd); }

void CWnd::SetWindowText(const char* text) { platform::SetWindowText(m_hWnd, text); }

CString CWnd::GetWindowText() const { return CString(platform::GetWindowText(m_hWnd)); }

bool WalkPreTranslateTree(HWND stop, MSG* msg) {
  for (HWND at = msg->hwnd; at != platform::kNoWindow;
       at = platform::GetAncestor(at, platform::GA_PARENT)) {
    CWnd* object = CWnd::FromHandlePermanent(at);
    if (object != nullptr && object->PreTranslateMessage(msg)) return true;
    if (at == stop) break;
  }
  return false;
}

}  // namespace framework
