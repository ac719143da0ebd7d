// Profile (INI) files: "[section]" lines, each followed by "key=value"
// lines, read and written as CP932 bytes. Section and key names match
// ignoring ASCII case; every search steps over double-byte characters
// whole, so a trail byte such as "\", "]", ";" or "=" is never taken for
// punctuation. Names and values are trimmed of spaces and tabs; a line
// whose first character is ";" is a comment. The file name is a host
// path in CP932. A write replaces the file atomically and leaves every
// other line as it was.
#pragma once

#include <cstdint>

#include "platform/window_message.h"

namespace platform {

// Copies the value, or `defaultValue` (trimmed of blanks) when
// there is none, into `buffer` of `size` bytes, cut at a character
// boundary to fit with its zero; a value in matching quotes loses them.
// Answers the bytes copied without the zero. With `key` null the buffer
// gets the section's key names, with `section` null the file's section
// names, each ending in a zero and the list in another; a list that is
// cut answers size - 2.
DWORD GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                              char* buffer, DWORD size, const char* fileName);

// The value's leading decimal number with its sign, so "-1" is -1; a
// value with no digits is 0, an empty or missing one `defaultValue`.
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* fileName);

// Sets the value, making the section and the file when missing. A null
// `value` deletes the key, a null `key` the whole section.
bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const char* fileName);

}  // namespace platform
