// The framework document of one word-processor document: it owns the
// editing engine from its construction to its destruction and is what
// the framework view binds to. The view registers itself here when its
// window is made and reaches the engine through GetEngine; the engine
// belongs to the document, never to the view.
#pragma once

#include <memory>

#include "engine/wp_ctrl.h"
#include "framework/document.h"

class CVedWpView;

class CVedWpDoc : public framework::CDocument {
  DECLARE_DYNCREATE(CVedWpDoc)
  DECLARE_MESSAGE_MAP()

 public:
  // Makes and starts the engine; an engine that does not start is
  // dropped, and every operation that needs one then does nothing.
  CVedWpDoc();
  // Stops and deletes the engine. Keys the user typed ahead stay queued:
  // this runs for short-lived documents too, and such input belongs to
  // whatever window has the focus.
  ~CVedWpDoc() override;

  // The engine's document is made when a page setup is applied, so a new
  // framework document has nothing more to do.
  bool OnNewDocument() override;

  // Null when the engine could not be started.
  CVedWpCtrl* GetEngine() const { return engine_.get(); }
  // Null until the framework view registers itself.
  CVedWpView* GetView() const { return view_; }
  void SetView(CVedWpView* view) { view_ = view; }

 private:
  std::unique_ptr<CVedWpCtrl> engine_;
  CVedWpView* view_ = nullptr;
};
