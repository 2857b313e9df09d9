// The APRS symbol pictures: two sheets of 16 x 6 symbols of 20 x 20 pixels between
// 1-pixel grid lines (337 x 127 pixels), the primary table '/' and the alternate table
// '\'. A symbol's cell follows from its code: index = Code - 33, column = index mod 16,
// row = index div 16. Overlay tables ('0'..'9', 'A'..'Z') draw their character on the
// alternate symbol, for the symbols that take overlays.
//
// The sheets ship beside the program as "Symbols/Primary.bmp" and
// "Symbols/Alternate.bmp"; white is their transparent colour.
#pragma once

#include <string>

class TBitmap;
class TImageList;

constexpr int kSymbolPixels = 20;
constexpr char kPrimaryTable = '/';
constexpr char kAlternateTable = '\\';

// Loads both sheets from the program folder's "Symbols/"; false when either cannot be
// read (the symbols then stay blank; a sheet that loaded is kept).
bool LoadSymbolSheets(const std::string& ProgramFolder);
// The sheet of a table ('/' or '\'), for loading and drawing.
TBitmap& SymbolSheet(char Table);

// Bitmap becomes 20 x 20 with the cell of Code from the sheet of Table; any other
// table, and any code but '!' to '~', copies nothing.
void SymbolCell(char Table, char Code, TBitmap& Bitmap);
// The picture of a symbol, white transparent: the cell from the table's sheet, for an
// overlay table the alternate cell with the overlay character on it (or the primary '~'
// cell when Code takes no overlay). Any other table leaves Result unchanged.
void SymbolPicture(char Table, char Code, TBitmap& Result);

// The station list's images: every symbol of codes 32..125 of table '/', then of '\'
// (image index = code - 32, plus 94 for '\').
void AddSymbolPictures(TImageList& Images);
