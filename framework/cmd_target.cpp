#include "framework/cmd_target.h"

#include "framework/cmd_ui.h"

namespace framework {

const CRuntimeClass CCmdTarget::classCCmdTarget{"CCmdTarget", RUNTIME_CLASS(CObject), nullptr};

const CRuntimeClass* CCmdTarget::GetRuntimeClass() const { return RUNTIME_CLASS(CCmdTarget); }

const MessageMap& CCmdTarget::GetThisMessageMap() {
  static const MessageMap map(nullptr, {});
  return map;
}

const MessageMap* CCmdTarget::GetMessageMap() const { return &GetThisMessageMap(); }

bool CCmdTarget::OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo) {
  const bool update = code == CN_UPDATE_COMMAND_UI;
  const MessageMapEntry* entry = GetMessageMap()->Find([&](const MessageMapEntry& e) {
    if (e.id != id) return false;
    return update ? e.kind == EntryKind::kUpdateCommandUI
                  : e.kind == EntryKind::kCommand && e.code == code;
  });
  if (entry == nullptr) return false;
  if (handlerInfo != nullptr) {
    *handlerInfo = {this, entry};
    return true;
  }
  entry->thunk(*this, HandlerCall{platform::WM_NULL, 0, 0, cmdUI});
  return true;
}

void CCmdUI::Enable(bool on) {
  m_bEnabled = on;
  m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int check) { m_nCheck = check; }

void CCmdUI::SetText(const char* text) {
  m_strText = text;
  m_bTextChanged = true;
}

bool CCmdUI::DoUpdate(CCmdTarget* target, bool disableIfNoHandler) {
  m_bEnableChanged = false;
  const bool updated = target->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
  if (!updated && disableIfNoHandler && !m_bEnableChanged) {
    CmdHandlerInfo info;
    Enable(target->OnCmdMsg(m_nID, CN_COMMAND, nullptr, &info));
  }
  return updated;
}

}  // namespace framework
