// Pictures, image-list pictures, hotspots and controls in the text: sizes, painting on an
// off-screen bitmap read back by pixels, printing in slices, and their document-file
// records with the warnings and failures of damaged or unknown contents.
#include <gtest/gtest.h>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/standard/edit.h"
#include "platform/gui/standard/panel.h"
#include "platform/text/streams.h"
#include "richtext/base/rdf_format.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/control_item.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/support/test_formatted_data.h"
#include "richtext/view/rd_platform_canvas.h"
#include "support/control_snapshot.h"

namespace {

TColor PixelOf(TBitmap& bitmap, int x, int y) {
  bitmap.SetPixelFormat(pf32bit);
  const std::uint8_t* p = bitmap.ScanLine(y) + 4 * x;
  return TColor(p[2] | p[1] << 8 | p[0] << 16);
}

// A white surface the items paint on through the viewer's canvas.
struct Surface {
  Surface() : bitmap(SolidPicture(60, 40, clWhite)), canvas(bitmap->Canvas()) {}
  TColor At(int x, int y) { return PixelOf(*bitmap, x, y); }
  std::unique_ptr<TBitmap> bitmap;
  TRDPlatformCanvas canvas;
};

// The document's records without the version line that opens every file.
std::string Saved(TCustomRDData& data) {
  TMemoryStream stream;
  SaveRDFToStream(data, stream, false);
  const std::string text(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
  return text.substr(text.find('\n') + 1);
}

// Records read as a file of the current version holds them.
bool Load(const std::string& records, TCustomRDData& data) {
  const std::string text = "-8 1 3\r\n" + records;
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), std::int64_t(text.size()));
  stream.SetPosition(0);
  return LoadRDFFromStream(data, stream);
}

TEST(PictureItem, SizesComeFromThePictureUnlessSetAndSpacingSurroundsThem) {
  auto item =
      TRDGraphicItemInfo::CreateWithGraphic(nullptr, SolidPicture(40, 30, clRed), rdvaBaseline);
  item->SetSpacing(3);
  EXPECT_EQ(item->StyleNo, rdsPicture);
  EXPECT_EQ(item->GetWidth(), 46);
  EXPECT_EQ(item->GetHeight(), 36);
  item->ImageWidth = 20;
  EXPECT_EQ(item->GetImageWidth(), 20);
  EXPECT_EQ(item->GetImageHeight(), 30);
  TRDResolution printer;
  printer.DevicePixelsPerInchX = 192;
  EXPECT_EQ(item->GetMinWidth(&printer, nullptr), 52);
  EXPECT_TRUE(item->QueryItemFlag(1));
  EXPECT_FALSE(item->QueryItemFlagEx(1, nullptr));
  auto hot =
      TRDHotGraphicItemInfo::CreateWithGraphic(nullptr, SolidPicture(4, 4, clRed), rdvaMiddle);
  EXPECT_EQ(hot->StyleNo, rdsHotPicture);
  EXPECT_TRUE(hot->QueryItemFlagEx(1, nullptr));
  EXPECT_FALSE(hot->QueryItemFlagEx(3, nullptr));
}

TEST(PictureItem, PaintsThePictureInsideItsSpacingWithTheSelectionFrame) {
  TRDStyle sheet;
  sheet.SelColor = clBlue;
  sheet.InactiveSelColor = clLime;
  sheet.CurrentItemColor = clFuchsia;
  auto item =
      TRDGraphicItemInfo::CreateWithGraphic(nullptr, SolidPicture(10, 8, clRed), rdvaBaseline);
  item->SetSpacing(2);
  TRDDrawLineInfo line;
  Surface plain;
  item->Paint(5, 5, plain.canvas, 0, sheet, line);
  EXPECT_EQ(plain.At(7, 7), ColorToRGB(clRed));
  EXPECT_EQ(plain.At(16, 14), ColorToRGB(clRed));
  EXPECT_EQ(plain.At(6, 6), ColorToRGB(clWhite));
  EXPECT_EQ(plain.At(17, 15), ColorToRGB(clWhite));

  Surface selected;
  item->Paint(5, 5, selected.canvas, rdipsSelected | rdipsFocused | rdipsCurrent, sheet, line);
  EXPECT_EQ(selected.At(5, 5), ColorToRGB(clBlue));     // the selection frame
  EXPECT_EQ(selected.At(4, 4), ColorToRGB(clFuchsia));  // the current-item frame
  EXPECT_EQ(selected.At(10, 10), ColorToRGB(clRed));    // the picture is not covered
  Surface inactive;
  item->Paint(5, 5, inactive.canvas, rdipsSelected, sheet, line);
  EXPECT_EQ(inactive.At(5, 5), ColorToRGB(clLime));

  item->ImageWidth = 20;  // stretched
  Surface stretched;
  item->Paint(0, 0, stretched.canvas, 0, sheet, line);
  EXPECT_EQ(stretched.At(21, 5), ColorToRGB(clRed));
  EXPECT_EQ(stretched.At(23, 5), ColorToRGB(clWhite));
}

