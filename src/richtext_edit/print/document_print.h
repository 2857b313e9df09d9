// Printing a document: laid out for the printer's pages (printable_data.h), broken into
// pages (paginator.h) and drawn page by page, to a PDF file or a printer of the system.
//
// Example: PrintDocumentToPdf(document, "out.pdf", {}) writes A4 pages at 300 pixels an
// inch with margins of 20 mm; the result says how many pages were printed. With FromPage
// 2 and ToPage 3 only the second and third page of the document are printed.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/graphics/printer.h"
#include "richtext/base/style_types.h"

class TCustomRDData;

struct TRDPrintSettings {
  std::string Title;
  TPaperSize Paper;
  int PixelsPerInch = 300;  // for PDF files; a printer has its own
  double LeftMarginMM = 20;
  double TopMarginMM = 20;
  double RightMarginMM = 20;
  double BottomMarginMM = 20;
  // 0 colours as they are, 1 system colours replaced, 2 grey.
  TRDColorMode ColorMode = 1;
  // Room kept free above the document on the first page.
  double FirstPageOffsetMM = 0;
  // The pages printed: FromPage .. ToPage (0: to the last one).
  int FromPage = 1;
  int ToPage = 0;
  // Only the items the document's selection touches, whole.
  bool SelectionOnly = false;
};

struct TRDPrintResult {
  bool Ok = false;
  std::string Error;  // why nothing was printed
  int PageCount = 0;  // pages printed
  // Draw lines that could not be cut at a page end, each with the reason.
  std::vector<std::string> Warnings;
};

TRDPrintResult PrintDocument(TCustomRDData& document, TPrinter& printer,
                             const TRDPrintSettings& settings);
// The file is replaced whole, or left as it was when printing failed.
TRDPrintResult PrintDocumentToPdf(TCustomRDData& document, const std::string& fileName,
                                  const TRDPrintSettings& settings);
