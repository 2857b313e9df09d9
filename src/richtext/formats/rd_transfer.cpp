#include "richtext/formats/rd_transfer.h"

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/graphics_objects.h"
#include "platform/text/streams.h"
#include "richtext/base/code_pages.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext/formats/text_export.h"
#include "richtext/layout/formatted_data.h"

namespace {

std::string BytesOf(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

}  // namespace

std::string SelectionAsRichDoc(TCustomRDFormattedData& data, TColor color,
                               const TRDBackground* background, const TRDLayoutInfo* layout) {
  TMemoryStream stream;
  TRDFSaveContext context;
  context.BackColor = color;
  context.Background = background;
  context.Layout = layout;
  SaveRDFBlock(data, stream, true, context);
  return BytesOf(stream);
}

std::string SelectionAsRTF(TCustomRDFormattedData& data, TColor color) {
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.SelectionOnly = true;
  params.PageColor = color;
  params.Options = data.GetRTFOptions();
  SaveRTF(data, stream, params);
  return BytesOf(stream);
}

std::string SelectionAsUTF8(TCustomRDFormattedData& data) {
  return RawUnicodeToUTF8(SelectedText(data, true));
}

std::unique_ptr<TBitmap> PictureAsBitmap(const TGraphic& picture) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(picture.Width(), picture.Height());
  const TRect all = Rect(0, 0, picture.Width(), picture.Height());
  TCanvas& canvas = bitmap->Canvas();
  canvas.Brush().SetColor(clWhite);
  canvas.Brush().SetStyle(bsSolid);
  canvas.FillRect(all);
  picture.Draw(canvas, all);
  return bitmap;
}
