// The string table: texts by id, loaded into a caller's buffer or a CString.
#pragma once

#include <span>
#include <string>

#include "framework/resource_registry.h"

namespace framework {

struct StringResource {
  UINT id = 0;
  const char* text = nullptr;  // UTF-8
};

// Registers every entry or none: false when an id is taken (before, or
// twice among the entries), a text is missing, or a text has a character
// CP932 lacks.
bool RegisterStrings(std::span<const StringResource> entries);

// The CP932 text of a string; nullptr when none is registered.
const std::string* FindString(UINT id);

// Copies the string into the buffer: at most `size` - 1 bytes, cut before
// a double-byte character that would not fit whole, then a NUL. Answers
// the bytes copied without the NUL. 0 for no string (the buffer then holds
// an empty text) and for a buffer of no size (left as it is).
int LoadString(UINT id, char* buffer, int size);

// Forgets every string; for tests.
void ResetStrings();

}  // namespace framework
