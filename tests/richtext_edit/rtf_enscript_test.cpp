// RTF written by an independent program: GNU enscript 1.6.5 (Debian package enscript)
// turned tests/data/rtf/enscript/beacon.c into beacon.rtf with
//   enscript -q -w rtf --color -Ec -p beacon.rtf beacon.c
// Its text must be the source's, line for line, and its highlighting must be what
// enscript's C style gives: comments italic firebrick, keywords and types bold.
#include <gtest/gtest.h>

#include <map>

#include "richtext_edit/support/rtf_event_log.h"

namespace {

TEST(RTFIndependentWriter, EnscriptSourceListing) {
  TRDRTFReader reader;
  std::string text;
  std::map<std::string, std::pair<TColor, TRDRTFFontStyles>> runs;
  reader.OnNewText = [&](TRDRTFReader* sender, const std::string& run, TRDRTFPosition at) {
    if (at != rtf_ts_ContinuePara && !text.empty()) text += '\n';
    text += run;
    runs[run] = {sender->State().CharProps.Color, sender->State().CharProps.Style};
  };
  ASSERT_EQ(ReadRTF(reader, LoadTestFile("rtf/enscript/beacon.rtf")), rtf_ec_OK);
  std::string source = LoadTestFile("rtf/enscript/beacon.c");
  ASSERT_FALSE(source.empty());
  // The last line break starts no further text; the blank line is an empty line.
  source.pop_back();
  EXPECT_EQ(text, source);  // code page 1252 bytes, as enscript wrote them
  EXPECT_EQ(reader.FontTable()[0].Name, "Courier New");
  EXPECT_EQ(reader.ColorTable().Count(), 30);  // the automatic entry and 29 colours
  const auto comment = runs.at("/* APRS beacon: position report every 10 minutes */");
  EXPECT_EQ(comment, std::make_pair(RGB(178, 34, 34), TRDRTFFontStyles(rtf_fs_Italic)));
  EXPECT_EQ(runs.at("int"), std::make_pair(RGB(34, 139, 34), TRDRTFFontStyles(rtf_fs_Bold)));
  EXPECT_EQ(runs.at("\"%s\\n\"").first, RGB(188, 143, 143));
  EXPECT_EQ(runs.at(" 0;").second, 0);
}

}  // namespace
