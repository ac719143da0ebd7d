#include "speech/sound_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sjis.h"
#include "platform/system_info.h"
#include "speech_test_support.h"

namespace {

using speech_test::RecordingReader;
using ::testing::ElementsAre;

namespace fs = std::filesystem;

constexpr platform::WAVEFORMATEX kCueFormat{platform::WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

// A folder of cue sounds: one short tone per file, 100 ms each.
class CueFolder {
 public:
  explicit CueFolder(const std::string& name)
      : root_(speech_test::TempPath("cue_folders")), path_(root_ + "/" + name) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~CueFolder() { fs::remove_all(root_); }
  CueFolder(const CueFolder&) = delete;
  CueFolder& operator=(const CueFolder&) = delete;
  const std::string& path() const { return path_; }

  void WriteAll(const platform::WAVEFORMATEX& format = kCueFormat) const {
    for (const CueSound& cue : CueSoundTable) {
      if (cue.id != kEndOfCueSounds) Write(cue.file, format);
    }
  }
  void Write(const std::string& file, const platform::WAVEFORMATEX& format = kCueFormat) const {
    const std::vector<uint8_t> samples(format.nAvgBytesPerSec / 10, 0x11);
    const std::vector<uint8_t> image = platform::MakeWaveImage(format, samples);
    std::ofstream(path_ + "/" + file, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
  }

 private:
  std::string root_;
  std::string path_;
};

class SoundPlayerTest : public speech_test::SpeechTest {
 protected:
  static std::string SystemPath(const std::string& hostPath) {
    return platform::Utf8ToSjis(hostPath).value();
  }
};

TEST_F(SoundPlayerTest, LoadsEveryCueOnceAndKeepsTheArrayOnReload) {
  CueFolder folder("cues_all");
  folder.WriteAll();
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds(folder.path().c_str()), 1);
  EXPECT_EQ(player.FindSound(kSoundNoInput), 0);
  EXPECT_EQ(player.FindSound(kSoundError), 9);
  EXPECT_EQ(player.LoadSounds(folder.path().c_str()), 0) << "every id already present";
  EXPECT_EQ(player.FindSound(kSoundError), 9);
  EXPECT_EQ(player.FindSound(kSoundError + 1), -1);
}

TEST_F(SoundPlayerTest, MissingFilesAreSkippedAndAnswerZero) {
  CueFolder folder("cues_some");
  folder.Write(phrases::kErrorSound);
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds(folder.path().c_str()), 0);
  EXPECT_EQ(player.IsLoaded(kSoundError), 1);
  EXPECT_EQ(player.FindSound(kSoundError), 0);
  EXPECT_EQ(player.IsLoaded(kSoundNoInput), 0);
}

TEST_F(SoundPlayerTest, FolderSeparatorIsAddedOnlyWhenTheLastCharacterIsNotOne) {
  CueFolder folder("cues_sep");
  folder.WriteAll();
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds((SystemPath(folder.path()) + "\\").c_str()), 1);
}

TEST_F(SoundPlayerTest, FolderEndingInTrailByte5CStillGetsASeparator) {
  // "表" is 0x95 0x5C: its trail byte is the separator's byte.
  CueFolder folder("cues_\xE8\xA1\xA8");
  folder.WriteAll();
  const std::string system = SystemPath(folder.path());
  ASSERT_EQ(system.substr(system.size() - 2), "\x95\x5C");
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds(system.c_str()), 1);
}

TEST_F(SoundPlayerTest, ReservedIdsCountAsLoadedButAreNeverFound) {
  CSoundPlayer player(1);
  for (int id : {1, 3, 15}) {
    EXPECT_EQ(player.IsLoaded(id), 1) << id;
    EXPECT_EQ(player.FindSound(id), -1) << id;
  }
  EXPECT_EQ(player.IsLoaded(16), 0);
}

struct FallbackCase {
  int mode;
  int id;
  int answer;
  const char* beep;  // nullptr: no beep
  friend std::ostream& operator<<(std::ostream& out, const FallbackCase& c) {
    return out << "mode " << c.mode << " id " << c.id;
  }
};

class SoundPlayerFallbackTest : public SoundPlayerTest,
                                public ::testing::WithParamInterface<FallbackCase> {};

TEST_P(SoundPlayerFallbackTest, IdsWithoutSoundFallBackToReaderBeeps) {
  const FallbackCase& c = GetParam();
  RecordingReader reader;
  ASSERT_EQ(LoadReaderModules(), 0);
  CSoundPlayer player(c.mode);
  EXPECT_EQ(player.Play(c.id, 0, 2), c.answer);
  if (c.beep == nullptr) {
    EXPECT_TRUE(reader.Calls().empty());
  } else {
    EXPECT_THAT(reader.Calls(), ElementsAre(c.beep));
  }
  EXPECT_TRUE(audio_.Streams().empty());
}

INSTANTIATE_TEST_SUITE_P(Ids, SoundPlayerFallbackTest,
                         ::testing::Values(FallbackCase{1, 1, 1, "VXTRBeep 1 15 0"},
                                           FallbackCase{1, 3, 1, "VXTRBeep 3 15 0"},
                                           FallbackCase{0, 3, 1, "VXTRBeep 3 15 0"},
                                           FallbackCase{1, 4, 1, "VXTRBeep 2 15 0"},
                                           FallbackCase{1, kSoundError, 1, "VXTRBeep 2 15 0"},
                                           FallbackCase{0, kSoundError, -1, nullptr},
                                           FallbackCase{0, 15, -1, nullptr}));

