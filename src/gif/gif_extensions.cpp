#include "gif/gif_extensions.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "gif/gif_bytes.h"
#include "gif/gif_frame.h"
#include "gif/gif_picture.h"
#include "platform/text/streams.h"

namespace {

template <class T>
std::unique_ptr<TGIFExtension> CreateExtension(TGIFSubImage* SubImage) {
  return std::make_unique<T>(SubImage);
}

const TGIFExtensionClass* RefineApplicationExtension(TStream& Stream);

const TGIFExtensionClass kTextClass{bsPlainTextExtension, nullptr,
                                    &CreateExtension<TGIFTextExtension>};
const TGIFExtensionClass kGraphicControlClass{bsGraphicControlExtension, nullptr,
                                              &CreateExtension<TGIFGraphicControlExtension>};
const TGIFExtensionClass kCommentClass{bsCommentExtension, nullptr,
                                       &CreateExtension<TGIFCommentExtension>};
// Application blocks are always refined to a class that can read their data; a block
// the refinement cannot place is read as unknown data (whose reading rejects sizes
// below 10).
const TGIFExtensionClass kUnknownAppClass{bsApplicationExtension, nullptr,
                                          &CreateExtension<TGIFUnknownAppExtension>};
const TGIFExtensionClass kApplicationClass{bsApplicationExtension, &RefineApplicationExtension,
                                           &CreateExtension<TGIFUnknownAppExtension>};
const TGIFExtensionClass kLoopClass{bsApplicationExtension, nullptr,
                                    &CreateExtension<TGIFAppExtNSLoop>};

// Label registry; searched from the last entry, so a later entry for a label wins.
const std::vector<std::pair<std::uint8_t, const TGIFExtensionClass*>>& ExtensionRegistry() {
  static const std::vector<std::pair<std::uint8_t, const TGIFExtensionClass*>> registry{
      {bsPlainTextExtension, &kTextClass},
      {bsGraphicControlExtension, &kGraphicControlClass},
      {bsCommentExtension, &kCommentClass},
      {bsApplicationExtension, &kApplicationClass},
  };
  return registry;
}

TGIFApplicationIdent MakeIdent(const char (&Text)[12]) {
  TGIFApplicationIdent ident{};
  std::memcpy(ident.data(), Text, ident.size());
  return ident;
}

// Application registry: all 11 identifier bytes must match; searched from the last entry.
const std::vector<std::pair<TGIFApplicationIdent, const TGIFExtensionClass*>>& AppRegistry() {
  static const std::vector<std::pair<TGIFApplicationIdent, const TGIFExtensionClass*>> registry{
      {MakeIdent("NETSCAPE2.0"), &kLoopClass},
      {MakeIdent("ANIMEXTS1.0"), &kLoopClass},
  };
  return registry;
}

// The stream stands after the label.
const TGIFExtensionClass* RefineApplicationExtension(TStream& Stream) {
  std::uint8_t size = 0;
  if (Stream.Read(&size, 1) != 1) return nullptr;
  TGIFApplicationIdent ident{};
  // Some writers give the identifier block size 10 instead of 11.
  if (size == 10) return Stream.Read(ident.data(), 10) == 10 ? &kUnknownAppClass : nullptr;
  if (size == 11 && Stream.Read(ident.data(), 11) == 11) {
    const auto& registry = AppRegistry();
    for (auto it = registry.rbegin(); it != registry.rend(); ++it)
      if (it->first == ident) return it->second;
  }
  return &kUnknownAppClass;
}

void SkipBytes(TStream& Stream, int Count) {
  if (Count != 0) Stream.Seek(Count, soCurrent);
}

}  // namespace

// --- base ---------------------------------------------------------------------------

TGIFExtension::TGIFExtension(TGIFSubImage* SubImage)
    : TGIFItem(SubImage ? SubImage->Image() : nullptr), sub_image_(SubImage) {}

const TGIFExtensionClass* TGIFExtension::FindExtension(TStream& Stream) {
  const auto start = Stream.Position();
  const TGIFExtensionClass* found = nullptr;
  std::uint8_t label = 0;
  if (Stream.Read(&label, 1) == 1) {
    const auto& registry = ExtensionRegistry();
    for (auto it = registry.rbegin(); it != registry.rend() && !found; ++it)
      if (it->first == label) found = it->second;
  }
  while (found && found->Refine) {
    const TGIFExtensionClass* refined = found->Refine(Stream);
    if (!refined || refined == found) break;
    found = refined;
  }
  Stream.Seek(start, soBeginning);
  return found;
}

