// Prints through a cupsd of the test's own, with a cups-pdf queue, on a
// private socket and configuration folder.
#include "platform/cups_printers.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <gtest/gtest.h>
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

#include "platform/print_dc.h"
#include "platform/sjis.h"
#include "platform/texts.h"

extern char** environ;

namespace platform {
namespace {

namespace fs = std::filesystem;

constexpr char kCupsd[] = "/usr/sbin/cupsd";
constexpr char kCupsPdfBackend[] = "/usr/lib/cups/backend/cups-pdf";
constexpr char kCupsPdfPpd[] = "/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd";
constexpr char kQueue[] = "LexoraTest";
constexpr auto kStartLimit = std::chrono::seconds(5);
constexpr auto kJobLimit = std::chrono::seconds(10);
// The longest wait for a folder's next change before looking again, for
// a change that came before the watch began.
constexpr auto kEventWait = std::chrono::milliseconds(100);

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

std::string RunTool(const std::string& command) {
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

void WriteFile(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

bool Connects(const std::string& socketPath) {
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
int DarkPixels(const std::string& pgm) {
  constexpr char kMaxValue[] = "255\n";
  constexpr unsigned char kMidGrey = 128;
  const size_t header = pgm.find(kMaxValue);
  if (!pgm.starts_with("P5") || header == std::string::npos) return 0;
  return static_cast<int>(
      std::count_if(pgm.begin() + header + std::strlen(kMaxValue), pgm.end(),
                    [](char c) { return static_cast<unsigned char>(c) < kMidGrey; }));
}

// The folder cups-pdf writes the calling user's documents into.
fs::path CupsPdfFolder() {
  const passwd* user = getpwuid(geteuid());
  return fs::path(user != nullptr ? user->pw_dir : "/root") / "PDF";
}

// The file of cups-pdf whose name holds `title`, once it is complete.
fs::path WaitForOutput(const std::string& title) {
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

TEST(CupsPrintersTest, AQueueOfItsOwnCupsdIsListedMeasuredAndPrintedTo) {
  if (!fs::exists(kCupsd) || !fs::exists(kCupsPdfBackend)) {
    GTEST_SKIP() << "cupsd or the cups-pdf backend is not installed";
  }
  if (geteuid() != 0) GTEST_SKIP() << "the cups-pdf backend runs only under a cupsd of root";
  PrivateCupsd cupsd;
  const std::string failure = cupsd.Start();
  if (!failure.empty()) GTEST_SKIP() << failure;
  setenv("CUPS_SERVER", cupsd.socket().c_str(), 1);
  cupsSetServer(cupsd.socket().c_str());

  const std::vector<PrinterModel> queues = CupsPrinters();
  ASSERT_EQ(queues.size(), 1u);
  const PrinterModel& queue = queues.front();
  EXPECT_EQ(queue.name, kQueue);
  EXPECT_NE(queue.attributes & PRINTER_ATTRIBUTE_DEFAULT, 0u);
  const PaperForm* a4 = queue.FindPaper(DMPAPER_A4);
  ASSERT_NE(a4, nullptr);
  EXPECT_EQ(a4->size, (SIZE{2100, 2970}));
  // cups-pdf prints to the paper's edges.
  EXPECT_EQ(a4->margins, RECT{});
  EXPECT_NE(queue.FindPaper(DMPAPER_LETTER), nullptr);

  // The spooler lists it beside the PDF printer and names it the default.
  char device[80];
  GetProfileStringA("windows", "device", ",,,", device, sizeof device);
  EXPECT_STREQ(device, "LexoraTest,winspool,CUPS:");
  EXPECT_GT(DeviceCapabilitiesA(kQueue, "CUPS:", DC_PAPERS, nullptr, nullptr), 1);

  DEVMODEA mode;
  mode.dmFields = DM_PAPERSIZE;
  mode.dmPaperSize = DMPAPER_A4;
  const HDC dc = CreateDCA("WINSPOOL", kQueue, nullptr, &mode);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 4961);
  EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 4961);
  const std::string title = "lexora-cups-" + std::to_string(getpid());
  DOCINFOA info;
  info.lpszDocName = title.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  LOGFONTA lf;
  lf.lfHeight = -100;
  lf.lfCharSet = SHIFTJIS_CHARSET;
  std::strcpy(lf.lfFaceName, kFaceMsGothic);
  const UniqueFont font = CreateFontIndirectA(lf);
  ASSERT_NE(font, nullptr);
  SelectObject(dc, font.get());
  const std::string text = Utf8ToSjis("印刷の試験").value();
  ASSERT_TRUE(ExtTextOutA(dc, 100, 200, 0, nullptr, text.data(), static_cast<int32_t>(text.size()),
                          nullptr));
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  EXPECT_TRUE(GetPrintOutput(dc).starts_with("LexoraTest-")) << GetPrintOutput(dc);
  DeleteDC(dc);

  const fs::path written = WaitForOutput(title);
  ASSERT_FALSE(written.empty()) << "no PDF from cups-pdf in " << CupsPdfFolder();
  const std::string details = RunTool("pdfinfo '" + written.string() + "'");
  EXPECT_NE(details.find("Pages:           1"), std::string::npos) << details;
  EXPECT_NE(details.find("595 x 842 pts (A4)"), std::string::npos) << details;
  // cups-pdf's filters turn the text into outlines: its ink is looked for.
  EXPECT_GT(DarkPixels(RunTool("pdftoppm -r 72 -gray '" + written.string() + "'")), 50);
  fs::remove(written);

  // A job whose server goes away before it is sent is a failed EndDoc.
  const HDC lost = CreateDCA("WINSPOOL", kQueue, nullptr, nullptr);
  ASSERT_NE(lost, nullptr);
  info.lpszDocName = "lexora-cups-lost";
  ASSERT_GT(StartDocA(lost, &info), 0);
  ASSERT_GT(StartPage(lost), 0);
  ASSERT_GT(EndPage(lost), 0);
  cupsd.Stop();
  EXPECT_EQ(EndDoc(lost), SP_ERROR);
  EXPECT_EQ(GetPrintOutput(lost), "");
  DeleteDC(lost);
  cupsSetServer(nullptr);
  unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace platform
