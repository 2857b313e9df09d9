// Random documents through the document formats and back, shared by the test that runs a
// few hundred seeds (round_trip_test.cpp) and by the libFuzzer program that takes its
// choices from the fuzzer's bytes (fuzz/round_trip_fuzz.cpp).
//
// A document holds paragraphs in several text and paragraph styles, numbered and bulleted
// lists on two levels (some markers restart their numbering), tables with random merges
// (up to all cells in one), tables nested in cells, and pictures of every kind, among them
// frames of pictures left out of the document's pixel budget. Documents at the edges hold
// pictures of thousands of pixels shown at a page's side or a few pixels, BMP files
// whose rows do not follow their colour table and bitmaps taken out of metafiles
// (bmp_layouts.h). Each document is
// - written as RDF (text and binary form), read back and written again: the same bytes,
//   and the same document, item by item, cell by cell, picture by picture;
// - written as RTF and read as a viewer reads it (styles and list markers added as
//   needed): the same items, cells, pictures and sizes (pixels too, at the edges); that
//   document written as RTF again gives the same RTF (what the reader makes of the
//   writer's RTF is what the writer writes; for a table with columns that no cell edge
//   divides, from the second writing on);
// - read from that RTF where the document's budget of pixels is spent, so that every
//   picture that costs pixels is a frame: the same document, written as RDF as the
//   pictures are, read from that RDF (budget spent again) and written as RTF as the
//   pictures are, and that RTF read so once more is the same document;
// - written as RTF with hidden runs at the starts and ends of its paragraphs and cells
//   (some opening a numbering of their own): read as a viewer reads it, the same
//   document as without.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/bmp_codec.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/gui/graphics/metafile.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/test_support/le_bytes.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_budget.h"
#include "richtext/model/picture_item.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/bmp_layouts.h"
#include "richtext_edit/rtf/rtf_bitmaps.h"
#include "richtext_edit/rtf/rtf_graphic_hooks.h"
#include "richtext_edit/rtf_import/shown_rtf.h"
#include "richtext_edit/tables/table_item.h"
#include "richtext_edit/tables/table_rows.h"

