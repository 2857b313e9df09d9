#include "platform/test_support/gui_test_support.h"

#include <QtTest/qtestspontaneevent.h>
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMetaObject>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextLayout>
#include <QWheelEvent>

#include "platform/gui/controls/drag_drop_qt.h"
#include "platform/gui/controls/owner_drawn_menu_qt.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

// The widget that receives input for Control, and the point on it.
// A scrolled view (a list box's rows) gets the mouse on its viewport, as from the window
// system.
QWidget* SurfaceOf(TControl& control, int& x, int& y) {
  if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
    QWidget* widget = WidgetOf(*windowed);
    auto* area = qobject_cast<QAbstractScrollArea*>(widget);
    if (!area) return widget;
    const QPoint at = area->viewport()->mapFrom(widget, QPoint(x, y));
    if (!area->viewport()->rect().contains(at)) return widget;
    x = at.x();
    y = at.y();
    return area->viewport();
  }
  if (!control.Parent()) return nullptr;
  x += control.Left();
  y += control.Top();
  return WidgetOf(*control.Parent());
}

Qt::MouseButton QtButton(TMouseButton button) {
  switch (button) {
    case mbRight:
      return Qt::RightButton;
    case mbMiddle:
      return Qt::MiddleButton;
    case mbLeft:
      break;
  }
  return Qt::LeftButton;
}

Qt::KeyboardModifiers QtModifiers(TShiftState shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & ssShift) modifiers |= Qt::ShiftModifier;
  if (shift & ssAlt) modifiers |= Qt::AltModifier;
  if (shift & ssCtrl) modifiers |= Qt::ControlModifier;
  return modifiers;
}

void SendMouse(TControl& control, QEvent::Type type, Qt::MouseButton button,
               Qt::MouseButtons buttons, int x, int y, TShiftState shift) {
  QWidget* widget = SurfaceOf(control, x, y);
  if (!widget) return;
  const QPointF local(x, y);
  QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, QtModifiers(shift));
  QCoreApplication::sendEvent(widget, &event);
}

QMessageBox::StandardButton QtButtonOf(int id) {
  switch (id) {
    case IDOK:
      return QMessageBox::Ok;
    case IDYES:
      return QMessageBox::Yes;
    case IDNO:
      return QMessageBox::No;
    default:
      return QMessageBox::Cancel;
  }
}

}  // namespace

void SimulateMouseDown(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
  SendMouse(Control, QEvent::MouseButtonPress, QtButton(Button), QtButton(Button), X, Y, Shift);
}

void SimulateMouseUp(TControl& Control, TMouseButton Button, int X, int Y, TShiftState Shift) {
  SendMouse(Control, QEvent::MouseButtonRelease, QtButton(Button), Qt::NoButton, X, Y, Shift);
}

void SimulateMouseMove(TControl& Control, int X, int Y, TShiftState Shift) {
  Qt::MouseButtons buttons;
  if (Shift & ssLeft) buttons |= Qt::LeftButton;
  if (Shift & ssRight) buttons |= Qt::RightButton;
  SendMouse(Control, QEvent::MouseMove, Qt::NoButton, buttons, X, Y, Shift);
}

