#include "core/kiss_ax25.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using Bytes = std::vector<uint8_t>;

std::string Decode(const Bytes& frame) {
  return DecodeAx25Frame(frame);
}

Bytes FromHex(std::string_view hex) {
  Bytes bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return bytes;
}

// Command byte 00, destination APRS (C = 1), source N0CALL (C = 0, last address),
// UI, PID F0, data "!".
const Bytes kSimpleFrame = {0x00, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0, 0x9C,
                            0x60, 0x86, 0x82, 0x98, 0x98, 0x61, 0x03, 0xF0, 0x21};

TEST(Ax25Decode, UiCommandFrame) {
  EXPECT_EQ(Decode(kSimpleFrame), "1:fm N0CALL to APRS ctl UI^ pid F0\r\n!");
  Bytes older = kSimpleFrame;
  older[7] = 0x60;  // destination C bit cleared: both C bits equal
  EXPECT_EQ(Decode(older), "1:fm N0CALL to APRS ctl UI pid F0\r\n!");
  Bytes port2 = kSimpleFrame;
  port2[0] = 0x10;
  EXPECT_EQ(Decode(port2), "2:fm N0CALL to APRS ctl UI^ pid F0\r\n!");
}

TEST(Ax25Decode, EscapesAreUndone) {
  Bytes frame = kSimpleFrame;
  frame.pop_back();
  for (uint8_t b : {0xDB, 0xDC, 0x41, 0xDB, 0xDD, 0xDD, 0xDB}) frame.push_back(b);
  EXPECT_EQ(Decode(frame),
            "1:fm N0CALL to APRS ctl UI^ pid F0\r\n\xC0"
            "A\xDB\xDD\xDB");
  EXPECT_EQ(KissUnescape(Bytes{0xDB, 0xDC, 0xDB, 0xDD, 0xDB, 0x41, 0xDB}),
            (Bytes{0xC0, 0xDB, 0xDB, 0x41, 0xDB}));
}

TEST(Ax25Decode, OnlyTheLastRepeatedDigipeaterKeepsItsStar) {
  // N0CALL>APRS,DIGI1*,DIGI2*,WIDE2-1 as direwolf's gen_packets made it (both C bits set).
  Bytes frame = FromHex(
      "0082a0a4a64040e09c6086829898e088928e926240e088928e926440e0ae92888a64406303f03e74776f207573"
      "6564");
  EXPECT_EQ(Decode(frame),
            "1:fm N0CALL to APRS via DIGI1 DIGI2* WIDE2-1 ctl UI pid F0\r\n>two used");
}

TEST(Ax25Decode, ControlTexts) {
  EXPECT_EQ(CtlText(0x3F, true, false), "SABM+");
  EXPECT_EQ(CtlText(0x2F, true, false), "SABM^");
  EXPECT_EQ(CtlText(0x53, false, true), "DISC-");
  EXPECT_EQ(CtlText(0x0F, false, true), "DMv");
  EXPECT_EQ(CtlText(0x73, false, false), "UA!");
  EXPECT_EQ(CtlText(0x87, false, false), "FRMR");
  EXPECT_EQ(CtlText(0x13, false, false), "UI!");
  EXPECT_EQ(CtlText(0xEF, true, false), "^");  // unknown U frame: marker only
  EXPECT_EQ(CtlText(0x46, true, false), "I23^");
  EXPECT_EQ(CtlText(0x00, false, false), "I00");
  EXPECT_EQ(CtlText(0x41, true, false), "RR2^");
  EXPECT_EQ(CtlText(0x45, true, false), "RNR2^");
  EXPECT_EQ(CtlText(0x49, true, false), "REJ2^");
  EXPECT_EQ(CtlText(0x4D, true, false), "REJ2^");  // REJ wins over RNR
}

