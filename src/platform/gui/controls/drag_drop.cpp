#include "platform/gui/controls/drag_drop.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#if QT_CONFIG(xcb)
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#endif

#include "platform/gui/controls/drag_drop_qt.h"
#include "platform/gui/controls/win_control_qt.h"
#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/sys/application.h"
#include "platform/text/qt_string_qt.h"

namespace {

const QString kNamedFormatPrefix = QStringLiteral("application/x-qt-windows-mime;value=\"");

QByteArray BytesOf(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// What our own drags hand to Qt: every format of the source's data object, made when
// the drag starts. Another program asks for the bytes only after the drop, when the
// source may already have changed or deleted what was dragged; Qt keeps this object
// until the target is done with it. Targets here read it as others do.
class TOfferedMimeData : public QMimeData {
 public:
  explicit TOfferedMimeData(const TDataObject& Data) {
    for (const std::string& format : Data.Formats()) {
      std::string bytes;
      if (Data.GetData(format, bytes)) setData(MimeTypeOfFormat(format), Offered(format, bytes));
    }
  }

 private:
  // The program's texts end their lines with CR LF; the other programs here expect LF,
  // as they get it from the clipboard.
  static QByteArray Offered(const std::string& format, const std::string& bytes) {
    QByteArray offered = BytesOf(bytes);
    if (format == "text/plain" || format == "text/plain;charset=utf-8")
      offered.replace("\r\n", "\n");
    return offered;
  }
};

bool IsTextType(const QString& type) {
  return type == QLatin1String("text/plain") || type.startsWith(QLatin1String("text/plain;"));
}

// Whether Text only names the local files of a text/uri-list, a line each, as their URLs
// or paths: what file managers and Qt programs offer as text beside a list of files.
bool NamesListedFiles(const QByteArray& text, const QByteArray& uriList) {
  QStringList names;
  for (const QByteArray& line : uriList.split('\n')) {
    const QUrl url = QUrl::fromEncoded(line.trimmed(), QUrl::StrictMode);
    if (!url.isValid() || !url.isLocalFile()) continue;
    names << QString::fromUtf8(url.toEncoded()) << url.toString() << url.toLocalFile();
  }
  if (names.isEmpty()) return false;
  bool any = false;
  for (const QByteArray& line : text.split('\n')) {
    const QString name = QString::fromUtf8(line.trimmed());
    if (name.isEmpty()) continue;
    if (!names.contains(name)) return false;
    any = true;
  }
  return any;
}

// Data arriving with a drag, from this program or another. Files dragged from another
// program come as a text/uri-list with its text form beside it; a target would take that
// text before the files, so a text that only names the listed files is not offered.
class TReceivedData : public TDataObject {
 public:
  explicit TReceivedData(const QMimeData& Mime) : mime_(Mime) {
    const QString uriList = MimeTypeOfFormat(kUriListFormat);
    if (!mime_.hasFormat(uriList)) return;
    const QByteArray files = mime_.data(uriList);
    for (const QString& type : mime_.formats())
      if (IsTextType(type) && NamesListedFiles(mime_.data(type), files)) hidden_ << type;
  }

  std::vector<std::string> Formats() const override {
    std::vector<std::string> result;
    for (const QString& type : mime_.formats())
      if (!hidden_.contains(type)) result.push_back(FormatOfMimeType(type));
    return result;
  }
  bool GetData(const std::string& Format, std::string& Bytes) const override {
    const QString type = MimeTypeOfFormat(Format);
    if (!mime_.hasFormat(type) || hidden_.contains(type)) return false;
    const QByteArray bytes = mime_.data(type);
    Bytes.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    return true;
  }

 private:
  const QMimeData& mime_;
  QStringList hidden_;  // text types that only repeat the file list
};

TDragLoop& CurrentLoop() {
  static TDragLoop loop;
  return loop;
}

int running_drags = 0;

// The one Qt action for a target's answer. A target may answer a set (it kept what the
// source allowed): the action Qt proposes when it is in the set, else copy, move, link.
Qt::DropAction ActionOf(TDropEffects answer, Qt::DropActions allowed, Qt::DropAction proposed) {
  const Qt::DropActions wanted = ActionsOf(answer) & allowed;
  if (!wanted) return Qt::IgnoreAction;
  if (wanted & proposed) return proposed;
  for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction})
    if (wanted & action) return action;
  return Qt::IgnoreAction;
}

