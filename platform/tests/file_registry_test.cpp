#include "platform/file_registry.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/registry_api.h"
#include "platform/registry_text.h"

namespace platform {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;
constexpr RegistryHive kMachine = RegistryHive::kLocalMachine;
constexpr char kSettings[] = "Software\\ZNT\\Lexora3\\Settings";

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Sets the configuration home for the life of the scope.
class ScopedConfigHome {
 public:
  explicit ScopedConfigHome(const std::string& folder) {
    const char* saved = std::getenv(kVariable);
    if (saved != nullptr) saved_ = saved;
    Set(folder);
  }
  ~ScopedConfigHome() {
    if (saved_)
      Set(*saved_);
    else
      ::unsetenv(kVariable);
  }
  void Set(const std::string& folder) { ::setenv(kVariable, folder.c_str(), 1); }

 private:
  static constexpr char kVariable[] = "XDG_CONFIG_HOME";
  std::optional<std::string> saved_;
};

class FileRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lexora-registry-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    userFile_ = folder_ + "/config/lexora/registry.txt";
    machineFile_ = folder_ + "/defaults.txt";
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::string folder_;
  std::string userFile_;
  std::string machineFile_;
};

TEST(RegistryTextTest, TheFileFormIsPlainTypedText) {
  MemoryRegistry registry;
  registry.WriteString(kUser, kSettings, "TemplateDir", "C:\\\x95\xB6\x8F\x91\\");  // 文書
  registry.WriteDword(kUser, kSettings, "i_RecentFileMax", 16);
  registry.WriteBinary(kUser, kSettings, "i_RecentFile", {0xFF, 0x2C, 0x01});
  registry.WriteBinary(kUser, kSettings, "Empty", {});
  registry.OpenKey(kUser, "Software\\ZNT\\Orvo\\Directories", true);
  registry.WriteString(kUser, "Software\\\x95\x5C", "\x83\x5C", "");  // 表, ソ
  registry.WriteString(kUser, "Odd]Key", "=100%", "line\nbreak");
  registry.WriteString(kUser, "Odd]Key", "[x", "\x81");  // a lead byte alone
  EXPECT_EQ(FormatRegistryText(registry, kUser),
            "# Lexora registry\n"
            "[Software\\ZNT\\Lexora3\\Settings]\n"
            "TemplateDir=string:C:\\\xE6\x96\x87\xE6\x9B\xB8\\\n"
            "i_RecentFileMax=dword:00000010\n"
            "i_RecentFile=binary:ff 2c 01\n"
            "Empty=binary:\n"
            "[Software\\ZNT\\Orvo\\Directories]\n"
            "[Software\\\xE8\xA1\xA8]\n"
            "\xE3\x82\xBD=string:\n"
            "[Odd%5DKey]\n"
            "%3D100%25=string:line%0Abreak\n"
            "%5Bx=string:%81\n");
}

TEST(RegistryTextTest, TheTextReadsBackAsItWasWritten) {
  MemoryRegistry written;
  written.WriteString(kUser, "Software\\\x95\x5C", "\x83\x5C", "\x95\x5C\x81");
  written.WriteDword(kUser, "A", "n", 0xFFFFFF3E);
  written.WriteBinary(kUser, "A", "b", {0x00, 0x00});
  written.WriteString(kUser, "", "root", "%");
  written.OpenKey(kUser, "Empty\\Leaf", true);
  MemoryRegistry read;
  ASSERT_TRUE(ParseRegistryText(FormatRegistryText(written, kUser), read, kUser));
  EXPECT_EQ(FormatRegistryText(read, kUser), FormatRegistryText(written, kUser));
  EXPECT_EQ(read.ReadString(kUser, "Software\\\x95\x5C", "\x83\x5C"), "\x95\x5C\x81");
  EXPECT_EQ(read.ReadDword(kUser, "A", "n"), 0xFFFFFF3Eu);
  EXPECT_TRUE(read.OpenKey(kUser, "Empty\\Leaf", false));
}

