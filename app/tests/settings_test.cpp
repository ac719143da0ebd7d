// The settings: three sources in order, only what is writable written
// back, the default page, colour patterns from the configuration file,
// companion programs, and the small text operations.
#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "app/texts.h"
#include "app_fixture.h"
#include "platform/file_registry.h"
#include "platform/system_info.h"

namespace {

using namespace apptest;
using namespace platform;
namespace fs = std::filesystem;

constexpr char kSettings[] = "Software\\ZNT\\Lexora3\\Settings";
constexpr char kDefault[] = "Software\\ZNT\\Lexora3\\Default";
constexpr char kDirectories[] = "Software\\ZNT\\Lexora3\\Directories";

class SettingsTest : public AppWorld {
 protected:
  void SetUp() override {
    AppWorld::SetUp();
    fs::create_directories(Home() / "Documents");
    WriteFile(Home() / ".config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
  }
};

TEST_F(SettingsTest, WithNoValuesEveryValueTakesItsBuiltInDefault) {
  CLxrSettings settings;
  EXPECT_EQ(settings.LoadAll(), 0);
  const ProgramValues& v = settings.values;
  EXPECT_EQ(v.i_MultiBoot, 0);
  EXPECT_EQ(v.i_BootShowMaximized, 1);
  EXPECT_EQ(v.i_TBFreeCaret, 1);
  EXPECT_EQ(v.i_RecentSearchMax, 32);
  EXPECT_EQ(v.i_RecentFileMax, 16);
  EXPECT_EQ(v.i_GTB_ViewColorNumber, 2);
  EXPECT_EQ(v.i_GTB_ImeColorNumber, 3);
  EXPECT_STREQ(v.i_DocumentDir, "C:\\Documents\\") << "the documents folder with a backslash";
  EXPECT_STREQ(v.i_TemplateDir, "");
  EXPECT_EQ(v.s_DefKsenSize3, 15);
  EXPECT_STREQ(v.s_TemplateFilter, kTemplateFilterDefault);
  EXPECT_EQ(v.s_BootMouseMove, 1);

  // View pattern 2 (白黒反転): black paper, white text; IME pattern 3 (黒黄).
  const DisplayDefaults& d = settings.display;
  EXPECT_EQ(d.view.colours.display.background, 0x000000u);
  EXPECT_EQ(d.view.colours.display.text, 0xFFFFFFu);
  EXPECT_EQ(d.view.colours.display.minchoAsGothic, 1);
  EXPECT_EQ(d.view.colours.display.marks, 1);
  EXPECT_EQ(d.view.desk, GetSysColor(COLOR_APPWORKSPACE));
  EXPECT_EQ(d.view.pageBorder, GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(d.view.marks, GetSysColor(COLOR_3DLIGHT));
  EXPECT_EQ(d.view.shadow, GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(d.ruler.text, 0xFFFFFFu);
  EXPECT_EQ(d.ruler.background, 0x000000u);

  const EditingDefaults& e = settings.editing;
  EXPECT_EQ(e.options.enterOption, 0);
  EXPECT_EQ(e.options.options.options[0], 1) << "free caret";
  EXPECT_EQ(e.options.options.options[2], 1) << "always on, never stored";
  EXPECT_EQ(e.options.options.pageJumpStep, 5);
  EXPECT_EQ(e.options.reconversion, 1);
  EXPECT_EQ(e.ime.closeImeAfterComposition, 0);
  const uint32_t kYellow = 0x00FFFF;
  const uint32_t kBlack = 0;
  EXPECT_EQ(e.ime.clauses[0].text, kYellow);
  EXPECT_EQ(e.ime.clauses[0].background, kBlack);
  EXPECT_EQ(e.ime.clauses[1].text, kBlack);
  EXPECT_EQ(e.ime.clauses[1].background, kYellow);
  EXPECT_EQ(e.ime.clauses[2].text, kYellow);
  EXPECT_EQ(e.ime.clauses[3].background, kYellow);
  for (int clause = 0; clause < 4; ++clause)
    EXPECT_EQ(e.ime.clauses[clause].underline, clause % 2 == 0 ? 1 : 0) << clause;

  EXPECT_EQ(settings.voice.speechOn, 1);
  EXPECT_EQ(settings.voice.soundOn, 1);
  EXPECT_EQ(static_cast<uint32_t>(settings.voice.voiceMask), 0xFFFFFFFEu);
  EXPECT_EQ(static_cast<uint32_t>(settings.voice.beepMask), 0xFFFFFFFFu);
}

TEST_F(SettingsTest, PerUserWinsOverMachineWideWhichWinsOverBuiltIn) {
  Registry().WriteDword(kUser, kSettings, "i_MultiBoot", 1);
  Registry().WriteDword(kMachine, kDefault, "i_MultiBoot", 0);
  Registry().WriteDword(kMachine, kDefault, "i_BackupFile", 0);
  Registry().WriteDword(kUser, kSettings, "i_GTB_ViewColorNumber", 0x10002);
  Registry().WriteDword(kUser, kSettings, "i_TBFreeCaret", 0x102);
  Registry().WriteString(kMachine, kDefault, "s_TemplateFilter", "*.lxc||");
  Registry().WriteString(kUser, kSettings, "i_DocumentDir", "C:\\Mine");
  Registry().WriteDword(kMachine, kDefault, "wpdDocEditMark", 0);
  Registry().WriteDword(kUser, kSettings, "wpvDocBeepMask", 0x1D00);
  Registry().WriteDword(kUser, kSettings, "s_wpdDocColPaper", 0x123456);
  Registry().SetMachineReadOnly(true);
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(settings.values.i_MultiBoot, 1) << "per user";
  EXPECT_EQ(settings.values.i_BackupFile, 0) << "machine-wide";
  EXPECT_EQ(settings.values.i_BootShowMaximized, 1) << "built in";
  EXPECT_EQ(settings.values.i_GTB_ViewColorNumber, 2) << "0x10002 narrowed to 2 bytes";
  EXPECT_EQ(settings.values.i_TBFreeCaret, 2) << "0x102 narrowed to 1 byte";
  EXPECT_STREQ(settings.values.s_TemplateFilter, "*.lxc||");
  EXPECT_STREQ(settings.values.i_DocumentDir, "C:\\Mine\\");
  EXPECT_EQ(settings.display.view.colours.display.marks, 0);
  EXPECT_EQ(settings.voice.beepMask, 0x1D00);
  EXPECT_EQ(settings.display.view.colours.display.background, 0x123456u);
}

TEST_F(SettingsTest, ANumberStoredAsTextCountsAsMissing) {
  Registry().WriteString(kUser, kSettings, "i_RecentFileMax", "8");
  Registry().WriteDword(kMachine, kDefault, "i_RecentFileMax", 12);
  Registry().WriteDword(kUser, kSettings, "i_TemplateDir", 5);
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(settings.values.i_RecentFileMax, 12) << "the next source";
  EXPECT_STREQ(settings.values.i_TemplateDir, "") << "a string field takes no number";
}

TEST_F(SettingsTest, DetailedReadingChangesTheVoiceMasksDefault) {
  Registry().WriteDword(kUser, kSettings, "i_YomiDetail", 1);
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(static_cast<uint32_t>(settings.voice.voiceMask), 0xFFFFFF3Eu);
}

TEST_F(SettingsTest, SavingWritesOnlyWhatIsWritableToThePerUserKey) {
  Registry().WriteString(kMachine, kDefault, "s_TemplateFilter", "*.lxc||");
  Registry().WriteDword(kMachine, kDefault, "s_DefKesenColumn", 9);
  Registry().SetMachineReadOnly(true);
  {
    CLxrSettings settings;
    settings.LoadAll();
    settings.values.i_RecentFileMax = 20;
    settings.values.i_TBCellGuide = 0;
    settings.editing.options.options.pageJumpStep = 7;
    settings.voice.voiceMask = 0x0F;
    settings.SaveAll();
  }
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "i_RecentFileMax"), 20u);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "i_TBCellGuide"), 0u);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "wpeDocTabPages"), 7u);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "wpvDocVoiceMask"), 0x0Fu);
  EXPECT_EQ(Registry().ReadString(kUser, kSettings, "i_DocumentDir"), "C:\\Documents\\");
  for (const char* readOnly : {"s_TemplateFilter", "s_DefKesenColumn", "i_TemplateDir",
                               "s_wpdDocColPaper", "s_wpeImeColText1", "s_wpeImeUnder4"})
    EXPECT_FALSE(Registry().ReadValue(kUser, kSettings, readOnly)) << readOnly;
  CLxrSettings again;
  again.LoadAll();
  EXPECT_STREQ(again.values.s_TemplateFilter, "*.lxc||") << "the machine-wide value stays in force";
  EXPECT_EQ(again.values.s_DefKesenColumn, 9);
  EXPECT_EQ(again.values.i_RecentFileMax, 20);
}

