// Windows paths over host folders: the drive table, joining and splitting
// a character at a time, names matched without regard to case, and the
// file calls on them.
#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/system_info.h"
#include "platform/version_info.h"
#include "platform/win_error.h"

namespace {

using namespace platform;
namespace fs = std::filesystem;

// "表" in CP932 ends in the byte of "\"; in UTF-8 it is E8 A1 A8.
constexpr char kOmote[] = "\x95\x5C";
constexpr char kOmoteUtf8[] = "\xE8\xA1\xA8";

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lexora-paths-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    fs::create_directories(root_ / "home");
    fs::create_directories(root_ / "program");
    drives_.emplace(std::vector<DriveMapping>{{'C', (root_ / "home").string()},
                                              {'D', (root_ / "program").string()}});
  }
  void TearDown() override {
    drives_.reset();
    std::error_code error;
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(root_, error);
  }

  fs::path Home() const { return root_ / "home"; }

  fs::path root_;
  std::optional<ScopedDriveTable> drives_;
};

TEST_F(PathsTest, DrivesMapToTheirFoldersAndRootPathsStayHostPaths) {
  fs::create_directories(Home() / "Docs");
  struct Case {
    std::string system;
    std::optional<std::string> host;
  };
  const Case cases[] = {
      {"C:\\Docs\\a.txt", (Home() / "Docs" / "a.txt").string()},
      {"c:\\Docs", (Home() / "Docs").string()},
      {"C:\\", Home().string()},
      {"C:", Home().string()},
      {"D:\\LXRD3.INI", (root_ / "program" / "LXRD3.INI").string()},
      {"E:\\x", std::nullopt},
      {"\\tmp", "/tmp"},
      {"/already/host", "/already/host"},
      {std::string("dir\\") + kOmote + "\\file.wav",
       std::string("dir/") + kOmoteUtf8 + "/file.wav"},
      {"\x81", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(HostPath(c.system), c.host) << c.system;
}

TEST_F(PathsTest, ANameWhoseCaseDiffersFindsTheHostFile) {
  fs::create_directories(Home() / "Letters");
  WriteFile(Home() / "Letters" / "ABC.txt", "x");
  EXPECT_EQ(HostPath("C:\\LETTERS\\abc.TXT"), (Home() / "Letters" / "ABC.txt").string());
  EXPECT_EQ(HostPath("C:\\letters\\New.txt"), (Home() / "Letters" / "New.txt").string())
      << "what does not exist yet is kept as written";
  EXPECT_NE(GetFileAttributes("C:\\letters\\abc.txt"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PathsTest, SystemPathsComeBackOnTheDriveThatHoldsThem) {
  EXPECT_EQ(SystemPath((Home() / "Docs").string()), "C:\\Docs");
  EXPECT_EQ(SystemPath(Home().string()), "C:\\");
  EXPECT_EQ(SystemPath((root_ / "program" / "x").string()), "D:\\x");
  EXPECT_EQ(SystemPath("/var/lib"), "\\var\\lib");
  EXPECT_EQ(SystemPath((Home() / kOmoteUtf8).string()), std::string("C:\\") + kOmote);
}

TEST_F(PathsTest, TheDriveStringsAndTypesComeFromTheTable) {
  char buffer[108];
  const DWORD length = GetLogicalDriveStrings(sizeof buffer, buffer);
  ASSERT_EQ(length, 8u);
  EXPECT_EQ(std::string(buffer, length + 1), std::string("C:\\\0D:\\\0\0", 9));
  char small[4];
  EXPECT_EQ(GetLogicalDriveStrings(sizeof small, small), 9u) << "the size needed";
  EXPECT_EQ(GetDriveType("C:\\"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveType("d:"), DRIVE_FIXED);
  EXPECT_EQ(GetDriveType("A:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(GetDriveType("C:\\Docs"), DRIVE_NO_ROOT_DIR);
}

TEST(DriveTableTest, TheProgramsDriveIsItsFolderAndCIsHome) {
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') GTEST_SKIP() << "no home to map";
  const std::vector<DriveMapping> drives = DriveTable();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0].letter, kHomeDrive);
  EXPECT_EQ(fs::path(drives[0].hostRoot), fs::path(home).lexically_normal());
  EXPECT_EQ(drives[1].letter, kProgramDrive);
  EXPECT_EQ(drives[1].hostRoot, ProgramFolder());
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileName(nullptr, path, sizeof path), 0u);
  EXPECT_EQ(HostPath(path), fs::read_symlink("/proc/self/exe").string());
}

TEST(PathTextTest, AFolderEndingInOmoteIsJoinedAndSplitAtRealSeparators) {
  const std::string folder = std::string("C:\\") + kOmote;  // C:\表
  EXPECT_FALSE(EndsWithSeparator(folder)) << "0x5C is the trail byte of 表";
  EXPECT_EQ(JoinPath(folder, "a.txt"), folder + "\\a.txt");
  EXPECT_EQ(JoinPath(folder + "\\", "a.txt"), folder + "\\a.txt") << "no doubled backslash";
  EXPECT_EQ(JoinPath("", "a.txt"), "a.txt");
  EXPECT_EQ(FileNameStart(folder + "\\a.txt"), folder.size() + 1);
  EXPECT_EQ(FileNameStart(folder), 3u) << "the name is 表 itself";
  EXPECT_EQ(FileNameStart("C:a.txt"), 2u);

  char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
  _splitpath((folder + "\\" + kOmote + ".lxc").c_str(), drive, dir, fname, ext);
  EXPECT_STREQ(drive, "C:");
  EXPECT_EQ(std::string(dir), "\\" + std::string(kOmote) + "\\");
  EXPECT_STREQ(fname, kOmote);
  EXPECT_STREQ(ext, ".lxc");
}

TEST(PathTextTest, SplitAndMakeAreEachOthersReverse) {
  struct Case {
    const char* path;
    const char* drive;
    const char* dir;
    const char* fname;
    const char* ext;
  };
  const Case cases[] = {
      {"C:\\a\\b.txt", "C:", "\\a\\", "b", ".txt"},
      {"b.tar.gz", "", "", "b.tar", ".gz"},
      {"\\a.b\\c", "", "\\a.b\\", "c", ""},
      {"C:", "C:", "", "", ""},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    char drive[_MAX_DRIVE], dir[_MAX_DIR], fname[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(c.path, drive, dir, fname, ext);
    EXPECT_STREQ(drive, c.drive) << c.path;
    EXPECT_STREQ(dir, c.dir) << c.path;
    EXPECT_STREQ(fname, c.fname) << c.path;
    EXPECT_STREQ(ext, c.ext) << c.path;
    char made[_MAX_PATH];
    _makepath(made, drive, dir, fname, ext);
    EXPECT_STREQ(made, c.path);
  }
  char made[_MAX_PATH];
  _makepath(made, "C", (std::string("\\") + kOmote).c_str(), "x", "txt");
  EXPECT_EQ(std::string(made), std::string("C:\\") + kOmote + "\\x.txt")
      << "a folder ending in 表 gets its backslash, an extension its dot";
  _splitpath("C:\\x", nullptr, nullptr, nullptr, nullptr);  // null parts are skipped
}

TEST_F(PathsTest, FindFirstFileMatchesWildcardsWithoutRegardToCase) {
  fs::create_directories(Home() / "Docs" / "Sub");
  WriteFile(Home() / "Docs" / "ABC.txt", "12345");
  WriteFile(Home() / "Docs" / "note.lxc", "");
  struct Case {
    const char* pattern;
    const char* first;  // null: nothing found
  };
  const Case cases[] = {
      {"C:\\Docs\\*.TXT", "ABC.txt"},  {"C:\\docs\\a?c.*", "ABC.txt"},
      {"C:\\Docs\\*.lxc", "note.lxc"}, {"C:\\Docs\\*.doc", nullptr},
      {"C:\\Docs\\sub", "Sub"},        {"C:\\Docs\\*", "."},
      {"C:\\Docs\\*.*", "."},          {"C:\\None\\*", nullptr},
  };
  for (const Case& c : cases) {
    WIN32_FIND_DATA found;
    const HANDLE search = FindFirstFile(c.pattern, &found);
    if (c.first == nullptr) {
      EXPECT_EQ(search, INVALID_HANDLE_VALUE) << c.pattern;
      EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
      continue;
    }
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << c.pattern;
    EXPECT_STREQ(found.cFileName, c.first) << c.pattern;
    EXPECT_TRUE(FindClose(search));
  }
  WIN32_FIND_DATA found;
  const HANDLE search = FindFirstFile("C:\\Docs\\*.txt", &found);
  EXPECT_EQ(found.nFileSizeLow, 5u);
  EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  FindClose(search);
  EXPECT_FALSE(FindClose(search)) << "closed already";
  ASSERT_NE(FindFirstFile("C:\\Docs\\S*", &found), INVALID_HANDLE_VALUE);
  EXPECT_EQ(found.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(PathsTest, AFolderEndingInOmoteOnTheHostIsReachedThroughItsJoinedPath) {
  fs::create_directories(Home() / kOmoteUtf8);
  WriteFile(Home() / kOmoteUtf8 / "Note.TXT", "abc");
  const std::string folder = std::string("C:\\") + kOmote;
  const std::string file = JoinPath(folder, "note.txt");
  EXPECT_EQ(HostPath(file), (Home() / kOmoteUtf8 / "Note.TXT").string());
  EXPECT_EQ(GetFileAttributes(file.c_str()), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(GetFileAttributes(folder.c_str()), FILE_ATTRIBUTE_DIRECTORY);
  WIN32_FIND_DATA found;
  const HANDLE search = FindFirstFile(JoinPath(folder, "*.txt").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_STREQ(found.cFileName, "Note.TXT");
  EXPECT_EQ(found.nFileSizeLow, 3u);
  FindClose(search);
}

TEST_F(PathsTest, AWildcardTakesADoubleByteCharacterWhole) {
  fs::create_directories(Home() / "Docs");
  WriteFile(Home() / "Docs" / (std::string(kOmoteUtf8) + ".txt"), "");
  WIN32_FIND_DATA found;
  const HANDLE search = FindFirstFile("C:\\Docs\\?.txt", &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::string(found.cFileName), std::string(kOmote) + ".txt");
  FindClose(search);
}

TEST_F(PathsTest, AttributesTellFoldersAndReadOnlyFilesFromThePermissionBits) {
  WriteFile(Home() / "plain.txt", "");
  WriteFile(Home() / "locked.txt", "");
  fs::permissions(Home() / "locked.txt", fs::perms::owner_read);
  EXPECT_EQ(GetFileAttributes("C:\\plain.txt"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(GetFileAttributes("C:\\locked.txt"), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(GetFileAttributes("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes("C:\\missing.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributes("Q:\\x"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PathsTest, CopyMoveDeleteAndCreateFolders) {
  WriteFile(Home() / "a.ini", "one");
  EXPECT_TRUE(CreateDirectory("C:\\ZNT", nullptr));
  EXPECT_FALSE(CreateDirectory("C:\\ZNT", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
  EXPECT_FALSE(CreateDirectory("C:\\none\\deeper", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_PATH_NOT_FOUND));

  EXPECT_TRUE(CopyFile("C:\\A.INI", "C:\\znt\\a.ini", 1));
  EXPECT_EQ(ReadFile(Home() / "ZNT" / "a.ini"), "one");
  WriteFile(Home() / "a.ini", "two");
  EXPECT_FALSE(CopyFile("C:\\a.ini", "C:\\ZNT\\a.ini", 1)) << "fail if it exists";
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_EXISTS));
  EXPECT_EQ(ReadFile(Home() / "ZNT" / "a.ini"), "one");
  EXPECT_TRUE(CopyFile("C:\\a.ini", "C:\\ZNT\\a.ini", 0));
  EXPECT_EQ(ReadFile(Home() / "ZNT" / "a.ini"), "two");
  EXPECT_FALSE(CopyFile("C:\\missing", "C:\\x", 0));
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));

  EXPECT_FALSE(MoveFile("C:\\a.ini", "C:\\ZNT\\a.ini")) << "a move never replaces";
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
  EXPECT_TRUE(MoveFile("C:\\a.ini", "C:\\ZNT\\b.ini"));
  EXPECT_FALSE(fs::exists(Home() / "a.ini"));
  EXPECT_EQ(ReadFile(Home() / "ZNT" / "b.ini"), "two");

  EXPECT_TRUE(DeleteFile("C:\\ZNT\\B.INI"));
  EXPECT_FALSE(DeleteFile("C:\\ZNT\\b.ini"));
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(DeleteFile("C:\\ZNT")) << "a folder is no file";
}

TEST_F(PathsTest, TemporaryNamesAreMadeInTheFolderGiven) {
  char folder[MAX_PATH];
  const DWORD length = GetTempPath(sizeof folder, folder);
  ASSERT_GT(length, 0u);
  ASSERT_LT(length, sizeof folder);
  EXPECT_EQ(folder[length - 1], '\\');
  EXPECT_TRUE(HostPath(folder).has_value());

  char name[MAX_PATH];
  const UINT number = GetTempFileName("C:\\", "lxrd3", 0, name);
  ASSERT_NE(number, 0u);
  const std::string made = name;
  EXPECT_EQ(made.substr(0, 6), "C:\\lxr") << "three bytes of the prefix";
  EXPECT_EQ(made.substr(made.size() - 4), ".TMP");
  EXPECT_NE(GetFileAttributes(name), INVALID_FILE_ATTRIBUTES) << "the file is made";
  char second[MAX_PATH];
  EXPECT_NE(GetTempFileName("C:\\", "lxrd3", 0, second), number);

  EXPECT_EQ(GetTempFileName("C:\\", "ab", 0x1F, name), 0x1Fu);
  EXPECT_STREQ(name, "C:\\ab1F.TMP");
  EXPECT_EQ(GetFileAttributes(name), INVALID_FILE_ATTRIBUTES) << "a number given makes no file";
  EXPECT_EQ(GetTempFileName("C:\\none", "ab", 0, name), 0u);
}

TEST_F(PathsTest, TheModuleFileIsOnTheProgramDrive) {
  ScopedDriveTable programDrive({{'C', Home().string()}, {'D', ProgramFolder()}});
  char path[MAX_PATH];
  const DWORD length = GetModuleFileName(nullptr, path, sizeof path);
  ASSERT_GT(length, 3u);
  EXPECT_EQ(std::string(path, 3), "D:\\");
  EXPECT_EQ(std::string(path + 3), "platform_tests");
  EXPECT_NE(GetFileAttributes(path), INVALID_FILE_ATTRIBUTES);
  char small[5];
  EXPECT_EQ(GetModuleFileName(nullptr, small, sizeof small), 5u);
  EXPECT_STREQ(small, "D:\\p");
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(PathsTest, TheProgramFileCarriesItsVersion) {
  ScopedDriveTable programDrive({{'C', Home().string()}, {'D', ProgramFolder()}});
  char path[MAX_PATH];
  GetModuleFileName(nullptr, path, sizeof path);
  DWORD handle = 1;
  const DWORD size = GetFileVersionInfoSize(path, &handle);
  ASSERT_GT(size, 0u);
  EXPECT_EQ(handle, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfo(path, handle, size, block.data()));
  void* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValue(block.data(), "\\", &fixed, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(info->dwFileVersionMS >> 16, 3u) << "the major version";
  EXPECT_FALSE(VerQueryValue(block.data(), "\\StringFileInfo", &fixed, &length));
  WriteFile(Home() / "other.exe", "");
  EXPECT_EQ(GetFileVersionInfoSize("C:\\other.exe", &handle), 0u);
}

class SpecialFoldersTest : public PathsTest {
 protected:
  void SetUp() override {
    PathsTest::SetUp();
    SaveAndSet("HOME", Home().string());
    SaveAndSet("XDG_CONFIG_HOME", (Home() / ".config").string());
    SaveAndSet("XDG_DATA_HOME", "");
    fs::create_directories(Home() / ".config");
  }
  void TearDown() override {
    for (auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    PathsTest::TearDown();
  }
  void SaveAndSet(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }
  std::string PathOf(int folder) {
    LPITEMIDLIST list = nullptr;
    EXPECT_EQ(SHGetSpecialFolderLocation(0, folder, &list), S_OK);
    char path[MAX_PATH] = "x";
    EXPECT_TRUE(SHGetPathFromIDList(list, path));
    return path;
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(SpecialFoldersTest, ApplicationDataIsTheDataHomesLexoraFolderMadeWhenMissing) {
  EXPECT_EQ(PathOf(CSIDL_APPDATA), "C:\\.local\\share\\lexora");
  EXPECT_TRUE(fs::is_directory(Home() / ".local" / "share" / "lexora"));
  fs::create_directories(root_ / "data");
  setenv("XDG_DATA_HOME", (root_ / "data").string().c_str(), 1);
  EXPECT_EQ(PathOf(CSIDL_APPDATA), SystemPath((root_ / "data" / "lexora").string()));
}

TEST_F(SpecialFoldersTest, PersonalIsTheDocumentsFolderElseHome) {
  EXPECT_EQ(PathOf(CSIDL_PERSONAL), "C:\\") << "no documents folder named";
  fs::create_directories(Home() / "Dokumente");
  WriteFile(Home() / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
  EXPECT_EQ(PathOf(CSIDL_PERSONAL), "C:\\Dokumente");
  LPITEMIDLIST list = nullptr;
  EXPECT_NE(SHGetSpecialFolderLocation(0, 0x7777, &list), S_OK);
  char path[MAX_PATH] = "x";
  EXPECT_FALSE(SHGetPathFromIDList(list, path));
  EXPECT_STREQ(path, "");
}

}  // namespace
