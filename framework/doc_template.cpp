#include "framework/doc_template.h"

#include <algorithm>
#include <string>

#include "framework/create_context.h"
#include "framework/document.h"
#include "framework/frame_wnd.h"
#include "framework/main_window.h"
#include "framework/mdi_wnd.h"
#include "framework/resource_accelerators.h"
#include "framework/resource_menus.h"
#include "framework/resource_strings.h"

namespace framework {
namespace {

constexpr char kFieldSeparator = '\n';
// How a template's frames are made.
constexpr DWORD kFrameStyle = FWS_ADDTOTITLE;

}  // namespace

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)

CDocTemplate::CDocTemplate(const char* docStrings, const FrameResources& frameResources,
                           const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_strDocStrings(docStrings),
      m_frameResources(frameResources),
      m_pDocClass(docClass),
      m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {}

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                           const CRuntimeClass* frameClass, const CRuntimeClass* viewClass)
    : m_frameResources{framework::LoadMenu(resourceId), framework::LoadAccelerators(resourceId),
                       CString()},
      m_bOwnsFrameResources(true),
      m_pDocClass(docClass),
      m_pFrameClass(frameClass),
      m_pViewClass(viewClass) {
  if (const std::string* strings = FindString(resourceId)) m_strDocStrings = CString(*strings);
}

CDocTemplate::~CDocTemplate() {
  CloseAllDocuments();
  // Documents that do not delete themselves stay their owners'.
  for (CDocument* document : m_docList) document->m_pDocTemplate = nullptr;
  if (!m_bOwnsFrameResources) return;
  if (m_frameResources.menu != platform::kNoMenu) platform::DestroyMenu(m_frameResources.menu);
  if (m_frameResources.accelerators != platform::kNoAccelerators)
    platform::DestroyAcceleratorTable(m_frameResources.accelerators);
}

bool CDocTemplate::GetDocString(CString& text, DocStringIndex index) const {
  const std::string all = m_strDocStrings.GetString();
  size_t start = 0;
  for (int field = 0; field < index; ++field) {
    start = all.find(kFieldSeparator, start);
    if (start == std::string::npos) {
      text.Empty();
      return false;
    }
    ++start;
  }
  const size_t end = all.find(kFieldSeparator, start);
  text = all.substr(start, end == std::string::npos ? std::string::npos : end - start).c_str();
  return true;
}

void CDocTemplate::AddDocument(CDocument* document) {
  m_docList.push_back(document);
  document->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* document) {
  m_docList.erase(std::remove(m_docList.begin(), m_docList.end(), document), m_docList.end());
  document->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  CObject* object = m_pDocClass != nullptr ? m_pDocClass->CreateObject() : nullptr;
  if (object == nullptr) return nullptr;
  if (!object->IsKindOf(RUNTIME_CLASS(CDocument))) {
    delete object;
    return nullptr;
  }
  auto* document = static_cast<CDocument*>(object);
  AddDocument(document);
  return document;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* document, CFrameWnd* other) {
  CObject* object = m_pFrameClass != nullptr ? m_pFrameClass->CreateObject() : nullptr;
  if (object == nullptr) return nullptr;
  if (!object->IsKindOf(RUNTIME_CLASS(CFrameWnd))) {
    delete object;
    return nullptr;
  }
  auto* frame = static_cast<CFrameWnd*>(object);
  CWnd* parent = AfxGetMainWnd();
  // A document window needs the MDI frame it goes in.
  if (frame->IsKindOf(RUNTIME_CLASS(CMDIChildWnd)) &&
      (parent == nullptr || !parent->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd)))) {
    delete frame;
    return nullptr;
  }
  CCreateContext context{m_pViewClass, document, this, other};
  // A frame whose window was made and failed has deleted itself.
  if (!frame->LoadFrame(m_frameResources, kFrameStyle, parent, &context)) return nullptr;
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* document, bool makeVisible) {
  frame->InitialUpdateFrame(document, makeVisible);
}

bool CDocTemplate::SaveAllModified() {
  const std::vector<CDocument*> documents = m_docList;
  return std::all_of(documents.begin(), documents.end(),
                     [](CDocument* document) { return document->SaveModified(); });
}

void CDocTemplate::CloseAllDocuments() {
  const std::vector<CDocument*> documents = m_docList;
  for (CDocument* document : documents) document->OnCloseDocument();
}

IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

CMultiDocTemplate::CMultiDocTemplate(const char* docStrings, const FrameResources& frameResources,
                                     const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                                     const CRuntimeClass* viewClass)
    : CDocTemplate(docStrings, frameResources, docClass, frameClass, viewClass) {}

CMultiDocTemplate::CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass,
                                     const CRuntimeClass* frameClass,
                                     const CRuntimeClass* viewClass)
    : CDocTemplate(resourceId, docClass, frameClass, viewClass) {}

CDocument* CMultiDocTemplate::OpenDocumentFile(const char* path, bool makeVisible) {
  CDocument* document = CreateNewDocument();
  if (document == nullptr) return nullptr;
  // Kept while its frame is made, even if the frame fails half-way.
  const bool autoDelete = document->m_bAutoDelete;
  document->m_bAutoDelete = false;
  CFrameWnd* frame = CreateNewFrame(document, nullptr);
  document->m_bAutoDelete = autoDelete;
  if (frame == nullptr) {
    delete document;
    return nullptr;
  }
  if (path == nullptr) {
    SetDefaultTitle(document);
    if (!document->OnNewDocument()) {
      // The document goes with its view.
      frame->DestroyWindow();
      return nullptr;
    }
    ++m_nUntitledCount;
  } else {
    if (!document->OnOpenDocument(path)) {
      frame->DestroyWindow();
      return nullptr;
    }
    document->SetPathName(path);
  }
  InitialUpdateFrame(frame, document, makeVisible);
  return document;
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* document) {
  CString title;
  GetDocString(title, docName);
  title += std::to_string(m_nUntitledCount + 1);
  document->SetTitle(title);
}

}  // namespace framework