TEST(BulletItem, DrawsItsImageAndTheHotImageUnderTheMouseBlendedWhenSelected) {
  TRDStyle sheet;
  sheet.SelColor = clRed;
  TImageList images(nullptr, 8, 8);
  images.Add(*SolidPicture(8, 8, clLime));
  images.Add(*SolidPicture(8, 8, clBlue));
  TRDHotspotItemInfo item(nullptr);
  item.ImageList = &images;
  item.ImageIndex = 0;
  item.HotImageIndex = 1;
  item.SetSpacing(1);
  EXPECT_EQ(item.GetWidth(), 10);
  EXPECT_TRUE(item.QueryItemFlagEx(3, nullptr));
  TRDDrawLineInfo line;
  Surface normal, hover, selected;
  item.Paint(0, 0, normal.canvas, 0, sheet, line);
  item.Paint(0, 0, hover.canvas, rdipsHover, sheet, line);
  item.Paint(0, 0, selected.canvas, rdipsSelected | rdipsFocused, sheet, line);
  EXPECT_EQ(normal.At(1, 1), ColorToRGB(clLime));
  EXPECT_EQ(normal.At(0, 0), ColorToRGB(clWhite));
  EXPECT_EQ(hover.At(4, 4), ColorToRGB(clBlue));
  EXPECT_EQ(selected.At(4, 4), TColor(0x007F7F));  // half lime, half red
  item.ImageIndex = 5;                             // not in the list: nothing is drawn
  Surface missing;
  item.Paint(0, 0, missing.canvas, 0, sheet, line);
  EXPECT_EQ(missing.At(4, 4), ColorToRGB(clWhite));
}

TEST(ControlItem, TakesItsShareOfTheDocumentWidthAndFollowsItsPosition) {
  TPanel viewer(nullptr);
  viewer.SetBounds(0, 0, 700, 300);
  TCustomRDData data;
  data.ParentControl = &viewer;
  auto edit = std::make_unique<TEdit>(nullptr);
  edit->SetBounds(0, 0, 80, 20);
  TEdit* raw = edit.get();
  auto item = TRDControlItemInfo::CreateWithControl(&data, std::move(edit), rdvaBaseline);
  item->SetSpacing(2);
  item->PercentWidth = 50;
  EXPECT_TRUE(item->QueryItemFlagEx(5, nullptr));
  EXPECT_EQ(item->GetMinWidth(nullptr, nullptr), 20);
  TRDStyle sheet;
  Surface surface;
  int width = 0, height = 0, descent = 0;
  item->AdjustToDocWidth(surface.canvas, sheet, 600, width, height, descent);
  EXPECT_EQ(raw->Width(), 296);
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 24);

  data.AddItemAtEnd("", std::move(item));
  EXPECT_EQ(raw->Parent(), &viewer);
  EXPECT_FALSE(raw->Visible());
  auto& placed = data.CheckItemClass<TRDControlItemInfo>(0);
  placed.MoveToPosition(10, 30, false);
  EXPECT_EQ(raw->Left(), 12);
  EXPECT_EQ(raw->Top(), 32);
  EXPECT_TRUE(raw->Visible());
  EXPECT_TRUE(placed.OwnsControl(raw));
  data.Clear();  // the control goes with its item
  EXPECT_EQ(viewer.ControlCount(), 0);
}

