#include "framework/resource_toolbars.h"

namespace framework {

namespace {

ResourceRegistry<ToolBarResource>& ToolBars() {
  static ResourceRegistry<ToolBarResource> toolBars;
  return toolBars;
}

}  // namespace

bool RegisterToolBar(UINT id, ToolBarResource toolBar) {
  return !toolBar.buttons.empty() && ToolBars().Add(id, std::move(toolBar));
}

const ToolBarResource* FindToolBar(UINT id) { return ToolBars().Find(id); }

void ResetToolBarResources() { ToolBars().Clear(); }

}  // namespace framework
