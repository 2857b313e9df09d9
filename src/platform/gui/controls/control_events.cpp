#include "platform/gui/controls/menu.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"

// Each hook runs through Dispatch; between two hooks the control is checked, because the
// first may have freed it.

void TControlEvents::MouseDown(TControl& Control, TMouseButton Button, TShiftState Shift,
                               TPoint Point, bool DoubleClick) {
  const std::weak_ptr<char> alive = Control.alive_;
  if (Button == mbLeft) {
    if (DoubleClick) {
      // The second press of a double click is no click of its own.
      Dispatch([&] { Control.DblClick(); });
      if (alive.expired()) return;
    } else {
      Control.clicked_ = true;
    }
  }
  if (DoubleClick) Shift |= ssDouble;
  Dispatch([&] { Control.MouseDown(Button, Shift, Point.X, Point.Y); });
}

void TControlEvents::MouseMove(TControl& Control, TShiftState Shift, TPoint Point) {
  Dispatch([&] { Control.MouseMove(Shift, Point.X, Point.Y); });
}

// A left button released over the control it went down on clicks it, before OnMouseUp.
// A right button released opens the context menu after OnMouseUp.
void TControlEvents::MouseUp(TControl& Control, TMouseButton Button, TShiftState Shift,
                             TPoint Point) {
  const std::weak_ptr<char> alive = Control.alive_;
  if (Button == mbLeft && Control.clicked_) {
    Control.clicked_ = false;
    if (Control.ClientRect().Contains(Point)) {
      Dispatch([&] { Control.Click(); });
      if (alive.expired()) return;
    }
  }
  Dispatch([&] { Control.MouseUp(Button, Shift, Point.X, Point.Y); });
  if (Button != mbRight || alive.expired()) return;
  for (TControl* c = &Control; c; c = c->Parent()) {
    if (TPopupMenu* menu = c->PopupMenu()) {
      const TPoint at = Control.ClientToScreen(Control.ContextMenuPoint(Point));
      Dispatch([&] { menu->Popup(at.X, at.Y); });
      return;
    }
  }
}

void TControlEvents::MouseEnter(TControl& Control) {
  Dispatch([&] { Control.MouseEnter(); });
}

void TControlEvents::MouseLeave(TControl& Control) {
  Dispatch([&] { Control.MouseLeave(); });
}

bool TControlEvents::KeyDown(TWinControl& Control, TKeyCode& Key, TShiftState Shift) {
  Dispatch([&] { Control.KeyDown(Key, Shift); });
  return Key != 0;
}

bool TControlEvents::DialogKey(TWinControl& Control, TKeyCode& Key, TShiftState Shift) {
  Dispatch([&] { Control.DialogKey(Key, Shift); });
  return Key != 0;
}

bool TControlEvents::KeyPress(TWinControl& Control, char& Key) {
  Dispatch([&] { Control.KeyPress(Key); });
  return Key != 0;
}

void TControlEvents::KeyUp(TWinControl& Control, TKeyCode Key, TShiftState Shift) {
  Dispatch([&] { Control.KeyUp(Key, Shift); });
}

void TControlEvents::UnicodeInput(TWinControl& Control, const std::u16string& Text) {
  Dispatch([&] { Control.UnicodeInput(Text); });
}

void TControlEvents::ComposingInput(TWinControl& Control, const std::u16string& Text, int Cursor) {
  Dispatch([&] { Control.ComposingInput(Text, Cursor); });
}

void TControlEvents::Enter(TWinControl& Control) {
  Dispatch([&] { Control.DoEnter(); });
}

void TControlEvents::Exit(TWinControl& Control) {
  Dispatch([&] { Control.DoExit(); });
}

void TControlEvents::Resize(TWinControl& Control) {
  Dispatch([&] {
    Control.Realign();
    Control.Resize();
  });
}

void TControlEvents::PaintFace(TWinControl& Control, QPainter& Painter) {
  auto* custom = dynamic_cast<TCustomControl*>(&Control);
  if (!custom) return;
  TCanvasPainting painting(custom->canvas_, Painter);
  Dispatch([&] { custom->Paint(); });
}

void TControlEvents::PaintChild(TGraphicControl& Control, QPainter& Painter, const QRegion& Area) {
  const QRect bounds = ToQRect(Control.BoundsRect());
  TGraphicControl::TFacePart parts[TGraphicControl::kMaxFaceParts];
  const int count = Control.FaceParts(parts);
  for (int i = 0; i < count; ++i) {
    const QImage& picture = TBitmapAccess::DrawnImage(*parts[i].Picture);
    const QPoint at = bounds.topLeft() + QPoint(parts[i].At.X, parts[i].At.Y);
    const QRect shown = QRect(at, picture.size()) & bounds;
    DrawImageParts(Painter, shown, picture, shown.translated(-at), Area);
  }
  if (count > 0) return;
  Painter.save();
  Painter.translate(bounds.topLeft());
  Painter.setClipRect(QRect(QPoint(0, 0), bounds.size()), Qt::IntersectClip);
  {
    // One state saved per child: the map repaints hundreds of markers in a strip.
    TCanvasPainting painting(Control.Canvas(), Painter, false);
    Dispatch([&] { Control.Paint(); });
  }
  Painter.restore();
}
