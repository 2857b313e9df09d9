// Test support: JPEG files written again without loss in as many scans as a test asks,
// as a progressive encoder with a long scan script (or a re-encoder such as jpegtran's
// -scans) writes them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// The picture of Jpeg, its coefficients unchanged, as a progressive file of Scans scans:
// one scan of every component's DC coefficients, then the AC coefficients in spectral
// bands, one component a scan: the first component (the brightness, the most blocks) in
// as many bands as it can take, the others sharing the rest. Scans is at least the
// component count + 1 and at most 1 + 63 x the component count. Scans 0 gives libjpeg's
// own progressive script, which refines the coefficients bit by bit (successive
// approximation) and ends with a refinement of the first component's AC coefficients,
// the costliest scan to decode. Raises EInvalidGraphic when Jpeg is no readable JPEG file.
std::vector<std::uint8_t> JpegInScans(std::span<const std::uint8_t> Jpeg, int Scans);
// The file with its last scan given again Times more times before its end: each copy a
// few bytes that make a decoder walk the scan's blocks once more.
std::vector<std::uint8_t> JpegWithLastScanRepeated(std::span<const std::uint8_t> Jpeg, int Times);