void SimulateMouseRest(TControl& Control, int X, int Y) {
  QWidget* widget = SurfaceOf(Control, X, Y);
  if (!widget) return;
  const QPointF local(X, Y);
  QMouseEvent event(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  // As the window system sends it: only such moves start the application's hint timer.
  // (sendEvent would take the mark off again.)
  QSpontaneKeyEvent::setSpontaneous(&event);
  qApp->notify(widget, &event);
}

void SimulateMouseLeave(TWinControl& Control) {
  QEvent event(QEvent::Leave);
  QCoreApplication::sendEvent(WidgetOf(Control), &event);
}

void SimulateClick(TControl& Control, int X, int Y) {
  SimulateMouseDown(Control, mbLeft, X, Y);
  SimulateMouseUp(Control, mbLeft, X, Y);
}

void SimulateDblClick(TControl& Control, int X, int Y) {
  SimulateClick(Control, X, Y);
  SendMouse(Control, QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::LeftButton, X, Y, 0);
  SimulateMouseUp(Control, mbLeft, X, Y);
}

void SimulateKey(TWinControl& Control, TKeyCode Key, const std::string& Text, TShiftState Shift) {
  QKeyEvent event(QEvent::KeyPress, QtKeyOf(Key), QtModifiers(Shift), ToQString(Text));
  QCoreApplication::sendEvent(WidgetOf(Control), &event);
}

namespace {

QString QStringOf(const std::u16string& text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

}  // namespace

void SimulateUnicodeKey(TWinControl& Control, TKeyCode Key, const std::u16string& Text,
                        TShiftState Shift) {
  QKeyEvent event(QEvent::KeyPress, QtKeyOf(Key), QtModifiers(Shift), QStringOf(Text));
  QCoreApplication::sendEvent(WidgetOf(Control), &event);
}

void SimulateInputMethod(TWinControl& Control, const std::u16string& Commit,
                         const std::u16string& Composing) {
  QList<QInputMethodEvent::Attribute> attributes;
  attributes.append(QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, int(Composing.size()),
                                                 1, QVariant()));
  QInputMethodEvent event(QStringOf(Composing), attributes);
  event.setCommitString(QStringOf(Commit));
  QCoreApplication::sendEvent(WidgetOf(Control), &event);
}

void SimulateKeyUp(TWinControl& Control, TKeyCode Key, TShiftState Shift) {
  QKeyEvent event(QEvent::KeyRelease, QtKeyOf(Key), QtModifiers(Shift));
  QCoreApplication::sendEvent(WidgetOf(Control), &event);
}

void SimulateMouseWheel(TWinControl& Control, int Delta, int X, int Y, TShiftState Shift) {
  QWidget* widget = WidgetOf(Control);
  const QPointF local(X, Y);
  QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, Delta), Qt::NoButton,
                    QtModifiers(Shift), Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(widget, &event);
}

void SimulateCloseButton(TForm& Form) {
  HostOf(Form)->close();
}

void SimulateDesktopLanguage(const std::string& Name) {
  QLocale::setDefault(Name.empty() ? QLocale::system() : QLocale(ToQString(Name)));
}

bool StaysOnTop(TForm& Form) {
  return HostOf(Form)->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

std::string ShownTitle(TForm& Form) {
  return FromQString(HostOf(Form)->window()->windowTitle());
}

namespace {

// Calls queued before the last ForgetQueuedCalls belong to a finished test.
unsigned queued_calls_generation = 0;
// Calls of this generation not run yet: only they can answer a box.
int queued_calls_waiting = 0;

}  // namespace

void QueueCall(std::function<void()> Call) {
  ++queued_calls_waiting;
  QMetaObject::invokeMethod(
      qApp,
      [call = std::move(Call), generation = queued_calls_generation] {
        if (generation != queued_calls_generation) return;
        --queued_calls_waiting;
        Dispatch(call);
      },
      Qt::QueuedConnection);
}

void ForgetQueuedCalls() {
  ++queued_calls_generation;
  queued_calls_waiting = 0;
}

void RefuseUnansweredBoxes(std::function<void(const std::string& Text)> Fail) {
  SetBoxAnswerCheck([fail = std::move(Fail)](const std::string& Text) {
    if (queued_calls_waiting > 0) return true;
    fail(Text);
    return false;
  });
}

void AnswerMessageBox(int Id, std::string* Text, std::string* Caption) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return;
  if (Text) *Text = FromQString(box->text());
  if (Caption) *Caption = FromQString(box->windowTitle());
  if (QAbstractButton* button = box->button(QtButtonOf(Id))) button->click();
}

namespace {

// The open menu window: a Qt menu, or the window of an owner-drawn menu.
QMenu* OpenMenu() {
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}
TOwnerDrawnMenu* OpenDrawnMenu() {
  return dynamic_cast<TOwnerDrawnMenu*>(QApplication::activePopupWidget());
}
QWidget* OpenMenuWindow() {
  if (QMenu* menu = OpenMenu()) return menu;
  return OpenDrawnMenu();
}

void SendKeyTo(QWidget* widget, int key) {
  QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &event);
}

