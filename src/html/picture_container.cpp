#include "html/picture_container.h"

#include <algorithm>

#include "gif/gif_picture.h"
#include "html/component_version.h"
#include "platform/gui/graphics/jpeg_image.h"
#include "platform/sys/files.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"

namespace {

constexpr std::uint32_t kContainerVersion = 0x01020000;

bool StartsWithText(const std::string& S, const std::string& Prefix) {
  return S.size() >= Prefix.size() && UpperCase(S.substr(0, Prefix.size())) == Prefix;
}

std::unique_ptr<TGraphic> NewGraphicFor(const std::vector<std::uint8_t>& Data) {
  if (Data.size() >= 2 && Data[0] == 'B' && Data[1] == 'M') return std::make_unique<TBitmap>();
  if (Data.size() >= 3 && Data[0] == 0xFF && Data[1] == 0xD8 && Data[2] == 0xFF)
    return std::make_unique<TJPEGImage>();
  return nullptr;
}

std::vector<std::string>& PictureFolders() {
  static std::vector<std::string> folders;
  return folders;
}

bool InPictureFolder(const std::string& FileName) {
  return std::ranges::any_of(PictureFolders(), [&FileName](const std::string& Folder) {
    return FileIsInFolder(FileName, Folder);
  });
}

}  // namespace

void SetPictureFolders(std::vector<std::string> Folders) {
  PictureFolders() = std::move(Folders);
}

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

bool THTMLPicture::IsGif() const {
  return data_.size() >= 5 && std::equal(data_.begin(), data_.begin() + 4, "GIF8");
}

void THTMLPicture::Decode() {
  frames_.clear();
  gif_.reset();
  graphic_.reset();
  frame_left_ = frame_top_ = 0;
  TMemoryStream stream;
  stream.WriteBuffer(data_.data(), std::int64_t(data_.size()));
  stream.SetPosition(0);
  try {
    if (IsGif()) {
      auto gif = std::make_unique<TGIFPicture>();
      gif->LoadFromStream(stream);
      gif_ = std::move(gif);
      // Extensions after the last image come as a frame without pixels; it is none.
      for (int n = 0; n < gif_->Images.Count(); ++n)
        if (!gif_->Images[n].Empty()) frames_.push_back(&gif_->Images[n]);
      SelectFrame();
      return;
    }
    std::unique_ptr<TGraphic> graphic = NewGraphicFor(data_);
    if (graphic) {
      graphic->LoadFromStream(stream);
      graphic_ = std::move(graphic);
      return;
    }
  } catch (const EInvalidGraphic&) {
  } catch (const EStreamError&) {
  }
  throw EInvalidGraphic("Could not load image. Invalid format");
}

TGIFSubImage* THTMLPicture::ShownFrame() const {
  return frame_ >= 1 && frame_ <= int(frames_.size()) ? frames_[std::size_t(frame_ - 1)] : nullptr;
}

void THTMLPicture::SelectFrame() {
  const TGIFSubImage* shown = ShownFrame();
  frame_left_ = shown ? shown->Left() : 0;
  frame_top_ = shown ? shown->Top() : 0;
}

int THTMLPicture::Width() const {
  if (graphic_) return graphic_->Width();
  const TGIFSubImage* shown = ShownFrame();
  return shown ? shown->Width() : 0;
}

int THTMLPicture::Height() const {
  if (graphic_) return graphic_->Height();
  const TGIFSubImage* shown = ShownFrame();
  return shown ? shown->Height() : 0;
}

int THTMLPicture::MaxWidth() const {
  if (gif_ && gif_->Header.Width != 0 && Width() > 0) return gif_->Header.Width;
  return Width();
}

int THTMLPicture::MaxHeight() const {
  if (gif_ && gif_->Header.Height != 0 && Height() > 0) return gif_->Header.Height;
  return Height();
}

void THTMLPicture::Draw(TCanvas& Canvas, const TRect& Rect) const {
  if (empty_ || Width() <= 0 || Height() <= 0) return;
  const TRect target = Stretch ? Rect : Bounds(Rect.Left, Rect.Top, Width(), Height());
  if (graphic_) {
    Canvas.StretchDraw(target, *graphic_);
    return;
  }
  ShownFrame()->StretchDraw(Canvas, target, true, false);
}

void THTMLPicture::ReadData(TStream& Stream) {
  const std::int64_t size = Stream.Size() - Stream.Position();
  data_.resize(std::size_t(std::max<std::int64_t>(size, 0)));
  if (!data_.empty()) Stream.ReadBuffer(data_.data(), std::int64_t(data_.size()));
  empty_ = false;
  Decode();
}

