// Our decoders and our KISS frames against direwolf's decode_aprs, gen_packets and atest (Debian
// package direwolf, installed by scripts/install-deps). Each test is skipped where its tool is
// missing.
//
// tests/data/aprs/direwolf_packets.txt holds 82 real-looking packets: plain and
// compressed positions with and without time, course, speed and altitude (compressed
// ones with each NMEA source of the compression type byte, and a range), Mic-E with
// every message, objects and items. decode_aprs prints each position as
// "N 49 03.5000, W 072 01.7500, 41 MPH, course 88, alt 1234 ft", and a range as
// ", range=63.8" after the symbol on the line before.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "core/aprs_data.h"
#include "core/kiss_ax25.h"
#include "core/tnc2_line.h"
#include "platform/sys/child_process.h"
#include "platform/text/string_list.h"
#include "support/c_numbers.h"

namespace {

const std::string kPackets = VELMORA_TEST_DATA "/aprs/direwolf_packets.txt";

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// A peer's output in the C locale, colours removed; empty when it is not installed.
std::vector<std::string> RunDecoder(const std::string& command) {
  std::vector<std::string> lines;
  const std::string output = RunAndCapture("LC_ALL=C " + command + " 2>/dev/null");
  // Drop the colour sequences: ESC, "[", digits and ";", a letter.
  std::string line;
  for (size_t i = 0; i < output.size(); ++i) {
    if (output[i] == '\x1b' && i + 1 < output.size() && output[i + 1] == '[') {
      i += 2;
      while (i < output.size() &&
             (std::isdigit(static_cast<unsigned char>(output[i])) || output[i] == ';'))
        ++i;
    } else if (output[i] == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += output[i];
    }
  }
  return lines;
}

struct TPeerPosition {
  double Lat = 0, Lon = 0;
  int SpeedMph = -1, Course = -1, AltitudeFeet = -1;
  double RangeMiles = -1;
};

// "N 49 03.5000, W 072 01.7500[, 41 MPH][, course 88][, alt 1234 ft]"
std::optional<TPeerPosition> ParsePeerPosition(const std::string& line) {
  std::istringstream in(line);
  std::string north_south, east_west;
  double lat_degrees = 0, lat_minutes = 0, lon_degrees = 0, lon_minutes = 0;
  char comma = 0;
  if (!(in >> north_south >> lat_degrees >> lat_minutes >> comma >> east_west >> lon_degrees >>
        lon_minutes) ||
      (north_south != "N" && north_south != "S") || comma != ',' ||
      (east_west != "E" && east_west != "W")) {
    return std::nullopt;
  }
  TPeerPosition p;
  p.Lat = (lat_degrees + lat_minutes / 60) * (north_south == "S" ? -1 : 1);
  p.Lon = (lon_degrees + lon_minutes / 60) * (east_west == "W" ? -1 : 1);
  // The rest: ", <n> MPH", ", course <n>", ", alt <n> ft", each optional.
  std::string word;
  while (in >> word) {
    if (word == ",") continue;
    if (word.back() == ',') word.pop_back();
    if (word == "course" || word == ",course") {
      in >> p.Course;
    } else if (word == "alt" || word == ",alt") {
      in >> p.AltitudeFeet;
    } else if (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '-') {
      std::string unit;
      in >> unit;
      if (unit.rfind("MPH", 0) == 0) p.SpeedMph = std::stoi(word);
    }
  }
  return p;
}

struct TOurPosition {
  TAprsData Data;
  int AltitudeFeet = -1;
};

TOurPosition DecodeOurs(const std::string& line) {
  TReceivedPacket packet;
  SplitIsLine(line, packet);
  TOurPosition ours;
  ours.Data = DecodeAprsData(packet.Parts.Dest, packet.Data);
  ours.AltitudeFeet = ours.Data.AltitudeFeet;
  ParseStationComment(ours.Data.Comment, ours.Data.Course, ours.Data.SpeedKnots, ours.AltitudeFeet);
  return ours;
}

TEST(DirewolfPeer, PositionsAgreeWithDecodeAprs) {
  const std::vector<std::string> packets = ReadLines(kPackets);
  ASSERT_EQ(packets.size(), 82u);
  const std::vector<std::string> output = RunDecoder("decode_aprs '" + kPackets + "'");
  if (output.empty()) GTEST_SKIP() << "decode_aprs is not installed";
  // The position line of each packet: the first one after its echo.
  std::map<std::string, TPeerPosition> peer;
  for (size_t i = 0; i < output.size(); ++i) {
    for (size_t j = i + 1; j < output.size() && j < i + 4; ++j) {
      if (std::optional<TPeerPosition> p = ParsePeerPosition(output[j])) {
        const size_t range = output[j - 1].find(", range=");
        if (range != std::string::npos) p->RangeMiles = CNumber(output[j - 1].substr(range + 8));
        peer.emplace(output[i], *p);
        break;
      }
    }
  }
  int compared = 0;
  for (const std::string& packet : packets) {
    auto it = peer.find(packet);
    ASSERT_NE(it, peer.end()) << "decode_aprs gave no position for " << packet;
    const TPeerPosition& theirs = it->second;
    const TOurPosition ours = DecodeOurs(packet);
    ASSERT_TRUE(ours.Data.HasPosition) << packet;
    EXPECT_NEAR(ours.Data.Lat, theirs.Lat, 0.0001) << packet;
    EXPECT_NEAR(ours.Data.Lon, theirs.Lon, 0.0001) << packet;
    EXPECT_EQ(ours.Data.Course, theirs.Course) << packet;
    if (theirs.SpeedMph >= 0) {
      EXPECT_NEAR(ours.Data.SpeedKnots * 1.150779, theirs.SpeedMph, 0.51) << packet;
    } else {
      EXPECT_EQ(ours.Data.SpeedKnots, -1) << packet;
    }
    EXPECT_NEAR(ours.Data.RangeMiles, theirs.RangeMiles, 0.05) << packet;
    if (theirs.AltitudeFeet >= 0) {
      EXPECT_NEAR(ours.AltitudeFeet, theirs.AltitudeFeet, 1) << packet;
    } else {
      EXPECT_EQ(ours.AltitudeFeet, -1) << packet;
    }
    ++compared;
  }
  EXPECT_EQ(compared, 82);
}

// A folder of the test's own under the temporary folder, gone with it: other
// worktrees run the same tests at the same time.
struct TPrivateFolder {
  TPrivateFolder()
      : path(testing::TempDir() + "velmora-peer-" + std::to_string(std::random_device{}()) + "/") {
    std::filesystem::create_directories(path);
  }
  ~TPrivateFolder() { std::filesystem::remove_all(path); }
  std::string path;
};

TEST(DirewolfPeer, DecodeAprsReadsOurKissFramesBackAsTheLinesWeSent) {
  std::vector<std::string> sent;
  const TPrivateFolder folder;
  std::string hex_file = folder.path + "velmora_kiss_frames.txt";
  {
    std::ofstream hex(hex_file);
    for (const std::string& packet : ReadLines(kPackets)) {
      bool printable = true;
      for (unsigned char c : packet) printable = printable && c >= 0x20 && c < 0x7F;
      if (!printable) continue;  // decode_aprs shows other bytes as <0xNN>
      size_t gt = packet.find('>');
      size_t colon = packet.find(':');
      TKissBuildResult frame =
          BuildKissFrame("0:" + packet.substr(0, gt), packet.substr(gt + 1, colon - gt - 1),
                         packet.substr(colon + 1));
      ASSERT_EQ(frame.Error, TKissBuildError::None) << packet;
      for (uint8_t b : frame.Bytes) {
        char text[4];
        std::snprintf(text, sizeof text, "%02x ", b);
        hex << text;
      }
      hex << "\n";
      sent.push_back(packet);
    }
  }
  ASSERT_GT(sent.size(), 40u);
  const std::vector<std::string> output = RunDecoder("decode_aprs '" + hex_file + "'");
  if (output.empty()) GTEST_SKIP() << "decode_aprs is not installed";
  size_t found = 0, command_frames = 0;
  for (const std::string& line : output) {
    if (std::find(sent.begin(), sent.end(), line) != sent.end()) ++found;
    // AX.25 version 2 command: destination C = 1, source C = 0, reserved bits set.
    if (line.find(" dest ") == 0 && line.find("c/r=1 res=3 last=0") != std::string::npos)
      ++command_frames;
  }
  EXPECT_EQ(found, sent.size());
  EXPECT_EQ(command_frames, sent.size());
}

// "[0] SRC>DEST:data" then the frame as "  000:  82 a0 ... ascii" rows, per decoded packet.
std::vector<std::vector<uint8_t>> AtestFrames(const std::vector<std::string>& output) {
  std::vector<std::vector<uint8_t>> frames;
  bool in_dump = false;
  for (const std::string& line : output) {
    const bool dump_row = line.size() > 8 && line.compare(0, 2, "  ") == 0 && line[5] == ':';
    if (!dump_row) {
      in_dump = false;
      continue;
    }
    if (!in_dump) frames.emplace_back();
    in_dump = true;
    std::istringstream row(line.substr(7, 48));
    for (std::string hex; row >> hex && hex.size() == 2;) {
      frames.back().push_back(static_cast<uint8_t>(std::stoi(hex, nullptr, 16)));
    }
  }
  return frames;
}

TEST(DirewolfPeer, DecodesTheFramesGenPacketsAndAtestMake) {
  const std::vector<std::string> packets = ReadLines(kPackets);
  const TPrivateFolder private_folder;
  const std::string& folder = private_folder.path;
  std::string wav_files;
  for (size_t i = 0; i < packets.size(); ++i) {
    const std::string text = folder + "velmora_packet.txt";
    const std::string wav = folder + "velmora_packet_" + std::to_string(i) + ".wav";
    std::ofstream(text, std::ios::binary) << packets[i];  // no line end: it would join the data
    if (std::system(
            ("gen_packets -r 48000 -o '" + wav + "' '" + text + "' >/dev/null 2>&1").c_str()) !=
        0) {
      GTEST_SKIP() << "gen_packets is not installed";
    }
    wav_files += " '" + wav + "'";
  }
  const std::vector<std::string> output = RunDecoder("atest -h" + wav_files);
  const std::vector<std::vector<uint8_t>> frames = AtestFrames(output);
  ASSERT_EQ(frames.size(), packets.size());
  for (size_t i = 0; i < packets.size(); ++i) {
    std::vector<uint8_t> kiss = {kKissCommandData};
    kiss.insert(kiss.end(), frames[i].begin(), frames[i].end());
    const std::string text = DecodeAx25Frame(kiss);
    const size_t crlf = text.find("\r\n");
    ASSERT_NE(crlf, std::string::npos) << packets[i];
    // "1:fm SRC to DEST via A B ctl UI pid F0" back to "SRC>DEST,A,B".
    std::istringstream header(text.substr(0, crlf));
    std::string fm, source, to, destination, word, address;
    header >> fm >> source >> to >> destination >> word;
    address = source + ">" + destination;
    if (word == "via") {
      while (header >> word && word != "ctl") address += "," + word;
    }
    EXPECT_EQ(address + ":" + text.substr(crlf + 2), packets[i]);
  }
}

}  // namespace