void TGIFExtension::SaveToStream(TStream& Stream) {
  WriteByte(Stream, bsExtensionIntroducer);
  WriteByte(Stream, ExtensionType());
}

void TGIFExtension::LoadFromStream(TStream& Stream) {
  std::uint8_t head[2];
  ReadCheck(Stream, head, 2);
  if (head[0] != bsExtensionIntroducer) Error("Invalid extension introducer");
  if (head[1] != ExtensionType())
    Error("Internal error: Extension Instance does not match Extension Label");
}

void TGIFExtensionList::LoadFromStream(TStream& Stream, TGIFSubImage* Parent) {
  std::uint8_t b = 0;
  if (Stream.Read(&b, 1) != 1) return;
  while (b != bsImageSeparator && b != bsTrailer) {
    if (b != bsExtensionIntroducer) {
      Parent->Warning("Invalid extension introducer");
      break;
    }
    const TGIFExtensionClass* cls = TGIFExtension::FindExtension(Stream);
    if (!cls) Error("Unknown extension type");
    Stream.Seek(-1, soCurrent);
    std::unique_ptr<TGIFExtension> extension = cls->Create(Parent);
    extension->LoadFromStream(Stream);
    Add(std::move(extension));
    if (Stream.Read(&b, 1) != 1) return;
  }
  Stream.Seek(-1, soCurrent);
}

// --- graphic control ------------------------------------------------------------------

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* SubImage)
    : TGIFExtension(SubImage) {
  if (sub_image_ && !sub_image_->GraphicControlExtension)
    sub_image_->GraphicControlExtension = this;
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  if (!sub_image_) return;
  if (Transparent()) sub_image_->Transparent = false;
  if (sub_image_->GraphicControlExtension == this) sub_image_->GraphicControlExtension = nullptr;
}

void TGIFGraphicControlExtension::SetTransparent(bool Value) {
  PackedFields = Value ? (PackedFields | kTransparentFlag) : (PackedFields & ~kTransparentFlag);
  if (sub_image_) {
    sub_image_->Transparent = Value;
    sub_image_->FreeBitmap();
  }
}

void TGIFGraphicControlExtension::SetUserInput(bool Value) {
  PackedFields = Value ? (PackedFields | kUserInputFlag) : (PackedFields & ~kUserInputFlag);
}

void TGIFGraphicControlExtension::SetDisposal(TGIFDisposalMethod Value) {
  PackedFields =
      static_cast<std::uint8_t>((PackedFields & ~kDisposalMask) | ((Value << 2) & kDisposalMask));
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int Index) {
  if (sub_image_) {
    const TGIFColorMap& map = sub_image_->ActiveColorMap();
    if (map.Count() > 0 && Index >= map.Count()) {
      Warning("Invalid color index");
      Index = 0;
    }
  }
  TransparentColorIndex = static_cast<std::uint8_t>(Index);
}

void TGIFGraphicControlExtension::SaveToStream(TStream& Stream) {
  TGIFExtension::SaveToStream(Stream);
  std::uint8_t block[6] = {BlockSize, PackedFields, 0, 0, TransparentColorIndex, Terminator};
  PutWord(block + 2, Delay);
  Stream.WriteBuffer(block, 6);
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& Stream) {
  TGIFExtension::LoadFromStream(Stream);
  std::uint8_t block[6] = {};
  // The block size byte is not trusted: the block is always 6 bytes.
  if (Stream.Read(block, 6) != 6) {
    Warning("Premature end of data");
    return;
  }
  BlockSize = block[0];
  PackedFields = block[1];
  Delay = GetWord(block + 2);
  TransparentColorIndex = block[4];
  Terminator = block[5];
  if (Transparent() && sub_image_) sub_image_->Transparent = true;
}

// --- plain text and comment -------------------------------------------------------------

void TGIFTextExtension::SaveToStream(TStream& Stream) {
  TGIFExtension::SaveToStream(Stream);
  std::uint8_t header[13] = {BlockSize};
  PutWord(header + 1, GridLeft);
  PutWord(header + 3, GridTop);
  PutWord(header + 5, GridWidth);
  PutWord(header + 7, GridHeight);
  header[9] = CellWidth;
  header[10] = CellHeight;
  header[11] = TextFGColorIndex;
  header[12] = TextBGColorIndex;
  Stream.WriteBuffer(header, 13);
  WriteStrings(Stream, Text);
}