TEST_F(SettingsTest, SingleWritesGoToThePerUserKeyMadeWhenMissing) {
  CLxrSettings settings;
  EXPECT_EQ(settings.WriteNumberSetting("i_ScreenZoom", 1), ERROR_SUCCESS);
  EXPECT_EQ(settings.WriteStringSetting("i_DocumentDir", "C:\\x\\"), ERROR_SUCCESS);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "i_ScreenZoom"), 1u);
  int32_t zoom = 0;
  EXPECT_EQ(settings.ReadSetting("i_ScreenZoom", &zoom, 4, 1, kPerUserSource), 0);
  EXPECT_EQ(zoom, 1);
  EXPECT_EQ(settings.ReadSetting("i_ScreenZoom", &zoom, 4, 1, kMachineSource), kSettingMissing);
  ScopedRegistryRefusal refusal(HKEY_CURRENT_USER, "Software", KEY_CREATE_SUB_KEY | KEY_SET_VALUE);
  EXPECT_EQ(settings.WriteNumberSetting("i_ScreenZoom", 0), kSettingMissing);
}

TEST_F(SettingsTest, TheProgramFolderIsTheExecutablesUnlessTheDirectoriesKeyNamesOne) {
  {
    CLxrSettings settings;
    EXPECT_STREQ(settings.programFolder, "D:\\") << "whatever the program file is called";
    char path[MAX_PATH];
    GetModuleFileName(nullptr, path, sizeof path);
    EXPECT_EQ(settings.programPath, path);
    settings.LoadAll();
    EXPECT_STREQ(settings.programFolder, "D:\\");
  }
  Registry().WriteString(kMachine, kDirectories, "ProductDir", "C:\\Lexora");
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_STREQ(settings.programFolder, "C:\\Lexora\\");
}

