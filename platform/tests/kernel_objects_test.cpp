#include "platform/kernel_objects.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/win_error.h"

namespace platform {
namespace {

// Each test gets a runtime folder of its own; names carry the process id
// because shared memory names are machine-wide and ctest runs in parallel.
class KernelObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("XDG_RUNTIME_DIR")) saved_ = old;
    char pattern[] = "/tmp/lexora-runtime-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    setenv("XDG_RUNTIME_DIR", folder_.c_str(), 1);
  }
  void TearDown() override {
    if (saved_) {
      setenv("XDG_RUNTIME_DIR", saved_->c_str(), 1);
    } else {
      unsetenv("XDG_RUNTIME_DIR");
    }
    std::filesystem::remove_all(folder_);
  }
  std::string Name(const char* base) const { return base + std::to_string(getpid()); }

  std::string folder_;
  std::optional<std::string> saved_;
};

// Runs `body` in a child that signals through a pipe when it holds what it
// made, then waits until told to end (or dies at once when `crash`).
class Holder {
 public:
  template <class Body>
  Holder(Body body, bool crash) {
    int ready[2];
    int finish[2];
    EXPECT_EQ(pipe(ready), 0);
    EXPECT_EQ(pipe(finish), 0);
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(finish[1]);
      body();
      char byte = 1;
      (void)!write(ready[1], &byte, 1);
      if (crash) _exit(9);  // no handle is closed
      (void)!read(finish[0], &byte, 1);
      _exit(0);
    }
    close(ready[1]);
    close(finish[0]);
    char byte = 0;
    EXPECT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    finish_ = finish[1];
  }
  void End() {
    close(finish_);
    int status = 0;
    waitpid(pid_, &status, 0);
  }

 private:
  pid_t pid_ = -1;
  int finish_ = -1;
};

TEST_F(KernelObjectsTest, AMutexExistsWhileSomebodyHoldsIt) {
  std::string name = Name("LexoraMutexTest");
  EXPECT_EQ(OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str()), 0u);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));

  HANDLE first = CreateMutex(nullptr, 0, name.c_str());
  ASSERT_NE(first, 0u);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_SUCCESS));
  HANDLE second = CreateMutex(nullptr, 0, name.c_str());
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
  HANDLE probe = OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str());
  EXPECT_NE(probe, 0u);
  EXPECT_TRUE(CloseHandle(probe));

  EXPECT_TRUE(CloseHandle(first));
  probe = OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str());
  EXPECT_NE(probe, 0u) << "the second handle still holds it";
  EXPECT_TRUE(CloseHandle(probe));
  EXPECT_TRUE(CloseHandle(second));
  EXPECT_EQ(OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str()), 0u);
  EXPECT_FALSE(CloseHandle(first));
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
}

TEST_F(KernelObjectsTest, AnotherProcessHoldsTheMutexUntilItEndsOrCrashes) {
  std::string name = Name("LexoraInstance");
  for (bool crash : {false, true}) {
    SCOPED_TRACE(crash ? "crashed" : "ended");
    Holder holder([&] { CreateMutex(nullptr, 0, name.c_str()); }, crash);
    if (!crash) {
      HANDLE seen = OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str());
      EXPECT_NE(seen, 0u);
      CloseHandle(seen);
    }
    holder.End();
    EXPECT_EQ(OpenMutex(MUTEX_ALL_ACCESS, 0, name.c_str()), 0u);
    HANDLE mine = CreateMutex(nullptr, 0, name.c_str());
    EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_SUCCESS))
        << "a dead holder's file is no mutex";
    CloseHandle(mine);
  }
}

