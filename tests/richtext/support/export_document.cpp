#include "richtext/support/export_document.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "richtext/html_writer.h"
#include "richtext/rtf_writer.h"

std::string ExportDocument::RTF(TRDRTFOptions options) {
  TMemoryStream stream;
  TRDRTFSaveParams params;
  params.Options = options;
  params.PixelsPerInch = 96;
  SaveRTFToStream(stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string ExportDocument::HTML(TRDSaveOptions options, const std::string& title) {
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Options = options;
  params.Title = title;
  params.Path = ImageFolder;
  SaveHTMLToStream(stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string ExportDocument::HTMLEx(TRDSaveOptions options, const std::string& title) {
  TMemoryStream stream;
  TRDHTMLSaveParams params;
  params.Options = options;
  params.Title = title;
  params.Path = ImageFolder;
  SaveHTMLExToStream(stream, params);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::string WriteScratchFile(const std::string& name, const std::string& content) {
  // One folder per test program run, so that parallel runs do not meet.
  static const std::string folder = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "velmora_export_XXXXXX").string();
    return std::string(mkdtemp(pattern.data()) ? pattern : std::string());
  }();
  const std::filesystem::path path = std::filesystem::path(folder) / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
  return path.string();
}
