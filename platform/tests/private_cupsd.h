// A cupsd of a test's own with one cups-pdf queue as its default, on a
// private socket and configuration folder, and the means to wait for
// what cups-pdf writes. It needs root (the cups-pdf backend runs only
// under a cupsd of root), cupsd and printer-driver-cups-pdf; SkipReason
// says why a test cannot have one.
#pragma once

#include <cups/cups.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

extern char** environ;

namespace platform::cups_test {

namespace fs = std::filesystem;

inline constexpr char kCupsd[] = "/usr/sbin/cupsd";
inline constexpr char kCupsPdfBackend[] = "/usr/lib/cups/backend/cups-pdf";
inline constexpr char kCupsPdfPpd[] = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd";
inline constexpr char kQueue[] = "LexoraTest";
inline constexpr auto kStartLimit = std::chrono::seconds(5);
inline constexpr auto kJobLimit = std::chrono::seconds(10);
// The longest wait for a folder's next change before looking again, for
// a change that came before the watch began.
inline constexpr auto kEventWait = std::chrono::milliseconds(100);

// Changes to the files of one folder, waited for on an inotify descriptor,
// so that the test wakes when cupsd or cups-pdf writes rather than on a
// timer.
class FolderWatch {
 public:
  explicit FolderWatch(const fs::path& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    if (fd_ >= 0) {
      inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_CLOSE_WRITE | IN_MOVED_TO | IN_ATTRIB);
    }
  }
  ~FolderWatch() {
    if (fd_ >= 0) close(fd_);
  }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Returns once something in the folder changed, or after kEventWait.
  void WaitForChange() {
    pollfd watched{fd_, POLLIN, 0};
    if (poll(&watched, 1, static_cast<int>(kEventWait.count())) <= 0) return;
    std::array<char, 4096> events;
    while (read(fd_, events.data(), events.size()) > 0) {
    }
  }

 private:
  int fd_;
};

inline std::string RunTool(const std::string& command) {
  std::string out;
  std::FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  std::array<char, 4096> chunk;
  size_t read = 0;
  while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) {
    out.append(chunk.data(), read);
  }
  pclose(pipe);
  return out;
}

inline void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path) << text;
}

inline bool Connects(const std::string& socketPath) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  const bool connected =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

// A cupsd of its own with one cups-pdf queue as the default.
class PrivateCupsd {
 public:
  PrivateCupsd() {
    char pattern[] = "/tmp/lexora-cupsd-XXXXXX";
    root_ = mkdtemp(pattern);
    // The filters run as another user and read the spool from here.
    chmod(root_.c_str(), 0755);
    for (const char* dir : {"conf", "conf/ppd", "spool", "cache", "state", "log"}) {
      fs::create_directories(root_ / dir);
    }
    socket_ = (root_ / "cups.sock").string();
    WriteFile(root_ / "conf/cupsd.conf", "Listen " + socket_ +
                                             "\nLogLevel warn\nBrowsing Off\n"
                                             "DefaultAuthType None\n<Location />\n"
                                             "  Order allow,deny\n  Allow all\n</Location>\n");
    WriteFile(root_ / "conf/cups-files.conf",
              "ServerRoot " + (root_ / "conf").string() + "\nRequestRoot " +
                  (root_ / "spool").string() + "\nTempDir " + (root_ / "spool").string() +
                  "\nCacheDir " + (root_ / "cache").string() + "\nStateDir " +
                  (root_ / "state").string() + "\nErrorLog " + (root_ / "log/error_log").string() +
                  "\nAccessLog " + (root_ / "log/access_log").string() + "\nPageLog " +
                  (root_ / "log/page_log").string() +
                  "\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n");
    WriteFile(root_ / "conf/printers.conf", std::string("<DefaultPrinter ") + kQueue +
                                                ">\nDeviceURI cups-pdf:/\nState Idle\n"
                                                "Accepting Yes\n</DefaultPrinter>\n");
    fs::copy_file(kCupsPdfPpd, root_ / "conf/ppd" / (std::string(kQueue) + ".ppd"));
  }

