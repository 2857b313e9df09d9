// Pictures in RTF: the "{\pict" groups that pictures, image-list pictures and list
// markers write. A bitmap is embedded as a device-independent bitmap (its BMP file
// without the file header), a JPEG picture as it is when rdrtfSaveJpegAsJpeg is set, and
// anything else is drawn into a bitmap and embedded as PNG, or as that bitmap with
// rdrtfSaveBitmapDefault. The picture data is hexadecimal.
//
// Example: a 2 x 1 bitmap of 24 bits shown at 4 x 1 pixels gives
//   {\pict\picscalex200\picscaley100\dibitmap0\wbmwidthbytes8\picw2\pich1\picwgoal30\pichgoal15
//   28000000...}
#pragma once

#include <string>

#include "richtext/base/rtf_options.h"

class TBitmap;
class TGraphic;
class TImageList;

// The group of a picture shown at targetWidth x targetHeight pixels (0: its own size);
// "" for an empty picture. A picture left out (TRDPictureFrame) is written from the bytes
// it keeps, with the kind and size keywords it was read with from RTF, or else as a
// picture of its graphic class is written (a BMP file as \dibitmap0, a metafile as
// \wmetafile8 or \emfblip, JPEG and PNG as they are); "" when it keeps none.
std::string RTFPictureGroup(const TGraphic& graphic, TRDRTFOptions options, int targetWidth = 0,
                            int targetHeight = 0);
// The group of image index of list: as a bitmap with rdrtfSaveBitmapDefault, else as
// PNG; "" when the list does not hold the index.
std::string RTFImageListPictureGroup(const TImageList& list, int index, TRDRTFOptions options);
