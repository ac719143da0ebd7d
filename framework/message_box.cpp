#include "framework/message_box.h"

#include <string>

#include "framework/main_window.h"
#include "framework/resource_strings.h"
#include "framework/win_app.h"
#include "framework/wnd.h"

namespace framework {

int AfxMessageBox(const char* text, UINT type) {
  CWnd* mainWindow = AfxGetMainWnd();
  const platform::HWND owner =
      mainWindow != nullptr ? mainWindow->GetSafeHwnd() : platform::kNoWindow;
  const CWinApp* app = AfxGetApp();
  const char* caption =
      app != nullptr && !app->m_pszAppName.IsEmpty() ? app->m_pszAppName.GetString() : nullptr;
  return platform::MessageBox(owner, text, caption, type);
}

int AfxMessageBox(UINT stringId, UINT type) {
  const std::string* text = FindString(stringId);
  return AfxMessageBox(text != nullptr ? text->c_str() : "", type);
}

}  // namespace framework
