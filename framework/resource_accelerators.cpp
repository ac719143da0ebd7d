#include "framework/resource_accelerators.h"

namespace framework {

namespace {

ResourceRegistry<std::vector<platform::ACCEL>>& Tables() {
  static ResourceRegistry<std::vector<platform::ACCEL>> tables;
  return tables;
}

}  // namespace

bool RegisterAccelerators(UINT id, std::vector<platform::ACCEL> entries) {
  return !entries.empty() && Tables().Add(id, std::move(entries));
}

platform::HACCEL LoadAccelerators(UINT id) {
  const std::vector<platform::ACCEL>* entries = Tables().Find(id);
  if (entries == nullptr) return platform::kNoAccelerators;
  return platform::CreateAcceleratorTable(entries->data(), static_cast<int>(entries->size()));
}

void ResetAcceleratorResources() { Tables().Clear(); }

}  // namespace framework