// Layout places controls only while the document holds some, so the count must follow
// every way an item comes and goes.
TEST(ControlItem, TheItemListCountsTheControlsItHolds) {
  TRDItemList list;
  list.Add("", std::make_unique<TRDControlItemInfo>(nullptr));
  list.Add("", std::make_unique<TRDHotGraphicItemInfo>(nullptr));
  list.Insert(0, "", std::make_unique<TRDControlItemInfo>(nullptr));
  EXPECT_EQ(list.ControlCount(), 2);
  std::unique_ptr<TCustomRDItemInfo> taken = list.TakeObject(0);
  EXPECT_EQ(list.ControlCount(), 1);
  list.Delete(0, 3);
  EXPECT_EQ(list.ControlCount(), 0);
}

TEST(ControlItem, PrintsAPictureOfAWindowControlCentredInTheBitmap) {
  auto panel = std::make_unique<TPanel>(nullptr);
  panel->SetBounds(0, 0, 20, 10);
  panel->SetColor(clRed);
  TRDControlItemInfo item(nullptr);
  item.Control = std::move(panel);
  TRDStyle sheet;
  auto bitmap = SolidPicture(40, 10, clWhite);
  ASSERT_TRUE(item.PrintToBitmap(*bitmap, Rect(0, 0, 40, 10), false, nullptr, -1, 0, sheet));
  EXPECT_EQ(PixelOf(*bitmap, 5, 5), ColorToRGB(clWhite));
  EXPECT_EQ(PixelOf(*bitmap, 20, 5), ColorToRGB(clRed));
  item.ControlVisible = false;
  EXPECT_FALSE(item.PrintToBitmap(*bitmap, Rect(0, 0, 40, 10), false, nullptr, -1, 0, sheet));
}

TEST(PrintSlices, APictureIsCutIntoPartsNoSmallerThanItsMinimum) {
  auto item =
      TRDGraphicItemInfo::CreateWithGraphic(nullptr, SolidPicture(10, 100, clRed), rdvaBaseline);
  TRDResolution resolution;
  resolution.DevicePixelsPerInchY = 192;  // device pixels are half a screen pixel
  item->MinHeightOnPage = 0;
  EXPECT_EQ(dynamic_cast<TRDMultiImagePrintInfo*>(
                item->CreatePrintingDrawItem(nullptr, resolution).get()),
            nullptr);
  item->MinHeightOnPage = 20;
  auto line = item->CreatePrintingDrawItem(nullptr, resolution);
  auto* info = dynamic_cast<TRDMultiImagePrintInfo*>(line.get());
  ASSERT_NE(info, nullptr);
  EXPECT_THROW(info->SplitAt(60), ERichDocError);
  ASSERT_TRUE(info->InitSplit());
  EXPECT_EQ(info->Part(0)->Height, 200);
  EXPECT_FALSE(info->CanSplitFirst(30));   // 15 screen pixels: below the minimum
  EXPECT_TRUE(info->CanSplitFirst(60));    // 30, leaving 70
  EXPECT_FALSE(info->CanSplitFirst(180));  // 90 leaves 10
  EXPECT_TRUE(info->CanSplitFirst(220));   // the whole picture fits
  EXPECT_TRUE(info->SplitAt(60));
  ASSERT_EQ(info->PartsList.Count(), 2);
  EXPECT_EQ(info->Part(0)->ImgHeight, 30);
  EXPECT_EQ(info->Part(1)->ImgTop, 30);
  EXPECT_EQ(info->Part(1)->ImgHeight, 70);
  EXPECT_EQ(info->Part(1)->Height, 140);
  EXPECT_FALSE(info->SplitAt(120));  // 60 would leave 10

  // The second slice is printed from the picture's row 30 on.
  item->Image = SolidPicture(10, 100, clWhite);
  static_cast<TBitmap&>(*item->Image).Canvas().Brush().SetColor(clBlue);
  static_cast<TBitmap&>(*item->Image).Canvas().FillRect(Rect(0, 30, 10, 31));
  TRDStyle sheet;
  auto page = SolidPicture(10, 70, clWhite);
  ASSERT_TRUE(item->PrintToBitmap(*page, Rect(0, 0, 10, 70), false, info, 1, 0, sheet));
  EXPECT_EQ(PixelOf(*page, 5, 0), ColorToRGB(clBlue));
  EXPECT_EQ(PixelOf(*page, 5, 1), ColorToRGB(clWhite));
}

