#include "platform/gui/graphics/jpeg_image.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QThreadPool>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <csetjmp>
#include <cstdio>
#include <mutex>
#include <span>
#include <string>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "platform/gui/graphics/bitmap_qt.h"
#include "platform/gui/graphics/canvas_impl_qt.h"
#include "platform/gui/graphics/canvas_qt.h"
#include "platform/gui/graphics/graphic_limits.h"
#include "platform/gui/graphics/invalid_picture.h"
#include "platform/gui/graphics/screen_paint_qt.h"
#include "platform/text/format.h"
#include "platform/text/local_texts.h"
#include "platform/text/streams.h"

const char* const kJpegTooCostlyText =
    "Decoding the picture would walk %d blocks, at most %d are allowed.";

namespace {

constexpr size_t kOutputChunk = 64 * 1024;

// libjpeg ends the process on an error unless error_exit leaves by itself: ours jumps
// back to the call that started the job, which then raises a C++ exception outside
// libjpeg. Warnings (damaged but readable data) stay quiet, except the one that says a
// scan ended before its data did: libjpeg fills the rest with grey, and a picture that is
// mostly filler is a truncated file, not a map.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  bool data_missing;
};

extern "C" void ErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

extern "C" void QuietMessage(j_common_ptr) {}

extern "C" void NoteWarning(j_common_ptr info, int level) {
  if (level < 0 && (info->err->msg_code == JWRN_HIT_MARKER || info->err->msg_code == JWRN_JPEG_EOF))
    reinterpret_cast<ErrorManager*>(info->err)->data_missing = true;
}

void InstallErrors(ErrorManager& errors, jpeg_error_mgr*& target) {
  target = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = ErrorExit;
  errors.pub.output_message = QuietMessage;
  errors.pub.emit_message = NoteWarning;
  errors.message[0] = '\0';
  errors.data_missing = false;
}

// Every 8 x 8 block of every component carries at least one bit of Huffman code (its DC
// difference), so a file shorter than that cannot hold the picture its header claims.
// Arithmetic coding spends far less on a flat block: a few hundred bytes held 10000 x 10000
// grey pixels, a 400 MB map. Such a picture is held to the same floor once it is larger than
// a picture may be without the bytes to back it.
bool TooShortForItsSize(const jpeg_decompress_struct& info, size_t Bytes) {
  if (info.max_h_samp_factor <= 0 || info.max_v_samp_factor <= 0) return false;
  if (info.arith_code &&
      int64_t(info.image_width) * int64_t(info.image_height) <= kMaxUnbackedGraphicPixels)
    return false;
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    const int64_t width =
        (int64_t(info.image_width) * component.h_samp_factor + info.max_h_samp_factor - 1) /
        info.max_h_samp_factor;
    const int64_t height =
        (int64_t(info.image_height) * component.v_samp_factor + info.max_v_samp_factor - 1) /
        info.max_v_samp_factor;
    const int64_t blocks = ((width + 7) / 8) * ((height + 7) / 8);
    if (int64_t(Bytes) * 8 < blocks) return true;
  }
  return false;
}

// Input from memory. Running out of data is an error here, not the library's usual
// grey filler: a truncated file must not pass for a picture.
extern "C" void InitSource(j_decompress_ptr) {}
extern "C" boolean FillInput(j_decompress_ptr info) {
  ERREXIT(info, JERR_INPUT_EOF);
  return FALSE;
}
extern "C" void SkipInput(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  if (size_t(count) > info->src->bytes_in_buffer) ERREXIT(info, JERR_INPUT_EOF);
  info->src->next_input_byte += count;
  info->src->bytes_in_buffer -= size_t(count);
}
extern "C" void TermSource(j_decompress_ptr) {}

void ReadFromMemory(jpeg_decompress_struct& info, jpeg_source_mgr& source,
                    std::span<const uint8_t> data) {
  source.next_input_byte = data.data();
  source.bytes_in_buffer = data.size();
  source.init_source = InitSource;
  source.fill_input_buffer = FillInput;
  source.skip_input_data = SkipInput;
  source.resync_to_restart = jpeg_resync_to_restart;
  source.term_source = TermSource;
  info.src = &source;
}

