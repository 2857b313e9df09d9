#include "platform/text/cp1252.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf16) {
  std::string all;
  for (int code = 0; code < 256; ++code) all += static_cast<char>(code);
  const std::u16string wide = Cp1252ToUtf16(all);
  ASSERT_EQ(wide.size(), 256u);
  EXPECT_EQ(Utf16ToCp1252(wide), all);
  // No two bytes share a UTF-16 unit.
  std::u16string sorted = wide;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}

TEST(Cp1252, MapsTheCodePageCharacters) {
  const std::u16string wide = Cp1252ToUtf16("A\x80\x8A\x9F\xE4\xDF\xFF");
  EXPECT_EQ(wide, u"A\u20AC\u0160\u0178\u00E4\u00DF\u00FF");
  for (const unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    EXPECT_EQ(Cp1252ToUtf16(std::string(1, static_cast<char>(undefined)))[0], undefined);
  }
  EXPECT_EQ(Utf16ToCp1252(u"\u20AC \u2026 \u00FC"), "\x80 \x85 \xFC");
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(Utf16ToCp1252(u"\u03A9x"), "?x");
  EXPECT_EQ(Utf16ToCp1252(u"a\U0001F600b"), "a?b");             // a surrogate pair is one character
  EXPECT_EQ(Utf16ToCp1252(std::u16string(1, u'\xD800')), "?");  // a lone half
  EXPECT_EQ(Utf16ToCp1252(u"\u0080"), "?");  // C1 controls that the code page uses otherwise
  EXPECT_EQ(Utf16ToCp1252(u""), "");
}

// A file name comes back byte for byte, whatever its bytes: UTF-8 read as characters,
// and a name in Latin-1, a cut UTF-8 sequence or an encoded surrogate kept as bytes.
TEST(Cp1252, FileNamesComeBackByteForByte) {
  EXPECT_EQ(FileNameToUtf16("\xCE\xA9 \xF0\x9F\x98\x80.spk"), u"\u03A9 \U0001F600.spk");
  EXPECT_EQ(FileNameToUtf16("fran\xE7"
                            "ais.spk"),
            u"fran\xDCE7"
            "ais.spk");
  std::vector<std::string> names = {
      "fran\xE7"
      "ais.spk",
      "\xCE",
      "a\xE2\x82",
      "\xED\xB3\xA7",
      "\xF0\x9F\x98\x80\xE7",
      "\xC3\xA7\xE7\xC3"};
  for (int code = 0; code < 256; ++code) names.push_back(std::string(1, static_cast<char>(code)));
  for (const std::string& name : names) {
    const std::u16string wide = FileNameToUtf16(name);
    EXPECT_EQ(Utf16ToFileName(wide), name) << name;
  }
  // A surrogate pair whose second half looks like a kept byte is still one character.
  EXPECT_EQ(Utf16ToFileName(u"\xD83D\xDCE7"), "\xF0\x9F\x93\xA7");
}

// Received text: valid UTF-8 is read as UTF-8, every character kept (beyond the plane of
// two-byte units too); anything else stays Windows-1252 as it came.
TEST(Cp1252, ReceivedTextIsReadAsUtf8OnlyWhenItIsValidUtf8) {
  struct TCase {
    std::string received;
    std::u16string shown;
    bool utf8;
  };
  const TCase cases[] = {
      {"Gr\xC3\xBC\xC3\x9F"
       "e \xE2\x82\xAC",
       u"Gr\u00FC\u00DF"
       u"e \u20AC",
       true},
      {"\xF0\x9F\x98\x80 ok \xCE\xA9", u"\U0001F600 ok \u03A9", true},
      {"\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85",
       u"\u05E9\u05DC\u05D5\u05DD \u0633\u0644\u0627\u0645", true},
      {"plain 73", u"plain 73", false},
      {"", u"", false},
      {"Gr\xFC\xDF"
       "e \x80",
       u"Gr\u00FC\u00DF"
       u"e \u20AC",
       false},                                                   // Windows-1252
      {"\xC3", u"\u00C3", false},                                // cut short
      {"\xC3\xBC\xC3", u"\u00C3\u00BC\u00C3", false},            // cut short after a good one
      {"\xC0\xAF", u"\u00C0\u00AF", false},                      // overlong
      {"\xE0\x80\xAF", u"\u00E0\u20AC\u00AF", false},            // overlong
      {"\xED\xA0\x80", u"\u00ED\u00A0\u20AC", false},            // a surrogate
      {"\xF4\x90\x80\x80", u"\u00F4\u0090\u20AC\u20AC", false},  // beyond U+10FFFF
      {"\xBC", u"\u00BC", false},                                // a lone continuation byte
  };
  for (const TCase& c : cases) {
    EXPECT_EQ(ReceivedTextToUtf16(c.received), c.shown) << c.received;
    EXPECT_EQ(IsUtf8Text(c.received), c.utf8) << c.received;
  }
}

// The most of a typed text that goes out within a byte limit, found in one walk, is the
// longest start that the text's own bytes (TextToSend) let through: checked against
// trying every start, with every character boundary a cut.
TEST(Cp1252, SendableHeadIsTheLongestStartThatFits) {
  struct TCase {
    std::u16string head, tail;
    size_t max_bytes;
  };
  const TCase cases[] = {
      {std::u16string(2000, u'\u0416'), u"", 67},      // a long Cyrillic paste
      {std::u16string(100, u'a'), u"", 67},            // ASCII
      {std::u16string(70, u'\u00FC'), u"", 67},        // the code page: a byte each
      {std::u16string(70, u'\u00FC'), u"\u0416", 67},  // ... until the tail turns it UTF-8
      {u"abc\u0416\u00FCxyz", u"\u00E9\u00E9", 10},    // a letter beyond it ahead
      {u"a\U0001F600\U0001F600\U0001F600", u"", 10},   // pairs of units
      {u"\u00C3\u00BC\u00C3\u00BC", u"", 3},           // code page bytes that read as UTF-8
      {u"\u00C3\u00BCxx", u"", 4},
      {u"hello", u"\u0416\u0416\u0416\u0416\u0416\u0416", 10},  // the tail alone too long
      {u"", u"", 0},
  };
  for (const TCase& c : cases) {
    std::vector<size_t> cuts;
    for (size_t at = 0; at <= c.head.size(); ++at) {
      const bool inside_pair =
          at > 0 && at < c.head.size() && c.head[at] >= 0xDC00 && c.head[at] <= 0xDFFF;
      if (!inside_pair) cuts.push_back(at);
    }
    size_t longest = 0;
    for (const size_t cut : cuts)
      if (TextToSend(std::u16string(c.head.substr(0, cut)) + c.tail).size() <= c.max_bytes)
        longest = cut;
    EXPECT_EQ(SendableHeadLength(c.head, c.tail, c.max_bytes, cuts), longest)
        << c.head.size() << " + " << c.tail.size() << " in " << c.max_bytes;
  }
  // Only at the cuts given: a letter keeps its mark.
  EXPECT_EQ(SendableHeadLength(u"aae\u0301", u"", 4, {0, 1, 2, 4}), 2u);
}
