// Forms: the program's windows, and Screen.
//
// A form is a top-level window, or with FormStyle fsMDIForm the frame that holds MDI
// child windows in its client area (what its aligned controls leave), or with fsMDIChild
// one of those children, placed in the first MDI frame that exists. New forms are hidden.
// A window's Left and Top are where its client area lies on the screen (the window
// system adds the frame round it); an MDI child's are relative to its frame's MDI area.
//
// Closing (Close, or the window's close button) asks OnCloseQuery, then calls OnClose
// with the default action (caHide, for an MDI child caMinimize) and carries the action
// out. Closing a window never ends the program by itself: the program block ends the
// event loop when its main window closes.
//
// ShowModal shows the form and runs a local event loop until ModalResult is set (a
// button, or Close, which sets mrCancel); then OnCloseQuery and OnClose may still veto
// (a refusal clears ModalResult and the loop goes on), the form is hidden and the
// result returned. While the application is ending (application.h) it answers mrCancel
// without showing the form, and a form shown modally when the end comes is closed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/controls.h"

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

// Where a form appears when it is first shown. The centred positions use the integer
// half of the difference in size.
enum TPosition {
  poDesigned,
  poDefault,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};

enum TWindowState { wsNormal, wsMinimized, wsMaximized };

enum TCloseAction { caNone, caHide, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;

using TCloseEvent = std::function<void(TComponent* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TComponent* Sender, bool& CanClose)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* AOwner);
  ~TForm() override;

  TFormBorderStyle BorderStyle() const;
  void SetBorderStyle(TFormBorderStyle Value);
  // A form becomes an MDI frame or child once; it cannot change back.
  TFormStyle FormStyle() const;
  void SetFormStyle(TFormStyle Value);
  TPosition Position() const;
  void SetPosition(TPosition Value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState Value);
  // With AlphaBlend the window is drawn with an opacity of AlphaBlendValue / 255.
  bool AlphaBlend() const;
  void SetAlphaBlend(bool Value);
  int AlphaBlendValue() const;
  void SetAlphaBlendValue(int Value);
  // Cuts the window to the union of Rects (client coordinates), for windows shaped like
  // their picture; an empty list gives the whole window back.
  void SetWindowRegion(const std::vector<TRect>& Rects);
  // With KeyPreview the form's OnKeyDown and OnKeyPress see the keys of its controls
  // first; setting Key to 0 there keeps it from the control.
  bool KeyPreview() const;
  void SetKeyPreview(bool Value);

  // Shows the form and brings it to the front.
  void Show();
  void Close();
  // Asks the MDI children (of a frame), then OnCloseQuery, whether the form may close.
  bool CloseQuery();
  // Raises EInvalidOperation for a form that is visible, modal already or an MDI child.
  TModalResult ShowModal();
  TModalResult ModalResult() const;
  void SetModalResult(TModalResult Value);
  void BringToFront() override;

  // The MDI children of a frame, in the order they were made.
  int MDIChildCount() const;
  TForm* MDIChildren(int Index) const;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  // Runs while the form's controls still exist; members that a derived form declares
  // itself are gone by then, so such a form frees those in its own destructor.
  TNotifyEvent OnDestroy;
  TNotifyEvent OnActivate;

  std::string ClassName() const override { return "TForm"; }

 protected:
  // A form class calls this at the end of its constructor, once its controls exist.
  void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();

  void VisibleChanged() override;
  void BoundsChanged(const TRect& OldBounds) override;
  void CaptionChanged() override;
  void AlignControls(TRect& Area) override;
  bool PreviewsKeys() const override;

 private:
  friend class TFormEvents;
  struct Impl;

  void ApplyWindowFlags();
  void ApplyPosition();
  void ApplySizeLimits();
  void ShowHost();
  void MakeMDIFrame();
  void MakeMDIChild();
  void LeaveMDIFrame();
  void ShowTitle();
  void CloseModal();
  TForm* MDIFrame() const;

  std::unique_ptr<Impl> impl_;
};

// The form a control sits on, found by walking up its parents; null if there is none.
TForm* GetParentForm(TControl& Control);

class TScreen {
 public:
  // Size of the primary screen in pixels.
  int Width() const;
  int Height() const;
  // Size of the part of it that windows may use (without the desktop's panels).
  int WorkAreaWidth() const;
  int WorkAreaHeight() const;
  int PixelsPerInch() const;
  // Where the mouse pointer is, in screen coordinates.
  TPoint CursorPos() const;
  // The desktop's longest time between the two presses of a double click, milliseconds.
  int DoubleClickTime() const;
  // The font menus are drawn in: the program's own, fixed like its colours, so that
  // menus look alike whatever the desktop sets.
  const TFont& MenuFont() const;
  // Every form that exists, in the order they were made.
  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int Index) const;
  // The form whose window is active, or null.
  TForm* ActiveForm() const;

 private:
  friend class TForm;
  std::vector<TForm*> forms_;
};

extern TScreen* Screen;
