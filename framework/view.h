// A view: the window that shows one document inside a frame. It paints
// through OnDraw, is told of the document's changes through OnUpdate, and
// is the first stop of every command: what it does not handle goes to its
// document. It lives on the heap and goes with its window.
#pragma once

#include "framework/dc.h"
#include "framework/document.h"
#include "framework/wnd.h"

namespace framework {

class CFrameWnd;

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)
  DECLARE_MESSAGE_MAP()

 public:
  // Leaves its document.
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  // Paints the view; the DC is the paint's.
  virtual void OnDraw(CDC* dc) = 0;
  // Once, after the frame and its view exist and the document is loaded.
  virtual void OnInitialUpdate();
  // The document changed; the default repaints everything.
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  // The view became (or stopped being) the frame's active view.
  virtual void OnActivateView(bool activate, CView* activated, CView* deactivated);

  bool OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) override;

 protected:
  CView() = default;

  bool PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;

  // Joins the document named by the creation context.
  int OnCreate(const CREATESTRUCT* cs);
  void OnPaint();
  // The frame forgets the view as its active one.
  void OnDestroy();

 private:
  friend class CDocument;

  CDocument* m_pDocument = nullptr;
};

}  // namespace framework
