// WAV and Ogg Vorbis decoding, checked against sox on sound files from Debian packages and against
// malformed files built byte by byte.
#include "decode/AudioDecode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "tests/audio/OggPages.h"
#include "tests/audio/TestFiles.h"
#include "tests/audio/WavBuilder.h"
#include "tests/support/AllocationCounter.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

struct Decoded {
  std::unique_ptr<unsigned char[]> data;
  int length = -1, channels = -1, format = -1, hertz = -1;
  size_t Bytes() const { return static_cast<size_t>(length) * channels * format; }
};

Decoded LoadFile(const std::string& path) {
  Decoded d;
  d.data = LoadAudioFile(String(path), &d.length, &d.channels, &d.format, &d.hertz);
  return d;
}

Decoded DecodeWav(std::vector<unsigned char> bytes) {
  Decoded d;
  if (bytes.empty()) bytes.push_back(0);  // fmemopen needs a non-empty buffer
  std::FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
  d.data = LoadWAV(file, &d.length, &d.channels, &d.format, &d.hertz);
  std::fclose(file);
  return d;
}

std::vector<std::string> Files(const std::string& folder, const std::string& extension) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.path().extension() == extension) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string Trim(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

}  // namespace

TEST(WavDecoding, AlsaTestSoundsMatchSoxSampleForSample) {
  const auto files = Files("/usr/share/sounds/alsa", ".wav");
  ASSERT_FALSE(files.empty()) << "alsa-utils sounds are missing";
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    const Decoded d = LoadFile(file);
    ASSERT_TRUE(d.data);
    EXPECT_EQ(std::to_string(d.channels), Trim(ShellOutput("soxi -c '" + file + "'")));
    EXPECT_EQ(std::to_string(d.hertz), Trim(ShellOutput("soxi -r '" + file + "'")));
    EXPECT_EQ(std::to_string(d.length), Trim(ShellOutput("soxi -s '" + file + "'")));
    // sox writes the same encoding as the file when asked for raw output.
    const std::string sox = ShellOutput("sox '" + file + "' -t raw -");
    ASSERT_EQ(sox.size(), d.Bytes());
    EXPECT_EQ(0, std::memcmp(sox.data(), d.data.get(), sox.size()));
  }
}

TEST(WavDecoding, SkipsOtherChunksAndLongFormatChunksAndKeepsEightBitData) {
  const std::vector<unsigned char> pcm{0, 64, 128, 255, 1, 2};
  const Decoded d = DecodeWav(WavBuilder()
                                  .Header()
                                  .Format(1, 8000, 8, 1, 2)
                                  .Chunk("LIST", {'I', 'N', 'F', 'O', 'x', 'y'})
                                  .Chunk("data", pcm)
                                  .bytes);
  ASSERT_TRUE(d.data);
  EXPECT_EQ(6, d.length);
  EXPECT_EQ(1, d.channels);
  EXPECT_EQ(1, d.format);
  EXPECT_EQ(8000, d.hertz);
  EXPECT_EQ(0, std::memcmp(pcm.data(), d.data.get(), pcm.size()));

  // Samples of 12 bits come in 2-byte containers and are read as 16-bit samples.
  const std::vector<unsigned char> twelve{0x10, 0x80, 0xf0, 0x7f, 0x00, 0x00, 0x30, 0x12};
  const Decoded d12 =
      DecodeWav(WavBuilder().Header().Format(2, 8000, 12).Chunk("data", twelve).bytes);
  ASSERT_TRUE(d12.data);
  EXPECT_EQ(2, d12.format);
  EXPECT_EQ(2, d12.length);
  EXPECT_EQ(0, std::memcmp(twelve.data(), d12.data.get(), twelve.size()));

  // A partial frame at the end of the data is not counted.
  const Decoded odd = DecodeWav(
      WavBuilder().Header().Format(2, 22050, 16).Chunk("data", {1, 2, 3, 4, 5, 6, 7}).bytes);
  ASSERT_TRUE(odd.data);
  EXPECT_EQ(1, odd.length);
  EXPECT_EQ(2, odd.format);
}

TEST(WavDecoding, AChunkOfOddSizeIsFollowedByItsPadByteOrByTheNextChunkWhenWritersLeftItOut) {
  const std::string file = "/usr/share/sounds/alsa/Front_Center.wav";
  const auto original = ReadBytes(file);
  ASSERT_GT(original.size(), 44u);
  const Decoded expected = LoadFile(file);
  ASSERT_TRUE(expected.data);
  // A 5-byte LIST chunk goes between the format chunk and the data chunk (which sox writes after a
  // 16-byte format chunk), with its pad byte and without.
  ASSERT_EQ(0, std::memcmp(&original[36], "data", 4));
  for (const bool padded : {true, false}) {
    SCOPED_TRACE(padded ? "padded" : "unpadded");
    std::vector<unsigned char> bytes(original.begin(), original.begin() + 36);
    auto list = WavBuilder().Chunk("LIST", {'I', 'N', 'F', 'O', 'x'}).bytes;
    if (padded) list.push_back(0);
    bytes.insert(bytes.end(), list.begin(), list.end());
    bytes.insert(bytes.end(), original.begin() + 36, original.end());
    const Decoded d = DecodeWav(bytes);
    ASSERT_TRUE(d.data);
    ASSERT_EQ(expected.Bytes(), d.Bytes());
    EXPECT_EQ(0, std::memcmp(expected.data.get(), d.data.get(), d.Bytes()));
  }
}

