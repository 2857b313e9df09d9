#include "app/map/aprs_symbols.h"

#include <cstdint>
#include <string_view>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/image_list.h"

namespace {

constexpr int kSheetColumns = 16;
constexpr int kCellStep = kSymbolPixels + 1;  // a cell and its grid line
// The symbol codes, '!' to '~', the first cells of the sheets.
constexpr std::uint8_t kFirstSheetCode = '!';
constexpr std::uint8_t kLastSheetCode = '~';
constexpr TColor kSymbolTransparent = clWhite;
// Symbols whose alternate picture carries an overlay character.
constexpr std::string_view kOverlaySymbols = "#&0>AW^_acinsuv";
constexpr char kNoOverlaySymbol = '~';
constexpr int kOverlayFontHeight = 8;
constexpr int kFirstListedCode = 32;
constexpr int kLastListedCode = 125;

TBitmap& PrimarySheet() {
  static TBitmap sheet;
  return sheet;
}
TBitmap& AlternateSheet() {
  static TBitmap sheet;
  return sheet;
}

bool IsOverlayTable(char Table) {
  return (Table >= '0' && Table <= '9') || (Table >= 'A' && Table <= 'Z');
}

bool LoadSheet(TBitmap& Sheet, const std::string& FileName) {
  try {
    Sheet.LoadFromFile(FileName);
    return true;
  } catch (const Exception&) {
    return false;
  }
}

}  // namespace

bool LoadSymbolSheets(const std::string& ProgramFolder) {
  const bool primary = LoadSheet(PrimarySheet(), ProgramFolder + "Symbols/Primary.bmp");
  const bool alternate = LoadSheet(AlternateSheet(), ProgramFolder + "Symbols/Alternate.bmp");
  return primary && alternate;
}

TBitmap& SymbolSheet(char Table) {
  return Table == kAlternateTable ? AlternateSheet() : PrimarySheet();
}

void SymbolCell(char Table, char Code, TBitmap& Bitmap) {
  Bitmap.SetSize(kSymbolPixels, kSymbolPixels);
  if (Table != kPrimaryTable && Table != kAlternateTable) return;
  // The two cells after '~' would show a picture no symbol code stands for.
  const auto code = static_cast<std::uint8_t>(Code);
  if (code < kFirstSheetCode || code > kLastSheetCode) return;
  const int index = code - kFirstSheetCode;
  const int left = (index % kSheetColumns) * kCellStep + 1;
  const int top = (index / kSheetColumns) * kCellStep + 1;
  Bitmap.Canvas().CopyRect(Rect(0, 0, kSymbolPixels, kSymbolPixels), SymbolSheet(Table).Canvas(),
                           Rect(left, top, left + kSymbolPixels, top + kSymbolPixels));
}

void SymbolPicture(char Table, char Code, TBitmap& Result) {
  const bool overlay = IsOverlayTable(Table);
  if (Table != kPrimaryTable && Table != kAlternateTable && !overlay) return;
  TBitmap work;
  work.SetSize(kSymbolPixels, kSymbolPixels);
  work.SetTransparentColor(kSymbolTransparent);
  work.SetTransparent(true);
  // A code beyond the sheet copies nothing; it must leave a transparent picture.
  work.Canvas().Brush().SetColor(kSymbolTransparent);
  work.Canvas().FillRect(Rect(0, 0, kSymbolPixels, kSymbolPixels));
  if (!overlay) {
    SymbolCell(Table, Code, work);
  } else if (kOverlaySymbols.find(Code) == std::string_view::npos) {
    SymbolCell(kPrimaryTable, kNoOverlaySymbol, work);
  } else {
    SymbolCell(kAlternateTable, Code, work);
    TCanvas& canvas = work.Canvas();
    canvas.Font().SetHeight(kOverlayFontHeight);
    canvas.Font().SetColor(clBlack);
    canvas.Font().SetStyle(fsBold);
    canvas.Brush().SetStyle(bsClear);
    const std::string text(1, Table);
    const TSize extent = canvas.TextExtent(text);
    canvas.TextOut(kSymbolPixels / 2 - extent.cx / 2, kSymbolPixels / 2 - extent.cy / 2, text);
  }
  Result.Assign(work);
}

void AddSymbolPictures(TImageList& Images) {
  TBitmap picture;
  for (char table : {kPrimaryTable, kAlternateTable}) {
    for (int code = kFirstListedCode; code <= kLastListedCode; ++code) {
      SymbolPicture(table, static_cast<char>(code), picture);
      Images.Add(picture);
    }
  }
}
