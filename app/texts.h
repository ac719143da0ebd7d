// Texts the application's settings know by heart, as CP932 byte strings.
#pragma once

// Where the settings live in the registry.
inline constexpr char kSettingsKey[] = "Software\\ZNT\\Lexora3\\Settings";
inline constexpr char kMachineDefaultsKey[] = "Software\\ZNT\\Lexora3\\Default";
inline constexpr char kProgramDirectoriesKey[] = "Software\\ZNT\\Lexora3\\Directories";
inline constexpr char kAdmoraDirectoriesKey[] = "Software\\ZNT\\Admora\\Directories";
inline constexpr char kGlossanDirectoriesKey[] = "Software\\ZNT\\Glossan\\Directories";
inline constexpr char kOrvoDirectoriesKey[] = "Software\\ZNT\\Orvo\\Directories";
inline constexpr char kVoxteraDirectoriesKey[] = "Software\\ZNT\\Voxtera\\Directories";
inline constexpr char kProductDirValue[] = "ProductDir";
inline constexpr char kProductFileValue[] = "ProductFile";

// The reading-dictionary compiler, kept only when it is there.
inline constexpr char kDictionaryCompilerFile[] = "MYOMIJI.exe";

// The configuration file beside the program and its colour patterns.
inline constexpr char kConfigurationFile[] = "LXRD3.INI";
inline constexpr char kColorSection[] = "Color";
inline constexpr char kViewColorPatternKey[] = "ViewColorPattern%d";
inline constexpr char kImeColorPatternKey[] = "ImeColorPattern%d";
inline constexpr char kColorPatternForm[] = "(%d,%d,%d)(%d,%d,%d)%n";

inline constexpr char kRectTextForm[] = "%d,%d,%d,%d";

// The template file dialog's filter.
inline constexpr char kTemplateFilterDefault[] =
    "\x95\x57\x8F\x80\x95\xB6\x97\xE1\x83\x74\x83\x40\x83\x43\x83\x8B(*.lxc *.txt)|*.lxc;*.txt||";
// 標準文例ファイル(*.lxc *.txt)|*.lxc;*.txt||

// The default page's faces.
inline constexpr char kDefaultFaceName[] = "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";  // ＭＳ 明朝

// Characters that may not start a line.
inline constexpr char kKinsokuTopDefault[] =
    "\xA1\xA4,.\xDE\xDF)]}\xA3\x81\x42\x81\x41\x81\x43\x81\x44\x81\x4A\x81\x4B\x81\x8B\x81\x6A"
    "\x81\x6E\x81\x70\x81\x76\x81\x72\x81\x74\x81\x78\x81\x7A\x81\x6C\x81\x54\x81\x55\x81\x52"
    "\x81\x53\x81\x58\x81\x8E";
// ｡､,.ﾞﾟ)]}｣。、，．゛゜°）］｝」〉》』】〕ゝゞヽヾ々℃

// Characters that may not end a line.
inline constexpr char kKinsokuEndDefault[] =
    "([{\xA2\x81\x69\x81\x6D\x81\x6F\x81\x75\x81\x71\x81\x73\x81\x77\x81\x79\x81\x6B";
// ([{｢（［｛「〈《『【〔

inline constexpr char kPageNumberAreaDefault[] = "300,2700,1800,2900";

// The colour patterns' names.
inline constexpr char kPatternWindows[] = "Windows \x95\x57\x8F\x80";  // Windows 標準
inline constexpr char kPatternWhiteBlack[] = "\x94\x92\x8D\x95";       // 白黒
inline constexpr char kPatternWhiteBlackReversed[] =
    "\x94\x92\x8D\x95\x94\xBD\x93\x5D";                            // 白黒反転
inline constexpr char kPatternBlackYellow[] = "\x8D\x95\x89\xA9";  // 黒黄
inline constexpr char kPatternBlackYellowReversed[] =
    "\x8D\x95\x89\xA9\x94\xBD\x93\x5D";                           // 黒黄反転
inline constexpr char kPatternBlackGreen[] = "\x8D\x95\x97\xCE";  // 黒緑
inline constexpr char kPatternBlackGreenReversed[] =
    "\x8D\x95\x97\xCE\x94\xBD\x93\x5D";                           // 黒緑反転
inline constexpr char kPatternBlueYellow[] = "\x90\xC2\x89\xA9";  // 青黄
inline constexpr char kPatternBlueYellowReversed[] =
    "\x90\xC2\x89\xA9\x94\xBD\x93\x5D";                                  // 青黄反転
inline constexpr char kPatternWhiteBlue[] = "\x94\x92\x90\xC2";          // 白青
inline constexpr char kPatternBlackCyan[] = "\x8D\x95\x90\x85\x90\x46";  // 黒水色

// The character sizes' names and spoken names.
inline constexpr char kSizeStandard[] = "\x95\x57\x8F\x80";               // 標準
inline constexpr char kSizeTall[] = "\x8F\x63\x94\x7B";                   // 縦倍
inline constexpr char kSizeWide[] = "\x89\xA1\x94\x7B";                   // 横倍
inline constexpr char kSizeDouble[] = "\x82\x51\x94\x7B";                 // ２倍
inline constexpr char kSizeQuadruple[] = "\x82\x53\x94\x7B";              // ４倍
inline constexpr char kSizeSuperscript[] = "\x8F\xE3\x95\x74";            // 上付
inline constexpr char kSizeSubscript[] = "\x89\xBA\x95\x74";              // 下付
inline constexpr char kSpokenTall[] = "\x8F\x63\x82\x51\x94\x7B";         // 縦２倍
inline constexpr char kSpokenWide[] = "\x89\xA1\x82\x51\x94\x7B";         // 横２倍
inline constexpr char kSpokenDouble[] = "\x82\x51\x94\x7B\x8A\x70";       // ２倍角
inline constexpr char kSpokenQuadruple[] = "\x82\x53\x94\x7B\x8A\x70";    // ４倍角
inline constexpr char kSpokenSuperscript[] = "\x8F\xE3\x95\x74\x82\xAB";  // 上付き
inline constexpr char kSpokenSubscript[] = "\x89\xBA\x95\x74\x82\xAB";    // 下付き
