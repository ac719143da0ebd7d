#include "platform/module.h"

#include <gtest/gtest.h>

#include "platform/reader_module.h"

namespace {

using platform::ModuleFileName;

TEST(ModuleTest, ModuleNamesBecomeSharedLibraryNames) {
  EXPECT_EQ(ModuleFileName("vxtrusr.dll"), "vxtrusr.so");
  EXPECT_EQ(ModuleFileName("TOVELUSR.DLL"), "TOVELUSR.so");
  EXPECT_EQ(ModuleFileName("plain"), "plain.so");
  EXPECT_EQ(ModuleFileName(".dll"), ".so");
}

TEST(ModuleTest, DecoratedStdcallNamesLoseTheirDecoration) {
  struct Case {
    const char* name;
    const char* host;
  };
  const Case cases[] = {
      {"_RuveloBook_Load@16", "RuveloBook_Load"},
      {"_RuveloBook_Unload@4", "RuveloBook_Unload"},
      {"_X@0", "X"},
      {"InitConvert", "InitConvert"},
      {"_NoSize@", "_NoSize@"},
      {"_Letters@1a", "_Letters@1a"},
      {"_@4", "_@4"},
      {"Plain@4", "Plain@4"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::UndecoratedEntryPoint(c.name), c.host) << c.name;
}

TEST(ModuleTest, DecoratedNamesFindTheUndecoratedEntryPoint) {
  platform::ScopedModuleFolder folder(LEXORA_RECORDING_MODULES);
  platform::Module reader(platform::reader::kReaderModule);
  ASSERT_TRUE(reader.IsLoaded());
  EXPECT_EQ(reader.Find("_VXTRGetVersion@0"), reader.Find(platform::reader::kGetVersion));
  EXPECT_EQ(reader.Find("_NoSuchEntryPoint@4"), nullptr);
}

TEST(ModuleTest, LoadsByNameFromTheChosenFolderOnly) {
  {
    platform::ScopedModuleFolder folder(LEXORA_RECORDING_MODULES);
    platform::Module reader(platform::reader::kReaderModule);
    ASSERT_TRUE(reader.IsLoaded());
    EXPECT_NE(reader.Find(platform::reader::kGetVersion), nullptr);
    EXPECT_EQ(reader.Bind<platform::reader::GetVersionFn>(platform::reader::kGetVersion)(),
              0x06000000);
    EXPECT_EQ(reader.Find("NoSuchEntryPoint"), nullptr);
    EXPECT_FALSE(platform::Module("nosuchmodule.dll").IsLoaded());
  }
  platform::ScopedModuleFolder empty(::testing::TempDir());
  EXPECT_FALSE(platform::Module(platform::reader::kReaderModule).IsLoaded());
}

TEST(ModuleTest, NullHandlesAreHarmless) {
  EXPECT_EQ(platform::LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(platform::LoadLibraryA(""), nullptr);
  EXPECT_EQ(platform::GetProcAddress(nullptr, "x"), nullptr);
  EXPECT_FALSE(platform::FreeLibrary(nullptr));
}

}  // namespace
