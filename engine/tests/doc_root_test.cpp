#include "engine/doc_root.h"

#include <gtest/gtest.h>

#include <cstring>

#include "doc_root_fixture.h"
#include "platform/system_info.h"

namespace doc_root_test {
namespace {

TEST(DocRootConstruction, StartsWithTheDesktopColoursAndSpeechOnAndItsMagic) {
  ProcessState state;
  CDocBunsObj root;

  const DisplaySettings& colours = root.Renderer().GetDisplaySettings();
  EXPECT_EQ(colours.background, platform::GetSysColor(platform::COLOR_WINDOW));
  EXPECT_EQ(colours.text, platform::GetSysColor(platform::COLOR_WINDOWTEXT));
  EXPECT_EQ(colours.third, platform::GetSysColor(platform::COLOR_BTNSHADOW));
  EXPECT_EQ(colours.zoom, 1);
  EXPECT_EQ(colours.further, 0);
  EXPECT_EQ(colours.flag, 1);
  EXPECT_EQ(colours.minchoAsGothic, 1);
  EXPECT_EQ(colours.marks, 1);
  // Construction leaves the last display bytes to the colours command;
  // they must not carry whatever happened to be in memory.
  EXPECT_EQ(colours.spare[0] | colours.spare[1] | colours.spare[2], 0);

  SpeechOptions speech;
  root.Feedback().GetSpeechOptions(speech);
  EXPECT_EQ(speech, (SpeechOptions{1, 1, -1, -1}));

  const uint8_t magic[kDocRootMagicSize] = {'D', 'o', 'c',  'B', 'u', 'n', 's', 'O',
                                            'b', 'j', 0x1A, 0,   0,   0,   0,   0};
  EXPECT_EQ(std::memcmp(root.Magic(), magic, kDocRootMagicSize), 0);

  EXPECT_TRUE(root.Caret().IsEmpty());
  EXPECT_TRUE(root.Anchor().IsEmpty());
  EXPECT_EQ(root.GetReadOnly(), 0);
  EXPECT_EQ(root.IsModified(), 0);
  EXPECT_EQ(root.IsRangeMarking(), 0);
  EXPECT_EQ(root.GetSelectionOrder(), 0);
}

}  // namespace
}  // namespace doc_root_test
