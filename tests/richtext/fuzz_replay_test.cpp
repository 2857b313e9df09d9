// Replays the saved fuzzing corpus of the RDF reader (tests/data/richtext/fuzz/,
// inputs that reached new code under libFuzzer) and the kept malformed documents
// (tests/data/richtext/malformed/) through the fuzzed reader.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "richtext/fuzz_targets.h"
#include "richtext/model/marker_item.h"

namespace {

int ReplayFolder(const std::string& folder) {
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(VELMORA_TEST_DATA) +
                                                               "/richtext/" + folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    const std::string bytes = content.str();
    EXPECT_TRUE(FuzzRDFReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++files;
  }
  return files;
}

TEST(RDFReaderFuzzReplay, SavedCorpus) {
  EXPECT_GE(ReplayFolder("fuzz"), 20);
}

TEST(RDFReaderFuzzReplay, KeptMalformedDocuments) {
  EXPECT_GE(ReplayFolder("malformed"), 7);
}

// A document whose lengths lie far beyond any page (a list level indented 2,097,152,095
// pixels once formatted for minutes and then crashed the viewer): in the text and in the
// binary form every length is cut to what a page can hold where it is read, and the
// document lays out within a few pages' width and paints.
TEST(RDFReaderFuzzReplay, LengthsBeyondAPageAreCutWhereTheyAreRead) {
  for (const int value : {2097152095, INT_MAX, INT_MIN, -2097152095, 100000000}) {
    TTestFormattedData source(320, 240);
    TRDListLevel& level = source.style.ListStyles().Add().AddLevel();
    level.ListType = rdlstDecimal;
    level.FormatString = "%0:s.";
    level.LeftIndent = level.FirstIndent = level.MarkerIndent = value;
    TParaInfo& para = source.style.ParaStyles()[0];
    para.LeftIndent = para.RightIndent = para.FirstIndent = value;
    para.SpaceBefore = para.SpaceAfter = value;
    para.Tabs.Add(value, rdtaRight, "");
    TFontInfo& font = source.style.TextStyles()[0];
    font.CharSpacing = font.VShift = value;
    source.AddItemAtEnd("", TRDMarkerItemInfo::CreateMarker(&source, 0, 0, 1, false));
    source.AddText("words that have to wrap somewhere on the line", 0, -1);
    for (TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
      source.SetRDFOptions(form | rdfoSaveTextStyles | rdfoSaveParaStyles);
      TMemoryStream saved;
      SaveRDFToStream(source, saved, false);
      const std::string bytes(static_cast<const char*>(saved.Memory()), size_t(saved.Size()));
      TTestFormattedData read(320, 240);
      saved.SetPosition(0);
      ASSERT_TRUE(LoadRDFFromStream(read, saved)) << value;
      const TRDListLevel& readLevel = *read.style.ListStyles()[0].Levels[0];
      const TParaInfo& readPara = read.style.ParaStyles()[0];
      const TFontInfo& readFont = read.style.TextStyles()[0];
      for (int length : {readLevel.LeftIndent, readLevel.FirstIndent, readLevel.MarkerIndent,
                         readPara.LeftIndent, readPara.RightIndent, readPara.FirstIndent,
                         readPara.SpaceBefore, readPara.SpaceAfter, readPara.Tabs.Items(0).Position,
                         readFont.CharSpacing, readFont.VShift})
        EXPECT_EQ(length, ClampToPage(value)) << value;
      read.FormatAndPaint();
      EXPECT_LE(read.area_width, 8 * kMaxPageLength) << value;
      EXPECT_LE(read.area_height, 8 * kMaxPageLength) << value;
      EXPECT_TRUE(FuzzRDFReader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
  }
}

}  // namespace
