#include "richtext/model/html_save_context.h"

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/model/rd_data.h"

namespace {

bool IsAbsolutePrefix(const std::string& prefix) {
  return prefix.find(':') != std::string::npos || (!prefix.empty() && prefix[0] == '/');
}

}  // namespace

std::string SaveImageForHTML(const TGraphic& graphic, const std::string& path,
                             const std::string& imagePrefix, int& imageCounter, TColor backColor,
                             bool saveAsJPEG, bool overwrite) {
  const std::string extension = saveAsJPEG ? ".jpg" : ".bmp";
  const std::string base = IsAbsolutePrefix(imagePrefix) ? imagePrefix : path + imagePrefix;
  std::string fileName;
  do {
    ++imageCounter;
    fileName = base + std::to_string(imageCounter) + extension;
  } while (FileExists(fileName) && !(overwrite && !FileIsReadOnly(fileName)));

  TMemoryStream data;
  const auto* jpeg = dynamic_cast<const TJPEGImage*>(&graphic);
  if (jpeg && saveAsJPEG) {
    jpeg->SaveToStream(data);
  } else {
    TBitmap bitmap;
    if (const auto* source = dynamic_cast<const TBitmap*>(&graphic)) {
      bitmap.Assign(*source);
    } else {
      bitmap.SetPixelFormat(pf32bit);
      bitmap.SetSize(graphic.Width(), graphic.Height());
      bitmap.Canvas().Brush().SetColor(backColor == clNone ? clWhite : backColor);
      bitmap.Canvas().FillRect(Rect(0, 0, graphic.Width(), graphic.Height()));
      bitmap.Canvas().Draw(0, 0, graphic);
    }
    if (saveAsJPEG) {
      TJPEGImage converted;
      converted.Assign(bitmap);
      converted.SaveToStream(data);
    } else {
      bitmap.SaveToStream(data);
    }
  }
  SaveFileAtomically(
      fileName, std::string_view(static_cast<const char*>(data.Memory()), size_t(data.Size())));
  // The link names the file where it was saved: a prefix may name a folder of its own or
  // an absolute place, which the page's folder and the file's name alone would miss.
  return fileName;
}

std::string TRDHTMLSaveContext::SaveImage(TCustomRDData& data, const TGraphic& graphic,
                                          bool saveAsJPEG) {
  const TRDExportHooks& hooks = data.GetAbsoluteRootData()->ExportHooks;
  std::string location;
  if (hooks.OnHTMLSaveImage && hooks.OnHTMLSaveImage(graphic, Path, location)) return location;
  return SaveImageForHTML(graphic, Path, ImagePrefix, ImageCounter, BackColor, saveAsJPEG,
                          OverwriteImages);
}
