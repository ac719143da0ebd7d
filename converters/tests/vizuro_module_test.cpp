#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "converters/converter_records.h"
#include "platform/module.h"

namespace {

namespace fs = std::filesystem;
namespace vizuro = converters::vizuro;

class VizuroModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.IsLoaded());
    init_ = module_.Bind<vizuro::InitConvertFn>(vizuro::kInitConvert);
    style_ = module_.Bind<vizuro::GetDocStyleFn>(vizuro::kGetDocStyle);
    info_ = module_.Bind<vizuro::GetObjectInfFn>(vizuro::kGetObjectInf);
    load_ = module_.Bind<vizuro::LoadObjectFn>(vizuro::kLoadObject);
    exit_ = module_.Bind<vizuro::ExitConvertFn>(vizuro::kExitConvert);
    ASSERT_TRUE(init_ && style_ && info_ && load_ && exit_);
    path_ = fs::path(::testing::TempDir()) /
            (std::string("vizuro_") +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".rtf");
  }
  void TearDown() override { fs::remove(path_); }

  void Write(const std::string& bytes) { std::ofstream(path_, std::ios::binary) << bytes; }

  platform::ScopedModuleFolder folder_{LEXORA_SHIPPED_MODULES};
  platform::Module module_{vizuro::kModule};
  vizuro::InitConvertFn init_ = nullptr;
  vizuro::GetDocStyleFn style_ = nullptr;
  vizuro::GetObjectInfFn info_ = nullptr;
  vizuro::LoadObjectFn load_ = nullptr;
  vizuro::ExitConvertFn exit_ = nullptr;
  fs::path path_;
};

TEST_F(VizuroModuleTest, AnRtfDocumentComesAsTextObjects) {
  Write(
      "{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Gothic;}}"
      "{\\colortbl;\\red0\\green128\\blue255;}\\paperw11906\\paperh16838"
      "\\margl1440\\margr1440\\margt1440\\margb1440\\f0 \\'8a\\'bf{\\b\\fs40\\cf1 x}}");
  ASSERT_EQ(init_(path_.c_str()), 0);
  vizuro::StyleRecord style{};
  ASSERT_EQ(style_(&style), 0);
  EXPECT_EQ(style.pageFlags, vizuro::kPageOrientation | vizuro::kPagePaperWidth |
                                 vizuro::kPagePaperHeight | vizuro::kPageMargins);
  EXPECT_EQ(style.orientation, vizuro::kConverterPortrait);
  EXPECT_EQ(style.paperWidth, 2100);
  EXPECT_EQ(style.paperHeight, 2970);
  EXPECT_EQ(style.marginLeft, 254);

  std::vector<std::string> texts;
  std::vector<vizuro::ObjectAttributes> attributes;
  vizuro::ObjectInfo info{};
  while (info_(&info) != 0) {
    ASSERT_EQ(info.kind, vizuro::kTextObject);
    std::vector<char> buffer(static_cast<size_t>(info.byteCount) + 1, '\0');
    info.request.text = buffer.data();
    load_(&info.request);
    texts.emplace_back(buffer.data());
    attributes.push_back(info.request.attributes);
  }
  exit_();
  ASSERT_EQ(texts, (std::vector<std::string>{"\x8A\xBF", "x"}));
  EXPECT_STREQ(attributes[0].face, "Gothic");
  EXPECT_EQ(attributes[0].size, 120);
  EXPECT_EQ(attributes[0].bold, 0);
  EXPECT_FALSE(attributes[0].flags & vizuro::kAttrTextColor);
  EXPECT_EQ(attributes[1].size, 200);
  EXPECT_EQ(attributes[1].bold, 1);
  EXPECT_TRUE(attributes[1].flags & vizuro::kAttrTextColor);
  EXPECT_EQ(attributes[1].textColor, 0xFF8000u);
}

TEST_F(VizuroModuleTest, OtherFilesAreRefused) {
  EXPECT_NE(init_((path_.string() + ".missing").c_str()), 0);
  Write("LXB\x01 an older own document");
  EXPECT_NE(init_(path_.c_str()), 0);
  vizuro::ObjectInfo info{};
  EXPECT_EQ(info_(&info), 0);
  Write("{\\rtf1 damaged");
  EXPECT_NE(init_(path_.c_str()), 0);
  exit_();
}

}  // namespace
