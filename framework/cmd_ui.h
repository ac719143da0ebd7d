// What an update handler is handed to say how a command should look: a
// menu item, a toolbar button or a status pane derives from it to show
// what the handler said. The base keeps the answers, so that a caller
// routing a command can ask whether it is enabled.
#pragma once

#include "framework/cmd_target.h"
#include "framework/cstring.h"

namespace framework {

class CCmdUI {
 public:
  CCmdUI() = default;
  explicit CCmdUI(UINT id) : m_nID(id) {}
  virtual ~CCmdUI() = default;

  virtual void Enable(bool on = true);
  // 0 unchecked, 1 checked, 2 indeterminate.
  virtual void SetCheck(int check = 1);
  virtual void SetText(const char* text);

  // Asks the target for the command's update handler and runs it. Without
  // one, and with `disableIfNoHandler`, the command is enabled exactly
  // when the target has a handler for it. Answers whether an update
  // handler ran.
  bool DoUpdate(CCmdTarget* target, bool disableIfNoHandler);

  UINT m_nID = 0;
  bool m_bEnabled = true;
  // Whether Enable was called since the last DoUpdate.
  bool m_bEnableChanged = false;
  int m_nCheck = 0;
  CString m_strText;
  bool m_bTextChanged = false;
};

}  // namespace framework
