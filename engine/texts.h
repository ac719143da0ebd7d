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

// The document's announcement of a caret move: where the caret went, the
// cell it entered, a blank place; a phrase ending in a blank runs on into
// the next words.
inline constexpr char kPhraseTop[] = "\x83\x67\x83\x62\x83\x76 ";   // "トップ "
inline constexpr char kPhraseLast[] = "\x83\x89\x83\x58\x83\x67 ";  // "ラスト "
inline constexpr char kPhraseLineStart[] = "\x8D\x73\x93\xAA ";     // "行頭 "
inline constexpr char kPhraseLineEnd[] = "\x8D\x73\x96\x96 ";       // "行末 "
inline constexpr char kPhraseLeftEnd[] =
    "\x83\x71\x83\x5F\x83\x8A\x83\x6E\x83\x56 ";  // "ヒダリハシ "
inline constexpr char kPhraseRightEnd[] = "\x83\x7E\x83\x4D\x83\x6E\x83\x56 ";  // "ミギハシ "
inline constexpr char kPhraseCellLineStart[] =
    "\x83\x5A\x83\x8B \x8D\x73\x93\xAA ";  // "セル 行頭 "
inline constexpr char kPhraseCellLineEnd[] = "\x83\x5A\x83\x8B \x8D\x73\x96\x96 ";  // "セル 行末 "
inline constexpr char kPhraseCellLeftEnd[] =
    "\x83\x5A\x83\x8B \x83\x71\x83\x5F\x83\x8A\x83\x6E\x83\x56 ";  // "セル ヒダリハシ "
inline constexpr char kPhraseCellRightEnd[] =
    "\x83\x5A\x83\x8B \x83\x7E\x83\x4D\x83\x6E\x83\x56 ";  // "セル ミギハシ "
inline constexpr char kPhraseNextParagraph[] =
    "\x83\x6C\x83\x4E\x83\x58\x83\x67\x92\x69\x97\x8E ";  // "ネクスト段落 "
inline constexpr char kPhrasePrevParagraph[] =
    "\x83\x6F\x83\x62\x83\x4E\x92\x69\x97\x8E  ";  // "バック段落  "
inline constexpr char kPhraseNextPhrase[] =
    "\x83\x6C\x83\x4E\x83\x58\x83\x67\x95\xB6\x90\xDF ";  // "ネクスト文節 "
inline constexpr char kPhrasePrevPhrase[] =
    "\x83\x6F\x83\x62\x83\x4E\x95\xB6\x90\xDF  ";  // "バック文節  "
inline constexpr char kPhraseTopPosition[] =
    "\x83\x67\x83\x62\x83\x76\x83\x7C\x83\x57\x83\x56\x83\x87\x83\x93 ";  // "トップポジション "
inline constexpr char kPhraseLastPosition[] =
    "\x83\x89\x83\x58\x83\x67\x83\x7C\x83\x57\x83\x56\x83\x87\x83\x93 ";  // "ラストポジション "
inline constexpr char kPhrasePrevCell[] =
    "\x83\x6F\x83\x62\x83\x4E \x83\x5A\x83\x8B ";  // "バック セル "
inline constexpr char kPhrasePrevLine[] =
    "\x83\x6F\x83\x62\x83\x4E\x83\x89\x83\x43\x83\x93 ";  // "バックライン "
inline constexpr char kPhraseNextCell[] =
    "\x83\x6C\x83\x4E\x83\x58\x83\x67 \x83\x5A\x83\x8B ";  // "ネクスト セル "
inline constexpr char kPhraseNextLine[] =
    "\x83\x6C\x83\x4E\x83\x58\x83\x67\x83\x89\x83\x43\x83\x93 ";  // "ネクストライン "
inline constexpr char kPhraseEmptyLinePageBreak[] =
    "\x8B\xF3\x8D\x73 \x89\xFC\x83\x79\x81\x5B\x83\x57";        // "空行 改ページ"
