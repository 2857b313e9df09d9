#include "controls/my_msg_dialog.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/gui/controls/new_control.h"
#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/standard_icons.h"
#include "platform/gui/graphics/unicode_text.h"
#include "platform/gui/standard/message_box.h"
#include "platform/sys/application.h"
#include "platform/text/cp1252.h"

TfrmMyMsgDialog* frmMyMsgDialog = nullptr;

namespace {

constexpr int kFontHeight = -13;  // 13-pixel characters
constexpr int kButtonGap = 5;     // between the centre and each confirmation button
constexpr TColor kIconBackground = clFuchsia;

TMyButton* MakeButton(TfrmMyMsgDialog* form, TWinControl* parent, const char* name,
                      const char* caption, TModalResult result) {
  auto* button = NewControl<TMyButton>(form, parent, name, 0, 0, 75, 25);
  button->SetCaption(caption);
  button->SetModalResult(result);
  return button;
}

// The longest start of Word, at least one character, no wider than Width.
size_t FittingLength(const TCanvas& measure, std::u16string_view word, int width) {
  size_t length = 1;
  while (length < word.size() && TextWidthW(measure, word.substr(0, length + 1)) <= width) ++length;
  return length;
}

// Text with a line break inside every word wider than Width (a long file path), so that
// the label can wrap it; words that fit are left as they are.
std::u16string BreakLongWords(std::u16string_view text, const TFont& font, int width) {
  TCanvas measure;
  measure.Font().Assign(font);
  std::u16string result;
  size_t from = 0;
  while (from < text.size()) {
    const size_t end = std::min(text.find_first_of(u" \r\n", from), text.size());
    std::u16string_view word = text.substr(from, end - from);
    while (word.size() > 1 && TextWidthW(measure, word) > width) {
      const size_t length = FittingLength(measure, word, width);
      result += word.substr(0, length);
      result += u"\r\n";
      word.remove_prefix(length);
    }
    result += word;
    if (end < text.size()) result += text[end];
    from = end + 1;
  }
  return result;
}

TLabel* MakeHeadWord(TfrmMyMsgDialog* form, const char* name, const char* caption) {
  auto* label = NewControl<TLabel>(form, form, name);
  label->SetCaption(caption);
  label->SetVisible(false);
  return label;
}

}  // namespace

TfrmMyMsgDialog::TfrmMyMsgDialog(TComponent* AOwner) : TForm(AOwner) {
  Name = "frmMyMsgDialog";
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetKeyPreview(true);
  SetBounds(0, 0, 367, 252);

  mpnlHead = NewControl<TMyPanel>(this, this, "mpnlHead", alTop);
  mpnlHead->SetHeight(25);
  mpnlHead->SetGlowPaint(true);
  mpnlHead->SetColor(0x9D5B2E);
  mpnlHead->SetColor2(0x7A4420);
  mpnlHead->SetPaintBorder(TMyBorder{bpTop, bpLeft, bpRight});

  mlblHead = NewControl<TMyLabel>(this, mpnlHead, "mlblHead", 8, 5, 100, 15);
  mlblHead->SetTransparent(true);
  mlblHead->Font().SetHeight(kFontHeight);
  mlblHead->Font().SetStyle(fsBold);
  mlblHead->Font().SetColor(clWhite);
  mlblHead->SetMove(true);

  mpnlMain = NewControl<TMyPanel>(this, this, "mpnlMain", alClient);
  mpnlMain->SetRoundRect(false);
  mpnlMain->SetBevelOuter(bvNone);
  mpnlMain->SetColor(0xF0F0F0);
  mpnlMain->SetPaintBorder(TMyBorder{bpBottom, bpLeft, bpRight});

  imgPic = NewControl<TImage>(this, mpnlMain, "imgPic", 10, 10, 32, 32);
  imgPic->SetTransparent(true);

  imlPics = new TImageList(this, 32, 32);
  imlPics->Name = "imlPics";
  for (TStandardIcon icon : {siError, siWarning, siInformation, siQuestion}) {
    TBitmap picture;
    LoadStandardIcon(icon, 32, kIconBackground, picture);
    imlPics->Add(picture);
  }

  lblInfo = NewControl<TLabel>(this, mpnlMain, "lblInfo");
  lblInfo->SetLeft(50);
  lblInfo->SetTop(10);
  lblInfo->SetTransparent(true);
  lblInfo->Font().SetHeight(kFontHeight);

  lblHeadError = MakeHeadWord(this, "lblHeadError", "Fehler");
  lblHeadWarning = MakeHeadWord(this, "lblHeadWarning", "Warnung");
  lblHeadInfo = MakeHeadWord(this, "lblHeadInfo", "Information");
  lblHeadConfirm = MakeHeadWord(this, "lblHeadConfirm", "Best\xE4tigung");

  mpnlAdvance = NewControl<TMyPanel>(this, mpnlMain, "mpnlAdvance", 10, 50, 340, 100);
  mpnlAdvance->SetRoundRect(false);
  mpnlAdvance->SetBevelOuter(bvLowered);
  mpnlAdvance->SetVisible(false);
  memAdv = NewControl<TMemo>(this, mpnlAdvance, "memAdv", alClient);
  memAdv->SetReadOnly(true);

  mbtnOk = MakeButton(this, mpnlMain, "mbtnOk", "Ok", mrOk);
  mbtnYes = MakeButton(this, mpnlMain, "mbtnYes", "Ja", mrYes);
  mbtnNo = MakeButton(this, mpnlMain, "mbtnNo", "Nein", mrNo);

  OnKeyDown = [this](TComponent* Sender, TKeyCode& Key, TShiftState Shift) {
    FormKeyDown(Sender, Key, Shift);
  };
  OnShow = [this](TComponent*) {
    if (default_button_) default_button_->SetFocus();
  };
  DoCreate();
}

