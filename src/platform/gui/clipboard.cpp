#include "platform/gui/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <map>

#include "platform/gui/bitmap.h"
#include "platform/gui/drag_drop_qt.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/streams.h"

namespace {

constexpr unsigned kFirstNamedFormat = 0xC000;

std::map<std::string, unsigned>& NamedFormats() {
  static std::map<std::string, unsigned> formats;
  return formats;
}

// Named formats travel as MIME types of their own, as they do in drags.
QString MimeType(unsigned Format) {
  for (const auto& [name, id] : NamedFormats())
    if (id == Format) return MimeTypeOfFormat(name);
  return {};
}

}  // namespace

unsigned RegisterClipboardFormat(const std::string& Name) {
  auto& formats = NamedFormats();
  const auto found = formats.find(Name);
  if (found != formats.end()) return found->second;
  const unsigned id = kFirstNamedFormat + static_cast<unsigned>(formats.size());
  formats.emplace(Name, id);
  return id;
}

struct TClipboard::Impl {
  std::unique_ptr<QMimeData> pending;  // collected between Open and Close
  int open_count = 0;

  QMimeData& Target() {
    if (!pending) pending = std::make_unique<QMimeData>();
    return *pending;
  }
  void Commit() {
    if (open_count == 0 && pending) QGuiApplication::clipboard()->setMimeData(pending.release());
  }
};

TClipboard::TClipboard() : impl_(std::make_unique<Impl>()) {}
TClipboard::~TClipboard() = default;

void TClipboard::Open() {
  ++impl_->open_count;
}

void TClipboard::Close() {
  if (impl_->open_count > 0) --impl_->open_count;
  impl_->Commit();
}

void TClipboard::Clear() {
  impl_->pending.reset();
  QGuiApplication::clipboard()->clear();
}

bool TClipboard::HasFormat(unsigned Format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data) return false;
  if (Format == CF_BITMAP) return data->hasImage();
  const QString mime = MimeType(Format);
  return !mime.isEmpty() && data->hasFormat(mime);
}

std::string TClipboard::GetAsBytes(unsigned Format) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString mime = MimeType(Format);
  if (!data || mime.isEmpty()) return {};
  const QByteArray bytes = data->data(mime);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TClipboard::SetAsBytes(unsigned Format, const std::string& Bytes) {
  const QString mime = MimeType(Format);
  if (mime.isEmpty()) return;
  impl_->Target().setData(mime, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
  impl_->Commit();
}

bool TClipboard::GetBitmap(TBitmap& Bitmap) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasImage()) return false;
  const QImage image = qvariant_cast<QImage>(data->imageData());
  if (image.isNull()) return false;
  // Through BMP bytes, the format both sides read and write.
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  TMemoryStream stream;
  stream.WriteBuffer(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  Bitmap.LoadFromStream(stream);
  return true;
}

void TClipboard::SetBitmap(const TBitmap& Bitmap) {
  TMemoryStream stream;
  Bitmap.SaveToStream(stream);
  const QImage image = QImage::fromData(static_cast<const uchar*>(stream.Memory()),
                                        static_cast<int>(stream.Size()), "BMP");
  impl_->Target().setImageData(image);
  impl_->Commit();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}
