#include "platform/display_backend.h"

#include <atomic>

namespace platform {

namespace {

HeadlessBackend headless;
std::atomic<DisplayBackend*> current{&headless};

}  // namespace

DisplayBackend& CurrentDisplay() { return *current.load(); }

ScopedDisplay::ScopedDisplay(DisplayBackend& backend) : previous_(current.exchange(&backend)) {}

ScopedDisplay::~ScopedDisplay() { current.store(previous_); }

}  // namespace platform
