// Decoding throughput of the APRS codecs on 10,000 mixed packets (plain, compressed
// and Mic-E positions, objects, items, status, weather, messages), single-threaded.
//
// Set VELMORA_BENCH_PACKETS=<file> to also write the packets as TNC2 lines, e.g. to
// time another decoder on the same input.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/aprs_data.h"
#include "core/aprs_position.h"
#include "core/kiss_ax25.h"
#include "core/kiss_link.h"
#include "core/tnc2_line.h"
#include "platform/text/string_list.h"

namespace {

constexpr int kPacketCount = 10000;

std::string Dm(double value, int degree_digits) {
  const long hundredths = std::lround(value * 6000);
  char text[32];
  std::snprintf(text, sizeof text, "%0*ld%02ld.%02ld", degree_digits, hundredths / 6000,
                hundredths % 6000 / 100, hundredths % 100);
  return text;
}

// Mic-E destination and the first six information bytes for a position, speed and course.
std::pair<std::string, std::string> MicE(double lat, double lon, int speed, int course,
                                         int message) {
  const std::string digits = Dm(std::fabs(lat), 2).erase(4, 1);
  std::string dest;
  for (int k = 0; k < 6; ++k) {
    bool flag = k < 3    ? (message >> (2 - k)) & 1
                : k == 3 ? lat >= 0
                : k == 4 ? std::fabs(lon) >= 100 || std::fabs(lon) < 10
                         : lon < 0;
    dest += static_cast<char>((flag ? 'P' : '0') + (digits[k] - '0'));
  }
  const long hundredths = std::lround(std::fabs(lon) * 6000);
  const int d = static_cast<int>(hundredths / 6000), m = static_cast<int>(hundredths % 6000 / 100),
            h = static_cast<int>(hundredths % 100);
  const int b1 = d < 10 ? d + 118 : d < 100 ? d + 28 : d < 110 ? d + 8 : d - 72;
  std::string info = {static_cast<char>(b1),
                      static_cast<char>(m < 10 ? m + 88 : m + 28),
                      static_cast<char>(h + 28),
                      static_cast<char>(speed / 10 + 28),
                      static_cast<char>(speed % 10 * 10 + course / 100 + 28),
                      static_cast<char>(course % 100 + 28)};
  return {dest, info};
}

std::vector<std::string> MixedPackets() {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> lat_of(-80, 80), lon_of(-179.9, 179.9);
  std::uniform_int_distribution<int> small(0, 359);
  std::vector<std::string> lines;
  for (int i = 0; lines.size() < kPacketCount; ++i) {
    const double lat = lat_of(random), lon = lon_of(random);
    const std::string la = Dm(std::fabs(lat), 2) + (lat >= 0 ? "N" : "S");
    const std::string lo = Dm(std::fabs(lon), 3) + (lon >= 0 ? "E" : "W");
    const std::string source = "DL" + std::to_string(i % 9) + "ABC-" + std::to_string(i % 16);
    const int course = small(random), speed = small(random) % 200;
    char csp[32];
    std::snprintf(csp, sizeof csp, "%03d/%03d", course + 1, speed);
    switch (i % 10) {
      case 0:
        lines.push_back(source + ">APRS,WIDE2-1:!" + la + "/" + lo + ">" + csp +
                        "/A=001234 Mobile");
        break;
      case 1:
        lines.push_back(source + ">APRS,TCPIP*,qAC,T2TEST:=" + la + "\\" + lo + "k PHG2360");
        break;
      case 2:
        lines.push_back(source + ">APRS:@092345z" + la + "/" + lo + "_" + csp +
                        "g005t077r000p000P000h50b09900");
        break;
      case 3:
        lines.push_back(source + ">APRS:!/" +
                        EncodeCompressedPos(std::to_string(lat), std::to_string(lon)) +
                        ">7PA comp");
        break;
      case 4: {
        auto [dest, info] = MicE(lat, lon, speed, course, i % 8);
        lines.push_back(source + ">" + dest + ",WIDE1-1:`" + info + ">/]\"3x}Mic-E");
        break;
      }
      case 5: {
        // An object's name field is exactly 9 characters, padded with blanks.
        std::string name = "OBJ" + std::to_string(i % 1000);
        name.resize(9, ' ');
        lines.push_back(source + ">APRS:;" + name + "*092345z" + la + "/" + lo + ">" + csp);
        break;
      }
      case 6:
        lines.push_back(source + ">APRS:)AID" + std::to_string(i % 100) + "!" + la + "/" + lo +
                        "A");
        break;
      case 7:
        lines.push_back(source + ">APRS:>Net Control Center " + std::to_string(i));
        break;
      case 8:
        lines.push_back(source + ">APRS:_10090556c220s004g005t077r000p000P000h50b09900wRSW");
        break;
      default:
        lines.push_back(source + ">APRS::WU2Z     :Testing{" + std::to_string(i % 1000));
        break;
    }
  }
  if (const char* dump = std::getenv("VELMORA_BENCH_PACKETS")) {
    if (FILE* file = std::fopen(dump, "wb")) {
      for (const std::string& line : lines) std::fprintf(file, "%s\n", line.c_str());
      std::fclose(file);
    }
  }
  return lines;
}

const std::vector<std::string>& Packets() {
  static const std::vector<std::string> packets = MixedPackets();
  return packets;
}

// The receive road of an APRS-IS line: split into header and data, decode the data.
void BM_DecodeTnc2Lines(benchmark::State& state) {
  TReceivedPacket split;
  for (auto _ : state) {
    for (const std::string& packet : Packets()) {
      if (!SplitIsLine(packet, split)) continue;
      TAprsData data = DecodeAprsData(split.Parts.Dest, split.Data);
      int altitude = -1;
      ParseStationComment(data.Comment, data.Course, data.SpeedKnots, altitude);
      benchmark::DoNotOptimize(data);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Packets().size()));
}
BENCHMARK(BM_DecodeTnc2Lines);

// The data decoders alone, on information fields already split off.
void BM_DecodeDataFields(benchmark::State& state) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (const std::string& packet : Packets()) {
    const size_t gt = packet.find('>'), colon = packet.find(':');
    const std::string path = packet.substr(gt + 1, colon - gt - 1);
    fields.emplace_back(path.substr(0, path.find(',')), packet.substr(colon + 1));
  }
  for (auto _ : state) {
    for (const auto& [dest, data] : fields) {
      TAprsData decoded = DecodeAprsData(dest, data);
      int altitude = -1;
      ParseStationComment(decoded.Comment, decoded.Course, decoded.SpeedKnots, altitude);
      benchmark::DoNotOptimize(decoded);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(fields.size()));
}
BENCHMARK(BM_DecodeDataFields);

// The radio road: the same packets as a KISS byte stream through the receiver.
void BM_KissReceive(benchmark::State& state) {
  std::vector<uint8_t> stream;
  for (const std::string& packet : Packets()) {
    const size_t gt = packet.find('>'), colon = packet.find(':');
    std::string path = packet.substr(gt + 1, colon - gt - 1);
    if (path.find("qAC") != std::string::npos) path = "APRS";
    TKissBuildResult frame = BuildKissFrame(packet.substr(0, gt), path, packet.substr(colon + 1));
    stream.insert(stream.end(), frame.Bytes.begin(), frame.Bytes.end());
  }
  TKissLink link;
  link.KissActive = 1;
  // Counts the received lines; the monitor text of a KISS stream is none.
  struct TLineCounter : TKissLinkViews {
    int64_t lines = 0;
    void AnalysePacket(const TReceivedPacket&) override { ++lines; }
    void AddLogText(const std::string&, TLinkTraffic) override {}
  } views;
  link.SetViews(&views);
  for (auto _ : state) link.KissRxBytes(stream);
  benchmark::DoNotOptimize(views.lines);
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Packets().size()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_KissReceive);

}  // namespace
