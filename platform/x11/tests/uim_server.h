// A desktop input method of a test's own: uim's XIM server with Anthy on
// the test's X server, its settings and dictionary in a home of its own.
// Shift+Space switches it on and off; Enter commits the reading.
// Xlib's headers stay out of here, so that a test includes them last.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

namespace platform::x11 {

inline constexpr char kInputMethodLocale[] = "ja_JP.UTF-8";
// uim's name as XMODIFIERS gives it to the program.
inline constexpr char kUimModifiers[] = "@im=uim";

inline bool HasProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null").c_str()) == 0;
}

inline bool HasLocale(const char* name) {
  const std::string previous = std::setlocale(LC_CTYPE, nullptr);
  const bool found = std::setlocale(LC_CTYPE, name) != nullptr;
  std::setlocale(LC_CTYPE, previous.c_str());
  return found;
}

// Why no uim can be started here; empty when one can.
inline std::string UimMissing() {
  if (!HasProgram("uim-xim")) return "uim-xim is not installed";
  if (!HasLocale(kInputMethodLocale))
    return std::string(kInputMethodLocale) + " is not a locale here";
  return {};
}

// Gone with the object, or with Stop.
class UimServer {
 public:
  UimServer(const std::string& home, const std::string& display) {
    // Anthy as uim's engine; uim draws its own windows with the server's fonts.
    mkdir(home.c_str(), S_IRWXU);
    std::ofstream(home + "/.uim") << "(define default-im-name 'anthy-utf8)\n";
    pid_ = fork();
    if (pid_ == 0) {
      setenv("HOME", home.c_str(), 1);
      setenv("LC_ALL", kInputMethodLocale, 1);
      setenv("DISPLAY", display.c_str(), 1);
      execlp("uim-xim", "uim-xim", "--engine=anthy-utf8", static_cast<char*>(nullptr));
      _exit(EXIT_FAILURE);
    }
  }
  ~UimServer() { Stop(); }
  UimServer(const UimServer&) = delete;
  UimServer& operator=(const UimServer&) = delete;

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

}  // namespace platform::x11