TEST(RegistryTextTest, TextOutOfFormIsDamage) {
  for (const char* text :
       {"v=dword:1\n", "[A]\nv=word:1\n", "[A]\nv=dword:123456789\n", "[A]\nv=dword:\n",
        "[A]\nv=binary:0\n", "[A]\nv=binary:00  01\n", "[A]\nno equals\n", "[A\n",
        "[A]\nv=string:%4\n", "[A]\nv=string:\xFF\xFE\n"}) {
    SCOPED_TRACE(text);
    MemoryRegistry registry;
    EXPECT_FALSE(ParseRegistryText(text, registry, kUser));
  }
  MemoryRegistry registry;
  EXPECT_TRUE(ParseRegistryText("# comment\r\n\r\n[A]\r\nv=dword:ff\r\n", registry, kUser));
  EXPECT_EQ(registry.ReadDword(kUser, "A", "v"), 0xFFu);
}

TEST_F(FileRegistryTest, WhatOneRunSavesTheNextReads) {
  {
    FileRegistry first(userFile_, machineFile_);
    EXPECT_TRUE(first.WriteString(kUser, kSettings, "TemplateDir", "C:\\\x95\x5C\\"));
    EXPECT_TRUE(first.WriteDword(kUser, kSettings, "i_RecentFileMax", 16));
    EXPECT_TRUE(first.WriteBinary(kUser, kSettings, "i_RecentFile", {0x00, 0x00}));
    EXPECT_TRUE(first.OpenKey(kUser, "Software\\ZNT\\Empty", true));
  }  // the object going saves
  struct stat info {};
  ASSERT_EQ(::stat(userFile_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u) << "settings are the user's own";
  FileRegistry next(userFile_, machineFile_);
  EXPECT_EQ(next.ReadString(kUser, kSettings, "templatedir"), "C:\\\x95\x5C\\");
  EXPECT_EQ(next.ReadDword(kUser, kSettings, "i_RecentFileMax"), 16u);
  EXPECT_EQ(next.ReadBinary(kUser, kSettings, "i_RecentFile"), (RegistryBinary{0x00, 0x00}));
  EXPECT_TRUE(next.OpenKey(kUser, "Software\\ZNT\\Empty", false));

  EXPECT_TRUE(next.DeleteKey(kUser, "Software\\ZNT\\Empty"));
  EXPECT_TRUE(next.DeleteValue(kUser, kSettings, "i_RecentFile"));
  ASSERT_TRUE(next.Flush());
  FileRegistry third(userFile_, machineFile_);
  EXPECT_FALSE(third.OpenKey(kUser, "Software\\ZNT\\Empty", false));
  EXPECT_EQ(third.ReadBinary(kUser, kSettings, "i_RecentFile"), std::nullopt);
  EXPECT_EQ(third.ReadDword(kUser, kSettings, "i_RecentFileMax"), 16u);
}

TEST_F(FileRegistryTest, TheUserFolderFollowsTheConfigurationHome) {
  ScopedConfigHome home(folder_ + "/xdg");
  EXPECT_EQ(DefaultUserRegistryPath(), folder_ + "/xdg/lexora/registry.txt");
  home.Set("relative");
  EXPECT_THAT(DefaultUserRegistryPath(), HasSubstr("/.config/lexora/registry.txt"))
      << "a relative folder is ignored";
}

TEST_F(FileRegistryTest, TheMachineHiveIsReadFromTheDefaultsAndNeverWritten) {
  WriteText(
      machineFile_,
      "# Lexora registry\n[Software\\ZNT\\Lexora3\\Default]\nWindowOperation=dword:00000001\n");
  const std::string defaults = ReadText(machineFile_);
  {
    FileRegistry registry(userFile_, machineFile_);
    EXPECT_EQ(registry.ReadDword(kMachine, "Software\\ZNT\\Lexora3\\Default", "WindowOperation"),
              1u);
    EXPECT_FALSE(registry.IsWritable(kMachine));
    EXPECT_FALSE(
        registry.WriteDword(kMachine, "Software\\ZNT\\Lexora3\\Default", "WindowOperation", 0));
    EXPECT_FALSE(registry.OpenKey(kMachine, "Software\\New", true));
    EXPECT_FALSE(registry.DeleteKey(kMachine, "Software"));
    EXPECT_EQ(registry.ReadDword(kMachine, "Software\\ZNT\\Lexora3\\Default", "WindowOperation"),
              1u);
    EXPECT_THAT(registry.EnumKeys(kUser, ""), IsEmpty()) << "the hives are apart";
    EXPECT_TRUE(registry.Flush());
  }
  EXPECT_EQ(ReadText(machineFile_), defaults);
  EXPECT_FALSE(std::filesystem::exists(userFile_)) << "nothing was written";
}

TEST_F(FileRegistryTest, ADamagedFileIsSetAsideReportedOnceAndTheDefaultsAreUsed) {
  std::filesystem::create_directories(folder_ + "/config/lexora");
  const std::string damage = "[Software\\ZNT]\nv=dword:zz\n";
  WriteText(userFile_, damage);
  WriteText(userFile_ + ".damaged", "an earlier one");
  WriteText(machineFile_, "[Software\\ZNT]\nv=dword:00000007\n");
  ::testing::internal::CaptureStderr();
  {
    FileRegistry registry(userFile_, machineFile_);
    EXPECT_THAT(registry.EnumKeys(kUser, ""), IsEmpty());
    EXPECT_EQ(registry.ReadDword(kMachine, "Software\\ZNT", "v"), 7u);
    registry.WriteDword(kUser, "Software\\ZNT", "w", 1);
  }
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_THAT(report, HasSubstr(userFile_ + ".damaged.2"));
  EXPECT_EQ(report.find('\n'), report.size() - 1) << "one line: " << report;
  EXPECT_EQ(ReadText(userFile_ + ".damaged.2"), damage);
  EXPECT_EQ(ReadText(userFile_ + ".damaged"), "an earlier one");
  FileRegistry next(userFile_, machineFile_);
  EXPECT_EQ(next.ReadDword(kUser, "Software\\ZNT", "w"), 1u);
}

TEST_F(FileRegistryTest, ADamagedDefaultsFileIsReportedAndNotUsed) {
  WriteText(machineFile_, "not a registry\n");
  ::testing::internal::CaptureStderr();
  FileRegistry registry(userFile_, machineFile_);
  EXPECT_THAT(::testing::internal::GetCapturedStderr(), HasSubstr(machineFile_));
  EXPECT_THAT(registry.EnumKeys(kMachine, ""), IsEmpty());
  EXPECT_EQ(ReadText(machineFile_), "not a registry\n") << "an installed file is left alone";
}

// Saves v = `value` in a child process that ends the way `end` says
// between writing the new file and putting it in place.
void SaveInAChildThatDies(const std::string& userFile, const std::string& machineFile, DWORD value,
                          bool killed) {
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FileRegistry registry(userFile, machineFile);
    registry.WriteDword(kUser, "Software\\ZNT", "v", value);
    registry.SetBeforeReplace([killed] {
      if (killed) ::kill(::getpid(), SIGKILL);
      ::_exit(0);
    });
    registry.Flush();
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  if (killed)
    EXPECT_TRUE(WIFSIGNALED(status));
  else
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(FileRegistryTest, ACrashBeforeTheRenameLeavesTheOldFileWhole) {
  {
    FileRegistry registry(userFile_, machineFile_);
    registry.WriteDword(kUser, "Software\\ZNT", "v", 1);
    registry.WriteString(kUser, "Software\\ZNT", "long", std::string(100000, 'x'));
  }
  const std::string before = ReadText(userFile_);
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "exited");
    SaveInAChildThatDies(userFile_, machineFile_, 2, killed);
    EXPECT_EQ(ReadText(userFile_), before);
    FileRegistry registry(userFile_, machineFile_);
    EXPECT_EQ(registry.ReadDword(kUser, "Software\\ZNT", "v"), 1u);
  }
  // And a save that runs to its end leaves the new content whole.
  {
    FileRegistry registry(userFile_, machineFile_);
    registry.WriteDword(kUser, "Software\\ZNT", "v", 2);
    ASSERT_TRUE(registry.Flush());
  }
  FileRegistry registry(userFile_, machineFile_);
  EXPECT_EQ(registry.ReadDword(kUser, "Software\\ZNT", "v"), 2u);
  EXPECT_EQ(registry.ReadString(kUser, "Software\\ZNT", "long"), std::string(100000, 'x'));
}

