// Our decoders against the values an independent APRS parser's test suite asserts
// (tests/data/aprs/aprs_decode_expect.tsv, see the corpus's SOURCES.md): positions,
// symbols, course, speed, altitude, object and item names and states, the position
// format and the Mic-E message bits. Where our decoding differs on purpose, the case
// is listed below with the reason; any other difference fails, and so does a listed
// difference that has gone away.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>

#include "core/aprs_data.h"
#include "core/tnc2_line.h"
#include "platform/text/string_list.h"
#include "support/c_numbers.h"

namespace {

struct TExpectRow {
  std::string Id, Field, Format, Expected, Raw;
};

std::string UnescapeRaw(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == '\\') {
      out += '\\';
      ++i;
    } else if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
      out += static_cast<char>(std::stoi(std::string(s.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::vector<TExpectRow> ReadRows() {
  std::ifstream file(VELMORA_TEST_DATA "/aprs/aprs_decode_expect.tsv");
  std::vector<TExpectRow> rows;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    TExpectRow row;
    std::string* fields[] = {&row.Id, &row.Field, &row.Format, &row.Expected};
    size_t start = 0;
    for (std::string* field : fields) {
      size_t tab = line.find('\t', start);
      *field = line.substr(start, tab - start);
      start = tab + 1;
    }
    row.Raw = UnescapeRaw(line.substr(start));
    rows.push_back(row);
  }
  return rows;
}

// One packet through our receive decoders, as the dispatcher and station store use them.
struct TOurDecode {
  std::string Source, Destination;
  TAprsData Data;
  int AltitudeFeet = -1;
};

TOurDecode DecodeLine(const std::string& raw) {
  TOurDecode ours;
  TReceivedPacket packet;
  if (!SplitIsLine(raw, packet)) return ours;
  ours.Source = packet.Parts.Source;
  ours.Destination = packet.Parts.Dest;
  ours.Data = DecodeAprsData(ours.Destination, packet.Data);
  ours.AltitudeFeet = ours.Data.AltitudeFeet;
  if (ours.Data.SymCode != '_') {
    ParseStationComment(ours.Data.Comment, ours.Data.Course, ours.Data.SpeedKnots,
                        ours.AltitudeFeet);
  }
  return ours;
}

std::string Formatted(const std::string& format, double value) {
  TCNumbers c;  // the suite's numbers have a '.' before the fraction
  char text[64];
  std::snprintf(text, sizeof text, format.empty() ? "%g" : format.c_str(), value);
  return text;
}

const char* MicEBits(uint8_t code) {
  static const std::map<int, const char*> bits = {{1, "111"}, {2, "110"}, {3, "101"}, {4, "100"},
                                                  {5, "011"}, {6, "010"}, {7, "001"}, {20, "000"}};
  auto it =
      bits.find(code % 10 == 0 && code != 20 ? -1 : (code > 10 && code < 20 ? code - 10 : code));
  return it == bits.end() ? "<absent>" : it->second;
}

// Our value of a field as the suite writes it, or nullopt for a field we do not decode.
std::optional<std::string> OurValue(const TOurDecode& ours, const TExpectRow& row) {
  const TAprsData& d = ours.Data;
  const std::string absent = "<absent>";
  const std::string& f = row.Field;
  if (f == "srccallsign") return ours.Source.empty() ? absent : ours.Source;
  if (f == "dstcallsign") return ours.Destination.empty() ? absent : ours.Destination;
  if (f == "latitude") return d.HasPosition ? Formatted(row.Format, d.Lat) : absent;
  if (f == "longitude") return d.HasPosition ? Formatted(row.Format, d.Lon) : absent;
  if (f == "symboltable") return d.HasPosition ? std::string(1, d.SymTable) : absent;
  if (f == "symbolcode") return d.HasPosition ? std::string(1, d.SymCode) : absent;
  if (f == "course") return d.Course < 0 ? absent : Formatted(row.Format, d.Course);
  if (f == "speed") return d.SpeedKnots < 0 ? absent : Formatted(row.Format, d.SpeedKnots * 1.852);
  if (f == "objectname") return d.Kind == TAprsDataKind::Object ? d.Name : absent;
  if (f == "itemname") return d.Kind == TAprsDataKind::Item ? d.Name : absent;
  if (f == "alive") {
    if (d.ObjState == '?') return absent;
    const bool alive = d.ObjState != '_';
    if (row.Expected == "true" || row.Expected == "false") return alive ? "true" : "false";
    return alive ? "1" : "0";
  }
  if (f == "format") {
    switch (d.PosFormat) {
      case 'A':
        return "uncompressed";
      case 'C':
        return "compressed";
      case 'E':
      case ']':
      case '>':
        return "mice";
      default:
        return absent;
    }
  }
  if (f == "mbits") return d.Kind == TAprsDataKind::MicE ? MicEBits(d.MicEMsg) : absent;
  return std::nullopt;
}

// Altitude: the suite asserts metres; we keep whole feet, so half a foot is the tolerance.
bool AltitudeAgrees(const TOurDecode& ours, const TExpectRow& row) {
  if (row.Expected == "<absent>") return ours.AltitudeFeet < 0;
  if (ours.AltitudeFeet < 0) return false;
  const double metres = ours.AltitudeFeet * 0.3048;
  return (!row.Format.empty() && Formatted(row.Format, metres) == row.Expected) ||
         std::fabs(metres - CNumber(row.Expected)) <= 0.1524 + 1e-9;
}

// Cases where our decoders read the packet otherwise, on purpose: "id field" -> reason.
const std::map<std::string, std::string> kExpectedDivergences = {
    {"G015 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G015 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G016 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G016 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G017 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G017 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P029 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P029 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P030 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P030 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P031 latitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"P031 longitude", "the !wXY! precision extension (DAO) in the comment is not read"},
    {"G041 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"G042 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"G043 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"P043 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"P044 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"P045 objectname", "object names are kept trimmed, as the station key is made of them"},
    {"G034 format", "raw NMEA ('$') is not a position data type of ours"},
    {"G034 latitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G034 longitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G034 speed", "raw NMEA ('$') is not a position data type of ours"},
    {"G036 altitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G036 format", "raw NMEA ('$') is not a position data type of ours"},
    {"G036 latitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G036 longitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G038 format", "raw NMEA ('$') is not a position data type of ours"},
    {"G038 latitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G038 longitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G039 latitude", "raw NMEA ('$') is not a position data type of ours"},
    {"G039 longitude", "raw NMEA ('$') is not a position data type of ours"},
    {"P028 course", "raw NMEA ('$') is not a position data type of ours"},
    {"P028 format", "raw NMEA ('$') is not a position data type of ours"},
    {"P028 latitude", "raw NMEA ('$') is not a position data type of ours"},
    {"P028 longitude", "raw NMEA ('$') is not a position data type of ours"},
    {"P028 speed", "raw NMEA ('$') is not a position data type of ours"},
    {"G044 format",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G044 latitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G044 longitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G045 format",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G075 latitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G075 longitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"P010 latitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"P010 longitude",
     "only the first character selects the data type; a position further in is not looked for"},
    {"G071 latitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G071 longitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G072 latitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G072 longitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G074 latitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G074 longitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"P008 latitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"P008 longitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"P009 latitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"P009 longitude",
     "position ambiguity counts the blanks as zeros (the box's corner, as direwolf does), not the "
     "box's centre"},
    {"G083 altitude",
     "the altitude after /A= must be six digits; a negative one stays in the comment"},
    {"P014 altitude",
     "the altitude after /A= must be six digits; a negative one stays in the comment"},
    {"P018 course",
     "a compressed course byte of 0 reads 0 degrees; the suite writes due north as 360"},
    {"P027 symbolcode",
     "Mic-E mangled on the way (a byte lost) is read as it stands; the suite repairs it"},
    {"P027 symboltable",
     "Mic-E mangled on the way (a byte lost) is read as it stands; the suite repairs it"},
};

TEST(AprsCorpus, AgreesWithTheIndependentSuite) {
  std::vector<TExpectRow> rows = ReadRows();
  ASSERT_GT(rows.size(), 1000u);
  std::set<std::string> rejected;
  for (const TExpectRow& row : rows) {
    if (row.Field == "parse_ok" && row.Expected == "false") rejected.insert(row.Id);
  }
  std::map<std::string, std::string> differences;
  int compared = 0;
  for (const TExpectRow& row : rows) {
    const TOurDecode ours = DecodeLine(row.Raw);  // every packet, rejected ones too: no crash
    if (rejected.count(row.Id)) continue;
    const std::string key = row.Id + " " + row.Field;
    if (row.Field == "altitude") {
      ++compared;
      if (!AltitudeAgrees(ours, row)) {
        differences[key] = std::to_string(ours.AltitudeFeet) + " ft vs " + row.Expected + " m";
      }
      continue;
    }
    std::optional<std::string> value = OurValue(ours, row);
    if (!value) continue;
    ++compared;
    if (*value != row.Expected) differences[key] = *value + " vs " + row.Expected;
  }
  EXPECT_GE(compared, 229);  // the assertions on fields we decode
  for (const auto& [key, difference] : differences) {
    EXPECT_TRUE(kExpectedDivergences.count(key))
        << "unexpected difference " << key << ": " << difference;
  }
  for (const auto& [key, reason] : kExpectedDivergences) {
    EXPECT_TRUE(differences.count(key)) << "listed divergence no longer differs: " << key;
  }
}

}  // namespace
