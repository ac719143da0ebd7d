// Accelerator resources: tables of keys by id, loaded as accelerator
// tables of platform/accelerator.h.
#pragma once

#include <vector>

#include "framework/resource_registry.h"
#include "platform/accelerator.h"

namespace framework {

// False when the id is taken or there are no entries.
bool RegisterAccelerators(UINT id, std::vector<platform::ACCEL> entries);

// A new accelerator table of the entries, the caller's to destroy
// (DestroyAcceleratorTable); kNoAccelerators for an id with none.
platform::HACCEL LoadAccelerators(UINT id);

// Forgets every accelerator resource; for tests.
void ResetAcceleratorResources();

}  // namespace framework
