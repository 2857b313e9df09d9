// Printed pages: a PDF file or a printer of the system, drawn page by page on one canvas
// whose pixels are the device's (the resolution asked for; a printer may give its own).
// The canvas covers the whole sheet, its (0, 0) at the paper's top-left corner: margins
// are the caller's.
//
// A PDF file is written when the document ends, replacing an old file of that name
// whole (temporary file, sync, rename); a failure names the file and keeps the old one.
//
// Example: TPrinter::ForPdfFile("a.pdf", {210, 297}, 300) gives pages of 2480 x 3508
// pixels (A4 at 300 pixels an inch).
#pragma once

#include <memory>
#include <string>

class TCanvas;

// The sheet in millimetres.
struct TPaperSize {
  double WidthMM = 210;
  double HeightMM = 297;
};

class TPrinter {
 public:
  // Pages for a PDF file at pixelsPerInch.
  static std::unique_ptr<TPrinter> ForPdfFile(const std::string& fileName, TPaperSize paper,
                                              int pixelsPerInch);
  // Pages for the system printer of that name ("" for the default one).
  static std::unique_ptr<TPrinter> ForSystemPrinter(const std::string& printerName,
                                                    TPaperSize paper);
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // Opens the first page; false, with Error() saying why, when the device cannot be used.
  bool BeginDoc(const std::string& title);
  // Ends the page drawn and opens the next one.
  void NewPage();
  // Ends the document: a PDF file is written now. False, with Error(), when it failed.
  bool EndDoc();

  // The page being drawn; valid between BeginDoc and EndDoc.
  TCanvas& Canvas();
  int PageWidth() const;
  int PageHeight() const;
  int PixelsPerInchX() const;
  int PixelsPerInchY() const;
  const std::string& Error() const;

  struct Impl;  // the Qt device and painter, known only inside the platform

 private:
  explicit TPrinter(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};
