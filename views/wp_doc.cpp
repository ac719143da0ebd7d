#include "views/wp_doc.h"

#include <cstring>

using framework::CDocument;

IMPLEMENT_DYNCREATE(CVedWpDoc, CDocument)

BEGIN_MESSAGE_MAP(CVedWpDoc, CDocument)
END_MESSAGE_MAP()

CVedWpDoc::CVedWpDoc() : engine_(std::make_unique<CVedWpCtrl>()) {
  if (engine_->Start() != 1) engine_.reset();
}

CVedWpDoc::~CVedWpDoc() {
  EndPrintJob();
  if (engine_ != nullptr) engine_->Stop();
}

bool CVedWpDoc::OnNewDocument() { return true; }

CVedWpDoc::RecordCopy::RecordCopy(const PageSetupRecord& from) : record(from) {
  const auto copy = [](auto* source, auto& block, auto*& pointer) {
    if (source != nullptr) {
      block = *source;
      pointer = &block;
    }
  };
  copy(from.paper, paper, record.paper);
  copy(from.font, font, record.font);
  copy(from.layout, layout, record.layout);
  copy(from.pageNumber, pageNumber, record.pageNumber);
}
