#include "platform/registry.h"

#include <algorithm>
#include <utility>

#include "platform/sjis.h"

namespace platform {

struct MemoryRegistryKey {
  struct Value {
    std::string name;
    std::variant<std::string, DWORD> data;
  };

  std::string name;
  std::vector<std::unique_ptr<MemoryRegistryKey>> subkeys;
  std::vector<Value> values;
};

namespace {

using Key = MemoryRegistryKey;

Registry* g_current = nullptr;

char FoldAscii(char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Compares two names ignoring ASCII case, stepping over double-byte
// characters whole so that a trail byte is compared as it is.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t at = 0; at < a.size();) {
    const size_t length = CharLengthAt(a, at);
    if (length == 1 ? FoldAscii(a[at]) != FoldAscii(b[at])
                    : a.substr(at, length) != b.substr(at, length))
      return false;
    at += length;
  }
  return true;
}

// The path's names; empty parts (a leading, trailing or doubled
// backslash) name nothing.
std::vector<std::string> PartsOf(std::string_view path) {
  std::vector<std::string> parts = SplitDbcs(path, '\\');
  std::erase_if(parts, [](const std::string& part) { return part.empty(); });
  return parts;
}

Key* Subkey(const Key& key, std::string_view name) {
  for (const std::unique_ptr<Key>& subkey : key.subkeys)
    if (SameName(subkey->name, name)) return subkey.get();
  return nullptr;
}

const Key* Find(const Key& root, std::string_view path) {
  const Key* at = &root;
  for (const std::string& part : PartsOf(path))
    if ((at = Subkey(*at, part)) == nullptr) return nullptr;
  return at;
}

Key& Make(Key& root, std::string_view path) {
  Key* at = &root;
  for (const std::string& part : PartsOf(path)) {
    Key* next = Subkey(*at, part);
    if (next == nullptr) {
      at->subkeys.push_back(std::make_unique<Key>());
      next = at->subkeys.back().get();
      next->name = part;
    }
    at = next;
  }
  return *at;
}

const Key::Value* FindValue(const Key& key, std::string_view name) {
  for (const Key::Value& value : key.values)
    if (SameName(value.name, name)) return &value;
  return nullptr;
}

}  // namespace

MemoryRegistry::MemoryRegistry()
    : currentUser_(std::make_unique<Key>()), localMachine_(std::make_unique<Key>()) {}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistryKey& MemoryRegistry::Root(RegistryHive hive) const {
  return hive == RegistryHive::kCurrentUser ? *currentUser_ : *localMachine_;
}

bool MemoryRegistry::OpenKey(RegistryHive hive, std::string_view path, bool create) {
  std::lock_guard lock(mutex_);
  if (create) Make(Root(hive), path);
  return Find(Root(hive), path) != nullptr;
}

template <class T>
std::optional<T> MemoryRegistry::Read(RegistryHive hive, std::string_view path,
                                      std::string_view name) const {
  std::lock_guard lock(mutex_);
  const Key* key = Find(Root(hive), path);
  const Key::Value* value = key != nullptr ? FindValue(*key, name) : nullptr;
  if (value == nullptr || !std::holds_alternative<T>(value->data)) return std::nullopt;
  return std::get<T>(value->data);
}

std::optional<std::string> MemoryRegistry::ReadString(RegistryHive hive, std::string_view path,
                                                      std::string_view name) const {
  return Read<std::string>(hive, path, name);
}

std::optional<DWORD> MemoryRegistry::ReadDword(RegistryHive hive, std::string_view path,
                                               std::string_view name) const {
  return Read<DWORD>(hive, path, name);
}

bool MemoryRegistry::Write(RegistryHive hive, std::string_view path, std::string_view name,
                           Data data) {
  std::lock_guard lock(mutex_);
  Key& key = Make(Root(hive), path);
  for (Key::Value& value : key.values) {
    if (SameName(value.name, name)) {
      value.data = std::move(data);
      return true;
    }
  }
  key.values.push_back({std::string(name), std::move(data)});
  return true;
}

bool MemoryRegistry::WriteString(RegistryHive hive, std::string_view path, std::string_view name,
                                 std::string_view value) {
  return Write(hive, path, name, std::string(value));
}

bool MemoryRegistry::WriteDword(RegistryHive hive, std::string_view path, std::string_view name,
                                DWORD value) {
  return Write(hive, path, name, value);
}

std::vector<std::string> MemoryRegistry::EnumKeys(RegistryHive hive, std::string_view path) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  if (const Key* key = Find(Root(hive), path))
    for (const std::unique_ptr<Key>& subkey : key->subkeys) names.push_back(subkey->name);
  return names;
}

std::vector<std::string> MemoryRegistry::EnumValues(RegistryHive hive,
                                                    std::string_view path) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> names;
  if (const Key* key = Find(Root(hive), path))
    for (const Key::Value& value : key->values) names.push_back(value.name);
  return names;
}

Registry& CurrentRegistry() {
  static MemoryRegistry processRegistry;
  return g_current != nullptr ? *g_current : processRegistry;
}

ScopedRegistry::ScopedRegistry(Registry& registry) : previous_(g_current) { g_current = &registry; }

ScopedRegistry::~ScopedRegistry() { g_current = previous_; }

}  // namespace platform
