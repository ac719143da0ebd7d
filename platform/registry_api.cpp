#include "platform/registry_api.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace platform {
namespace {

constexpr REGSAM kWritingAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK |
                                  KEY_DELETE | KEY_WRITE_DAC | KEY_WRITE_OWNER;
constexpr uintptr_t kFirstHandle = 0x1000;
constexpr DWORD kDwordBytes = sizeof(DWORD);

struct OpenKey {
  RegistryHive hive;
  std::string path;
  REGSAM access;
  bool wrote = false;
};

struct Refusal {
  int id;
  RegistryHive hive;
  std::vector<std::string> parts;
  REGSAM refused;
};

// The handle table and the refusals, shared by every thread.
struct KeyTable {
  std::mutex mutex;
  std::map<uintptr_t, OpenKey> keys;
  uintptr_t nextHandle = kFirstHandle;
  std::vector<Refusal> refusals;
  int nextRefusal = 0;
};

KeyTable& Table() {
  static KeyTable table;
  return table;
}

std::optional<RegistryHive> PredefinedHive(HKEY key) {
  if (key == HKEY_CURRENT_USER) return RegistryHive::kCurrentUser;
  if (key == HKEY_LOCAL_MACHINE) return RegistryHive::kLocalMachine;
  return std::nullopt;
}

// The key a handle stands for; a hive's root may do anything.
std::optional<OpenKey> Lookup(HKEY key) {
  if (std::optional<RegistryHive> hive = PredefinedHive(key))
    return OpenKey{*hive, "", KEY_ALL_ACCESS};
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.keys.find(reinterpret_cast<uintptr_t>(key));
  if (found == table.keys.end()) return std::nullopt;
  return found->second;
}

void MarkWritten(HKEY key) {
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  auto found = table.keys.find(reinterpret_cast<uintptr_t>(key));
  if (found != table.keys.end()) found->second.wrote = true;
}

HKEY NewHandle(OpenKey key) {
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  const uintptr_t handle = table.nextHandle++;
  table.keys.emplace(handle, std::move(key));
  return reinterpret_cast<HKEY>(handle);
}

std::string JoinPath(std::string_view parent, const char* subKey) {
  if (subKey == nullptr || *subKey == '\0') return std::string(parent);
  if (parent.empty()) return subKey;
  return std::string(parent) + '\\' + subKey;
}

bool StartsWithParts(const std::vector<std::string>& path, const std::vector<std::string>& prefix) {
  return prefix.size() <= path.size() &&
         std::equal(prefix.begin(), prefix.end(), path.begin(), SameRegistryName);
}

bool Refused(RegistryHive hive, std::string_view path, REGSAM access) {
  if ((access & kWritingAccess) != 0 && !CurrentRegistry().IsWritable(hive)) return true;
  const std::vector<std::string> parts = RegistryPathParts(path);
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  return std::any_of(table.refusals.begin(), table.refusals.end(), [&](const Refusal& refusal) {
    return refusal.hive == hive && (refusal.refused & access) != 0 &&
           StartsWithParts(parts, refusal.parts);
  });
}

// The bytes a value is handed out as.
std::string ValueBytes(const RegistryValue& value, DWORD* type) {
  if (const std::string* text = std::get_if<std::string>(&value)) {
    *type = REG_SZ;
    return std::string(*text) + '\0';
  }
  if (const DWORD* number = std::get_if<DWORD>(&value)) {
    *type = REG_DWORD;
    std::string bytes(kDwordBytes, '\0');
    for (DWORD at = 0; at < kDwordBytes; ++at) bytes[at] = static_cast<char>(*number >> (8 * at));
    return bytes;
  }
  *type = REG_BINARY;
  const RegistryBinary& binary = std::get<RegistryBinary>(value);
  return std::string(binary.begin(), binary.end());
}

// Hands out a value's bytes as RegQueryValueEx does.
LONG CopyValue(const RegistryValue& value, DWORD* type, BYTE* data, DWORD* size) {
  DWORD valueType = REG_NONE;
  const std::string bytes = ValueBytes(value, &valueType);
  if (type != nullptr) *type = valueType;
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  if (size == nullptr) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(bytes.size());
  const bool fits = *size >= needed;
  *size = needed;
  if (data == nullptr) return ERROR_SUCCESS;
  if (!fits) return ERROR_MORE_DATA;
  std::memcpy(data, bytes.data(), bytes.size());
  return ERROR_SUCCESS;
}

// The value the bytes of a type stand for; false for bytes that do not
// fit the type or a type not kept.
bool ValueFromBytes(DWORD type, const BYTE* data, DWORD size, RegistryValue& value) {
  if (data == nullptr && size != 0) return false;
  static const BYTE kNothing = 0;
  if (size == 0) data = &kNothing;
  const char* bytes = reinterpret_cast<const char*>(data);
  switch (type) {
    case REG_SZ:
      value.emplace<std::string>(bytes, strnlen(bytes, size));
      return true;
    case REG_DWORD: {
      if (size != kDwordBytes) return false;
      DWORD number = 0;
      for (DWORD at = 0; at < kDwordBytes; ++at) number |= DWORD{data[at]} << (8 * at);
      value.emplace<DWORD>(number);
      return true;
    }
    case REG_BINARY:
      value.emplace<RegistryBinary>(data, data + size);
      return true;
    default:
      return false;
  }
}

// Copies a name into a caller's buffer of `size` characters with its zero.
bool CopyName(const std::string& name, char* buffer, DWORD size) {
  if (buffer == nullptr || name.size() + 1 > size) return false;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return true;
}

// The open key a call acts on, with the access it needs; the error when
// there is none.
struct Target {
  LONG status = ERROR_SUCCESS;
  OpenKey key{};
};

Target Resolve(HKEY handle, REGSAM needed) {
  std::optional<OpenKey> key = Lookup(handle);
  if (!key) return {ERROR_INVALID_HANDLE};
  if ((key->access & needed) != needed) return {ERROR_ACCESS_DENIED};
  if (!CurrentRegistry().OpenKey(key->hive, key->path, false)) return {ERROR_KEY_DELETED};
  return {ERROR_SUCCESS, std::move(*key)};
}

const char* NameOrDefault(const char* name) { return name != nullptr ? name : ""; }

}  // namespace