namespace round_trip {

// pick(n) gives a number below n (0 once it has nothing more to give).
using TPick = std::function<int(int)>;

inline std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

inline std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), std::int64_t(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

// A document with the style sheet the generator writes in: text styles plain, bold,
// red italic, large underlined; paragraph styles plain, centred, indented; a numbered list
// of two levels and a bulleted one.
class TRoundTripDocument : public TTestFormattedData {
 public:
  TRoundTripDocument() : TTestFormattedData(400, 300) {}

  void AddStyles() {
    TFontInfos& text = style.TextStyles();
    text.Add().Style = fsBold;
    TFontInfo& red = text.Add();
    red.Color = clRed;
    red.Style = fsItalic;
    TFontInfo& large = text.Add();
    large.Size = 16;
    large.Style = fsUnderline;
    style.ParaStyles().Add().Alignment = rdaCenter;
    style.ParaStyles().Add().LeftIndent = 24;
    TRDListInfo& numbers = style.ListStyles().Add();
    TRDListLevel& first = numbers.AddLevel();
    first.ListType = rdlstDecimal;
    first.FormatString = "%0:s.";
    first.LeftIndent = 24;
    TRDListLevel& second = numbers.AddLevel();
    second.ListType = rdlstLowerAlpha;
    second.FormatString = "%1:s)";
    second.LeftIndent = 48;
    TRDListLevel& bullet = style.ListStyles().Add().AddLevel();
    bullet.ListType = rdlstBullet;
    bullet.FormatString = "o";
    bullet.LeftIndent = 24;
    // A list paragraph stands where its level puts its marker, as RTF writes it.
    for (const TRDListLevel* level : {&first, &second}) {
      TParaInfo& para = style.ParaStyles().Add();
      para.LeftIndent = level->LeftIndent;
      para.FirstIndent = level->MarkerIndent - level->LeftIndent;
    }
  }

  // The paragraph style of a list paragraph at level (0 or 1) of either list.
  static int ListParaNo(const TRDStyle& sheet, int level) {
    return sheet.ParaStyles().Count() - 2 + level;
  }
};

// A minimal placeable Windows metafile of width x height twips that draws a rectangle and,
// withBitmap, a bitmap of one pixel over it (its pixel costs from the budget).
inline std::vector<std::uint8_t> WindowsMetafile(int width, int height, bool withBitmap) {
  LittleEndianBytes records;
  std::size_t largest = 0;
  const auto record = [&](unsigned function, std::vector<int> params) {
    records.U32(std::uint32_t(3 + params.size())).U16(function);
    for (const int p : params) records.U16(unsigned(p));
    largest = std::max(largest, 3 + params.size());
  };
  record(0x020B, {0, 0});                 // window origin
  record(0x020C, {height, width});        // window extent
  record(0x041B, {height, width, 0, 0});  // rectangle
  if (withBitmap) {
    // Copied from its one pixel to the whole window: the copy, then a 24-bit DIB of 1 x 1.
    std::vector<int> copy{0x0020, 0x00CC, 0, 1, 1, 0, 0, height, width, 0, 0};
    const std::vector<int> dib{40, 0, 1, 0, 1, 0, 1, 24, 0, 0,    4,
                               0,  0, 0, 0, 0, 0, 0, 0,  0, 0xFF, 0};
    copy.insert(copy.end(), dib.begin(), dib.end());
    record(0x0F43, copy);
  }
  record(0x0000, {});  // end
  LittleEndianBytes file;
  file.U32(0x9AC6CDD7u);
  for (const int v : {0, 0, 0, width, height, 1440}) file.U16(unsigned(v));
  file.U32(0);
  unsigned checksum = 0;
  for (size_t i = 0; i < file.data.size(); i += 2)
    checksum ^= unsigned(file.data[i] | file.data[i + 1] << 8);
  file.U16(checksum);
  file.U16(1).U16(9).U16(0x0300).U32(std::uint32_t((18 + records.data.size()) / 2));
  file.U16(0).U32(std::uint32_t(largest)).U16(0);
  return file.Raw(records.data).data;
}

// A minimal enhanced metafile of width x height pixels (at 96 per inch) with no drawing
// or, withBitmap, a bitmap of one pixel stretched over it and a rectangle.
inline std::vector<std::uint8_t> EnhancedMetafile(int width, int height, bool withBitmap) {
  LittleEndianBytes drawing;
  if (withBitmap) {
    drawing.U32(81).U32(124);  // StretchDIBits
    for (const int v : {0, 0, width - 1, height - 1, 0, 0, 0, 0, 1, 1})
      drawing.U32(std::uint32_t(v));
    // The bitmap's header and bits, colours given, copied, at the picture's size.
    for (const int v : {80, 40, 120, 4, 0, 0x00CC0020, width, height})
      drawing.U32(std::uint32_t(v));
    drawing.U32(40).U32(1).U32(1).U16(1).U16(24);
    for (const int v : {0, 4, 0, 0, 0, 0, 0xFF}) drawing.U32(std::uint32_t(v));
    drawing.U32(43).U32(24);  // Rectangle
    for (const int v : {0, 0, width - 1, height - 1}) drawing.U32(std::uint32_t(v));
  }
  const int records = withBitmap ? 4 : 2;
  const auto bytes = std::uint32_t(88 + drawing.data.size() + 20);
  LittleEndianBytes emf;
  emf.U32(1).U32(88);  // the header record and its size
  for (const int v : {0, 0, width - 1, height - 1}) emf.U32(std::uint32_t(v));
  // The frame in hundredths of a millimetre.
  for (const int v : {0, 0, width * 2540 / 96, height * 2540 / 96}) emf.U32(std::uint32_t(v));
  emf.U32(0x464D4520).U32(0x10000).U32(bytes).U32(std::uint32_t(records)).U16(1).U16(0);
  for (const int v : {0, 0, 0, 1024, 768, 320, 240}) emf.U32(std::uint32_t(v));
  emf.Raw(drawing.data);
  for (const int v : {14, 20, 0, 16, 20}) emf.U32(std::uint32_t(v));  // the end record
  return emf.data;
}

// The longest side our reader shows a picture at: a page, 31680 twips.
constexpr int kLargestShownSide = 2112;

class TGenerator {
 public:
  // atEdges: the pictures are those at the edges (see above).
  explicit TGenerator(TPick pick, bool atEdges = false)
      : pick_(std::move(pick)), at_edges_(atEdges) {}

  void Fill(TRoundTripDocument& document) {
    document.AddStyles();
    const int blocks = 1 + Pick(6);
    for (int b = 0; b < blocks; ++b) Block(document, 0);
    Paragraph(document);  // a table or a picture is followed by text
  }

 private:
  int Pick(int n) { return n <= 1 ? 0 : std::max(0, pick_(n)); }
  bool OneIn(int n) { return Pick(n) == 0; }

  std::string Words() {
    static const char* const kWords[] = {"alpha", "beta", "gamma", "delta", "x", "words", "ü"};
    std::string text = kWords[Pick(7)];
    for (int n = Pick(4); n > 0; --n) text += std::string(" ") + kWords[Pick(7)];
    return text;
  }

  // A paragraph of one to three runs in random styles, each in another style than the
  // run before (runs of one style are one run in RTF).
  void Paragraph(TCustomRDData& data) {
    int styleNo = Pick(4);
    data.AddText(Words(), styleNo, Pick(3));
    for (int n = Pick(3); n > 0; --n) {
      styleNo = (styleNo + 1 + Pick(3)) % 4;
      data.AddText(" " + Words(), styleNo, -1);
    }
  }

  void ListItem(TCustomRDData& data) {
    const int list = Pick(2);
    const int level = list == 0 ? Pick(2) : 0;
    const bool restart = list == 0 && OneIn(4);  // a bullet has no number to restart
    auto marker =
        TRDMarkerItemInfo::CreateMarker(&data, list, level, restart ? 1 + Pick(9) : 1, restart);
    marker->ParaNo = TRoundTripDocument::ListParaNo(*data.GetRDStyle(), level);
    data.AddItemAtEnd("", std::move(marker));
    data.AddText(Words(), Pick(4), -1);
  }

  // A picture of each kind, or a frame of one left out.
  std::unique_ptr<TGraphic> Picture() {
    if (at_edges_) return EdgePicture();
    const int width = 1 + Pick(40), height = 1 + Pick(30);
    const TColor color = TColor(Pick(0x1000000));
    const int kind = Pick(6);
    if (kind != 3) return OfKind(kind < 3 ? kind : kind - 1, width, height, color);
    // Left out: it keeps the bytes the picture stores.
    const std::unique_ptr<TGraphic> picture = OfKind(Pick(5), width, height, color);
    TMemoryStream bytes;
    picture->SaveToStream(bytes);
    return std::make_unique<TRDPictureFrame>(
        width, height, TRDPictureSource{GraphicClassName(*picture), Bytes(bytes)});
  }

  // Kind: a bitmap, PNG, JPEG, Windows or enhanced metafile (half of them with a bitmap,
  // whose pixel costs from the budget).
  std::unique_ptr<TGraphic> OfKind(int kind, int width, int height, TColor color) {
    auto bitmap = SolidPicture(width, height, color);
    switch (kind) {
      case 0:
        return bitmap;
      case 1:
        return Converted<TPngImage>(*bitmap);
      case 2:
        return Converted<TJPEGImage>(*bitmap);
      case 3:
        return std::make_unique<TMetafile>(WindowsMetafile(width * 15, height * 15, OneIn(2)),
                                           false);
      default:
        return std::make_unique<TMetafile>(EnhancedMetafile(width, height, OneIn(2)), true);
    }
  }

  // A strip of pixels thousands long, a BMP file laid out with its rows elsewhere than
  // after its colour table, or the bitmap our reader takes out of a metafile that draws
  // one DIB (run-length coded or of 16 bits).
  std::unique_ptr<TGraphic> EdgePicture() {
    const int salt = Pick(256), width = 1 + Pick(40), height = 1 + Pick(30);
    switch (Pick(3)) {
      case 0: {
        const int along = 1000 + Pick(4001);
        const bool tall = OneIn(2);
        return OfKind(Pick(3), tall ? width : along, tall ? along : height,
                      TColor(Pick(0x1000000)));
      }
      case 1: {
        const std::vector<std::uint8_t> file =
            LaidOutBmp(TBmpLayout(Pick(kBmpLayouts)), width, height, salt);
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->LoadFromStream(*StreamOf(std::string(file.begin(), file.end())));
        return bitmap;
      }
      default: {
        const bool enhanced = OneIn(2);
        const std::vector<std::uint8_t> drawing = MetafileDrawingDib(
            PackedLayoutDib(OneIn(2), width, height, salt), enhanced, width, height);
        TRDPictureBudget budget;
        std::unique_ptr<TBitmap> bitmap = enhanced ? ExtractEnhancedMetafileBitmap(drawing, budget)
                                                   : ExtractWindowsMetafileBitmap(drawing, budget);
        if (!bitmap) throw std::logic_error("no bitmap taken out of the metafile");
        return bitmap;
      }
    }
  }

  // A side shown at its own size, at a few pixels or at the longest our reader shows.
  int EdgeSide(int own) {
    switch (Pick(3)) {
      case 0:
        return own;
      case 1:
        return 1 + Pick(3);
      default:
        return kLargestShownSide - Pick(40);
    }
  }

  template <class TKind>
  static std::unique_ptr<TGraphic> Converted(const TBitmap& bitmap) {
    auto picture = std::make_unique<TKind>();
    picture->Assign(bitmap);
    return picture;
  }

  static std::unique_ptr<TBitmap> SolidPicture(int width, int height, TColor color) {
    auto picture = std::make_unique<TBitmap>();
    picture->SetSize(width, height);
    picture->Canvas().Brush().SetColor(color);
    picture->Canvas().FillRect(Rect(0, 0, width, height));
    return picture;
  }

  // A picture, alone in its paragraph or after text, placed at its own size or another.
  void PictureItem(TCustomRDData& data) {
    const bool afterText = OneIn(2);
    if (afterText) data.AddText(Words() + " ", Pick(4), Pick(3));
    auto item = TRDGraphicItemInfo::CreateWithGraphic(&data, Picture(), rdvaBaseline);
    if (at_edges_) {
      item->ImageWidth = EdgeSide(item->Image->Width());
      item->ImageHeight = EdgeSide(item->Image->Height());
    } else if (OneIn(3)) {  // placed at another size on one side or both
      const int sides = Pick(3);
      if (sides != 1) item->ImageWidth = 1 + Pick(60);
      if (sides != 0) item->ImageHeight = 1 + Pick(60);
    }
    item->ParaNo = afterText ? -1 : Pick(3);
    data.AddItemAtEnd("", std::move(item));
  }

  void Table(TCustomRDData& data, int depth) {
    // Rows that follow rows are one table in RTF.
    const int count = data.GetItemCount();
    if (count > 0 && dynamic_cast<TRDTableItemInfo*>(data.GetItem(count - 1))) Paragraph(data);
    const int rows = 1 + Pick(6), cols = 1 + Pick(9);
    auto owned = std::make_unique<TRDTableItemInfo>(rows, cols, &data);
    TRDTableItemInfo& table = *owned;
    data.AddItemAtEnd("", std::move(owned));
    TRDTableRows& grid = *table.Rows;
    if (OneIn(6)) {
      if (grid.CanMergeCells(0, 0, cols, rows, true))
        grid.MergeCells(0, 0, cols, rows, true, false);
    } else {
      for (int n = Pick(4); n > 0; --n) {
        const int top = Pick(rows), left = Pick(cols);
        const int height = 1 + Pick(rows - top), width = 1 + Pick(cols - left);
        if (grid.CanMergeCells(top, left, width, height, true))
          grid.MergeCells(top, left, width, height, true, false);
      }
    }
    // Cells are filled in document order: their list markers are listed as they come.
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        if (TRDTableCellData* cell = table.Cells(r, c)) Cell(*cell, depth);
  }

  // A cell stays empty (its one empty paragraph) or gets blocks of its own.
  void Cell(TRDTableCellData& cell, int depth) {
    if (OneIn(3)) return;
    cell.Clear();
    const int blocks = 1 + Pick(2);
    for (int b = 0; b < blocks; ++b) Block(cell, depth + 1);
  }

  void Block(TCustomRDData& data, int depth) {
    switch (Pick(depth < 2 ? 5 : 4)) {
      case 0:
        Paragraph(data);
        break;
      case 1:
        ListItem(data);
        break;
      case 2:
        PictureItem(data);
        break;
      case 3:
        Paragraph(data);
        if (OneIn(2)) ListItem(data);
        break;
      default:
        Table(data, depth);
        break;
    }
  }

  TPick pick_;
  bool at_edges_;
};

// The document as text, item by item and cell by cell: each item's kind, paragraph
// flags and content (text in its style's look, a marker's list level and numbering, a
// picture's kind and size, a table's grid, spans and cells). Styles are named by their
// look, so that a document whose reader added styles of its own compares with its source.
// With byEdges, a table's columns are those its cells' edges divide: RTF names a cell by
// its right edge, so a column that no cell ends at (every row merged across it) is none.
// With pixels, a decoded bitmap also gives its pixels' hash (a picture left out has none).
inline std::string Describe(TCustomRDData& data, int depth = 0, bool byEdges = false,
                            bool pixels = false);

inline std::string DescribeTable(const TRDTableItemInfo& table, int depth, bool byEdges,
                                 bool pixels) {
  std::vector<int> rank(size_t(table.ColCount()) + 1);
  for (int c = 0; c <= table.ColCount(); ++c) rank[size_t(c)] = c;
  if (byEdges) {
    std::vector<bool> edge(rank.size(), false);
    edge[0] = true;
    for (int r = 0; r < table.RowCount(); ++r)
      for (int c = 0; c < table.ColCount(); ++c)
        if (const TRDTableCellData* cell = table.Rows->Peek(r, c))
          edge[size_t(c + cell->ColSpan)] = true;
    for (size_t c = 1; c < rank.size(); ++c) rank[c] = rank[c - 1] + (edge[c] ? 1 : 0);
  }
  std::string text = "table " + std::to_string(table.RowCount()) + "x" +
                     std::to_string(rank[size_t(table.ColCount())]);
  for (int r = 0; r < table.RowCount(); ++r)
    for (int c = 0; c < table.ColCount(); ++c)
      if (TRDTableCellData* cell = table.Rows->Peek(r, c))
        text += "\n" + std::string(size_t(depth) * 2 + 1, ' ') + "cell " + std::to_string(r) + "," +
                std::to_string(rank[size_t(c)]) + " span " + std::to_string(cell->RowSpan) + "x" +
                std::to_string(rank[size_t(c + cell->ColSpan)] - rank[size_t(c)]) + "\n" +
                Describe(*cell, depth + 1, byEdges, pixels);
  return text;
}

// A bitmap whose runs leave pixels to the reader is written to RTF as PNG (readers differ
// on those pixels) and read back as a PNG picture of the same pixels: it is described as
// the PNG it is written as, whichever format it went through.
inline bool WrittenAsPng(const TGraphic& picture) {
  if (GraphicClassName(picture) != "TBitmap" || !dynamic_cast<const TBitmap*>(&picture))
    return false;
  TMemoryStream stream;
  picture.SaveToStream(stream);
  const std::string bytes = Bytes(stream);
  try {
    return !DibSetsEveryPixel(
        PackedDibOfBmpFile({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
  } catch (const EInvalidGraphic&) {
    return false;
  }
}

// A picture left out is of the kind whose bytes it keeps: read where the budget has room,
// it is that picture.
inline std::string PictureKind(const TGraphic& picture) {
  const auto* frame = dynamic_cast<const TRDPictureFrame*>(&picture);
  if (WrittenAsPng(picture)) return "TPngImage";
  return frame ? frame->Source().RDFClass : GraphicClassName(picture);
}

// What the picture stores, in short: its length and hash. Of a Windows metafile, its
// records from the standard header on: RTF holds no placeable header (its \picw and
// \pich say the size). Of a BMP file, its DIB as RTF holds it, the rows after the colour
// table.
inline std::string PictureBytes(const TGraphic& picture) {
  constexpr std::size_t kMetafileHeaderSize = 18;
  TMemoryStream stream;
  picture.SaveToStream(stream);
  std::string bytes = Bytes(stream);
  if (WrittenAsPng(picture)) bytes = BitmapToPng(dynamic_cast<const TBitmap&>(picture));
  const std::span<const std::uint8_t> data{reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                           bytes.size()};
  const std::size_t records = WindowsMetafileRecordsStart(data);
  if (PictureKind(picture) == "TMetafile" && records >= kMetafileHeaderSize)
    bytes.erase(0, records - kMetafileHeaderSize);
  if (PictureKind(picture) == "TBitmap") {
    std::vector<std::uint8_t> dib = PackedDibOfBmpFile(data);
    // Of a bitmap (not a frame), its pixels as written where they take no more bytes.
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&picture)) {
      TMemoryStream written;
      WriteBmp(*bitmap, written);
      const std::string plain = Bytes(written);
      if (const std::span<const std::uint8_t> file{
              reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()};
          dib.size() >= file.size() - 14)
        dib = PackedDibOfBmpFile(file);
    }
    bytes.assign(dib.begin(), dib.end());
  }
  return std::to_string(bytes.size()) + "/" + std::to_string(std::hash<std::string>{}(bytes));
}

// The hash of a decoded bitmap's pixels (blue, green, red), "" for any other picture.
inline std::string PixelsHash(const TGraphic& picture) {
  const auto* bitmap = dynamic_cast<const TBitmap*>(&picture);
  if (!bitmap) return "";
  const int step = bitmap->PixelFormat() == pf32bit ? 4 : 3;
  std::string pixels;
  for (int y = 0; y < bitmap->Height(); ++y) {
    const std::uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x)
      pixels.append(reinterpret_cast<const char*>(row + step * x), 3);
  }
  return " pixels " + std::to_string(std::hash<std::string>{}(pixels));
}

inline std::string DescribeItem(TCustomRDData& data, int itemNo, int depth, bool byEdges,
                                bool pixels) {
  const TCustomRDItemInfo& item = *data.GetItem(itemNo);
  std::string line(size_t(depth) * 2, ' ');
  line += item.IsParaStart() ? "P " : item.GetLineBreakBefore() ? "L " : "  ";
  const TRDStyle& sheet = *data.GetRDStyle();
  if (item.StyleNo >= 0) {
    const TFontInfo& look = sheet.TextStyles()[item.StyleNo];
    line += "text \"" + data.GetItemTextRaw(itemNo) + "\" " + look.FontName + " " +
            std::to_string(look.Size) + " " + std::to_string(int(look.Style)) + " " +
            std::to_string(int(look.Color));
  } else if (const auto* marker = dynamic_cast<const TRDMarkerItemInfo*>(&item)) {
    line += "marker level " + std::to_string(marker->Level) + " start " +
            std::to_string(marker->StartFrom) + (marker->Reset ? " restart " : " ") +
            marker->DisplayString;
  } else if (const auto* picture = dynamic_cast<const TRDGraphicItemInfo*>(&item)) {
    line += "picture " + PictureKind(*picture->Image) + " " +
            std::to_string(picture->GetImageWidth()) + "x" +
            std::to_string(picture->GetImageHeight()) + " " + PictureBytes(*picture->Image) +
            (pixels ? PixelsHash(*picture->Image) : "");
  } else if (const auto* table = dynamic_cast<const TRDTableItemInfo*>(&item)) {
    return line + DescribeTable(*table, depth, byEdges, pixels);
  } else {
    line += "item " + std::to_string(item.StyleNo);
  }
  if (item.IsParaStart()) {
    // A list paragraph stands where its list level puts it, whatever its style says.
    const TParaInfo& para = sheet.ParaStyles()[item.ParaNo];
    line += " para " + std::to_string(int(para.Alignment));
    if (item.StyleNo != rdsListMarker) line += " " + std::to_string(para.LeftIndent);
  }
  return line;
}

inline std::string Describe(TCustomRDData& data, int depth, bool byEdges, bool pixels) {
  std::string text;
  for (int i = 0; i < data.GetItemCount(); ++i)
    text += DescribeItem(data, i, depth, byEdges, pixels) + "\n";
  return text;
}

// Where two descriptions (or writings) part: the first line that differs, with the lines
// around it in each.
inline std::string Difference(const std::string& expected, const std::string& actual) {
  const auto lines = [](const std::string& text) {
    std::vector<std::string> result;
    size_t at = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', at)) {
      result.push_back(text.substr(at, end - at));
      at = end + 1;
    }
    result.push_back(text.substr(at));
    return result;
  };
  const std::vector<std::string> a = lines(expected), b = lines(actual);
  size_t first = 0;
  while (first < a.size() && first < b.size() && a[first] == b[first]) ++first;
  const auto around = [first](const std::vector<std::string>& text) {
    std::string part;
    for (size_t i = first < 4 ? 0 : first - 4; i < std::min(text.size(), first + 4); ++i)
      part += (i == first ? "> " : "  ") + text[i].substr(0, 300) + "\n";
    return part;
  };
  return " at line " + std::to_string(first + 1) + "\n" + around(a) + "---\n" + around(b);
}