inline constexpr char kPhraseEmptyLine[] = "\x8B\xF3\x8D\x73";  // "空行"
inline constexpr char kPhraseTrailingPageBreak[] =
    " \x89\xFC\x83\x79\x81\x5B\x83\x57";                     // " 改ページ"
inline constexpr char kPhrasePagePlace[] = " %d\x82\xCC%d";  // " %dの%d"
inline constexpr char kPhraseCellPosition[] =
    "\x83\x5A\x83\x8B %d\x8D\x73 %d\x97\xF1 ";  // "セル %d行 %d列 "
inline constexpr char kPhraseBlank[] = " \x83\x75\x83\x89\x83\x93\x83\x4E";  // " ブランク"
inline constexpr char kPhraseMargin[] = " \x97\x5D\x94\x92";                 // " 余白"

// The document's announcement of an edit: typed control characters, a
// deletion, a cleared range, indent and table changes.
inline constexpr char kPhraseLineFeed[] = "\x89\xFC\x8D\x73";  // "改行"
inline constexpr char kPhraseSplitLineFeed[] =
    "\x83\x75\x83\x93\x83\x4A\x83\x63 \x89\xFC\x8D\x73";  // "ブンカツ 改行"
inline constexpr char kPhrasePageBreak[] = "\x89\xFC\x83\x79\x81\x5B\x83\x57";  // "改ページ"
inline constexpr char kPhraseTab[] = "\x83\x5E\x83\x75";                        // "タブ"
inline constexpr char kPhraseDelete[] = "\x8D\xED\x8F\x9C";                     // "削除"
inline constexpr char kPhraseRangeCleared[] =
    "\x94\xCD\x88\xCD \x83\x4E\x83\x8A\x83\x41";  // "範囲 クリア"
inline constexpr char kPhraseParagraphFormat[] =
    "\x92\x69\x97\x8E\x8F\x91\x8E\xAE\x95\xCF\x8D\x58";  // "段落書式変更"
inline constexpr char kPhraseIndent[] = "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67";  // "インデント"
inline constexpr char kPhraseRightIndent[] =
    "\x8D\x73\x96\x96\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67";  // "行末インデント"
inline constexpr char kPhraseIndentPlus[] = "%s \x83\x76\x83\x89\x83\x58%d";  // "%s プラス%d"
inline constexpr char kPhraseIndentMinus[] =
    "%s \x83\x7D\x83\x43\x83\x69\x83\x58%d";  // "%s マイナス%d"
inline constexpr char kPhraseIndentValue[] =
    "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 %d";  // "インデント %d"
inline constexpr char kPhraseIndentNone[] =
    "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 \x83\x69\x83\x56";  // "インデント ナシ"
inline constexpr char kPhraseRightIndentValue[] =
    "\x8D\x73\x96\x96\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 %d";  // "行末インデント %d"
inline constexpr char kPhraseRightIndentNone[] =
    "\x8D\x73\x96\x96\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67 \x83\x69\x83\x56";  // "行末インデント
                                                                                  // ナシ"
inline constexpr char kPhraseColumnWidth[] = "\x97\xF1\x95\x9D %d";  // "列幅 %d"
inline constexpr char kPhraseColumnsInserted[] =
    "\x91\x7D\x93\xFC \x97\xF1\x90\x94 %d";  // "挿入 列数 %d"
inline constexpr char kPhraseRowsInserted[] =
    "\x91\x7D\x93\xFC \x8D\x73\x90\x94 %d";  // "挿入 行数 %d"
inline constexpr char kPhraseColumnsDeleted[] =
    "\x8D\xED\x8F\x9C \x97\xF1\x90\x94 %d";  // "削除 列数 %d"
inline constexpr char kPhraseRowsDeleted[] =
    "\x8D\xED\x8F\x9C \x8D\x73\x90\x94 %d";                   // "削除 行数 %d"
inline constexpr char kPhraseCreated[] = "\x8D\xEC\x90\xAC";  // "作成"
inline constexpr char kPhraseTableDeleted[] =
    "\x82\xD0\x82\xE5\x81\x5B \x8D\xED\x8F\x9C";  // "ひょー 削除"
