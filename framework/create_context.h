// What a document template hands a new frame, through the frame's
// creation parameters, so that the frame can make its view and bind it
// to the document.
#pragma once

namespace framework {

struct CRuntimeClass;
class CDocument;
class CDocTemplate;
class CFrameWnd;

struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

}  // namespace framework
