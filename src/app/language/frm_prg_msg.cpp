#include "app/language/frm_prg_msg.h"

#include "app/language/speak_file.h"
#include "platform/gui/new_control.h"

TfrmPrgMsg* frmPrgMsg = nullptr;

namespace {

// The pages only group the labels for the translator.
const char* const kPageNames[] = {"atabErrors",    "atabInfos",    "atabDialogs", "atabWords",
                                  "atabQuestions", "atabCaptions", "atabHints"};
const char* const kPageCaptions[] = {"Fehlermeldungen", "Hinweise / Info", "Dialoge", "W\xF6rter",
                                     "Fragen",          "Captions",        "Hints"};
enum TMsgPage { kPageErrors, kPageInfos, kPageDialogs, kPageWords, kPageQuestions };

}  // namespace

TfrmPrgMsg::TfrmPrgMsg(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmPrgMsg";
  SetCaption("Programmtexte");
  SetClientSize(500, 300);
  pctrlMsgTyp = NewControl<TExPageControl>(this, this, "pctrlMsgTyp", 0, 0, 0, 0);
  pctrlMsgTyp->SetAlign(alClient);
  TExTabSheet* pages[std::size(kPageNames)];
  for (std::size_t n = 0; n < std::size(kPageNames); ++n) {
    pages[n] = new TExTabSheet(this);
    pages[n]->Name = kPageNames[n];
    pages[n]->SetCaption(kPageCaptions[n]);
    pages[n]->SetPageControl(pctrlMsgTyp);
  }
  auto label = [this, &pages](TMsgPage Page, const char* Name, const char* Caption) {
    auto* control = NewControl<TLabel>(this, pages[Page], Name, 8, 8, 480, 15);
    control->SetCaption(Caption);
    return control;
  };
  lblWordVersion = label(kPageWords, "lblWordVersion", "Version");
  lblInfLastChange = label(kPageWords, "lblInfLastChange", "letzte \xC4nderung am");
  lblInfLastChange->SetTop(28);
  lblInfOwnCall = label(kPageInfos, "lblInfOwnCall",
                        "F\xFCr die Funktion von Velmora,%cr%bitte das eigene Rufzeichen in den "
                        "Einstellungen eingeben!");
  lblQueAdd = label(kPageQuestions, "lblQueAdd", "Sollen die Daten angehangen werden?");
  lblWordStations = label(kPageWords, "lblWordStations", "Stationen");
  lblWordStations->SetTop(48);
  frmPrgMsg = this;
  DoCreate();
}

TfrmPrgMsg::~TfrmPrgMsg() {
  if (frmPrgMsg == this) frmPrgMsg = nullptr;
}

std::string GetPrgMsg(const TLabel& Label) {
  return SpeakCrToLineBreak(Label.Caption());
}
