#include "richtext/support/export_document.h"

#include "richtext/formats/html_writer.h"
#include "richtext/formats/rtf_writer.h"

std::string ExportDocument::RTF(TRDRTFOptions options) {
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.Options = options;
  params.PixelsPerInch = 96;
  SaveRTFToStream(*this, stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string ExportDocument::HTML(TRDSaveOptions options, const std::string& title) {
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Options = options;
  params.Title = title;
  params.Path = ImageFolder;
  SaveHTMLToStream(*this, stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string ExportDocument::HTMLEx(TRDSaveOptions options, const std::string& title) {
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Options = options;
  params.Title = title;
  params.Path = ImageFolder;
  SaveHTMLExToStream(*this, stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}
