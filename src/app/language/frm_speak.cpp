#include "app/language/frm_speak.h"

#include "app/language/speak_file.h"
#include "app/shelf/app_folders.h"
#include "core/csv_ctrl.h"
#include "platform/gui/controls/new_control.h"
#include "platform/gui/standard/label.h"
#include "platform/sys/date_time.h"

TfrmSpeak* frmSpeak = nullptr;

namespace {

// Written into the header of exported lists.
constexpr const char* kExportAuthor = "Velmora";
constexpr const char* kExportAuthorCall = "NOCALL";
constexpr const char* kExportRevision = "1";
// Tags that take a component out of the export.
constexpr int kTagExcluded = -1;

std::string Record(std::initializer_list<std::string> Fields) {
  std::string rec;
  for (const std::string& field : Fields) CsvAddField(field, rec);
  return rec;
}

}  // namespace

TfrmSpeak::TfrmSpeak(TComponent* AOwner)
    : TForm(AOwner), SpeakLines(std::make_unique<TStringList>()) {
  Name = "frmSpeak";
  SetCaption("Speak");
  SetBorderStyle(bsDialog);
  SetClientSize(420, 110);
  SpeakLines->SetSorted(true);
  SpeakLines->SetDuplicates(dupAccept);

  btnExportAllComp = NewControl<TButton>(this, this, "btnExportAllComp", 8, 8, 404, 25);
  btnExportAllComp->SetCaption("Komponentennamen in File exportieren...");
  btnExportAllComp->OnClick = [this](TComponent* Sender) { btnExportAllCompClick(Sender); };

  cbxShowDeactiveForm = NewControl<TCheckBox>(this, this, "cbxShowDeactiveForm", 8, 44, 404, 17);
  cbxShowDeactiveForm->SetCaption("ausgeschlossene Formulare mit exportieren...");

  cbxShowDeactiveComponent =
      NewControl<TCheckBox>(this, this, "cbxShowDeactiveComponent", 8, 70, 404, 17);
  cbxShowDeactiveComponent->SetCaption("ausgeschlossene Komponenten mit exportieren...");

  frmSpeak = this;
  DoCreate();
}

TfrmSpeak::~TfrmSpeak() {
  if (frmSpeak == this) frmSpeak = nullptr;
}

std::string TfrmSpeak::ExportFileName() {
  return PrgDir() + "SpeakExport.txt";
}

std::string TfrmSpeak::ExportText() const {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  for (int f = 0; f < Screen->FormCount(); ++f) {
    const TForm& form = *Screen->Forms(f);
    if (form.Tag == kTagExcluded) {
      if (cbxShowDeactiveForm->Checked()) list.Add(Record({form.Name, "nil"}));
      continue;
    }
    for (int c = 0; c < form.ComponentCount(); ++c) {
      const TComponent& component = *form.Components(c);
      if (component.Tag == kTagExcluded) {
        if (cbxShowDeactiveComponent->Checked())
          list.Add(Record({form.Name, component.Name, "nil"}));
      } else if (component.Tag > 0) {
        if (cbxShowDeactiveComponent->Checked())
          list.Add(Record({form.Name, component.Name, "TAG-USED-IN-PROGRAMM"}));
      } else if (component.Tag == 0) {
        if (const auto* label = dynamic_cast<const TCustomLabel*>(&component)) {
          list.Add(
              Record({form.Name, component.Name, component.ClassName(),
                      LineBreakToSpeakCr(label->Caption()), LineBreakToSpeakCr(label->Hint())}));
        } else {
          list.Add(Record({form.Name, component.Name, component.ClassName(), "", "", "0"}));
        }
      }
    }
  }
  list.Add(Record({kSpeakHeaderMarker, FormatDateTime("ddmmyyyy", Now()), kExportAuthor,
                   kExportAuthorCall, kLanguageVersion, kExportRevision}));
  return list.Text();
}

void TfrmSpeak::btnExportAllCompClick(TComponent*) {
  TStringList list;
  list.SetText(ExportText());
  list.SaveToFile(ExportFileName());
}
