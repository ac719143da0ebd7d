// A frame: the window around a view (or, for an MDI frame, around the
// document windows), with its menu, its accelerator table and its title.
// Commands reach it from the menu, its accelerators and senders; it hands
// each to its active view first (which hands it to the document), then
// handles it itself, and a frame inside no other frame hands what is left
// to the application object.
//
// With FWS_ADDTOTITLE the title follows the active document: "doc - main"
// for a frame with a title of its own, else the document's title alone.
#pragma once

#include "framework/control_bar.h"
#include "framework/create_context.h"
#include "framework/frame_resources.h"
#include "framework/framework_ids.h"
#include "framework/wnd.h"

namespace framework {

class CDocument;
class CView;

// Frame-only style bits.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
  DECLARE_MESSAGE_MAP()

 public:
  CFrameWnd() = default;
  // Destroys the menu and the accelerators it loaded itself.
  ~CFrameWnd() override;

  // Creates the frame with the resources' menu, accelerators and title;
  // with a context, the frame makes the context's view. A top-level frame
  // shows the menu as its menu bar, and gives it back when it goes.
  virtual bool LoadFrame(const FrameResources& resources, DWORD style, CWnd* parent,
                         CCreateContext* context = nullptr);
  // The same with the menu, the accelerators and the string registered
  // under the id (the title is the string up to its first "\n"); the
  // frame owns what it loaded.
  bool LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context = nullptr);

  CView* GetActiveView() const { return m_pViewActive; }
  // Tells the old and the new view; the new one gets the focus when the
  // frame has the keyboard.
  void SetActiveView(CView* view);
  virtual CDocument* GetActiveDocument();
  // The frame whose view commands go to: itself, or an MDI frame's
  // active child.
  virtual CFrameWnd* GetActiveFrame();
  // Shows the frame (the command, else SW_SHOW) and brings it forward.
  virtual void ActivateFrame(int showCommand = -1);
  // The view that was made gets OnInitialUpdate and becomes active.
  virtual void InitialUpdateFrame(CDocument* document, bool makeVisible);
  virtual void OnUpdateFrameTitle(bool addToTitle);

  // The edges (CBRS_ALIGN_* bits) the frame lets bars dock at.
  void EnableDocking(DWORD dockStyle);
  // Docks the bar at `edge`, one CBRS_ALIGN_* bit, or with
  // CBRS_ALIGN_ANY at the first of top, bottom, left and right that the
  // frame and the bar both allow, and places the bars again. False, and
  // the bar stays, when the frame or the bar does not allow the edge.
  bool DockControlBar(CControlBar* bar, DWORD edge = CBRS_ALIGN_ANY);

  platform::HACCEL GetAccelerators() const { return m_hAccelTable; }
  // Replaces the table the frame translates keys through.
  void SetAccelerators(platform::HACCEL table) { m_hAccelTable = table; }
  platform::HMENU GetDefaultMenu() const { return m_hMenuDefault; }
  const CString& GetTitle() const { return m_strTitle; }
  void SetTitle(const char* title) { m_strTitle = title; }

  bool OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) override;
  // Keys matching the accelerator table become commands.
  bool PreTranslateMessage(MSG* msg) override;

 protected:
  // Makes the context's view; false when it cannot be made.
  virtual bool OnCreateClient(const CREATESTRUCT* cs, CCreateContext* context);
  CWnd* CreateView(CCreateContext* context, UINT id = AFX_IDW_PANE_FIRST);
  // The frame's title with the document's: "doc - main", or the
  // document's alone when the frame has no title.
  void UpdateFrameTitleForDocument(const char* documentTitle);
  void PostNcDestroy() override;

  int OnCreate(const CREATESTRUCT* cs);
  // The menu bar goes back to whoever owns the menu.
  void OnDestroy();
  // From WM_DESTROY on.
  bool IsDestroying() const { return m_bDestroying; }
  // Asks the document of the active view first.
  void OnClose();
  void OnSize(UINT type, int cx, int cy);
  void OnSetFocus(CWnd* previous);
  void OnInitMenuPopup(platform::HMENU popup, UINT index, bool systemMenu);

  CView* m_pViewActive = nullptr;
  platform::HACCEL m_hAccelTable = platform::kNoAccelerators;
  platform::HMENU m_hMenuDefault = platform::kNoMenu;
  CString m_strTitle;

 private:
  // What LoadFrame loaded from a resource id.
  platform::HMENU m_hMenuLoaded = platform::kNoMenu;
  platform::HACCEL m_hAccelLoaded = platform::kNoAccelerators;
  bool m_bDestroying = false;
  DWORD m_dwDockStyle = 0;

  friend class CView;

  static constexpr int kDefaultWidth = 640;
  static constexpr int kDefaultHeight = 480;
};

}  // namespace framework
