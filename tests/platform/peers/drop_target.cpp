// A plain Qt program that takes drops, for the tests that drag out of ours into another
// program: it knows nothing of ours and writes what it received.
//
//   drop_target DIR [refuse|answer|decoy|paste|primary]
//   drop_target DIR files PATH...
//
// Its window, titled "drop target", stands at (400, 0), 300 x 300. Each drag move over
// it adds a line to DIR/moves. On a drop it writes every format offered, DIR/<n>.bin
// for the n-th, and then DIR/formats with a line "<n> <MIME type> <bytes>" each. With
// "refuse" it takes the drag while it moves and refuses the drop itself. With "answer"
// it is a slow target that asks for a move while the drag moves over it: having written
// the formats it waits for DIR/answer, acts on each
// of its lines and then deletes it: "forge ACTION" sends the source a finish report of
// ACTION (move, copy, refuse) from another window of its own, as any program may;
// "move", "copy" or "refuse" is what it then does with the drop. With "decoy" it is the
// slow target of "answer" with that other window shown as a second target, titled
// "decoy", at (400, 320), 300 x 200: it asks for a move while a drag moves over it,
// adding a line to DIR/decoy.moves each time, and whenever DIR/late appears it sends
// the drag's source a status of its own, as a window the pointer has left may still
// answer, of what the file says (move or refuse), then deletes the file and writes
// DIR/late.sent once the X server has the message. With "paste" it writes the
// clipboard's formats the same way at start and ends, with "primary" the X11 primary
// selection's. With "files" it is a file source, as a file manager is: its window,
// titled "file source", drags the files named when pressed and moved, offering them as
// a text/uri-list and as text, their URLs a line each. With "own" it owns the
// clipboard, as a program the user copied from does: it offers DIR/offer.rtf as RTF and
// DIR/offer.txt as text (those of them there are), shows a window titled "clipboard
// owner", and adds a line "request" to DIR/requests for each request for the clipboard
// it gets and "key" for each key pressed in its window.
// Files appear whole: each is written beside and renamed into place.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include <xcb/xcb.h>
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

void WriteWhole(const QString& path, const QByteArray& bytes) {
  QFile file(path + ".part");
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) return;
  file.close();
  QFile::remove(path);
  QFile::rename(path + ".part", path);
}

void WriteFormats(const QString& dir, const QMimeData& mime) {
  QByteArray list;
  int n = 0;
  for (const QString& type : mime.formats()) {
    const QByteArray bytes = mime.data(type);
    WriteWhole(QString("%1/%2.bin").arg(dir).arg(n), bytes);
    list += QString("%1 %2 %3\n").arg(n).arg(type).arg(bytes.size()).toUtf8();
    ++n;
  }
  WriteWhole(dir + "/formats", list);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
  const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
  std::free(reply);
  return atom;
}

// Sends the drag's source, the owner of the XdndSelection, an Xdnd message of Type
// with Data, and waits until the X server has it.
void SendToSource(const char* type, const std::array<uint32_t, 5>& data) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
  if (!connection) return;
  xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
      connection, xcb_get_selection_owner(connection, Atom(connection, "XdndSelection")), nullptr);
  if (!owner) return;
  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = owner->owner;
  message.type = Atom(connection, type);
  for (size_t i = 0; i < data.size(); ++i) message.data.data32[i] = data[i];
  std::free(owner);
  xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                 reinterpret_cast<const char*>(&message));
  std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

xcb_atom_t ActionAtom(const QByteArray& action) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (action == "refuse" || !x11) return XCB_NONE;
  return Atom(x11->connection(), action == "move" ? "XdndActionMove" : "XdndActionCopy");
}

// Tells the drag's source that Window finished the drop with Action; "refuse" reports
// the drop not taken.
void SendFinished(xcb_window_t window, const QByteArray& action) {
  SendToSource("XdndFinished", {window, action == "refuse" ? 0u : 1u, ActionAtom(action), 0, 0});
}

// Tells the drag's source that Window would take the drop with Action, or not at all
// with "refuse".
void SendStatus(xcb_window_t window, const QByteArray& action) {
  SendToSource("XdndStatus", {window, action == "refuse" ? 0u : 1u, 0, 0, ActionAtom(action)});
}

// Asks for a move while a drag is over it, as a target that takes moves does.
void TakeAsMove(QDropEvent& event) {
  if (event.possibleActions() & Qt::MoveAction) {
    event.setDropAction(Qt::MoveAction);
    event.accept();
  } else {
    event.acceptProposedAction();
  }
}

