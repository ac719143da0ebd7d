#include "platform/sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <memory>

#include "platform/clock.h"
#include "platform/sjis.h"

namespace {

using namespace platform;

constexpr WAVEFORMATEX kMono16{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
constexpr uint32_t kHeaderSize = sizeof(WAVEHDR);

class SoundTest : public ::testing::Test {
 protected:
  ~SoundTest() override { PlaySoundA(nullptr, nullptr, SND_PURGE); }

  // A wave file of `ms` milliseconds; answers its path as the system writes it.
  std::string WriteWave(const std::string& name, uint32_t ms) {
    const std::vector<uint8_t> samples(kMono16.nAvgBytesPerSec / 1000 * ms, 0x10);
    const std::vector<uint8_t> image = MakeWaveImage(kMono16, samples);
    const std::string path =
        ::testing::TempDir() + name + "_" + std::to_string(::getpid()) + ".wav";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    files_.push_back(path);
    return path;
  }

  void TearDown() override {
    for (const std::string& file : files_) std::remove(file.c_str());
  }

  FakeClock clock_;
  ScopedClock scopedClock_{clock_};
  RecordingAudioBackend audio_;
  ScopedAudioBackend scopedAudio_{audio_};
  std::vector<std::string> files_;
};

TEST_F(SoundTest, WaveOutHeaderPlaysThenReleases) {
  std::vector<uint8_t> samples(4410, 0x20);  // 50 ms
  WAVEHDR header;
  header.lpData = reinterpret_cast<char*>(samples.data());
  header.dwBufferLength = static_cast<uint32_t>(samples.size());
  header.dwFlags = WHDR_BEGINLOOP | WHDR_ENDLOOP;
  header.dwLoops = 1;
  const size_t before = OpenWaveOutDevices();

  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &kMono16, 0, 0, CALLBACK_FUNCTION), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutWrite(device, &header, kHeaderSize), WAVERR_UNPREPARED);
  ASSERT_EQ(waveOutPrepareHeader(device, &header, kHeaderSize), MMSYSERR_NOERROR);
  ASSERT_EQ(waveOutWrite(device, &header, kHeaderSize), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutUnprepareHeader(device, &header, kHeaderSize), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
  EXPECT_EQ(OpenWaveOutDevices(), before + 1);
  clock_.Advance(49);
  EXPECT_EQ(waveOutClose(device), WAVERR_STILLPLAYING);
  clock_.Advance(1);
  EXPECT_EQ(waveOutUnprepareHeader(device, &header, kHeaderSize), MMSYSERR_NOERROR);
  EXPECT_NE(header.dwFlags & WHDR_DONE, 0u);
  EXPECT_EQ(header.dwFlags & (WHDR_PREPARED | WHDR_INQUEUE), 0u);
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  EXPECT_EQ(OpenWaveOutDevices(), before);
  EXPECT_EQ(waveOutClose(device), MMSYSERR_INVALHANDLE);
  ASSERT_EQ(audio_.Streams().size(), 1u);
  EXPECT_EQ(audio_.Streams()[0].samples, samples);
}

TEST_F(SoundTest, WaveOutResetEndsPlayback) {
  std::vector<uint8_t> samples(88200, 0);
  WAVEHDR header;
  header.lpData = reinterpret_cast<char*>(samples.data());
  header.dwBufferLength = static_cast<uint32_t>(samples.size());
  HWAVEOUT device = nullptr;
  ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &kMono16, 0, 0, 0), MMSYSERR_NOERROR);
  waveOutPrepareHeader(device, &header, kHeaderSize);
  waveOutWrite(device, &header, kHeaderSize);
  EXPECT_EQ(waveOutWrite(device, &header, kHeaderSize), WAVERR_STILLPLAYING);
  EXPECT_EQ(waveOutReset(device), MMSYSERR_NOERROR);
  EXPECT_EQ(audio_.PlayingCount(), 0u);
  EXPECT_EQ(waveOutUnprepareHeader(device, &header, kHeaderSize), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
}

TEST_F(SoundTest, WaveOutRefusesWhatItCannotPlay) {
  HWAVEOUT device = nullptr;
  WAVEFORMATEX adpcm = kMono16;
  adpcm.wFormatTag = 2;
  EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &adpcm, 0, 0, 0), WAVERR_BADFORMAT);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(waveOutOpen(&device, 7, &kMono16, 0, 0, 0), MMSYSERR_BADDEVICEID);
  EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &kMono16, 0, 0, 0), MMSYSERR_INVALPARAM);
}

TEST_F(SoundTest, SynchronousPlaySoundWaitsOnTheClock) {
  const std::string path = WriteWave("sync", 120);
  EXPECT_TRUE(PlaySoundA(path.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));
  EXPECT_GE(clock_.TickCount(), 120u);
  EXPECT_EQ(audio_.PlayingCount(), 0u);
}