TEST(ObjectRecords, PicturesRoundTripInHexAndBinaryWithTheirProperties) {
  for (TRDFOptions binary : {TRDFOptions(0), rdfoSaveBinary}) {
    TRDStyle sheet;
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    data.SetRDFOptions(rdfoSavePicturesBody | binary);
    auto picture = SolidPicture(6, 4, clRed);
    picture->SetTransparent(true);
    picture->SetTransparentColor(clRed);
    auto item = TRDHotGraphicItemInfo::CreateWithGraphic(&data, std::move(picture), rdvaAbsMiddle);
    item->ImageWidth = 12;
    item->Alt = "a \"red\" box";
    item->ImageFileName = "box.bmp";
    item->MinHeightOnPage = 3;
    item->SetSpacing(0);
    data.AddItemAtEnd("", std::move(item));
    data.AddText("after", 0, -1);
    const std::string saved = Saved(data);
    EXPECT_EQ(saved.substr(0, saved.find('\r')), binary ? "-10 11 0 0 2 0 4" : "-10 11 0 0 0 0 4");

    TCustomRDData loaded;
    loaded.SetRDStyle(&sheet);
    loaded.SetRDFOptions(data.GetRDFOptions());
    ASSERT_TRUE(Load(saved, loaded)) << binary;
    ASSERT_EQ(loaded.GetItemCount(), 2);
    auto& back = loaded.CheckItemClass<TRDHotGraphicItemInfo>(0);
    EXPECT_EQ(back.VAlign, rdvaAbsMiddle);
    EXPECT_EQ(back.ImageWidth, 12);
    EXPECT_EQ(back.Alt, "a \"red\" box");
    EXPECT_EQ(back.ImageFileName, "box.bmp");
    EXPECT_EQ(back.MinHeightOnPage, 3);
    EXPECT_EQ(back.Spacing(), 0);
    ASSERT_NE(back.Image, nullptr);
    auto& bitmap = static_cast<TBitmap&>(*back.Image);
    EXPECT_EQ(bitmap.Width(), 6);
    EXPECT_TRUE(bitmap.Transparent());
    EXPECT_EQ(bitmap.TransparentMode(), tmFixed);
    EXPECT_EQ(PixelOf(bitmap, 1, 1), ColorToRGB(clRed));
    EXPECT_EQ(loaded.GetItemTextRaw(1), "after");
    EXPECT_EQ(Saved(loaded), saved);
  }
}

