#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "converters/rtf_reader.h"
#include "platform/module.h"

namespace {

namespace fs = std::filesystem;

using DocToRichFn = int (*)(const char* sourcePath, const char* rtfPath);

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DocToTxtModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.IsLoaded());
    convert_ = module_.Bind<DocToRichFn>("DocToRich");
    ASSERT_NE(convert_, nullptr);
    dir_ = fs::path(::testing::TempDir()) /
           (std::string("doctotxt_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  platform::ScopedModuleFolder folder_{LEXORA_SHIPPED_MODULES};
  platform::Module module_{"DocToTxt.dll"};
  DocToRichFn convert_ = nullptr;
  fs::path dir_;
};

TEST_F(DocToTxtModuleTest, AnHtmlPageBecomesAnRtfFile) {
  for (const char* name : {"page.html", "PAGE.HTM"}) {
    std::ofstream(dir_ / name) << "<p>a<b>b</b></p>";
    ASSERT_EQ(convert_((dir_ / name).c_str(), (dir_ / "out.rtf").c_str()), 0) << name;
    const auto document = converters::rtf::Read(ReadAll(dir_ / "out.rtf"));
    ASSERT_TRUE(document) << name;
    ASSERT_EQ(document->runs.size(), 3u) << name;
    EXPECT_TRUE(document->runs[1].format.bold) << name;
  }
}

TEST_F(DocToTxtModuleTest, WhatCannotBeConvertedFails) {
  std::ofstream(dir_ / "page.txt") << "<p>a</p>";
  std::ofstream(dir_ / "empty.htm") << "";
  const fs::path sources[] = {dir_ / "missing.htm", dir_ / "page.txt", dir_ / "empty.htm"};
  for (const fs::path& source : sources) {
    EXPECT_NE(convert_(source.c_str(), (dir_ / "out.rtf").c_str()), 0) << source;
  }
  std::ofstream(dir_ / "page.htm") << "<p>a</p>";
  EXPECT_NE(convert_((dir_ / "page.htm").c_str(), (dir_ / "no folder" / "out.rtf").c_str()), 0);
}

}  // namespace
