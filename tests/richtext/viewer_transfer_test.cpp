// The selection leaving a viewer: dragged onto another control through the platform's
// drag layer, and pictures copied to the system clipboard.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "platform/test_support/gui_test_support.h"
#include "platform/text/streams.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/viewer_points.h"
#include "richtext/view/rich_doc.h"
#include "support/control_snapshot.h"

namespace {

// A drop target that takes copies and keeps what came with the drop.
struct TKeepingTarget : TDropTarget {
  std::vector<std::string> formats;
  std::string text, rtf, richDoc, png;
  int drops = 0;
  void DragEnter(const TDataObject& Data, TShiftState, TPoint, TDropEffects& Effect) override {
    formats = Data.Formats();
    Effect = Effect & deCopy;
  }
  void DragOver(TShiftState, TPoint, TDropEffects& Effect) override { Effect = Effect & deCopy; }
  void DragLeave() override {}
  void Drop(const TDataObject& Data, TShiftState, TPoint, TDropEffects& Effect) override {
    ++drops;
    Data.GetData("text/plain", text);
    Data.GetData("text/rtf", rtf);
    Data.GetData("application/x-velmora-richdoc", richDoc);
    Data.GetData("image/png", png);
    Effect = deCopy;
  }
};

struct Transfer : ::testing::Test {
  Transfer() {
    form.SetBounds(0, 0, 600, 300);
    doc = new TRichDoc(&form);
    doc->SetStyle(&style);
    doc->SetBorderStyle(bsNone);
    doc->SetBounds(0, 0, 400, 200);
    doc->SetParent(&form);
    target = new TCustomControl(&form);
    target->SetBounds(450, 0, 100, 100);
    target->SetParent(&form);
    RegisterDragDrop(*target, sink);
  }
  TPoint At(int itemNo, int offs) { return ClientPointOf(doc->RDData(), itemNo, offs); }
  void AddPicture(int w, int h, TColor color) {
    TRichDocRDData& data = doc->RDData();
    auto item =
        TRDGraphicItemInfo::CreateWithGraphic(&data, SolidPicture(w, h, color), rdvaBaseline);
    item->ParaNo = -1;  // in the line of the text before
    data.AddItemAtEnd("", std::move(item));
  }