  ~PrivateCupsd() {
    Stop();
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  PrivateCupsd(const PrivateCupsd&) = delete;
  PrivateCupsd& operator=(const PrivateCupsd&) = delete;

  // Empty when it runs and answers; else why not.
  std::string Start() {
    const std::string conf = (root_ / "conf/cupsd.conf").string();
    const std::string files = (root_ / "conf/cups-files.conf").string();
    char* argv[] = {const_cast<char*>(kCupsd),
                    const_cast<char*>("-f"),
                    const_cast<char*>("-c"),
                    const_cast<char*>(conf.c_str()),
                    const_cast<char*>("-s"),
                    const_cast<char*>(files.c_str()),
                    nullptr};
    // Its output stays away from the test's, so a cupsd outliving a
    // crashed test holds no pipe of the test runner open.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
      posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_RDWR, 0);
    }
    const int spawned = posix_spawn(&pid_, kCupsd, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      pid_ = 0;
      return "cupsd cannot be started";
    }
    FolderWatch watch(root_);
    const auto limit = std::chrono::steady_clock::now() + kStartLimit;
    while (!Connects(socket_)) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = 0;
        return "cupsd stopped at once: " +
               RunTool("cat '" + (root_ / "log/error_log").string() + "'");
      }
      if (std::chrono::steady_clock::now() > limit) return "cupsd does not answer";
      watch.WaitForChange();
    }
    return "";
  }

  const std::string& socket() const { return socket_; }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
  }

 private:
  fs::path root_;
  std::string socket_;
  pid_t pid_ = 0;
};

// The pixels darker than mid grey in a binary PGM image.
inline int DarkPixels(const std::string& pgm) {
  constexpr char kMaxValue[] = "255\n";
  constexpr unsigned char kMidGrey = 128;
  const size_t header = pgm.find(kMaxValue);
  if (!pgm.starts_with("P5") || header == std::string::npos) return 0;
  return static_cast<int>(
      std::count_if(pgm.begin() + header + std::strlen(kMaxValue), pgm.end(),
                    [](char c) { return static_cast<unsigned char>(c) < kMidGrey; }));
}

// The folder cups-pdf writes the calling user's documents into.
inline fs::path CupsPdfFolder() {
  const passwd* user = getpwuid(geteuid());
  return fs::path(user != nullptr ? user->pw_dir : "/root") / "PDF";
}

// The file of cups-pdf whose name holds `title`, once it is complete.
inline fs::path WaitForOutput(const std::string& title) {
  // cups-pdf makes its folder with the first document it writes.
  const fs::path folder = CupsPdfFolder();
  FolderWatch watch(fs::exists(folder) ? folder : folder.parent_path());
  const auto limit = std::chrono::steady_clock::now() + kJobLimit;
  while (std::chrono::steady_clock::now() < limit) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(CupsPdfFolder(), error)) {
      const std::string name = entry.path().filename().string();
      if (name.find(title) != std::string::npos && name.ends_with(".pdf") &&
          RunTool("pdfinfo '" + entry.path().string() + "' 2>/dev/null").find("Pages:") !=
              std::string::npos) {
        return entry.path();
      }
    }
    watch.WaitForChange();
  }
  return {};
}

// Why a private cupsd with cups-pdf cannot run here; empty when it can.
inline std::string SkipReason() {
  if (!fs::exists(kCupsd) || !fs::exists(kCupsPdfBackend)) {
    return "cupsd or the cups-pdf backend is not installed";
  }
  if (geteuid() != 0) return "the cups-pdf backend runs only under a cupsd of root";
  return "";
}

// Points this process's CUPS client at the cupsd for the scope.
class ScopedCupsServer {
 public:
  explicit ScopedCupsServer(const std::string& socket) {
    setenv("CUPS_SERVER", socket.c_str(), 1);
    cupsSetServer(socket.c_str());
  }
  ~ScopedCupsServer() {
    cupsSetServer(nullptr);
    unsetenv("CUPS_SERVER");
  }
  ScopedCupsServer(const ScopedCupsServer&) = delete;
  ScopedCupsServer& operator=(const ScopedCupsServer&) = delete;
};

}  // namespace platform::cups_test