inline std::string SavedRDF(TCustomRDData& document, TRDFOptions form) {
  document.SetRDFOptions(form | rdfoSaveTextStyles | rdfoSaveParaStyles | rdfoSavePicturesBody);
  TMemoryStream stream;
  SaveRDFToStream(document, stream, false);
  return Bytes(stream);
}

// Laid out first, as a document shown in a viewer is: tables write their columns as laid
// out.
inline std::string SavedRTF(TRoundTripDocument& document) {
  document.Format();
  TMemoryStream stream;
  SaveRTFToStream(document, stream, TRDRTFSaveParams{});
  return Bytes(stream);
}

// The RTF read as a viewer reads it.
inline void ReadAsViewer(const std::string& rtf, TCustomRDData& into) {
  TRDRTFReaderProperties options = StyleAddingRTFOptions();
  int index = 0;
  ReadRTFBytes(options, reinterpret_cast<const std::uint8_t*>(rtf.data()), rtf.size(), into, index);
}

// The RTF with hidden runs where paragraphs and cells start and end: a hidden run, a
// hidden run that opens a numbering of its own. Hidden text leaves nothing behind where
// it shares its paragraph with shown text or a table (a paragraph of hidden text alone
// stays as an empty paragraph, as in word processors); the writer puts "\par " between
// paragraphs and ends cells with "\cell}" and "\nestcell}" (never inside a picture's
// data or a field).
inline std::string WithHiddenText(const std::string& rtf, TPick& pick) {
  static const char* const kHidden[] = {"{\\v hidden}", "{\\v{\\pn\\pnlvl1}hidden}"};
  const auto hidden = [&pick]() -> std::string {
    const int choice = std::max(0, pick(int(std::size(kHidden)) + 1));
    return choice < int(std::size(kHidden)) ? kHidden[choice] : "";
  };
  std::string out;
  for (size_t at = 0; at < rtf.size();) {
    if (rtf.compare(at, 5, "\\par ") == 0) {
      // Before the paragraph's end, or where the next one starts.
      const bool before = std::max(0, pick(2)) == 0;
      out += (before ? hidden() : "") + "\\par " + (before ? "" : hidden());
      at += 5;
    } else if ((rtf.compare(at, 6, "\\cell}") == 0 || rtf.compare(at, 10, "\\nestcell}") == 0) &&
               at > 0 && rtf[at - 1] != '}') {
      // Not after a table in the cell: hidden text there is a paragraph of its own.
      out += hidden() + rtf[at++];
    } else {
      out += rtf[at++];
    }
  }
  return out;
}

