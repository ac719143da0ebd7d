// The application object: one per program, reached through AfxGetApp.
// AfxWinMain runs InitInstance and then, when it succeeded, Run: the
// message loop that offers each message to PreTranslateMessage (the
// application's, which walks the message's window and its parents up to
// the main window) before it is translated and dispatched, calls OnIdle
// with a count while the queue is empty, and ends on WM_QUIT with what
// ExitInstance answers.
//
// The profile: after SetRegistryKey("ZNT") the profile of an application
// named "Lexora3" is the current user's key
// "Software\ZNT\Lexora3\<section>" in the process's registry. Without a
// registry key there is no profile: reads answer their defaults and
// writes fail.
//
// The application object is the last command target of every route, and
// holds the document templates: OnFileNew makes a new document of the
// first one, OpenDocumentFile opens a file through it.
//
// ProcessShellCommand carries out a parsed command line through virtual
// hooks: OnFileNew, OpenDocumentFile and PrintShellDocument, which
// reports failure unless a program prints.
#pragma once

#include <memory>
#include <vector>

#include "framework/cmd_target.h"
#include "framework/command_line_info.h"
#include "framework/cstring.h"
#include "platform/window.h"

namespace framework {

using platform::MSG;
using platform::UINT;

class CDocTemplate;
class CDocument;
class CWnd;

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC(CWinApp)

 public:
  // The newest application object is the one AfxGetApp answers, and the
  // one commands are routed to last, until it goes.
  explicit CWinApp(const char* appName = nullptr);
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // False ends the program before the message loop.
  virtual bool InitInstance();
  virtual int Run();
  // True when the message was handled and is not dispatched; it may be
  // changed in place for the window chain and the dispatch after.
  virtual bool PreTranslateMessage(MSG* msg);
  // Called while the queue is empty, `count` from 0 since the last
  // message that was not a paint or a thread timer; true asks for
  // another call before the loop waits. The first call brings the control
  // bars of the main frame and its active frame up to date through
  // CCmdUI; the next lets the temporary window objects go.
  virtual bool OnIdle(long count);
  // Answers the program's exit code: the WM_QUIT's by default.
  virtual int ExitInstance();

  // Answers whether the program goes on: false when the command failed,
  // and after a print, which is all a start with a print switch is for
  // (the main window stays hidden).
  bool ProcessShellCommand(CCommandLineInfo& info);
  // Parses m_lpCmdLine into `info`.
  void ParseCommandLine(CCommandLineInfo& info);

  // The application owns the template from now on.
  void AddDocTemplate(CDocTemplate* docTemplate);
  const std::vector<std::unique_ptr<CDocTemplate>>& GetDocTemplates() const { return m_templates; }
  // A new, empty document of the first template; false when none could be
  // made.
  virtual bool OnFileNew();
  // The document opened from the path through the first template; null
  // when it could not be.
  virtual CDocument* OpenDocumentFile(const char* path);
  // Prints the document a print switch opened, on the printer the
  // command line names for FilePrintTo; false when it did not print.
  virtual bool PrintShellDocument(CDocument* document, const CCommandLineInfo& info);

  // The profile lives under "Software\<key>\<application name>".
  void SetRegistryKey(const char* key);
  CString GetProfileString(const char* section, const char* entry,
                           const char* defaultValue = "") const;
  bool WriteProfileString(const char* section, const char* entry, const char* value);
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue) const;
  bool WriteProfileInt(const char* section, const char* entry, int value);

  CString m_pszAppName;
  CString m_pszRegistryKey;
  CString m_pszProfileName;
  CString m_lpCmdLine;
  int m_nCmdShow = platform::SW_SHOWNORMAL;
  CWnd* m_pMainWnd = nullptr;

 protected:
  // The message Run took last; its wParam is the WM_QUIT's exit code once
  // the loop has ended.
  MSG m_msgCur;

 private:
  std::vector<std::unique_ptr<CDocTemplate>> m_templates;

  // The idle update of the main frame's bars and its active frame's.
  void UpdateFrameBars();
  // Takes one message and hands it on; false on WM_QUIT.
  bool PumpMessage();
  // Whether the profile exists; fills the key path of the section.
  bool SectionKey(const char* section, CString* path) const;
  // The print a print switch asked for; the program ends after it.
  void PrintFromCommandLine(const CCommandLineInfo& info);
};

CWinApp* AfxGetApp();

// Runs the application object: InitInstance with the command line and
// show command given, then Run; a failed InitInstance ends at once with
// what ExitInstance answers. -1 when there is no application object.
int AfxWinMain(const char* commandLine, int cmdShow);

}  // namespace framework
