// The text form a registry hive is kept in on disk: plain UTF-8, one key
// per section, each value on its own line with its type, so that the file
// reads and compares well:
//
//   # Lexora registry
//   [Software\ZNT\Lexora3\Settings]
//   TemplateDir=string:C:\文書\Lexora
//   i_RecentFileMax=dword:00000010
//   i_RecentFile=binary:00 00
//
// A section stands for a key that holds values or no subkeys; the keys
// above it are implied. Names and strings are CP932 inside the program
// and UTF-8 here. "%" and two hex digits stand for a byte that cannot
// stand as itself: "%", a control byte, "]" in a section's name, "=" in a
// value's name, a "[" or "#" starting a value's name, and any CP932 byte
// that has no UTF-8 form of its own. Lines starting with "#" and empty
// lines are ignored.
#pragma once

#include <string>
#include <string_view>

#include "platform/registry.h"

namespace platform {

std::string FormatRegistryText(const Registry& registry, RegistryHive hive);

// Adds what the text holds to the hive; false when the text is not in the
// form above, leaving the hive with what was read before the damage.
bool ParseRegistryText(std::string_view text, Registry& registry, RegistryHive hive);

}  // namespace platform
