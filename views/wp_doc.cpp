#include "views/wp_doc.h"

using framework::CDocument;

IMPLEMENT_DYNCREATE(CVedWpDoc, CDocument)

BEGIN_MESSAGE_MAP(CVedWpDoc, CDocument)
END_MESSAGE_MAP()

CVedWpDoc::CVedWpDoc() : engine_(std::make_unique<CVedWpCtrl>()) {
  if (engine_->Start() != 1) engine_.reset();
}

CVedWpDoc::~CVedWpDoc() {
  if (engine_ != nullptr) engine_->Stop();
}

bool CVedWpDoc::OnNewDocument() { return true; }
