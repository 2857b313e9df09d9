#include "platform/gui/standard/clipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <map>
#include <utility>

#include "platform/gui/controls/drag_drop_qt.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/qt_string_qt.h"
#include "platform/text/streams.h"

namespace {

constexpr unsigned kFirstNamedFormat = 0xC000;

struct NamedFormat {
  unsigned id;
  QStringList mime_types;
};

std::map<std::string, NamedFormat>& NamedFormats() {
  static std::map<std::string, NamedFormat> formats;
  return formats;
}

// Names other programs know by their MIME types; the others travel as in drags.
QStringList SystemMimeTypes(const std::string& Name) {
  if (Name == "Rich Text Format") return {"text/rtf", "application/rtf"};
  return {MimeTypeOfFormat(Name)};
}

const QStringList* MimeTypes(unsigned Format) {
  for (const auto& [name, format] : NamedFormats())
    if (format.id == Format) return &format.mime_types;
  return nullptr;
}

bool IsText(unsigned Format) {
  return Format == CF_TEXT || Format == CF_UNICODETEXT;
}

// The program's texts end their lines with CR LF; the other programs here expect LF.
QString TextOf(unsigned Format, const std::string& Bytes) {
  QString text;
  if (Format == CF_TEXT) {
    text = ToQString(Bytes.substr(0, Bytes.find('\0')));
  } else {
    text = QString(reinterpret_cast<const QChar*>(Bytes.data()),
                   static_cast<qsizetype>(Bytes.size() / 2));
    if (const qsizetype end = text.indexOf(QChar(0)); end >= 0) text.truncate(end);
  }
  return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::string BytesOf(unsigned Format, QString Text) {
  Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Text.replace(QChar('\n'), QStringLiteral("\r\n"));
  if (Format == CF_TEXT) return FromQString(Text);
  return std::string(reinterpret_cast<const char*>(Text.utf16()),
                     static_cast<std::size_t>(Text.size()) * 2);
}

}  // namespace

unsigned RegisterClipboardFormat(const std::string& Name, std::vector<std::string> MimeTypes) {
  auto& formats = NamedFormats();
  const auto found = formats.find(Name);
  if (found != formats.end()) return found->second.id;
  QStringList types;
  for (const std::string& type : MimeTypes) types.append(QString::fromStdString(type));
  if (types.isEmpty()) types = SystemMimeTypes(Name);
  const unsigned id = kFirstNamedFormat + static_cast<unsigned>(formats.size());
  formats.emplace(Name, NamedFormat{id, types});
  return id;
}

unsigned RegisterClipboardFormat(const std::string& Name) {
  return RegisterClipboardFormat(Name, {});
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

void TClipboard::Abort() {
  impl_->pending.reset();
  impl_->open_count = 0;
}

void TClipboard::Clear() {
  if (impl_->open_count > 0) {
    // Replaced at Close, so that the old content lives until the new one is complete.
    impl_->pending = std::make_unique<QMimeData>();
    return;
  }
  impl_->pending.reset();
  QGuiApplication::clipboard()->clear();
}

// --- reading ----------------------------------------------------------------------------

namespace {

// An empty answer this late (milliseconds) is a request the owner left to time out.
constexpr qint64 kUnanswered = 1000;

const QString kImageFormat = QStringLiteral("application/x-qt-image");
const QString kTextFormat = QStringLiteral("text/plain");
const QString kUrlsFormat = QStringLiteral("text/uri-list");

const QMimeData* ClipboardData() {
  return QGuiApplication::clipboard()->mimeData();
}

}  // namespace

struct TClipboardOffer::Impl {
  QStringList formats;
  std::map<QString, QVariant> read;
  bool ended = false;

  Impl() {
    // The data object is asked for anew each time: the system may replace it while a
    // request waits.
    if (const QMimeData* data = ClipboardData()) formats = data->formats();
  }
  bool Offers(const QString& type) const { return formats.contains(type); }
  bool OffersText() const { return Offers(kTextFormat) || Offers(kUrlsFormat); }
  // The value of a format, asked for once; an empty answer ends the offer.
  template <class Read>
  const QVariant& Value(const QString& key, const Read& read) {
    const auto found = this->read.find(key);
    if (found != this->read.end()) return found->second;
    QVariant value;
    QElapsedTimer waited;
    waited.start();
    if (!ended)
      if (const QMimeData* data = ClipboardData()) value = read(*data);
    // Nothing after a wait: the owner let the request time out.
    if ((!value.isValid() || value.toByteArray().isEmpty()) && waited.elapsed() >= kUnanswered)
      ended = true;
    return this->read.emplace(key, std::move(value)).first->second;
  }
};

TClipboardOffer::TClipboardOffer() : impl_(std::make_unique<Impl>()) {}
TClipboardOffer::~TClipboardOffer() = default;
TClipboardOffer::TClipboardOffer(TClipboardOffer&&) noexcept = default;
TClipboardOffer& TClipboardOffer::operator=(TClipboardOffer&&) noexcept = default;

bool TClipboardOffer::HasFormat(unsigned Format) const {
  if (Format == CF_BITMAP) return impl_->Offers(kImageFormat);
  if (IsText(Format)) return impl_->OffersText();
  if (const QStringList* types = MimeTypes(Format))
    for (const QString& type : *types)
      if (impl_->Offers(type)) return true;
  return false;
}

std::string TClipboardOffer::GetAsBytes(unsigned Format) {
  if (IsText(Format)) {
    if (!impl_->OffersText()) return {};
    const QVariant& text =
        impl_->Value(kTextFormat, [](const QMimeData& data) { return QVariant(data.text()); });
    return text.isValid() ? BytesOf(Format, text.toString()) : std::string();
  }
  const QStringList* types = MimeTypes(Format);
  if (!types) return {};
  for (const QString& type : *types)
    if (impl_->Offers(type)) {
      const QByteArray bytes =
          impl_->Value(type, [&type](const QMimeData& data) { return QVariant(data.data(type)); })
              .toByteArray();
      return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
  return {};
}

bool TClipboardOffer::GetBitmap(TBitmap& Bitmap) {
  if (!impl_->Offers(kImageFormat)) return false;
  const QVariant& value = impl_->Value(kImageFormat, [](const QMimeData& data) {
    const QImage image = qvariant_cast<QImage>(data.imageData());
    if (image.isNull()) return QVariant();
    // Through BMP bytes, the format both sides read and write.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return QVariant(bytes);
  });
  const QByteArray bytes = value.toByteArray();
  if (bytes.isEmpty()) return false;
  TMemoryStream stream;
  stream.WriteBuffer(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  Bitmap.LoadFromStream(stream);
  return true;
}

TClipboardOffer TClipboard::Offer() const {
  return TClipboardOffer();
}

bool TClipboard::HasFormat(unsigned Format) const {
  return Offer().HasFormat(Format);
}

std::string TClipboard::GetAsBytes(unsigned Format) const {
  return Offer().GetAsBytes(Format);
}

void TClipboard::SetAsBytes(unsigned Format, const std::string& Bytes) {
  if (IsText(Format)) {
    impl_->Target().setText(TextOf(Format, Bytes));
  } else {
    const QStringList* types = MimeTypes(Format);
    if (!types) return;
    const QByteArray bytes(Bytes.data(), static_cast<qsizetype>(Bytes.size()));
    for (const QString& type : *types) impl_->Target().setData(type, bytes);
  }
  impl_->Commit();
}

bool TClipboard::GetBitmap(TBitmap& Bitmap) const {
  return Offer().GetBitmap(Bitmap);
}

void TClipboard::SetBitmap(const TBitmap& Bitmap) {
  TMemoryStream stream;
  Bitmap.SaveToStream(stream);
  const QImage image = QImage::fromData(static_cast<const uchar*>(stream.Memory()),
                                        static_cast<int>(stream.Size()), "BMP");
  impl_->Target().setImageData(image);
  // Spelled out, so that programs that ask for PNG alone find it too.
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  impl_->Target().setData("image/png", png);
  impl_->Commit();
}

TClipboard& Clipboard() {
  static TClipboard clipboard;
  return clipboard;
}

void SetPrimarySelection(const std::string& UnicodeText) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard->supportsSelection())
    clipboard->setText(TextOf(CF_UNICODETEXT, UnicodeText), QClipboard::Selection);
}

std::string PrimarySelection() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard->supportsSelection()) return {};
  return BytesOf(CF_UNICODETEXT, clipboard->text(QClipboard::Selection));
}
