// Texts the editing engine knows by heart, as CP932 byte strings.
#pragma once

// The clipboard format of the program's own documents.
inline constexpr char kClipboardFormatName[] =
    "Lexora3.00 LXRC\x8C\x60\x8E\xAE";  // Lexora3.00 LXRC形式

// The faces tried in turn when the page-number face is not installed.
inline constexpr char kPageNumberFallbackMincho[] =
    "\x82\x6C\x82\x72 \x96\xBE\x92\xA9";  // ＭＳ 明朝
inline constexpr char kPageNumberFallbackGothic[] =
    "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";       // ＭＳ ゴシック
inline constexpr char kPageNumberFallbackSymbol[] = "symbol";  // symbol

// The page-number face before a style sets one.
inline constexpr const char* kPageNumberDefaultFace = kPageNumberFallbackGothic;

// The forms of a page number: "- n -", "n / last" and plain "n".
inline constexpr char kPageNumberDashed[] = "- %d -";   // - %d -
inline constexpr char kPageNumberOfLast[] = "%d / %d";  // %d / %d
inline constexpr char kPageNumberPlain[] = "%d";        // %d

// The engine's announcement of a move: a direction word, then the place
// as page, line and column (or the column alone for a column stop).
inline constexpr char kPhraseNext[] = "\x83\x6C\x83\x4E\x83\x58\x83\x67";  // ネクスト
inline constexpr char kPhraseBack[] = "\x83\x6F\x83\x62\x83\x4E";          // バック
inline constexpr char kPhraseLeft[] = "\x8D\xB6";                          // 左
inline constexpr char kPhraseRight[] = "\x89\x45";                         // 右
inline constexpr char kPhraseJump[] = "\x83\x57\x83\x83\x83\x93\x83\x76";  // ジャンプ
inline constexpr char kPhrasePageLocation[] = " %d\x82\xCC%d\x82\xCC%d";   //  %dの%dの%d
inline constexpr char kPhraseColumnLocation[] = " %d";                     //  %d
