// GIF89a extension blocks (introducer '!' 0x21): graphic control (0xF9), plain text
// (0x01), comment (0xFE) and application (0xFF) extensions, with the looping block of
// "NETSCAPE2.0"/"ANIMEXTS1.0". A frame owns the extensions read before it.
//
// Two registries pick the class that reads a block: labels -> classes, and the 11-byte
// application identifier -> classes. Application data nobody understands is kept byte
// for byte and written back unchanged.
//
// Example, a graphic control block: 21 F9 04 09 0A 00 03 00 = transparent, disposal 2
// (background), delay 10/100 s, transparent colour index 3.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/gif_item.h"
#include "platform/text/string_list.h"

class TGIFSubImage;
class TGIFExtension;

// What the label registry maps to: a way to create the extension, and, for classes
// that need to look further into the block (application extensions), a refinement
// that reads past the label and names the more specific class.
struct TGIFExtensionClass {
  std::uint8_t Label;
  const TGIFExtensionClass* (*Refine)(TStream& Stream);  // null: the class is final
  std::unique_ptr<TGIFExtension> (*Create)(TGIFSubImage* SubImage);
};

class TGIFExtension : public TGIFItem {
 public:
  explicit TGIFExtension(TGIFSubImage* SubImage);
  GIFVersion GetVersion() const override { return Version89a; }
  virtual std::uint8_t ExtensionType() const = 0;
  TGIFSubImage* SubImage() const { return sub_image_; }
  // The class that reads the block at the stream position, or null when its label is
  // not registered. The stream position is left unchanged.
  static const TGIFExtensionClass* FindExtension(TStream& Stream);
  // Introducer and label; subclasses add their body.
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

 protected:
  TGIFSubImage* sub_image_;
};

class TGIFExtensionList : public TGIFList<TGIFExtension> {
 public:
  // Reads every extension block up to the next ',' or ';', leaving that byte unread.
  void LoadFromStream(TStream& Stream, TGIFSubImage* Parent);
};

class TGIFGraphicControlExtension : public TGIFExtension {
 public:
  explicit TGIFGraphicControlExtension(TGIFSubImage* SubImage);
  ~TGIFGraphicControlExtension() override;
  std::uint8_t ExtensionType() const override { return bsGraphicControlExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  bool Transparent() const { return (PackedFields & kTransparentFlag) != 0; }
  void SetTransparent(bool Value);
  bool UserInput() const { return (PackedFields & kUserInputFlag) != 0; }
  void SetUserInput(bool Value);
  TGIFDisposalMethod Disposal() const {
    return static_cast<TGIFDisposalMethod>((PackedFields & kDisposalMask) >> 2);
  }
  void SetDisposal(TGIFDisposalMethod Value);
  // An index outside a non-empty active colour table warns and stores 0.
  void SetTransparentColorIndex(int Index);

  // The 6-byte block as in the file.
  std::uint8_t BlockSize = 4;
  std::uint8_t PackedFields = 0;
  std::uint16_t Delay = 0;  // hundredths of a second
  std::uint8_t TransparentColorIndex = 0;
  std::uint8_t Terminator = 0;

 private:
  static constexpr std::uint8_t kTransparentFlag = 0x01;
  static constexpr std::uint8_t kUserInputFlag = 0x02;
  static constexpr std::uint8_t kDisposalMask = 0x1C;
};

class TGIFTextExtension : public TGIFExtension {
 public:
  using TGIFExtension::TGIFExtension;
  std::uint8_t ExtensionType() const override { return bsPlainTextExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  TStringList Text;
  // The 13-byte plain-text header as in the file.
  std::uint8_t BlockSize = 12;
  std::uint16_t GridLeft = 0;
  std::uint16_t GridTop = 0;
  std::uint16_t GridWidth = 0;
  std::uint16_t GridHeight = 0;
  std::uint8_t CellWidth = 0;
  std::uint8_t CellHeight = 0;
  std::uint8_t TextFGColorIndex = 0;
  std::uint8_t TextBGColorIndex = 0;
};

class TGIFCommentExtension : public TGIFExtension {
 public:
  using TGIFExtension::TGIFExtension;
  std::uint8_t ExtensionType() const override { return bsCommentExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  TStringList Text;
};

// 8-byte identifier followed by the 3-byte authentication code.
using TGIFApplicationIdent = std::array<std::uint8_t, 11>;

class TGIFApplicationExtension : public TGIFExtension {
 public:
  using TGIFExtension::TGIFExtension;
  std::uint8_t ExtensionType() const override { return bsApplicationExtension; }
  void SaveToStream(TStream& Stream) override;
  void LoadFromStream(TStream& Stream) override;

  TGIFApplicationIdent Ident{};

 protected:
  virtual void SaveData(TStream& Stream) = 0;
  virtual void LoadData(TStream& Stream) = 0;
};

// Application data of an identifier nobody registered: kept as read.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
 public:
  using TGIFApplicationExtension::TGIFApplicationExtension;
  std::vector<std::vector<std::uint8_t>> Blocks;  // the data sub-blocks, without size bytes

 protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;
};

// The looping block: sub-block 1 holds the loop count (0 = endless), sub-block 2 an
// optional buffer size.
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
 public:
  explicit TGIFAppExtNSLoop(TGIFSubImage* SubImage);
  std::uint16_t Loops = 0;
  std::uint32_t BufferSize = 0;

 protected:
  void SaveData(TStream& Stream) override;
  void LoadData(TStream& Stream) override;
};
