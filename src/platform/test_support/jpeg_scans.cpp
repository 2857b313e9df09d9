#include "platform/test_support/jpeg_scans.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <jpeglib.h>
}

#include "platform/gui/graphics/bitmap.h"

namespace {

struct Errors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

extern "C" void LeaveOnError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}

// The scan script: DC of all components first, then AC bands, component by component:
// the first component in as many as it can take, the others sharing the rest.
std::vector<jpeg_scan_info> ScanScript(int components, int scans) {
  std::vector<jpeg_scan_info> script(1);
  script[0].comps_in_scan = components;
  for (int c = 0; c < components; ++c) script[0].component_index[c] = c;
  const int bands = scans - 1;
  const int first = std::min(63, bands - (components - 1));
  for (int c = 0; c < components; ++c) {
    const int others = bands - first;
    const int own =
        c == 0 ? first : others / (components - 1) + (c - 1 < others % (components - 1) ? 1 : 0);
    for (int b = 0; b < own; ++b) {
      jpeg_scan_info scan{};
      scan.comps_in_scan = 1;
      scan.component_index[0] = c;
      scan.Ss = 1 + 63 * b / own;
      scan.Se = 63 * (b + 1) / own;
      script.push_back(scan);
    }
  }
  return script;
}

// Kept out of the function that calls setjmp, which may not hold objects with destructors.
struct Job {
  Errors errors;
  jpeg_decompress_struct in;
  jpeg_compress_struct out;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::vector<jpeg_scan_info> script;
};

bool Run(Job& job, std::span<const std::uint8_t> jpeg, int scans) {
  job.in.err = job.out.err = jpeg_std_error(&job.errors.pub);
  job.errors.pub.error_exit = LeaveOnError;
  if (setjmp(job.errors.jump)) {
    jpeg_destroy_decompress(&job.in);
    jpeg_destroy_compress(&job.out);
    return false;
  }
  jpeg_create_decompress(&job.in);
  jpeg_create_compress(&job.out);
  jpeg_mem_src(&job.in, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&job.in, TRUE);
  jvirt_barray_ptr* coefficients = jpeg_read_coefficients(&job.in);
  jpeg_copy_critical_parameters(&job.in, &job.out);
  jpeg_simple_progression(&job.out);
  if (scans > 0) {
    job.script = ScanScript(job.out.num_components, scans);
    job.out.scan_info = job.script.data();
    job.out.num_scans = int(job.script.size());
  }
  jpeg_mem_dest(&job.out, &job.buffer, &job.size);
  jpeg_write_coefficients(&job.out, coefficients);
  jpeg_finish_compress(&job.out);
  jpeg_finish_decompress(&job.in);
  jpeg_destroy_compress(&job.out);
  jpeg_destroy_decompress(&job.in);
  return true;
}

}  // namespace

std::vector<std::uint8_t> JpegInScans(std::span<const std::uint8_t> Jpeg, int Scans) {
  Job job{};
  const bool done = Run(job, Jpeg, Scans);
  std::vector<std::uint8_t> out(job.buffer, job.buffer + (done ? job.size : 0));
  std::free(job.buffer);
  if (!done) throw EInvalidGraphic("Not a readable JPEG file");
  return out;
}

std::vector<std::uint8_t> JpegWithLastScanRepeated(std::span<const std::uint8_t> Jpeg, int Times) {
  const auto markerAt = [&Jpeg](std::uint8_t marker, std::size_t from) {
    for (std::size_t at = from; at + 1 < Jpeg.size(); ++at)
      if (Jpeg[at] == 0xFF && Jpeg[at + 1] == marker) return at;
    return Jpeg.size();
  };
  constexpr std::uint8_t kStartOfScan = 0xDA, kEndOfImage = 0xD9;
  std::size_t last = Jpeg.size();
  for (std::size_t at = markerAt(kStartOfScan, 0); at < Jpeg.size();
       at = markerAt(kStartOfScan, at + 2))
    last = at;
  const std::size_t end = markerAt(kEndOfImage, last);
  std::vector<std::uint8_t> out(Jpeg.begin(), Jpeg.begin() + long(end));
  for (int i = 0; i < Times; ++i)
    out.insert(out.end(), Jpeg.begin() + long(last), Jpeg.begin() + long(end));
  out.insert(out.end(), Jpeg.begin() + long(end), Jpeg.end());
  return out;
}
