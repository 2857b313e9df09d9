// Pictures (\pict) and embedded objects (\object) as the RTF reader collects them, and
// the making of a graphic from a picture's data when its group closes:
//   {\pict\pngblip\picw32\pich32\picwgoal480\pichgoal480 89504e47...}
// is a PNG picture shown 480 twips (1/3 inch) square.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"

class TRDPictureBudget;

enum TRDRTFPictureType : std::uint8_t {
  rtf_pt_EnhancedMetafile,
  rtf_pt_Png,
  rtf_pt_Jpeg,
  rtf_pt_MacPict,
  rtf_pt_OS2Metafile,
  rtf_pt_WindowsMetafile,
  rtf_pt_Dib,
  rtf_pt_Ddb
};

struct TRDRTFPicture {
  // \dibitmap data is stored after room for a bitmap file header.
  static constexpr int kBitmapFileHeaderSize = 14;
  std::uint8_t PicType = rtf_pt_EnhancedMetafile;
  int MetafileMapMode = 1;
  int PicW = 0, PicH = 0;          // \picw, \pich: pixels, or 0.01 mm for metafiles
  int PicWGoal = 0, PicHGoal = 0;  // twips
  int PicScaleX = 100, PicScaleY = 100;
  int BitmapWidthBytes = 0, BitmapBitsPixel = 1, BitmapPlanes = 1;
  bool PicBmp = false;
  bool FromShpPict = false;
  TMemoryStream Data;
  int Width = 0, Height = 0;  // pixels, 0 when unknown

  // \dibitmap: the data goes after the room for the file header.
  void StartDib();
};

// Makes the graphic for a picture whose data is complete, and sets Width and Height
// from the sizes at pixelsPerInch. Null for kinds we cannot show (Macintosh and OS/2
// pictures, PNG without a PNG graphic class, metafiles that draw more than one bitmap)
// and for data the picture's kind cannot hold (a damaged PNG, JPEG or metafile). A
// bitmap's pixels are taken from budget, for device bitmaps before they are decoded; a
// bitmap that does not fit is left out, a TRDPictureFrame of its size in its place that
// keeps the picture's kind and data to be written again.
std::unique_ptr<TGraphic> CreatePictureGraphic(TRDRTFPicture& picture, int pixelsPerInch,
                                               bool extractMetafileBitmaps,
                                               TRDPictureBudget& budget);

enum TRDRTFObjectType : std::uint8_t {
  rtf_ot_Embedded,
  rtf_ot_Link,
  rtf_ot_AutoLink,
  rtf_ot_Subscriber,
  rtf_ot_Publisher,
  rtf_ot_EmbeddedWithIcon,
  rtf_ot_HtmlControl,
  rtf_ot_OleControl
};

struct TRDRTFObject {
  std::uint8_t ObjType = rtf_ot_Embedded;
  TMemoryStream Data;
  int Width = 0, Height = 0;  // twips
};
