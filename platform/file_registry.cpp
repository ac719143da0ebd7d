#include "platform/file_registry.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/registry_text.h"

namespace platform {
namespace {

constexpr RegistryHive kUser = RegistryHive::kCurrentUser;
constexpr RegistryHive kMachine = RegistryHive::kLocalMachine;
constexpr char kFolderName[] = "lexora";
constexpr char kFileName[] = "registry.txt";
constexpr char kLockSuffix[] = ".lock";
constexpr char kDamagedSuffix[] = ".damaged";
constexpr mode_t kPrivateFile = 0600;
constexpr mode_t kPrivateFolder = 0700;

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home == '/') return home;
  const passwd* entry = ::getpwuid(::getuid());
  return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "/";
}

std::string ConfigFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config != nullptr && *config == '/') return config;
  return HomeFolder() + "/.config";
}

// A name beside the damaged file that nothing has taken yet.
std::string DamagedName(const std::string& path) {
  std::string name = path + kDamagedSuffix;
  for (int number = 2; ::access(name.c_str(), F_OK) == 0; ++number)
    name = path + kDamagedSuffix + "." + std::to_string(number);
  return name;
}

// What reading a hive's file came to, and the hive read: empty unless
// the file was read whole.
struct HiveFile {
  enum class Result { kRead, kMissing, kDamaged } result;
  std::unique_ptr<MemoryRegistry> registry;
};

HiveFile ReadHive(const std::string& path, RegistryHive hive) {
  bool missing = false;
  const std::optional<std::string> text = ReadWholeFile(path, &missing);
  auto registry = std::make_unique<MemoryRegistry>();
  if (!text)
    return {missing ? HiveFile::Result::kMissing : HiveFile::Result::kDamaged, std::move(registry)};
  if (!ParseRegistryText(*text, *registry, hive))
    return {HiveFile::Result::kDamaged, std::make_unique<MemoryRegistry>()};
  return {HiveFile::Result::kRead, std::move(registry)};
}

// Keeps a damaged file for whoever wants to look at it, out of the way of
// the next save.
void SetAside(const std::string& path) {
  const std::string aside = DamagedName(path);
  if (::rename(path.c_str(), aside.c_str()) == 0)
    std::fprintf(stderr, "lexora: the settings file %s was damaged; it is kept as %s\n",
                 path.c_str(), aside.c_str());
  else
    std::fprintf(stderr, "lexora: the settings file %s is damaged and is not used\n", path.c_str());
}

}  // namespace

std::string DefaultUserRegistryPath() {
  return ConfigFolder() + "/" + kFolderName + "/" + kFileName;
}

// One change this object made, replayed over the file as another process
// may have left it.
struct FileRegistry::Change {
  enum class Kind { kMakeKey, kWriteValue, kDeleteValue, kDeleteKey };

  Kind kind;
  std::string path;
  std::string name;
  RegistryValue value;

  void ApplyTo(Registry& registry) const {
    switch (kind) {
      case Kind::kMakeKey:
        registry.OpenKey(kUser, path, true);
        break;
      case Kind::kWriteValue:
        registry.WriteValue(kUser, path, name, value);
        break;
      case Kind::kDeleteValue:
        registry.DeleteValue(kUser, path, name);
        break;
      case Kind::kDeleteKey:
        registry.DeleteKey(kUser, path);
        break;
    }
  }
};

FileRegistry::FileRegistry(std::string userFile, std::string machineFile)
    : userFile_(std::move(userFile)), user_(std::make_unique<MemoryRegistry>()) {
  Load();
  HiveFile machine = ReadHive(machineFile, kMachine);
  if (machine.result == HiveFile::Result::kDamaged)
    std::fprintf(stderr, "lexora: the defaults file %s is damaged and is not used\n",
                 machineFile.c_str());
  machine_ = std::move(machine.registry);
  machine_->SetMachineReadOnly(true);
}

FileRegistry::~FileRegistry() { Flush(); }