// A document whose pictures are left out as they are read: its budget of pixels is spent.
class TSpentDocument : public TRoundTripDocument {
 public:
  TSpentDocument() { PictureBudget() = TRDPictureBudget(0); }
};

// The RTF read where the budget is spent: every picture that costs pixels is left out, a
// frame that keeps the picture's kind, size and bytes through RDF and RTF again, and
// writes what the picture writes (read, the RTF read with budget left).
inline std::string CheckLeftOut(const std::string& rtf, const std::string& byEdges,
                                TRoundTripDocument& read) {
  TSpentDocument spent;
  ReadAsViewer(rtf, spent);
  if (const std::string again = Describe(spent, 0, true); again != byEdges)
    return "the RTF read with the budget spent is another document" + Difference(byEdges, again);
  const std::string rdf = SavedRDF(spent, TRDFOptions(0));
  if (const std::string decoded = SavedRDF(read, TRDFOptions(0)); rdf != decoded)
    return "pictures left out write other RDF" + Difference(decoded, rdf);
  TSpentDocument back;
  int index = 0;
  if (!InsertRDFFromStream(back, *StreamOf(rdf), index).Ok)
    return "the RDF of pictures left out does not read back";
  if (const std::string again = Describe(back, 0, true); again != byEdges)
    return "the RDF of pictures left out reads as another document" + Difference(byEdges, again);
  TRoundTripDocument decoded;
  if (!LoadRDFFromStream(decoded, *StreamOf(rdf))) return "the RDF does not read back";
  const std::string written = SavedRTF(decoded);
  if (const std::string again = SavedRTF(back); again != written)
    return "pictures left out write other RTF" + Difference(written, again);
  TSpentDocument reread;
  ReadAsViewer(written, reread);
  if (const std::string again = Describe(reread, 0, true); again != byEdges)
    return "the RTF of pictures left out reads as another document" + Difference(byEdges, again);
  return {};
}