TEST(WavDecoding, RejectsMalformedFiles) {
  const std::vector<unsigned char> pcm(64, 1);
  struct Case {
    const char* what;
    std::vector<unsigned char> bytes;
  };
  const std::vector<Case> cases{
      {"empty file", {}},
      {"not RIFF",
       WavBuilder().Tag("RIFX").U32(0).Tag("WAVE").Format(1, 8000, 16).Chunk("data", pcm).bytes},
      {"not WAVE",
       WavBuilder().Tag("RIFF").U32(0).Tag("AVI ").Format(1, 8000, 16).Chunk("data", pcm).bytes},
      {"data before fmt", WavBuilder().Header().Chunk("data", pcm).Format(1, 8000, 16).bytes},
      {"float samples", WavBuilder().Header().Format(1, 8000, 32, 3).Chunk("data", pcm).bytes},
      {"no data chunk", WavBuilder().Header().Format(1, 8000, 16).Chunk("LIST", pcm).bytes},
      {"zero channels", WavBuilder().Header().Format(0, 8000, 16).Chunk("data", pcm).bytes},
      {"four-bit samples", WavBuilder().Header().Format(1, 8000, 4).Chunk("data", pcm).bytes},
      {"zero-bit samples", WavBuilder().Header().Format(2, 8000, 0).Chunk("data", pcm).bytes},
      {"truncated data",
       WavBuilder().Header().Format(1, 8000, 16).Tag("data").U32(65).Bytes(pcm).bytes},
      {"header cut short", WavBuilder().Header().Tag("fmt ").U32(16).U16(1).bytes},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(DecodeWav(c.bytes).data);
  }
}

TEST(WavDecoding, OversizedDataChunkIsRejectedWithoutAllocatingItsSize) {
  const auto bytes =
      WavBuilder().Header().Format(2, 44100, 16).Tag("data").U32(0xfffffff0u).U32(0).bytes;
  AllocationCounter counter;
  const Decoded d = DecodeWav(bytes);
  EXPECT_FALSE(d.data);
  EXPECT_LT(counter.Largest(), 1u << 20);
}

TEST(OggDecoding, FreedesktopSoundsMatchSoxiInLengthChannelsAndRateAndAreSixteenBit) {
  const auto files = Files("/usr/share/sounds/freedesktop/stereo", ".oga");
  ASSERT_FALSE(files.empty()) << "sound-theme-freedesktop sounds are missing";
  TempDir dir;
  for (const auto& file : files) {
    SCOPED_TRACE(file);
    // The loader chooses by extension, so the Ogg Vorbis file gets an .ogg name.
    const std::string copy = dir.Write("sound.ogg", ReadBytes(file));
    const Decoded d = LoadFile(copy);
    ASSERT_TRUE(d.data);
    EXPECT_EQ(2, d.format);
    EXPECT_EQ(std::to_string(d.channels), Trim(ShellOutput("soxi -c '" + file + "'")));
    EXPECT_EQ(std::to_string(d.hertz), Trim(ShellOutput("soxi -r '" + file + "'")));
    EXPECT_EQ(std::to_string(d.length), Trim(ShellOutput("soxi -s '" + file + "'")));
  }
}

TEST(AudioFiles, DecoderIsChosenByExtensionInAnyCase) {
  TempDir dir;
  const auto wav = WavBuilder::Tone(8000, 100);
  EXPECT_TRUE(LoadFile(dir.Write("a.wav", wav)).data);
  EXPECT_TRUE(LoadFile(dir.Write("b.WaV", wav)).data);
  EXPECT_FALSE(LoadFile(dir.Write("c.mp3", wav)).data);
  EXPECT_FALSE(LoadFile(dir.Write("d", wav)).data);
  // A WAV file named .ogg goes to the Vorbis decoder, which refuses it.
  EXPECT_FALSE(LoadFile(dir.Write("e.ogg", wav)).data);
  EXPECT_FALSE(LoadFile(dir.Write("f.ogg", std::vector<unsigned char>(5000, 0x4f))).data);
  EXPECT_FALSE(LoadFile(dir.Write("g.ogg", {})).data);
  EXPECT_FALSE(LoadFile(dir.Path("missing.wav").string()).data);
}

