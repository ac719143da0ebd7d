#include "framework/dialog.h"

#include "framework/main_window.h"

namespace framework {

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
OnCommandId(platform::IDOK, &CDialog::OnOK), OnCommandId(platform::IDCANCEL, &CDialog::OnCancel),
    END_MESSAGE_MAP()

        CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

intptr_t CDialog::DoModal() {
  if (!Make(m_nIDTemplate, m_pParentWnd)) return -1;
  const HWND dialog = m_hWnd;
  return platform::RunModalDialog(dialog, [dialog](MSG* msg) {
    if (msg->hwnd != dialog && !platform::IsChild(dialog, msg->hwnd)) return false;
    return WalkPreTranslateTree(dialog, msg);
  });
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
  if (templateId != 0) m_nIDTemplate = templateId;
  if (parent != nullptr) m_pParentWnd = parent;
  return Make(m_nIDTemplate, m_pParentWnd);
}

bool CDialog::Make(UINT templateId, CWnd* parent) {
  if (m_hWnd != platform::kNoWindow) return false;
  // The object goes on before the dialog's first message.
  platform::CreationHook outer =
      platform::HookNextWindowCreation([this](HWND window) { AttachForCreation(window); });
  const HWND dialog = platform::CreateDialogParam(static_cast<int32_t>(templateId),
                                                  OwnerWindow(parent), &DialogProcedure, 0);
  platform::HookNextWindowCreation(std::move(outer));
  return dialog != platform::kNoWindow;
}

HWND CDialog::OwnerWindow(CWnd* parent) const {
  if (parent != nullptr) return parent->GetSafeHwnd();
  CWnd* main = AfxGetMainWnd();
  return main != nullptr ? main->GetSafeHwnd() : platform::kNoWindow;
}

intptr_t CDialog::DialogProcedure(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message != platform::WM_INITDIALOG) return 0;
  auto* object = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(dialog));
  return object == nullptr || object->OnInitDialog() ? 1 : 0;
}

bool CDialog::OnInitDialog() { return true; }

void CDialog::EndDialog(intptr_t result) { platform::EndDialog(m_hWnd, result); }

void CDialog::NextDlgCtrl() const { platform::SendMessage(m_hWnd, platform::WM_NEXTDLGCTL, 0, 0); }

void CDialog::PrevDlgCtrl() const { platform::SendMessage(m_hWnd, platform::WM_NEXTDLGCTL, 1, 0); }

void CDialog::GotoDlgCtrl(CWnd* control) const {
  if (control == nullptr) return;
  platform::SendMessage(m_hWnd, platform::WM_NEXTDLGCTL,
                        static_cast<WPARAM>(control->GetSafeHwnd()), platform::MakeLParam(1, 0));
}

bool CDialog::PreTranslateMessage(MSG* msg) { return platform::IsDialogMessage(m_hWnd, msg); }

void CDialog::OnOK() { EndDialog(platform::IDOK); }

void CDialog::OnCancel() { EndDialog(platform::IDCANCEL); }

}  // namespace framework
