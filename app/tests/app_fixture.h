// A world of its own for each settings test: a home ("C:") and a program
// folder ("D:") in a temporary folder, the environment pointing there,
// and a registry of the test's own with a machine hive a user cannot write.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/registry.h"

namespace apptest {

inline constexpr platform::RegistryHive kUser = platform::RegistryHive::kCurrentUser;
inline constexpr platform::RegistryHive kMachine = platform::RegistryHive::kLocalMachine;

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class AppWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/lexora-app-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(Home() / ".config");
    std::filesystem::create_directories(Program());
    drives_.emplace(
        std::vector<platform::DriveMapping>{{'C', Home().string()}, {'D', Program().string()}});
    SetVariable("HOME", Home().string());
    SetVariable("XDG_CONFIG_HOME", (Home() / ".config").string());
    SetVariable("XDG_DATA_HOME", (Home() / ".local" / "share").string());
    registry_.emplace();
    scoped_.emplace(*registry_);
  }
  void TearDown() override {
    scoped_.reset();
    registry_.reset();
    drives_.reset();
    for (auto& [name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    std::error_code error;
    std::filesystem::remove_all(root_, error);
  }

  void SetVariable(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    setenv(name.c_str(), value.c_str(), 1);
  }

  std::filesystem::path Home() const { return root_ / "home"; }
  std::filesystem::path Program() const { return root_ / "program"; }
  platform::MemoryRegistry& Registry() { return *registry_; }

  std::filesystem::path root_;
  std::optional<platform::ScopedDriveTable> drives_;
  std::optional<platform::MemoryRegistry> registry_;
  std::optional<platform::ScopedRegistry> scoped_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace apptest