TEST(OggDecoding, BytesAfterTheLastPageAndALastPageCutShortStillPlay) {
  const std::string file = "/usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga";
  const auto good = ReadBytes(file);
  ASSERT_FALSE(good.empty());
  TempDir dir;
  const Decoded whole = LoadFile(dir.Write("whole.ogg", good));
  ASSERT_TRUE(whole.data);

  // An ID3v1 tag, or zero padding, after the last page: the same sound.
  auto tagged = good;
  std::vector<unsigned char> tag(128, ' ');
  std::memcpy(tag.data(), "TAGAlarm", 8);
  tagged.insert(tagged.end(), tag.begin(), tag.end());
  auto padded = good;
  padded.resize(good.size() + 4096, 0);
  for (const auto& bytes : {tagged, padded}) {
    const Decoded d = LoadFile(dir.Write("tail.ogg", bytes));
    ASSERT_TRUE(d.data);
    ASSERT_EQ(whole.Bytes(), d.Bytes());
    EXPECT_EQ(0, std::memcmp(whole.data.get(), d.data.get(), d.Bytes()));
  }

  // The last page cut in the middle: the sound up to the last whole page, as far as it goes.
  std::size_t lastPage = 0;
  for (std::size_t at = 0; at < good.size(); at = OggNextPage(good, at)) lastPage = at;
  const std::vector<unsigned char> cut(good.begin(), good.begin() + (lastPage + good.size()) / 2);
  const Decoded shorter = LoadFile(dir.Write("cut.ogg", cut));
  ASSERT_TRUE(shorter.data);
  EXPECT_GT(shorter.length, whole.length / 2);
  EXPECT_LT(shorter.length, whole.length);
  EXPECT_EQ(0, std::memcmp(whole.data.get(), shorter.data.get(), shorter.Bytes()));
}

TEST(OggDecoding, DamagedOrCutStreamsAreRefused) {
  const auto good = ReadBytes("/usr/share/sounds/freedesktop/stereo/bell.oga");
  ASSERT_FALSE(good.empty());
  TempDir dir;
  ASSERT_TRUE(LoadFile(dir.Write("good.ogg", good)).data);

  // Cut inside the headers: no sound can be made.
  EXPECT_FALSE(LoadFile(dir.Write("headers.ogg", {good.begin(), good.begin() + 100})).data);

  // One byte of sound data changed: the page checksum no longer matches.
  auto flipped = good;
  flipped[flipped.size() - 10] ^= 0x20;
  EXPECT_FALSE(LoadFile(dir.Write("flipped.ogg", flipped)).data);

  // Junk between two pages: whole pages follow it, so it is damage, not a tail.
  auto junk = good;
  const std::size_t third = OggNextPage(junk, OggNextPage(junk, 0));
  junk.insert(junk.begin() + static_cast<long>(third), 200, 0);
  EXPECT_FALSE(LoadFile(dir.Write("junk.ogg", junk)).data);

  // A comment header whose vendor text claims to run far past its packet, with valid checksums.
  auto lying = good;
  const std::size_t comments = OggBody(lying, OggNextPage(lying, 0));
  ASSERT_EQ(3, lying[comments]);
  for (std::size_t k = 0; k < 4; ++k) lying[comments + 7 + k] = 0xff;
  FixOggChecksums(lying);
  EXPECT_FALSE(LoadFile(dir.Write("lying.ogg", lying)).data);

  // The same with a huge comment count.
  auto many = good;
  const std::uint32_t vendor = many[comments + 7] | (many[comments + 8] << 8);
  for (std::size_t k = 0; k < 4; ++k) many[comments + 11 + vendor + k] = 0x7f;
  FixOggChecksums(many);
  EXPECT_FALSE(LoadFile(dir.Write("many.ogg", many)).data);
}

TEST(OggDecoding, SamplesGoIntoOneBufferOfTheStatedLengthAndTooLongAStreamIsRefusedUnread) {
  const auto good = ReadBytes("/usr/share/sounds/freedesktop/stereo/alarm-clock-elapsed.oga");
  ASSERT_FALSE(good.empty());
  TempDir dir;
  const std::string path = dir.Write("long.ogg", good);
  AllocationCounter counter;
  const Decoded d = LoadFile(path);
  ASSERT_TRUE(d.data);
  // No growing buffer, no copy (the sanitizer's array new is not counted).
  if (!kAddressSanitizer) {
    EXPECT_EQ(counter.Largest(), d.Bytes());
  }

  // The last page says the stream runs for 2^40 samples: refused before anything is decoded.
  auto endless = good;
  std::size_t lastPage = 0;
  for (std::size_t at = 0; at < endless.size(); at = OggNextPage(endless, at)) lastPage = at;
  endless[lastPage + 11] = 1;
  FixOggChecksums(endless);
  const std::string endlessPath = dir.Write("endless.ogg", endless);
  counter.Reset();
  EXPECT_FALSE(LoadFile(endlessPath).data);
  EXPECT_LT(counter.Largest(), 1u << 20);
}
