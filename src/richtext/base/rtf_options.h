// The options of RTF output, a set the viewer keeps as its RTFOptions and passes to the
// RTF writer with every write.
#pragma once

// The viewer's RTFOptions. Pictures read the bits above the first two: a JPEG picture
// is embedded as it is only with rdrtfSaveJpegAsJpeg, and pictures that are neither
// bitmaps nor embedded JPEGs are written as bitmaps with rdrtfSaveBitmapDefault, else
// as PNG.
using TRDRTFOptions = unsigned;
constexpr TRDRTFOptions rdrtfSaveStyleSheet = 0x01;
constexpr TRDRTFOptions rdrtfDuplicateUnicode = 0x02;
constexpr TRDRTFOptions rdrtfSaveJpegAsJpeg = 0x04;
constexpr TRDRTFOptions rdrtfSaveBitmapDefault = 0x08;
// A new viewer's RTFOptions, which are also what every write without options of its own
// uses (copying included).
constexpr TRDRTFOptions kDefaultRTFOptions = rdrtfDuplicateUnicode | rdrtfSaveJpegAsJpeg;
