// Resources in code. The application's string table, menus, accelerator
// tables and toolbars are tables in its source, registered by id at
// start-up into one registry per kind, and loaded from there by id. Their
// texts are written once in UTF-8 and held as CP932 bytes from the moment
// they are registered, so a loaded text compares byte for byte.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sjis.h"
#include "platform/window_message.h"

namespace framework {

using platform::UINT;

// Resources of one kind by id. An entry is never replaced, so what Find
// answers stays valid until Clear.
template <typename Resource>
class ResourceRegistry {
 public:
  // False when the id is taken.
  bool Add(UINT id, Resource resource) {
    std::lock_guard lock(mutex_);
    return entries_.emplace(id, std::move(resource)).second;
  }
  bool Contains(UINT id) const {
    std::lock_guard lock(mutex_);
    return entries_.contains(id);
  }
  // nullptr when none is registered.
  const Resource* Find(UINT id) const {
    std::lock_guard lock(mutex_);
    const auto found = entries_.find(id);
    return found == entries_.end() ? nullptr : &found->second;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::map<UINT, Resource> entries_;
};

// The CP932 bytes of a resource text written in UTF-8; nullopt when the
// text is not UTF-8 or has a character CP932 lacks.
inline std::optional<std::string> ResourceText(std::string_view utf8) {
  return platform::Utf8ToSjis(utf8);
}

}  // namespace framework