TEST_F(SettingsTest, ColourPatternsComeFromTheConfigurationFile) {
  // 紺白 over view row 0; a value that does not parse; a name too long;
  // IME row 2.
  const std::string longName(70, 'n');
  WriteFile(Program() / "LXRD3.INI",
            "[Color]\r\nViewColorPattern1=(0,0,128)(255,255,255)\x8D\xAE\x94\x92\r\n"
            "ViewColorPattern2=(0,0)(1,1,1)bad\r\n"
            "ViewColorPattern3=(1,2,3)(4,5,6)" +
                longName +
                "\r\n"
                "ViewColorPattern4=(1,2,300)(4,5,6)range\r\n"
                "ImeColorPattern3=(16,32,48)(0,0,0)Mine\r\n");
  Registry().WriteDword(kUser, kSettings, "i_GTB_ViewColorNumber", 0);
  Registry().WriteDword(kUser, kSettings, "i_GTB_ImeColorNumber", 2);
  CLxrSettings settings;
  settings.LoadAll();
  const ColorPattern& navy = settings.viewPatterns[0];
  EXPECT_STREQ(navy.name, "\x8D\xAE\x94\x92");
  EXPECT_EQ(navy.first, 0x800000u);
  EXPECT_EQ(navy.second, 0xFFFFFFu);
  const ViewColorPatterns builtIn = BuiltInViewPatterns();
  EXPECT_STREQ(settings.viewPatterns[1].name, builtIn[1].name) << "kept";
  EXPECT_EQ(settings.viewPatterns[1].first, builtIn[1].first);
  EXPECT_EQ(std::string(settings.viewPatterns[2].name), longName.substr(0, 63));
  EXPECT_EQ(settings.viewPatterns[2].first, 0x030201u);
  EXPECT_STREQ(settings.viewPatterns[3].name, builtIn[3].name) << "300 is no colour component";
  EXPECT_EQ(settings.display.view.colours.display.background, 0x800000u) << "row 0 in force";
  EXPECT_EQ(settings.imePatterns[2].first, 0x302010u);
  EXPECT_EQ(settings.editing.ime.clauses[0].background, 0x302010u);
}