// Output into a growing vector, reached through client_data.
extern "C" void InitDestination(j_compress_ptr info) {
  auto& out = *static_cast<std::vector<uint8_t>*>(info->client_data);
  out.resize(kOutputChunk);
  info->dest->next_output_byte = out.data();
  info->dest->free_in_buffer = out.size();
}
extern "C" boolean EmptyOutput(j_compress_ptr info) {
  auto& out = *static_cast<std::vector<uint8_t>*>(info->client_data);
  const size_t used = out.size();
  out.resize(used + kOutputChunk);
  info->dest->next_output_byte = out.data() + used;
  info->dest->free_in_buffer = kOutputChunk;
  return TRUE;
}
extern "C" void TermDestination(j_compress_ptr info) {
  auto& out = *static_cast<std::vector<uint8_t>*>(info->client_data);
  out.resize(out.size() - info->dest->free_in_buffer);
}

// Where decoded rows go: Begin(width, height) once the output's size is known (it raises
// when the pixels cannot be had), then Row(y) for each row, Step bytes a pixel (blue,
// green, red, and an opaque fourth byte where Step is 4).
class RowsOut {
 public:
  explicit RowsOut(int step) : Step(step) {}
  virtual ~RowsOut() = default;
  virtual void Begin(int width, int height) = 0;
  virtual uint8_t* Row(int y) = 0;
  const int Step;
};

class BitmapRows : public RowsOut {
 public:
  explicit BitmapRows(TBitmap& bitmap) : RowsOut(3), bitmap_(bitmap) {}
  void Begin(int width, int height) override {
    bitmap_.SetPixelFormat(pf24bit);
    bitmap_.SetSize(width, height);
  }
  uint8_t* Row(int y) override { return bitmap_.ScanLine(y); }

 private:
  TBitmap& bitmap_;
};

class ImageRows : public RowsOut {
 public:
  ImageRows() : RowsOut(4) {}
  void Begin(int width, int height) override {
    Image = QImage(width, height, QImage::Format_RGB32);
    if (Image.isNull()) throw EInvalidGraphic("Out of memory for the picture's pixels");
  }
  uint8_t* Row(int y) override { return Image.scanLine(y); }
  QImage Image;
};

// Everything a job touches lives here, outside the function that calls setjmp, so the
// jump back skips no destructor.
struct DecodeJob {
  std::span<const uint8_t> data;
  RowsOut* out = nullptr;
  int denominator = 1;  // the output is 1/denominator of the picture each way
  std::vector<JSAMPLE> row;
  TSize refused_size;          // the picture's size when its header claims too many pixels
  int64_t refused_blocks = 0;  // the blocks its scans walk when they walk too many
  bool truncated = false;
  ErrorManager errors;
  jpeg_source_mgr source;
  jpeg_decompress_struct info;
};

// One decoded row into blue-green-red bytes, step bytes a pixel.
void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* in, uint8_t* out, int step) {
  for (JDIMENSION x = 0; x < info.output_width; ++x, out += step) {
    if (step == 4) out[3] = 0xFF;
    switch (info.out_color_space) {
      case JCS_GRAYSCALE:
        out[0] = out[1] = out[2] = in[x];
        break;
      case JCS_CMYK: {
        // Adobe writes CMYK inverted: each stored value is the amount of light kept.
        const JSAMPLE* p = in + 4 * x;
        const bool inverted = info.saw_Adobe_marker;
        auto channel = [&](int c) {
          const int ink = inverted ? p[c] : 255 - p[c];
          const int black = inverted ? p[3] : 255 - p[3];
          return uint8_t(ink * black / 255);
        };
        out[0] = channel(2);
        out[1] = channel(1);
        out[2] = channel(0);
        break;
      }
      default:
        out[0] = in[3 * x + 2];
        out[1] = in[3 * x + 1];
        out[2] = in[3 * x];
        break;
    }
  }
}

