#include "richtext/model/html_image.h"

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/rd_data.h"

namespace {

std::string QuotedText(const std::string& text, TCustomRDData& data,
                       const TRDHTMLSaveContext& context) {
  const std::string quoted = QuotedHTMLAttr(text);
  return (context.SaveOptions & rdsoUTF8) ? AnsiToUTF8(data.GetDefaultCodePage(), quoted) : quoted;
}

}  // namespace

std::string HTMLAltAttr(const std::string& alt, TCustomRDData& data,
                        const TRDHTMLSaveContext& context) {
  return "alt=" + QuotedText(alt, data, context);
}

std::string HTMLTitleAttr(const std::string& hint, TCustomRDData& data,
                          const TRDHTMLSaveContext& context) {
  return "title=" + QuotedText(hint, data, context);
}

std::string HTMLSizeAttrs(int width, int height, const TRDHTMLSaveContext& context) {
  return "width=" + IntToHTMLAttr(width, context.SaveOptions) +
         " height=" + IntToHTMLAttr(height, context.SaveOptions);
}

std::string HTMLSpacingAttrs(int spacing, const TRDHTMLSaveContext& context) {
  if (spacing <= 0) return "";
  const std::string value = IntToHTMLAttr(spacing, context.SaveOptions);
  return "hspace=" + value + " vspace=" + value;
}

std::string HTMLNoBorderAttr(const TRDHTMLSaveContext& context) {
  return (context.SaveOptions & rdsoNoPictureBorders)
             ? "border=" + IntToHTMLAttr(0, context.SaveOptions)
             : "";
}

std::string HTMLFileLocation(const std::string& fileName, const std::string& folder) {
  if (!folder.empty() && fileName.size() > folder.size() &&
      fileName.compare(0, folder.size(), folder) == 0)
    return fileName.substr(folder.size());
  return fileName;
}

std::string JoinHTMLAttrs(const std::vector<std::string>& attrs) {
  std::string out = " ";
  for (const std::string& attr : attrs)
    if (!attr.empty()) out += attr + " ";
  return out;
}

std::string HTMLImageTag(const std::string& before, const std::string& location,
                         const TRDHTMLSaveContext& context) {
  const std::string src =
      QuotedHTMLAttr(FilePathToHTML(location, context.SaveOptions, context.CodePage));
  return "<img" + before + "src=" + src + GetHTMLEmptyTagEnd(context.SaveOptions) + ">";
}

std::string SaveSharedImageForHTML(TCustomRDData& data, TRDHTMLSaveContext& context,
                                   const TGraphic& graphic) {
  const auto key = std::make_pair(static_cast<const void*>(&graphic), -1);
  if (auto it = context.SavedListImages.find(key); it != context.SavedListImages.end())
    return it->second;
  std::string location =
      context.SaveImage(data, graphic, dynamic_cast<const TJPEGImage*>(&graphic) != nullptr);
  context.SavedListImages.emplace(key, location);
  return location;
}

std::string SaveImageListImageForHTML(TCustomRDData& data, TRDHTMLSaveContext& context,
                                      const TImageList& list, int index) {
  const auto key = std::make_pair(static_cast<const void*>(&list), index);
  if (auto it = context.SavedListImages.find(key); it != context.SavedListImages.end())
    return it->second;
  TBitmap image;
  image.SetSize(list.Width(), list.Height());
  image.Canvas().Brush().SetColor(context.BackColor == clNone ? clWhite : context.BackColor);
  image.Canvas().FillRect(Rect(0, 0, list.Width(), list.Height()));
  list.Draw(image.Canvas(), 0, 0, index);
  std::string location = context.SaveImage(data, image, false);
  context.SavedListImages.emplace(key, location);
  return location;
}
