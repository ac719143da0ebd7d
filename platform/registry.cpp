#include "platform/registry.h"

#include <algorithm>
#include <utility>

#include "platform/sjis.h"

namespace platform {

struct MemoryRegistryKey {
  struct Value {
    std::string name;
    RegistryValue data;
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

Key* Subkey(const Key& key, std::string_view name) {
  for (const std::unique_ptr<Key>& subkey : key.subkeys)
    if (SameRegistryName(subkey->name, name)) return subkey.get();
  return nullptr;
}

Key* Find(Key& root, const std::vector<std::string>& parts) {
  Key* at = &root;
  for (const std::string& part : parts)
    if ((at = Subkey(*at, part)) == nullptr) return nullptr;
  return at;
}

Key* Find(Key& root, std::string_view path) { return Find(root, RegistryPathParts(path)); }

Key& Make(Key& root, std::string_view path) {
  Key* at = &root;
  for (const std::string& part : RegistryPathParts(path)) {
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
    if (SameRegistryName(value.name, name)) return &value;
  return nullptr;
}

template <class T>
std::optional<T> ValueAs(std::optional<RegistryValue> value) {
  if (!value || !std::holds_alternative<T>(*value)) return std::nullopt;
  return std::get<T>(std::move(*value));
}

}  // namespace

bool SameRegistryName(std::string_view a, std::string_view b) {
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

std::vector<std::string> RegistryPathParts(std::string_view path) {
  std::vector<std::string> parts = SplitDbcs(path, '\\');
  std::erase_if(parts, [](const std::string& part) { return part.empty(); });
  return parts;
}

std::optional<std::string> Registry::ReadString(RegistryHive hive, std::string_view path,
                                                std::string_view name) const {
  return ValueAs<std::string>(ReadValue(hive, path, name));
}

std::optional<DWORD> Registry::ReadDword(RegistryHive hive, std::string_view path,
                                         std::string_view name) const {
  return ValueAs<DWORD>(ReadValue(hive, path, name));
}

std::optional<RegistryBinary> Registry::ReadBinary(RegistryHive hive, std::string_view path,
                                                   std::string_view name) const {
  return ValueAs<RegistryBinary>(ReadValue(hive, path, name));
}

bool Registry::WriteString(RegistryHive hive, std::string_view path, std::string_view name,
                           std::string_view value) {
  return WriteValue(hive, path, name, RegistryValue(std::in_place_type<std::string>, value));
}

bool Registry::WriteDword(RegistryHive hive, std::string_view path, std::string_view name,
                          DWORD value) {
  return WriteValue(hive, path, name, RegistryValue(value));
}

bool Registry::WriteBinary(RegistryHive hive, std::string_view path, std::string_view name,
                           RegistryBinary value) {
  return WriteValue(hive, path, name, RegistryValue(std::move(value)));
}

MemoryRegistry::MemoryRegistry()
    : currentUser_(std::make_unique<Key>()), localMachine_(std::make_unique<Key>()) {}

MemoryRegistry::~MemoryRegistry() = default;

MemoryRegistryKey& MemoryRegistry::Root(RegistryHive hive) const {
  return hive == RegistryHive::kCurrentUser ? *currentUser_ : *localMachine_;
}

bool MemoryRegistry::IsWritable(RegistryHive hive) const {
  std::lock_guard lock(mutex_);
  return hive == RegistryHive::kCurrentUser || !machineReadOnly_;
}

void MemoryRegistry::SetMachineReadOnly(bool readOnly) {
  std::lock_guard lock(mutex_);
  machineReadOnly_ = readOnly;
}

bool MemoryRegistry::OpenKey(RegistryHive hive, std::string_view path, bool create) {
  const bool make = create && IsWritable(hive);
  std::lock_guard lock(mutex_);
  if (make) Make(Root(hive), path);
  return Find(Root(hive), path) != nullptr;
}

std::optional<RegistryValue> MemoryRegistry::ReadValue(RegistryHive hive, std::string_view path,
                                                       std::string_view name) const {
  std::lock_guard lock(mutex_);
  const Key* key = Find(Root(hive), path);
  const Key::Value* value = key != nullptr ? FindValue(*key, name) : nullptr;
  if (value == nullptr) return std::nullopt;
  return value->data;
}

bool MemoryRegistry::WriteValue(RegistryHive hive, std::string_view path, std::string_view name,
                                RegistryValue data) {
  if (!IsWritable(hive)) return false;
  std::lock_guard lock(mutex_);
  Key& key = Make(Root(hive), path);
  for (Key::Value& value : key.values) {
    if (SameRegistryName(value.name, name)) {
      value.data = std::move(data);
      return true;
    }
  }
  key.values.push_back({std::string(name), std::move(data)});
  return true;
}

bool MemoryRegistry::DeleteValue(RegistryHive hive, std::string_view path, std::string_view name) {
  if (!IsWritable(hive)) return false;
  std::lock_guard lock(mutex_);
  Key* key = Find(Root(hive), path);
  return key != nullptr && std::erase_if(key->values, [&](const Key::Value& value) {
                             return SameRegistryName(value.name, name);
                           }) > 0;
}

bool MemoryRegistry::DeleteKey(RegistryHive hive, std::string_view path) {
  std::vector<std::string> parts = RegistryPathParts(path);
  if (parts.empty() || !IsWritable(hive)) return false;
  const std::string name = std::move(parts.back());
  parts.pop_back();
  std::lock_guard lock(mutex_);
  Key* parent = Find(Root(hive), parts);
  return parent != nullptr && std::erase_if(parent->subkeys, [&](const std::unique_ptr<Key>& key) {
                                return SameRegistryName(key->name, name);
                              }) > 0;
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