TEST_F(SoundPlayerTest, PlaysTheFormatTheFileDescribes) {
  constexpr platform::WAVEFORMATEX kStereo8{platform::WAVE_FORMAT_PCM, 2, 22050, 44100, 2, 8, 0};
  CueFolder folder("cues_stereo");
  folder.Write(phrases::kErrorSound, kStereo8);
  CSoundPlayer player(1);
  player.LoadSounds(folder.path().c_str());
  EXPECT_EQ(player.Play(kSoundError, 1, 2), 0);
  const auto streams = audio_.Streams();
  ASSERT_EQ(streams.size(), 1u);
  EXPECT_EQ(streams[0].format, kStereo8);
  EXPECT_EQ(streams[0].samples.size(), 4410u) << "the data chunk, not the file from byte 48";
}

TEST_F(SoundPlayerTest, WaveReaderTrustsNoSizeFieldBeyondTheFile) {
  const std::vector<uint8_t> samples(100, 0x22);
  std::vector<uint8_t> image = platform::MakeWaveImage(kCueFormat, samples);
  image[4] = image[5] = image[6] = 0xFF;  // RIFF size 0x7FFFFFFF and more
  image[7] = 0x7F;
  image[40] = image[41] = image[42] = 0xFF;  // data size too
  image[43] = 0x7F;
  const std::string path = speech_test::TempPath("lying") + ".wav";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  platform::WaveImage wave;
  ASSERT_EQ(ReadWaveFile(SystemPath(path).c_str(), wave), 1);
  EXPECT_EQ(wave.samples, samples);
  EXPECT_EQ(ReadWaveFile(SystemPath(path + ".missing").c_str(), wave), 0);
}

TEST_F(SoundPlayerTest, DirectPlaybackReleasesEachDeviceOnceItHasPlayed) {
  CueFolder folder("cues_release");
  folder.WriteAll();
  const size_t before = platform::OpenWaveOutDevices();
  {
    CSoundPlayer player(1);
    player.LoadSounds(folder.path().c_str());
    EXPECT_EQ(player.Play(kSoundNoInput, 0, 2), 0);
    EXPECT_EQ(player.Play(kSoundError, 0, 2), 0);
    EXPECT_EQ(platform::OpenWaveOutDevices(), before + 2) << "both cues still playing";
    EXPECT_EQ(player.Play(kSoundError, 0, 2), 0) << "replaying a queued cue restarts it";
    EXPECT_EQ(platform::OpenWaveOutDevices(), before + 2);
    clock_.Advance(100);
    EXPECT_EQ(player.Play(kSoundBlank, 0, 2), 0);
    EXPECT_EQ(platform::OpenWaveOutDevices(), before + 1) << "the finished ones were released";
    EXPECT_EQ(audio_.PlayingCount(), 1u);
  }
  EXPECT_EQ(platform::OpenWaveOutDevices(), before) << "the destructor releases a playing cue";
  EXPECT_EQ(audio_.PlayingCount(), 0u);
}

TEST_F(SoundPlayerTest, PurgeStopsPlayingCuesUnlessTheFlagsSayNoStop) {
  CueFolder folder("cues_purge");
  folder.WriteAll();
  CSoundPlayer player(1);
  player.LoadSounds(folder.path().c_str());
  player.Play(kSoundNoInput, 0, 2);
  player.Play(kSoundBlank, 1, 2 | CSoundPlayer::kPlayNoStop);
  EXPECT_EQ(audio_.PlayingCount(), 2u);
  player.Play(kSoundError, 1, 2);
  EXPECT_EQ(audio_.PlayingCount(), 1u);
  player.StopSound();
  EXPECT_EQ(audio_.PlayingCount(), 0u);
}

TEST_F(SoundPlayerTest, BeforeXpSoundsArePlayedByName) {
  platform::ScopedWindowsVersion windows2000(5, 0);
  CueFolder folder("cues_byname");
  folder.WriteAll();
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds(SystemPath(folder.path()).c_str()), 1);
  const size_t devices = platform::OpenWaveOutDevices();
  EXPECT_EQ(player.Play(kSoundNoInput, 0, 2), 1);
  EXPECT_EQ(platform::OpenWaveOutDevices(), devices);
  EXPECT_EQ(player.Play(kSoundError, 1, 2 | CSoundPlayer::kPlayNoStop), 0)
      << "PlaySound refuses to stop the playing sound";
  EXPECT_EQ(audio_.Streams().size(), 1u);
  EXPECT_EQ(player.Play(kSoundError, 1, 2), 1);
  EXPECT_EQ(audio_.PlayingCount(), 1u);
}

TEST_F(SoundPlayerTest, XpMeansMajorAboveFiveOrFiveWithAMinor) {
  CueFolder folder("cues_versions");
  folder.WriteAll();
  for (const auto& [major, minor, direct] : {std::tuple{5u, 0u, false}, std::tuple{5u, 1u, true},
                                             std::tuple{6u, 0u, true}, std::tuple{4u, 9u, false}}) {
    platform::ScopedWindowsVersion version(major, minor);
    CSoundPlayer player(1);
    player.LoadSounds(folder.path().c_str());
    const size_t devices = platform::OpenWaveOutDevices();
    player.Play(kSoundNoInput, 0, 2);
    EXPECT_EQ(platform::OpenWaveOutDevices(), devices + (direct ? 1 : 0)) << major << "." << minor;
  }
}

TEST_F(SoundPlayerTest, TheBuildInstallsTheCueSoundsWhereThePlayerLooks) {
  char windows[260];
  const uint32_t length = platform::GetWindowsDirectoryA(windows, sizeof windows);
  ASSERT_LT(length, sizeof windows);
  CSoundPlayer player(1);
  EXPECT_EQ(player.LoadSounds((std::string(windows) + phrases::kMediaFolder).c_str()), 1);
}

}  // namespace
