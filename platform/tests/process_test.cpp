#include "platform/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/clock.h"
#include "platform/win_error.h"

namespace platform {
namespace {

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lexora-process-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  // Runs a command line to its end and answers its exit code.
  uint32_t Run(std::string commandLine, const char* environment = nullptr,
               const char* directory = nullptr) {
    STARTUPINFO startup;
    GetStartupInfo(&startup);
    PROCESS_INFORMATION info;
    if (!CreateProcess(nullptr, commandLine.data(), nullptr, nullptr, 0, 0, environment, directory,
                       &startup, &info)) {
      return ~0u;
    }
    EXPECT_EQ(WaitForInputIdle(info.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    uint32_t code = 0;
    EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return code;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(folder_ + "/" + name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string WriteScript(const std::string& name, const std::string& body) const {
    std::string path = folder_ + "/" + name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    chmod(path.c_str(), 0755);
    return path;
  }

  std::string folder_;
};

TEST(CommandLineTest, WordsAreSplitAsWindowsProgramsSplitThem) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {R"("C:\Program Files\editor.exe" /NM "a b")",
       {R"(C:\Program Files\editor.exe)", "/NM", "a b"}},
      {R"(prog a\\\"b c\d "e\\" f)", {"prog", R"(a\"b)", R"(c\d)", R"(e\)", "f"}},
      {R"(prog "say ""hi""" x)", {"prog", R"(say "hi")", "x"}},
      {"  prog\t \t ", {"prog"}},
      {R"(C:\dir\app.exe "unclosed arg)", {R"(C:\dir\app.exe)", "unclosed arg"}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST_F(ProcessTest, AProgramRunsWithItsArgumentsEnvironmentAndFolder) {
  std::string script = WriteScript(
      "show.sh", "printf '%s|' \"$@\" > args.txt; printf '%s' \"$GREETING\" > env.txt; exit 3\n");
  // A CP932 argument ("表" is 95 5C) reaches the program in UTF-8.
  std::string line = "\"" + script + "\" one \"two words\" \x95\x5C";
  const char environment[] = "GREETING=\x82\xB1\x82\xF1\0OTHER=1\0";  // こん
  EXPECT_EQ(Run(line, environment, folder_.c_str()), 3u);
  EXPECT_EQ(Read("args.txt"), "one|two words|表|");
  EXPECT_EQ(Read("env.txt"), "こん");
}

TEST_F(ProcessTest, AMissingProgramFailsAndAnExeNameFindsTheHostProgram) {
  EXPECT_EQ(Run(folder_ + "/missing.exe"), ~0u);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  WriteScript("postara", "exit 7\n");
  EXPECT_EQ(Run(folder_ + "/postara.exe /APP /MINIMIZE"), 7u);
}

TEST_F(ProcessTest, ATimedWaitEndsOnTheClockAndTheCodeSaysStillActive) {
  FakeClock clock;
  ScopedClock scoped(clock);
  // The program waits on a pipe nobody writes to, until it is stopped.
  std::string pipe = folder_ + "/never";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string script = WriteScript("wait.sh", "exec cat \"" + pipe + "\"\n");
  STARTUPINFO startup;
  PROCESS_INFORMATION info;
  std::string line = script;
  // This process ignores the signal that will end the program.
  struct sigaction ignore {};
  struct sigaction saved {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGTERM, &ignore, &saved);
  const BOOL started = CreateProcess(nullptr, line.data(), nullptr, nullptr, 0, 0, nullptr, nullptr,
                                     &startup, &info);
  sigaction(SIGTERM, &saved, nullptr);
  ASSERT_TRUE(started);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 500), WAIT_TIMEOUT);
  EXPECT_GE(clock.TickCount(), 500u);
  uint32_t code = 0;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  kill(static_cast<pid_t>(info.dwProcessId), SIGTERM);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, 128u + SIGTERM) << "a signal this process ignores still ends the program";
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_FAILED);
}

TEST_F(ProcessTest, ShellExecuteRunsAProgramOrOpensADocumentWithTheOpener) {
  // The desktop's opener is found along PATH: a stand-in records what it
  // was asked to open.
  std::string bin = folder_ + "/bin";
  std::filesystem::create_directory(bin);
  // Each writes into a pipe of its own, which the test reads to the end:
  // the started programs are not waited for.
  std::string opened = folder_ + "/opened";
  std::string viewed = folder_ + "/viewed";
  ASSERT_EQ(mkfifo(opened.c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(viewed.c_str(), 0600), 0);
  WriteScript("bin/xdg-open", "printf '%s' \"$1\" > \"" + opened + "\"\n");
  std::string program = WriteScript("viewer", "printf '%s|' \"$@\" > \"" + viewed + "\"\n");
  std::string manual = folder_ + "/manual.html";
  std::ofstream(manual) << "<p>manual</p>";
  std::string oldPath = std::getenv("PATH");
  setenv("PATH", (bin + ":" + oldPath).c_str(), 1);

  std::string quoted = "\"" + manual + "\"";
  EXPECT_GT(ShellExecute(0, nullptr, quoted.c_str(), nullptr, nullptr, 1), 32);
  std::string parameters = "/endesc /ro \"" + manual + "\"";
  EXPECT_GT(ShellExecute(0, "open", program.c_str(), parameters.c_str(), nullptr, 1), 32);
  EXPECT_EQ(ShellExecute(0, nullptr, (folder_ + "/none.html").c_str(), nullptr, nullptr, 1),
            SE_ERR_FNF);
  EXPECT_EQ(ShellExecute(0, "print", manual.c_str(), nullptr, nullptr, 1), SE_ERR_NOASSOC);
  setenv("PATH", oldPath.c_str(), 1);

  EXPECT_EQ(Read("opened"), manual);
  EXPECT_EQ(Read("viewed"), "/endesc|/ro|" + manual + "|");
}

}  // namespace
}  // namespace platform