TEST(ObjectRecords, UnknownOrDamagedPicturesWarnAndFailOnlyWhereTheyMust) {
  TRDStyle sheet;
  const std::string unknown = "-3 3 0 0 0 0 0\r\n\r\nTMetaThing\r\n4142\r\n";
  TCustomRDData strict;
  strict.SetRDStyle(&sheet);
  EXPECT_FALSE(Load(unknown, strict));
  EXPECT_EQ(strict.GetRDFWarnings(), rdfwUnknownPictureFormat);
  TCustomRDData lenient;
  lenient.SetRDStyle(&sheet);
  lenient.SetRDFOptions(rdfoIgnoreUnknownPicFmt);
  EXPECT_TRUE(Load(unknown + "0 1 0 0 0 0 \r\nx\r\n", lenient));
  ASSERT_EQ(lenient.GetItemCount(), 2);
  EXPECT_EQ(lenient.CheckItemClass<TRDGraphicItemInfo>(0).Image, nullptr);

  // Known kind, bytes that are no bitmap: the sheet's invalid picture stands in.
  TCustomRDData damaged;
  damaged.SetRDStyle(&sheet);
  EXPECT_TRUE(Load("-3 3 0 0 0 0 0\r\n\r\nTBitmap\r\n00112233\r\n", damaged));
  EXPECT_EQ(damaged.GetRDFWarnings(), rdfwInvalidPicture);
  ASSERT_NE(damaged.CheckItemClass<TRDGraphicItemInfo>(0).Image, nullptr);
  EXPECT_EQ(damaged.CheckItemClass<TRDGraphicItemInfo>(0).Image->Width(),
            sheet.InvalidPicture().Width());
  // A body that is not hexadecimal fails the item; a binary size past the end too.
  TCustomRDData bad;
  bad.SetRDStyle(&sheet);
  EXPECT_FALSE(Load("-3 3 0 0 0 0 0\r\n\r\nTBitmap\r\nZZ\r\n", bad));
  EXPECT_FALSE(Load(std::string("-3 3 0 0 2 0 0\r\n\r\nTBitmap\r\n\xFF\0\0\0AB", 29), bad));

  // Bitmaps past what the document's pictures may hold are frames of their size, and warn;
  // so are those whose runs claim far more than they set (4096 x 4096 pixels in two bytes
  // of runs: decoding each took most of a second).
  TCustomRDData claiming;
  claiming.SetRDStyle(&sheet);
  const std::string large =
      "-3 3 0 0 0 0 0\r\n\r\nTBitmap\r\n"
      "424D3C000000000000003A0000002800000000100000001000000100080001000000020000000000000000"
      "00000001000000000000000000FF000001\r\n";
  EXPECT_TRUE(Load(large + large + large, claiming));
  ASSERT_EQ(claiming.GetItemCount(), 3);
  const TGraphic* third = claiming.CheckItemClass<TRDGraphicItemInfo>(2).Image.get();
  EXPECT_NE(dynamic_cast<const TRDPictureFrame*>(
                claiming.CheckItemClass<TRDGraphicItemInfo>(1).Image.get()),
            nullptr);
  ASSERT_NE(dynamic_cast<const TRDPictureFrame*>(third), nullptr);
  EXPECT_EQ(third->Width(), 4096);
  EXPECT_EQ(claiming.GetRDFWarnings(), rdfwPicturesLeftOut);
  // Saved, the frame is the picture it was read as: read again, the same frame.
  claiming.SetRDFOptions(rdfoSavePicturesBody);
  claiming.DeleteItems(0, 2);
  EXPECT_EQ(Saved(claiming), large);
  // A PNG body is priced as its header claims (20000 x 20000 in 89 bytes), undecoded.
  TCustomRDData png;
  png.SetRDStyle(&sheet);
  EXPECT_TRUE(
      Load("-3 3 0 0 0 0 0\r\n\r\nTPngImage\r\n"
           "89504E470D0A1A0A0000000D4948445200004E2000004E200100000000CB0B7B94000000204944415478DA"
           "EDC1010D000000C2A0F74F6D0F07140000000000000000007C182714000147AE59930000000049454E44AE"
           "426082\r\n",
           png));
  ASSERT_NE(
      dynamic_cast<const TRDPictureFrame*>(png.CheckItemClass<TRDGraphicItemInfo>(0).Image.get()),
      nullptr);
  EXPECT_EQ(png.CheckItemClass<TRDGraphicItemInfo>(0).Image->Width(), 20000);
  EXPECT_EQ(png.GetRDFWarnings(), rdfwPicturesLeftOut);

  // Without a body the application supplies the picture by name, or by its file name.
  TCustomRDData named;
  named.SetRDStyle(&sheet);
  std::vector<std::string> asked;
  named.OnRDFPictureNeeded = [&](const std::string& name, const TRDTag&) {
    asked.push_back(name);
    return name == "logo.bmp" ? SolidPicture(3, 3, clRed) : nullptr;
  };
  EXPECT_TRUE(Load("-3 2 0 0 1 0 0\r\nlogo\r\nfilename=logo.bmp\r\n", named));
  EXPECT_EQ(asked, (std::vector<std::string>{"logo", "logo.bmp"}));
  EXPECT_NE(named.CheckItemClass<TRDGraphicItemInfo>(0).Image, nullptr);
}

