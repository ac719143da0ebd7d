// The registry as the program reads and writes it: two hives of keys, a
// key named by its path from the hive ("Software\ZNT\Lexora3\Settings",
// parts separated by backslashes that stand at character boundaries, so a
// trail byte 0x5C never splits a name), each key holding subkeys and
// named values, a string (CP932 bytes), a DWORD or binary bytes. Key and value names
// match ignoring ASCII case; a trail byte is never folded.
//
// `Registry` is the store's interface. The process has one: a
// `MemoryRegistry` until another is installed (tests install their own;
// the file-backed store takes its place in the program).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/window_message.h"

namespace platform {

enum class RegistryHive { kCurrentUser, kLocalMachine };

using RegistryBinary = std::vector<uint8_t>;
using RegistryValue = std::variant<std::string, DWORD, RegistryBinary>;

class Registry {
 public:
  virtual ~Registry() = default;

  // Whether the key exists; with `create`, it is made first with any
  // parents missing. An empty path names the hive's root. A hive that
  // cannot be written makes nothing.
  virtual bool OpenKey(RegistryHive hive, std::string_view path, bool create) = 0;
  virtual std::optional<RegistryValue> ReadValue(RegistryHive hive, std::string_view path,
                                                 std::string_view name) const = 0;
  // Makes the key as OpenKey does and sets the value, replacing one of
  // any type under the same name. False, changing nothing, when the hive
  // cannot be written.
  virtual bool WriteValue(RegistryHive hive, std::string_view path, std::string_view name,
                          RegistryValue value) = 0;
  // False when there was nothing to delete or the hive cannot be written.
  virtual bool DeleteValue(RegistryHive hive, std::string_view path, std::string_view name) = 0;
  // Deletes the key with all its subkeys; the root of a hive is never
  // deleted.
  virtual bool DeleteKey(RegistryHive hive, std::string_view path) = 0;
  // The names of the key's subkeys or of its values, in the order they
  // were made and spelt as they were first; empty for no key.
  virtual std::vector<std::string> EnumKeys(RegistryHive hive, std::string_view path) const = 0;
  virtual std::vector<std::string> EnumValues(RegistryHive hive, std::string_view path) const = 0;
  virtual bool IsWritable(RegistryHive hive) const = 0;
  // Makes the changes so far last beyond the process; true when they do.
  virtual bool Flush() = 0;

  // The value when it exists and has that type.
  std::optional<std::string> ReadString(RegistryHive hive, std::string_view path,
                                        std::string_view name) const;
  std::optional<DWORD> ReadDword(RegistryHive hive, std::string_view path,
                                 std::string_view name) const;
  std::optional<RegistryBinary> ReadBinary(RegistryHive hive, std::string_view path,
                                           std::string_view name) const;
  bool WriteString(RegistryHive hive, std::string_view path, std::string_view name,
                   std::string_view value);
  bool WriteDword(RegistryHive hive, std::string_view path, std::string_view name, DWORD value);
  bool WriteBinary(RegistryHive hive, std::string_view path, std::string_view name,
                   RegistryBinary value);
};

// Whether two key or value names are one: ASCII case is ignored, a
// double-byte character is compared whole.
bool SameRegistryName(std::string_view a, std::string_view b);
// The names along a path; empty parts (a leading, trailing or doubled
// backslash) name nothing.
std::vector<std::string> RegistryPathParts(std::string_view path);

struct MemoryRegistryKey;

// Keeps every hive in memory for the life of the object; safe to use from
// any thread. Both hives can be written unless the machine hive is made
// read-only.
class MemoryRegistry final : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

  bool OpenKey(RegistryHive hive, std::string_view path, bool create) override;
  std::optional<RegistryValue> ReadValue(RegistryHive hive, std::string_view path,
                                         std::string_view name) const override;
  bool WriteValue(RegistryHive hive, std::string_view path, std::string_view name,
                  RegistryValue value) override;
  bool DeleteValue(RegistryHive hive, std::string_view path, std::string_view name) override;
  bool DeleteKey(RegistryHive hive, std::string_view path) override;
  std::vector<std::string> EnumKeys(RegistryHive hive, std::string_view path) const override;
  std::vector<std::string> EnumValues(RegistryHive hive, std::string_view path) const override;
  bool IsWritable(RegistryHive hive) const override;
  bool Flush() override { return true; }

  // As for a user without administrator rights.
  void SetMachineReadOnly(bool readOnly);

 private:
  MemoryRegistryKey& Root(RegistryHive hive) const;

  mutable std::mutex mutex_;
  std::unique_ptr<MemoryRegistryKey> currentUser_;
  std::unique_ptr<MemoryRegistryKey> localMachine_;
  bool machineReadOnly_ = false;
};

// The process's registry.
Registry& CurrentRegistry();

// Installs a registry for the life of the scope.
class ScopedRegistry {
 public:
  explicit ScopedRegistry(Registry& registry);
  ~ScopedRegistry();
  ScopedRegistry(const ScopedRegistry&) = delete;
  ScopedRegistry& operator=(const ScopedRegistry&) = delete;

 private:
  Registry* previous_;
};

}  // namespace platform