void FileRegistry::Load() {
  if (::access(userFile_.c_str(), F_OK) != 0) return;
  FileLock lock(userFile_ + kLockSuffix);
  HiveFile user = ReadHive(userFile_, kUser);
  if (user.result == HiveFile::Result::kDamaged) SetAside(userFile_);
  user_ = std::move(user.registry);
}

MemoryRegistry& FileRegistry::Hive(RegistryHive hive) const {
  return hive == kUser ? *user_ : *machine_;
}

bool FileRegistry::IsWritable(RegistryHive hive) const { return hive == kUser; }

bool FileRegistry::OpenKey(RegistryHive hive, std::string_view path, bool create) {
  std::lock_guard lock(mutex_);
  if (hive != kUser || !create) return Hive(hive).OpenKey(hive, path, false);
  if (user_->OpenKey(kUser, path, false)) return true;
  changes_.push_back({Change::Kind::kMakeKey, std::string(path), {}, {}});
  return user_->OpenKey(kUser, path, true);
}

std::optional<RegistryValue> FileRegistry::ReadValue(RegistryHive hive, std::string_view path,
                                                     std::string_view name) const {
  std::lock_guard lock(mutex_);
  return Hive(hive).ReadValue(hive, path, name);
}

bool FileRegistry::WriteValue(RegistryHive hive, std::string_view path, std::string_view name,
                              RegistryValue value) {
  if (hive != kUser) return false;
  std::lock_guard lock(mutex_);
  changes_.push_back({Change::Kind::kWriteValue, std::string(path), std::string(name), value});
  return user_->WriteValue(kUser, path, name, std::move(value));
}

bool FileRegistry::DeleteValue(RegistryHive hive, std::string_view path, std::string_view name) {
  if (hive != kUser) return false;
  std::lock_guard lock(mutex_);
  if (!user_->DeleteValue(kUser, path, name)) return false;
  changes_.push_back({Change::Kind::kDeleteValue, std::string(path), std::string(name), {}});
  return true;
}

bool FileRegistry::DeleteKey(RegistryHive hive, std::string_view path) {
  if (hive != kUser) return false;
  std::lock_guard lock(mutex_);
  if (!user_->DeleteKey(kUser, path)) return false;
  changes_.push_back({Change::Kind::kDeleteKey, std::string(path), {}, {}});
  return true;
}

std::vector<std::string> FileRegistry::EnumKeys(RegistryHive hive, std::string_view path) const {
  std::lock_guard lock(mutex_);
  return Hive(hive).EnumKeys(hive, path);
}

std::vector<std::string> FileRegistry::EnumValues(RegistryHive hive, std::string_view path) const {
  std::lock_guard lock(mutex_);
  return Hive(hive).EnumValues(hive, path);
}

void FileRegistry::SetBeforeReplace(std::function<void()> hook) {
  std::lock_guard lock(mutex_);
  beforeReplace_ = std::move(hook);
}

bool FileRegistry::Flush() {
  std::lock_guard lock(mutex_);
  if (changes_.empty()) return true;
  if (Save()) return true;
  std::fprintf(stderr, "lexora: the settings could not be saved to %s: %s\n", userFile_.c_str(),
               std::strerror(errno));
  return false;
}

bool FileRegistry::Save() {
  if (!MakeFolders(FolderOf(userFile_), kPrivateFolder)) return false;
  FileLock lock(userFile_ + kLockSuffix);
  if (!lock.Held()) return false;
  // The file as the last saver left it; when it cannot be read, what this
  // object holds stands in for it.
  HiveFile saved = ReadHive(userFile_, kUser);
  std::unique_ptr<MemoryRegistry> merged = std::move(saved.registry);
  if (saved.result == HiveFile::Result::kDamaged) {
    SetAside(userFile_);
    ParseRegistryText(FormatRegistryText(*user_, kUser), *merged, kUser);
  } else {
    for (const Change& change : changes_) change.ApplyTo(*merged);
  }
  if (!WriteFileAtomically(userFile_, FormatRegistryText(*merged, kUser), kPrivateFile,
                           beforeReplace_))
    return false;
  user_ = std::move(merged);
  changes_.clear();
  return true;
}

}  // namespace platform
