// A document put on paper for the printing tests: sheets of the given size at the
// screen's resolution, measured and drawn on the raster canvas (every line of text 10
// pixels high), without margins unless asked, laid out and paginated.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/model/picture_item.h"
#include "richtext/support/raster_canvas.h"
#include "richtext_edit/print/paginator.h"
#include "richtext_edit/print/printable_data.h"

// "Above", then a picture 40 pixels wide and height high that may be cut over pages
// (at least 20 pixels of it on a page).
inline void AddTextAndCutPicture(TCustomRDData& document, int height) {
  document.AddText("Above", 0, 0);
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(40, height);
  auto picture = TRDGraphicItemInfo::CreateWithGraphic(&document, std::move(bitmap), rdvaBaseline);
  picture->MinHeightOnPage = 20;
  document.AddItemAtEnd("", std::move(picture));
}

struct TPaper {
  TPaper(TCustomRDData& document, int width, int height, int topMargin = 0, int bottomMargin = 0,
         int leftMargin = 0)
      : canvas(width, height), data(document) {
    data.PrinterCanvas = &canvas;
    data.PageWidth = width;
    data.PageHeight = height;
    data.TopMarginPix = topMargin;
    data.BottomMarginPix = bottomMargin;
    data.LeftMarginPix = leftMargin;
    data.PrepareScaling();
    data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    warnings = Paginate(data);
  }

  // The texts drawn on page pageNo, in order, with their places ("ExtTextOut x,y ...").
  std::vector<std::string> Texts(int pageNo) {
    canvas.Log.clear();
    data.DrawPage(pageNo, canvas, false);
    std::vector<std::string> texts;
    for (const std::string& entry : canvas.Log)
      if (entry.rfind("TextOut", 0) == 0 || entry.rfind("ExtTextOut", 0) == 0)
        texts.push_back(entry);
    return texts;
  }

  TRasterCanvas canvas;
  TCustomMainPtblRDData data;
  std::vector<std::string> warnings;
};
