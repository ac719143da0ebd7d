// The registry as the program reads and writes it: two hives of keys, a
// key named by its path from the hive ("Software\ZNT\Lexora3\Settings",
// parts separated by backslashes that stand at character boundaries, so a
// trail byte 0x5C never splits a name), each key holding subkeys and
// named values, a string (CP932 bytes) or a DWORD. Key and value names
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

class Registry {
 public:
  virtual ~Registry() = default;

  // Whether the key exists; with `create`, it is made first with any
  // parents missing. An empty path names the hive's root.
  virtual bool OpenKey(RegistryHive hive, std::string_view path, bool create) = 0;
  // The value when it exists and has that type.
  virtual std::optional<std::string> ReadString(RegistryHive hive, std::string_view path,
                                                std::string_view name) const = 0;
  virtual std::optional<DWORD> ReadDword(RegistryHive hive, std::string_view path,
                                         std::string_view name) const = 0;
  // Makes the key as OpenKey does and sets the value, replacing one of
  // either type under the same name.
  virtual bool WriteString(RegistryHive hive, std::string_view path, std::string_view name,
                           std::string_view value) = 0;
  virtual bool WriteDword(RegistryHive hive, std::string_view path, std::string_view name,
                          DWORD value) = 0;
  // The names of the key's subkeys or of its values, in the order they
  // were made and spelt as they were first; empty for no key.
  virtual std::vector<std::string> EnumKeys(RegistryHive hive, std::string_view path) const = 0;
  virtual std::vector<std::string> EnumValues(RegistryHive hive, std::string_view path) const = 0;
};

struct MemoryRegistryKey;

// Keeps every hive in memory for the life of the object; safe to use from
// any thread.
class MemoryRegistry final : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

  bool OpenKey(RegistryHive hive, std::string_view path, bool create) override;
  std::optional<std::string> ReadString(RegistryHive hive, std::string_view path,
                                        std::string_view name) const override;
  std::optional<DWORD> ReadDword(RegistryHive hive, std::string_view path,
                                 std::string_view name) const override;
  bool WriteString(RegistryHive hive, std::string_view path, std::string_view name,
                   std::string_view value) override;
  bool WriteDword(RegistryHive hive, std::string_view path, std::string_view name,
                  DWORD value) override;
  std::vector<std::string> EnumKeys(RegistryHive hive, std::string_view path) const override;
  std::vector<std::string> EnumValues(RegistryHive hive, std::string_view path) const override;

 private:
  using Data = std::variant<std::string, DWORD>;

  MemoryRegistryKey& Root(RegistryHive hive) const;
  bool Write(RegistryHive hive, std::string_view path, std::string_view name, Data data);
  template <class T>
  std::optional<T> Read(RegistryHive hive, std::string_view path, std::string_view name) const;

  mutable std::mutex mutex_;
  std::unique_ptr<MemoryRegistryKey> currentUser_;
  std::unique_ptr<MemoryRegistryKey> localMachine_;
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