TEST(ObjectRecords, BulletsAndHotspotsNameTheirImageListByTag) {
  TImageList images(nullptr, 8, 8);
  images.Tag = 7;
  for (int i = 0; i < 3; ++i) images.Add(*SolidPicture(8, 8, clLime));
  TRDStyle sheet;
  auto setUp = [&](TCustomRDData& data) {
    data.SetRDStyle(&sheet);
    data.OnRDFImageListNeeded = [&](int tag) { return tag == 7 ? &images : nullptr; };
  };
  TCustomRDData data;
  setUp(data);
  auto bullet = std::make_unique<TRDBulletItemInfo>(&data);
  bullet->ImageList = &images;
  bullet->ImageIndex = 2;
  bullet->Alt = "dot";
  bullet->NoHTMLImageSize = true;
  data.AddItemAtEnd("b", std::move(bullet));
  const std::string saved = Saved(data);
  EXPECT_EQ(saved, "-6 3 0 0 1 0 7 2\r\nb\r\nnohtmlsize=1\r\nalt=dot\r\n");
  TCustomRDData loaded;
  setUp(loaded);
  ASSERT_TRUE(Load(saved, loaded));
  EXPECT_EQ(loaded.CheckItemClass<TRDBulletItemInfo>(0).ImageList, &images);
  EXPECT_EQ(loaded.CheckItemClass<TRDBulletItemInfo>(0).Alt, "dot");

  TCustomRDData hot;
  setUp(hot);
  ASSERT_TRUE(Load("-4 1 0 0 1 0 7 1\r\nh\r\n", hot));
  EXPECT_EQ(hot.CheckItemClass<TRDHotspotItemInfo>(0).HotImageIndex, 1);
  TCustomRDData large;
  setUp(large);
  EXPECT_FALSE(Load("-4 1 0 0 1 0 7 1 9\r\nh\r\n", large));
  EXPECT_EQ(large.GetRDFWarnings(), rdfwLargeImageIndex);
  large.SetRDFOptions(rdfoConvLargeImageIdxToZero);
  ASSERT_TRUE(Load("-4 1 0 0 1 0 7 1 9\r\nh\r\n", large));
  EXPECT_EQ(large.CheckItemClass<TRDHotspotItemInfo>(0).HotImageIndex, 0);
}

TEST(ObjectRecords, ControlsComeBackOnlyFromRegisteredClassesOrTheApplication) {
  RegisterRDControlClass(TRDControlClass{
      "TEdit", [] { return std::make_unique<TEdit>(nullptr); },
      [](const TControl& control) { return static_cast<const TEdit&>(control).Text(); },
      [](TControl& control, std::string_view bytes) {
        if (bytes.find('\0') != std::string_view::npos) return false;
        static_cast<TEdit&>(control).SetText(std::string(bytes));
        return true;
      }});
  TPanel viewer(nullptr);
  TRDStyle sheet;
  for (TRDFOptions binary : {TRDFOptions(0), rdfoSaveBinary}) {
    TCustomRDData data;
    data.SetRDStyle(&sheet);
    data.ParentControl = &viewer;
    data.SetRDFOptions(rdfoSaveControlsBody | binary);
    auto edit = std::make_unique<TEdit>(nullptr);
    edit->SetText("73 de DL1ABC");
    auto item = TRDControlItemInfo::CreateWithControl(&data, std::move(edit), rdvaBaseline);
    item->ControlVisible = false;
    item->ResizeEnabled = true;
    data.AddItemAtEnd("field", std::move(item));
    const std::string saved = Saved(data);
    EXPECT_NE(saved.find("visible=0\r\n"), std::string::npos);
    TCustomRDData loaded;
    loaded.SetRDStyle(&sheet);
    loaded.ParentControl = &viewer;
    ASSERT_TRUE(Load(saved, loaded));
    auto& back = loaded.CheckItemClass<TRDControlItemInfo>(0);
    EXPECT_FALSE(back.ControlVisible);
    EXPECT_TRUE(back.ResizeEnabled);
    ASSERT_NE(dynamic_cast<TEdit*>(back.Control.get()), nullptr);
    EXPECT_EQ(static_cast<TEdit&>(*back.Control).Text(), "73 de DL1ABC");
    EXPECT_EQ(back.Control->Parent(), &viewer);
  }
  // A class nobody registered is never made; its record fails unless unknown controls
  // are passed over.
  const std::string foreign = "-5 3 0 0 0 0 0\r\nx\r\nTFormatDisk\r\n41\r\n";
  TCustomRDData strict;
  strict.SetRDStyle(&sheet);
  EXPECT_FALSE(Load(foreign, strict));
  EXPECT_EQ(strict.GetRDFWarnings(), rdfwUnknownControls);
  TCustomRDData lenient;
  lenient.SetRDStyle(&sheet);
  lenient.SetRDFOptions(rdfoIgnoreUnknownCtrls);
  ASSERT_TRUE(Load(foreign, lenient));
  EXPECT_EQ(lenient.CheckItemClass<TRDControlItemInfo>(0).Control, nullptr);
  // A registered class whose body does not read fails.
  TCustomRDData broken;
  broken.SetRDStyle(&sheet);
  EXPECT_FALSE(Load("-5 3 0 0 0 0 0\r\nx\r\nTEdit\r\n4100\r\n", broken));
  // By name only: the application must supply the control.
  TCustomRDData none;
  none.SetRDStyle(&sheet);
  EXPECT_FALSE(Load("-5 1 0 0 1 0 0\r\nname\r\n", none));
  EXPECT_EQ(none.GetRDFWarnings(), rdfwUnknownControls);
  TCustomRDData supplied;
  supplied.SetRDStyle(&sheet);
  supplied.OnRDFControlNeeded = [](const std::string&, const TRDTag&) {
    return std::make_unique<TEdit>(nullptr);
  };
  ASSERT_TRUE(Load("-5 1 0 0 1 0 0\r\nname\r\n", supplied));
  EXPECT_NE(supplied.CheckItemClass<TRDControlItemInfo>(0).Control, nullptr);
}

