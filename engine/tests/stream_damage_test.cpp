// Damaged saved documents that once broke the engine after their stream
// header had been read: each must be refused whole, leaving the document
// and its style as they were.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/doc_style.h"
#include "engine/wp_ctrl.h"
#include "platform/archive.h"
#include "platform/file.h"
#include "wp_ctrl_fixture.h"

namespace doc_root_test {
namespace {

using Bytes = std::vector<uint8_t>;

// Offsets in the 704-byte style record.
constexpr size_t kOffTextWidth = 40;
constexpr size_t kOffResolutionX = 48;
constexpr size_t kOffTabInterval = 358;
constexpr size_t kOffCharGap = 368;
constexpr size_t kOffLineGap = 372;
constexpr size_t kOffCharPitch = 376;
constexpr size_t kOffLinePitch = 380;

void Put16(Bytes& bytes, size_t at, uint16_t value) {
  bytes[at] = static_cast<uint8_t>(value);
  bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

class StreamDamageTest : public WpCtrlFixture {
 protected:
  // The engine header of a saved document: magic, version, style tag, the
  // test style with its marker, then the caret at page 1, line 1,
  // column 1. The content that follows does not matter: a refused style
  // stops the load before it.
  static Bytes Header(const DocStyle& style) {
    Bytes bytes = SignatureField("VEDWpCtrl");
    for (const char* field : {"01.00.00.02", "DocStyleHead"}) {
      const Bytes f = SignatureField(field);
      bytes.insert(bytes.end(), f.begin(), f.end());
    }
    const DocStyleBytes record = EncodeDocStyle(style);
    bytes.insert(bytes.end(), record.begin(), record.end());
    for (int i = 0; i < 3; ++i) {
      const Bytes one = {1, 0, 0, 0};
      bytes.insert(bytes.end(), one.begin(), one.end());
    }
    return bytes;
  }

  int Load(Bytes bytes) {
    platform::CMemFile file(bytes.data(), bytes.size());
    platform::CArchive archive(&file, platform::CArchive::kLoad);
    return engine.DocumentCommand(WPC_LOAD_DOCUMENT, kLoadHeader, &archive);
  }
};

TEST_F(StreamDamageTest, AStoredStyleBeyondAnyPageIsRefusedAndChangesNothing) {
  constexpr size_t kStyleStart = 48;
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
    bool wide;
  };
  const Case cases[] = {
      // A gap that overflowed the widths the line composer adds up.
      {"character gap", kOffCharGap, 1333033061u, true},
      {"line gap", kOffLineGap, 0xC0000000u, true},
      {"character pitch", kOffCharPitch, 1u << 20, true},
      // A tab interval whose twips overflowed the page format.
      {"tab interval", kOffTabInterval, 8192, false},
      {"line pitch", kOffLinePitch, 1u << 20, true},
      {"text width", kOffTextWidth, 1u << 20, true},
      {"resolution", kOffResolutionX, 1u << 20, true},
  };
  Type("ABC");
  for (const Case& c : cases) {
    Bytes bytes = Header(TestStyle());
    if (c.wide) {
      Put32(bytes, kStyleStart + c.offset, c.value);
    } else {
      Put16(bytes, kStyleStart + c.offset, static_cast<uint16_t>(c.value));
    }
    EXPECT_EQ(Load(bytes), kWpcFormatRefused) << c.what;
    EXPECT_EQ(DocumentText(), "ABC") << c.what;
    DocStyle applied;
    engine.StyleCommand(WPC_GET_APPLIED_DOCSTYLE, nullptr, &applied);
    EXPECT_EQ(applied.charPitch, TestStyle().charPitch) << c.what;
  }
}

TEST_F(StreamDamageTest, TheLargestUsableLengthsAreStillAccepted) {
  DocStyle style = TestStyle();
  EXPECT_TRUE(IsUsableDocStyle(style));
  style.lineGap = -kLargestStyleTwips;
  style.charGap = kLargestStyleTwips;
  style.tabInterval = static_cast<uint16_t>(kLargestStyleTwips / style.charPitch);
  style.resolutionX = kLargestResolution;
  EXPECT_TRUE(IsUsableDocStyle(style));
  style.tabInterval += 1;
  EXPECT_FALSE(IsUsableDocStyle(style));
}

}  // namespace
}  // namespace doc_root_test