// The row definition of the RTF that names a cell's right edge at or left of the one
// before it, empty when none does: readers take two such edges for one column (and
// LibreOffice then drops a vertical merge).
inline std::string EdgeNamedTwice(const std::string& rtf) {
  std::int64_t last = INT64_MIN;
  for (size_t p = rtf.find('\\'); p != std::string::npos; p = rtf.find('\\', p + 1)) {
    if (rtf.compare(p, 6, "\\trowd") == 0) last = INT64_MIN;
    if (rtf.compare(p, 6, "\\cellx") != 0) continue;
    const std::int64_t x = std::strtoll(rtf.c_str() + p + 6, nullptr, 10);
    if (x <= last) return rtf.substr(rtf.rfind("\\trowd", p), 2000);
    last = x;
  }
  return {};
}

// A failure of one document as text, empty when every check holds.
// A failure of the document as text, empty when every check holds; pick places the
// hidden text. With pixels, the pictures' pixels are compared too (a document without
// frames: a frame decodes once its bytes are read where the budget has room).
inline std::string CheckDocumentRoundTrips(TRoundTripDocument& document, TPick pick, bool pixels) {
  RegisterTableItemClass();
  RegisterPngGraphicClass();
  const std::string described = Describe(document, 0, false, pixels);

  for (const TRDFOptions form : {TRDFOptions(0), rdfoSaveBinary}) {
    const std::string first = SavedRDF(document, form);
    TRoundTripDocument back;
    if (!LoadRDFFromStream(back, *StreamOf(first))) return "the RDF does not read back";
    if (const std::string again = Describe(back, 0, false, pixels); again != described)
      return "the RDF read back is another document" + Difference(described, again);
    if (const std::string second = SavedRDF(back, form); second != first)
      return "the RDF read back writes other RDF" + Difference(first, second);
  }

  const std::string rtf = SavedRTF(document);
  if (const std::string row = EdgeNamedTwice(rtf); !row.empty())
    return "a row names a cell edge twice\n" + row;
  const std::string byEdges = Describe(document, 0, true);
  const std::string shown = Describe(document, 0, true, pixels);
  TRoundTripDocument read;
  ReadAsViewer(rtf, read);
  if (const std::string again = Describe(read, 0, true, pixels); again != shown)
    return "the RTF read back is another document" + Difference(shown, again) + "\n" +
           rtf.substr(0, 4000);
  // RTF gives a table only the columns its cells' edges divide: a table with others is laid
  // out on fewer columns once read, and gets other edges. Such a document is compared from
  // its second writing on.
  std::string first = rtf, second = SavedRTF(read);
  if (byEdges != Describe(document)) {
    TRoundTripDocument reread;
    ReadAsViewer(second, reread);
    first = std::exchange(second, SavedRTF(reread));
  }
  if (second != first) return "the RTF read back writes other RTF" + Difference(first, second);

  if (const std::string failure = CheckLeftOut(rtf, byEdges, read); !failure.empty())
    return failure;

  TRoundTripDocument hidden;
  ReadAsViewer(WithHiddenText(rtf, pick), hidden);
  if (const std::string again = Describe(hidden, 0, true, pixels); again != shown)
    return "the RTF with hidden text reads as another document" + Difference(shown, again);
  hidden.FormatAndPaint();
  return {};
}

