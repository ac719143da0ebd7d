// Toolbar resources: the buttons of a toolbar by id, left to right, as
// command ids with ID_SEPARATOR for the gaps between groups. The control
// bars read them when a toolbar is loaded.
#pragma once

#include <vector>

#include "framework/resource_registry.h"

namespace framework {

// An item id that names no command: a gap in a toolbar, a pane the
// program fills in a status bar.
inline constexpr UINT ID_SEPARATOR = 0;

struct ToolBarResource {
  std::vector<UINT> buttons;
};

// False when the id is taken or there are no buttons.
bool RegisterToolBar(UINT id, ToolBarResource toolBar);

// nullptr for an id with no toolbar.
const ToolBarResource* FindToolBar(UINT id);

// Forgets every toolbar resource; for tests.
void ResetToolBarResources();

}  // namespace framework
