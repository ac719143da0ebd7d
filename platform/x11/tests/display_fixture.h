// What the tests on a real X server share: an Xvfb of the test's own, the
// back end connected to it and installed as the process's display, and a
// connection of the test's own to look at the server with. Xlib's headers
// stay out of here, so that a test includes them after all of ours.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/display_backend.h"
#include "platform/x11/x11_backend.h"
#include "xvfb.h"

struct _XDisplay;

namespace platform::x11 {

class DisplayFixture : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the message loop until the condition holds; false when it does
  // not within a few seconds.
  static bool PumpUntil(const std::function<bool()>& done);
  static bool Run(const std::string& command);

  // Our windows reach the server by another connection than the test's,
  // so the test asks without naming a window the server may not have yet.
  bool ExistsOnServer(unsigned long native);
  // Waits until the server has the window on the screen.
  bool WaitUntilViewable(unsigned long native);
  std::optional<unsigned long> PixelOnServer(unsigned long native, int x, int y);
  // The server's pixels of a window's area, read at once; empty when the
  // server cannot give them. Row by row from the area's top left.
  std::vector<unsigned long> PixelsOnServer(unsigned long native, int x, int y, int width,
                                            int height);
  // Gives the window the keyboard from the test's side, as a window
  // manager would.
  void FocusOnServer(unsigned long native);
  // Asks the window to close, as a window manager's close button does.
  void SendDeleteWindow(unsigned long native);

  std::unique_ptr<Xvfb> server_;
  std::unique_ptr<X11Backend> backend_;
  std::optional<ScopedDisplay> scoped_;
  // The test's own connection; Xlib's Display.
  _XDisplay* observer_ = nullptr;
};

}  // namespace platform::x11