// A failure of one document drawn by pick (atEdges: its pictures at the edges) as text,
// empty when every check holds.
inline std::string CheckRoundTrips(TPick pick, bool atEdges = false) {
  RegisterTableItemClass();
  RegisterPngGraphicClass();
  TRoundTripDocument document;
  TGenerator(pick, atEdges).Fill(document);
  return CheckDocumentRoundTrips(document, pick, atEdges);
}

// RTF of other writers: rows that all merge the same two columns (no edge divides them),
// and a list override with a start number of its own over three paragraphs, and again in
// a table's cells. Read as a viewer reads it, what we write of it reads back as the same
// document (the same columns, the same numbers) and writes the same RTF again.
inline const std::vector<std::string>& ForeignRTFs() {
  static const std::string merged =
      "\\trowd\\trgaph108\\clmgf\\cellx2000\\clmrg\\cellx4000\\cellx6000\\pard\\intbl "
      "a\\cell\\cell b\\cell\\row ";
  static const std::string lists =
      "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext "
      "\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid7}}{\\*\\listoverridetable"
      "{\\listoverride\\listid7\\listoverridecount1{\\lfolevel\\listoverridestartat"
      "\\levelstartat1}\\ls1}}";
  static const std::string item = "\\pard\\ls1\\ilvl0\\fi-360\\li720 ";
  // Padding wider than \\trgaph on a side without spacing of its own (once read as spacing
  // of -13 pixels, written as \\trspdl-98 and read back as -1).
  static const std::string padded =
      "\\trowd\\trpaddl300\\trpaddr300\\trpaddfl3\\trpaddfr3\\trspdl100\\trspdfl3\\cellx3000"
      "\\cellx6000\\pard\\intbl a\\cell b\\cell\\row ";
  static const std::vector<std::string> rtfs = {
      "{\\rtf1\\ansi " + merged + merged + "\\pard after\\par}",
      "{\\rtf1\\ansi " + lists + item + "one\\par " + item + "two\\par " + item + "three\\par}",
      "{\\rtf1\\ansi " + lists + "\\trowd\\cellx3000\\cellx6000" + item + "\\intbl one\\cell" +
          item + "\\intbl two\\cell\\row " + merged + "}",
      "{\\rtf1\\ansi " + padded + "\\pard after\\par}"};
  return rtfs;
}