// Bytes libjpeg needs to hold every DCT coefficient of the picture (what a progressive
// or multi-scan file is decoded from), plus room for its row and table buffers. The
// header gives each component's size in blocks, padded to whole MCUs.
int64_t DecodeMemoryNeed(const jpeg_decompress_struct& info) {
  constexpr int64_t kWorkingRoom = 64 * 1024 * 1024;
  int64_t need = kWorkingRoom;
  for (int c = 0; c < info.num_components; ++c) {
    const jpeg_component_info& component = info.comp_info[c];
    const int64_t h = std::max(component.h_samp_factor, 1);
    const int64_t v = std::max(component.v_samp_factor, 1);
    const int64_t columns = (int64_t(component.width_in_blocks) + h - 1) / h * h;
    const int64_t rows = (int64_t(component.height_in_blocks) + v - 1) / v * v;
    need += columns * rows * DCTSIZE2 * int64_t(sizeof(JCOEF));
  }
  return need;
}

// Scans of a file found by walking its markers, as the decoder meets them: a scan's
// coded data runs to the first marker that is not a restart (a 0xFF byte in the data
// is followed by 0x00). Each scan adds the blocks of the components it holds.
constexpr std::uint8_t kStartOfImage = 0xD8, kEndOfImage = 0xD9, kStartOfScan = 0xDA;

