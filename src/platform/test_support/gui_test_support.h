// Test support: synthetic input for controls, sent through the same Qt event path as
// real input (hit-testing, capture, Dispatch), so tests need no Qt of their own.
//
// X and Y are in the client coordinates of the control named; for a windowless control
// the event goes to its parent's surface at the matching point.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/gui/controls/controls.h"
#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/menu.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/wide_text.h"
#include "platform/gui/standard/message_box.h"

void SimulateMouseDown(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift = 0);
void SimulateMouseUp(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift = 0);
void SimulateMouseMove(TControl& Control, int X, int Y, TShiftState Shift = 0);
// The mouse moves to (X, Y) as the window system reports a real move and stays there:
// the application itself decides, after its usual delay, whether a hint shows.
void SimulateMouseRest(TControl& Control, int X, int Y);
// The mouse leaves a windowed control's surface.
void SimulateMouseLeave(TWinControl& Control);
// Left button down and up at one point.
void SimulateClick(TControl& Control, int X, int Y);
// Down, up, the double-click press, up: what the window system sends for a double click.
void SimulateDblClick(TControl& Control, int X, int Y);
// A key pressed on a windowed control; Text is the character it types, if any.
void SimulateKey(TWinControl& Control, TKeyCode Key, const std::string& Text = {},
                 TShiftState Shift = 0);
// A key that types a character beyond the program's code page (Text, UTF-16).
void SimulateUnicodeKey(TWinControl& Control, TKeyCode Key, const std::u16string& Text,
                        TShiftState Shift = 0);
// What an input method sends to the focused control: the text it commits and the text
// it goes on composing (empty when it ends), with the cursor at the composed text's end.
void SimulateInputMethod(TWinControl& Control, const std::u16string& Commit,
                         const std::u16string& Composing = {});
// A key let go on a windowed control.
void SimulateKeyUp(TWinControl& Control, TKeyCode Key, TShiftState Shift = 0);
// The mouse wheel turned by Delta (120 a notch, positive away from the user) at (X, Y).
void SimulateMouseWheel(TWinControl& Control, int Delta, int X, int Y, TShiftState Shift = 0);
// The window's own close button.
void SimulateCloseButton(TForm& Form);
// The desktop's language from here on, as a locale name ("ar_EG", "de_DE"); empty for
// the machine's own again.
void SimulateDesktopLanguage(const std::string& Name);

// Runs Call from the event loop (e.g. inside ShowModal or a message box) the next time
// it handles events.
void QueueCall(std::function<void()> Call);
// Calls queued so far never run. A test that queued an answer for a box that did not
// come must not have it answer the next test's box instead.
void ForgetQueuedCalls();
// From here on, a box (a message box or the program's own) that opens while no queued
// call is left to answer it does not open: Fail gets its text, and the box gives the
// answer it gives while the application ends. A test that would wait on it for ever
// fails at once instead.
void RefuseUnansweredBoxes(std::function<void(const std::string& Text)> Fail);
// Presses the button of the open message box that gives Id; Text and Caption receive
// what the box shows. Call from QueueCall.
void AnswerMessageBox(int Id, std::string* Text = nullptr, std::string* Caption = nullptr);

// An item of the open pop-up menu as it is shown; a separator shows as "-".
struct TShownMenuItem {
  std::string Caption;
  bool Enabled;
  bool Checked;
};
// The items the open pop-up menu shows, in order; empty when no menu is open. Call from
// QueueCall.
std::vector<TShownMenuItem> ShownMenuItems();
// The screen point of the open pop-up menu's top-left corner.
TPoint ShownMenuPosition();
// Chooses the item with that caption in the open pop-up menu, as the Enter key on it
// would. False, and the menu stays open, when there is no such item or it is disabled.
bool ChooseMenuItem(const std::string& Caption);
// Closes the open pop-up menu without choosing (the Escape key).
void CloseMenu();
// Moves the highlight of the open pop-up menu onto the item with that caption, as the
// mouse resting on it would. False when there is no such item.
bool HighlightMenuItem(const std::string& Caption);
// The open pop-up menu as it looks on screen, window frame included; Bitmap takes its
// size. False when no menu is open.
bool ShownMenuPicture(TBitmap& Bitmap);

