#include "platform/gui/graphics/printer.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <optional>

#include "platform/gui/graphics/canvas.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/sys/atomic_file.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/shown_text.h"
#include "platform/text/sysutils.h"

struct TPrinter::Impl {
  std::string fileName;  // empty for a system printer
  QBuffer pdf;           // the PDF until it is written whole
  std::unique_ptr<QPdfWriter> writer;
  std::unique_ptr<QPrinter> printer;
  QPainter painter;
  TCanvas canvas;
  std::optional<TCanvasPainting> painting;
  std::string error;

  QPagedPaintDevice* Device() const {
    return writer ? static_cast<QPagedPaintDevice*>(writer.get()) : printer.get();
  }
};

namespace {

QPageLayout SheetLayout(TPaperSize paper) {
  return QPageLayout(QPageSize(QSizeF(paper.WidthMM, paper.HeightMM), QPageSize::Millimeter),
                     QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

}  // namespace

TPrinter::TPrinter(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

TPrinter::~TPrinter() {
  impl_->painting.reset();
  if (impl_->painter.isActive()) impl_->painter.end();
}

std::unique_ptr<TPrinter> TPrinter::ForPdfFile(const std::string& fileName, TPaperSize paper,
                                               int pixelsPerInch) {
  auto impl = std::make_unique<Impl>();
  impl->fileName = fileName;
  impl->writer = std::make_unique<QPdfWriter>(&impl->pdf);
  impl->writer->setResolution(pixelsPerInch);
  impl->writer->setPageLayout(SheetLayout(paper));
  impl->writer->setCreator("Velmora");
  return std::unique_ptr<TPrinter>(new TPrinter(std::move(impl)));
}

std::unique_ptr<TPrinter> TPrinter::ForSystemPrinter(const std::string& printerName,
                                                     TPaperSize paper) {
  auto impl = std::make_unique<Impl>();
  impl->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (!printerName.empty()) impl->printer->setPrinterName(ToQString(printerName));
  impl->printer->setFullPage(true);
  impl->printer->setPageLayout(SheetLayout(paper));
  return std::unique_ptr<TPrinter>(new TPrinter(std::move(impl)));
}

bool TPrinter::BeginDoc(const std::string& title) {
  Impl& p = *impl_;
  if (p.writer) {
    p.writer->setTitle(ToQString(title));
    p.pdf.buffer().clear();
    p.pdf.open(QIODevice::WriteOnly);
  } else {
    p.printer->setDocName(ToQString(title));
    if (!p.printer->isValid()) {
      p.error = "The printer \"" + FromQString(p.printer->printerName()) + "\" cannot be used";
      return false;
    }
  }
  if (!p.painter.begin(p.Device())) {
    p.error = p.writer ? "Cannot start the PDF file " + ShownFileName(p.fileName)
                       : "Cannot start printing";
    return false;
  }
  p.painting.emplace(p.canvas, p.painter, false);
  return true;
}

void TPrinter::NewPage() {
  impl_->Device()->newPage();
}

bool TPrinter::EndDoc() {
  Impl& p = *impl_;
  p.painting.reset();
  if (!p.painter.end()) {
    p.error =
        p.writer ? "Cannot finish the PDF file " + ShownFileName(p.fileName) : "Printing failed";
    return false;
  }
  if (!p.writer) return true;
  p.pdf.close();
  try {
    const QByteArray& bytes = p.pdf.buffer();
    SaveFileAtomically(p.fileName, std::string_view(bytes.constData(), size_t(bytes.size())));
  } catch (const Exception& e) {
    p.error = e.Message();
    return false;
  }
  return true;
}

TCanvas& TPrinter::Canvas() {
  return impl_->canvas;
}

int TPrinter::PageWidth() const {
  return impl_->Device()->width();
}

int TPrinter::PageHeight() const {
  return impl_->Device()->height();
}

int TPrinter::PixelsPerInchX() const {
  return impl_->Device()->logicalDpiX();
}

int TPrinter::PixelsPerInchY() const {
  return impl_->Device()->logicalDpiY();
}

const std::string& TPrinter::Error() const {
  return impl_->error;
}
