#include "gif/gif_picture.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "gif/gif_painter.h"
#include "gif/gif_settings.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/streams.h"

// --- items ------------------------------------------------------------------------------

void TGIFItem::Warning(const std::string& Message) {
  if (image_) image_->Warning(Message);
}

// Composed whole in memory first: a save that fails half way leaves the old file.
void TGIFItem::SaveToFile(const std::string& FileName) {
  TMemoryStream stream;
  SaveToStream(stream);
  stream.SaveToFile(FileName);
}

void TGIFItem::LoadFromFile(const std::string& FileName) {
  TFileStream stream(FileName, fmOpenRead);
  LoadFromStream(stream);
}

// --- header -------------------------------------------------------------------------------

namespace {
constexpr int kSignatureSize = 6;
constexpr int kDescriptorSize = 7;
constexpr std::uint8_t kGlobalTableFlag = 0x80;
constexpr std::uint8_t kSortFlag = 0x08;
// A picture stored inside another file may carry a 4-byte length before the signature.
constexpr int kStoredLengthSize = 4;

bool IsGIFSignature(const std::uint8_t* Bytes) {
  return std::toupper(Bytes[0]) == 'G' && std::toupper(Bytes[1]) == 'I' &&
         std::toupper(Bytes[2]) == 'F';
}

// The screen is what drawing the picture allocates, whatever its frames cover: a header
// of a few bytes must not ask for gigabytes.
void CheckScreenSize(int Width, int Height, long long BytesLeft) {
  const long long pixels = static_cast<long long>(Width) * Height;
  if (pixels > MaximumPicturePixels ||
      (pixels > MaximumUnfilledScreenPixels && pixels > BytesLeft * MaximumPixelsPerDataByte))
    Error(Format(LocalText(kPictureTooLargeText), Width, Height));
}
}  // namespace

GIFVersion TGIFHeader::GetVersion() const {
  return (ColorMap.Optimized || AspectRatio != 0) ? Version89a : Version87a;
}

void TGIFHeader::Clear() {
  ColorMap.Clear();
  Width = 0;
  Height = 0;
  BackgroundColorIndex = 0;
  AspectRatio = 0;
  Prepare();
}

void TGIFHeader::Assign(const TGIFHeader& Source) {
  Width = Source.Width;
  Height = Source.Height;
  PackedFields = Source.PackedFields;
  BackgroundColorIndex = Source.BackgroundColorIndex;
  AspectRatio = Source.AspectRatio;
  ColorMap.Assign(Source.ColorMap);
}

void TGIFHeader::Prepare() {
  PackedFields = 0;
  if (ColorMap.Count() > 0) PackedFields |= kGlobalTableFlag;
  if (ColorMap.Optimized) PackedFields |= kSortFlag;
  if (!image_) return;
  PackedFields |= (image_->ColorResolution() << 4) & 0x70;
  PackedFields |= (image_->BitsPerPixel() - 1) & 7;
}

void TGIFHeader::LoadFromStream(TStream& Stream) {
  const auto start = Stream.Position();
  std::uint8_t signature[kSignatureSize];
  ReadCheck(Stream, signature, kSignatureSize);
  if (!IsGIFSignature(signature)) {
    Stream.Seek(start + kStoredLengthSize, soBeginning);
    ReadCheck(Stream, signature, kSignatureSize);
    if (!IsGIFSignature(signature)) Error("Invalid GIF signature");
  }
  // The version text is not checked: it is recomputed from the content on writing.
  std::uint8_t descriptor[kDescriptorSize];
  ReadCheck(Stream, descriptor, kDescriptorSize);
  Width = static_cast<std::uint16_t>(descriptor[0] | (descriptor[1] << 8));
  Height = static_cast<std::uint16_t>(descriptor[2] | (descriptor[3] << 8));
  PackedFields = descriptor[4];
  BackgroundColorIndex = descriptor[5];
  AspectRatio = descriptor[6];
  CheckScreenSize(Width, Height, Stream.Size() - Stream.Position());
  if (PackedFields & kGlobalTableFlag)
    ColorMap.LoadFromStream(Stream, 2 << (PackedFields & 7));
  else
    ColorMap.Clear();
}

void TGIFHeader::SaveToStream(TStream& Stream) {
  const GIFVersion version = image_ ? image_->GetVersion() : GetVersion();
  if (version == VersionUnknown) Error("Unsupported GIF version");
  Stream.WriteBuffer("GIF", 3);
  Stream.WriteBuffer(GIFVersionText(version), 3);
  Prepare();
  const std::uint8_t descriptor[kDescriptorSize] = {static_cast<std::uint8_t>(Width),
                                                    static_cast<std::uint8_t>(Width >> 8),
                                                    static_cast<std::uint8_t>(Height),
                                                    static_cast<std::uint8_t>(Height >> 8),
                                                    PackedFields,
                                                    BackgroundColorIndex,
                                                    AspectRatio};
  Stream.WriteBuffer(descriptor, kDescriptorSize);
  // The table is padded to the size the packed fields announce.
  if (PackedFields & kGlobalTableFlag) ColorMap.SaveToStream(Stream, 2 << (PackedFields & 7));
}

