// The block objects of a GIF file. Every block of the file (header, frame, extension,
// trailer) is an item that reads itself from and writes itself to a byte stream; lists
// of items own their items and write them in order.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gif/gif_types.h"

class TGIFPicture;
class TStream;

class TGIFItem {
 public:
  explicit TGIFItem(TGIFPicture* Image) : image_(Image) {}
  virtual ~TGIFItem() = default;
  TGIFItem(const TGIFItem&) = delete;
  TGIFItem& operator=(const TGIFItem&) = delete;

  // The picture the item belongs to (not owned); may be null for a free-standing item.
  TGIFPicture* Image() const { return image_; }
  virtual GIFVersion GetVersion() const { return Version87a; }
  // Forwarded to the picture's Warning; dropped without a picture.
  virtual void Warning(const std::string& Message);
  virtual void SaveToStream(TStream& Stream) = 0;
  virtual void LoadFromStream(TStream& Stream) = 0;
  void SaveToFile(const std::string& FileName);
  void LoadFromFile(const std::string& FileName);

 protected:
  TGIFPicture* image_;
};

// An owning list of items, kept in file order.
template <class T>
class TGIFList {
 public:
  TGIFList() = default;
  virtual ~TGIFList() { Clear(); }
  TGIFList(const TGIFList&) = delete;
  TGIFList& operator=(const TGIFList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  T& operator[](int Index) const { return *items_[Index]; }
  // Appends Item and returns its index.
  int Add(std::unique_ptr<T> Item) {
    items_.push_back(std::move(Item));
    return Count() - 1;
  }
  // Frees the items in file order. The list is emptied first: erasing each from the
  // front moved all the others, which made clearing 100,000 blocks take seconds.
  void Clear() {
    std::vector<std::unique_ptr<T>> items = std::move(items_);
    items_.clear();
    for (auto& item : items) item.reset();
  }
  void Delete(int Index) {
    std::unique_ptr<T> item = std::move(items_[Index]);
    items_.erase(items_.begin() + Index);
  }
  int IndexOf(const T* Item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == Item) return static_cast<int>(i);
    return -1;
  }
  virtual void SaveToStream(TStream& Stream) const {
    for (const auto& item : items_) item->SaveToStream(Stream);
  }

 private:
  std::vector<std::unique_ptr<T>> items_;
};
