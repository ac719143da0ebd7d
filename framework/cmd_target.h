// The root of everything that handles commands: a message map and
// OnCmdMsg, which finds a command's handler (or its update handler) in the
// map and runs it, or only tells what it found.
#pragma once

#include "framework/message_map.h"
#include "framework/runtime_class.h"

namespace framework {

// The code OnCmdMsg is asked with for a command's update handler; a
// command from a menu or a SendMessage of WM_COMMAND has code 0.
inline constexpr UINT CN_COMMAND = 0;
inline constexpr UINT CN_UPDATE_COMMAND_UI = 0xFFFFFFFFu;

// Filled instead of running the handler when OnCmdMsg is only asked
// whether one exists.
struct CmdHandlerInfo {
  CCmdTarget* target = nullptr;
  const MessageMapEntry* entry = nullptr;
};

class CCmdTarget : public CObject {
  DECLARE_DYNAMIC(CCmdTarget)

 public:
  // With CN_UPDATE_COMMAND_UI, `cmdUI` is what the update handler fills.
  // With `handlerInfo`, nothing runs: it is filled and true answered when
  // a handler exists. False when this target has none.
  virtual bool OnCmdMsg(UINT id, UINT code, CCmdUI* cmdUI, CmdHandlerInfo* handlerInfo);

 protected:
  static const MessageMap& GetThisMessageMap();
  virtual const MessageMap* GetMessageMap() const;
};

}  // namespace framework