TEST(Ax25Decode, AddressTexts) {
  const std::string raw = {'N', '0', 'C', 'A', 'L', 'L', static_cast<char>(0x72 >> 1)};
  EXPECT_EQ(Ax25AddressText(raw, false), "N0CALL-9");
  const std::string digi = {'W', 'I', 'D', 'E', '1', ' ', static_cast<char>(0xE2 >> 1)};
  EXPECT_EQ(Ax25AddressText(digi, true), "WIDE1-1*");
  EXPECT_EQ(Ax25AddressText(digi, false), "WIDE1-1");
  EXPECT_EQ(Ax25AddressText("N0CALL", false), "");
}

TEST(Ax25Decode, ShortAndMalformedFrames) {
  EXPECT_EQ(Decode(Bytes(kSimpleFrame.begin(), kSimpleFrame.begin() + 14)), "");
  EXPECT_EQ(Decode(Bytes(kSimpleFrame.begin(), kSimpleFrame.begin() + 15)),
            "1:fm N0CALL to APRS ctl I00^ pid 00\r\n");
  // No end-of-address bit at all: everything is address, control and PID read as zero.
  Bytes endless(40, 0x82);
  endless[0] = 0;
  EXPECT_EQ(Decode(endless).substr(0, 20), "1:fm AAAAAA-1 to AAA");
  EXPECT_NE(Decode(endless).find(" ctl I00 pid 00\r\n"), std::string::npos);
  // Every prefix of a real frame decodes cleanly.
  for (size_t n = 0; n <= kSimpleFrame.size(); ++n) {
    std::string text = Decode(Bytes(kSimpleFrame.begin(), kSimpleFrame.begin() + n));
    EXPECT_EQ(text.empty(), n < 15) << n;
  }
}

// Frame bytes for "source" (any bytes) from N0CALL's place in kSimpleFrame.
Bytes WithAddress(size_t Start, std::string_view Call) {
  Bytes frame = kSimpleFrame;
  for (size_t i = 0; i < 6; ++i) {
    const char c = i < Call.size() ? Call[i] : ' ';
    frame[Start + i] = static_cast<uint8_t>(static_cast<uint8_t>(c) << 1);
  }
  return frame;
}

// An address is a callsign: letters and digits, padded with blanks. Anything else
// would carry line breaks, blanks or header words into every text made of it.
TEST(Ax25Decode, FramesWithAddressesThatAreNoCallsignsAreDropped) {
  EXPECT_EQ(Decode(WithAddress(8, "n0call")), "1:fm n0call to APRS ctl UI^ pid F0\r\n!");
  EXPECT_EQ(Decode(WithAddress(8, "X")), "1:fm X to APRS ctl UI^ pid F0\r\n!");
  for (std::string_view bad : std::initializer_list<std::string_view>{
           "X\nEVIL", "X\rEVIL", std::string_view("X\0EVIL", 6), "X EVIL", " XEVIL", "      ",
           "X>EVIL", "X:EVIL", "TO*", "A-B"}) {
    EXPECT_EQ(Decode(WithAddress(8, bad)), "") << bad;  // source
    EXPECT_EQ(Decode(WithAddress(1, bad)), "") << bad;  // destination
  }
  // A digipeater is checked the same way.
  TKissTxFrame frame;
  AppendFrameByte(0, frame);
  EncodeAx25Address("APRS", true, frame);
  EncodeAx25Address("N0CALL", false, frame);
  EncodeAx25Address("WIDE1", false, frame);
  frame.Bytes[frame.Length - 1] |= 1;
  AppendFrameByte(0x03, frame);
  AppendFrameByte(0xF0, frame);
  Bytes good(frame.Bytes.begin(), frame.Bytes.begin() + frame.Length);
  EXPECT_EQ(Decode(good), "1:fm N0CALL to APRS via WIDE1 ctl UI^ pid F0\r\n");
  good[15 + 4] = '\n' << 1;
  EXPECT_EQ(Decode(good), "");
  EXPECT_FALSE(IsAx25Callsign("N0CAL"));  // too short to be an address
  EXPECT_TRUE(IsAx25Callsign("N0CALL"));
}

