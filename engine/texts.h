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

// What an undo or redo says: a prefix naming which of the two it is, then
// what it undoes or redoes.
inline constexpr char kReplayPrefixUndo[] = "\x88\xC4\x83\x59\x81\x5B\x81\x40";  // 案ズー　
inline constexpr char kReplayPrefixRedo[] = "\x97\x98\x83\x59\x81\x5B\x81\x40";  // 利ズー　
inline constexpr char kReplayWordDelete[] = "\x8D\xED\x8F\x9C";                  // 削除
inline constexpr char kReplayWordReplace[] = "\x92\x75\x8A\xB7";                 // 置換
inline constexpr char kReplayWordInsert[] = "\x91\x7D\x93\xFC";                  // 挿入
inline constexpr char kReplayWordMove[] = "\x88\xDA\x93\xAE";                    // 移動
inline constexpr char kReplayWordSet[] = "\x90\xDD\x92\xE8";                     // 設定
inline constexpr char kReplayWordClear[] = "\x89\xF0\x8F\x9C";                   // 解除
inline constexpr char kReplayWordChange[] = "\x95\xCF\x8D\x58";                  // 変更
inline constexpr char kReplayWordRevert[] = "\x8C\xB3\x82\xC9\x96\xDF\x82\xB7";  // 元に戻す
inline constexpr char kReplayAttributesRevert[] =
    "\x95\xB6\x8E\x9A\x8F\x43\x8F\xFC\x81\x40\x8C\xB3\x82\xC9\x96\xDF\x82\xB7";  // 文字修飾　元に戻す
inline constexpr char kReplayAttributesClear[] =
    "\x95\xB6\x8E\x9A\x8F\x43\x8F\xFC\x81\x40\x83\x4E\x83\x8A\x83\x41";  // 文字修飾　クリア
inline constexpr char kReplayFont[] = "\x83\x74\x83\x48\x83\x93\x83\x67";          // フォント
inline constexpr char kReplaySeparator[] = "\x81\x40";                             // 　
inline constexpr char kReplayPoints[] = "\x83\x7C\x83\x43\x83\x93\x83\x67";        // ポイント
inline constexpr char kReplayColour[] = "\x95\xB6\x8E\x9A\x90\x46\x81\x40";        // 文字色　
inline constexpr char kReplayBold[] = "\x8B\xAD\x92\xB2\x95\xB6\x8E\x9A\x81\x40";  // 強調文字　
inline constexpr char kReplayItalic[] =
    "\x83\x56\x83\x83\x83\x5E\x83\x43\x95\xB6\x8E\x9A\x81\x40";  // シャタイ文字　
inline constexpr char kReplayCharSize[] =
    "\x95\xB6\x8E\x9A\x83\x54\x83\x43\x83\x59\x81\x40\x95\xCF\x8D\x58";  // 文字サイズ　変更
inline constexpr char kReplayUnderline[] =
    "\x83\x41\x83\x93\x83\x5F\x81\x5B\x83\x89\x83\x43\x83\x93\x81\x40";  // アンダーライン　
inline constexpr char kReplayShading[] = "\x96\xD4\x8A\x7C\x82\xAF\x81\x40";  // 網掛け　
inline constexpr char kReplayStrikeOut[] = "\x8E\xE6\x8F\xC1";                // 取消
inline constexpr char kReplayEnclosure[] =
    "\x95\xB6\x8E\x9A\x88\xCD\x82\xDD\x81\x40";  // 文字囲み　
inline constexpr char kReplayDecorationColour[] =
    "\x83\x4A\x83\x55\x83\x8A\x83\x56\x83\x87\x83\x4E\x81\x40";  // カザリショク　
inline constexpr char kReplayHollow[] = "\x92\x87\x94\xB2\x82\xAB\x81\x40";     // 仲抜き　
inline constexpr char kReplayReverse[] = "\x94\xBD\x93\x5D\x81\x40";            // 反転　
inline constexpr char kReplayShadow[] = "\x89\x65\x95\x74\x82\xAB\x81\x40";     // 影付き　
inline constexpr char kReplayAlignLeft[] = "\x8D\xB6\x8A\xF1\x82\xB9\x81\x40";  // 左寄せ　
inline constexpr char kReplayAlignCentre[] =
    "\x92\x86\x89\x9B\x8A\xF1\x82\xB9\x81\x40";                                  // 中央寄せ　
