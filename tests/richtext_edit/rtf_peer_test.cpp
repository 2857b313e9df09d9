// The fixtures' text as our reader sees it against an independent converter, unrtf
// (Debian package unrtf): `unrtf --text` prints the document text after a banner of
// "###" lines and a row of dashes. unrtf shows hidden text and leaves out headers and
// footers, so our reader is run the same way; whitespace (tabs, cell and paragraph ends)
// is formatted differently by the two and left out of the comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "platform/sys/child_process.h"
#include "richtext_edit/support/rtf_event_log.h"
#include "support/unrtf_text.h"

namespace {

std::string WithoutWhitespace(std::string text) {
  std::erase_if(text, [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
  return text;
}

std::string OurText(const std::string& rtf) {
  TRDRTFReader reader;
  std::string text;
  reader.OnNewText = [&text](TRDRTFReader*, const std::string& run, TRDRTFPosition) {
    text += run;
  };
  reader.OnHeaderFooter = [](TRDRTFReader*, TRDRTFHeaderFooterType, bool, bool& supported) {
    supported = false;
  };
  EXPECT_EQ(ReadRTF(reader, rtf), rtf_ec_OK);
  return text;
}

TEST(RTFPeer, TextAgreesWithUnrtf) {
  if (!ProgramAvailable("unrtf")) GTEST_SKIP() << "unrtf is not installed";
  for (const char* name : {"rtf/basic.rtf", "rtf/tables.rtf"}) {
    const std::string peer =
        WithoutWhitespace(UnrtfText(std::string(VELMORA_TEST_DATA) + "/" + name));
    ASSERT_FALSE(peer.empty()) << name;
    EXPECT_EQ(WithoutWhitespace(OurText(LoadTestFile(name))), peer) << name;
  }
}

}  // namespace
