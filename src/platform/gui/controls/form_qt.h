// Platform-internal: the Qt state of a form, shared by the form's modules.
#pragma once

#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "platform/gui/controls/forms.h"

struct TForm::Impl {
  TFormBorderStyle border_style = bsSizeable;
  TFormStyle form_style = fsNormal;
  TPosition position = poDesigned;
  TWindowState window_state = wsNormal;
  bool alpha_blend = false;
  int alpha_blend_value = 255;
  bool key_preview = false;
  bool positioned = false;  // Position was applied at the first showing
  TModalResult modal_result = mrNone;
  QEventLoop* modal_loop = nullptr;    // while ShowModal runs
  QPointer<QMdiArea> mdi_area;         // of a frame
  QPointer<QMdiSubWindow> sub_window;  // of a child
  std::vector<TForm*> mdi_children;    // of a frame
  TForm* mdi_frame = nullptr;          // of a child
};

// Routes the window events of a form (closing, activation) to it.
class TFormEvents : public QObject {
 public:
  TFormEvents(TForm& form, QObject& watched);
  bool eventFilter(QObject* watched, QEvent* event) override;
  static void Activate(TForm& form);

 private:
  TForm& form_;
};