inline constexpr char kReplayAlignRight[] = "\x89\x45\x8A\xF1\x82\xB9\x81\x40";  // 右寄せ　
inline constexpr char kReplayLineGap[] = "\x8D\x73\x8A\xD4\x81\x40";             // 行間　
inline constexpr char kReplayIndent[] =
    "\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67\x81\x40";  // インデント　
inline constexpr char kReplayLineHeadIndent[] =
    "\x83\x4D\x83\x87\x81\x5B\x83\x67\x81\x5B\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67\x81"
    "\x40";  // ギョートーインデント　
inline constexpr char kReplayLineEndIndent[] =
    "\x83\x4D\x83\x87\x81\x5B\x83\x7D\x83\x63\x83\x43\x83\x93\x83\x66\x83\x93\x83\x67\x81"
    "\x40";  // ギョーマツインデント　
inline constexpr char kReplayLineThin[] = "\x82\xD9\x82\xBB\x90\xFC\x81\x40";        // ほそ線　
inline constexpr char kReplayLineThick[] = "\x82\xD3\x82\xC6\x90\xFC\x81\x40";       // ふと線　
inline constexpr char kReplayLineDouble[] = "\x93\xF1\x8F\x64\x90\xFC\x81\x40";      // 二重線　
inline constexpr char kReplayLineDotted[] = "\x93\x5F\x90\xFC\x81\x40";              // 点線　
inline constexpr char kReplayLineWavy[] = "\x82\xC8\x82\xDD\x90\xFC\x81\x40";        // なみ線　
inline constexpr char kReplayTableChange[] = "\x95\xCF\x8D\x58\x81\x40";             // 変更　
inline constexpr char kReplayTablePlacement[] = "\x95\x5E\x94\x7A\x92\x75\x81\x40";  // 豹配置　
inline constexpr char kReplayPlaceLeft[] = "\x8D\xB6";                               // 左
inline constexpr char kReplayPlaceCentre[] = "\x92\x86\x89\x9B";                     // 中央
inline constexpr char kReplayPlaceRight[] = "\x89\x45";                              // 右
inline constexpr char kReplayCellMargin[] =
    "\x83\x5A\x83\x8B\x82\xCC\x8F\xE3\x89\xBA\x97\x5D\x94\x92\x81\x40";  // セルの上下余白　
inline constexpr char kReplayNarrower[] = "\x8B\xB7\x82\xAD";            // 狭く
inline constexpr char kReplayWider[] = "\x8D\x4C\x82\xAD";               // 広く
inline constexpr char kReplayTableLine[] = "\x95\x5C\x82\xCC\x90\xFC\x81\x40";       // 表の線　
inline constexpr char kReplayThinner[] = "\x8D\xD7\x82\xAD";                         // 細く
inline constexpr char kReplayThicker[] = "\x91\xBE\x82\xAD";                         // 太く
inline constexpr char kReplayColumnWidth[] = "\x95\xCF\x8D\x58 \x97\xF1\x95\x9D%d";  // 変更 列幅%d

// The document's words for the clipboard commands.
inline constexpr char kPhraseCut[] = "\x90\xD8\x82\xE8\x8E\xE6\x82\xE8";    // 切り取り
inline constexpr char kPhraseCopy[] = "\x83\x52\x83\x73\x81\x5B";           // コピー
inline constexpr char kPhrasePaste[] = "\x93\x5C\x82\xE8\x95\x74\x82\xAF";  // 貼り付け

// The document's words for the unit deletions and an inserted line.
inline constexpr char kPhraseEraseToLineEnd[] = "\x83\x43\x83\x8C\x81\x5B\x83\x58";  // イレース
inline constexpr char kPhraseDeleteLine[] = "\x8D\x73\x8D\xED\x8F\x9C";              // 行削除
inline constexpr char kPhraseDeleteToEnd[] = "\x88\xC8\x8D\x7E \x8D\xED\x8F\x9C";  // 以降 削除
inline constexpr char kPhraseInsertLine[] = "\x8D\x73\x91\x7D\x93\xFC";            // 行挿入

// What a move or copy of the marked range says when it is done.
inline constexpr char kPhraseCopied[] = "\x95\xA1\x8E\xCA";  // 複写
inline constexpr char kPhraseMoved[] = "\x88\xDA\x93\xAE";   // 移動