bool Standalone(std::uint8_t marker) {
  return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// Where the coded data that starts at At ends: at the next marker's 0xFF.
size_t EndOfCodedData(std::span<const uint8_t> data, size_t at) {
  for (; at + 1 < data.size(); ++at)
    if (data[at] == 0xFF && data[at + 1] != 0 && !Standalone(data[at + 1])) break;
  return at;
}

int64_t ComponentBlocks(const jpeg_decompress_struct& info, int id) {
  for (int c = 0; c < info.num_components; ++c)
    if (info.comp_info[c].component_id == id)
      return int64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks;
  return 0;
}

// A scan of a tiny picture still costs the setting up of its tables: it counts as this
// many blocks.
constexpr int64_t kScanSetUpBlocks = 64;

// The blocks that decoding data walks, all its scans together (see JpegCost), those of
// them that refinement scans of AC coefficients walk, the bytes of coded data the scans
// hold, and whether the data reach the end of the image: a file cut anywhere does not.
struct ScanWalk {
  int64_t blocks = 0;
  int64_t refining_blocks = 0;
  int64_t coded_bytes = 0;
  bool ends = false;
};

ScanWalk WalkScans(const jpeg_decompress_struct& info, std::span<const uint8_t> data) {
  ScanWalk walk;
  if (data.size() < 2 || data[0] != 0xFF || data[1] != kStartOfImage) return walk;
  size_t at = 2;
  while (at + 1 < data.size()) {
    const uint8_t marker = data[at + 1];
    if (data[at] != 0xFF || marker == 0xFF || marker == 0) {
      ++at;  // fill, or bytes between markers the decoder skips
      continue;
    }
    if (marker == kEndOfImage) {
      walk.ends = true;
      break;
    }
    if (Standalone(marker) || marker == kStartOfImage) {
      at += 2;
      continue;
    }
    if (at + 4 > data.size()) break;
    const size_t length = size_t(data[at + 2]) << 8 | data[at + 3];
    if (marker == kStartOfScan && at + 5 <= data.size()) {
      const size_t count = data[at + 4];
      int64_t blocks = 0;
      for (size_t k = 0; k < count && at + 5 + 2 * k < data.size(); ++k)
        blocks += ComponentBlocks(info, data[at + 5 + 2 * k]);
      blocks = std::max(blocks, kScanSetUpBlocks);
      walk.blocks += blocks;
      // The spectral selection's start and the successive approximation's high bit,
      // after the components: a refinement of AC coefficients goes over every
      // coefficient made non-zero before in each block.
      const size_t selection = at + 5 + 2 * count;
      if (selection + 2 < data.size() && data[selection] > 0 && data[selection + 2] >> 4 > 0)
        walk.refining_blocks += blocks;
      const size_t coded = std::min(at + 2 + length, data.size());
      at = EndOfCodedData(data, coded);
      walk.coded_bytes += int64_t(at - std::min(at, coded));
    } else {
      at += 2 + length;
    }
  }
  return walk;
}

bool Truncated(DecodeJob& job) {
  job.truncated = true;
  jpeg_destroy_decompress(&job.info);
  return false;
}

// What a header read into info says of whether the picture may be decoded: false (the
// job noting why) when it claims a size no map needs and no memory holds, when the data
// cannot fill it, or when its scans walk too many blocks (walk). Before anything is
// decoded.
bool MayDecode(DecodeJob& job, const ScanWalk& walk) {
  if (int64_t(job.info.image_width) * int64_t(job.info.image_height) > kMaxGraphicPixels) {
    job.refused_size = TSize{int(job.info.image_width), int(job.info.image_height)};
    return false;
  }
  if (TooShortForItsSize(job.info, job.data.size())) {
    job.truncated = true;
    return false;
  }
  // A progressive picture is decoded scan by scan, each over all of its blocks, and a few
  // bytes may repeat a scan thousands of times.
  if (walk.blocks > kMaxJpegScanBlocks) {
    job.refused_blocks = walk.blocks;
    return false;
  }
  return true;
}

bool RunDecode(DecodeJob& job) {
  InstallErrors(job.errors, job.info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  jpeg_create_decompress(&job.info);
  ReadFromMemory(job.info, job.source, job.data);
  jpeg_read_header(&job.info, TRUE);
  if (!MayDecode(job, WalkScans(job.info, job.data))) {
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  // A progressive file is read whole into libjpeg's coefficient buffers before the first
  // row: allowed what this picture needs, which the pixel bound above bounds in turn.
  job.info.mem->max_memory_to_use =
      long(std::max(kMaxGraphicPixels * 3, DecodeMemoryNeed(job.info)));
  switch (job.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
      job.info.out_color_space = JCS_GRAYSCALE;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      job.info.out_color_space = JCS_CMYK;
      break;
    default:
      job.info.out_color_space = JCS_RGB;
      break;
  }
  job.info.scale_num = 1;
  job.info.scale_denom = unsigned(job.denominator);
  jpeg_start_decompress(&job.info);
  if (job.errors.data_missing) return Truncated(job);
  try {
    job.row.resize(size_t(job.info.output_width) * size_t(job.info.output_components));
    job.out->Begin(int(job.info.output_width), int(job.info.output_height));
  } catch (...) {
    jpeg_destroy_decompress(&job.info);
    throw;
  }
  while (job.info.output_scanline < job.info.output_height) {
    JSAMPROW rows[1] = {job.row.data()};
    const int y = int(job.info.output_scanline);
    jpeg_read_scanlines(&job.info, rows, 1);
    StoreRow(job.info, job.row.data(), job.out->Row(y), job.out->Step);
  }
  if (job.errors.data_missing) return Truncated(job);
  jpeg_finish_decompress(&job.info);
  jpeg_destroy_decompress(&job.info);
  return true;
}

// The exception for a job that did not decode, or for a header that may not be decoded.
[[noreturn]] void Refuse(const DecodeJob& job) {
  if (job.refused_size.cx > 0)
    throw EGraphicTooLarge(
        Format(LocalText(kPictureTooLargeText), job.refused_size.cx, job.refused_size.cy));
  if (job.refused_blocks > 0)
    throw EGraphicTooLarge(
        Format(LocalText(kJpegTooCostlyText), job.refused_blocks, kMaxJpegScanBlocks));
  if (job.truncated) throw EInvalidGraphic("JPEG picture is truncated");
  throw EInvalidGraphic(std::string("JPEG error: ") + job.errors.message);
}

// Decodes data into out at 1/denominator of its size; raises as Refuse does.
void Decode(std::span<const uint8_t> data, RowsOut& out, int denominator) {
  auto job = std::make_unique<DecodeJob>();
  job->data = data;
  job->out = &out;
  job->denominator = denominator;
  if (!RunDecode(*job)) Refuse(*job);
}

// A header read alone, kept out of the function that calls setjmp as DecodeJob is. With
// check, the header is also held to what MayDecode allows and the data must reach the
// end of the image.
struct HeaderJob {
  DecodeJob decode;
  bool check = false;
  TJpegCost cost;
};

bool RunHeader(HeaderJob& job) {
  DecodeJob& decode = job.decode;
  InstallErrors(decode.errors, decode.info.err);
  if (setjmp(decode.errors.jump)) {
    jpeg_destroy_decompress(&decode.info);
    return false;
  }
  jpeg_create_decompress(&decode.info);
  ReadFromMemory(decode.info, decode.source, decode.data);
  jpeg_read_header(&decode.info, TRUE);
  job.cost.Size = TSize{int(decode.info.image_width), int(decode.info.image_height)};
  const ScanWalk walk = WalkScans(decode.info, decode.data);
  job.cost.ScanBlocks = walk.blocks;
  job.cost.RefiningBlocks = walk.refining_blocks;
  job.cost.ScanBytes = walk.coded_bytes;
  job.cost.Progressive = decode.info.progressive_mode;
  bool allowed = true;
  if (job.check) {
    allowed = MayDecode(decode, walk);
    // A file cut anywhere has lost its end: found here, not once it is drawn.
    if (allowed && !walk.ends) decode.truncated = true;
    allowed = allowed && walk.ends;
  }
  jpeg_destroy_decompress(&decode.info);
  return allowed;
}

struct EncodeJob {
  const TBitmap* bitmap = nullptr;
  int quality = 90;
  std::vector<uint8_t>* out = nullptr;
  std::vector<JSAMPLE> row;
  ErrorManager errors;
  jpeg_destination_mgr destination;
  jpeg_compress_struct info;
};

bool RunEncode(EncodeJob& job) {
  InstallErrors(job.errors, job.info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_compress(&job.info);
    return false;
  }
  jpeg_create_compress(&job.info);
  job.destination.init_destination = InitDestination;
  job.destination.empty_output_buffer = EmptyOutput;
  job.destination.term_destination = TermDestination;
  job.info.dest = &job.destination;
  job.info.client_data = job.out;
  job.info.image_width = JDIMENSION(job.bitmap->Width());
  job.info.image_height = JDIMENSION(job.bitmap->Height());
  job.info.input_components = 3;
  job.info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job.info);
  jpeg_set_quality(&job.info, job.quality, TRUE);
  jpeg_start_compress(&job.info, TRUE);
  const int step = job.bitmap->PixelFormat() == pf32bit ? 4 : 3;
  job.row.resize(size_t(job.bitmap->Width()) * 3);
  while (job.info.next_scanline < job.info.image_height) {
    const uint8_t* in = job.bitmap->ScanLine(int(job.info.next_scanline));
    for (int x = 0; x < job.bitmap->Width(); ++x, in += step) {
      job.row[3 * x] = in[2];
      job.row[3 * x + 1] = in[1];
      job.row[3 * x + 2] = in[0];
    }
    JSAMPROW rows[1] = {job.row.data()};
    jpeg_write_scanlines(&job.info, rows, 1);
  }
  jpeg_finish_compress(&job.info);
  jpeg_destroy_compress(&job.info);
  return true;
}

// --- pictures decoded as shown ---------------------------------------------------------------

// What a decoding is priced at (picture_paste_bench's price against the decoding, 2400 x
// 1800 photos with and without grain and the repeated scan of 4096 x 4096): nanoseconds for
// each block its scans walk, nine times that for a block of a refinement of AC
// coefficients (the repeated scan: 45 ns a block); for each byte of coded data, the
// entropy decoding proper, three times a sequential byte's for a progressive one, which is
// decoded bit plane by bit plane (a grainy photo's 1.5 MB: 14 ms sequential, 45 ms
// progressive); and for each pixel it gives (the inverse transforms, the upsampling, the
// colour conversion and the store: 13.6 ns a pixel sequential, 23.7 progressive, whose
// output pass reads every coefficient back from memory; fitted from the photos decoded
// whole and at a quarter). Blocks alone, a progressive photo of 2400 x 1800 was priced at
// 24 ms and took 73 to 217 ms in the paint; with 7 ns a pixel of either kind, 47 ms and
// 108 ms.
constexpr double kNsPerScanBlock = 5, kNsPerRefiningBlock = 45;
constexpr double kNsPerCodedByte = 9, kNsPerProgressiveCodedByte = 30;
constexpr double kNsPerDecodedPixel = 14, kNsPerProgressiveDecodedPixel = 24;
// What decoding a picture on a window may take of its paint; one that costs more is
// decoded on a thread of its own.
constexpr double kPaintDecodeNs = 50e6;

// The largest denominator (of 8, 4, 2, 1) at which a picture of size decodes to at least
// Shown device pixels each way.
int DenominatorFor(TSize size, QSizeF shown) {
  for (const int denominator : {8, 4, 2})
    if ((size.cx + denominator - 1) / denominator >= shown.width() - 0.5 &&
        (size.cy + denominator - 1) / denominator >= shown.height() - 0.5)
      return denominator;
  return 1;
}

// The threads pictures are decoded on apart. Each decoding of a large picture holds its
// coefficients and its pixels: two at a time.
QThreadPool& DecodingThreads() {
  struct Threads : QThreadPool {
    Threads() { setMaxThreadCount(2); }
  };
  static Threads threads;
  return threads;
}

}  // namespace

double JpegDecodeNs(const TJpegCost& Cost, int Denominator) {
  const double pixels = double((Cost.Size.cx + Denominator - 1) / Denominator) *
                        double((Cost.Size.cy + Denominator - 1) / Denominator);
  const double perByte = Cost.Progressive ? kNsPerProgressiveCodedByte : kNsPerCodedByte;
  const double perPixel = Cost.Progressive ? kNsPerProgressiveDecodedPixel : kNsPerDecodedPixel;
  return double(Cost.ScanBlocks - Cost.RefiningBlocks) * kNsPerScanBlock +
         double(Cost.RefiningBlocks) * kNsPerRefiningBlock + double(Cost.ScanBytes) * perByte +
         pixels * perPixel;
}

// A decoding on a thread of its own: the thread fills it, the picture takes it when drawn.
struct TJpegApart {
  int denominator = 1;
  std::atomic<bool> cancelled{false};
  std::mutex lock;
  bool done = false, damaged = false;
  QImage image;
};

// An AsShown picture: its size and scans' price from the headers, and the decodings.
struct TJpegShown {
  std::shared_ptr<const std::vector<uint8_t>> data;
  TJpegCost cost;
  // The kept decoding, 1/denominator of the picture each way (0: none), and when it was
  // drawn last; see THeldJpegPixels.
  QImage held;
  int denominator = 0;
  uint64_t drawn = 0;
  bool damaged = false;
  std::shared_ptr<TJpegApart> apart;

  ~TJpegShown();
  void Draw(TCanvas& canvas, const TRect& rect);

 private:
  void DecodeNow(int denominator);
  static void DrawDamaged(TCanvas& canvas, const TRect& rect);
  void DecodeApart(int denominator, QWidget* window);
  void TakeApart();
};

namespace {

// The decodings the AsShown pictures keep, held together to kMaxHeldJpegPixels: keeping
// one gives up those drawn longest ago. Pictures are drawn on one thread.
class THeldJpegPixels {
 public:
  void Keep(TJpegShown& shown, QImage image, int denominator) {
    Drop(shown);
    const int64_t pixels = int64_t(image.width()) * image.height();
    while (pixels_ + pixels > kMaxHeldJpegPixels && !holders_.empty()) {
      const auto oldest = std::min_element(
          holders_.begin(), holders_.end(),
          [](const TJpegShown* a, const TJpegShown* b) { return a->drawn < b->drawn; });
      Drop(**oldest);
    }
    shown.held = std::move(image);
    shown.denominator = denominator;
    pixels_ += pixels;
    holders_.push_back(&shown);
  }
  void Drop(TJpegShown& shown) {
    const auto at = std::find(holders_.begin(), holders_.end(), &shown);
    if (at == holders_.end()) return;
    pixels_ -= int64_t(shown.held.width()) * shown.held.height();
    holders_.erase(at);
    shown.held = QImage();
    shown.denominator = 0;
  }
  void Drawn(TJpegShown& shown) { shown.drawn = ++clock_; }

 private:
  std::vector<TJpegShown*> holders_;
  int64_t pixels_ = 0;
  uint64_t clock_ = 0;
};

// Lives as long as the program: pictures may go at its end after any other object.
THeldJpegPixels& HeldJpegPixels() {
  static auto* held = new THeldJpegPixels;
  return *held;
}

}  // namespace

TJpegShown::~TJpegShown() {
  if (apart) apart->cancelled = true;
  HeldJpegPixels().Drop(*this);
}

void TJpegShown::TakeApart() {
  if (!apart) return;
  std::unique_lock<std::mutex> hold(apart->lock);
  if (!apart->done) return;
  const std::shared_ptr<TJpegApart> taken = std::move(apart);
  damaged = taken->damaged;
  if (!damaged && (denominator == 0 || taken->denominator < denominator))
    HeldJpegPixels().Keep(*this, std::move(taken->image), taken->denominator);
}

void TJpegShown::DecodeNow(int wanted) {
  ImageRows rows;
  try {
    Decode(*data, rows, wanted);
  } catch (const EInvalidGraphic&) {
    damaged = true;
    return;
  }
  HeldJpegPixels().Keep(*this, std::move(rows.Image), wanted);
}

void TJpegShown::DecodeApart(int wanted, QWidget* window) {
  if (apart && apart->denominator <= wanted) return;  // under way already
  if (apart) apart->cancelled = true;
  apart = std::make_shared<TJpegApart>();
  apart->denominator = wanted;
  DecodingThreads().start([decoding = apart, bytes = data, widget = QPointer<QWidget>(window)] {
    if (decoding->cancelled) return;
    ImageRows rows;
    bool damaged = false;
    try {
      Decode(*bytes, rows, decoding->denominator);
    } catch (const std::exception&) {
      damaged = true;  // a thread of the pool may let nothing escape
    }
    {
      const std::lock_guard<std::mutex> hold(decoding->lock);
      decoding->image = std::move(rows.Image);
      decoding->damaged = damaged;
      decoding->done = true;
    }
    if (QCoreApplication* app = QCoreApplication::instance(); app && !decoding->cancelled)
      QMetaObject::invokeMethod(
          app,
          [widget] {
            if (widget) widget->update();
          },
          Qt::QueuedConnection);
  });
}

// Scans found damaged show the invalid-picture mark at the picture's top left corner, cut
// to the picture: shown, printed or exported alike.
void TJpegShown::DrawDamaged(TCanvas& canvas, const TRect& rect) {
  const QImage& mark = BitmapImage(InvalidPictureMark());
  const int width = std::min(rect.Width(), mark.width());
  const int height = std::min(rect.Height(), mark.height());
  TCanvasAccess::DrawImage(canvas, Rect(rect.Left, rect.Top, rect.Left + width, rect.Top + height),
                           mark, QRect(0, 0, width, height));
}

// On a window, or in a bitmap that a window's paint event draws to show it, a decoding
// that costs more than a paint may spend is made apart; elsewhere (a print, an export)
// at once.
void TJpegShown::Draw(TCanvas& canvas, const TRect& rect) {
  QPainter* painter = TCanvasAccess::ImplOf(canvas).Painter();
  if (!painter || rect.Width() <= 0 || rect.Height() <= 0) return;
  const QSizeF onDevice = painter->deviceTransform()
                              .mapRect(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()))
                              .size();
  const int wanted = DenominatorFor(cost.Size, onDevice);
  TakeApart();
  if (!damaged && (denominator == 0 || denominator > wanted)) {
    QWidget* const window = painter->device()->devType() == QInternal::Widget
                                ? static_cast<QWidget*>(painter->device())
                                : TScreenPaint::Current();
    if (window && JpegDecodeNs(cost, wanted) > kPaintDecodeNs)
      DecodeApart(wanted, window);
    else
      DecodeNow(wanted);
  }
  if (damaged) {
    DrawDamaged(canvas, rect);
    return;
  }
  if (denominator == 0) return;
  HeldJpegPixels().Drawn(*this);
  TCanvasAccess::DrawImage(canvas, rect, held, held.rect());
}

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