LONG RegOpenKeyEx(HKEY key, const char* subKey, DWORD options, REGSAM access, HKEY* result) {
  if (result == nullptr || options != 0) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::optional<OpenKey> parent = Lookup(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  OpenKey opened{parent->hive, JoinPath(parent->path, subKey), access};
  if (!CurrentRegistry().OpenKey(opened.hive, opened.path, false)) return ERROR_FILE_NOT_FOUND;
  if (Refused(opened.hive, opened.path, access)) return ERROR_ACCESS_DENIED;
  *result = NewHandle(std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegCreateKeyEx(HKEY key, const char* subKey, DWORD /*reserved*/, char* /*keyClass*/,
                    DWORD options, REGSAM access, const void* /*security*/, HKEY* result,
                    DWORD* disposition) {
  if (result == nullptr || options != REG_OPTION_NON_VOLATILE) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::optional<OpenKey> parent = Lookup(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  OpenKey opened{parent->hive, JoinPath(parent->path, subKey), access};
  Registry& registry = CurrentRegistry();
  const bool existed = registry.OpenKey(opened.hive, opened.path, false);
  if (Refused(opened.hive, opened.path, access)) return ERROR_ACCESS_DENIED;
  if (!existed) {
    if ((parent->access & KEY_CREATE_SUB_KEY) == 0 ||
        Refused(opened.hive, opened.path, KEY_CREATE_SUB_KEY) ||
        !registry.OpenKey(opened.hive, opened.path, true))
      return ERROR_ACCESS_DENIED;
    opened.wrote = true;
  }
  if (disposition != nullptr)
    *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
  *result = NewHandle(std::move(opened));
  return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* /*reserved*/, DWORD* type, BYTE* data,
                     DWORD* size) {
  Target target = Resolve(key, KEY_QUERY_VALUE);
  if (target.status != ERROR_SUCCESS) return target.status;
  std::optional<RegistryValue> value =
      CurrentRegistry().ReadValue(target.key.hive, target.key.path, NameOrDefault(name));
  if (!value) return ERROR_FILE_NOT_FOUND;
  return CopyValue(*value, type, data, size);
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD /*reserved*/, DWORD type, const BYTE* data,
                   DWORD size) {
  Target target = Resolve(key, KEY_SET_VALUE);
  if (target.status != ERROR_SUCCESS) return target.status;
  RegistryValue value;
  if (!ValueFromBytes(type, data, size, value)) return ERROR_INVALID_PARAMETER;
  if (!CurrentRegistry().WriteValue(target.key.hive, target.key.path, NameOrDefault(name),
                                    std::move(value)))
    return ERROR_ACCESS_DENIED;
  MarkWritten(key);
  return ERROR_SUCCESS;
}

LONG RegDeleteValue(HKEY key, const char* name) {
  Target target = Resolve(key, KEY_SET_VALUE);
  if (target.status != ERROR_SUCCESS) return target.status;
  Registry& registry = CurrentRegistry();
  if (!registry.ReadValue(target.key.hive, target.key.path, NameOrDefault(name)))
    return ERROR_FILE_NOT_FOUND;
  if (!registry.DeleteValue(target.key.hive, target.key.path, NameOrDefault(name)))
    return ERROR_ACCESS_DENIED;
  MarkWritten(key);
  return ERROR_SUCCESS;
}

LONG RegDeleteKey(HKEY key, const char* subKey) {
  if (subKey == nullptr || *subKey == '\0') return ERROR_INVALID_PARAMETER;
  Target target = Resolve(key, 0);
  if (target.status != ERROR_SUCCESS) return target.status;
  if ((target.key.access & kWritingAccess) == 0) return ERROR_ACCESS_DENIED;
  const std::string path = JoinPath(target.key.path, subKey);
  Registry& registry = CurrentRegistry();
  if (!registry.OpenKey(target.key.hive, path, false)) return ERROR_FILE_NOT_FOUND;
  if (Refused(target.key.hive, path, KEY_DELETE) || !registry.DeleteKey(target.key.hive, path))
    return ERROR_ACCESS_DENIED;
  MarkWritten(key);
  return ERROR_SUCCESS;
}

LONG RegEnumKey(HKEY key, DWORD index, char* name, DWORD size) {
  Target target = Resolve(key, KEY_ENUMERATE_SUB_KEYS);
  if (target.status != ERROR_SUCCESS) return target.status;
  const std::vector<std::string> names =
      CurrentRegistry().EnumKeys(target.key.hive, target.key.path);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  return CopyName(names[index], name, size) ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LONG RegEnumValue(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* /*reserved*/,
                  DWORD* type, BYTE* data, DWORD* dataSize) {
  if (nameSize == nullptr) return ERROR_INVALID_PARAMETER;
  Target target = Resolve(key, KEY_QUERY_VALUE);
  if (target.status != ERROR_SUCCESS) return target.status;
  Registry& registry = CurrentRegistry();
  const std::vector<std::string> names = registry.EnumValues(target.key.hive, target.key.path);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  const std::string& valueName = names[index];
  if (!CopyName(valueName, name, *nameSize)) return ERROR_MORE_DATA;
  *nameSize = static_cast<DWORD>(valueName.size());
  std::optional<RegistryValue> value =
      registry.ReadValue(target.key.hive, target.key.path, valueName);
  if (!value) return ERROR_NO_MORE_ITEMS;
  return CopyValue(*value, type, data, dataSize);
}

LONG RegCloseKey(HKEY key) {
  if (PredefinedHive(key)) return ERROR_SUCCESS;
  bool wrote = false;
  {
    KeyTable& table = Table();
    std::lock_guard lock(table.mutex);
    auto found = table.keys.find(reinterpret_cast<uintptr_t>(key));
    if (found == table.keys.end()) return ERROR_INVALID_HANDLE;
    wrote = found->second.wrote;
    table.keys.erase(found);
  }
  if (wrote) CurrentRegistry().Flush();
  return ERROR_SUCCESS;
}

ScopedRegistryRefusal::ScopedRegistryRefusal(HKEY root, std::string_view path, REGSAM refused) {
  const RegistryHive hive = PredefinedHive(root).value_or(RegistryHive::kCurrentUser);
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  id_ = table.nextRefusal++;
  table.refusals.push_back({id_, hive, RegistryPathParts(path), refused});
}

ScopedRegistryRefusal::~ScopedRegistryRefusal() {
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  std::erase_if(table.refusals, [this](const Refusal& refusal) { return refusal.id == id_; });
}

size_t OpenRegistryKeyCount() {
  KeyTable& table = Table();
  std::lock_guard lock(table.mutex);
  return table.keys.size();
}

}  // namespace platform