// The shown entry of an owner-drawn menu with that caption, or -1.
int DrawnEntryOf(const TOwnerDrawnMenu& Menu, const std::string& Caption) {
  const auto& entries = Menu.Entries();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const TMenuItem* item = entries[i].Live();
    if (item && item->Caption == Caption && Caption != "-") return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

std::vector<TShownMenuItem> ShownMenuItems() {
  std::vector<TShownMenuItem> shown;
  if (TOwnerDrawnMenu* drawn = OpenDrawnMenu()) {
    for (const auto& entry : drawn->Entries())
      if (const TMenuItem* item = entry.Live())
        shown.push_back({item->Caption, item->Enabled, item->Checked});
    return shown;
  }
  QMenu* menu = OpenMenu();
  if (!menu) return shown;
  for (QAction* action : menu->actions()) {
    if (!action->isVisible()) continue;
    shown.push_back({action->isSeparator() ? std::string("-") : FromQString(action->text()),
                     action->isEnabled(), action->isChecked()});
  }
  return shown;
}

TPoint ShownMenuPosition() {
  QWidget* window = OpenMenuWindow();
  if (!window) return TPoint{};
  const QPoint at = window->pos();
  return Point(at.x(), at.y());
}

bool ChooseMenuItem(const std::string& Caption) {
  if (TOwnerDrawnMenu* drawn = OpenDrawnMenu()) {
    const int entry = DrawnEntryOf(*drawn, Caption);
    return entry >= 0 && drawn->Choose(entry);
  }
  QMenu* menu = OpenMenu();
  if (!menu) return false;
  const QString text = ToQString(Caption);
  for (QAction* action : menu->actions()) {
    if (action->isSeparator() || !action->isVisible() || action->text() != text) continue;
    if (!action->isEnabled()) return false;
    menu->setActiveAction(action);
    SendKeyTo(menu, Qt::Key_Return);
    return true;
  }
  return false;
}

void CloseMenu() {
  if (QWidget* window = OpenMenuWindow()) SendKeyTo(window, Qt::Key_Escape);
}

bool HighlightMenuItem(const std::string& Caption) {
  if (TOwnerDrawnMenu* drawn = OpenDrawnMenu()) {
    const int entry = DrawnEntryOf(*drawn, Caption);
    if (entry < 0) return false;
    drawn->Activate(entry);
    drawn->repaint();
    return true;
  }
  QMenu* menu = OpenMenu();
  if (!menu) return false;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator() || action->text() != ToQString(Caption)) continue;
    menu->setActiveAction(action);
    menu->repaint();
    return true;
  }
  return false;
}

bool ShownMenuPicture(TBitmap& Bitmap) {
  QWidget* window = OpenMenuWindow();
  if (!window) return false;
  const QImage image = window->grab().toImage();
  Bitmap.SetSize(image.width(), image.height());
  TCanvasAccess::DrawImage(Bitmap.Canvas(), Rect(0, 0, image.width(), image.height()), image,
                           image.rect());
  return true;
}

void SimulateMenuKey(TKeyCode Key, const std::string& Text) {
  QWidget* window = OpenMenuWindow();
  if (!window) return;
  QKeyEvent event(QEvent::KeyPress, QtKeyOf(Key), Qt::NoModifier, ToQString(Text));
  QCoreApplication::sendEvent(window, &event);
}

