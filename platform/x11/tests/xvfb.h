// An Xvfb of a test's own, on a display number it chooses itself.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace platform::x11 {

inline constexpr int kServerStartMs = 10000;

// Gone with the object.
class Xvfb {
 public:
  static std::unique_ptr<Xvfb> Start() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return nullptr;
    const pid_t pid = fork();
    if (pid == 0) {
      close(pipeEnds[0]);
      const std::string fd = std::to_string(pipeEnds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "640x480x24", "-nolisten",
             "tcp", "-noreset", static_cast<char*>(nullptr));
      _exit(EXIT_FAILURE);
    }
    close(pipeEnds[1]);
    auto server = std::unique_ptr<Xvfb>(new Xvfb(pid));
    std::string number;
    pollfd wait{pipeEnds[0], POLLIN, 0};
    char c = 0;
    while (poll(&wait, 1, kServerStartMs) > 0 && read(pipeEnds[0], &c, 1) == 1 && c != '\n')
      number += c;
    close(pipeEnds[0]);
    if (number.empty()) return nullptr;
    server->name_ = ":" + number;
    return server;
  }
  ~Xvfb() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& name() const { return name_; }

 private:
  explicit Xvfb(pid_t pid) : pid_(pid) {}
  pid_t pid_;
  std::string name_;
};

}  // namespace platform::x11
