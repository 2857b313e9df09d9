// The language-file window: keeps the lines of the loaded language file, and, for the
// translator, exports the names and texts of every window's components to a plain list
// from which a language file is made.
#pragma once

#include <memory>
#include <string>

#include "platform/gui/controls/forms.h"
#include "platform/gui/standard/button.h"
#include "platform/gui/standard/check_box.h"
#include "platform/text/string_list.h"

class TfrmSpeak : public TForm {
 public:
  explicit TfrmSpeak(TComponent* AOwner);
  ~TfrmSpeak() override;

  TButton* btnExportAllComp;
  TCheckBox* cbxShowDeactiveForm;
  TCheckBox* cbxShowDeactiveComponent;

  // The component lines of the loaded language file, header removed, sorted.
  std::unique_ptr<TStringList> SpeakLines;
  // The name of the language file those lines came from, or "" before any.
  std::string SpeakFileName;

  // Writes the export list to ExportFileName().
  void btnExportAllCompClick(TComponent* Sender);
  // The export list as text lines (CR LF), the header record among them.
  std::string ExportText() const;
  static std::string ExportFileName();

  std::string ClassName() const override { return "TfrmSpeak"; }
};

extern TfrmSpeak* frmSpeak;