// A form as LibreOffice writes one: rows of three cells ("name", "value", "note") that
// each have column edges of their own, all of the same width; with newEdges, each row's
// two inner edges are new to the form.
inline std::string FormTableRTF(int rows, bool newEdges = false) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n";
  const std::string pad = "\\clpadft3\\clpadt108\\clpadfr3\\clpadr108";
  for (int r = 0; r < rows; ++r) {
    const int name = newEdges ? 800 + 16 * r : 800 + r * 37 % 1800;
    const int value = newEdges ? 6000 + 16 * r : name + 1200 + r * 53 % 2500;
    rtf +=
        "\\trowd\\trql\\trleft-108\\ltrrow\\trpaddft3\\trpaddt0\\trpaddfl3\\trpaddl0"
        "\\trpaddfb3\\trpaddb0\\trpaddfr3\\trpaddr0" +
        pad + "\\cellx" + std::to_string(name) + pad + "\\cellx" + std::to_string(value) + pad +
        "\\cellx" + (newEdges ? "12000" : "8892");
    for (const char* word : {"name ", "value ", "note "})
      rtf += "\\pard\\plain\\intbl\\ql{\\fs20 " + std::string(word) + std::to_string(r) + "}\\cell";
    rtf += "\\row\n";
  }
  return rtf + "\\pard\\plain after\\par}";
}