TEST(Ax25Decode, DigipeatersBeyondTheEighthAreNotShown) {
  TKissTxFrame frame;
  AppendFrameByte(0, frame);
  EncodeAx25Address("APRS", true, frame);
  EncodeAx25Address("N0CALL", false, frame);
  for (int i = 1; i <= 10; ++i) EncodeAx25Address("D" + std::to_string(i), false, frame);
  frame.Bytes[frame.Length - 1] |= 1;
  AppendFrameByte(0x03, frame);
  AppendFrameByte(0xF0, frame);
  AppendFrameByte('x', frame);
  EXPECT_EQ(Decode(Bytes(frame.Bytes.begin(), frame.Bytes.begin() + frame.Length)),
            "1:fm N0CALL to APRS via D1 D2 D3 D4 D5 D6 D7 D8 ctl UI^ pid F0\r\nx");
}

TEST(KissBuild, FrameOfThePortTwoBeacon) {
  TKissBuildResult frame = BuildKissFrame("1:N0CALL-9", "APRS,WIDE1-1", ">test");
  ASSERT_EQ(frame.Error, TKissBuildError::None);
  Bytes expected = {0xC0, 0x10, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0,  // APRS, C = 1
                    0x9C, 0x60, 0x86, 0x82, 0x98, 0x98, 0x72,              // N0CALL-9
                    0xAE, 0x92, 0x88, 0x8A, 0x62, 0x40, 0x63,              // WIDE1-1, last
                    0x03, 0xF0, '>',  't',  'e',  's',  't',  0xC0};
  EXPECT_EQ(frame.Bytes, expected);
}

TEST(KissBuild, EmptyDestinationIsAprs) {
  TKissBuildResult frame = BuildKissFrame("N0CALL", "", "x");
  ASSERT_EQ(frame.Error, TKissBuildError::None);
  Bytes expected = {0xC0, 0x00, 0x82, 0xA0, 0xA4, 0xA6, 0x40, 0x40, 0xE0, 0x9C,
                    0x60, 0x86, 0x82, 0x98, 0x98, 0x61, 0x03, 0xF0, 'x',  0xC0};
  EXPECT_EQ(frame.Bytes, expected);
  // Empty elements of the path are no addresses.
  EXPECT_EQ(BuildKissFrame("N0CALL", ",WIDE1-1,", "x").Bytes,
            BuildKissFrame("N0CALL", "APRS,WIDE1-1", "x").Bytes);
}

TEST(KissBuild, DataBytesAreEscaped) {
  TKissBuildResult frame = BuildKissFrame("N0CALL", "APRS", "\xC0\xDB");
  ASSERT_EQ(frame.Error, TKissBuildError::None);
  Bytes tail(frame.Bytes.end() - 5, frame.Bytes.end());
  EXPECT_EQ(tail, (Bytes{0xDB, 0xDC, 0xDB, 0xDD, 0xC0}));
  // A port whose command byte is a FEND is escaped as well.
  frame = BuildKissFrame("12:N0CALL", "APRS", "x");
  ASSERT_EQ(frame.Error, TKissBuildError::None);
  EXPECT_EQ(Bytes(frame.Bytes.begin(), frame.Bytes.begin() + 3), (Bytes{0xC0, 0xDB, 0xDC}));
}

TEST(KissBuild, RefusesWhatWouldSendAWrongFrame) {
  EXPECT_EQ(BuildKissFrame("x:N0CALL", "APRS", "x").Error, TKissBuildError::BadPort);
  EXPECT_EQ(BuildKissFrame("16:N0CALL", "APRS", "x").Error, TKissBuildError::BadPort);
  EXPECT_EQ(BuildKissFrame("N0CALL-16", "APRS", "x").Error, TKissBuildError::BadAddress);
  EXPECT_EQ(BuildKissFrame("N0CALL-x", "APRS", "x").Error, TKissBuildError::BadAddress);
  EXPECT_EQ(BuildKissFrame("OH7LZBXXX", "APRS", "x").Error, TKissBuildError::BadAddress);
  EXPECT_EQ(BuildKissFrame("", "APRS", "x").Error, TKissBuildError::BadAddress);
  EXPECT_EQ(BuildKissFrame("N0CALL", "APRS,A,B,C,D,E,F,G,H,I", "x").Error,
            TKissBuildError::TooManyDigipeaters);
  EXPECT_EQ(BuildKissFrame("N0CALL", "APRS,A,B,C,D,E,F,G,H", "x").Error, TKissBuildError::None);
  EXPECT_EQ(BuildKissFrame("N0CALL", "APRS", std::string(400, 'x')).Error, TKissBuildError::None);
  EXPECT_EQ(BuildKissFrame("N0CALL", "APRS", std::string(400, '\xC0')).Error,
            TKissBuildError::TooLong);
  EXPECT_EQ(BuildKissFrame("N0CALL-", "APRS", "x").Bytes,
            BuildKissFrame("N0CALL", "APRS", "x").Bytes);
}

