// The platform's plain message box, for the few messages that do not use the program's
// own skinned box.
#pragma once

#include <functional>
#include <string>

// Buttons (one of these) ...
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_OKCANCEL = 0x01;
constexpr unsigned MB_YESNOCANCEL = 0x03;
constexpr unsigned MB_YESNO = 0x04;
// ... combined with | with at most one icon.
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// The button that closed the box.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows Text in a modal box titled Caption and returns the button pressed. Esc answers
// Cancel, or No in a Yes/No box, or OK in an OK box. Unknown button values give an OK
// box; unknown icon values none. While the application is ending the box is not shown:
// caption and text go to the log, and the answer is Cancel.
int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);

// Text in a box with an OK button, titled with the application's title.
void ShowMessage(const std::string& Text);

// The message box with the caption "Error" (in the language in use) and the error icon;
// the button pressed.
extern const char* const kErrorBoxCaption;
int ShowErrorBox(const std::string& Text);

// Where nobody is there to answer boxes (an unattended run), a check that every box, the
// program's skinned ones too, passes before it opens: false means no answer will come,
// and the box then does not open but gives the answer it gives while the application
// ends. None by default.
using TBoxAnswerCheck = std::function<bool(const std::string& Text)>;
void SetBoxAnswerCheck(TBoxAnswerCheck Check);
// False when the check says the box showing Text would never be answered.
bool BoxWillBeAnswered(const std::string& Text);
