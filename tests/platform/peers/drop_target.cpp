// A plain Qt program that takes drops, for the tests that drag out of ours into another
// program: it knows nothing of ours and writes what it received.
//
//   drop_target DIR [refuse|paste|primary|slow]
//
// Its window, titled "drop target", stands at (400, 0), 300 x 300. Each drag move over
// it adds a line to DIR/moves. On a drop it writes every format offered, DIR/<n>.bin
// for the n-th, and then DIR/formats with a line "<n> <MIME type> <bytes>" each. With
// "refuse" it takes the drag while it moves and refuses the drop itself. With "slow" it
// answers a move, and on a drop writes the formats and then takes its time: it answers,
// a move, only once DIR/answer exists. With "paste" it
// writes the clipboard's formats the same way at start and ends, with "primary" the X11
// primary selection's. Files appear whole: each is written beside and renamed into place.
#include <cstdio>

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QThread>
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

class TDropTargetWindow : public QWidget {
 public:
  enum class TAnswer { Proposed, Refuse, SlowMove };
  TDropTargetWindow(QString Dir, TAnswer Answer) : dir_(std::move(Dir)), answer_(Answer) {
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
    if (answer_ == TAnswer::Refuse) {
      event->setDropAction(Qt::IgnoreAction);
      event->ignore();
      return;
    }
    if (answer_ == TAnswer::SlowMove) {
      // A program busy with what it was given: the source hears of the drop only now.
      const QDeadlineTimer deadline(120000);
      while (!QFile::exists(dir_ + "/answer") && !deadline.hasExpired()) QThread::msleep(20);
    }
    Take(*event);
  }

 private:
  void Take(QDropEvent& event) {
    if (answer_ == TAnswer::SlowMove && (event.possibleActions() & Qt::MoveAction)) {
      event.setDropAction(Qt::MoveAction);
      event.accept();
    } else {
      event.acceptProposedAction();
    }
  }

  QString dir_;
  TAnswer answer_;
  QByteArray moves_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: drop_target DIR [refuse|paste|primary|slow]\n");
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
  TDropTargetWindow window(dir, mode == "refuse" ? TDropTargetWindow::TAnswer::Refuse
                                : mode == "slow" ? TDropTargetWindow::TAnswer::SlowMove
                                                 : TDropTargetWindow::TAnswer::Proposed);
  window.show();
  return app.exec();
}
