#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/x11/x11_backend.h"

namespace platform::x11 {
namespace {

// Leaves DISPLAY unset for a test and puts it back afterwards.
class WithoutDisplay {
 public:
  WithoutDisplay() {
    if (const char* value = std::getenv("DISPLAY")) saved_ = value;
    unsetenv("DISPLAY");
  }
  ~WithoutDisplay() {
    if (saved_) setenv("DISPLAY", saved_->c_str(), 1);
  }

 private:
  std::optional<std::string> saved_;
};

TEST(DisplayFallbackTest, WithoutADisplayTheBackEndIsHeadlessAndSaysSoOnce) {
  const WithoutDisplay unset;
  EXPECT_EQ(X11Backend::Connect(), nullptr);
  testing::internal::CaptureStderr();
  const std::unique_ptr<DisplayBackend> first = OpenDisplayBackend();
  const std::unique_ptr<DisplayBackend> second = OpenDisplayBackend();
  const std::string said = testing::internal::GetCapturedStderr();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(dynamic_cast<HeadlessBackend*>(first.get()), nullptr);
  EXPECT_NE(dynamic_cast<HeadlessBackend*>(second.get()), nullptr);
  EXPECT_LT(first->EventDescriptor(), 0);
  EXPECT_EQ(said, "lexora: no X display; running without showing any window\n");
}

}  // namespace
}  // namespace platform::x11