int TJPEGImage::Width() const {
  return shown_ ? shown_->cost.Size.cx : bitmap_.Width();
}

int TJPEGImage::Height() const {
  return shown_ ? shown_->cost.Size.cy : bitmap_.Height();
}

void TJPEGImage::Draw(TCanvas& Canvas, const TRect& Rect) const {
  if (shown_)
    shown_->Draw(Canvas, Rect);
  else
    Canvas.StretchDraw(Rect, bitmap_);
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> data(size_t(std::max<int64_t>(Stream.Size() - Stream.Position(), 0)));
  data.resize(size_t(Stream.Read(data.data(), int64_t(data.size()))));
  auto bytes = std::make_shared<const std::vector<uint8_t>>(std::move(data));
  if (decoding_ == TJpegDecoding::Whole) {
    TBitmap decoded;
    BitmapRows rows(decoded);
    Decode(*bytes, rows, 1);
    data_ = std::move(bytes);
    bitmap_.Assign(decoded);
    shown_.reset();
    return;
  }
  auto job = std::make_unique<HeaderJob>();
  job->decode.data = *bytes;
  job->check = true;
  if (!RunHeader(*job)) Refuse(job->decode);
  auto shown = std::make_shared<TJpegShown>();
  shown->data = bytes;
  shown->cost = job->cost;
  data_ = std::move(bytes);
  shown_ = std::move(shown);
  bitmap_.SetSize(0, 0);
}

