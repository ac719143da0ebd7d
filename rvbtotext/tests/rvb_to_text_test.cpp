#include "rvbtotext/rvb_to_text.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "converters/book_loader.h"
#include "converters/testing/book_loader.h"
#include "platform/module.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class RvbToTxtTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Tests run side by side in processes of their own: one folder each.
    dir_ = fs::path(::testing::TempDir()) /
           (std::string("rvbtotext_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    ASSERT_TRUE(library_.IsLoaded());
    convert_ = library_.Bind<rvbtotext::RvbToTxtFn>(rvbtotext::kEntryPoint);
    outstanding_ = library_.Bind<converters::testing::OutstandingFn>(
        converters::testing::kOutstandingEntryPoint);
    lastPassThrough_ = library_.Bind<converters::testing::LastPassThroughFn>(
        converters::testing::kLastPassThroughEntryPoint);
    ASSERT_NE(convert_, nullptr);
    ASSERT_NE(outstanding_, nullptr);
    ASSERT_NE(lastPassThrough_, nullptr);
  }
  void TearDown() override { fs::remove_all(dir_); }

  int Convert(const fs::path& book, const fs::path& text, std::uintptr_t passThrough = 0) {
    return convert_(book.c_str(), text.c_str(), passThrough);
  }

  fs::path dir_;
  platform::ScopedModuleFolder folder_{LEXORA_BOOK_TEST_MODULES};
  platform::Module library_{rvbtotext::kModule};
  rvbtotext::RvbToTxtFn convert_ = nullptr;
  converters::testing::OutstandingFn outstanding_ = nullptr;
  converters::testing::LastPassThroughFn lastPassThrough_ = nullptr;
};

TEST_F(RvbToTxtTest, ABookWithoutDataCreatesNothing) {
  EXPECT_EQ(Convert(dir_ / "missing.rvb", dir_ / "out.txt"), rvbtotext::kNoData);
  EXPECT_FALSE(fs::exists(dir_ / "out.txt"));
  EXPECT_EQ(outstanding_(), 0);
}

TEST_F(RvbToTxtTest, TheBooksBytesAreWrittenUnchanged) {
  const std::string bytes("\x96\x7B\x95\xB6\r\n\0\xFF", 8);
  WriteAll(dir_ / "book.rvb", bytes);
  EXPECT_EQ(Convert(dir_ / "book.rvb", dir_ / "out.txt"), rvbtotext::kWritten);
  EXPECT_EQ(ReadAll(dir_ / "out.txt"), bytes);
  EXPECT_EQ(outstanding_(), 0);
}

TEST_F(RvbToTxtTest, AnEmptyBookMakesAnEmptyFile) {
  WriteAll(dir_ / "empty.rvb", "");
  EXPECT_EQ(Convert(dir_ / "empty.rvb", dir_ / "out.txt"), rvbtotext::kWritten);
  ASSERT_TRUE(fs::exists(dir_ / "out.txt"));
  EXPECT_EQ(fs::file_size(dir_ / "out.txt"), 0u);
  EXPECT_EQ(outstanding_(), 0);
}

TEST_F(RvbToTxtTest, AnExistingFileIsReplaced) {
  WriteAll(dir_ / "book.rvb", "new");
  WriteAll(dir_ / "out.txt", "a much longer old text");
  EXPECT_EQ(Convert(dir_ / "book.rvb", dir_ / "out.txt"), rvbtotext::kWritten);
  EXPECT_EQ(ReadAll(dir_ / "out.txt"), "new");
}

TEST_F(RvbToTxtTest, AFailedWriteStillReleasesTheBook) {
  WriteAll(dir_ / "book.rvb", "text");
  // A folder that does not exist cannot be created in; a full device
  // opens but refuses the bytes.
  const fs::path targets[] = {dir_ / "no such folder" / "out.txt", "/dev/full"};
  for (const fs::path& target : targets) {
    EXPECT_EQ(Convert(dir_ / "book.rvb", target), rvbtotext::kWriteFailed) << target;
    EXPECT_EQ(outstanding_(), 0) << target;
  }
  EXPECT_FALSE(fs::exists(dir_ / "no such folder"));
}

TEST_F(RvbToTxtTest, TheThirdArgumentReachesTheLoaderUnchanged) {
  WriteAll(dir_ / "book.rvb", "text");
  char name[converters::book::kNameBufferBytes] = {};
  EXPECT_EQ(Convert(dir_ / "book.rvb", dir_ / "out.txt", reinterpret_cast<std::uintptr_t>(name)),
            rvbtotext::kWritten);
  EXPECT_EQ(lastPassThrough_(), static_cast<void*>(name));
  EXPECT_STREQ(name, converters::testing::kBookName);
  EXPECT_EQ(Convert(dir_ / "book.rvb", dir_ / "out.txt", 0), rvbtotext::kWritten);
  EXPECT_EQ(lastPassThrough_(), nullptr);
}

TEST(RvbToTxtShippedTest, TheShippedLoaderAnswersNoBook) {
  const fs::path dir = fs::path(::testing::TempDir()) / "rvbtotext_shipped";
  fs::create_directories(dir);
  std::ofstream(dir / "book.rvb") << "text";
  platform::ScopedModuleFolder folder(LEXORA_SHIPPED_MODULES);
  platform::Module library(rvbtotext::kModule);
  ASSERT_TRUE(library.IsLoaded());
  auto convert = library.Bind<rvbtotext::RvbToTxtFn>(rvbtotext::kEntryPoint);
  ASSERT_NE(convert, nullptr);
  EXPECT_EQ(convert((dir / "book.rvb").c_str(), (dir / "out.txt").c_str(), 0), rvbtotext::kNoData);
  EXPECT_FALSE(fs::exists(dir / "out.txt"));
  fs::remove_all(dir);
}

TEST(RvbToTxtShippedTest, TheLibraryDoesNotLoadWithoutTheBookLoader) {
  const fs::path dir = fs::path(::testing::TempDir()) / "rvbtotext_alone";
  fs::create_directories(dir);
  const std::string file = platform::ModuleFileName(rvbtotext::kModule);
  fs::copy_file(fs::path(LEXORA_SHIPPED_MODULES) / file, dir / file,
                fs::copy_options::overwrite_existing);
  platform::ScopedModuleFolder folder(dir.string());
  EXPECT_FALSE(platform::Module(rvbtotext::kModule).IsLoaded());
  fs::remove_all(dir);
}

}  // namespace