// --- frame list and trailer -----------------------------------------------------------------

namespace {
// Reads bytes until a non-zero one; false at the end of the stream.
bool SkipZeroBytes(TStream& Stream, std::uint8_t& Byte) {
  do {
    if (Stream.Read(&Byte, 1) != 1) return false;
  } while (Byte == 0);
  return true;
}

int Percent(std::int64_t Done, std::int64_t Total) {
  return Total > 0 ? static_cast<int>(Done * 100 / Total) : 100;
}
}  // namespace

void TGIFPictureList::LoadFromStream(TStream& Stream, TGIFPicture& Parent) {
  struct TReadEnd {
    long long& Pixels;
    ~TReadEnd() { Pixels = 0; }
  } read_end{pixels_read_};
  std::uint8_t b = 0;
  if (!SkipZeroBytes(Stream, b)) return;
  for (;;) {
    Stream.Seek(-1, soCurrent);
    if (b == bsTrailer) return;
    if (b != bsExtensionIntroducer && b != bsImageSeparator) {
      Parent.Warning("Unknown GIF block type");
      Stream.Seek(-1, soCurrent);
      return;
    }
    auto frame = std::make_unique<TGIFSubImage>(&Parent);
    frame->LoadFromStream(Stream);
    pixels_read_ += frame->DataSize();
    Add(std::move(frame));
    Parent.Progress(psRunning, Percent(Stream.Position(), Stream.Size()), RenderOnLoad,
                    "Loading...");
    if (!SkipZeroBytes(Stream, b)) return;
  }
}

void TGIFPictureList::SaveToStream(TStream& Stream) const {
  for (int i = 0; i < Count(); ++i) {
    (*this)[i].SaveToStream(Stream);
    if (Image) Image->Progress(psRunning, Percent(i + 1, Count()), false, "Saving...");
  }
}

void TGIFTrailer::SaveToStream(TStream& Stream) {
  WriteByte(Stream, bsTrailer);
}

void TGIFTrailer::LoadFromStream(TStream& Stream) {
  std::uint8_t b = 0;
  if (Stream.Read(&b, 1) == 1 && b != bsTrailer) Warning("Invalid Image trailer");
}

// --- picture ------------------------------------------------------------------------------------

TGIFPicture::TGIFPicture()
    : DrawOptions(DefaultDrawOptions),
      ColorReduction(DefaultColorReduction),
      ReductionBits(DefaultReductionBits),
      DitherMode(DefaultDitherMode),
      Compression(DefaultCompression),
      ThreadPriority(DefaultThreadPriority),
      AnimationSpeed(DefaultAnimationSpeed) {
  Images.Image = this;
  Clear();
}

TGIFPicture::~TGIFPicture() {
  StopAnimation();
  Clear();
}

GIFVersion TGIFPicture::GetVersion() const {
  if (Images.Count() == 0) return VersionUnknown;
  // The screen descriptor's sort flag and aspect ratio are 89a features too.
  GIFVersion version = Header.GetVersion();
  for (int i = 0; i < Images.Count() && version != Version89a; ++i)
    version = std::max(version, Images[i].GetVersion());
  return version;
}

int TGIFPicture::ColorResolution() const {
  int resolution = std::max(Header.ColorMap.BitsPerPixel() - 1, 0);
  for (int i = 0; i < Images.Count(); ++i)
    resolution = std::max(resolution, Images[i].ColorMap.BitsPerPixel() - 1);
  return resolution;
}

int TGIFPicture::BitsPerPixel() const {
  int bits = Header.ColorMap.BitsPerPixel();
  for (int i = 0; i < Images.Count(); ++i) bits = std::max(bits, Images[i].ColorMap.BitsPerPixel());
  return bits;
}

void TGIFPicture::Warning(const std::string& Message) {
  if (OnWarning) OnWarning(this, GIFWarningSeverity, Message);
}

void TGIFPicture::Progress(TProgressStage Stage, int PercentDone, bool RedrawNow,
                           const std::string& Message) {
  if (OnProgress)
    OnProgress(this, Stage, PercentDone, RedrawNow, Rect(0, 0, Width(), Height()), Message);
}

void TGIFPicture::Changed() const {
  if (OnChange) OnChange();
}

void TGIFPicture::Clear() {
  StopAnimation();
  FreeBitmap();
  Images.Clear();
  Header.Clear();
  global_palette_.reset();
}