// A key pressed on the open pop-up menu (the innermost sub-menu when one is open).
void SimulateMenuKey(TKeyCode Key, const std::string& Text = {});
// The pointer moved onto, or clicked (pressed and let go) on, the middle of a shown item
// of an owner-drawn menu; the events go to the innermost open menu window, as the
// window system sends them. A null item means a point outside every menu window.
void SimulateMenuMouseMove(const TMenuItem* Item);
void SimulateMenuClick(const TMenuItem* Item);

// One place a scripted drag passes: the control under the pointer, the point on it
// (client coordinates) and the keys held.
struct TDragStep {
  TWinControl* Control;
  int X;
  int Y;
  TShiftState Shift = 0;
};
// While it lives, a drag started with DoDragDrop does not run the window system's loop
// (which needs a display and a user): the pointer passes the steps in order, and the
// drag ends with a drop at the last step (Drop) or with Escape there. Each step sends
// the enter, move, leave and drop events a real drag sends, through the same Qt path.
class TScriptedDrags {
 public:
  explicit TScriptedDrags(std::vector<TDragStep> Steps, bool Drop = true);
  ~TScriptedDrags();
  TScriptedDrags(const TScriptedDrags&) = delete;
  TScriptedDrags& operator=(const TScriptedDrags&) = delete;

  // Drags run so far.
  int Count() const { return count_; }
  // The picture under the pointer in the last drag, its size (0 x 0 when none), a pixel
  // (clNone where it is see-through) and the pointer's place in it.
  int ImageWidth() const;
  int ImageHeight() const;
  TColor ImagePixel(int X, int Y) const;
  TPoint HotSpot() const { return hot_spot_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int count_ = 0;
  TPoint hot_spot_;
};

// Whether the control shows a cursor of the program's own picture (SetCustomCursor).
bool ShowsPictureCursor(TWinControl& Control);

// True when the window system is asked to keep the form above ordinary windows.
bool StaysOnTop(TForm& Form);
// The title the window system shows for the form's window: a frame's, or for a child of
// a frame, its frame's.
std::string ShownTitle(TForm& Form);

// What the system clipboard holds under a MIME type, as another program would read it
// (empty when it holds nothing of that type); and all the types it holds.
std::string ClipboardMimeData(const std::string& MimeType);
std::vector<std::string> ClipboardMimeTypes();

// The colour a windowed control shows at one pixel, rendered afresh.
TColor RenderedPixel(TWinControl& Control, int X, int Y);

// Whether a font family of that name is installed, not another that stands in for it.
bool FontFamilyInstalled(const std::string& Family);

// A line of text as Qt lays it out and draws it by itself (QTextLayout, the whole line at
// once) in Font, without kerning as the program draws text, on a line of the direction
// given: which pixels of a Width x Height picture (row by row) it inks with the line's
// left edge at X and the top of its character cell at Y, the x of the caret at every
// position 0 .. size of Text from the left edge (QTextLine::cursorToX), and the other x a
// caret of that position has where it stands between runs of the two directions (at the
// trailing edge of the character before it; Carets' own where there is no other), whether
// a caret may stand at each position (not inside a letter with its marks), for every
// position that starts a character the x of that character's far edge
// (QTextLine::Trailing), and for every UTF-16 unit the x range its glyphs' ink covers from
// the left edge (empty for a blank). With JustifyWidth the line is justified to that
// width, as a line that does not end its paragraph.
struct TReferenceLine {
  std::vector<bool> Ink;
  std::vector<int> Carets;
  std::vector<int> OtherCarets;
  std::vector<bool> Stops;
  std::vector<int> FarEdges;
  std::vector<std::pair<int, int>> Glyphs;
};
TReferenceLine ReferenceTextLine(const TFont& Font, std::u16string_view Text,
                                 TTextDirection Direction, int Width, int Height, int X, int Y,
                                 int JustifyWidth = 0);
