// The clipboard as the CLIPBOARD selection of an Xvfb of the test's own,
// exchanged with xclip and with a second connection of the back end.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/display_backend.h"
#include "platform/global_memory.h"
#include "platform/x11/x11_backend.h"

// Xlib's macros would clash with our names, so its headers come last.
#include <X11/Xlib.h>

namespace platform::x11 {
namespace {

using std::chrono::steady_clock;

constexpr auto kPatience = std::chrono::seconds(10);
constexpr int kPollMs = 20;
constexpr size_t kReadPiece = 65536;
constexpr char kOwnFormat[] = "Lexora Clipboard Test Format";
// 表示 abc: the first character's trail byte is a backslash.
constexpr char kSjisText[] = "\x95\x5C\x8E\xA6 abc";
constexpr char kUtf8Text[] = "\xE8\xA1\xA8\xE7\xA4\xBA abc";
// Larger than the server takes in one request (65535 four-byte units).
constexpr size_t kLargeSize = 600000;

void Copy(uint32_t format, const std::string& bytes) {
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EmptyClipboard();
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size()));
  std::memcpy(GlobalLock(block.get()), bytes.data(), bytes.size());
  GlobalUnlock(block.get());
  SetClipboardData(format, block.release());
  CloseClipboard();
}

std::optional<std::string> Paste(uint32_t format) {
  ScopedClipboard clipboard(kNoWindow);
  if (!clipboard.IsOpen()) return std::nullopt;
  const HGLOBAL block = GetClipboardData(format);
  const auto* bytes = static_cast<const char*>(GlobalLock(block));
  if (bytes == nullptr) return std::nullopt;
  std::string copy(bytes, GlobalSize(block));
  GlobalUnlock(block);
  return copy;
}

std::string WithTerminator(std::string text) {
  text += '\0';
  return text;
}

// Text of the given size, lines of digits.
std::string LargeText(size_t size) {
  std::string text;
  for (size_t i = 0; text.size() < size; ++i) text += std::to_string(i) + '\n';
  text.resize(size);
  return text;
}

class ClipboardDisplayTest : public DisplayFixture {
 protected:
  void SetUp() override {
    ResetClipboard();
    DisplayFixture::SetUp();
  }
  void TearDown() override {
    DisplayFixture::TearDown();
    ResetClipboard();
  }

  // What a child process writes on its standard output, while the back
  // end answers the server's requests.
  std::optional<std::string> OutputWhileServing(const std::function<void()>& child) {
    int ends[2];
    if (pipe(ends) != 0) return std::nullopt;
    const pid_t pid = fork();
    if (pid == 0) {
      close(ends[0]);
      dup2(ends[1], STDOUT_FILENO);
      child();
      std::fflush(stdout);
      _exit(EXIT_SUCCESS);
    }
    close(ends[1]);
    std::string output;
    const auto deadline = steady_clock::now() + kPatience;
    bool open = true;
    while (open && steady_clock::now() < deadline) {
      backend_->HandleEvents();
      pollfd ready[2] = {{ends[0], POLLIN, 0}, {backend_->EventDescriptor(), POLLIN, 0}};
      if (poll(ready, 2, kPollMs) <= 0 || (ready[0].revents & (POLLIN | POLLHUP)) == 0) continue;
      char piece[kReadPiece];
      const ssize_t got = read(ends[0], piece, sizeof piece);
      if (got > 0) output.append(piece, static_cast<size_t>(got));
      open = got > 0;
    }
    close(ends[0]);
    int status = 0;
    if (open) kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    if (open || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return output;
  }

  std::optional<std::string> XclipOut(const char* target) {
    return OutputWhileServing([target] {
      execlp("xclip", "xclip", "-o", "-selection", "clipboard", "-t", target,
             static_cast<char*>(nullptr));
      _exit(EXIT_FAILURE);
    });
  }

  // xclip goes on serving in the background until another client takes
  // the selection or the server ends.
  bool XclipIn(const std::string& text) {
    const std::string path = testing::TempDir() + "clipboard_input";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
    const std::string command =
        "xclip -i -selection clipboard " + path + " </dev/null >/dev/null 2>&1";
    const Window before = Owner();
    if (std::system(command.c_str()) != 0) return false;
    return Until([&] {
      const Window owner = Owner();
      return owner != None && owner != before && !backend_->OwnsClipboard();
    });
  }

  Window Owner() {
    return XGetSelectionOwner(observer_, XInternAtom(observer_, "CLIPBOARD", False));
  }

  template <class Condition>
  bool Until(Condition done) {
    const auto deadline = steady_clock::now() + kPatience;
    while (!done()) {
      if (steady_clock::now() > deadline) return false;
      backend_->HandleEvents();
      pollfd ready{backend_->EventDescriptor(), POLLIN, 0};
      poll(&ready, 1, kPollMs);
    }
    return true;
  }
};

TEST_F(ClipboardDisplayTest, TextCopiedInTheProgramIsReadByAnotherProgram) {
  Copy(CF_TEXT, WithTerminator(kSjisText));
  ASSERT_TRUE(backend_->OwnsClipboard());
  struct Case {
    const char* target;
    std::string expected;
  };
  const Case cases[] = {
      {"UTF8_STRING", kUtf8Text},
      {"TEXT", kUtf8Text},
      // Latin-1 has neither character.
      {"STRING", "?? abc"},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.target);
    EXPECT_EQ(XclipOut(each.target), each.expected);
  }
}

