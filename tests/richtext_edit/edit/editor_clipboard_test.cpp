// Pasting into the editor from the system clipboard: the viewers' own block before RTF
// before text before a picture, each as one undo step; a block whose length claims more
// than it holds refused; cutting as copy and delete.
#include <gtest/gtest.h>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/virtual_keys.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/edit/pasted_data.h"
#include "richtext_edit/edit/support/edit_fixture.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "support/control_snapshot.h"

namespace {

std::string Utf16(const std::u16string& s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

// The clipboard holding exactly these formats.
void Put(const std::vector<std::pair<unsigned, std::string>>& formats) {
  TClipboard& clipboard = Clipboard();
  clipboard.Open();
  clipboard.Clear();
  for (const auto& [format, bytes] : formats) clipboard.SetAsBytes(format, bytes);
  clipboard.Close();
}

// The viewers' block of a document made by our own writer.
std::string RichDocOf(const std::string& text) {
  TEditFixture source;
  source.AddPara({{text, 1}});
  source.Format();
  source.edit.SelectAll();
  return SelectionAsRichDoc(source.data, clNone, nullptr, nullptr);
}

struct TPasteFixture : TEditFixture {
  TPasteFixture() {
    AddPara({{"hello ", 0}});
    Format();
    data.PlaceCaretAtItem(0, 7, false);
    data.OnBeep = [this] { ++beeps; };
  }
  int beeps = 0;
};

}  // namespace

TEST(EditorClipboard, TheViewersBlockWinsOverRtfAndText) {
  TPasteFixture f;
  Put({{RichDocClipboardFormat(), RichDocOf("rich")},
       {RichTextClipboardFormat(), "{\\rtf1 rtf}"},
       {CF_UNICODETEXT, Utf16(u"plain")}});
  ASSERT_TRUE(f.edit.CanPaste());
  const std::string before = DescribeDocument(f.data);
  f.edit.Paste();
  EXPECT_NE(Texts(f.data).find("rich"), std::string::npos) << Texts(f.data);
  EXPECT_EQ(Texts(f.data).find("plain"), std::string::npos);
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  EXPECT_EQ(f.edit.UndoAction(), rdutInsert);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

// RTF as our own writer puts it on the clipboard goes in through the import: its text
// in the caret's paragraph, its second paragraph as a paragraph, one undo step.
TEST(EditorClipboard, RtfOfOurOwnWriterIsPastedThroughTheImport) {
  TPasteFixture f;
  TEditFixture source;
  source.AddPara({{"bold", 1}});
  source.AddPara({{"next", 0}});
  source.Format();
  source.edit.SelectAll();
  Put({{RichTextClipboardFormat(), SelectionAsRTF(source.data, clNone)}});
  const std::string before = DescribeDocument(f.data);
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[hello ] [bold] | [next]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
}

// A block whose length claims more than came is refused: the next format goes in, and
// with none nothing does.
TEST(EditorClipboard, ABlockLongerThanItsBytesIsRefusedForTheNextFormat) {
  std::string block = RichDocOf("rich");
  block[0] = char(std::uint8_t(block[0]) + 1);  // one byte more than came
  for (const bool withText : {true, false}) {
    TPasteFixture f;
    if (withText)
      Put({{RichDocClipboardFormat(), block}, {CF_UNICODETEXT, Utf16(u"plain")}});
    else
      Put({{RichDocClipboardFormat(), block}});
    const std::string before = DescribeDocument(f.data);
    f.edit.Paste();
    EXPECT_EQ(Texts(f.data), withText ? "[hello plain]" : "[hello ]");
    EXPECT_EQ(f.data.UndoList->Count(), withText ? 1 : 0);
    EXPECT_EQ(f.beeps, 1);
    if (withText) f.edit.Undo();
    EXPECT_EQ(DescribeDocument(f.data), before);
  }
}

// A document that fails to read part way is taken back whole, the selection it replaced
// included, before the next format is tried: RTF, then text; with none, nothing changes.
// The same with undo off.
TEST(EditorClipboard, ADocumentThatFailsPartWayIsTakenBackWhole) {
  std::string document;
  ASSERT_TRUE(RichDocBlockDocument(RichDocOf("partial"), document));
  document += "not a record\r\n";
  std::string broken(4, '\0');
  for (int i = 0; i < 4; ++i) broken[size_t(i)] = char(document.size() >> (8 * i));
  broken += document;
  for (const int limit : {-1, 0})
    for (const int next : {0, 1, 2}) {
      TPasteFixture f;
      f.edit.SetUndoLimit(limit);
      Select(f, 0, 1, 0, 3);  // "he"
      const std::string before = DescribeDocument(f.data);
      std::vector<std::pair<unsigned, std::string>> formats{{RichDocClipboardFormat(), broken}};
      if (next == 0) formats.emplace_back(RichTextClipboardFormat(), "{\\rtf1 from rtf}");
      if (next <= 1) formats.emplace_back(CF_UNICODETEXT, Utf16(u"plain"));
      Put(formats);
      f.edit.Paste();
      const std::string texts = Texts(f.data);
      EXPECT_EQ(texts.find("partial"), std::string::npos) << texts;
      if (next == 2) {
        EXPECT_EQ(DescribeDocument(f.data), before) << limit;
        continue;
      }
      EXPECT_NE(texts.find(next == 0 ? "from rtf" : "plain"), std::string::npos) << texts;
      EXPECT_EQ(texts.find("he"), std::string::npos) << texts;  // the selection went
      EXPECT_EQ(f.data.UndoList->Count(), limit == 0 ? 0 : 1);
      if (limit == 0) continue;
      f.edit.Undo();
      EXPECT_EQ(DescribeDocument(f.data), before) << next;
      EXPECT_EQ(f.data.RedoList->Count(), 1);
    }
}

TEST(EditorClipboard, RtfThatDoesNotGoInFallsBackToText) {
  TPasteFixture f;
  Put({{RichTextClipboardFormat(), "{\\rtf1 {\\b unclosed"}, {CF_UNICODETEXT, Utf16(u"plain")}});
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[hello plain]");
  // Alone it changes nothing, and takes back nothing of the edit before it.
  Put({{RichTextClipboardFormat(), "{\\rtf1 {\\b unclosed"}});
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[hello plain]");
  EXPECT_EQ(f.data.UndoList->Count(), 1);
}

TEST(EditorClipboard, TextGoesInInTheCodePageOfAnAnsiStyleAndWholeInAUnicodeOne) {
  TPasteFixture f;
  Put({{CF_UNICODETEXT, Utf16(u"caf\u00e9 \u20ac")}});
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[hello caf\xE9 \x80]");
  f.edit.Undo();
  f.edit.SetCurTextStyleNo(f.unicodeStyle);
  f.edit.Paste();
  ASSERT_EQ(f.data.GetItemCount(), 2);
  EXPECT_EQ(f.data.GetItemTextRaw(1), Utf16(u"caf\u00e9 \u20ac"));
}

TEST(EditorClipboard, APictureIsPastedWhenNothingElseIs) {
  TPasteFixture f;
  TBitmap bitmap;
  bitmap.SetSize(12, 9);
  Clipboard().SetBitmap(bitmap);
  EXPECT_TRUE(f.edit.CanPasteFormat(CF_BITMAP));
  f.edit.Paste();
  ASSERT_EQ(Texts(f.data), "[hello ] <-3>");
  EXPECT_EQ(f.data.GetItem(1)->GetImageWidth(nullptr), 12);
}

TEST(EditorClipboard, OnPasteMayDoThePasteItselfAndReadOnlyPastesNothing) {
  TPasteFixture f;
  Put({{CF_UNICODETEXT, Utf16(u"plain")}});
  int calls = 0;
  f.edit.OnPaste = [&](TCustomRichDocEdit* sender, bool& doDefault) {
    EXPECT_EQ(sender, &f.edit);
    ++calls;
    doDefault = false;
  };
  f.edit.Paste();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(Texts(f.data), "[hello ]");
  f.edit.OnPaste = nullptr;
  f.edit.SetReadOnly(true);
  EXPECT_FALSE(f.edit.CanPasteFormat(0));
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[hello ]");
  EXPECT_EQ(calls, 1);
}

TEST(EditorClipboard, CuttingCopiesTheSelectionAndDeletesItAsOneStep) {
  TEditFixture f;
  f.AddPara({{"hello world", 0}});
  f.Format();
  Select(f, 0, 7, 0, 12);
  const std::string before = DescribeDocument(f.data);
  Put({{CF_UNICODETEXT, Utf16(u"old")}});
  ASSERT_TRUE(f.edit.CutToClipboard());
  EXPECT_EQ(Texts(f.data), "[hello ]");
  EXPECT_EQ(Clipboard().GetAsBytes(CF_UNICODETEXT), Utf16(u"world"));
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
  // Nothing selected: nothing cut, the clipboard kept.
  f.data.Deselect(false);
  EXPECT_FALSE(f.edit.CutToClipboard());
  EXPECT_EQ(Clipboard().GetAsBytes(CF_UNICODETEXT), Utf16(u"world"));
}

TEST(EditorClipboard, OnlyTheFormatsAnEditorPastesCount) {
  TPasteFixture f;
  Put({{CF_UNICODETEXT, Utf16(u"x")}});
  EXPECT_TRUE(f.edit.CanPasteFormat(0));
  EXPECT_TRUE(f.edit.CanPasteFormat(CF_TEXT));
  EXPECT_FALSE(f.edit.CanPasteFormat(RichTextClipboardFormat()));
  EXPECT_FALSE(f.edit.CanPasteFormat(HtmlClipboardFormat()));
}

// The fallback goes where the failed format would have gone: at the caret as the keys
// left it after a click, not at the click.
TEST(EditorClipboard, TheFallbackGoesInAtTheCaretTheKeysMoved) {
  TForm form{nullptr};
  TEditFixture f;
  form.SetBounds(40, 40, 420, 240);
  f.edit.SetParent(&form);
  f.edit.SetBounds(10, 10, 380, 180);
  f.AddPara({{"Hello world.", 0}});
  f.Format();
  form.Show();
  f.edit.SetFocus();
  f.data.SetSelectionBounds(0, 7, 0, 7);  // what a click between the words leaves
  f.data.PlaceCaretAtItem(0, 7, false);
  SimulateKey(f.edit, VK_END);
  // A paragraph goes in before the RTF ends short, and is taken back.
  Put({{RichTextClipboardFormat(), "{\\rtf1 a whole line\\par {\\b cut short"},
       {CF_UNICODETEXT, Utf16(u"plain fallback text")}});
  f.edit.Paste();
  EXPECT_EQ(Texts(f.data), "[Hello world.plain fallback text]");
}

// A photo pasted and deleted, three times over: the document's pixels held two such
// pictures, and the third paste was an empty frame. A picture deleted, or whose paste is
// undone, gives its pixels back: each paste is the picture.
TEST(EditorClipboard, PicturesDeletedOrUndoneGiveTheirPixelsBack) {
  RegisterPngGraphicClass();
  TPasteFixture f;
  Put({{RichTextClipboardFormat(), "{\\rtf1 {\\pict\\pngblip " +
                                       StringToHex(BitmapToPng(*SolidPicture(4000, 3000, clTeal))) +
                                       "}}"}});
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    f.data.PlaceCaretAtItem(0, 7, false);
    f.edit.Paste();
    ASSERT_EQ(f.data.GetItemCount(), 2);
    const auto& pasted = dynamic_cast<const TRDGraphicItemInfo&>(*f.data.GetItem(1));
    EXPECT_NE(dynamic_cast<const TPngImage*>(pasted.Image.get()), nullptr);
    if (round < 3) {
      Select(f, 1, 0, 1, 1);
      ASSERT_TRUE(f.edit.DeleteSelection());
    } else {
      f.edit.Undo();
    }
  }
}