namespace {

void SendMenuMouse(const TMenuItem* Item, std::initializer_list<QEvent::Type> Kinds) {
  QWidget* window = OpenMenuWindow();
  if (!window) return;
  QPoint global(-10000, -10000);
  for (TOwnerDrawnMenu* menu : TOwnerDrawnMenu::Open()) {
    const QRect shown = Item ? menu->RectOf(*Item) : QRect();
    if (!shown.isEmpty()) global = menu->mapToGlobal(shown.center());
  }
  const QPointF local = window->mapFromGlobal(global);
  for (QEvent::Type kind : Kinds) {
    const Qt::MouseButtons held = kind == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    const Qt::MouseButton button = kind == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(kind, local, QPointF(global), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
  }
}

}  // namespace

bool FontFamilyInstalled(const std::string& Family) {
  const QString family = QString::fromStdString(Family);
  return QFontInfo(QFont(family)).family().compare(family, Qt::CaseInsensitive) == 0;
}

TReferenceLine ReferenceTextLine(const TFont& Font, std::u16string_view Text,
                                 TTextDirection Direction, int Width, int Height, int X, int Y,
                                 int JustifyWidth) {
  QFont font = ToQFont(Font);
  font.setKerning(false);
  QString text(reinterpret_cast<const QChar*>(Text.data()), qsizetype(Text.size()));
  // Qt justifies no line that ends its paragraph: a word too long for the line follows,
  // on a line not laid out, after a break that takes no room.
  if (JustifyWidth > 0) text += QChar(0x200B) + QString(JustifyWidth, u'W');
  QTextLayout layout(text, font);
  // (Qt justifies only where the alignment is justify alone.)
  QTextOption option(JustifyWidth > 0 ? Qt::AlignJustify : Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(JustifyWidth > 0 ? QTextOption::WordWrap : QTextOption::NoWrap);
  option.setTextDirection(ToQDirection(Direction));
  layout.setTextOption(option);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (JustifyWidth > 0) line.setLineWidth(JustifyWidth);
  layout.endLayout();
  TReferenceLine reference;
  QImage image(Width, Height, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setPen(Qt::black);
    line.setPosition(QPointF(0, 0));
    layout.draw(&painter, QPointF(X, Y + QFontMetrics(font).ascent() - line.ascent()));
  }
  reference.Ink.resize(size_t(Width) * size_t(Height));
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x)
      reference.Ink[size_t(y) * size_t(Width) + size_t(x)] = qGray(image.pixel(x, y)) < 128;
  for (int k = 0; k <= int(Text.size()); ++k) reference.Carets.push_back(qRound(line.cursorToX(k)));
  for (int k = 0; k <= int(Text.size()); ++k) {
    int before = k - 1;
    reference.OtherCarets.push_back(k > 0 ? qRound(line.cursorToX(&before, QTextLine::Trailing))
                                          : reference.Carets[0]);
  }
  for (int k = 0; k <= int(Text.size()); ++k) {
    reference.Stops.push_back(layout.isValidCursorPosition(k));
    int at = k;
    reference.FarEdges.push_back(qRound(line.cursorToX(&at, QTextLine::Trailing)));
  }
  for (int k = 0; k < int(Text.size()); ++k) {
    QRectF ink;
    for (const QGlyphRun& run : line.glyphRuns(k, 1)) ink |= run.boundingRect();
    reference.Glyphs.emplace_back(qFloor(ink.left()), qCeil(ink.right()));
  }
  return reference;
}

void SimulateMenuMouseMove(const TMenuItem* Item) {
  SendMenuMouse(Item, {QEvent::MouseMove});
}

void SimulateMenuClick(const TMenuItem* Item) {
  SendMenuMouse(Item, {QEvent::MouseButtonPress, QEvent::MouseButtonRelease});
}

TColor RenderedPixel(TWinControl& Control, int X, int Y) {
  const QImage image = WidgetOf(Control)->grab(QRect(X, Y, 1, 1)).toImage();
  return image.isNull() ? clNone : FromQRgb(image.pixel(0, 0));
}

// --- scripted drags -------------------------------------------------------------------

struct TScriptedDrags::Impl {
  std::vector<TDragStep> steps;
  bool drop;
  QImage image;

