// Platform-internal: the bitmaps of one metafile picture, decoded once. A bitmap record's
// pixels are decoded when it is first played; every later play of the picture (a repaint,
// the drawing of its kept image on another thread, an export) draws them as decoded. What
// all pictures keep decoded is bounded: past that, a bitmap is decoded for each play.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>

// Two bitmaps of 4096 x 4096 (128 MB) over all pictures.
constexpr std::int64_t kMaxCachedBitmapPixels = std::int64_t(2) * 4096 * 4096;

class TMetafileBitmapCache {
 public:
  TMetafileBitmapCache() = default;
  TMetafileBitmapCache(const TMetafileBitmapCache&) = delete;
  TMetafileBitmapCache& operator=(const TMetafileBitmapCache&) = delete;
  ~TMetafileBitmapCache();

  // The bitmap of the record whose bitmap starts At bytes into the picture, or a null
  // image when it was not kept.
  QImage Find(std::size_t At) const;
  // Keeps Image as that bitmap, unless all pictures' kept bitmaps would then pass
  // kMaxCachedBitmapPixels.
  void Keep(std::size_t At, const QImage& Image);

 private:
  mutable std::mutex lock_;
  std::map<std::size_t, QImage> images_;
  std::int64_t pixels_ = 0;
};
