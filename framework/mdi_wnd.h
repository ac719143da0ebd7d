// Multiple documents in one frame. The MDI frame holds an MDI client
// window whose children are the document frames; commands go to the
// active child first (its view, its document, the child itself), then to
// the frame. The frame's title follows the active child's document, and
// its menu bar shows the active child's menu (the template's) when it has
// one, the frame's own when no child is active.
#pragma once

#include "framework/frame_wnd.h"

namespace framework {

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)
  DECLARE_MESSAGE_MAP()

 public:
  CMDIFrameWnd() = default;

  // The active child frame, null when there is none.
  CMDIChildWnd* MDIGetActive() const;
  void MDIActivate(CWnd* child);
  // The child below the active one becomes active, the active one goes
  // to the bottom.
  void MDINext();

  // Shows the menu as the menu bar (a child's, or the frame's own); not
  // while the frame is being destroyed.
  void ShowMenuBar(platform::HMENU menu);

  CFrameWnd* GetActiveFrame() override;
  CDocument* GetActiveDocument() override;
  bool OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) override;

  HWND m_hWndMDIClient = platform::kNoWindow;

 protected:
  // Makes the MDI client instead of a view.
  bool OnCreateClient(const CREATESTRUCT* cs, CCreateContext* context) override;
  // Asks every document shown in a child whether to save it first.
  void OnClose();
  void OnSetFocus(CWnd* previous);
};

class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIChildWnd)
  DECLARE_MESSAGE_MAP()

 public:
  CMDIChildWnd() = default;

  // Creates the child inside the MDI frame's client, without showing or
  // activating it.
  bool LoadFrame(const FrameResources& resources, DWORD style, CWnd* parent,
                 CCreateContext* context = nullptr) override;

  CMDIFrameWnd* GetMDIFrame() const;
  void MDIActivate();
  // Destroys the child through the client, which activates the next.
  void MDIDestroy();

  // Shows the child and makes it the active one.
  void ActivateFrame(int showCommand = -1) override;
  void OnUpdateFrameTitle(bool addToTitle) override;
  // Keys matching the child's accelerator table become commands of the
  // MDI frame, so that they take the whole route.
  bool PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 protected:
  // The view is told, and the main frame's title follows.
  void OnMDIActivate(bool activate, CWnd* activated, CWnd* deactivated);
};

}  // namespace framework