TEST_F(SettingsTest, APatternNumberOutsideItsTableTakesRowZero) {
  Registry().WriteDword(kUser, kSettings, "i_GTB_ViewColorNumber", 9);
  Registry().WriteDword(kUser, kSettings, "i_GTB_ImeColorNumber", 0xFFFF);
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(settings.values.i_GTB_ViewColorNumber, 0);
  EXPECT_EQ(settings.values.i_GTB_ImeColorNumber, 0);
  EXPECT_EQ(settings.display.view.colours.display.background, GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(settings.editing.ime.clauses[0].background, 0xFFFFFFu);
}

TEST_F(SettingsTest, CompanionProgramsAreFoundInEitherHive) {
  Registry().WriteString(kMachine, "Software\\ZNT\\Admora\\Directories", "ProductDir", "C:\\Adm");
  Registry().WriteString(kMachine, "Software\\ZNT\\Admora\\Directories", "ProductFile", "adm.exe");
  Registry().WriteString(kUser, "Software\\ZNT\\Glossan\\Directories", "ProductDir", "C:\\Glo\\");
  Registry().WriteString(kUser, "Software\\ZNT\\Voxtera\\Directories", "ProductDir", "C:\\Vox");
  fs::create_directories(Home() / "Vox");
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(settings.systemManagementPath, "C:\\Adm\\adm.exe");
  EXPECT_EQ(settings.dictionaryPath, "C:\\Glo\\") << "the folder alone";
  EXPECT_EQ(settings.voiceInputPath, "") << "no key";
  EXPECT_EQ(settings.dictionaryCompilerPath, "") << "no MYOMIJI.exe there";
  WriteFile(Home() / "Vox" / "MYOMIJI.exe", "");
  settings.LoadAll();
  EXPECT_EQ(settings.dictionaryCompilerPath, "C:\\Vox\\MYOMIJI.exe");
  EXPECT_EQ(settings.ReadProductDirectory("Software\\ZNT\\Admora\\Directories",
                                          CLxrSettings::kProductFile),
            "adm.exe");
}

TEST_F(SettingsTest, PageDefaultsFillTheRecordAndGoBackFromIt) {
  PageSetupPaper paper;
  PageSetupFont font;
  PageSetupLayout layout;
  PageSetupPageNumber number;
  PageSetupRecord record{1, 2, 1, {}, &paper, &font, &layout, &number};
  CLxrSettings settings;
  settings.ReadPageDefaults(record, kBothSources);
  EXPECT_EQ(paper.PaperWidth, 2100);
  EXPECT_EQ(paper.MarginRight, 300);
  EXPECT_STREQ(font.FontName, kDefaultFaceName);
  EXPECT_EQ(font.FontSize, 105);
  EXPECT_EQ(layout.Chars, 80);
  EXPECT_EQ(layout.KinsokuTop, -1);
  EXPECT_STREQ(layout.KinsokuTopChars, kKinsokuTopDefault);
  EXPECT_STREQ(layout.KinsokuEndChars, kKinsokuEndDefault);
  EXPECT_STREQ(number.NFontName, kDefaultFaceName);
  EXPECT_EQ(number.NFontSize, 105);
  EXPECT_EQ(number.NVexpan, 100);
  EXPECT_EQ(number.AreaRectStr, (RECT{300, 2700, 1800, 2900}));
  EXPECT_EQ(number.ParaArrange, 2);
  EXPECT_EQ(number.OutForm, 1);
  EXPECT_EQ(record.paperId, 0xFFFF);
  EXPECT_EQ(record.paperSource, -1);
  EXPECT_EQ(record.orientation, -1);

  paper.PaperWidth = 1820;
  layout.Lines = 0x1234;
  font.Bold = 1;
  std::strcpy(number.NFontName, "\x95\x5C");
  number.AreaRectStr = RECT{1, -2, 3, 4};
  EXPECT_EQ(settings.PageDefaultsCallback(record, 1), 1);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "wppPapPaperWidth"), 1820u);
  EXPECT_EQ(Registry().ReadDword(kUser, kSettings, "wppBunLines"), 0x1234u);
  EXPECT_EQ(Registry().ReadString(kUser, kSettings, "wppPagAreaRectStr"), "1,-2,3,4");

  PageSetupPaper paper2;
  PageSetupFont font2;
  PageSetupLayout layout2;
  PageSetupPageNumber number2;
  PageSetupRecord again{0, 0, 1, {}, &paper2, &font2, &layout2, &number2};
  settings.ReadPageDefaults(again, kPerUserSource);
  EXPECT_EQ(paper2.PaperWidth, 1820);
  EXPECT_EQ(layout2.Lines, 0x1234);
  EXPECT_EQ(font2.Bold, 1);
  EXPECT_STREQ(number2.NFontName, "\x95\x5C");
  EXPECT_EQ(number2.AreaRectStr, (RECT{1, -2, 3, 4}));

  Registry().WriteDword(kMachine, kDefault, "wppPapPaperWidth", 2570);
  EXPECT_EQ(settings.PageDefaultsCallback(again, 2), 1) << "refilled from the machine key";
  EXPECT_EQ(paper2.PaperWidth, 2570);
  EXPECT_EQ(layout2.Lines, 40) << "the per-user value is not read";
}

