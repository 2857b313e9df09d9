// LibreOffice as a test peer: converts a file headless into another format and hands
// back what it wrote. Every test process uses a profile of its own below its scratch
// folder, so parallel runs of the suite never share one (a shared profile makes
// LibreOffice wait for the other instance or fail).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/sys/child_process.h"
#include "support/scratch_files.h"

struct TOfficeConversion {
  std::string Content;  // the converted file, empty when none was written
  std::string Log;      // what LibreOffice said
};

// format is LibreOffice's target ("txt:Text", "html", "html:HTML (StarWriter)", "fodt");
// extension the one the converted files get. inputFilter names how the files are read when
// not by their extension ("HTML (StarWriter)" opens a page as a text document, which can
// then be written as RTF). Every file is converted by one start of LibreOffice (a start
// takes seconds); the contents come back in the order of files, empty where none was
// written, and log receives what LibreOffice said.
inline std::vector<std::string> OfficeConvertAll(const std::vector<std::string>& files,
                                                 const std::string& format,
                                                 const std::string& extension,
                                                 const std::string& inputFilter = "",
                                                 std::string* log = nullptr) {
  const std::string outFolder = ScratchFolder() + "/office_out";
  const auto quoted = [](const std::string& s) { return "'" + s + "'"; };
  // In one locale whatever the user's: LibreOffice takes its measures (inches or
  // centimetres) and the text export's character set from it.
  std::string command = "LC_ALL=C.UTF-8 soffice --headless -env:UserInstallation=file://" +
                        ScratchFolder() + "/office_profile " +
                        (inputFilter.empty() ? "" : "--infilter=" + quoted(inputFilter) + " ") +
                        "--convert-to " + quoted(format) + " --outdir " + quoted(outFolder);
  for (const std::string& file : files) {
    std::filesystem::remove(outFolder + "/" + std::filesystem::path(file).stem().string() + "." +
                            extension);
    command += " " + quoted(file);
  }
  const std::string said = RunAndCapture(command + " 2>&1");
  if (log) *log = said;
  std::vector<std::string> contents;
  for (const std::string& file : files) {
    std::ifstream converted(
        outFolder + "/" + std::filesystem::path(file).stem().string() + "." + extension,
        std::ios::binary);
    std::stringstream content;
    content << converted.rdbuf();
    contents.push_back(content.str());
  }
  return contents;
}

inline TOfficeConversion OfficeConvert(const std::string& file, const std::string& format,
                                       const std::string& extension,
                                       const std::string& inputFilter = "") {
  TOfficeConversion result;
  result.Content = OfficeConvertAll({file}, format, extension, inputFilter, &result.Log).front();
  return result;
}
