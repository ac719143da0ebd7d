// The one road every command takes. A WM_COMMAND that is a command (from
// a menu, an accelerator, a toolbar button, or sent or posted with notify
// code 0) first has its update handler asked through a CCmdUI; a command
// the handler disables is dropped there, whoever sent it. Only then does
// OnCmdMsg look for the handler: in a frame along view, document, child
// frame, main frame and last the application object.
#pragma once

#include "framework/cmd_target.h"
#include "platform/window_message.h"

namespace framework {

// The application object, asked last on every route; none by default.
void SetApplicationCommandTarget(CCmdTarget* application);
CCmdTarget* ApplicationCommandTarget();

// Whether a WM_COMMAND's notify code and control make it a command rather
// than a control's notification: code 0 (a menu, a button, a toolbar, a
// plain send or post), or the accelerator code without a control.
bool IsCommandRequest(UINT code, platform::HWND control);

// Asks the target's route whether the command is enabled and, when it is,
// runs its handler. True when the command was dealt with: run, or dropped
// because it is disabled.
bool RouteCommand(CCmdTarget* target, UINT id);

}  // namespace framework