// The tables of the document, and the cells of theirs that hold text, as "tables/cells".
inline std::string TablesAndCellsWithText(TCustomRDData& document) {
  int tables = 0, cells = 0;
  for (int i = 0; i < document.GetItemCount(); ++i)
    if (const auto* table = dynamic_cast<const TRDTableItemInfo*>(document.GetItem(i))) {
      ++tables;
      for (int r = 0; r < table->RowCount(); ++r)
        for (int c = 0; c < table->ColCount(); ++c)
          if (const TRDTableCellData* cell = table->Rows->Object(r, c);
              cell && cell->HasData(false))
            ++cells;
    }
  return std::to_string(tables) + "/" + std::to_string(cells);
}

inline std::string CheckForeignRoundTrip(const std::string& rtf) {
  RegisterTableItemClass();
  TRoundTripDocument read;
  ReadAsViewer(rtf, read);
  const std::string written = SavedRTF(read);
  const std::string described = Describe(read, 0, true);
  TRoundTripDocument back;
  ReadAsViewer(written, back);
  if (const std::string again = SavedRTF(back); again != written)
    return "the RTF read back writes other RTF" + Difference(written, again);
  if (const std::string again = Describe(back, 0, true); again != described)
    return "the RTF read back is another document" + Difference(described, again);
  return {};
}

}  // namespace round_trip

// A document drawn from a generator seeded with seed (atEdges: its pictures at the edges).
inline std::string CheckSeededRoundTrips(unsigned seed, bool atEdges = false) {
  std::mt19937 generator(seed);
  return round_trip::CheckRoundTrips(
      [&generator](int n) { return n <= 1 ? 0 : int(generator() % unsigned(n)); }, atEdges);
}

// A document whose choices come from the bytes (one byte a choice, two for larger ones;
// 0 once they are used up).
inline std::string CheckRoundTripsFromBytes(const std::uint8_t* data, std::size_t size) {
  std::size_t at = 0;
  return round_trip::CheckRoundTrips([&](int n) {
    if (n <= 1 || at >= size) return 0;
    unsigned value = data[at++];
    if (n > 256 && at < size) value = value << 8 | data[at++];
    return int(value % unsigned(n));
  });
}