TEST(SettingsTextTest, PathPartsOneToSix) {
  const char* path = "C:\\a\\b.txt";
  const char* expected[] = {"", "C:", "\\a\\", "C:\\a\\", "b", "b.txt", ".txt", ""};
  for (int part = 0; part <= 7; ++part)
    EXPECT_EQ(SplitPathPart(path, part), expected[part]) << part;
  EXPECT_EQ(SplitPathPart(nullptr, 1), "");
  EXPECT_EQ(SplitPathPart("C:\\\x95\x5C\\x.lxc", 2), "\\\x95\x5C\\");
}

TEST(SettingsTextTest, RectangleTextGoesBothWays) {
  RECT rect{9, 9, 9, 9};
  EXPECT_TRUE(ParseRectText(rect, "300,2700,1800,2900"));
  EXPECT_EQ(rect, (RECT{300, 2700, 1800, 2900}));
  EXPECT_FALSE(ParseRectText(rect, "1,2,3"));
  EXPECT_EQ(rect, (RECT{300, 2700, 1800, 2900})) << "left as it was";
  EXPECT_EQ(FormatRectText(RECT{-1, 0, 2, 3}), "-1,0,2,3");
}

TEST(SettingsTextTest, CharacterSizeRowsAreFoundByKindAndExpansions) {
  struct Case {
    int kind, vertical, horizontal, row;
  };
  for (const Case& c :
       {Case{0, 100, 100, 0}, Case{0, 0, 0, 0}, Case{0, 150, 0, 1}, Case{0, 100, 150, 2},
        Case{0, 150, 150, 3}, Case{0, 200, 200, 4}, Case{1, 50, 50, 5}, Case{3, 50, 50, 6},
        Case{1, 100, 100, -1}, Case{0, 120, 100, -1}})
    EXPECT_EQ(FindCharSizeRow(c.kind, c.vertical, c.horizontal), c.row)
        << c.kind << " " << c.vertical << " " << c.horizontal;
  EXPECT_STREQ(kCharSizeTable[3].spoken, "\x82\x51\x94\x7B\x8A\x70");  // ２倍角
}

// Two runs of the program, each with the registry it keeps between runs.
class SettingsFileTest : public AppWorld {};

TEST_F(SettingsFileTest, SettingsWrittenByOneRunAreReadByTheNext) {
  const std::string machine = (Program() / "machine-registry.txt").string();
  WriteFile(machine,
            "[Software\\ZNT\\Lexora3\\Default]\n"
            "s_DefKesenLines=dword:00000006\n");
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    int failed = 0;
    {
      FileRegistry registry(DefaultUserRegistryPath(), machine);
      ScopedRegistry scoped(registry);
      CLxrSettings settings;
      settings.LoadAll();
      failed |= settings.values.s_DefKesenLines != 6;
      settings.values.i_ScreenRuler = 0;
      settings.values.i_GTB_ViewColorNumber = 5;
      std::strcpy(settings.values.i_DocumentDir, "C:\\\x95\x5C\\");
      settings.voice.speechOn = 0;
      settings.SaveAll();
    }
    _exit(failed);
  }
  int status = 0;
  ASSERT_EQ(waitpid(writer, &status, 0), writer);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the first run read the machine defaults file";

  const fs::path file = Home() / ".config" / "lexora" / "registry.txt";
  ASSERT_TRUE(fs::exists(file));
  EXPECT_NE(ReadFile(file).find("\xE8\xA1\xA8"), std::string::npos) << "UTF-8 in the file";

  FileRegistry registry(DefaultUserRegistryPath(), machine);
  ScopedRegistry scoped(registry);
  CLxrSettings settings;
  settings.LoadAll();
  EXPECT_EQ(settings.values.i_ScreenRuler, 0);
  EXPECT_EQ(settings.values.i_GTB_ViewColorNumber, 5);
  EXPECT_STREQ(settings.values.i_DocumentDir, "C:\\\x95\x5C\\");
  EXPECT_EQ(settings.voice.speechOn, 0);
  EXPECT_EQ(settings.display.view.colours.display.background, 0x000000u) << "pattern 5, 黒緑";
  EXPECT_EQ(settings.display.view.colours.display.text, 0x00FF00u);
  EXPECT_EQ(settings.values.s_DefKesenLines, 6);
}

}  // namespace