TEST(ItemFactory, CreatesEveryObjectKindAndClonesItsProperties) {
  for (int code : {rdsPicture, rdsHotspot, rdsComponent, rdsBullet, rdsHotPicture}) {
    auto item = CreateRDItem(code, nullptr);
    ASSERT_NE(item, nullptr) << code;
    EXPECT_EQ(item->StyleNo, code);
  }
  auto item =
      TRDGraphicItemInfo::CreateWithGraphic(nullptr, SolidPicture(5, 5, clRed), rdvaBaseline);
  item->Alt = "x";
  item->ImageHeight = 9;
  auto clone = CloneRDItem(*item, nullptr, false);
  auto& copy = dynamic_cast<TRDGraphicItemInfo&>(*clone);
  EXPECT_EQ(copy.Alt, "x");
  EXPECT_EQ(copy.ImageHeight, 9);
  ASSERT_NE(copy.Image, nullptr);
  EXPECT_NE(copy.Image.get(), item->Image.get());
}

}  // namespace

namespace {

struct TJumpingData : TTestFormattedData {
  TJumpingData() : TTestFormattedData(300, 200) {}
  void DoJump(int jumpNo) override { jumped = jumpNo; }
  int jumped = -1;
};

TEST(ObjectsInADocument, ControlsArePlacedWhereTheyAreLaidOutAndHotPicturesAreLinks) {
  TPanel viewer(nullptr);
  viewer.SetBounds(0, 0, 300, 200);
  TJumpingData data;
  data.ParentControl = &viewer;
  data.AddText("ab", 0, 0);
  auto edit = std::make_unique<TEdit>(nullptr);
  edit->SetBounds(0, 0, 40, 16);
  TEdit* raw = edit.get();
  auto control = TRDControlItemInfo::CreateWithControl(&data, std::move(edit), rdvaBaseline);
  control->ParaNo = -1;
  data.AddItemAtEnd("", std::move(control));
  auto picture =
      TRDHotGraphicItemInfo::CreateWithGraphic(&data, SolidPicture(8, 8, clRed), rdvaBaseline);
  picture->ParaNo = -1;
  data.AddItemAtEnd("", std::move(picture));
  data.Format();
  const TRDDrawLineInfo& line = data.Line(data.GetItem(1)->DrawItemNo);
  EXPECT_EQ(raw->Left(), line.Left + 1);
  EXPECT_EQ(raw->Top(), line.Top + 1);
  EXPECT_TRUE(raw->Visible());
  ASSERT_EQ(data.Jumps.size(), 1u);
  EXPECT_EQ(data.Jumps[0].DrawItemNo, data.GetItem(2)->DrawItemNo);
  data.GetItem(2)->Execute(&data);
  EXPECT_EQ(data.jumped, data.FirstJumpNo);
  // The text before it goes: the control moves with its line.
  const int before = raw->Left();
  data.DeleteItems(0, 1);
  data.Format();
  const TRDDrawLineInfo& moved = data.Line(data.GetItem(0)->DrawItemNo);
  EXPECT_EQ(raw->Left(), moved.Left + 1);
  EXPECT_LT(raw->Left(), before);
}

}  // namespace