void TGIFPicture::LoadFromStream(TStream& Stream) {
  Progress(psStarting, 0, false, "Loading...");
  Clear();
  const auto start = Stream.Position();
  try {
    Header.LoadFromStream(Stream);
    Images.LoadFromStream(Stream, *this);
    TGIFTrailer(this).LoadFromStream(Stream);
  } catch (const std::exception& error) {
    // The stream goes back to where the picture started; what was read is kept.
    Stream.Seek(start, soBeginning);
    Progress(psEnding, 0, true, "Loading...");
    if (dynamic_cast<const GIFException*>(&error)) throw;
    throw GIFException(error.what());
  }
  Progress(psEnding, 100, true, "Loading...");
}

void TGIFPicture::SaveToStream(TStream& Stream) const {
  // Writing recomputes the packed fields the header keeps; nothing else changes.
  auto& self = const_cast<TGIFPicture&>(*this);
  self.Progress(psStarting, 0, false, "Saving...");
  try {
    self.Header.SaveToStream(Stream);
    self.Images.SaveToStream(Stream);
    TGIFTrailer(&self).SaveToStream(Stream);
  } catch (const std::exception& error) {
    self.Progress(psEnding, 0, false, "Saving...");
    if (dynamic_cast<const GIFException*>(&error)) throw;
    throw GIFException(error.what());  // a stream that failed to write
  }
  self.Progress(psEnding, 100, false, "Saving...");
}

std::unique_ptr<TGraphic> TGIFPicture::Clone() const {
  auto copy = std::make_unique<TGIFPicture>();
  copy->Assign(*this);
  return copy;
}

void TGIFPicture::SetWidth(int Value) {
  for (int i = 0; i < Images.Count(); ++i)
    if (Images[i].Left() + Images[i].Width() > Value)
      Error("Image width too small for contained frames");
  if (Value == Header.Width) return;
  Header.Width = static_cast<std::uint16_t>(Value);
  FreeBitmap();
  Changed();
}

void TGIFPicture::SetHeight(int Value) {
  for (int i = 0; i < Images.Count(); ++i)
    if (Images[i].Top() + Images[i].Height() > Value)
      Error("Image height too small for contained frames");
  if (Value == Header.Height) return;
  Header.Height = static_cast<std::uint16_t>(Value);
  FreeBitmap();
  Changed();
}

int TGIFPicture::Add(std::unique_ptr<TGIFSubImage> Frame) {
  // Painters walk the frames on their own threads: they end before the list changes.
  StopAnimation();
  const int index = Images.Add(std::move(Frame));
  FreeBitmap();
  Changed();
  return index;
}

int TGIFPicture::Add(const TGraphic& Source) {
  auto frame = std::make_unique<TGIFSubImage>(this);
  frame->Assign(Source);
  return Add(std::move(frame));
}

void TGIFPicture::Assign(const TGraphic& Source) {
  if (&Source == this) return;
  const auto* source = dynamic_cast<const TGIFPicture*>(&Source);
  if (!source) {
    Clear();
    Add(Source);
    return;
  }
  Clear();
  // The copy reports through the source's handlers; ours come back afterwards.
  TGIFWarningEvent own_warning = std::exchange(OnWarning, source->OnWarning);
  TGIFProgressEvent own_progress = std::exchange(OnProgress, source->OnProgress);
  const int count = source->Images.Count();
  Progress(psStarting, 0, false, "Copying...");
  try {
    Header.Assign(source->Header);
    ThreadPriority = source->ThreadPriority;
    BackgroundColor = source->BackgroundColor;
    DrawOptions = source->DrawOptions;
    ColorReduction = source->ColorReduction;
    DitherMode = source->DitherMode;
    ShownFrame = source->ShownFrame;
    OnPaintStart = source->OnPaintStart;
    OnFramePaint = source->OnFramePaint;
    OnFramePainted = source->OnFramePainted;
    OnLoopRestart = source->OnLoopRestart;
    OnPaintEnd = source->OnPaintEnd;
    for (int i = 0; i < count; ++i) {
      auto frame = std::make_unique<TGIFSubImage>(this);
      Images.Add(std::move(frame));
      Images[i].Assign(source->Images[i]);
      Progress(psRunning, Percent(i + 1, count), false, "Copying...");
    }
  } catch (...) {
    Progress(psEnding, 0, false, "Copying...");
    OnWarning = std::move(own_warning);
    OnProgress = std::move(own_progress);
    throw;
  }
  Progress(psEnding, 100, false, "Copying...");
  OnWarning = std::move(own_warning);
  OnProgress = std::move(own_progress);
  Changed();
}

void TGIFPicture::AssignTo(TBitmap& Dest) const {
  if (TBitmap* rendered = Bitmap()) Dest.Assign(*rendered);
}
