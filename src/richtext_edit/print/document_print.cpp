#include "richtext_edit/print/document_print.h"

#include <cmath>

#include "platform/text/sysutils.h"
#include "richtext/rd_platform_canvas.h"
#include "richtext/text_routines.h"
#include "richtext_edit/print/paginator.h"
#include "richtext_edit/print/printable_data.h"

namespace {

int ScreenPixels(double mm, int pixelsPerInch) {
  return int(std::lround(mm * pixelsPerInch / 25.4));
}

}  // namespace

TRDPrintResult PrintDocument(TCustomRDData& document, TPrinter& printer,
                             const TRDPrintSettings& settings) {
  TRDPrintResult result;
  if (!document.GetRDStyle()) {
    result.Error = "Style of printable TRichDoc component is not assigned";
    return result;
  }
  if (!printer.BeginDoc(settings.Title)) {
    result.Error = printer.Error();
    return result;
  }
  TRDPlatformCanvas canvas(printer.Canvas());
  canvas.PixelsPerInchX = printer.PixelsPerInchX();
  canvas.PixelsPerInchY = printer.PixelsPerInchY();
  canvas.Font.PixelsPerInch = printer.PixelsPerInchY();
  try {
    TCustomMainPtblRDData data(document);
    data.PrinterCanvas = &canvas;
    data.PageWidth = printer.PageWidth();
    data.PageHeight = printer.PageHeight();
    data.LeftMarginPix = ScreenPixels(settings.LeftMarginMM, GetScreenLogPixelsX());
    data.RightMarginPix = ScreenPixels(settings.RightMarginMM, GetScreenLogPixelsX());
    data.TopMarginPix = ScreenPixels(settings.TopMarginMM, GetScreenLogPixelsY());
    data.BottomMarginPix = ScreenPixels(settings.BottomMarginMM, GetScreenLogPixelsY());
    data.ColorMode = settings.ColorMode;
    data.PrepareScaling();
    data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    result.Warnings = Paginate(data);
    for (int page = 1; page <= data.Pages.Count(); ++page) {
      if (page > 1) printer.NewPage();
      data.DrawPage(page, canvas, false);
    }
    result.PageCount = data.Pages.Count();
  } catch (const Exception& e) {
    result.Error = e.Message();
    return result;
  }
  if (!printer.EndDoc()) {
    result.Error = printer.Error();
    return result;
  }
  result.Ok = true;
  return result;
}

TRDPrintResult PrintDocumentToPdf(TCustomRDData& document, const std::string& fileName,
                                  const TRDPrintSettings& settings) {
  auto printer = TPrinter::ForPdfFile(fileName, settings.Paper, settings.PixelsPerInch);
  return PrintDocument(document, *printer, settings);
}
