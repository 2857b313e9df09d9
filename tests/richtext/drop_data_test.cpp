// Reading what a drop onto a document brings, with lengths and ends bounded by the data.
#include <gtest/gtest.h>

#include <string>

#include "platform/gui/controls/drag_drop.h"
#include "richtext/view/rd_drop_data.h"

namespace {

TDragData With(const std::string& format, const std::string& bytes) {
  TDragData data;
  data.Add(format, [bytes](std::string& out) {
    out = bytes;
    return true;
  });
  return data;
}

std::string Block(std::uint32_t length, const std::string& body) {
  std::string block(4, '\0');
  for (int i = 0; i < 4; ++i) block[size_t(i)] = char(length >> (8 * i));
  return block + body;
}

TEST(DropData, TheViewersBlockIsCutToItsLengthAndToTheBytesThatCame) {
  EXPECT_EQ(DroppedRichDoc(With("application/x-velmora-richdoc", Block(3, "abcdef"))), "abc");
  // A length beyond the block gives what is there, not more.
  EXPECT_EQ(DroppedRichDoc(With("application/x-velmora-richdoc", Block(0xFFFFFFF0u, "ab"))), "ab");
  EXPECT_EQ(DroppedRichDoc(With("application/x-velmora-richdoc", "\x02\x00")), "");
  EXPECT_EQ(DroppedRichDoc(With("text/plain", "x")), "");
}

TEST(DropData, TextEndsAtItsFirstNulAndRtfComesUnderEitherName) {
  EXPECT_EQ(DroppedText(With("text/plain", std::string("abc\0def", 7))), "abc");
  EXPECT_EQ(DroppedText(With("text/plain", "no end")), "no end");
  EXPECT_EQ(DroppedRTF(With("application/rtf", "{\\rtf1 x}")), "{\\rtf1 x}");
  EXPECT_EQ(DroppedRTF(With("text/plain", "x")), "");
}

TEST(DropData, TheEffectIsOneTheSourceAllows) {
  EXPECT_EQ(ChooseDropEffect(deCopy | deMove, 0, true), deMove);
  EXPECT_EQ(ChooseDropEffect(deCopy | deMove, ssCtrl, true), deCopy);
  EXPECT_EQ(ChooseDropEffect(deCopy | deMove, 0, false), deCopy);
  EXPECT_EQ(ChooseDropEffect(deMove | deLink, 0, false), deLink);
  // Nothing a document can do: a refusal, never an effect the source did not offer.
  EXPECT_EQ(ChooseDropEffect(deMove, 0, false), deNone);
  EXPECT_EQ(ChooseDropEffect(deNone, 0, true), deNone);
}

}  // namespace
