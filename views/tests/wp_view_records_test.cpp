// The framework view's records as the engine and the editing surface read
// them, byte by byte.
#include "views/wp_view_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace {

// A record's bytes; a gap between fields (nullopt) is not compared.
using Golden = std::vector<std::optional<uint8_t>>;
constexpr std::nullopt_t kGap = std::nullopt;

template <typename Record>
void ExpectBytes(const Record& record, const Golden& golden) {
  ASSERT_EQ(sizeof(Record), golden.size());
  uint8_t bytes[sizeof(Record)];
  std::memcpy(bytes, &record, sizeof(Record));
  for (size_t i = 0; i < golden.size(); ++i) {
    if (golden[i]) {
      EXPECT_EQ(bytes[i], *golden[i]) << "byte " << i;
    }
  }
}

TEST(WpViewRecordsTest, TheDefaultColourRecordHasTheSystemColoursZoomOneAndTheDisplayBytes) {
  ExpectBytes(DefaultViewColours(), Golden{
                                        0xFF, 0xFF, 0xFF, 0x00,  // background: COLOR_WINDOW
                                        0x00, 0x00, 0x00, 0x00,  // text: COLOR_WINDOWTEXT
                                        0xC0, 0xC0, 0xC0, 0x00,  // third: COLOR_3DLIGHT
                                        0x01, 0x00,              // zoom, 16 bits
                                        0x00, 0x00,              // two bytes
                                        0x01,                    // one byte
                                        0x00, 0x00, 0x00,        // spare
                                        0x00, 0x00, 0x00, 0x00,  // layout flag
                                    });
}

TEST(WpViewRecordsTest, TheColourRecordCarriesZoomAndLayoutFlagWhereTheEngineReadsThem) {
  ColourRecord record = DefaultViewColours();
  record.display.background = 0x00123456;
  record.display.zoom = 3;
  record.screenSuppression = 1;
  ExpectBytes(record, Golden{
                          0x56, 0x34, 0x12, 0x00,  //
                          0x00, 0x00, 0x00, 0x00,  //
                          0xC0, 0xC0, 0xC0, 0x00,  //
                          0x03, 0x00,              //
                          0x00, 0x00,              //
                          0x01,                    //
                          0x00, 0x00, 0x00,        //
                          0x01, 0x00, 0x00, 0x00,  //
                      });
}

TEST(WpViewRecordsTest, TheDisplayOptionsAreFiveBytesAndASixteenBitStep) {
  ExpectBytes(DefaultViewDisplayOptions(), Golden{0x01, 0x00, 0x01, 0x00, 0x00, kGap, 0x05, 0x00});
  ViewDisplayOptions options;
  options.options = DefaultViewDisplayOptions();
  options.options.pageJumpStep = 0x0102;
  options.enterOption = 1;
  options.reconversion = 0;
  ExpectBytes(options, Golden{0x01, 0x00, 0x01, 0x00, 0x00, kGap, 0x02, 0x01, 0x01, 0x00});
}

TEST(WpViewRecordsTest, TheSpeechOptionsAreTwoSwitchesAndTwoMasks) {
  SpeechOptions options;
  ExpectBytes(options,
              Golden{0x01, 0x01, kGap, kGap, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  options.speechOn = 0;
  options.voiceMask = 0x00000104;
  options.beepMask = 0;
  ExpectBytes(options,
              Golden{0x00, 0x01, kGap, kGap, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
}

TEST(WpViewRecordsTest, TheColourSetIsTheColourRecordThenTheSurfacesFourColours) {
  ViewColourSet set;
  set.colours = DefaultViewColours();
  set.pageBorder = 0x00010203;
  set.marks = 0x00040506;
  set.shadow = 0x00070809;
  set.desk = 0x000A0B0C;
  Golden golden(24, kGap);
  for (uint8_t b : {0x03, 0x02, 0x01, 0x00, 0x06, 0x05, 0x04, 0x00, 0x09, 0x08, 0x07, 0x00, 0x0C,
                    0x0B, 0x0A, 0x00}) {
    golden.push_back(b);
  }
  ExpectBytes(set, golden);
}

TEST(WpViewRecordsTest, OnlyPageViewAtZoomOneOrLessHasLayoutFlagZero) {
  struct Case {
    int32_t pageView, zoom, flag;
  };
  for (const Case& c :
       {Case{1, 1, 0}, Case{1, 0, 0}, Case{1, 2, 1}, Case{0, 1, 1}, Case{0, 2, 1}, Case{2, 1, 0}}) {
    EXPECT_EQ(LayoutFlagFor(c.pageView, c.zoom), c.flag) << c.pageView << " " << c.zoom;
  }
}

}  // namespace