// The second window of a slow target: forged reports come from it, and shown it is a
// target the pointer passes on its way, which answers late.
class TDecoyWindow : public QWidget {
 public:
  TDecoyWindow(QString Dir, bool Shown) : dir_(std::move(Dir)) {
    winId();
    if (!Shown) return;
    setWindowTitle("decoy");
    setAcceptDrops(true);
    setGeometry(400, 320, 300, 200);
    QObject::connect(&poll_, &QTimer::timeout, [this] { AnswerLate(); });
    poll_.start(20);
    show();
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { TakeAsMove(*event); }
  void dragMoveEvent(QDragMoveEvent* event) override {
    TakeAsMove(*event);
    moves_ += "move\n";
    WriteWhole(dir_ + "/decoy.moves", moves_);
  }
  void dropEvent(QDropEvent* event) override { event->ignore(); }

 private:
  void AnswerLate() {
    QFile file(dir_ + "/late");
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray action = file.readAll().trimmed();
    file.close();
    file.remove();
    SendStatus(static_cast<xcb_window_t>(winId()), action);
    WriteWhole(dir_ + "/late.sent", action);
  }

  QString dir_;
  QByteArray moves_;
  QTimer poll_;
};

class TDropTargetWindow : public QWidget {
 public:
  TDropTargetWindow(const QString& Dir, const QString& Mode)
      : dir_(Dir), mode_(Mode == "decoy" ? "answer" : Mode), other_(Dir, Mode == "decoy") {
    setWindowTitle("drop target");
    setAcceptDrops(true);
    setGeometry(400, 0, 300, 300);
  }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override { Take(*event); }
  void dragMoveEvent(QDragMoveEvent* event) override {
    Take(*event);
    moves_ += "move\n";
    WriteWhole(dir_ + "/moves", moves_);
  }
  void dropEvent(QDropEvent* event) override {
    WriteFormats(dir_, *event->mimeData());
    const QByteArray action = mode_ == "answer" ? Answer() : mode_.toUtf8();
    if (action == "refuse") {
      event->setDropAction(Qt::IgnoreAction);
      event->ignore();
    } else if (action == "move" || action == "copy") {
      event->setDropAction(action == "move" ? Qt::MoveAction : Qt::CopyAction);
      event->accept();
    } else {
      event->acceptProposedAction();
    }
  }

 private:
  // Waits, running on, for DIR/answer; sends the forged reports it asks for and answers
  // what its last line says.
  QByteArray Answer() {
    QFile file(dir_ + "/answer");
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (file.exists()) loop.quit();
    });
    poll.start(20);
    loop.exec();
    QByteArray action;
    if (file.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("forge ")) {
          SendFinished(static_cast<xcb_window_t>(other_.winId()), line.mid(6));
        } else if (!line.isEmpty()) {
          action = line;
        }
      }
    }
    file.remove();
    return action;
  }

  void Take(QDropEvent& event) {
    if (mode_ == "answer")
      TakeAsMove(event);
    else
      event.acceptProposedAction();
  }

  QString dir_;
  QString mode_;
  QByteArray moves_;
  TDecoyWindow other_;  // the window forged reports come from
};

class TFileSourceWindow : public QWidget {
 public:
  explicit TFileSourceWindow(QStringList Paths) : paths_(std::move(Paths)) {
    setWindowTitle("file source");
    setGeometry(400, 0, 300, 300);
  }

 protected:
  void mousePressEvent(QMouseEvent* event) override { pressed_ = event->position().toPoint(); }
  void mouseMoveEvent(QMouseEvent* event) override {
    if (!(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - pressed_).manhattanLength() < 4)
      return;
    QList<QUrl> urls;
    QByteArray text;
    for (const QString& path : paths_) {
      urls << QUrl::fromLocalFile(path);
      text += urls.last().toEncoded() + "\n";
    }
    auto* mime = new QMimeData;
    mime->setUrls(urls);
    mime->setData("text/plain", text);
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
  }

 private:
  QStringList paths_;
  QPoint pressed_;
};

// Counts the requests other programs make for the selections this program owns.
class TRequestLog : public QAbstractNativeEventFilter {
 public:
  explicit TRequestLog(QString Path) : path_(std::move(Path)) {}
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const int kind = event->response_type & ~0x80;
    if (kind == XCB_SELECTION_REQUEST || kind == XCB_KEY_PRESS) {
      log_ += kind == XCB_KEY_PRESS ? "key\n" : "request\n";
      WriteWhole(path_, log_);
    }
    return false;
  }

 private:
  QString path_;
  QByteArray log_;
};

int OwnClipboard(const QString& dir) {
  auto* mime = new QMimeData;
  QFile rtf(dir + "/offer.rtf"), text(dir + "/offer.txt");
  if (rtf.open(QIODevice::ReadOnly)) mime->setData("text/rtf", rtf.readAll());
  if (text.open(QIODevice::ReadOnly)) mime->setText(QString::fromUtf8(text.readAll()));
  TRequestLog log(dir + "/requests");
  qApp->installNativeEventFilter(&log);
  QGuiApplication::clipboard()->setMimeData(mime);
  QWidget window;
  window.setWindowTitle("clipboard owner");
  window.setGeometry(400, 320, 200, 100);
  window.show();
  return qApp->exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr,
                 "usage: drop_target DIR [refuse|answer|decoy|paste|primary|own] |"
                 " DIR files PATH...\n");
    return 2;
  }
  const QString dir = QString::fromLocal8Bit(argv[1]);
  const QString mode = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  QDir().mkpath(dir);
  if (mode == "paste" || mode == "primary") {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData(
        mode == "paste" ? QClipboard::Clipboard : QClipboard::Selection);
    if (!mime) return 1;
    WriteFormats(dir, *mime);
    return 0;
  }
  if (mode == "own") return OwnClipboard(dir);
  if (mode == "files") {
    QStringList paths;
    for (int i = 3; i < argc; ++i) paths << QString::fromLocal8Bit(argv[i]);
    TFileSourceWindow window(paths);
    window.show();
    return app.exec();
  }
  TDropTargetWindow window(dir, mode);
  window.show();
  return app.exec();
}