void TfrmMyMsgDialog::FormKeyDown(TComponent*, TKeyCode& Key, TShiftState) {
  if (Key == VK_ESCAPE) SetModalResult(kMsgEscapeResult);
}

void TfrmMyMsgDialog::SetKind(TMyMsgKind Kind) {
  TBitmap& picture = imgPic->Picture().Bitmap();
  picture.SetSize(0, 0);
  picture.SetSize(imlPics->Width(), imlPics->Height());
  picture.Canvas().Brush().SetColor(kIconBackground);
  picture.Canvas().FillRect(Rect(0, 0, picture.Width(), picture.Height()));
  imlPics->Draw(picture.Canvas(), 0, 0, Kind);
  picture.SetTransparentColor(kIconBackground);
  imgPic->Invalidate();
  mlblHead->SetCaption(HeadWord(Kind));
}

std::string TfrmMyMsgDialog::HeadWord(TMyMsgKind Kind) const {
  const TLabel* words[] = {lblHeadError, lblHeadWarning, lblHeadInfo, lblHeadConfirm};
  return words[Kind]->Caption();
}

void TfrmMyMsgDialog::SetButtons(TMyMsgKind Kind) {
  const bool confirm = Kind == mkConfirmation;
  mbtnOk->SetVisible(!confirm);
  mbtnYes->SetVisible(confirm);
  mbtnNo->SetVisible(confirm);
  default_button_ = confirm ? mbtnYes : mbtnOk;
}

// A text wider than the screen is wrapped to fit it: a long file name in a message must
// not make the box wider than the screen, which would hide its buttons.
void TfrmMyMsgDialog::SetText(const std::string& Text) {
  text_ = Text;
  const int margin = imgPic->Left();
  const int screen = Screen->WorkAreaWidth() > 0 ? Screen->WorkAreaWidth() : Screen->Width();
  const int width = std::max(screen - lblInfo->Left() - margin, 1);
  // A message may name a file as the file system names it (ShownFileName), in UTF-8.
  const std::u16string shown = ReceivedTextToUtf16(Text);
  lblInfo->SetWordWrap(false);
  lblInfo->SetCaptionW(shown);
  if (lblInfo->Width() <= width) return;
  lblInfo->SetCaptionW(BreakLongWords(shown, lblInfo->Font(), width));
  lblInfo->SetWidth(width);
  lblInfo->SetWordWrap(true);
}

