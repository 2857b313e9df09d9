// The system clipboard as other programs see it: text as UTF-8 text/plain, RTF under
// both of its MIME types, our own formats under theirs, pictures as PNG, and a copy that
// is given up leaving the old content.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"

namespace {

bool Holds(const std::string& MimeType) {
  const std::vector<std::string> types = ClipboardMimeTypes();
  return std::find(types.begin(), types.end(), MimeType) != types.end();
}

TEST(Clipboard, TextIsUtf8ForOthersAndOurCodePageOrUtf16ForUs) {
  TClipboard& clipboard = Clipboard();
  clipboard.SetAsBytes(CF_TEXT,
                       "Stra\xDF"
                       "e");
  EXPECT_EQ(ClipboardMimeData("text/plain"),
            "Stra\xC3\x9F"
            "e");
  EXPECT_EQ(clipboard.GetAsBytes(CF_UNICODETEXT), std::string("S\0t\0r\0a\0\xDF\0e\0", 12));
  // A wide text ends at its zero unit; a character outside the code page reads back as '?'.
  clipboard.SetAsBytes(CF_UNICODETEXT, std::string("\xAC\x20"
                                                   "a\0\0\0z\0",
                                                   8));
  EXPECT_EQ(ClipboardMimeData("text/plain"),
            "\xE2\x82\xAC"
            "a");
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT),
            "\x80"
            "a");
  clipboard.SetAsBytes(CF_UNICODETEXT, std::string("\x3A\x04", 2));
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "?");
}

// Other programs here end lines with LF; ours read and write CR LF.
TEST(Clipboard, LinesEndWithLFForOthersAndCRLFForUs) {
  TClipboard& clipboard = Clipboard();
  clipboard.SetAsBytes(CF_TEXT, "a\r\nb\r\n");
  EXPECT_EQ(ClipboardMimeData("text/plain"), "a\nb\n");
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "a\r\nb\r\n");
  clipboard.SetAsBytes(CF_UNICODETEXT, std::string("x\0\r\0\n\0y\0", 8));
  EXPECT_EQ(ClipboardMimeData("text/plain"), "x\ny");
  EXPECT_EQ(clipboard.GetAsBytes(CF_UNICODETEXT), std::string("x\0\r\0\n\0y\0", 8));
}

TEST(Clipboard, PrimarySelectionHoldsTheTextJustSelected) {
  const std::string text("s\0\r\0\n\0t\0", 8);
  SetPrimarySelection(text);
  const std::string back = PrimarySelection();
  if (back.empty()) GTEST_SKIP() << "this window system has no primary selection";
  EXPECT_EQ(back, text);
}

TEST(Clipboard, FormatsGoUnderTheirMimeTypesAndTogether) {
  TClipboard& clipboard = Clipboard();
  const unsigned rtf = RegisterClipboardFormat("Rich Text Format");
  const unsigned own = RegisterClipboardFormat("Own Test Format", {"application/x-own-test"});
  EXPECT_EQ(RegisterClipboardFormat("Own Test Format"), own);
  TBitmap picture;
  picture.SetSize(3, 2);
  clipboard.Open();
  clipboard.Clear();
  clipboard.SetAsBytes(rtf, "{\\rtf1 x}");
  clipboard.SetAsBytes(own, "mine");
  clipboard.SetBitmap(picture);
  clipboard.SetAsBytes(CF_TEXT, "x");
  clipboard.Close();
  EXPECT_EQ(ClipboardMimeData("text/rtf"), "{\\rtf1 x}");
  EXPECT_EQ(ClipboardMimeData("application/rtf"), "{\\rtf1 x}");
  EXPECT_EQ(ClipboardMimeData("application/x-own-test"), "mine");
  EXPECT_EQ(clipboard.GetAsBytes(own), "mine");
  EXPECT_TRUE(Holds("image/png"));
  EXPECT_EQ(ClipboardMimeData("image/png").substr(1, 3), "PNG");
  EXPECT_EQ(ClipboardMimeData("text/plain"), "x");
}

TEST(Clipboard, UntilCloseTheOldContentStaysAndAbortKeepsIt) {
  TClipboard& clipboard = Clipboard();
  clipboard.SetAsBytes(CF_TEXT, "old");
  clipboard.Open();
  clipboard.Clear();
  clipboard.SetAsBytes(CF_TEXT, "new");
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "old");
  clipboard.Abort();
  EXPECT_EQ(clipboard.GetAsBytes(CF_TEXT), "old");
  // Emptied at Close, not before.
  clipboard.Open();
  clipboard.Clear();
  EXPECT_TRUE(clipboard.HasFormat(CF_TEXT));
  clipboard.Close();
  EXPECT_FALSE(clipboard.HasFormat(CF_TEXT));
}

}  // namespace
