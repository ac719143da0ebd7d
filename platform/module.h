// Outside modules loaded by name at run time. A module named "NAME.dll"
// is the shared library NAME.so, looked for first in the program's own
// folder and then on the dynamic linker's search path. A missing module
// or entry point is an empty answer, never an error.
#pragma once

#include <string>
#include <string_view>

namespace platform {

using HMODULE = void*;
using FARPROC = void (*)();

// The shared-library file name for a module name: "vxtrusr.dll" gives
// "vxtrusr.so" (the extension is matched without regard to case).
std::string ModuleFileName(std::string_view moduleName);

HMODULE LoadLibraryA(const char* moduleName);
// The host symbol for an entry-point name: a stdcall-decorated name
// "_NAME@N" (N the argument bytes) is exported as plain NAME, since '@'
// has no place in a host symbol; every other name stands as it is.
std::string UndecoratedEntryPoint(std::string_view entryPoint);

// Null when the module lacks the entry point (under either name).
FARPROC GetProcAddress(HMODULE module, const char* entryPoint);
bool FreeLibrary(HMODULE module);

// One loaded module, freed when it goes out of scope.
class Module {
 public:
  Module() = default;
  explicit Module(const char* moduleName) : handle_(LoadLibraryA(moduleName)) {}
  ~Module();
  Module(Module&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
  Module& operator=(Module&& other) noexcept;
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  FARPROC Find(const char* entryPoint) const { return GetProcAddress(handle_, entryPoint); }
  // Entry points are bound to a function-pointer type chosen by the caller.
  template <typename Fn>
  Fn Bind(const char* entryPoint) const {
    return reinterpret_cast<Fn>(Find(entryPoint));
  }

 private:
  HMODULE handle_ = nullptr;
};

// Makes modules be looked for in `folder` only, and not on the linker's
// search path, while the guard lives; tests use it to choose between
// their own modules and none at all.
class ScopedModuleFolder {
 public:
  explicit ScopedModuleFolder(std::string folder);
  ~ScopedModuleFolder();
  ScopedModuleFolder(const ScopedModuleFolder&) = delete;
  ScopedModuleFolder& operator=(const ScopedModuleFolder&) = delete;

 private:
  std::string previous_;
  bool previousSet_;
};

}  // namespace platform
