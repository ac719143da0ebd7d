#include "platform/wave.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using platform::WAVEFORMATEX;

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

const std::string_view kFmtMono16At8k(
    "fmt \x10\x00\x00\x00"
    "\x01\x00\x01\x00\x40\x1F\x00\x00\x80\x3E\x00\x00\x02\x00\x10\x00",
    24);

TEST(WaveTest, WritesTheCanonicalHeader) {
  const WAVEFORMATEX format{platform::WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
  const std::vector<uint8_t> samples{0x01, 0x02};
  const std::string_view golden(
      "RIFF\x26\x00\x00\x00WAVE"
      "fmt \x10\x00\x00\x00\x01\x00\x01\x00\x44\xAC\x00\x00\x88\x58\x01\x00\x02\x00\x10\x00"
      "data\x02\x00\x00\x00\x01\x02",
      46);
  EXPECT_EQ(platform::MakeWaveImage(format, samples), Bytes(golden));
}

TEST(WaveTest, FindsFormatAndDataPastOtherChunks) {
  // An odd-sized chunk first: its pad byte must be skipped.
  const std::string image = std::string("RIFF\x34\x00\x00\x00WAVE", 12) +
                            std::string(
                                "LIST\x03\x00\x00\x00"
                                "abc"
                                "\x00",
                                12) +
                            std::string(kFmtMono16At8k) +
                            std::string("data\x04\x00\x00\x00\x01\x02\x03\x04", 12);
  const auto wave = platform::ParseWave(Bytes(image));
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->format, (WAVEFORMATEX{1, 1, 8000, 16000, 2, 16, 0}));
  EXPECT_EQ(wave->samples, (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(WaveTest, SizesBeyondTheBytesPresentAreCut) {
  const std::string image = std::string("RIFF\xFF\xFF\xFF\x7FWAVE", 12) +
                            std::string(kFmtMono16At8k) +
                            std::string("data\xFF\xFF\xFF\x7F\x01\x02\x03", 11);
  const auto wave = platform::ParseWave(Bytes(image));
  ASSERT_TRUE(wave);
  EXPECT_EQ(wave->samples, (std::vector<uint8_t>{1, 2})) << "whole blocks of what is there";
}

struct BadImage {
  const char* name;
  std::string image;
};

class WaveRefusalTest : public ::testing::TestWithParam<BadImage> {};

TEST_P(WaveRefusalTest, RefusesImagesItCannotPlay) {
  EXPECT_FALSE(platform::ParseWave(Bytes(GetParam().image)));
}

const std::string kRiff = std::string("RIFF\x40\x00\x00\x00WAVE", 12);
const std::string kData = std::string("data\x02\x00\x00\x00\x01\x02", 10);

INSTANTIATE_TEST_SUITE_P(
    Images, WaveRefusalTest,
    ::testing::Values(
        BadImage{"Empty", ""}, BadImage{"NotRiff", "RIFX" + kRiff.substr(4) + kData},
        BadImage{"DataBeforeFormat", kRiff + kData + std::string(kFmtMono16At8k)},
        BadImage{"NoData", kRiff + std::string(kFmtMono16At8k)},
        BadImage{"Compressed", kRiff + "fmt " + std::string("\x10\x00\x00\x00\x02\x00", 6) +
                                   std::string(kFmtMono16At8k.substr(10)) + kData},
        BadImage{"ShortFormat",
                 kRiff + std::string("fmt \x08\x00\x00\x00\x01\x00\x01\x00\x40\x1F\x00\x00", 16) +
                     kData},
        BadImage{"InconsistentRate", kRiff + "fmt " + std::string(kFmtMono16At8k.substr(4, 12)) +
                                         std::string("\x81\x3E\x00\x00\x02\x00\x10\x00", 8) +
                                         kData}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
