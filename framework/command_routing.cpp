#include "framework/command_routing.h"

#include "framework/cmd_ui.h"
#include "platform/menu.h"

namespace framework {
namespace {

// One application object per process, reached from the UI thread only.
CCmdTarget* application = nullptr;

}  // namespace

void SetApplicationCommandTarget(CCmdTarget* target) { application = target; }

CCmdTarget* ApplicationCommandTarget() { return application; }

bool IsCommandRequest(UINT code, platform::HWND control) {
  return code == platform::kCommandFromMenu ||
         (code == platform::kCommandFromAccelerator && control == platform::kNoWindow);
}

bool RouteCommand(CCmdTarget* target, UINT id) {
  CCmdUI state(id);
  state.DoUpdate(target, false);
  if (!state.m_bEnabled) return true;
  return target->OnCmdMsg(id, CN_COMMAND, nullptr, nullptr);
}

}  // namespace framework