  // Sends what the window system sends while the pointer passes the steps: an enter on
  // reaching a control (after a leave of the one before), followed at once by a move,
  // as Qt does; a move for each further step; a drop or a leave at the end.
  Qt::DropAction Run(QDrag& drag, Qt::DropActions allowed) {
    QMimeData* mime = drag.mimeData();
    const Qt::DropAction proposed = (allowed & Qt::MoveAction)   ? Qt::MoveAction
                                    : (allowed & Qt::CopyAction) ? Qt::CopyAction
                                                                 : Qt::LinkAction;
    QWidget* current = nullptr;
    bool accepted = false;
    Qt::DropAction action = Qt::IgnoreAction;
    QPoint at;
    Qt::KeyboardModifiers modifiers;
    const auto move = [&](QWidget* widget) {
      QDragMoveEvent event(at, allowed, mime, Qt::LeftButton, modifiers);
      event.setDropAction(accepted ? action : proposed);
      event.setAccepted(accepted);
      QCoreApplication::sendEvent(widget, &event);
      accepted = event.isAccepted();
      action = accepted ? event.dropAction() : Qt::IgnoreAction;
    };
    for (const TDragStep& step : steps) {
      QWidget* widget = WidgetOf(*step.Control);
      at = QPoint(step.X, step.Y);
      modifiers = QtModifiers(step.Shift);
      if (widget != current) {
        if (current) {
          QDragLeaveEvent leave;
          QCoreApplication::sendEvent(current, &leave);
        }
        current = widget;
        QDragEnterEvent enter(at, allowed, mime, Qt::LeftButton, modifiers);
        enter.setDropAction(proposed);
        enter.ignore();
        QCoreApplication::sendEvent(widget, &enter);
        accepted = enter.isAccepted() && enter.dropAction() != Qt::IgnoreAction;
        action = accepted ? enter.dropAction() : Qt::IgnoreAction;
        if (!enter.isAccepted()) current = nullptr;  // no further events for it
      }
      if (current) move(current);
    }
    if (!current) return Qt::IgnoreAction;
    if (!drop) {
      QDragLeaveEvent leave;
      QCoreApplication::sendEvent(current, &leave);
      return Qt::IgnoreAction;
    }
    QDropEvent event(at, allowed, mime, Qt::LeftButton, modifiers);
    event.setDropAction(accepted ? action : proposed);
    event.ignore();
    QCoreApplication::sendEvent(current, &event);
    return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
  }
};

TScriptedDrags::TScriptedDrags(std::vector<TDragStep> Steps, bool Drop)
    : impl_(std::make_unique<Impl>()) {
  impl_->steps = std::move(Steps);
  impl_->drop = Drop;
  SetDragLoop([this](QDrag& drag, Qt::DropActions allowed) {
    ++count_;
    impl_->image = drag.pixmap().toImage();
    hot_spot_ = Point(drag.hotSpot().x(), drag.hotSpot().y());
    return impl_->Run(drag, allowed);
  });
}

TScriptedDrags::~TScriptedDrags() {
  SetDragLoop(nullptr);
}

int TScriptedDrags::ImageWidth() const {
  return impl_->image.width();
}

int TScriptedDrags::ImageHeight() const {
  return impl_->image.height();
}

TColor TScriptedDrags::ImagePixel(int X, int Y) const {
  const QImage& image = impl_->image;
  if (!image.valid(X, Y)) return clNone;
  const QRgb pixel = image.pixel(X, Y);
  if (image.hasAlphaChannel() && qAlpha(pixel) == 0) return clNone;
  return RGB(qRed(pixel), qGreen(pixel), qBlue(pixel));
}

std::string ClipboardMimeData(const std::string& MimeType) {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return {};
  const QByteArray bytes = data->data(QString::fromStdString(MimeType));
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::vector<std::string> ClipboardMimeTypes() {
  std::vector<std::string> types;
  if (const QMimeData* data = QGuiApplication::clipboard()->mimeData())
    for (const QString& type : data->formats()) types.push_back(type.toStdString());
  return types;
}

bool ShowsPictureCursor(TWinControl& Control) {
  QWidget* widget = WidgetOf(Control);
  return widget->testAttribute(Qt::WA_SetCursor) && widget->cursor().shape() == Qt::BitmapCursor;
}
