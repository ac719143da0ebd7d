// Texts the document model knows by heart, as CP932 byte strings.
#pragma once

// Substrings that tell a face's class when a missing face is replaced.
inline constexpr char kFaceClassMincho[] = "\x96\xBE\x92\xA9";                  // 明朝
inline constexpr char kFaceClassGothic[] = "\x83\x53\x83\x56\x83\x62\x83\x4E";  // ゴシック
inline constexpr char kFaceClassGothicHalfWidth[] = "\xBA\xDE\xBC\xAF\xB8";     // ｺﾞｼｯｸ
inline constexpr char kFaceClassPop[] = "\x83\x7C\x83\x62\x83\x76";             // ポップ
inline constexpr char kFaceClassPopHalfWidth[] = "\xCE\xDF\xAF\xCC\xDF";        // ﾎﾟｯﾌﾟ

// The symbol face the renderer falls back to when the mark face is missing.
inline constexpr char kFaceSymbol[] = "symbol";  // symbol

// The tag that opens a stored text block; a NUL fills its 16th byte.
inline constexpr char kTextBlockTag[] = "TextObject Data";  // TextObject Data

// Between the plain texts of two children of a container.
inline constexpr char kChildTextSeparator[] = "\r\n";  // CR LF

// The markers at both ends of a stored ruled-line style, each written with
// its NUL.
inline constexpr char kLineStyleStartMark[] = "LS";  // LS
inline constexpr char kLineStyleEndMark[] = "LE";    // LE

// The signature text in front of a stored table cell.
inline constexpr char kTableCellSignature[] = "TableCellObj";  // TableCellObj

// The signature in front of a stored table: the text, then 0x01, two
// blanks and a NUL (16 bytes in all).
inline constexpr char kTableSignature[] = "TABLE_OBJECT\x01  ";  // TABLE_OBJECT, 0x01, 2 blanks

// The ruled-line characters of the box export: the crossings by row class
// (middle, top, bottom) and column class (left border, inside, right
// border), then the plain horizontal and vertical lines.
inline constexpr char kBoxCrossings[] =
    "\x84\xA5\x84\xA9\x84\xA7\x84\xA1\x84\xA6\x84\xA2\x84\xA4\x84\xA8\x84\xA3";  // ├┼┤┌┬┐└┴┘
inline constexpr char kBoxHorizontal[] = "\x84\x9F";                             // ─
inline constexpr char kBoxVertical[] = "\x84\xA0";                               // │
