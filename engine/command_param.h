// A numbered command's argument or value that carries a pointer to the
// caller's record; the one place where such a parameter becomes a typed
// pointer.
#pragma once

#include <cstdint>

template <typename T>
T* As(intptr_t value) {
  return reinterpret_cast<T*>(value);
}
