// Pictures for markup that are not in an image list: named pictures kept with a window
// (TPictureContainer) and pictures named by a source ("RES://name", "FILE://path") kept
// per control (THTMLPictureCache).
//
// A THTMLPicture keeps the image file's bytes as they were loaded and decodes them for
// drawing: GIF through our GIF codec, which also gives its frames for stepping through an
// animation, BMP and JPEG through the platform's pictures. Nothing is ever fetched from
// the network: a remote source only records its address and stays empty.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/component.h"

class TGIFPicture;
class TGIFSubImage;

// The folders "FILE://" pictures may come from (none until the program names its own).
void SetPictureFolders(std::vector<std::string> Folders);

class THTMLPicture : public TGraphic {
 public:
  THTMLPicture();
  ~THTMLPicture() override;
  THTMLPicture(const THTMLPicture&) = delete;
  THTMLPicture& operator=(const THTMLPicture&) = delete;

  // The decoded picture's size (the shown frame's for a GIF); 0 when not decoded.
  int Width() const override;
  int Height() const override;
  // The GIF's logical screen when known, else Width and Height.
  int MaxWidth() const;
  int MaxHeight() const;
  // True until image data was loaded (a picture whose data did not decode is not empty,
  // it just draws nothing).
  bool IsEmpty() const { return empty_; }

  // Without Stretch the picture is drawn at its own size at Rect's top-left corner.
  void Draw(TCanvas& Canvas, const TRect& Rect) const override;
  bool Stretch = false;

  // The image data becomes the stream's rest (the file's content), then it is decoded
  // and OnChange fires. Data that does not decode raises EInvalidGraphic ("Could not
  // load image. Invalid format"); the data is kept.
  void LoadFromStream(TStream& Stream) override;
  // The same for data stored with a window: no OnChange.
  void ReadData(TStream& Stream);
  // Writes the image data as it was loaded.
  void SaveToStream(TStream& Stream) const override;
  std::unique_ptr<TGraphic> Clone() const override;
  // Resets, then copies Stretch, Frame, the ID and the data of Source (null: the data is
  // cleared).
  void Assign(const THTMLPicture* Source);

  // "RES://name" (a picture built into the program, see LoadFromResourceName),
  // "FILE://path", or anything else, which is only recorded. A file loads only when it is
  // a regular file inside one of the picture folders (SetPictureFolders): markup may come
  // from outside, and must not make us read, or block on, whatever path it names.
  void LoadFromURL(const std::string& Source);
  // Loads the program's resource of that name as LoadFromStream would; nothing happens
  // when there is none.
  void LoadFromResourceName(const std::string& Name);
  const std::string& ID() const { return id_; }
  const std::string& URL() const { return url_; }
  // Set by whoever adds a picture for immediate use; remote sources are never fetched.
  bool LoadInBackground = true;

  // The GIF frame shown, from 1. Setting it decodes that frame and fires OnFrameChange.
  int Frame() const { return frame_; }
  void SetFrame(int Value);
  // Frames of a GIF, counted once and kept; -1 for anything else.
  int FrameCount();
  // Offset of the shown frame on the GIF's logical screen.
  int FrameLeft() const { return frame_left_; }
  int FrameTop() const { return frame_top_; }
  // Delay of frame Index (from 1) in hundredths of a second; -1 when there is none.
  int FrameDelay(int Index) const;
  // One tick of a 100 ms animation clock; true when the shown frame changed. Pictures
  // whose frames were never counted do not animate.
  bool Step();

  std::function<void(THTMLPicture* Sender)> OnChange;
  std::function<void(THTMLPicture* Sender)> OnFrameChange;

 private:
  void Reset();
  void Decode();
  void SelectFrame();
  bool IsGif() const;
  // The frame shown, or null when Frame names none.
  TGIFSubImage* ShownFrame() const;

  std::vector<std::uint8_t> data_;
  bool empty_ = true;
  std::unique_ptr<TGIFPicture> gif_;
  std::vector<TGIFSubImage*> frames_;  // the GIF's images, in gif_
  std::unique_ptr<TGraphic> graphic_;  // a decoded picture of another format
  std::string url_;
  std::string id_;
  int frame_ = 1;
  int frame_count_ = -1;
  int frame_left_ = 0;
  int frame_top_ = 0;
  int next_change_ = -1;
  int ticks_ = -1;
  bool download_started_ = false;
};

// The pictures one control loaded for its markup, by source.
class THTMLPictureCache {
 public:
  // A new empty picture at the end of the cache.
  THTMLPicture& AddPicture();
  // The first picture whose ID is exactly ID (letter case counts), or null.
  THTMLPicture* FindPicture(const std::string& ID) const;
  void ClearPictures() { pictures_.clear(); }
  int Count() const { return int(pictures_.size()); }
  // Steps every picture; true when any of them changed its frame.
  bool Animate();

 private:
  std::vector<std::unique_ptr<THTMLPicture>> pictures_;
};

struct TPictureItem {
  std::string Name;
  int Tag = 0;
  THTMLPicture Picture;
  // Copies Name, Tag and the picture.
  void Assign(const TPictureItem& Source);
};

class TPictureCollection {
 public:
  TPictureItem& Add();
  int Count() const { return int(items_.size()); }
  TPictureItem& Items(int Index) const { return *items_.at(Index); }
  void Clear() { items_.clear(); }
  // Steps every item's picture; true when any frame changed.
  bool Animate();

 private:
  std::vector<std::unique_ptr<TPictureItem>> items_;
};

// Named pictures of a window, for the markup of its controls.
class TPictureContainer : public TComponent {
 public:
  using TComponent::TComponent;

  TPictureCollection& Items() { return items_; }
  // The picture of the first item named Name (any case), or null.
  virtual THTMLPicture* FindPicture(const std::string& Name);
  std::string Version() const;

  std::string ClassName() const override { return "TPictureContainer"; }

 private:
  TPictureCollection items_;
};