TDropEffect EffectOf(Qt::DropAction action) {
  return static_cast<TDropEffect>(EffectsOf(action));
}

void Answer(QDropEvent& event, TDropEffects effect, TDropState& state) {
  const Qt::DropAction action =
      ActionOf(effect & ~deScroll, event.possibleActions(), event.proposedAction());
  state.answer = EffectOf(action);
  event.setDropAction(action);
  event.setAccepted(action != Qt::IgnoreAction);
}

TPoint PointOf(const QDropEvent& event) {
  const QPoint at = event.position().toPoint();
  return Point(at.x(), at.y());
}

std::shared_ptr<const TDataObject> DataOf(const QMimeData* mime) {
  if (mime) return std::make_shared<TReceivedData>(*mime);
  return std::make_shared<TDragData>();
}

// The source of a drag while it runs: it may be freed meanwhile (a timer or a request
// closes its window). Its widget is hidden then and goes only later, when the event
// loop gets to it: Gone runs as it is hidden, for whatever waits on the source.
class TSourceWatch : public QObject {
 public:
  explicit TSourceWatch(TWinControl& Source)
      : bridge_(NativeOf(Source).bridge), widget_(WidgetOf(Source)) {
    if (widget_) widget_->installEventFilter(this);
  }
  TSourceWatch(const TSourceWatch&) = delete;
  TSourceWatch& operator=(const TSourceWatch&) = delete;

  bool Lives() const { return bridge_ && bridge_->control; }
  std::function<void()> Gone;

  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() == QEvent::Hide && !Lives() && Gone) Gone();
    return false;
  }

 private:
  const QPointer<TWidgetBridge> bridge_;
  const QPointer<QWidget> widget_;
};

#if QT_CONFIG(xcb)
// A button's release as XInput 2 hands it over, when the pointer's events come that
// way: the protocol's layout, with the sequence number xcb adds after the first 32 bytes.
struct TDeviceRelease {
  uint8_t response_type;
  uint8_t extension;
  uint16_t sequence;
  uint32_t length;
  uint16_t event_type;
  uint16_t device;
  uint32_t time;
  uint32_t detail;
  xcb_window_t root;
  xcb_window_t event;
  xcb_window_t child;
  uint32_t full_sequence;
  int32_t root_x;  // 16.16 fixed point
  int32_t root_y;
};
constexpr uint16_t kDeviceButtonRelease = 5;

// On X11 the drag's loop ends when the drop is sent, with the action the target last
// said it would take; what it then did comes later, in its XdndFinished message. A
// move is told only from that report, so that nothing is deleted that the target
// refused or failed to take. Only the window the drop went to reports on it: the
// XdndAware window under the pointer where the user let go, found from the X server's
// windows as the release comes, the way the drag's loop finds where to send its
// messages. Any program may send us an XdndStatus or XdndFinished naming any window,
// and a window the pointer has left may still answer, late: a report from any other
// window counts for nothing, and a status naming no window is not passed on (the drag's
// loop would take it for its target's).
class TDropFinishWatch : public QAbstractNativeEventFilter {
 public:
  TDropFinishWatch() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    connection_ = x11->connection();
    status_ = Atom("XdndStatus");
    finished_ = Atom("XdndFinished");
    aware_ = Atom("XdndAware");
    proxy_ = Atom("XdndProxy");
    move_ = Atom("XdndActionMove");
    link_ = Atom("XdndActionLink");
    device_events_ = ExtensionOpcode("XInputExtension");
    if (finished_ != XCB_NONE) QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~TDropFinishWatch() override {
    if (finished_ != XCB_NONE) QCoreApplication::instance()->removeNativeEventFilter(this);
  }
  TDropFinishWatch(const TDropFinishWatch&) = delete;
  TDropFinishWatch& operator=(const TDropFinishWatch&) = delete;

  bool Watching() const { return finished_ != XCB_NONE; }

  // The effect the drop's window reports, waiting for its report while the program runs
  // on, until the window goes (its program ended) or the source does. A target that
  // never reports may have taken the data: that counts as a copy.
  TDropEffect TargetsEffect(TSourceWatch& Source) {
    if (target_ == XCB_NONE || Ours(target_)) return deCopy;
    if (!reported_ && WatchTarget()) {
      QEventLoop loop;
      loop_ = &loop;
      QTimer::singleShot(kReportWaitMs, &loop, &QEventLoop::quit);
      Source.Gone = [&loop] { loop.quit(); };
      loop.exec();
      Source.Gone = nullptr;
      loop_ = nullptr;
      UnwatchTarget();
    }
    return reported_ ? report_ : deCopy;
  }

