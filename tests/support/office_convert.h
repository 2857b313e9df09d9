// LibreOffice as a test peer: converts a file headless into another format and hands
// back what it wrote. Every test process uses a profile of its own below its scratch
// folder, so parallel runs of the suite never share one (a shared profile makes
// LibreOffice wait for the other instance or fail).
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sys/child_process.h"
#include "support/scratch_files.h"

struct TOfficeConversion {
  std::string Content;  // the converted file, empty when none was written
  std::string Log;      // what LibreOffice said
};

// format is LibreOffice's target ("txt:Text", "html", "html:HTML (StarWriter)", "fodt");
// extension the one the converted file gets. inputFilter names how the file is read when
// not by its extension ("HTML (StarWriter)" opens a page as a text document, which can
// then be written as RTF).
inline TOfficeConversion OfficeConvert(const std::string& file, const std::string& format,
                                       const std::string& extension,
                                       const std::string& inputFilter = "") {
  const std::filesystem::path input(file);
  const std::string outFolder = ScratchFolder() + "/office_out";
  const auto quoted = [](const std::string& s) { return "'" + s + "'"; };
  TOfficeConversion result;
  result.Log = RunAndCapture(
      "soffice --headless -env:UserInstallation=file://" + ScratchFolder() + "/office_profile " +
      (inputFilter.empty() ? "" : "--infilter=" + quoted(inputFilter) + " ") + "--convert-to " +
      quoted(format) + " --outdir " + quoted(outFolder) + " " + quoted(file) + " 2>&1");
  std::ifstream converted(outFolder + "/" + input.stem().string() + "." + extension,
                          std::ios::binary);
  std::stringstream content;
  content << converted.rdbuf();
  result.Content = content.str();
  return result;
}
