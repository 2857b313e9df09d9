// The settings window's symbol page: choosing the own symbol of port 1 or 2 by its code
// character, with the names of the symbol in both tables.
#include "app/map/aprs_symbols.h"
#include "app/settings/frm_setup.h"
#include "app/settings/symbol_names.h"
#include "app/shelf/typed_chars.h"
#include "core/csv_ctrl.h"
#include "platform/gui/controls/new_control.h"

namespace {

constexpr char kBackspace = 8;
// The track bar and the number show the code less 32: 1 for "!" to 94 for "~".
constexpr int kSymbolNumberOffset = 32;
constexpr int kLastSymbolNumber = 94;

constexpr char kWeatherSymbolCode = '_';

bool IsSymbolCode(char C) {
  return C >= '!' && C <= '~';
}

void ShowSymbol(TImage& Image, char Table, char Code) {
  SymbolPicture(Table, Code, Image.Picture().Bitmap());
  Image.SetTransparent(true);
  Image.Invalidate();
}

}  // namespace

void TfrmSetup::BuildSymbolPage() {
  TWinControl* page = atabSym;
  auto* label = NewControl<TLabel>(this, page, "lblSymTab", 8, 11, 80, 15);
  label->SetCaption("Tabelle / Code");
  edtSymTab = NewControl<TEdit>(this, page, "edtSymTab", 100, 8, 24, 21);
  edtSymTab->SetMaxLength(1);
  edtSymCode = NewControl<TEdit>(this, page, "edtSymCode", 128, 8, 24, 21);
  edtSymCode->SetMaxLength(1);
  // A symbol is two ASCII characters of a beacon.
  edtSymTab->SetAllowedChars(AsciiRange('0', '9') + AsciiRange('A', 'Z') + AsciiRange('a', 'z') +
                             kAlternateTable);
  edtSymCode->SetAllowedChars(AsciiRange('!', '~'));
  nedtSymNr = NewControl<TNumberEdit>(this, page, "nedtSymNr", 160, 8, 40, 21);
  nedtSymNr->SetIntMin(1);
  nedtSymNr->SetIntMax(kLastSymbolNumber);
  tbarSymCode = NewControl<TTrackBar>(this, page, "tbarSymCode", 8, 36, 500, 30);
  tbarSymCode->SetRange(1, kLastSymbolNumber);
  imgSym = NewControl<TImage>(this, page, "imgSym", 8, 80, 20, 20);
  lblSymDes = NewControl<TLabel>(this, page, "lblSymDes", 36, 83, 300, 15);
  mbtnSymSelect = NewControl<TMyButton>(this, page, "mbtnSymSelect", 340, 80, 75, 22);
  mbtnSymSelect->SetCaption("w\xE4hlen");
  imgSymA = NewControl<TImage>(this, page, "imgSymA", 8, 110, 20, 20);
  lblSymADes = NewControl<TLabel>(this, page, "lblSymADes", 36, 113, 300, 15);
  mbtnSymASelect = NewControl<TMyButton>(this, page, "mbtnSymASelect", 340, 110, 75, 22);
  mbtnSymASelect->SetCaption("w\xE4hlen");
  mbtnSymSelectAbort = NewControl<TMyButton>(this, page, "mbtnSymSelectAbort", 340, 150, 75, 22);
  mbtnSymSelectAbort->SetCaption("Abbrechen");
  memSymName = NewControl<TMemo>(this, page, "memSymName", 0, 0, 10, 10);
  memSymName->SetVisible(false);
  memSymName->Lines().BeginUpdate();
  for (const char* line : kSymbolNames) memSymName->Lines().Add(line);
  memSymName->Lines().EndUpdate();

  for (TEdit* edit : {edtSymTab, edtSymCode})
    edit->OnChange = [this](TComponent* Sender) { edtSymCodeChange(Sender); };
  edtSymCode->OnKeyPress = [this](TComponent* Sender, char& Key) {
    edtSymCodeKeyPress(Sender, Key);
  };
  edtSymTab->OnKeyPress = [this](TComponent* Sender, char& Key) { edtSymTabKeyPress(Sender, Key); };
  tbarSymCode->OnChange = [this](TComponent* Sender) { tbarSymCodeChange(Sender); };
  nedtSymNr->OnChange = [this](TComponent* Sender) { nedtSymNrChange(Sender); };
  for (TMyButton* button : {mbtnSymSelect, mbtnSymASelect, mbtnSymSelectAbort})
    button->OnClick = [this](TComponent* Sender) { mbtnSymSelectClick(Sender); };
  for (TImage* image : {imgSymP1, imgSymP2, imgSymWxP1, imgSymWxP2})
    image->OnClick = [this](TComponent* Sender) { SymbolClick(Sender); };
}

