// The registry the program keeps between runs. The user's hive is a file
// in the user's configuration folder; the machine's hive is the defaults
// file installed with the program, which the program only reads (a write
// there fails quietly, as without administrator rights). Both are in the
// text form of registry_text.h.
//
// Changes are kept in memory and saved on Flush (and when the object
// goes): under a lock on a file beside the hive, the file as it is now is
// read again, this object's own changes are applied to it, and the result
// is written to a temporary file in the same folder, forced to disk and
// renamed over the old one. So two processes saving at once lose none of
// each other's changes, and a crash leaves the old file or the new one,
// whole. A damaged user file is set aside under a new name, reported
// once on standard error, and the hive starts empty; a damaged defaults
// file is reported and not used.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

// $XDG_CONFIG_HOME/lexora/registry.txt, else ~/.config/lexora/registry.txt.
std::string DefaultUserRegistryPath();

class FileRegistry final : public Registry {
 public:
  // Host paths. A missing file is an empty hive.
  FileRegistry(std::string userFile, std::string machineFile);
  ~FileRegistry() override;
  FileRegistry(const FileRegistry&) = delete;
  FileRegistry& operator=(const FileRegistry&) = delete;

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
  // Saves the changes made since the last save; true when there were none
  // or they are on disk. Changes that could not be saved are kept for the
  // next try.
  bool Flush() override;

  // Runs after the new file is on disk and before it replaces the old,
  // so that a test can end the process there.
  void SetBeforeReplace(std::function<void()> hook);

 private:
  struct Change;

  MemoryRegistry& Hive(RegistryHive hive) const;
  void Load();
  bool Save();

  const std::string userFile_;
  mutable std::mutex mutex_;
  std::unique_ptr<MemoryRegistry> user_;
  std::unique_ptr<MemoryRegistry> machine_;
  std::vector<Change> changes_;
  std::function<void()> beforeReplace_;
};

}  // namespace platform
