// Texts the editing engine knows by heart, as CP932 byte strings.
#pragma once

// The clipboard format of the program's own documents.
inline constexpr char kClipboardFormatName[] =
    "Lexora3.00 LXRC\x8C\x60\x8E\xAE";  // Lexora3.00 LXRC形式
