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
#if QT_CONFIG(xcb)
#include <cstdlib>
#include <cstring>
#include <map>

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

#if QT_CONFIG(xcb)
// On X11 the drag's loop ends when the drop is sent, with the action the target last
// said it would take; what it then did comes later, in its XdndFinished message. A
// move is told only from that report, so that nothing is deleted that the target
// refused or failed to take. Only the window the drop went to reports on it: the one
// whose XdndStatus answered last before the drop. Any program may send us an
// XdndFinished, and a slow target of an earlier drag may report late.
class TDropFinishWatch : public QAbstractNativeEventFilter {
 public:
  TDropFinishWatch() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) return;
    connection_ = x11->connection();
    status_ = Atom("XdndStatus");
    finished_ = Atom("XdndFinished");
    move_ = Atom("XdndActionMove");
    link_ = Atom("XdndActionLink");
    if (finished_ != XCB_NONE) QCoreApplication::instance()->installNativeEventFilter(this);
  }
  ~TDropFinishWatch() override {
    if (finished_ != XCB_NONE) QCoreApplication::instance()->removeNativeEventFilter(this);
  }
  TDropFinishWatch(const TDropFinishWatch&) = delete;
  TDropFinishWatch& operator=(const TDropFinishWatch&) = delete;

  bool Watching() const { return finished_ != XCB_NONE; }

  // The drag's loop has ended: the drop went to the window that answered last.
  void Dropped() {
    dropped_ = true;
    target_ = last_status_;
  }

  // The effect the drop target reports, waiting for its report while the program runs
  // on. A target that never reports may have taken the data: that counts as a copy.
  TDropEffect TargetsEffect() {
    if (target_ == XCB_NONE) return deCopy;
    if (!Reported()) {
      QEventLoop loop;
      loop_ = &loop;
      QTimer::singleShot(kReportWaitMs, &loop, &QEventLoop::quit);
      loop.exec();
      loop_ = nullptr;
    }
    return Reported() ? reports_[target_] : deCopy;
  }

  bool nativeEventFilter(const QByteArray& EventType, void* Message, qintptr*) override {
    if (EventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(Message);
    if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
    const auto* message = static_cast<const xcb_client_message_event_t*>(Message);
    if (message->format != 32) return false;
    // The first value names the window that sends the message.
    const xcb_window_t from = message->data.data32[0];
    if (message->type == status_ && !dropped_) last_status_ = from;
    if (message->type != finished_) return false;
    // Bit 0 of the flags says whether the target took the drop; the action what it did.
    const uint32_t action = message->data.data32[2];
    reports_[from] = !(message->data.data32[1] & 1) ? deNone
                     : action == move_              ? deMove
                     : action == link_              ? deLink
                                                    : deCopy;
    if (loop_ && Reported()) loop_->quit();
    return false;
  }

 private:
  static constexpr int kReportWaitMs = 10000;

  bool Reported() const { return reports_.count(target_) > 0; }

  xcb_atom_t Atom(const char* name) const {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection_, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection_, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_atom_t status_ = XCB_NONE, finished_ = XCB_NONE, move_ = XCB_NONE, link_ = XCB_NONE;
  xcb_window_t last_status_ = XCB_NONE;
  xcb_window_t target_ = XCB_NONE;
  bool dropped_ = false;
  std::map<xcb_window_t, TDropEffect> reports_;  // by the window that sent each
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
  dropped_here = false;
  Qt::DropAction done = Qt::IgnoreAction;
  if (CurrentLoop()) {
    // The source's widget may go while the loop runs, and its drag with it.
    struct TOwned {
      QPointer<QDrag> drag;
      ~TOwned() { delete drag.data(); }
    } owned{drag};
    done = CurrentLoop()(*drag, actions);
    if (Released) Released();
  } else {
#if QT_CONFIG(xcb)
    TDropFinishWatch watch;
    done = drag->exec(actions);
    watch.Dropped();
    if (Released) Released();
    // A move to another program is believed only when the target reports it.
    if (done == Qt::MoveAction && !dropped_here && watch.Watching())
      done = Qt::DropAction(ActionsOf(watch.TargetsEffect()).toInt());
#else
    done = drag->exec(actions);
    if (Released) Released();
#endif
  }
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
