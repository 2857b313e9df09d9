// The input the RTF document fuzzer drives through everything a document does after an
// import, shared by the libFuzzer program (fuzz/rtf_document_fuzz.cpp) and the test that
// replays its saved corpus: imported into a document shown in a window, laid out,
// painted, printed to PDF, written as RTF and HTML, and the RTF written read back. It
// must run to the end on any bytes: no crash, no sanitizer report, no hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"
#include "richtext_edit/print/document_print.h"
#include "richtext_edit/rtf_import/shown_rtf.h"

// Folder (ending with '/') takes the PDF and the HTML's pictures.
inline void FuzzRTFDocument(const uint8_t* Data, size_t Size, const std::string& Folder) {
  TTestFormattedData document(320, 240);
  ShowRTF(Data, Size, document);
  TRDPrintSettings print;
  print.PixelsPerInch = 72;
  print.ToPage = 2;
  (void)PrintDocumentToPdf(document, Folder + "document.pdf", print);
  TMemoryStream html;
  TRDHTMLSaveParams htmlParams;
  htmlParams.Path = Folder;
  (void)SaveHTMLToStream(document, html, htmlParams);
  TMemoryStream rtf;
  (void)SaveRTFToStream(document, rtf, TRDRTFSaveParams{});
  rtf.SetPosition(0);
  TRDRTFReaderProperties options = StyleAddingRTFOptions();
  TTestFormattedData again(320, 240);
  int againIndex = 0;
  ReadRTF(options, rtf, again, againIndex);
}