// ax25_frames.tsv: TNC2 lines and the AX.25 frames direwolf's gen_packets made of them.
struct TDirewolfFrame {
  std::string Line;
  Bytes Frame;
};

std::vector<TDirewolfFrame> ReadDirewolfFrames() {
  std::ifstream file(VELMORA_TEST_DATA "/aprs/ax25_frames.tsv");
  std::vector<TDirewolfFrame> frames;
  std::string row;
  while (std::getline(file, row)) {
    if (row.empty() || row[0] == '#') continue;
    size_t tab = row.find('\t');
    frames.push_back({row.substr(0, tab), FromHex(row.substr(tab + 1))});
  }
  return frames;
}

TEST(KissPeer, DecodesDirewolfFramesIntoTheirLines) {
  std::vector<TDirewolfFrame> frames = ReadDirewolfFrames();
  ASSERT_EQ(frames.size(), 10u);
  for (const TDirewolfFrame& f : frames) {
    Bytes kiss = {0x00};
    kiss.insert(kiss.end(), f.Frame.begin(), f.Frame.end());
    std::string text = Decode(kiss);
    // Rebuild the TNC2 line from our header: "1:fm SRC to DEST via A B ctl UI pid F0".
    size_t crlf = text.find("\r\n");
    ASSERT_NE(crlf, std::string::npos) << f.Line;
    std::istringstream header(text.substr(0, crlf));
    std::string fm, source, to, destination, word, path;
    header >> fm >> source >> to >> destination >> word;
    if (word == "via") {
      while (header >> word && word != "ctl") path += "," + word;
    }
    std::string ctl, pid_word, pid;
    header >> ctl >> pid_word >> pid;
    EXPECT_EQ(ctl, "UI") << f.Line;  // direwolf sets both C bits
    EXPECT_EQ(pid, "F0");
    // Our header keeps only the last star of the path.
    std::string line = f.Line;
    std::string address = line.substr(0, line.find(':'));
    size_t last_star = address.rfind('*');
    if (last_star != std::string::npos) {
      for (size_t star; (star = line.find('*')) < last_star; --last_star) line.erase(star, 1);
    }
    EXPECT_EQ(source + ">" + destination + path + ":" + text.substr(crlf + 2), line);
  }
}

TEST(KissPeer, BuildsTheFramesDirewolfBuilds) {
  for (const TDirewolfFrame& f : ReadDirewolfFrames()) {
    if (f.Line.find('*') != std::string::npos) continue;  // we never send repeated flags
    size_t gt = f.Line.find('>');
    size_t colon = f.Line.find(':');
    TKissBuildResult ours = BuildKissFrame(
        f.Line.substr(0, gt), f.Line.substr(gt + 1, colon - gt - 1), f.Line.substr(colon + 1));
    ASSERT_EQ(ours.Error, TKissBuildError::None) << f.Line;
    Bytes expected = {0xC0, 0x00};
    expected.insert(expected.end(), f.Frame.begin(), f.Frame.end());
    expected.push_back(0xC0);
    // We send AX.25 version 2 command frames (source C bit 0); direwolf 1.6 sets it.
    expected[2 + 13] &= 0x7F;
    EXPECT_EQ(ours.Bytes, expected) << f.Line;
  }
}

}  // namespace