void TJPEGImage::SaveToStream(TStream& Stream) const {
  if (data_ && !data_->empty()) Stream.WriteBuffer(data_->data(), int64_t(data_->size()));
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
  auto copy = std::make_unique<TJPEGImage>();
  copy->data_ = data_;
  copy->decoding_ = decoding_;
  copy->quality_ = quality_;
  if (shown_) {
    copy->shown_ = std::make_shared<TJpegShown>();
    copy->shown_->data = shown_->data;
    copy->shown_->cost = shown_->cost;
  } else {
    copy->bitmap_.Assign(bitmap_);
  }
  return copy;
}

void TJPEGImage::Assign(const TBitmap& Source) {
  std::vector<uint8_t> data;
  if (!Source.Empty()) {
    auto job = std::make_unique<EncodeJob>();
    job->bitmap = &Source;
    job->quality = quality_;
    job->out = &data;
    if (!RunEncode(*job)) throw EInvalidGraphic(std::string("JPEG error: ") + job->errors.message);
  }
  data_ = std::make_shared<const std::vector<uint8_t>>(std::move(data));
  shown_.reset();
  bitmap_.Assign(Source);
  bitmap_.SetTransparent(false);
}

void TJPEGImage::SetCompressionQuality(int Value) {
  quality_ = std::clamp(Value, 1, 100);
}

std::optional<TJpegCost> JpegCost(std::span<const uint8_t> Bytes) {
  auto job = std::make_unique<HeaderJob>();
  job->decode.data = Bytes;
  if (!RunHeader(*job)) return std::nullopt;
  return job->cost;
}

void WaitForJpegDecodings() {
  DecodingThreads().waitForDone();
}