void THTMLPicture::LoadFromStream(TStream& Stream) {
  ReadData(Stream);
  if (OnChange) OnChange(this);
}

void THTMLPicture::SaveToStream(TStream& Stream) const {
  if (!data_.empty()) Stream.WriteBuffer(data_.data(), std::int64_t(data_.size()));
}

std::unique_ptr<TGraphic> THTMLPicture::Clone() const {
  auto copy = std::make_unique<THTMLPicture>();
  copy->Assign(this);
  return copy;
}

void THTMLPicture::Reset() {
  empty_ = true;
  frames_.clear();
  gif_.reset();
  graphic_.reset();
  frame_count_ = -1;
  next_change_ = ticks_ = -1;
  frame_ = 1;
  frame_left_ = frame_top_ = 0;
}

void THTMLPicture::Assign(const THTMLPicture* Source) {
  Reset();
  if (!Source) {
    data_.clear();
    return;
  }
  Stretch = Source->Stretch;
  frame_ = Source->frame_;
  id_ = Source->id_;
  data_ = Source->data_;
  empty_ = false;
  Decode();
  if (OnChange) OnChange(this);
}

void THTMLPicture::LoadFromURL(const std::string& Source) {
  if (StartsWithText(Source, "RES://")) {
    id_ = Source;
    LoadFromResourceName(Source.substr(6));
    return;
  }
  if (StartsWithText(Source, "FILE://")) {
    id_ = Source;
    const std::string path = Source.substr(7);
    if (InPictureFolder(path)) LoadFromFile(path);
    return;
  }
  if (!LoadInBackground) {
    url_ = id_ = Source;
  } else if (!download_started_) {
    url_ = Source;
    download_started_ = true;
  }
}

void THTMLPicture::LoadFromResourceName(const std::string& Name) {
  std::string data;
  if (!ReadProgramResource(Name, data)) return;
  TMemoryStream stream;
  stream.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
  stream.SetPosition(0);
  LoadFromStream(stream);
}

void THTMLPicture::SetFrame(int Value) {
  frame_ = Value;
  if (data_.empty()) return;
  SelectFrame();
  if (OnFrameChange) OnFrameChange(this);
}

int THTMLPicture::FrameCount() {
  if (frame_count_ == -1 && IsGif()) frame_count_ = int(frames_.size());
  return frame_count_;
}

int THTMLPicture::FrameDelay(int Index) const {
  if (Index < 1 || Index > int(frames_.size())) return -1;
  const TGIFGraphicControlExtension* control =
      frames_[std::size_t(Index - 1)]->GraphicControlExtension;
  return control ? control->Delay : -1;
}

bool THTMLPicture::Step() {
  if (frame_count_ < 2 || empty_) return false;
  bool changed = false;
  if (ticks_ * 10 >= next_change_) {
    frame_ = frame_ >= frame_count_ ? 1 : frame_ + 1;
    SelectFrame();
    next_change_ += std::max(FrameDelay(frame_), 0);
    changed = true;
  }
  ++ticks_;
  return changed;
}

THTMLPicture& THTMLPictureCache::AddPicture() {
  pictures_.push_back(std::make_unique<THTMLPicture>());
  return *pictures_.back();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::string& ID) const {
  for (const auto& picture : pictures_)
    if (picture->ID() == ID) return picture.get();
  return nullptr;
}

bool THTMLPictureCache::Animate() {
  bool changed = false;
  for (const auto& picture : pictures_) changed = picture->Step() || changed;
  return changed;
}

void TPictureItem::Assign(const TPictureItem& Source) {
  Name = Source.Name;
  Tag = Source.Tag;
  Picture.Assign(&Source.Picture);
}

TPictureItem& TPictureCollection::Add() {
  items_.push_back(std::make_unique<TPictureItem>());
  return *items_.back();
}

bool TPictureCollection::Animate() {
  bool changed = false;
  for (const auto& item : items_) changed = item->Picture.Step() || changed;
  return changed;
}

THTMLPicture* TPictureContainer::FindPicture(const std::string& Name) {
  const std::string wanted = UpperCase(Name);
  for (int n = 0; n < items_.Count(); ++n)
    if (UpperCase(items_.Items(n).Name) == wanted) return &items_.Items(n).Picture;
  return nullptr;
}

std::string TPictureContainer::Version() const {
  return ComponentVersion(kContainerVersion);
}