  bool nativeEventFilter(const QByteArray& EventType, void* Message, qintptr*) override {
    if (EventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(Message);
    switch (event->response_type & 0x7f) {
      case XCB_BUTTON_RELEASE: {
        const auto* release = static_cast<const xcb_button_release_event_t*>(Message);
        LetGo(release->root, release->root_x, release->root_y);
        return false;
      }
      case XCB_GE_GENERIC: {
        const auto* release = static_cast<const TDeviceRelease*>(Message);
        if (device_events_ && release->extension == device_events_ &&
            release->event_type == kDeviceButtonRelease)
          LetGo(release->root, static_cast<int16_t>(release->root_x >> 16),
                static_cast<int16_t>(release->root_y >> 16));
        return false;
      }
      case XCB_DESTROY_NOTIFY: {
        const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(Message);
        if (!watching_target_ || destroyed->window != target_) return false;
        watching_target_ = false;
        target_gone_ = true;
        if (loop_) loop_->quit();
        return true;  // another program's window: nothing of the window system's
      }
      case XCB_CLIENT_MESSAGE:
        return ClientMessage(*static_cast<const xcb_client_message_event_t*>(Message));
      default:
        return false;
    }
  }

 private:
  static constexpr int kReportWaitMs = 10000;
  // Deeper than any nesting of frames a window manager puts around a program's window.
  static constexpr int kMaxDepth = 16;

  bool ClientMessage(const xcb_client_message_event_t& message) {
    if (message.format != 32) return false;
    // The first value names the window the message speaks for.
    const xcb_window_t from = message.data.data32[0];
    if (message.type == status_) return from == XCB_NONE;
    if (message.type != finished_ || !released_ || reported_ || !FromTarget(from)) return false;
    // Bit 0 of the flags says whether the target took the drop; the action what it did.
    const uint32_t action = message.data.data32[2];
    report_ = !(message.data.data32[1] & 1) ? deNone
              : action == move_             ? deMove
              : action == link_             ? deLink
                                            : deCopy;
    reported_ = true;
    if (loop_) loop_->quit();
    return false;
  }

  // The user let go at (X, Y) of Root's screen: the drop goes to the window there. Only
  // the first release counts; later ones are clicks while the answer is awaited.
  void LetGo(xcb_window_t Root, int16_t X, int16_t Y) {
    if (released_) return;
    released_ = true;
    target_ = AwareWindowAt(Root, X, Y, kMaxDepth);
    target_proxy_ = target_ != XCB_NONE ? ProxyOf(target_) : XCB_NONE;
  }

  // The XdndAware window under (X, Y) of Parent's inside, searched downwards from the
  // topmost child that holds the point, as the drag's loop finds where to send its
  // messages; none when no window there takes drags.
  xcb_window_t AwareWindowAt(xcb_window_t Parent, int X, int Y, int Depth) const {
    xcb_query_tree_reply_t* tree =
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, Parent), nullptr);
    if (!tree) return XCB_NONE;
    const xcb_window_t* children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    std::vector<xcb_get_window_attributes_cookie_t> shown(static_cast<size_t>(count));
    std::vector<xcb_get_geometry_cookie_t> places(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      shown[size_t(i)] = xcb_get_window_attributes(connection_, children[i]);
      places[size_t(i)] = xcb_get_geometry(connection_, children[i]);
    }
    // The children come bottom first.
    xcb_window_t found = XCB_NONE;
    bool done = false;
    for (int i = count; i-- > 0;) {
      xcb_get_window_attributes_reply_t* attributes =
          xcb_get_window_attributes_reply(connection_, shown[size_t(i)], nullptr);
      xcb_get_geometry_reply_t* place =
          xcb_get_geometry_reply(connection_, places[size_t(i)], nullptr);
      if (!done && attributes && place && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
          !LetsPointerThrough(children[i])) {
        const int x = X - place->x - place->border_width;
        const int y = Y - place->y - place->border_width;
        if (x >= -place->border_width && x < place->width + place->border_width &&
            y >= -place->border_width && y < place->height + place->border_width) {
          done = true;
          if (PropertyOf(children[i], aware_, XCB_GET_PROPERTY_TYPE_ANY).has_value())
            found = children[i];
          else if (Depth > 0)
            found = AwareWindowAt(children[i], x, y, Depth - 1);
        }
      }
      std::free(attributes);
      std::free(place);
    }
    std::free(tree);
    return found;
  }

  // Whether Window is one of ours that the pointer goes through, as the picture that
  // follows it in a drag does.
  bool LetsPointerThrough(xcb_window_t Window) const {
    if (!Ours(Window)) return false;
    for (const QWindow* window : QGuiApplication::allWindows())
      if (window->handle() && window->winId() == Window)
        return window->flags() & Qt::WindowTransparentForInput;
    return false;
  }

  // The window that takes the drag messages for Window, as it names it (XdndProxy).
  xcb_window_t ProxyOf(xcb_window_t Window) const {
    return PropertyOf(Window, proxy_, XCB_ATOM_WINDOW).value_or(XCB_NONE);
  }

  // A property of Window of the given type: its first 32-bit value, 0 when it has none;
  // nothing when the window lacks it.
  std::optional<uint32_t> PropertyOf(xcb_window_t Window, xcb_atom_t Name, xcb_atom_t Type) const {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection_, xcb_get_property(connection_, 0, Window, Name, Type, 0, 1), nullptr);
    std::optional<uint32_t> value;
    if (reply && reply->type != XCB_NONE) {
      value = 0;
      if (reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return value;
  }

  bool FromTarget(xcb_window_t Window) const {
    return Window != XCB_NONE && (Window == target_ || Window == target_proxy_);
  }

  // Whether Window is one of this program's: the X server names the windows of one
  // connection from one range. Their drops never come as messages.
  bool Ours(xcb_window_t Window) const {
    const xcb_setup_t* setup = xcb_get_setup(connection_);
    return (Window & ~setup->resource_id_mask) == setup->resource_id_base;
  }

  // Hears of the drop's window being destroyed, as when its program ends; false when it
  // is gone already. Another program's window: the events asked for are only ours.
  bool WatchTarget() {
    watching_target_ = SetEventMask(target_, XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    target_gone_ = !watching_target_;
    return watching_target_;
  }
  void UnwatchTarget() {
    if (watching_target_) SetEventMask(target_, XCB_EVENT_MASK_NO_EVENT);
    watching_target_ = false;
  }
  bool SetEventMask(xcb_window_t Window, uint32_t Mask) const {
    xcb_generic_error_t* error = xcb_request_check(
        connection_,
        xcb_change_window_attributes_checked(connection_, Window, XCB_CW_EVENT_MASK, &Mask));
    std::free(error);
    return error == nullptr;
  }

  xcb_atom_t Atom(const char* name) const {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
  }

  // The major opcode of an extension's events, 0 when the server lacks it.
  uint8_t ExtensionOpcode(const char* name) const {
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        connection_,
        xcb_query_extension(connection_, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const uint8_t opcode = reply && reply->present ? reply->major_opcode : 0;
    std::free(reply);
    return opcode;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_atom_t status_ = XCB_NONE, finished_ = XCB_NONE, aware_ = XCB_NONE, proxy_ = XCB_NONE;
  xcb_atom_t move_ = XCB_NONE, link_ = XCB_NONE;
  uint8_t device_events_ = 0;
  bool released_ = false;
  xcb_window_t target_ = XCB_NONE;        // the drop's window
  xcb_window_t target_proxy_ = XCB_NONE;  // the window that speaks for it, if any
  bool watching_target_ = false;
  bool target_gone_ = false;
  bool reported_ = false;
  TDropEffect report_ = deNone;
  QEventLoop* loop_ = nullptr;
};
#endif

// Whether the drop of the drag now running went to a target in this program: its
// answer is then the one the drag's loop returns.
bool dropped_here = false;

}  // namespace

// --- formats ------------------------------------------------------------------------

QString MimeTypeOfFormat(const std::string& Format) {
  const QString name = ToQString(Format);
  if (name.contains('/')) return name;
  return kNamedFormatPrefix + name + '"';
}

std::string FormatOfMimeType(const QString& MimeType) {
  if (MimeType.startsWith(kNamedFormatPrefix) && MimeType.endsWith('"')) {
    return FromQString(
        MimeType.mid(kNamedFormatPrefix.size(), MimeType.size() - kNamedFormatPrefix.size() - 1));
  }
  return FromQString(MimeType);
}

Qt::DropActions ActionsOf(TDropEffects Effects) {
  Qt::DropActions actions;
  if (Effects & deCopy) actions |= Qt::CopyAction;
  if (Effects & deMove) actions |= Qt::MoveAction;
  if (Effects & deLink) actions |= Qt::LinkAction;
  return actions;
}

TDropEffects EffectsOf(Qt::DropActions Actions) {
  TDropEffects effects = deNone;
  if (Actions & Qt::CopyAction) effects |= deCopy;
  if (Actions & Qt::MoveAction) effects |= deMove;
  if (Actions & Qt::LinkAction) effects |= deLink;
  return effects;
}

bool TDataObject::HasFormat(const std::string& Format) const {
  for (const std::string& offered : Formats())
    if (offered == Format) return true;
  return false;
}

void TDragData::Add(const std::string& Format, TRender Render) {
  for (TFormat& format : formats_) {
    if (format.name == Format) {
      format.render = std::move(Render);
      return;
    }
  }
  formats_.push_back({Format, std::move(Render)});
}

std::vector<std::string> TDragData::Formats() const {
  std::vector<std::string> result;
  result.reserve(formats_.size());
  for (const TFormat& format : formats_) result.push_back(format.name);
  return result;
}

bool TDragData::GetData(const std::string& Format, std::string& Bytes) const {
  for (const TFormat& format : formats_) {
    if (format.name == Format) {
      Bytes.clear();
      return format.render && format.render(Bytes);
    }
  }
  return false;
}

std::string UriListOf(const std::vector<std::string>& Paths) {
  std::string result;
  for (const std::string& path : Paths) {
    result += QUrl::fromLocalFile(FileNameToQString(path)).toEncoded().toStdString();
    result += "\r\n";
  }
  return result;
}

std::vector<std::string> DroppedFileNames(const TDataObject& Data) {
  std::string bytes;
  std::vector<std::string> result;
  if (!Data.GetData(kUriListFormat, bytes)) return result;
  // One URL a line; lines starting with "#" are comments.
  for (const QByteArray& line : BytesOf(bytes).split('\n')) {
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
    const QUrl url = QUrl::fromEncoded(trimmed, QUrl::StrictMode);
    if (url.isValid() && url.isLocalFile())
      result.push_back(FileNameFromQString(url.toLocalFile()));
  }
  return result;
}

// --- the source -----------------------------------------------------------------------

void SetDragLoop(TDragLoop Loop) {
  CurrentLoop() = std::move(Loop);
}

TDropEffect DoDragDrop(TWinControl& Source, std::shared_ptr<const TDataObject> Data,
                       TDropEffects Allowed, const TDragImage* Image,
                       const std::function<void()>& Released) {
  const Qt::DropActions actions = ActionsOf(Allowed);
  // One drag at a time: a press while another drag waits for its target's answer starts
  // none, so that the answer goes to the drag it belongs to.
  if (!actions || !Data || DragRunning()) {
    if (Released) Released();
    return deNone;
  }
  // Parented to the source's widget, as Qt wants. The window system's loop owns it
  // from exec on: it frees the drag and its data once the target is done with them,
  // which on X11 is after exec has returned.
  auto* drag = new QDrag(WidgetOf(Source));
  drag->setMimeData(new TOfferedMimeData(*Data));
  // All of it is in the drag now; the source's data object may refer to the source.
  Data.reset();
  if (Image && Image->Picture && !Image->Picture->Empty()) {
    QPixmap picture = QPixmap::fromImage(BitmapImage(*Image->Picture));
    if (Image->Transparent != clNone) {
      const TColor key = ColorToRGB(Image->Transparent);
      picture.setMask(picture.createMaskFromColor(
          QColor(GetRValue(key), GetGValue(key), GetBValue(key)), Qt::MaskInColor));
    }
    drag->setPixmap(picture);
    drag->setHotSpot(QPoint(Image->HotSpot.X, Image->HotSpot.Y));
  }
  struct TRunning {
    TRunning() { ++running_drags; }
    ~TRunning() { --running_drags; }
    TRunning(const TRunning&) = delete;
    TRunning& operator=(const TRunning&) = delete;
  } running;
  // From the moment the source is freed nothing of it is touched, and the drag did
  // nothing for it.
  TSourceWatch source(Source);
  const auto letGo = [&] {
    if (Released && source.Lives()) Released();
  };
  dropped_here = false;
  Qt::DropAction done = Qt::IgnoreAction;
  if (CurrentLoop()) {
    // The source's widget may go while the loop runs, and its drag with it.
    struct TOwned {
      QPointer<QDrag> drag;
      ~TOwned() { delete drag.data(); }
    } owned{drag};
    done = CurrentLoop()(*drag, actions);
    letGo();
  } else {
#if QT_CONFIG(xcb)
    TDropFinishWatch watch;
    source.Gone = [] { QDrag::cancel(); };
    done = drag->exec(actions);
    source.Gone = nullptr;
    letGo();
    // A move to another program is believed only when the target reports it.
    if (done == Qt::MoveAction && !dropped_here && watch.Watching() && source.Lives())
      done = Qt::DropAction(ActionsOf(watch.TargetsEffect(source)).toInt());
#else
    done = drag->exec(actions);
    letGo();
#endif
  }
  if (!source.Lives()) return deNone;
  return static_cast<TDropEffect>(EffectsOf(done) & Allowed);
}

bool DragRunning() {
  return running_drags > 0;
}

// --- the target -----------------------------------------------------------------------

void RegisterDragDrop(TWinControl& Control, TDropTarget& Target) {
  TNativeWidget& native = NativeOf(Control);
  if (!native.drop) native.drop = std::make_shared<TDropState>();
  native.drop->target = &Target;
  native.widget->setAcceptDrops(true);
}

void RevokeDragDrop(TWinControl& Control) {
  TNativeWidget& native = NativeOf(Control);
  if (!native.drop) return;
  // A drag handler may revoke while the drag is over us: the state it runs in stays
  // alive with the handler, but hears of nothing more.
  native.drop->target = nullptr;
  native.drop.reset();
  if (native.widget) native.widget->setAcceptDrops(false);
}

bool IsDropTarget(const TWinControl& Control) {
  return NativeOf(Control).drop != nullptr;
}

bool DeliverDragEvent(TWinControl& Control, QEvent& Event) {
  const std::shared_ptr<TDropState> state = NativeOf(Control).drop;
  if (!state || !state->target) {
    Event.ignore();
    return Event.type() != QEvent::DragLeave;
  }
  TDropState& drop = *state;
  switch (Event.type()) {
    case QEvent::DragEnter: {
      auto& event = static_cast<QDragEnterEvent&>(Event);
      drop.data = DataOf(event.mimeData());
      TDropEffects effect = EffectsOf(event.possibleActions());
      const TShiftState shift = ShiftOf(event.modifiers(), event.buttons());
      Dispatch([&] {
        if (drop.target) drop.target->DragEnter(*drop.data, shift, PointOf(event), effect);
      });
      Answer(event, effect, drop);
      // Taken even when refused, so that moves keep coming: the target may accept at
      // another place.
      event.accept();
      drop.enter_echo = true;
      return true;
    }
    case QEvent::DragMove: {
      auto& event = static_cast<QDragMoveEvent&>(Event);
      TDropEffects effect = EffectsOf(event.possibleActions());
      if (drop.enter_echo) {
        drop.enter_echo = false;
        effect = drop.answer;
      } else {
        const TShiftState shift = ShiftOf(event.modifiers(), event.buttons());
        Dispatch([&] {
          if (drop.target) drop.target->DragOver(shift, PointOf(event), effect);
        });
      }
      Answer(event, effect, drop);
      return true;
    }
    case QEvent::DragLeave:
      drop.enter_echo = false;
      Dispatch([&] {
        if (drop.target) drop.target->DragLeave();
      });
      drop.data.reset();
      return true;
    case QEvent::Drop: {
      auto& event = static_cast<QDropEvent&>(Event);
      drop.enter_echo = false;
      if (DragRunning()) dropped_here = true;
      if (drop.answer == deNone) {
        Dispatch([&] {
          if (drop.target) drop.target->DragLeave();
        });
        event.setDropAction(Qt::IgnoreAction);
        event.ignore();
      } else {
        TDropEffects effect = EffectsOf(event.possibleActions());
        const TShiftState shift = ShiftOf(event.modifiers(), event.buttons());
        // Kept alive through the handler, which may leave the drag.
        const std::shared_ptr<const TDataObject> data = drop.data ? drop.data : DataOf(nullptr);
        Dispatch([&] {
          if (drop.target) drop.target->Drop(*data, shift, PointOf(event), effect);
        });
        Answer(event, effect, drop);
      }
      drop.data.reset();
      drop.answer = deNone;
      return true;
    }
    default:
      return false;
  }
}
