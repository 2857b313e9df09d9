#include "richtext_edit/print/document_print.h"

#include <cmath>

#include "platform/text/sysutils.h"
#include "richtext/base/text_routines.h"
#include "richtext/layout/formatted_data.h"
#include "richtext/view/rd_platform_canvas.h"
#include "richtext_edit/edit/inplace_editor_host.h"
#include "richtext_edit/edit/rich_doc_edit.h"
#include "richtext_edit/print/paginator.h"
#include "richtext_edit/print/printable_data.h"

namespace {

int MMToPixels(double mm, int pixelsPerInch) {
  return int(std::lround(mm * pixelsPerInch / 25.4));
}

// Whether the document, or the editor open inside one of its items (a table's cell
// editor, and so on inward), has a selection.
bool HasSelection(TCustomRDData& document) {
  auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&document);
  if (formatted && formatted->HasSelection()) return true;
  auto* host = dynamic_cast<TRDInplaceEditorHost*>(document.GetChosenItem());
  TCustomRichDocEdit* editor = host ? host->GetInplaceEditor() : nullptr;
  return editor && HasSelection(editor->EditData());
}

// The items a selection touches, or false when the document has none. A selection inside
// an item (in a table's cell being edited) touches that item.
bool SelectedItems(TCustomRDData& document, int& first, int& last) {
  auto* formatted = dynamic_cast<TCustomRDFormattedData*>(&document);
  if (!formatted) return false;
  if (formatted->HasSelection()) {
    int firstOffs, lastOffs;
    formatted->GetSelectionBounds(first, firstOffs, last, lastOffs, true);
    return first >= 0 && last >= first;
  }
  if (!HasSelection(document)) return false;
  first = last = document.GetItemNo(document.GetChosenItem());
  return first >= 0;
}

}  // namespace

TRDPrintResult PrintDocument(TCustomRDData& document, TPrinter& printer,
                             const TRDPrintSettings& settings) {
  TRDPrintResult result;
  if (!document.GetRDStyle()) {
    result.Error = "Style of printable TRichDoc component is not assigned";
    return result;
  }
  int selStart = -1, selEnd = -1;
  if (settings.SelectionOnly && !SelectedItems(document, selStart, selEnd)) {
    result.Error = "Nothing is selected to print";
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
    data.LeftMarginPix = MMToPixels(settings.LeftMarginMM, GetScreenLogPixelsX());
    data.RightMarginPix = MMToPixels(settings.RightMarginMM, GetScreenLogPixelsX());
    data.TopMarginPix = MMToPixels(settings.TopMarginMM, GetScreenLogPixelsY());
    data.BottomMarginPix = MMToPixels(settings.BottomMarginMM, GetScreenLogPixelsY());
    data.FirstPageOffset = MMToPixels(settings.FirstPageOffsetMM, printer.PixelsPerInchY());
    data.ColorMode = settings.ColorMode;
    data.PrintSelectionOnly = settings.SelectionOnly;
    data.PrintedSelStart = selStart;
    data.PrintedSelEnd = selEnd;
    data.PrepareScaling();
    data.FormatItems(false, true, true, 0, nullptr, false, false, false);
    result.Warnings = Paginate(data);
    const int last = settings.ToPage > 0 ? settings.ToPage : data.Pages.Count();
    // A range that holds no page is as wrong as a page that does not exist.
    data.CheckPageNo(settings.FromPage);
    data.CheckPageNo(last < settings.FromPage ? 0 : last);
    for (int page = settings.FromPage; page <= last; ++page) {
      if (page > settings.FromPage) printer.NewPage();
      data.CurPageNo = page;
      data.DrawPage(page, canvas, false);
      ++result.PageCount;
    }
  } catch (const Exception& e) {
    result.Error = e.Message();
    result.PageCount = 0;
    return result;
  }
  if (!printer.EndDoc()) {
    result.Error = printer.Error();
    result.PageCount = 0;
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
