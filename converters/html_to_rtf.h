// HTML pages as RTF in CP932, through libxml2's HTML parser (which finds
// the page's encoding, Shift_JIS and UTF-8 among them): paragraphs, line
// breaks, bold, italic and underline are kept.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace converters::html {

// None when the bytes hold no HTML document at all.
std::optional<std::string> ToRtf(std::string_view bytes);

}  // namespace converters::html
