#include "platform/gui/graphics/metafile_bitmap_cache_qt.h"

#include <atomic>

namespace {

// The pixels every picture's cache holds, taken from other threads too.
std::atomic<std::int64_t> cached_pixels{0};

}  // namespace

TMetafileBitmapCache::~TMetafileBitmapCache() {
  cached_pixels -= pixels_;
}

QImage TMetafileBitmapCache::Find(std::size_t At) const {
  const std::lock_guard<std::mutex> hold(lock_);
  const auto found = images_.find(At);
  return found != images_.end() ? found->second : QImage();
}

void TMetafileBitmapCache::Keep(std::size_t At, const QImage& Image) {
  const std::int64_t pixels = std::int64_t(Image.width()) * Image.height();
  const std::lock_guard<std::mutex> hold(lock_);
  if (images_.count(At) != 0) return;
  if (cached_pixels.fetch_add(pixels) + pixels > kMaxCachedBitmapPixels) {
    cached_pixels -= pixels;
    return;
  }
  images_.emplace(At, Image);
  pixels_ += pixels;
}
