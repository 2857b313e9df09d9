// Bad input: every prefix of valid files and every file of the malformed corpus ends in
// a picture or a GIFException (the fuzz entry lets any other exception through), under
// the sanitizers.
#include <gtest/gtest.h>

#include <filesystem>

#include "gif/fuzz_targets.h"
#include "gif/gif_picture.h"
#include "gif_test_support.h"

namespace {

void Feed(const std::string& Bytes) {
  FuzzGIFReader(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
}

TEST(GifRobustness, EveryPrefixOfAValidFileLoadsOrFailsCleanly) {
  for (const char* name :
       {"basic_4", "interlaced_3x5", "transparent", "anim_local", "comment_app", "optimized"}) {
    SCOPED_TRACE(name);
    const std::string file = ReadFileBytes(GifFixturePath(std::string(name) + ".gif"));
    for (std::size_t n = 0; n <= file.size(); ++n) Feed(file.substr(0, n));
  }
}

TEST(GifRobustness, PrefixesCutInsideTheHeaderAreErrors) {
  const std::string file = ReadFileBytes(GifFixturePath("basic_4.gif"));
  for (std::size_t n = 0; n < 13; ++n) {
    TGIFPicture picture;
    EXPECT_THROW(LoadBytes(picture, file.substr(0, n)), GIFException) << n;
  }
}

TEST(GifRobustness, TheMalformedCorpusLoadsOrFailsCleanly) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(GifFixturePath("malformed"))) {
    SCOPED_TRACE(entry.path().filename().string());
    Feed(ReadFileBytes(entry.path().string()));
    ++files;
  }
  EXPECT_GE(files, 10);
}

TEST(GifRobustness, SingleByteDamageNeverCrashes) {
  const std::string file = ReadFileBytes(GifFixturePath("anim_local.gif"));
  for (std::size_t at = 0; at < file.size(); at += 3)
    for (int value : {0x00, 0x2C, 0x21, 0x3B, 0xFF}) {
      std::string damaged = file;
      damaged[at] = static_cast<char>(value);
      Feed(damaged);
    }
}

}  // namespace