void TfrmMyMsgDialog::LayOut() {
  const int margin = imgPic->Left();
  const int top = imgPic->Top();
  const int min_width = 2 * margin + mbtnYes->Width() + mbtnNo->Width() + 10;
  int width = lblInfo->Left() + margin + lblInfo->Width();
  if (mpnlAdvance->Visible() && mpnlAdvance->Width() > width) {
    width = mpnlAdvance->Width() + 2 * margin;
  }
  width = std::max(width, min_width);
  const int extra = mpnlAdvance->Visible() ? mpnlAdvance->Height() + top : 0;
  const int content = std::max(imgPic->Height(), lblInfo->Height());
  const int height = mpnlHead->Height() + 3 * top + content + extra + mbtnOk->Height();

  const int buttons_top = 2 * top + content + extra;
  mbtnOk->SetBounds(width / 2 - mbtnOk->Width() / 2, buttons_top, mbtnOk->Width(),
                    mbtnOk->Height());
  mbtnYes->SetBounds(width / 2 - kButtonGap - mbtnYes->Width(), buttons_top, mbtnYes->Width(),
                     mbtnYes->Height());
  mbtnNo->SetBounds(width / 2 + kButtonGap, buttons_top, mbtnNo->Width(), mbtnNo->Height());
  if (mpnlAdvance->Visible()) {
    mpnlAdvance->SetBounds(margin, 2 * top + content, mpnlAdvance->Width(), mpnlAdvance->Height());
  }
  SetBounds(Screen->Width() / 2 - width / 2, Screen->Height() / 2 - height / 2, width, height);
}

void TfrmMyMsgDialog::CopyTexts(const TfrmMyMsgDialog& Source) {
  lblHeadError->SetCaption(Source.lblHeadError->Caption());
  lblHeadWarning->SetCaption(Source.lblHeadWarning->Caption());
  lblHeadInfo->SetCaption(Source.lblHeadInfo->Caption());
  lblHeadConfirm->SetCaption(Source.lblHeadConfirm->Caption());
  mbtnOk->SetCaption(Source.mbtnOk->Caption());
  mbtnYes->SetCaption(Source.mbtnYes->Caption());
  mbtnNo->SetCaption(Source.mbtnNo->Caption());
}

namespace {

// The boxes of the calls in progress, oldest first.
std::vector<TfrmMyMsgDialog*>& OpenBoxes() {
  static std::vector<TfrmMyMsgDialog*> boxes;
  return boxes;
}

bool EarlierBoxesAnswered() {
  for (TfrmMyMsgDialog* box : OpenBoxes()) {
    if (box->Visible() && box->ModalResult() == mrNone) return false;
  }
  return true;
}

int ShowMessageBox(TMyMsgKind kind, const std::string& text) {
  // A call from inside an open box's event loop: the earlier caller is still waiting
  // for its answer further down the stack, so this one waits for the user to answer
  // it, then shows its own box without touching the earlier one. Once the program is
  // ending nobody answers either box: this one goes to the log at once.
  while (!EarlierBoxesAnswered() && !Application->Terminated() && !Application->Ending()) {
    Application->ProcessMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // The system ends the program: nobody may be there to answer.
  if (Application->Ending()) {
    LogMessage((frmMyMsgDialog ? frmMyMsgDialog->HeadWord(kind) + ": " : std::string()) + text);
    return kMsgEscapeResult;
  }
  if (!BoxWillBeAnswered(text)) return kMsgEscapeResult;
  if (!EarlierBoxesAnswered()) return mrCancel;  // no more questions once ending
  std::vector<TfrmMyMsgDialog*>& boxes = OpenBoxes();
  for (TfrmMyMsgDialog* box : boxes) box->Hide();

  std::unique_ptr<TfrmMyMsgDialog> own;
  TfrmMyMsgDialog* box = frmMyMsgDialog;
  if (!box || std::find(boxes.begin(), boxes.end(), box) != boxes.end()) {
    own = std::make_unique<TfrmMyMsgDialog>(nullptr);
    if (frmMyMsgDialog) own->CopyTexts(*frmMyMsgDialog);
    box = own.get();
  }
  boxes.push_back(box);
  struct TLeave {
    std::vector<TfrmMyMsgDialog*>& boxes;
    ~TLeave() { boxes.pop_back(); }
  } leave{boxes};

  box->SetKind(kind);
  box->SetButtons(kind);
  box->SetText(text);
  box->mpnlAdvance->SetVisible(false);
  box->LayOut();
  return box->ShowModal();
}

}  // namespace

void MyShowError(const std::string& Text) {
  ShowMessageBox(mkError, Text);
}

void MyShowInfo(const std::string& Text) {
  ShowMessageBox(mkInformation, Text);
}

int MyConfirm(const std::string& Text) {
  return ShowMessageBox(mkConfirmation, Text);
}
