// The program's one message box, in the flat style of its other windows: MyShowError,
// MyShowInfo and MyConfirm serve the whole program.
//
// The box is created once at start-up and reused; its header words are captions of
// hidden labels, so the language files translate them like any other caption. Each call
// sets the kind (icon and header word), the buttons and the text, sizes the box to the
// text, centres it on the screen and shows it modally. Esc closes any box with result 3.
// A text wider than the screen's work area is broken into lines that fit it, between
// words where it can and inside a long word (a file path) where it must.
//
// A call made while a box is open (from a timer, say) waits until every earlier box has
// been answered and then shows a box of its own, so each call gets its own answer.
// While the system ends the program (TApplication::Ending) no box opens: the header word
// and the text go to the log, and the answer is that of Esc.
#pragma once

#include <string>

#include "controls/my_button.h"
#include "controls/my_label.h"
#include "controls/my_panel.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/graphics/image_list.h"
#include "platform/gui/standard/image.h"
#include "platform/gui/standard/label.h"
#include "platform/gui/standard/memo.h"

// Kinds of message: the icon index in imlPics and the header word.
enum TMyMsgKind { mkError = 0, mkWarning = 1, mkInformation = 2, mkConfirmation = 3 };

// What Esc answers.
constexpr TModalResult kMsgEscapeResult = mrAbort;

class TfrmMyMsgDialog : public TForm {
 public:
  explicit TfrmMyMsgDialog(TComponent* AOwner);

  TMyPanel* mpnlHead;
  TMyLabel* mlblHead;
  TMyPanel* mpnlMain;
  TImage* imgPic;
  TImageList* imlPics;
  TLabel* lblInfo;
  TLabel* lblHeadError;
  TLabel* lblHeadWarning;
  TLabel* lblHeadInfo;
  TLabel* lblHeadConfirm;
  TMyPanel* mpnlAdvance;
  TMemo* memAdv;
  TMyButton* mbtnOk;
  TMyButton* mbtnYes;
  TMyButton* mbtnNo;

  void FormKeyDown(TComponent* Sender, TKeyCode& Key, TShiftState Shift);

  // The steps of one message, in the order a call runs them.
  void SetKind(TMyMsgKind Kind);
  // "Fehler", "Warnung"... as the language in use words it.
  std::string HeadWord(TMyMsgKind Kind) const;
  void SetButtons(TMyMsgKind Kind);
  void SetText(const std::string& Text);
  // The message as the caller gave it; lblInfo shows it with overlong words broken.
  const std::string& Text() const { return text_; }
  // Sizes the box to its content and centres it on the screen.
  void LayOut();
  // The control that has the focus when the box opens.
  TMyButton* DefaultButton() const { return default_button_; }

  // Takes the (translated) header words and button captions of Source.
  void CopyTexts(const TfrmMyMsgDialog& Source);

  std::string ClassName() const override { return "TfrmMyMsgDialog"; }

 private:
  TMyButton* default_button_ = nullptr;
  std::string text_;
};

// The box made at start-up; the calls make one of their own while it is null.
extern TfrmMyMsgDialog* frmMyMsgDialog;

void MyShowError(const std::string& Text);
void MyShowInfo(const std::string& Text);
// Returns 6 for "Ja", 7 for "Nein", 3 when closed with Esc (or not shown, as the
// program ends).
int MyConfirm(const std::string& Text);
