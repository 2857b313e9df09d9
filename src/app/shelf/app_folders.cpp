#include "app/shelf/app_folders.h"

#include "platform/sys/application.h"
#include "platform/sys/files.h"

namespace {
std::string prg_dir_override;
}

std::string SpkDir;

std::string PrgDir() {
  if (!prg_dir_override.empty()) return prg_dir_override;
  return Application ? Application->ExeFolder() : std::string();
}

void SetPrgDir(const std::string& Folder) {
  prg_dir_override = Folder.empty() ? Folder : IncludeTrailingPathDelimiter(Folder);
}
