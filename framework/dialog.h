// The dialog object: a dialog box made from its template (the platform's
// code-declared templates) with this object attached before its first
// message, so that its message map sees all of them. WM_INITDIALOG calls
// OnInitDialog; the IDOK and IDCANCEL commands (Enter on the default
// button, Esc, WM_CLOSE while the system menu's close item is enabled)
// call OnOK and OnCancel, which end the dialog with that answer. While a
// dialog runs, its PreTranslateMessage gives its windows' messages to
// IsDialogMessage.
#pragma once

#include <cstdint>

#include "framework/wnd.h"
#include "platform/dialog.h"

namespace framework {

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
  DECLARE_MESSAGE_MAP()

 public:
  // `parent` owns the dialog; none stands for the main window.
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);

  // Runs the dialog modally and answers EndDialog's result; -1 when it
  // could not be made.
  virtual intptr_t DoModal();
  // A modeless dialog of the template given (0: the constructor's).
  bool Create(UINT templateId = 0, CWnd* parent = nullptr);

  // True gives the focus to the first tab stop; false keeps what it set.
  virtual bool OnInitDialog();
  void EndDialog(intptr_t result);

  // The focus to the next or previous tab stop, or to the control.
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* control) const;

  bool PreTranslateMessage(MSG* msg) override;

  UINT templateId() const { return m_nIDTemplate; }

 protected:
  virtual void OnOK();
  virtual void OnCancel();

 private:
  static intptr_t DialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  HWND OwnerWindow(CWnd* parent) const;
  bool Make(UINT templateId, CWnd* parent);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
};

}  // namespace framework
