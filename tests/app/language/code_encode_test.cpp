#include "app/language/code_encode.h"

#include <gtest/gtest.h>

#include "app/language/language_key.h"

namespace {

std::string Hex(const std::string& S) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : S) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

TEST(CodeEncode, LanguageKeyIsTheFullKey) {
  EXPECT_EQ(kLanguageKey.size(), 136u);
  EXPECT_EQ(kLanguageKey[43], '\xC4');
  EXPECT_EQ(kLanguageKey.back(), '7');
}

// Vectors computed once by an independent implementation of the schedule and step.
TEST(CodeEncode, KnownAnswers) {
  EXPECT_EQ(Hex(EncodeString("abc", "Key")), "7c91c8");
  EXPECT_EQ(Hex(EncodeString("abc", kLanguageKey)), "fec223");
  EXPECT_EQ(Hex(EncodeString("Velmora language file test", kLanguageKey)),
            "c93fc45d74d074f8c5af6e925471afffa034628fb3949861092d");
  EXPECT_EQ(Hex(EncodeString(std::string(8, '\0'), std::string(7, '\xFF'))), "6d252f2470531bb0");
}

TEST(CodeEncode, FreshStatesGiveTheSameOutput) {
  EXPECT_EQ(EncodeString("abc", kLanguageKey), EncodeString("abc", kLanguageKey));
}

TEST(CodeEncode, RoundTripsBothWays) {
  std::string all;
  for (int n = 0; n < 256; ++n) all += static_cast<char>(n);
  all += all;
  EXPECT_EQ(DecodeString(EncodeString(all, kLanguageKey), kLanguageKey), all);
  // Deciphering first, then enciphering, gives the text back as well.
  EXPECT_EQ(EncodeString(DecodeString(all, kLanguageKey), kLanguageKey), all);
  EXPECT_EQ(EncodeString("", kLanguageKey), "");
}

TEST(CodeEncode, PlainTextFeedsTheStream) {
  // A change in one plain byte changes everything after it, not just that byte.
  const std::string a = EncodeString("AAAAAAAA", kLanguageKey);
  const std::string b = EncodeString("ABAAAAAA", kLanguageKey);
  EXPECT_EQ(a[0], b[0]);
  EXPECT_NE(a.substr(2), b.substr(2));
}

TEST(CodeEncode, BufferFormsMatchStringForms) {
  const std::string text = "Velmora";
  TCipherState state;
  CipherInit(state, reinterpret_cast<const std::uint8_t*>(kLanguageKey.data()),
             kLanguageKey.size());
  std::string out(text.size(), '\0');
  // In place, in two pieces: the state carries over.
  std::copy(text.begin(), text.end(), out.begin());
  auto* bytes = reinterpret_cast<std::uint8_t*>(out.data());
  CipherEncodeBuf(state, bytes, bytes, 3);
  CipherEncodeBuf(state, bytes + 3, bytes + 3, out.size() - 3);
  EXPECT_EQ(out, EncodeString(text, kLanguageKey));
}

}  // namespace
