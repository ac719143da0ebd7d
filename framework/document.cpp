#include "framework/document.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "framework/doc_template.h"
#include "framework/frame_wnd.h"
#include "framework/framework_ids.h"
#include "framework/message_box.h"
#include "framework/view.h"
#include "platform/file.h"
#include "platform/sjis.h"

namespace framework {
namespace {

using platform::CArchiveException;
using platform::CFile;
using platform::CFileException;

// The new file a save writes before it replaces the old one.
constexpr char kSaveSuffix[] = ".saving";

// "への変更を保存しますか？" after the document's title.
constexpr char kAskToSave[] =
    " \x82\xD6\x82\xCC\x95\xCF\x8D\x58\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB7\x82\xA9"
    "\x81\x48";
// "を開けませんでした。" after the path.
constexpr char kCannotOpen[] =
    " \x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81\x42";
// "を保存できませんでした。" after the path.
constexpr char kCannotSave[] =
    " \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD"
    "\x81\x42";

// The part of a path after its last folder separator.
CString FileNameOf(const CString& path) {
  const std::string bytes = path.GetString();
  size_t start = 0;
  // A trail byte may be '\\'; walk by characters.
  for (size_t at = 0; at < bytes.size(); at += platform::CharLengthAt(bytes, at))
    if (bytes[at] == '\\' || bytes[at] == '/') start = at + 1;
  return CString(bytes.substr(start).c_str());
}

// A file without any write permission stands for a read-only file, which
// a save must not replace.
bool IsReadOnlyFile(const std::filesystem::file_status& status) {
  constexpr auto kWrite = std::filesystem::perms::owner_write |
                          std::filesystem::perms::group_write |
                          std::filesystem::perms::others_write;
  return std::filesystem::is_regular_file(status) &&
         (status.permissions() & kWrite) == std::filesystem::perms::none;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
OnCommandId(ID_FILE_CLOSE, &CDocument::OnFileClose),
    OnCommandId(ID_FILE_SAVE, &CDocument::OnFileSave),
    OnCommandId(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs),
    END_MESSAGE_MAP()

        CDocument::~CDocument() {
  if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(const char* title) {
  m_strTitle = title;
  UpdateFrameTitles();
}

void CDocument::SetPathName(const char* path, bool) {
  m_strPathName = path;
  SetTitle(FileNameOf(m_strPathName));
}

bool CDocument::IsModified() { return m_bModified; }

void CDocument::SetModifiedFlag(bool modified) { m_bModified = modified; }

void CDocument::AddView(CView* view) {
  if (view->m_pDocument != nullptr) return;
  m_viewList.push_back(view);
  view->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
  if (view->m_pDocument != this) return;
  m_viewList.erase(std::remove(m_viewList.begin(), m_viewList.end(), view), m_viewList.end());
  view->m_pDocument = nullptr;
  OnChangedViewList();
}

void CDocument::OnChangedViewList() {
  if (m_viewList.empty() && m_bAutoDelete) {
    OnCloseDocument();
    return;
  }
  UpdateFrameTitles();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  for (CView* view : m_viewList)
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

void CDocument::UpdateFrameTitles() {
  for (CView* view : m_viewList)
    if (CFrameWnd* frame = view->GetParentFrame()) frame->OnUpdateFrameTitle(true);
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const char* path) {
  CFile file;
  if (!file.Open(path, CFile::kModeRead)) {
    ReportSaveLoadFailure(path, false);
    return false;
  }
  DeleteContents();
  // A load that fails half-way leaves a document that is not the file.
  SetModifiedFlag(true);
  try {
    CArchive archive(&file, CArchive::kLoad);
    Serialize(archive);
    archive.Close();
  } catch (const CArchiveException&) {
    DeleteContents();
    ReportSaveLoadFailure(path, false);
    return false;
  } catch (const CFileException&) {
    DeleteContents();
    ReportSaveLoadFailure(path, false);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const char* path) {
  const std::string target = path;
  const std::string written = target + kSaveSuffix;
  std::error_code error;
  const std::filesystem::file_status old = std::filesystem::status(target, error);
  if (IsReadOnlyFile(old)) {
    ReportSaveLoadFailure(path, true);
    return false;
  }
  bool complete = false;
  {
    CFile file;
    if (file.Open(written, CFile::kModeCreate | CFile::kModeWrite)) {
      try {
        CArchive archive(&file, CArchive::kStore);
        Serialize(archive);
        archive.Close();
        file.Close();
        complete = true;
      } catch (const CArchiveException&) {
      } catch (const CFileException&) {
      }
    }
  }
  // The new file takes the old one's permissions.
  if (complete && std::filesystem::is_regular_file(old))
    std::filesystem::permissions(written, old.permissions(), error);
  if (!complete || std::rename(written.c_str(), target.c_str()) != 0) {
    std::remove(written.c_str());
    ReportSaveLoadFailure(path, true);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::OnCloseDocument() {
  // The views leave as their frames go; keep the document until the end.
  const bool autoDelete = m_bAutoDelete;
  m_bAutoDelete = false;
  while (!m_viewList.empty()) {
    CView* view = m_viewList.front();
    CFrameWnd* frame = view->GetParentFrame();
    if (frame != nullptr)
      frame->DestroyWindow();
    else
      view->DestroyWindow();
    // A view whose window would not go leaves all the same.
    if (!m_viewList.empty() && m_viewList.front() == view) RemoveView(view);
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

void CDocument::DeleteContents() {}

void CDocument::Serialize(CArchive&) {}

bool CDocument::SaveModified() {
  if (!IsModified()) return true;
  CString question = m_strTitle;
  question += kAskToSave;
  switch (ShowPrompt(question, platform::MB_YESNOCANCEL | platform::MB_ICONEXCLAMATION)) {
    case platform::IDYES:
      return DoFileSave();
    case platform::IDNO:
      return true;
    default:
      return false;
  }
}

bool CDocument::CanCloseFrame(CFrameWnd* frame) {
  // Another frame still showing the document keeps it open.
  for (CView* view : m_viewList)
    if (view->GetParentFrame() != frame) return true;
  return SaveModified();
}

bool CDocument::DoSave(const char* path, bool replace) {
  CString name = path != nullptr ? CString(path) : CString();
  if (name.IsEmpty()) {
    name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (!PromptForFileName(name)) return false;
  }
  if (!OnSaveDocument(name)) return false;
  if (replace) SetPathName(name);
  return true;
}

bool CDocument::DoFileSave() {
  return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

int CDocument::ShowPrompt(const char* text, UINT type) { return AfxMessageBox(text, type); }

bool CDocument::PromptForFileName(CString&) { return false; }

void CDocument::OnFileClose() {
  if (SaveModified()) OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

void CDocument::ReportSaveLoadFailure(const char* path, bool saving) {
  CString message = path;
  message += saving ? kCannotSave : kCannotOpen;
  ShowPrompt(message, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

}  // namespace framework