TEST_F(KernelObjectsTest, NamedMemoryIsSharedBetweenProcesses) {
  std::string name = Name("LXRGLSXST");
  constexpr uint32_t kWords = 5;
  Holder holder(
      [&] {
        HANDLE mapping = CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                           kWords * sizeof(uint32_t), name.c_str());
        auto* words = static_cast<uint32_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        for (uint32_t i = 0; i < kWords; ++i) words[i] = 100 + i;
      },
      false);

  HANDLE opened = OpenFileMapping(FILE_MAP_READ, 0, name.c_str());
  ASSERT_NE(opened, 0u);
  auto* words = static_cast<const uint32_t*>(MapViewOfFile(opened, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(words, nullptr);
  EXPECT_EQ(words[0], 100u);
  EXPECT_EQ(words[4], 104u);
  EXPECT_EQ(MapViewOfFile(opened, FILE_MAP_ALL_ACCESS, 0, 0, 0), nullptr)
      << "opened for reading only";

  HANDLE again =
      CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_ALREADY_EXISTS));
  auto* shared = static_cast<uint32_t*>(MapViewOfFile(again, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(shared[1], 101u) << "an existing mapping keeps its content and size";
  EXPECT_EQ(MapViewOfFile(again, FILE_MAP_ALL_ACCESS, 0, 0, 4096), nullptr)
      << "beyond its 20 bytes";

  holder.End();
  EXPECT_TRUE(CloseHandle(opened));
  EXPECT_TRUE(CloseHandle(again));
  EXPECT_EQ(words[2], 102u) << "a view outlives its handle";
  HANDLE held = OpenFileMapping(FILE_MAP_READ, 0, name.c_str());
  EXPECT_NE(held, 0u) << "the views still hold it";
  CloseHandle(held);
  EXPECT_TRUE(UnmapViewOfFile(words));
  EXPECT_TRUE(UnmapViewOfFile(shared));
  EXPECT_FALSE(UnmapViewOfFile(shared));
  EXPECT_EQ(OpenFileMapping(FILE_MAP_READ, 0, name.c_str()), 0u) << "the last holder let it go";
}

TEST_F(KernelObjectsTest, MemoryLeftByACrashedProgramIsNotFound) {
  std::string name = Name("OrvoMappingFile");
  Holder holder(
      [&] {
        CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name.c_str());
      },
      true);
  holder.End();
  EXPECT_EQ(OpenFileMapping(FILE_MAP_READ, 0, name.c_str()), 0u);
  HANDLE fresh =
      CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 8, name.c_str());
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_SUCCESS));
  auto* bytes = static_cast<const uint8_t*>(MapViewOfFile(fresh, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[0], 0) << "made anew, zero-filled";
  UnmapViewOfFile(bytes);
  CloseHandle(fresh);
}

TEST_F(KernelObjectsTest, RefusedRequests) {
  EXPECT_EQ(CreateMutex(nullptr, 0, ""), 0u);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_INVALID_NAME));
  EXPECT_EQ(
      CreateFileMapping(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, Name("Empty").c_str()),
      0u);
  EXPECT_EQ(CreateFileMapping(3, nullptr, PAGE_READWRITE, 0, 16, Name("FileBacked").c_str()), 0u);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_INVALID_PARAMETER));
  HANDLE mutex = CreateMutex(nullptr, 0, Name("NotMemory").c_str());
  EXPECT_EQ(MapViewOfFile(mutex, FILE_MAP_READ, 0, 0, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<uint32_t>(ERROR_INVALID_HANDLE));
  CloseHandle(mutex);
}

TEST_F(KernelObjectsTest, TheRuntimeFolderIsPrivate) {
  std::optional<std::string> folder = RuntimeFolder();
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, folder_ + "/lexora");
  struct stat info {};
  ASSERT_EQ(stat(folder->c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A runtime folder others may enter is not used; the fallback under the
  // temporary folder is.
  chmod(folder_.c_str(), 0755);
  setenv("TMPDIR", folder_.c_str(), 1);
  folder = RuntimeFolder();
  unsetenv("TMPDIR");
  ASSERT_TRUE(folder);
  EXPECT_EQ(*folder, folder_ + "/lexora-" + std::to_string(geteuid()));
}

}  // namespace
}  // namespace platform
