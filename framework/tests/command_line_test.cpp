#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/command_line_info.h"

namespace framework {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Command = CCommandLineInfo::ShellCommand;

struct Case {
  const char* line;
  Command command;
  const char* file;
  const char* printer;
  const char* driver;
  const char* port;
  bool splash;
};

TEST(CommandLineTest, EachFormGivesItsCommandItsNamesAndTheSplashFlag) {
  const Case cases[] = {
      {"", CCommandLineInfo::FileNew, "", "", "", "", true},
      {"   ", CCommandLineInfo::FileNew, "", "", "", "", true},
      {"a.lxc", CCommandLineInfo::FileOpen, "a.lxc", "", "", "", true},
      {"  a.lxc\t", CCommandLineInfo::FileOpen, "a.lxc", "", "", "", true},
      // A quoted name keeps its spaces, and "表" (95 5C) its trail byte.
      {"\"C:\\My Documents\\\x95\x5C.lxc\"", CCommandLineInfo::FileOpen,
       "C:\\My Documents\\\x95\x5C.lxc", "", "", "", true},
      {"C:\\\"My Docs\"\\a.lxc", CCommandLineInfo::FileOpen, "C:\\My Docs\\a.lxc", "", "", "",
       true},
      {"\"C:\\dir\\\"", CCommandLineInfo::FileOpen, "C:\\dir\\", "", "", "", true},
      {"a.lxc b.lxc", CCommandLineInfo::FileOpen, "a.lxc", "", "", "", true},
      {"/p a.lxc", CCommandLineInfo::FilePrint, "a.lxc", "", "", "", false},
      {"-p a.lxc", CCommandLineInfo::FilePrint, "a.lxc", "", "", "", false},
      {"a.lxc /p", CCommandLineInfo::FilePrint, "a.lxc", "", "", "", false},
      {"/p", CCommandLineInfo::FilePrint, "", "", "", "", false},
      {"/pt a.lxc \"Printer One\" winspool LPT1:", CCommandLineInfo::FilePrintTo, "a.lxc",
       "Printer One", "winspool", "LPT1:", false},
      {"/pt a.lxc PDF", CCommandLineInfo::FilePrintTo, "a.lxc", "PDF", "", "", false},
      {"/pt a.lxc P D O extra", CCommandLineInfo::FilePrintTo, "a.lxc", "P", "D", "O", false},
      {"/p a.lxc P D O", CCommandLineInfo::FilePrint, "a.lxc", "", "", "", false},
      {"/x a.lxc", CCommandLineInfo::FileOpen, "a.lxc", "", "", "", true},
      {"/P a.lxc", CCommandLineInfo::FileOpen, "a.lxc", "", "", "", true},
      {"\"\"", CCommandLineInfo::FileNew, "", "", "", "", true},
  };
  for (const Case& c : cases) {
    CCommandLineInfo info;
    ParseCommandLine(c.line, info);
    EXPECT_EQ(info.m_nShellCommand, c.command) << c.line;
    EXPECT_EQ(info.m_strFileName, c.file) << c.line;
    EXPECT_EQ(info.m_strPrinterName, c.printer) << c.line;
    EXPECT_EQ(info.m_strDriverName, c.driver) << c.line;
    EXPECT_EQ(info.m_strPortName, c.port) << c.line;
    EXPECT_EQ(info.m_bShowSplash, c.splash) << c.line;
  }
}

TEST(CommandLineTest, QuotesGroupAndSpacesSeparate) {
  EXPECT_THAT(SplitCommandLine("a \"b c\"  d\"e f\"g \"\""), ElementsAre("a", "b c", "de fg", ""));
  EXPECT_THAT(SplitCommandLine(" \t "), IsEmpty());
  EXPECT_THAT(SplitCommandLine("\"unended quote"), ElementsAre("unended quote"));
}

// The parser is handed each argument with what it is.
class RecordingInfo : public CCommandLineInfo {
 public:
  void ParseParam(const char* param, bool flag, bool last) override {
    seen.push_back(std::string(flag ? "flag " : "") + param + (last ? " last" : ""));
    CCommandLineInfo::ParseParam(param, flag, last);
  }
  std::vector<std::string> seen;
};

TEST(CommandLineTest, FlagsComeWithoutTheirSwitchAndTheLastIsMarked) {
  RecordingInfo info;
  ParseCommandLine("/pt \"a b.lxc\" -x P", info);
  EXPECT_THAT(info.seen, ElementsAre("flag pt", "a b.lxc", "flag x", "P last"));
  EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
  EXPECT_EQ(info.m_strPrinterName, "P");
}

}  // namespace
}  // namespace framework