TEST_F(FileRegistryTest, TwoProcessesSavingAtOnceKeepEachOthersChanges) {
  {
    FileRegistry registry(userFile_, machineFile_);
    registry.WriteDword(kUser, "Software\\ZNT\\Untouched", "v", 1);
    registry.WriteDword(kUser, "Software\\ZNT\\Gone", "v", 1);
  }
  int ready[2];
  int go[2];
  ASSERT_EQ(::pipe(ready), 0);
  ASSERT_EQ(::pipe(go), 0);
  pid_t children[2];
  for (int index = 0; index < 2; ++index) {
    children[index] = ::fork();
    ASSERT_GE(children[index], 0);
    if (children[index] != 0) continue;
    // Both have read the file before either saves.
    FileRegistry registry(userFile_, machineFile_);
    const std::string key = index == 0 ? "Software\\ZNT\\First" : "Software\\ZNT\\Second";
    registry.WriteDword(kUser, key, "v", static_cast<DWORD>(index + 10));
    if (index == 1) registry.DeleteKey(kUser, "Software\\ZNT\\Gone");
    char byte = 0;
    if (::write(ready[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) ::_exit(2);
    ::_exit(registry.Flush() ? 0 : 1);
  }
  char bytes[2];
  for (char& byte : bytes) ASSERT_EQ(::read(ready[0], &byte, 1), 1);
  ASSERT_EQ(::write(go[1], bytes, 2), 2);
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (const int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
  FileRegistry registry(userFile_, machineFile_);
  EXPECT_THAT(registry.EnumKeys(kUser, "Software\\ZNT"),
              testing::UnorderedElementsAre("Untouched", "First", "Second"));
  EXPECT_EQ(registry.ReadDword(kUser, "Software\\ZNT\\First", "v"), 10u);
  EXPECT_EQ(registry.ReadDword(kUser, "Software\\ZNT\\Second", "v"), 11u);
}

TEST_F(FileRegistryTest, TheInstalledDefaultsTurnOnWhatTheProgramNeeds) {
  ::testing::internal::CaptureStderr();
  FileRegistry registry(userFile_, LEXORA_MACHINE_DEFAULTS);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  constexpr char kGlobal[] = "Software\\ZNT\\System Global\\Settings";
  EXPECT_EQ(registry.ReadDword(kMachine, kGlobal, "WindowOperation"), 1u)
      << "keyboard support in dialogs";
  EXPECT_EQ(registry.ReadDword(kMachine, kGlobal, "WinFileDlg"), 0u) << "the program's own dialog";
}

// The calls by handle, through the registry the program installs, into a
// real file under the configuration home, read back by a next run.
TEST_F(FileRegistryTest, SettingsWrittenThroughHandlesAreReadByTheNextRun) {
  ScopedConfigHome home(folder_ + "/xdg");
  {
    FileRegistry registry(DefaultUserRegistryPath(), LEXORA_MACHINE_DEFAULTS);
    ScopedRegistry scope(registry);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kSettings, 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const DWORD count = 16;
    ASSERT_EQ(RegSetValueEx(key, "i_RecentFileMax", 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&count), sizeof count),
              ERROR_SUCCESS);
    const BYTE empty[] = {0x00, 0x00};
    ASSERT_EQ(RegSetValueEx(key, "i_RecentFile", 0, REG_BINARY, empty, sizeof empty),
              ERROR_SUCCESS);
    ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(ReadText(folder_ + "/xdg/lexora/registry.txt"),
              "# Lexora registry\n"
              "[Software\\ZNT\\Lexora3\\Settings]\n"
              "i_RecentFileMax=dword:00000010\n"
              "i_RecentFile=binary:00 00\n")
        << "saved when the key was closed";
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, "Software\\ZNT\\System Global\\Settings", 0,
                           KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
  }
  {
    FileRegistry next(DefaultUserRegistryPath(), LEXORA_MACHINE_DEFAULTS);
    ScopedRegistry scope(next);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD count = 0;
    DWORD size = sizeof count;
    EXPECT_EQ(RegQueryValueEx(key, "i_RecentFileMax", nullptr, nullptr,
                              reinterpret_cast<BYTE*>(&count), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 16u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
}

}  // namespace
}  // namespace platform
