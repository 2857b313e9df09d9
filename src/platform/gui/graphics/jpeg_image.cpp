#include "platform/gui/graphics/jpeg_image.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <span>
#include <string>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "platform/gui/graphics/graphic_limits.h"
#include "platform/text/streams.h"

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

// Everything a job touches lives here, outside the function that calls setjmp, so the
// jump back skips no destructor.
struct DecodeJob {
  const std::vector<uint8_t>* data = nullptr;
  TBitmap* bitmap = nullptr;
  std::vector<JSAMPLE> row;
  bool too_large = false;
  bool truncated = false;
  ErrorManager errors;
  jpeg_source_mgr source;
  jpeg_decompress_struct info;
};

// One decoded row into the bitmap's blue-green-red bytes.
void StoreRow(const jpeg_decompress_struct& info, const JSAMPLE* in, uint8_t* out) {
  for (JDIMENSION x = 0; x < info.output_width; ++x, out += 3) {
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

// The blocks that decoding data walks, all its scans together (see JpegCost).
int64_t ScanBlocks(const jpeg_decompress_struct& info, std::span<const uint8_t> data) {
  int64_t scanBlocks = 0;
  if (data.size() < 2 || data[0] != 0xFF || data[1] != kStartOfImage) return 0;
  size_t at = 2;
  while (at + 1 < data.size()) {
    const uint8_t marker = data[at + 1];
    if (data[at] != 0xFF || marker == 0xFF || marker == 0) {
      ++at;  // fill, or bytes between markers the decoder skips
      continue;
    }
    if (marker == kEndOfImage) break;
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
      scanBlocks += std::max(blocks, kScanSetUpBlocks);
      at = EndOfCodedData(data, at + 2 + length);
    } else {
      at += 2 + length;
    }
  }
  return scanBlocks;
}

bool Truncated(DecodeJob& job) {
  job.truncated = true;
  jpeg_destroy_decompress(&job.info);
  return false;
}

bool RunDecode(DecodeJob& job) {
  InstallErrors(job.errors, job.info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  jpeg_create_decompress(&job.info);
  ReadFromMemory(job.info, job.source, *job.data);
  jpeg_read_header(&job.info, TRUE);
  // Before anything is decoded: a header may claim a size no map needs and no memory holds.
  if (int64_t(job.info.image_width) * int64_t(job.info.image_height) > kMaxGraphicPixels) {
    job.too_large = true;
    std::snprintf(job.errors.message, sizeof job.errors.message, "%u x %u pixels",
                  unsigned(job.info.image_width), unsigned(job.info.image_height));
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  if (TooShortForItsSize(job.info, job.data->size())) return Truncated(job);
  // Before any scan is decoded: a progressive picture is decoded scan by scan, each over
  // all of its blocks, and a few bytes may repeat a scan thousands of times.
  if (const int64_t blocks = ScanBlocks(job.info, *job.data); blocks > kMaxJpegScanBlocks) {
    job.too_large = true;
    std::snprintf(job.errors.message, sizeof job.errors.message, "%lld blocks walked by its scans",
                  static_cast<long long>(blocks));
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
  jpeg_start_decompress(&job.info);
  if (job.errors.data_missing) return Truncated(job);
  try {
    job.row.resize(size_t(job.info.output_width) * size_t(job.info.output_components));
    job.bitmap->SetPixelFormat(pf24bit);
    job.bitmap->SetSize(int(job.info.output_width), int(job.info.output_height));
  } catch (...) {
    jpeg_destroy_decompress(&job.info);
    throw;
  }
  while (job.info.output_scanline < job.info.output_height) {
    JSAMPROW rows[1] = {job.row.data()};
    const int y = int(job.info.output_scanline);
    jpeg_read_scanlines(&job.info, rows, 1);
    StoreRow(job.info, job.row.data(), job.bitmap->ScanLine(y));
  }
  if (job.errors.data_missing) return Truncated(job);
  jpeg_finish_decompress(&job.info);
  jpeg_destroy_decompress(&job.info);
  return true;
}

// A header read alone, kept out of the function that calls setjmp as DecodeJob is.
struct HeaderJob {
  std::span<const uint8_t> data;
  TJpegCost cost;
  ErrorManager errors;
  jpeg_source_mgr source;
  jpeg_decompress_struct info;
};

bool RunHeader(HeaderJob& job) {
  InstallErrors(job.errors, job.info.err);
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_decompress(&job.info);
    return false;
  }
  jpeg_create_decompress(&job.info);
  ReadFromMemory(job.info, job.source, job.data);
  jpeg_read_header(&job.info, TRUE);
  job.cost.Size = TSize{int(job.info.image_width), int(job.info.image_height)};
  job.cost.ScanBlocks = ScanBlocks(job.info, job.data);
  jpeg_destroy_decompress(&job.info);
  return true;
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

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Draw(TCanvas& Canvas, const TRect& Rect) const {
  Canvas.StretchDraw(Rect, bitmap_);
}

void TJPEGImage::LoadFromStream(TStream& Stream) {
  std::vector<uint8_t> data(size_t(std::max<int64_t>(Stream.Size() - Stream.Position(), 0)));
  data.resize(size_t(Stream.Read(data.data(), int64_t(data.size()))));
  TBitmap decoded;
  auto job = std::make_unique<DecodeJob>();
  job->data = &data;
  job->bitmap = &decoded;
  if (!RunDecode(*job)) {
    if (job->too_large)
      throw EGraphicTooLarge(std::string("JPEG picture is too large: ") + job->errors.message);
    if (job->truncated) throw EInvalidGraphic("JPEG picture is truncated");
    throw EInvalidGraphic(std::string("JPEG error: ") + job->errors.message);
  }
  data_ = std::move(data);
  bitmap_.Assign(decoded);
}

void TJPEGImage::SaveToStream(TStream& Stream) const {
  if (!data_.empty()) Stream.WriteBuffer(data_.data(), int64_t(data_.size()));
}

std::unique_ptr<TGraphic> TJPEGImage::Clone() const {
  auto copy = std::make_unique<TJPEGImage>();
  copy->data_ = data_;
  copy->bitmap_.Assign(bitmap_);
  copy->quality_ = quality_;
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
  data_ = std::move(data);
  bitmap_.Assign(Source);
  bitmap_.SetTransparent(false);
}

void TJPEGImage::SetCompressionQuality(int Value) {
  quality_ = std::clamp(Value, 1, 100);
}

std::optional<TJpegCost> JpegCost(std::span<const uint8_t> Bytes) {
  auto job = std::make_unique<HeaderJob>();
  job->data = Bytes;
  if (!RunHeader(*job)) return std::nullopt;
  return job->cost;
}
