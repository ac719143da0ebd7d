// A document: the data one or more views show, its title and file path,
// and whether it was changed since it was last saved or loaded. It loads
// and saves itself through Serialize over an archive; a save writes a
// new file beside the old one and puts it in place only when all of it
// was written, so a failed save leaves the old file as it was.
//
// Questions to the user (save the changes?) and failure reports go
// through ShowPrompt: the program's message box (framework/message_box.h),
// which in a batch run, or headless with no script, answers its default
// button.
#pragma once

#include <vector>

#include "framework/cmd_target.h"
#include "framework/cstring.h"
#include "platform/archive.h"

namespace framework {

using platform::CArchive;

class CDocTemplate;
class CFrameWnd;
class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
  DECLARE_MESSAGE_MAP()

 public:
  CDocument() = default;
  // Leaves its template; the views must be gone by then.
  ~CDocument() override;
  CDocument(const CDocument&) = delete;
  CDocument& operator=(const CDocument&) = delete;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const char* title);
  const CString& GetPathName() const { return m_strPathName; }
  // The title becomes the path's file name.
  virtual void SetPathName(const char* path, bool addToRecentList = true);
  virtual bool IsModified();
  virtual void SetModifiedFlag(bool modified = true);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  const std::vector<CView*>& GetViews() const { return m_viewList; }
  void AddView(CView* view);
  void RemoveView(CView* view);
  // OnUpdate of every view but the sender.
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
  // The frames showing the views change their titles.
  void UpdateFrameTitles();

  // Empties the document and clears path and modified flag.
  virtual bool OnNewDocument();
  // Loads the file through Serialize; false (reported) when it cannot be
  // opened or read, the document then empty.
  virtual bool OnOpenDocument(const char* path);
  // Saves through Serialize; false (reported) when it cannot be written.
  virtual bool OnSaveDocument(const char* path);
  // Destroys the frames of its views, then the document itself when it
  // deletes itself (the default).
  virtual void OnCloseDocument();
  virtual void DeleteContents();
  virtual void Serialize(CArchive& archive);

  // Asks whether to save a modified document: yes saves (false when that
  // fails), no goes on, cancel answers false.
  virtual bool SaveModified();
  // Whether the frame may close: the last frame of the document asks
  // SaveModified.
  virtual bool CanCloseFrame(CFrameWnd* frame);
  // Saves under `path`, or under a name the user gives when there is
  // none; with `replace` the document takes the new name.
  virtual bool DoSave(const char* path, bool replace = true);
  // Saves under its own path, asking for one when it has none.
  virtual bool DoFileSave();

  // Shows a message with the buttons of `type` (platform/message_box.h);
  // answers the button chosen.
  virtual int ShowPrompt(const char* text, UINT type);
  // Asks for a file name to save under, starting from `fileName`; false
  // when none was given. The default has no file dialog and gives none.
  virtual bool PromptForFileName(CString& fileName);

  bool m_bAutoDelete = true;

 protected:
  // The last view left: a document that deletes itself closes.
  virtual void OnChangedViewList();
  // ID_FILE_CLOSE: SaveModified, then OnCloseDocument.
  void OnFileClose();
  // ID_FILE_SAVE: DoFileSave.
  void OnFileSave();
  // ID_FILE_SAVE_AS: DoSave under a name the user gives.
  void OnFileSaveAs();
  virtual void ReportSaveLoadFailure(const char* path, bool saving);

 private:
  friend class CDocTemplate;

  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  std::vector<CView*> m_viewList;
  bool m_bModified = false;
};

}  // namespace framework