void TGIFTextExtension::LoadFromStream(TStream& Stream) {
  TGIFExtension::LoadFromStream(Stream);
  std::uint8_t header[13];
  ReadCheck(Stream, header, 13);
  BlockSize = header[0];
  GridLeft = GetWord(header + 1);
  GridTop = GetWord(header + 3);
  GridWidth = GetWord(header + 5);
  GridHeight = GetWord(header + 7);
  CellWidth = header[9];
  CellHeight = header[10];
  TextFGColorIndex = header[11];
  TextBGColorIndex = header[12];
  ReadStrings(Stream, Text);
}

void TGIFCommentExtension::SaveToStream(TStream& Stream) {
  TGIFExtension::SaveToStream(Stream);
  WriteStrings(Stream, Text);
}

void TGIFCommentExtension::LoadFromStream(TStream& Stream) {
  TGIFExtension::LoadFromStream(Stream);
  ReadStrings(Stream, Text);
}

// --- application ----------------------------------------------------------------------

void TGIFApplicationExtension::SaveToStream(TStream& Stream) {
  TGIFExtension::SaveToStream(Stream);
  WriteByte(Stream, static_cast<std::uint8_t>(Ident.size()));
  Stream.WriteBuffer(Ident.data(), static_cast<int>(Ident.size()));
  SaveData(Stream);
}

void TGIFApplicationExtension::LoadFromStream(TStream& Stream) {
  TGIFExtension::LoadFromStream(Stream);
  std::uint8_t size = 0;
  ReadCheck(Stream, &size, 1);
  if (size < 10) Error("Unsupported Application Extension block size");
  ReadCheck(Stream, Ident.data(), static_cast<int>(Ident.size()));
  // Size 10 gave us one byte of the data too many; sizes above 11 carry bytes we skip.
  SkipBytes(Stream, size - static_cast<int>(Ident.size()));
  LoadData(Stream);
}

void TGIFUnknownAppExtension::SaveData(TStream& Stream) {
  for (const auto& block : Blocks) {
    WriteByte(Stream, static_cast<std::uint8_t>(block.size()));
    Stream.WriteBuffer(block.data(), static_cast<int>(block.size()));
  }
  WriteByte(Stream, 0);
}

void TGIFUnknownAppExtension::LoadData(TStream& Stream) {
  Blocks.clear();
  std::uint8_t size = 0;
  while (Stream.Read(&size, 1) == 1 && size != 0) {
    std::vector<std::uint8_t> block(size);
    ReadCheck(Stream, block.data(), size);
    Blocks.push_back(std::move(block));
  }
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* SubImage) : TGIFApplicationExtension(SubImage) {
  Ident = MakeIdent("NETSCAPE2.0");
}

namespace {
constexpr std::uint8_t kLoopSubBlock = 1;
constexpr std::uint8_t kBufferSubBlock = 2;
}  // namespace

void TGIFAppExtNSLoop::SaveData(TStream& Stream) {
  std::uint8_t loop[4] = {3, kLoopSubBlock, 0, 0};
  PutWord(loop + 2, Loops);
  Stream.WriteBuffer(loop, 4);
  if (BufferSize != 0) {
    std::uint8_t buffer[6] = {5, kBufferSubBlock, 0, 0, 0, 0};
    PutLong(buffer + 2, BufferSize);
    Stream.WriteBuffer(buffer, 6);
  }
  WriteByte(Stream, 0);
}

void TGIFAppExtNSLoop::LoadData(TStream& Stream) {
  std::uint8_t size = 0;
  while (Stream.Read(&size, 1) == 1 && size != 0) {
    std::uint8_t id = 0;
    ReadCheck(Stream, &id, 1);
    int left = size - 1;
    std::uint8_t value[4];
    switch (id & 7) {
      case kLoopSubBlock:
        if (left < 2) Error("Invalid GIF data");
        ReadCheck(Stream, value, 2);
        Loops = GetWord(value);
        left -= 2;
        break;
      case kBufferSubBlock:
        if (left < 4) Error("Invalid GIF data");
        ReadCheck(Stream, value, 4);
        BufferSize = GetLong(value);
        left -= 4;
        break;
      default:
        break;
    }
    SkipBytes(Stream, left);
  }
}
