// What the framework's tests share: a clean window system per test and a
// record of what the handlers saw.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/wnd.h"
#include "platform/window.h"

namespace framework {

inline std::vector<std::string>& Seen() {
  static std::vector<std::string> seen;
  return seen;
}

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() {
    platform::ResetWindowMessages();
    Seen().clear();
  }
  ~WindowTest() override {
    CWnd::DeleteTempMap();
    platform::ResetWindowMessages();
  }

  static constexpr RECT kRect{0, 0, 200, 100};
};

}  // namespace framework