  TForm form{nullptr};
  TRDStyle style;
  TRichDoc* doc;
  TCustomControl* target;
  TKeepingTarget sink;
};

TEST_F(Transfer, ASelectionDraggedOutArrivesAsTheViewersBlockRtfAndText) {
  doc->AddTextParagraph(
      "Gr\xFC\xDF"
      "e aus",
      0, 0);
  doc->AddTextParagraph("Berlin", 1, 0);
  doc->FormatDocument();
  doc->SetSelectionRange(0, 1, 1, 4);
  TScriptedDrags drags({{target, 10, 10}, {target, 20, 20}});
  const TPoint inside = At(0, 3);
  SimulateMouseDown(*doc, mbLeft, inside.X, inside.Y);
  // Within a few pixels the press is still a click.
  SimulateMouseMove(*doc, inside.X + 2, inside.Y, ssLeft);
  EXPECT_EQ(drags.Count(), 0);
  SimulateMouseMove(*doc, inside.X + 10, inside.Y, ssLeft);
  SimulateMouseUp(*doc, mbLeft, inside.X + 10, inside.Y);
  ASSERT_EQ(drags.Count(), 1);
  ASSERT_EQ(sink.drops, 1);
  EXPECT_EQ(sink.formats, (std::vector<std::string>{"application/x-velmora-richdoc", "text/rtf",
                                                    "application/rtf", "text/plain"}));
  // Lines end as other programs here end them.
  EXPECT_EQ(sink.text,
            "Gr\xC3\xBC\xC3\x9F"
            "e aus\nBer");
  EXPECT_EQ(sink.rtf.substr(0, 6), "{\\rtf1");
  EXPECT_EQ(sink.png, "");
  // The block reads back into another document, styles and all.
  ASSERT_GT(sink.richDoc.size(), 4u);
  TRichDoc pasted(nullptr);
  pasted.SetStyle(&style);
  TMemoryStream stream;
  stream.WriteBuffer(sink.richDoc.data(), int64_t(sink.richDoc.size()));
  stream.SetPosition(0);
  int index = 0;
  ASSERT_TRUE(LoadRDFBlock(pasted.RDData(), stream, index));
  ASSERT_EQ(pasted.ItemCount(), 2);
  EXPECT_EQ(pasted.ReadItemText(1), "Ber");
  EXPECT_EQ(pasted.GetItemStyleIndex(1), 1);
  // The drag leaves the selection as it was, and the release started nothing new.
  int s, so, e, eo;
  doc->GetSelectionRange(s, so, e, eo, true);
  EXPECT_EQ((std::vector<int>{s, so, e, eo}), (std::vector<int>{0, 1, 1, 4}));
}

TEST_F(Transfer, APressAndReleaseOnTheSelectionLeavesACaretWhereItWas) {
  doc->AddTextParagraph("alpha beta gamma", 0, 0);
  doc->FormatDocument();
  doc->SetSelectionRange(0, 1, 0, 12);
  TScriptedDrags drags({{target, 10, 10}});
  const TPoint inside = At(0, 8);
  SimulateMouseDown(*doc, mbLeft, inside.X, inside.Y);
  SimulateMouseUp(*doc, mbLeft, inside.X, inside.Y);
  EXPECT_EQ(drags.Count(), 0);
  EXPECT_FALSE(doc->HasSelection());
  int s, so, e, eo;
  doc->GetSelectionRange(s, so, e, eo, true);
  EXPECT_EQ((std::vector<int>{s, so, e, eo}), (std::vector<int>{0, 8, 0, 8}));
  // The next press on the text selects again.
  const TPoint from = At(0, 1), to = At(0, 6);
  SimulateMouseDown(*doc, mbLeft, from.X, from.Y);
  SimulateMouseMove(*doc, to.X, to.Y, ssLeft);
  SimulateMouseUp(*doc, mbLeft, to.X, to.Y);
  EXPECT_EQ(doc->GetSelText(), "alpha");
}

TEST_F(Transfer, WithDraggingDisallowedAPressOnTheSelectionStartsANewOne) {
  doc->Options |= rdoDisallowDrag;
  doc->AddTextParagraph("alpha beta gamma", 0, 0);
  doc->FormatDocument();
  doc->SetSelectionRange(0, 1, 0, 17);
  style.SelectionMode = rdsmChar;
  TScriptedDrags drags({{target, 10, 10}});
  const TPoint from = At(0, 7), to = At(0, 11);
  SimulateMouseDown(*doc, mbLeft, from.X, from.Y);
  SimulateMouseMove(*doc, to.X, to.Y, ssLeft);
  SimulateMouseUp(*doc, mbLeft, to.X, to.Y);
  EXPECT_EQ(drags.Count(), 0);
  EXPECT_EQ(doc->GetSelText(), "beta");
}

TEST_F(Transfer, ALinkInsideTheSelectionDoesNotJumpWhenDragged) {
  doc->AddTextParagraph("go ", 0, 0);
  doc->AddTextContinued("there", 4);
  doc->FormatDocument();
  doc->SetSelectionRange(0, 1, 1, 6);
  int jumps = 0;
  doc->OnJump = [&](TCustomRichDoc*, int) { ++jumps; };
  TScriptedDrags drags({{target, 10, 10}});
  const TPoint link = At(1, 3);
  SimulateMouseDown(*doc, mbLeft, link.X, link.Y);
  SimulateMouseMove(*doc, link.X + 20, link.Y, ssLeft);
  SimulateMouseUp(*doc, mbLeft, link.X + 20, link.Y);
  EXPECT_EQ(drags.Count(), 1);
  EXPECT_EQ(jumps, 0);
  EXPECT_EQ(sink.text, "go there");
}

TEST_F(Transfer, APictureSelectedAloneIsCopiedAndDraggedAsPng) {
  doc->AddTextParagraph("see ", 0, 0);
  AddPicture(12, 9, clRed);
  doc->AddTextContinued(" here", 0);
  doc->FormatDocument();
  TRichDocRDData& data = doc->RDData();
  // Bounds at the end of the text before and the start of the text after select only
  // the picture.
  doc->SetSelectionRange(0, 5, 2, 1);
  ASSERT_NE(data.GetSelectedPicture(), nullptr);
  EXPECT_EQ(data.GetSelectedPicture()->Width(), 12);
  doc->SetSelectionRange(1, 0, 1, 1);
  ASSERT_NE(data.GetSelectedPicture(), nullptr);
  doc->CopySelection();
  EXPECT_NE(ClipboardMimeData("image/png"), "");
  TBitmap copied;
  ASSERT_TRUE(Clipboard().GetBitmap(copied));
  EXPECT_EQ(copied.Width(), 12);
  EXPECT_EQ(copied.Height(), 9);
  EXPECT_EQ(copied.Canvas().Pixels(5, 5), clRed);
  // Dragged, the picture comes last, after the text formats.
  int left, top;
  ASSERT_TRUE(data.GetItemClientCoords(1, left, top));
  TScriptedDrags drags({{target, 10, 10}});
  SimulateMouseDown(*doc, mbLeft, left + 6, top + 4);
  SimulateMouseMove(*doc, left + 30, top + 4, ssLeft);
  SimulateMouseUp(*doc, mbLeft, left + 30, top + 4);
  ASSERT_EQ(drags.Count(), 1);
  ASSERT_FALSE(sink.formats.empty());
  EXPECT_EQ(sink.formats.back(), "image/png");
  EXPECT_EQ(sink.png.substr(1, 3), "PNG");
}

TEST_F(Transfer, ASelectionWithTextAroundThePictureOrWithoutImageCopyHasNoPicture) {
  doc->AddTextParagraph("see ", 0, 0);
  AddPicture(12, 9, clRed);
  doc->AddTextContinued(" here", 0);
  doc->FormatDocument();
  doc->SetSelectionRange(0, 4, 2, 1);
  EXPECT_EQ(doc->RDData().GetSelectedPicture(), nullptr);
  doc->CopySelection();
  EXPECT_EQ(ClipboardMimeData("image/png"), "");
  doc->Options &= ~rdoAutoCopyImage;
  doc->SetSelectionRange(1, 0, 1, 1);
  doc->CopySelection();
  EXPECT_EQ(ClipboardMimeData("image/png"), "");
  // Still the text formats: the picture's place in the text.
  EXPECT_NE(ClipboardMimeData("application/x-velmora-richdoc"), "");
}

}  // namespace
