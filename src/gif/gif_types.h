// Shared vocabulary of the GIF codec (GIF87a and GIF89a, as in the W3C/CompuServe
// "Graphics Interchange Format Version 89a" document): the one exception class, the
// version and option enumerations, and the small stream helpers every block uses.
//
// Errors raise GIFException and end the operation; warnings go to the picture's
// OnWarning (severity 1) and the operation goes on with the recovery stated where
// the warning is raised.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gui/graphics/bitmap.h"

class TStream;
class TStrings;

// The only exception the codec raises; its message is one of the codec's fixed texts.
// A picture loader that catches EInvalidGraphic catches it too.
class GIFException : public EInvalidGraphic {
 public:
  explicit GIFException(const std::string& Message) : EInvalidGraphic(Message) {}
};

enum GIFVersion : std::uint8_t { VersionUnknown = 0, Version87a = 1, Version89a = 2 };

// Signature text of a version ("87a" or "89a"); empty for VersionUnknown.
const char* GIFVersionText(GIFVersion Version);

// Every warning of the codec carries this severity.
constexpr int GIFWarningSeverity = 1;

// Draw options of a picture and its painters (a 16-bit flag set).
using TGIFDrawOptions = std::uint16_t;
constexpr TGIFDrawOptions dfThreaded = 0x0001;
constexpr TGIFDrawOptions dfTransparent = 0x0002;
constexpr TGIFDrawOptions dfAnimate = 0x0004;
constexpr TGIFDrawOptions dfLoop = 0x0008;
constexpr TGIFDrawOptions dfLoopForever = 0x0010;
constexpr TGIFDrawOptions dfCheckCanvas = 0x0020;
constexpr TGIFDrawOptions dfDirect = 0x0040;
constexpr TGIFDrawOptions dfClearFirst = 0x0080;
constexpr TGIFDrawOptions dfTile = 0x0100;
constexpr TGIFDrawOptions dfDither = 0x0200;
constexpr TGIFDrawOptions dfDitherOnPaletteDisplay = 0x0400;

enum TColorReduction : std::uint8_t {
  ReduceNone = 0,
  ReduceWindows20 = 1,
  ReduceHalftone256 = 2,
  ReduceGray4 = 3,
  ReduceMonochrome = 4,
  ReduceGray256 = 5,
  ReduceWeb216 = 6,
  ReduceOptimized = 7,
  ReduceOptimizedWindows = 8,
  ReduceCustomPalette = 9,
};

enum TDitherMode : std::uint8_t {
  DitherNearest = 0,
  DitherFloydSteinberg = 1,
  DitherStucki = 2,
  DitherSierra = 3,
  DitherJarvisJudiceNinke = 4,
  DitherStevensonArce = 5,
  DitherBurkes = 6,
};

enum TGIFCompression : std::uint8_t { CompressLZW = 0, CompressRLE = 1 };

enum TGIFDisposalMethod : std::uint8_t {
  DisposeUnspecified = 0,
  DisposeKeep = 1,
  DisposeBackground = 2,
  DisposePrevious = 3,
};

// Options of TGIFPicture::Optimize (a one-byte flag set).
using TGIFOptimizeOptions = std::uint8_t;
constexpr TGIFOptimizeOptions OptCrop = 0x01;
constexpr TGIFOptimizeOptions OptMerge = 0x02;
constexpr TGIFOptimizeOptions OptCleanup = 0x04;
constexpr TGIFOptimizeOptions OptColorMaps = 0x08;
constexpr TGIFOptimizeOptions OptReduceColors = 0x10;

// Progress of long operations, reported through the picture's OnProgress.
enum TProgressStage : std::uint8_t { psStarting, psRunning, psEnding };

// Block introducers and labels of the file format.
constexpr std::uint8_t bsExtensionIntroducer = 0x21;  // '!'
constexpr std::uint8_t bsImageSeparator = 0x2C;       // ','
constexpr std::uint8_t bsTrailer = 0x3B;              // ';'
constexpr std::uint8_t bsPlainTextExtension = 0x01;
constexpr std::uint8_t bsGraphicControlExtension = 0xF9;
constexpr std::uint8_t bsCommentExtension = 0xFE;
constexpr std::uint8_t bsApplicationExtension = 0xFF;

// Raises GIFException with Message.
[[noreturn]] void Error(const std::string& Message);

// Reads exactly Count bytes; a short read raises "Premature end of data".
void ReadCheck(TStream& Stream, void* Buffer, int Count);
void WriteByte(TStream& Stream, std::uint8_t Value);
// One byte; a failed read yields 0 (callers that must tell the end use ReadCheck or Read).
std::uint8_t ReadByte(TStream& Stream);
// Every line as data sub-blocks of at most 255 bytes, then one terminating 0 byte.
void WriteStrings(TStream& Stream, const TStrings& Lines);
// Clears Lines; every sub-block up to a 0 length (or the end of the stream) becomes a line.
void ReadStrings(TStream& Stream, TStrings& Lines);
// Bits needed for Colors entries: 0 for 0, 1 for 1 or 2, else the least n with 2^n >= Colors.
int Colors2bpp(int Colors);

// Number x Numerator / Denominator, rounded half away from zero, without overflow.
inline int MulDiv(int Number, int Numerator, int Denominator) {
  if (Denominator == 0) return -1;
  const long long product = static_cast<long long>(Number) * Numerator;
  const long long half = (Denominator > 0 ? Denominator : -Denominator) / 2;
  // Division truncates towards zero, so the half is added away from zero first.
  return static_cast<int>((product + (product >= 0 ? half : -half)) / Denominator);
}