TEST_F(ClipboardDisplayTest, TheTargetsAreTheTextsAndTheRegisteredFormatsByName) {
  const uint32_t own = RegisterClipboardFormatA(kOwnFormat);
  ASSERT_TRUE(OpenClipboard(kNoWindow));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, GlobalAlloc(GMEM_ZEROINIT, 1));
  SetClipboardData(own, GlobalAlloc(GMEM_ZEROINIT, 1));
  CloseClipboard();
  EXPECT_EQ(XclipOut("TARGETS"),
            std::string("TARGETS\nUTF8_STRING\nSTRING\nTEXT\n") + kOwnFormat + "\n");
}

TEST_F(ClipboardDisplayTest, TextSetByAnotherProgramIsReadAsCp932) {
  struct Case {
    const char* name;
    std::string utf8;
    std::string sjis;
  };
  const std::string large = LargeText(kLargeSize);
  const Case cases[] = {
      {"double-byte", kUtf8Text, kSjisText},
      {"in increments", large, large},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    ASSERT_TRUE(XclipIn(each.utf8));
    EXPECT_EQ(Paste(CF_TEXT), WithTerminator(each.sjis));
    EXPECT_EQ(backend_->ForeignClipboardFormats(), std::vector<uint32_t>{CF_TEXT});
  }
}

TEST_F(ClipboardDisplayTest, LargeTextGoesToAnotherProgramInIncrements) {
  ASSERT_GT(kLargeSize, static_cast<size_t>(XMaxRequestSize(observer_)) * sizeof(uint32_t));
  const std::string text = LargeText(kLargeSize);
  Copy(CF_TEXT, WithTerminator(text));
  EXPECT_EQ(XclipOut("UTF8_STRING"), text);
}

TEST_F(ClipboardDisplayTest, TheOwnFormatGoesBetweenTwoInstances) {
  const uint32_t own = RegisterClipboardFormatA(kOwnFormat);
  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case cases[] = {
      {"small, with zeros and high bytes", std::string("\x00\x01\xFF\x95\x5C", 5)},
      {"in increments", LargeText(kLargeSize)},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    Copy(own, each.bytes);
    // The other instance: a second connection to the same server, in a
    // child process so that this one can answer it.
    const std::string name = server_->name();
    const std::optional<std::string> read = OutputWhileServing([&] {
      const std::unique_ptr<X11Backend> other = X11Backend::Connect(name.c_str());
      if (other == nullptr) _exit(EXIT_FAILURE);
      const std::optional<std::string> bytes = other->ForeignClipboardData(own);
      if (!bytes || other->ForeignClipboardFormats() != std::vector<uint32_t>{own})
        _exit(EXIT_FAILURE);
      std::fwrite(bytes->data(), 1, bytes->size(), stdout);
    });
    EXPECT_EQ(read, each.bytes);
  }
}

TEST_F(ClipboardDisplayTest, OwnershipIsLostWhenAnotherProgramTakesTheSelection) {
  Copy(CF_TEXT, WithTerminator("ours"));
  ASSERT_TRUE(backend_->OwnsClipboard());
  EXPECT_EQ(Paste(CF_TEXT), WithTerminator("ours"));
  ASSERT_TRUE(XclipIn("theirs"));
  EXPECT_FALSE(backend_->OwnsClipboard());
  EXPECT_EQ(Paste(CF_TEXT), WithTerminator("theirs"));
}

TEST_F(ClipboardDisplayTest, AnOwnerThatNeverAnswersIsWaitedForABoundedTime) {
  // The observer takes the selection and never reads its events.
  const Window silent =
      XCreateSimpleWindow(observer_, DefaultRootWindow(observer_), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(observer_, XInternAtom(observer_, "CLIPBOARD", False), silent, CurrentTime);
  XSync(observer_, False);
  FakeClock clock;
  ScopedClock scoped(clock);
  EXPECT_EQ(Paste(CF_TEXT), std::nullopt);
  EXPECT_GT(clock.sleeps(), 0u);
}

}  // namespace
}  // namespace platform::x11
