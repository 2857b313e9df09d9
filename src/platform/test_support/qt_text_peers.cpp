#include "platform/test_support/qt_text_peers.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>

#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"

namespace {

QString ToQ(std::u16string_view text) {
  return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// As the program draws text: its own font, without kerning.
QFont PeerFont(const TFont& font) {
  QFont q = ToQFont(font);
  q.setKerning(false);
  return q;
}

}  // namespace

struct TQtDocumentPeer::Impl {
  QTextDocument document;
};

TQtDocumentPeer::TQtDocumentPeer(const std::vector<TPeerParagraph>& Paragraphs, int Width,
                                 int Margin)
    : impl_(std::make_unique<Impl>()) {
  QTextDocument& document = impl_->document;
  document.setUndoRedoEnabled(false);
  document.setDocumentMargin(Margin);
  QTextCursor cursor(&document);
  bool first = true;
  for (const TPeerParagraph& paragraph : Paragraphs) {
    QTextBlockFormat block;
    if (paragraph.Background != clNone) block.setBackground(ToQColor(paragraph.Background));
    if (first)
      cursor.setBlockFormat(block);
    else
      cursor.insertBlock(block);
    first = false;
    for (const TPeerTextRun& run : paragraph.Runs) {
      QTextCharFormat format;
      format.setFont(PeerFont(run.Font), QTextCharFormat::FontPropertiesAll);
      format.setForeground(ToQColor(run.Font.Color()));
      cursor.insertText(ToQ(run.Text), format);
    }
  }
  document.setTextWidth(Width);
  // Laid out now, as the viewer's document is before it is painted.
  document.documentLayout()->documentSize();
}

TQtDocumentPeer::~TQtDocumentPeer() = default;

int TQtDocumentPeer::Height() const {
  return int(impl_->document.size().height());
}

void TQtDocumentPeer::PaintScreenful(TBitmap& Target, int Top) {
  QPainter* painter = TCanvasAccess::ImplOf(Target.Canvas()).Painter();
  if (!painter) return;
  const QRect screen(0, 0, Target.Width(), Target.Height());
  painter->save();
  painter->fillRect(screen, Qt::white);
  painter->translate(0, -Top);
  impl_->document.drawContents(painter, screen.translated(0, Top));
  painter->restore();
}

struct TQtEditPeer::Impl {
  // Laid out to the end, before the timed work: what QTextEdit lays out as it changes
  // is its own choice (it finishes a long document later, bit by bit).
  void LayOut() {
    QTextDocument& document = *edit.document();
    document.documentLayout()->blockBoundingRect(document.lastBlock());
  }
  QTextEdit edit;
};

TQtEditPeer::TQtEditPeer(int Width, int Height, const std::string& Html, int Cursor)
    : impl_(std::make_unique<Impl>()) {
  impl_->edit.resize(Width, Height);
  impl_->edit.setHtml(QString::fromStdString(Html));
  QTextCursor cursor = impl_->edit.textCursor();
  cursor.setPosition(Cursor);
  impl_->edit.setTextCursor(cursor);
  impl_->LayOut();
}

TQtEditPeer::~TQtEditPeer() = default;

// As QTextEdit pastes HTML from the clipboard: a fragment read from it, inserted at the
// cursor as one undo step.
void TQtEditPeer::PasteHtml(const std::string& Html) {
  QTextCursor cursor = impl_->edit.textCursor();
  cursor.insertFragment(QTextDocumentFragment::fromHtml(QString::fromStdString(Html)));
  impl_->edit.setTextCursor(cursor);
}

void TQtEditPeer::Undo() {
  impl_->edit.undo();
}

void TQtEditPeer::Redo() {
  impl_->edit.redo();
}

int TQtEditPeer::Blocks() const {
  return impl_->edit.document()->blockCount();
}

TQtLaidOutText QtLayOutText(const TFont& Font, std::u16string_view Text, TTextDirection Direction,
                            int WrapWidth) {
  QTextLayout layout(ToQ(Text), PeerFont(Font));
  QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
  option.setWrapMode(WrapWidth > 0 ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                   : QTextOption::NoWrap);
  option.setTextDirection(ToQDirection(Direction));
  layout.setTextOption(option);
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
    if (WrapWidth > 0) line.setLineWidth(WrapWidth);
  layout.endLayout();
  TQtLaidOutText laidOut;
  qreal width = 0;
  for (laidOut.Lines = 0; laidOut.Lines < layout.lineCount(); ++laidOut.Lines)
    width = std::max(width, layout.lineAt(laidOut.Lines).naturalTextWidth());
  laidOut.Width = qRound(width);
  return laidOut;
}
