// Window classes made on demand for windows that need no class of their
// own: one class for each combination of class style, cursor and
// background, named after them and registered the first time it is asked
// for, with the framework's window procedure.
#pragma once

#include "platform/window.h"

namespace framework {

// The class's name, good for the life of the process; null when the
// class cannot be registered.
const char* AfxRegisterWndClass(platform::UINT classStyle, platform::HCURSOR cursor = 0,
                                platform::HBRUSH background = nullptr);

}  // namespace framework
