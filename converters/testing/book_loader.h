// Controls of the test book loader, outside the loader's contract: it
// loads a book as the bytes of the file itself (none when the file is
// missing), and counts the books it still holds.
#pragma once

namespace converters::testing {

inline constexpr const char* kOutstandingEntryPoint = "TestBookLoader_Outstanding";
inline constexpr const char* kLastPassThroughEntryPoint = "TestBookLoader_LastPassThrough";
// The name the test loader writes into a non-null pass-through buffer.
inline constexpr const char* kBookName = "\x96\x7B\x82\xCC\x96\xBC";  // 本の名

using OutstandingFn = int (*)();
using LastPassThroughFn = void* (*)();

}  // namespace converters::testing
