// Document templates: which document, frame and view classes make up one
// kind of document, and the texts that name it, kept as the resource
// string holds them, fields separated by "\n":
//   window title, document name, file-new name, filter name, filter
//   extension, registry type id, registry type name.
// A multiple-document template makes a new document with its own frame
// and view for every new or opened file and names untitled ones by the
// document name and a running number: 新規1, 新規2 …
#pragma once

#include <vector>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "framework/frame_resources.h"

namespace framework {

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)

 public:
  enum DocStringIndex {
    windowTitle,
    docName,
    fileNewName,
    filterName,
    filterExt,
    regFileTypeId,
    regFileTypeName,
  };

  // Closes and deletes the documents still open, then the menu and the
  // accelerators it loaded.
  ~CDocTemplate() override;
  CDocTemplate(const CDocTemplate&) = delete;
  CDocTemplate& operator=(const CDocTemplate&) = delete;

  // False, and `text` empty, for a field the string does not have.
  bool GetDocString(CString& text, DocStringIndex index) const;

  const std::vector<CDocument*>& GetDocuments() const { return m_docList; }
  virtual void AddDocument(CDocument* document);
  virtual void RemoveDocument(CDocument* document);

  // A new document of the template's class, added to the template; null
  // when the class cannot be made.
  virtual CDocument* CreateNewDocument();
  // A new frame with a view on the document, the frame resources given
  // to its LoadFrame; null when either cannot be made.
  virtual CFrameWnd* CreateNewFrame(CDocument* document, CFrameWnd* other);
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* document, bool makeVisible = true);
  // A new document in a new frame: untitled for no path, else loaded
  // from it. Null (and nothing left behind) when that fails.
  virtual CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) = 0;
  virtual void SetDefaultTitle(CDocument* document) = 0;

  // Asks every modified document whether to save; false when one was
  // cancelled.
  bool SaveAllModified();
  void CloseAllDocuments();

 protected:
  CDocTemplate(const char* docStrings, const FrameResources& frameResources,
               const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);

  // The "\n"-separated string, the menu and the accelerators registered
  // under the id; the template owns the menu and the accelerators.
  CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);

  CString m_strDocStrings;
  FrameResources m_frameResources;
  bool m_bOwnsFrameResources = false;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
  std::vector<CDocument*> m_docList;
};

class CMultiDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CMultiDocTemplate)

 public:
  CMultiDocTemplate(const char* docStrings, const FrameResources& frameResources,
                    const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                    const CRuntimeClass* viewClass);
  // The document string, the menu and the accelerators of its frames from
  // the resources registered under the id.
  CMultiDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                    const CRuntimeClass* viewClass);

  CDocument* OpenDocumentFile(const char* path, bool makeVisible = true) override;
  void SetDefaultTitle(CDocument* document) override;

 private:
  // The number the next untitled document gets.
  UINT m_nUntitledCount = 0;
};

}  // namespace framework
