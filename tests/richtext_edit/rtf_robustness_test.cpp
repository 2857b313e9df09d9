// Damaged RTF: every prefix of every fixture and single-byte damage at every position,
// read with every handler assigned, and the kept malformed inputs (the fuzz program's
// saved corpus) replayed as the fuzz program runs them, imported, laid out and painted
// too. Nothing may crash or read outside the input (the sanitizers watch), and a cut file
// is never reported as whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "richtext_edit/rtf_reader_fuzz_target.h"
#include "richtext_edit/support/rtf_event_log.h"

namespace {

const char* const kFixtures[] = {"rtf/basic.rtf", "rtf/lists.rtf", "rtf/tables.rtf",
                                 "rtf/pictures.rtf"};

bool Fuzz(const std::string& bytes) {
  return FuzzRTFReader(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

TEST(RTFRobustness, EveryPrefixOfEveryFixture) {
  for (const char* name : kFixtures) {
    const std::string rtf = LoadTestFile(name);
    ASSERT_FALSE(rtf.empty()) << name;
    const std::size_t lastBrace = rtf.rfind('}');
    for (std::size_t length = 0; length < rtf.size(); ++length) {
      const std::string prefix = rtf.substr(0, length);
      TRDRTFReader reader;
      reader.PixelsPerInch = 96;
      TRTFEventLog log(reader);
      const TRDRTFErrorCode result = ReadRTF(reader, prefix);
      // Until the outermost group is closed the file is incomplete.
      if (length > 0 && length <= lastBrace) {
        EXPECT_NE(result, rtf_ec_OK) << name << " cut at " << length;
      }
    }
  }
}

TEST(RTFRobustness, DamageAtEveryPosition) {
  const char damages[] = {'{', '}', '\\', '\'', 'z', '\0', char(0xFF)};
  for (const char* name : kFixtures) {
    const std::string rtf = LoadTestFile(name);
    for (std::size_t at = 0; at < rtf.size(); ++at) {
      for (const char damage : damages) {
        std::string damaged = rtf;
        damaged[at] = damage;
        EXPECT_TRUE(Fuzz(damaged));
      }
    }
  }
}

TEST(RTFRobustness, KeptMalformedInputs) {
  const std::filesystem::path folder =
      std::filesystem::path(VELMORA_TEST_DATA) / "rtf" / "malformed";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string bytes = LoadTestFile("rtf/malformed/" + entry.path().filename().string());
    EXPECT_TRUE(FuzzRTFFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
        << entry.path();
    ++files;
  }
  EXPECT_GE(files, 8);
}

TEST(RTFRobustness, UnbalancedAndEndlessInput) {
  struct Case {
    std::string rtf;
    TRDRTFErrorCode result;
  };
  const Case cases[] = {
      {"{\\rtf1 " + std::string(5000, '}'), rtf_ec_OK},
      {std::string(5000, '}'), rtf_ec_StackUnderflow},
      {"{\\rtf1 " + std::string(999, '{'), rtf_ec_UnmatchedBrace},
      {"{\\rtf1{\\pict\\dibitmap0 " + std::string(100000, 'f') + "}}", rtf_ec_OK},
      {"{\\rtf1{\\pict\\bin999999999 \x01\x02", rtf_ec_UnmatchedBrace},
      {"{\\rtf1\\'", rtf_ec_UnmatchedBrace},
      {"{\\rtf1\\u", rtf_ec_UnmatchedBrace},
      {"{\\rtf1\\uc99999999999\\u65 " + std::string(100, 'x') + "}", rtf_ec_OK},
  };
  for (const Case& c : cases) {
    TRDRTFReader reader;
    TRTFEventLog log(reader);
    EXPECT_EQ(ReadRTF(reader, c.rtf), c.result) << c.rtf.substr(0, 40);
  }
}

}  // namespace

namespace {

// Random sequences of RTF fragments: every destination, table, list, picture and field word
// in orders no writer would produce.
TEST(RTFRobustness, RandomSequencesOfRealWords) {
  const char* const fragments[] = {"{",
                                   "}",
                                   "}",
                                   "{\\*",
                                   "\\par ",
                                   "\\pard",
                                   "\\plain",
                                   "\\intbl",
                                   "\\itap2 ",
                                   "\\itap0 ",
                                   "\\cell ",
                                   "\\nestcell ",
                                   "\\row ",
                                   "\\nestrow ",
                                   "\\trowd",
                                   "\\cellx100",
                                   "\\clvmgf",
                                   "\\clmrg",
                                   "\\clbrdrt\\brdrs",
                                   "\\trbrdrl\\brdrdb",
                                   "\\brdrw5",
                                   "\\clshdng3000",
                                   "\\clcbpat1",
                                   "{\\colortbl;\\red9;}",
                                   "{\\fonttbl{\\f0 A;}}",
                                   "\\f0",
                                   "\\f99",
                                   "{\\stylesheet{\\s1 N;}",
                                   "{\\*\\listtable{\\list{\\listlevel{\\leveltext\\'02\\'00;}",
                                   "{\\listoverride\\ls1",
                                   "{\\*\\listoverridetable",
                                   "\\ls1\\ilvl3",
                                   "{\\*\\pn\\pnlvl3",
                                   "{\\*\\pnseclvl2\\pnucrm",
                                   "{\\pntxta x}",
                                   "{\\pict\\wmetafile8 ",
                                   "{\\pict\\dibitmap0 ",
                                   "{\\pict\\wbitmap0\\picw2\\pich2 ",
                                   "{\\pict\\jpegblip ",
                                   "\\bin3 ",
                                   "0102ff",
                                   "{\\*\\shppict",
                                   "{\\nonshppict",
                                   "{\\object\\objemb{\\*\\objdata ",
                                   "{\\result ",
                                   "{\\field{\\*\\fldinst ",
                                   "SYMBOL 65 \\\\f \"S\" \\\\s 9",
                                   "INCLUDEPICTURE x.png",
                                   "{\\fldrslt ",
                                   "\\u8364?",
                                   "\\uc2",
                                   "\\'e9",
                                   "\\'",
                                   "\\v",
                                   "\\v0",
                                   "\\b",
                                   "\\fs-7",
                                   "\\highlight9",
                                   "\\tx100\\tqr",
                                   "\\jclisttab",
                                   "{\\header ",
                                   "{\\footer ",
                                   "\\page",
                                   "\\line",
                                   "\\tab",
                                   "text ",
                                   "\\~",
                                   "\\-",
                                   "\\ldblquote"};
  std::uint32_t seed = 12345;
  const auto next = [&seed] {
    seed = seed * 1103515245 + 12345;
    return seed >> 8;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string rtf = "{\\rtf1";
    const int count = int(next() % 40);
    for (int i = 0; i < count; ++i) rtf += fragments[next() % std::size(fragments)];
    EXPECT_TRUE(Fuzz(rtf));
  }
}

}  // namespace

namespace {

TEST(RTFRobustness, ManyTableEntriesAndReferencesStayLinear) {
  std::string rtf = "{\\rtf1{\\fonttbl";
  for (int i = 0; i < 50000; ++i) rtf += "{\\f" + std::to_string(i) + " F;}";
  rtf += "}{\\stylesheet";
  for (int i = 0; i < 50000; ++i)
    rtf += "{\\s" + std::to_string(i) + "\\sbasedon" + std::to_string(i / 2) + " S;}";
  rtf += "}";
  for (int i = 0; i < 50000; ++i) rtf += "\\f" + std::to_string(49999 - i) + " x";
  rtf += "}";
  TRDRTFReader reader;
  int lastFont = -1;
  reader.OnNewText = [&lastFont](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    lastFont = sender->State().CharProps.FontIndex;
  };
  ASSERT_EQ(ReadRTF(reader, rtf), rtf_ec_OK);
  EXPECT_EQ(lastFont, 0);
  EXPECT_EQ(reader.StyleSheet()[49999].BasedOn, &reader.StyleSheet()[24999]);
}

TEST(RTFRobustness, LongMarkerTextsAreCutBeforeGroupsCopyThem) {
  std::string rtf = "{\\rtf1{\\*\\pn\\pnlvlbody{\\pntxta " + std::string(1000000, 'm') + "}}";
  for (int i = 0; i < 20000; ++i) rtf += "{}";
  rtf += "x}";
  TRDRTFReader reader;
  std::size_t length = 0;
  reader.OnNewText = [&length](TRDRTFReader* sender, const std::string&, TRDRTFPosition) {
    length = sender->State().ParaProps.Marker->TextAfter.size();
  };
  ASSERT_EQ(ReadRTF(reader, rtf), rtf_ec_OK);
  EXPECT_EQ(length, TRDRTFMarkerProperties::kMaxTextLength);
}

}  // namespace
