#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <utility>

#include "platform/system_info.h"

namespace platform {

namespace {

constexpr std::string_view kWindowsExtension = ".dll";
constexpr std::string_view kHostExtension = ".so";

struct SearchOverride {
  std::mutex mutex;
  bool active = false;
  std::string folder;
};

SearchOverride& Override() {
  static SearchOverride searchOverride;
  return searchOverride;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix) {
  if (text.size() < suffix.size()) return false;
  return std::equal(suffix.begin(), suffix.end(), text.end() - suffix.size(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  });
}

HMODULE OpenFrom(const std::string& folder, const std::string& file) {
  const std::string path = folder + "/" + file;
  if (::access(path.c_str(), F_OK) != 0) return nullptr;
  return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

constexpr char kDecorationPrefix = '_';
constexpr char kDecorationSeparator = '@';

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

}  // namespace

std::string UndecoratedEntryPoint(std::string_view entryPoint) {
  const size_t separator = entryPoint.rfind(kDecorationSeparator);
  if (entryPoint.size() < 2 || entryPoint.front() != kDecorationPrefix ||
      separator == std::string_view::npos || separator < 2 ||
      !AllDigits(entryPoint.substr(separator + 1))) {
    return std::string(entryPoint);
  }
  return std::string(entryPoint.substr(1, separator - 1));
}

std::string ModuleFileName(std::string_view moduleName) {
  if (EndsWithIgnoringCase(moduleName, kWindowsExtension)) {
    moduleName.remove_suffix(kWindowsExtension.size());
  }
  return std::string(moduleName) + std::string(kHostExtension);
}

HMODULE LoadLibraryA(const char* moduleName) {
  if (moduleName == nullptr || *moduleName == '\0') return nullptr;
  const std::string file = ModuleFileName(moduleName);
  {
    SearchOverride& search = Override();
    std::lock_guard lock(search.mutex);
    if (search.active) return OpenFrom(search.folder, file);
  }
  if (HMODULE own = OpenFrom(ProgramFolder(), file)) return own;
  return ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
}

FARPROC GetProcAddress(HMODULE module, const char* entryPoint) {
  if (module == nullptr || entryPoint == nullptr) return nullptr;
  if (void* exact = ::dlsym(module, entryPoint)) return reinterpret_cast<FARPROC>(exact);
  const std::string undecorated = UndecoratedEntryPoint(entryPoint);
  if (undecorated == entryPoint) return nullptr;
  return reinterpret_cast<FARPROC>(::dlsym(module, undecorated.c_str()));
}

bool FreeLibrary(HMODULE module) { return module != nullptr && ::dlclose(module) == 0; }

Module::~Module() { FreeLibrary(handle_); }

Module& Module::operator=(Module&& other) noexcept {
  if (this != &other) {
    FreeLibrary(handle_);
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

ScopedModuleFolder::ScopedModuleFolder(std::string folder) {
  SearchOverride& search = Override();
  std::lock_guard lock(search.mutex);
  previous_ = std::exchange(search.folder, std::move(folder));
  previousSet_ = std::exchange(search.active, true);
}

ScopedModuleFolder::~ScopedModuleFolder() {
  SearchOverride& search = Override();
  std::lock_guard lock(search.mutex);
  search.folder = std::move(previous_);
  search.active = previousSet_;
}

}  // namespace platform
