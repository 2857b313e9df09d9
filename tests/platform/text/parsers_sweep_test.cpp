// Every short text over the characters the text parsers care about: each parser either
// answers or raises its own error, and never reads outside its input (the address
// sanitizer checks every read).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/text/format.h"
#include "platform/text/string_list.h"
#include "platform/text/sysutils.h"

namespace {

std::vector<std::string> AllTexts(std::string_view alphabet, int maxLength) {
  std::vector<std::string> texts = {""};
  size_t begin = 0;
  for (int length = 1; length <= maxLength; ++length) {
    const size_t end = texts.size();
    for (size_t i = begin; i < end; ++i) {
      for (const char c : alphabet) texts.push_back(texts[i] + c);
    }
    begin = end;
  }
  return texts;
}

}  // namespace

TEST(TextParsers, NumbersAnswerOrRefuseEveryShortText) {
  for (const std::string& text : AllTexts("-+$0x9e. ,", 5)) {
    int integer = 0;
    TryStrToInt(text, integer);
    double value = 0;
    if (TryStrToFloat(text, value)) {
      EXPECT_TRUE(std::isfinite(value)) << text;
    }
  }
}

TEST(TextParsers, ListTextsAnswerEveryShortText) {
  TStringList list;
  for (const std::string& text : AllTexts("\"a, \r\n=", 5)) {
    list.SetCommaText(text);
    list.SetText(text);
    EXPECT_LE(list.Count(), static_cast<int>(text.size()) + 1);
  }
}

TEST(TextParsers, FormatAnswersOrRaisesForEveryShortPattern) {
  for (const std::string& pattern : AllTexts("%-0.5dsfx", 4)) {
    try {
      Format(pattern, 42);
    } catch (const EConvertError&) {
    }
  }
}