TEST_F(SoundTest, AsyncPlaySoundReplacesStopsAndHonoursNoStop) {
  const std::string first = WriteWave("first", 200);
  const std::string second = WriteWave("second", 100);
  ASSERT_TRUE(PlaySoundA(first.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
  EXPECT_EQ(clock_.TickCount(), 0u);
  EXPECT_FALSE(PlaySoundA(second.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NOSTOP));
  EXPECT_EQ(audio_.Streams().size(), 1u);
  ASSERT_TRUE(PlaySoundA(second.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
  EXPECT_EQ(audio_.PlayingCount(), 1u) << "the first was stopped";
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
  EXPECT_EQ(audio_.PlayingCount(), 0u);
}

TEST_F(SoundTest, PlaySoundTakesSystemPathsAndWholeImages) {
  const std::string host = WriteWave("backslash", 10);
  std::string system = Utf8ToSjis(host).value();
  std::replace(system.begin(), system.end(), '/', '\\');
  EXPECT_TRUE(PlaySoundA(system.c_str(), nullptr, SND_FILENAME | SND_ASYNC));
  const std::vector<uint8_t> image = MakeWaveImage(kMono16, std::vector<uint8_t>(4, 0));
  EXPECT_TRUE(
      PlaySoundA(reinterpret_cast<const char*>(image.data()), nullptr, SND_MEMORY | SND_ASYNC));
  EXPECT_FALSE(PlaySoundA((host + ".missing").c_str(), nullptr, SND_FILENAME | SND_ASYNC));
  EXPECT_FALSE(PlaySoundA("Beep", nullptr, SND_RESOURCE | SND_ASYNC)) << "no resources here";
  EXPECT_FALSE(PlaySoundA(host.c_str(), nullptr, SND_FILENAME | SND_LOOP)) << "loops need async";
  EXPECT_EQ(audio_.Streams().size(), 2u);
}

// Whatever the machine offers, a sound device or none, playing is never an error.
TEST(ProcessAudioTest, DefaultBackEndPlaysOrStaysSilent) {
  FakeClock clock;
  ScopedClock scopedClock(clock);
  const std::vector<uint8_t> image = MakeWaveImage(kMono16, std::vector<uint8_t>(882, 0));
  EXPECT_TRUE(
      PlaySoundA(reinterpret_cast<const char*>(image.data()), nullptr, SND_MEMORY | SND_ASYNC));
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
}

TEST(ScopedAudioTest, EndingTheGuardStopsAndForgetsWhatPlaysOnIt) {
  FakeClock clock;
  ScopedClock scopedClock(clock);
  RecordingAudioBackend outer;
  ScopedAudioBackend outerScope(outer);
  const std::vector<uint8_t> image = MakeWaveImage(kMono16, std::vector<uint8_t>(8820, 0));
  const char* sound = reinterpret_cast<const char*>(image.data());
  std::vector<uint8_t> samples(8820, 0);
  WAVEHDR header;
  header.lpData = reinterpret_cast<char*>(samples.data());
  header.dwBufferLength = static_cast<uint32_t>(samples.size());
  HWAVEOUT device = nullptr;
  auto inner = std::make_unique<RecordingAudioBackend>();
  {
    ScopedAudioBackend innerScope(*inner);
    ASSERT_TRUE(PlaySoundA(sound, nullptr, SND_MEMORY | SND_ASYNC));
    ASSERT_EQ(waveOutOpen(&device, WAVE_MAPPER, &kMono16, 0, 0, 0), MMSYSERR_NOERROR);
    waveOutPrepareHeader(device, &header, kHeaderSize);
    waveOutWrite(device, &header, kHeaderSize);
    EXPECT_EQ(inner->PlayingCount(), 2u);
  }
  EXPECT_EQ(inner->PlayingCount(), 0u);
  inner.reset();
  // Neither call may reach the back end that is gone.
  EXPECT_EQ(waveOutUnprepareHeader(device, &header, kHeaderSize), MMSYSERR_NOERROR);
  EXPECT_EQ(waveOutClose(device), MMSYSERR_NOERROR);
  EXPECT_TRUE(PlaySoundA(sound, nullptr, SND_MEMORY | SND_ASYNC));
  EXPECT_EQ(outer.Streams().size(), 1u);
  PlaySoundA(nullptr, nullptr, SND_PURGE);
}

TEST(SilentAudioTest, EveryStreamHasEndedAtOnce) {
  SilentAudioBackend silent;
  const StreamId stream = silent.Start(kMono16, std::vector<uint8_t>(88200, 0), 0);
  EXPECT_FALSE(silent.IsPlaying(stream));
}

}  // namespace

TEST_F(SoundTest, MessageBeepPlaysAShortToneOfItsOwnAtOnce) {
  ASSERT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  ASSERT_TRUE(MessageBeep(MB_ICONHAND));
  ASSERT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
  const std::vector<RecordingAudioBackend::Stream> streams = audio_.Streams();
  ASSERT_EQ(streams.size(), 3u);
  EXPECT_EQ(audio_.PlayingCount(), 3u) << "beeps do not wait or stop one another";
  EXPECT_TRUE(IsPlayablePcm(streams[0].format));
  EXPECT_EQ(streams[0].repeats, 1u);
  const uint32_t ms =
      static_cast<uint32_t>(streams[0].samples.size()) * 1000 / streams[0].format.nAvgBytesPerSec;
  EXPECT_EQ(ms, 150u);
  EXPECT_EQ(streams[0].samples, streams[2].samples) << "one tone per type";
  EXPECT_NE(streams[0].samples, streams[1].samples);

  clock_.Advance(150);
  EXPECT_EQ(audio_.PlayingCount(), 0u);
}

TEST_F(SoundTest, MessageBeepOfAnUnknownTypeIsTheDefaultBeep) {
  MessageBeep(MB_OK);
  MessageBeep(kSimpleBeep);
  MessageBeep(0x50);
  const std::vector<RecordingAudioBackend::Stream> streams = audio_.Streams();
  ASSERT_EQ(streams.size(), 3u);
  EXPECT_EQ(streams[1].samples, streams[0].samples);
  EXPECT_EQ(streams[2].samples, streams[0].samples);
}
