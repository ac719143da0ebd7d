// The book loader "Rvbook.dll": it turns a reading book into the bytes of
// its text. Callers that load it by name find its entry points under the
// stdcall-decorated names, which the module layer maps to these host
// symbols; the book-to-text library links against them directly.
#pragma once

namespace converters::book {

inline constexpr const char* kModule = "Rvbook.dll";
inline constexpr const char* kLoadEntryPoint = "_RuveloBook_Load@16";
inline constexpr const char* kUnloadEntryPoint = "_RuveloBook_Unload@4";
// The size of the buffer a caller may pass to receive the book's name.
inline constexpr int kNameBufferBytes = 128;

// `reserved` is always 0; `passThrough` is the caller's own value (a
// name buffer of kNameBufferBytes when the word processor calls).
using LoadFn = void* (*)(const char* bookPath, int* byteCount, int reserved, void* passThrough);
using UnloadFn = void (*)(void* bytes);

}  // namespace converters::book

extern "C" {
// Null when the book cannot be read; otherwise the bytes, `*byteCount`
// of them, kept until RuveloBook_Unload.
void* RuveloBook_Load(const char* bookPath, int* byteCount, int reserved, void* passThrough);
void RuveloBook_Unload(void* bytes);
}
