#include "platform/gui/standard/scroll_box.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

#include "platform/gui/controls/win_control_qt.h"

// The scroll area is the shown widget; the control's own widget, which holds and paints
// the children, is its content, sized to the children.
struct TScrollBox::Impl : public QObject {
  explicit Impl(QWidget& Content) : content(&Content) {
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(false);
    area->setWidget(&Content);
    Content.installEventFilter(this);
    area->viewport()->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::ChildAdded:
        if (watched == content) {
          if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->installEventFilter(this);
        }
        break;
      case QEvent::ChildRemoved:
      case QEvent::Move:
      case QEvent::Resize:
      case QEvent::Show:
      case QEvent::Hide:
        if (watched != content) FitContent();
        break;
      default:
        break;
    }
    return false;
  }

  // Large enough for every shown child, and never smaller than the visible area, so a
  // click beside the children still lands on the box.
  void FitContent() {
    if (!content) return;
    QSize size = area->maximumViewportSize();
    for (QObject* object : content->children()) {
      auto* child = qobject_cast<QWidget*>(object);
      if (!child || child->isHidden()) continue;
      size = size.expandedTo(QSize(child->geometry().right() + 1, child->geometry().bottom() + 1));
    }
    if (content->size() != size) content->resize(size);
  }

  QScrollArea* area = new QScrollArea;
  QPointer<QWidget> content;
};

TScrollBox::TScrollBox(TComponent* AOwner)
    : TWinControl(AOwner), impl_(std::make_unique<Impl>(*WidgetOf(*this))) {
  SetHost(*this, impl_->area);
  SetBounds(0, 0, 185, 41);
  impl_->FitContent();
}

TScrollBox::~TScrollBox() {
  // The content goes with the control, after its children; only the frame round it goes
  // here.
  if (impl_->content) impl_->area->takeWidget();
  delete impl_->area;
}

TPoint TScrollBox::ScrollPosition() const {
  return Point(impl_->area->horizontalScrollBar()->value(),
               impl_->area->verticalScrollBar()->value());
}

void TScrollBox::ScrollTo(int X, int Y) {
  impl_->FitContent();
  impl_->area->horizontalScrollBar()->setValue(X);
  impl_->area->verticalScrollBar()->setValue(Y);
}

TSize TScrollBox::ScrollRange() const {
  impl_->FitContent();
  return {impl_->content->width(), impl_->content->height()};
}
