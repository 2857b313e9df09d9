// Line-break classes of sample characters and the pair-table break search.
#include <gtest/gtest.h>

#include "richtext/base/line_break.h"

namespace {

using C = TRDLineBreakClass;

TEST(LineBreakClass, ShortClassesAndDefaults) {
  EXPECT_EQ(GetLineBreakClass(u'a'), C::AL);
  EXPECT_EQ(GetLineBreakClass(u' '), C::AL);
  EXPECT_EQ(GetLineBreakClass(u'\r'), C::AL);
  EXPECT_EQ(GetLineBreakClass(u'\t'), C::BA);
  EXPECT_EQ(GetLineBreakClass(0x0001), C::CM);
  EXPECT_EQ(GetLineBreakClass(0x0085), C::CM);
  EXPECT_EQ(GetLineBreakClass(u'('), C::OP);
  EXPECT_EQ(GetLineBreakClass(u'}'), C::CL);
  EXPECT_EQ(GetLineBreakClass(u'"'), C::QU);
  EXPECT_EQ(GetLineBreakClass(0x00A0), C::GL);
  EXPECT_EQ(GetLineBreakClass(u'?'), C::EX);
  EXPECT_EQ(GetLineBreakClass(u'/'), C::SY);
  EXPECT_EQ(GetLineBreakClass(u','), C::IS);
  EXPECT_EQ(GetLineBreakClass(u'$'), C::PR);
  EXPECT_EQ(GetLineBreakClass(u'%'), C::PO);
  EXPECT_EQ(GetLineBreakClass(0x2026), C::IN);
  EXPECT_EQ(GetLineBreakClass(u'-'), C::HY);
  EXPECT_EQ(GetLineBreakClass(0x00B4), C::BB);
  EXPECT_EQ(GetLineBreakClass(0x2014), C::B2);
  EXPECT_EQ(GetLineBreakClass(0x200B), C::ZW);
  EXPECT_EQ(GetLineBreakClass(0x201A), C::OP);
  EXPECT_EQ(GetLineBreakClass(0x0301), C::CM);
  EXPECT_EQ(GetLineBreakClass(0xFE0F), C::CM);
}

TEST(LineBreakClass, DigitsIdeographsAndBrackets) {
  EXPECT_EQ(GetLineBreakClass(u'7'), C::NU);
  EXPECT_EQ(GetLineBreakClass(0x0663), C::NU);  // Arabic-Indic
  EXPECT_EQ(GetLineBreakClass(0x0BE7), C::NU);  // Tamil one
  EXPECT_EQ(GetLineBreakClass(0x0BE6), C::AL);  // Tamil zero is not listed
  EXPECT_EQ(GetLineBreakClass(0x4E00), C::ID);
  EXPECT_EQ(GetLineBreakClass(0xAC00), C::ID);
  EXPECT_EQ(GetLineBreakClass(0x3042), C::ID);  // hiragana a
  EXPECT_EQ(GetLineBreakClass(0x3041), C::NS);  // small a
  EXPECT_EQ(GetLineBreakClass(0x3001), C::CL);
  EXPECT_EQ(GetLineBreakClass(0x3008), C::OP);
  EXPECT_EQ(GetLineBreakClass(0x3009), C::CL);
  EXPECT_EQ(GetLineBreakClass(0x301B), C::CL);
  EXPECT_EQ(GetLineBreakClass(0xFF08), C::OP);
  EXPECT_EQ(GetLineBreakClass(0x302A), C::CM);
  EXPECT_EQ(GetLineBreakClass(0xD800), C::AL);
  EXPECT_EQ(GetLineBreakClass(0xE000), C::AL);
}

TEST(LineBreakPairs, TableEntriesTheAnnexGives) {
  EXPECT_EQ(LineBreakAction(C::AL, C::AL), kIndirectBreak);
  EXPECT_EQ(LineBreakAction(C::ID, C::ID), kDirectBreak);
  EXPECT_EQ(LineBreakAction(C::NU, C::NU), kIndirectBreak);
  EXPECT_EQ(LineBreakAction(C::CL, C::NS), kIndirectBreak);
  EXPECT_EQ(LineBreakAction(C::B2, C::B2), kProhibitedBreak);
  for (int row = 0; row < kLineBreakClassCount; ++row) {
    C before = C(row);
    if (before != C::ZW) {
      EXPECT_EQ(LineBreakAction(before, C::CM), kIndirectBreak);
    }
    for (C after : {C::CL, C::EX, C::IS, C::SY, C::ZW}) {
      if (before != C::ZW || after == C::ZW) {
        EXPECT_EQ(LineBreakAction(before, after), kProhibitedBreak);
      }
    }
    if (row != int(C::CM)) {
      EXPECT_EQ(LineBreakAction(C::OP, before), kProhibitedBreak);
    }
  }
  EXPECT_EQ(LineBreakAction(C::ZW, C::AL), kDirectBreak);
}

TEST(FindLineBreak, BreaksAfterAWordAndItsSpace) {
  EXPECT_EQ(FindLineBreakW(u"ab cd", 4, false), 2);
  EXPECT_EQ(FindLineBreakW(u"ab   cd", 6, false), 4);
  EXPECT_EQ(FindLineBreakW(u"abcd", 3, false), kNoLineBreak);
}

TEST(FindLineBreak, SpaceAtIndexIsSkipped) {
  EXPECT_EQ(FindLineBreakW(u"ab cd ", 5, true), 2);
  EXPECT_EQ(FindLineBreakW(u" x", 0, true), kNoLineBreak);
}

TEST(FindLineBreak, IdeographsBreakDirectlyBracketsNever) {
  EXPECT_EQ(FindLineBreakW(u"\u4E00\u4E01", 1, false), 0);
  EXPECT_EQ(FindLineBreakW(u"a (b", 3, false), 1);  // never after the bracket
  EXPECT_EQ(FindLineBreakW(u"x-y", 2, false), 1);   // after the hyphen
}

TEST(FindLineBreak, IndexOutsideTheTextFindsNothing) {
  EXPECT_EQ(FindLineBreakW(u"ab", 2, false), kNoLineBreak);
  EXPECT_EQ(FindLineBreakW(u"ab", -1, false), kNoLineBreak);
  EXPECT_EQ(FindLineBreakW(u"", 0, true), kNoLineBreak);
}

}  // namespace