void TfrmSetup::SymbolClick(TComponent* Sender) {
  SymSelectTarget = Sender == imgSymP1 ? 1 : Sender == imgSymP2 ? 2 : 0;
  if (SymSelectTarget == 0) return;
  const char table = SymSelectTarget == 1 ? SymTabP1 : SymTabP2;
  const char code = SymSelectTarget == 1 ? SymCodeP1 : SymCodeP2;
  edtSymTab->SetText(std::string(1, table == kPrimaryTable ? kAlternateTable : table));
  edtSymCode->SetText(std::string(1, code));
  apctrlSetup->SetActivePage(atabSym);
}

void TfrmSetup::edtSymCodeChange(TComponent*) {
  const std::string table = edtSymTab->Text();
  const std::string code = edtSymCode->Text();
  if (table.size() != 1 || code.size() != 1 || !IsSymbolCode(code[0])) return;
  const int number = static_cast<unsigned char>(code[0]) - kSymbolNumberOffset;
  if (tbarSymCode->Position() != number) tbarSymCode->SetPosition(number);
  if (nedtSymNr->IntIst() != number) nedtSymNr->SetIntIst(number);
  const std::string names = memSymName->Lines().Get(number - 1);
  std::string primary, alternate;
  CsvGetField(0, names, primary);
  CsvGetField(1, names, alternate);
  lblSymDes->SetCaption(primary);
  lblSymADes->SetCaption(alternate);
  ShowSymbol(*imgSym, kPrimaryTable, code[0]);
  ShowSymbol(*imgSymA, table[0] == kPrimaryTable ? kAlternateTable : table[0], code[0]);
  mbtnSymSelect->SetVisible(!primary.empty());
  imgSym->SetVisible(!primary.empty());
  mbtnSymASelect->SetVisible(!alternate.empty());
  imgSymA->SetVisible(!alternate.empty());
}

void TfrmSetup::tbarSymCodeChange(TComponent*) {
  const char code = static_cast<char>(tbarSymCode->Position() + kSymbolNumberOffset);
  if (edtSymCode->Text() != std::string(1, code)) edtSymCode->SetText(std::string(1, code));
}

void TfrmSetup::nedtSymNrChange(TComponent*) {
  const int number = nedtSymNr->IntIst();
  if (number < 1 || number > kLastSymbolNumber) return;
  const char code = static_cast<char>(number + kSymbolNumberOffset);
  if (edtSymCode->Text() != std::string(1, code)) edtSymCode->SetText(std::string(1, code));
}

void TfrmSetup::edtSymCodeKeyPress(TComponent*, char& Key) {
  if (Key != kBackspace && !IsSymbolCode(Key)) Key = 0;
  edtSymCode->SelectAll();
}

void TfrmSetup::edtSymTabKeyPress(TComponent*, char& Key) {
  const auto c = static_cast<unsigned char>(Key);
  if (Key != kBackspace && !std::isalnum(c) && Key != kAlternateTable) Key = kAlternateTable;
  edtSymTab->SelectAll();
}

void TfrmSetup::mbtnSymSelectClick(TComponent* Sender) {
  const std::string code = edtSymCode->Text();
  const std::string table = edtSymTab->Text();
  if (Sender != mbtnSymSelectAbort && code.size() == 1 && SymSelectTarget != 0) {
    const char chosenTable =
        Sender == mbtnSymSelect ? kPrimaryTable : (table.empty() ? kAlternateTable : table[0]);
    (SymSelectTarget == 1 ? SymTabP1 : SymTabP2) = chosenTable;
    (SymSelectTarget == 1 ? SymCodeP1 : SymCodeP2) = code[0];
  }
  apctrlSetup->SetActivePage(atabStn);
  ShowSymbolImages();
}

void TfrmSetup::ShowSymbolImages() {
  ShowSymbol(*imgSymP1, SymTabP1, SymCodeP1);
  ShowSymbol(*imgSymP2, SymTabP2, SymCodeP2);
  ShowSymbol(*imgSymWxP1, kPrimaryTable, kWeatherSymbolCode);
  ShowSymbol(*imgSymWxP2, kPrimaryTable, kWeatherSymbolCode);
}
