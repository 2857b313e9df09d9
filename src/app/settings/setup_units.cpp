// The settings window's unit conversions and own-position services.
#include <cmath>

#include "app/settings/frm_setup.h"
#include "core/locator.h"

namespace {

constexpr const char* kNoUnit = "?";

// To the nearest integer, halves to the even neighbour.
int RoundEven(double Value) {
  return static_cast<int>(std::nearbyint(Value));
}

std::string UnitName(const TCustomComboBox& Box, std::initializer_list<const char*> Names) {
  const int index = Box.ItemIndex();
  if (index < 0 || index >= static_cast<int>(Names.size())) return kNoUnit;
  return *(Names.begin() + index);
}

}  // namespace

bool TfrmSetup::IsDualPortDevice() const {
  const int device = mfcbxDevice->ItemIndex();
  return device == kDevicePtc2 || device == kDeviceTnc3;
}

bool TfrmSetup::IsWxDeviceOn() const {
  return mfcbxWxDevice->ItemIndex() > 0;
}

int TfrmSetup::WindFromMph(int Mph) const {
  switch (mfcbxWindSpeed->ItemIndex()) {
    case 0:
      return RoundEven(Mph * 1.609344);
    case 1:
      return RoundEven(Mph * 0.447);
    case 2:
      return Mph;
    case 3:
      return RoundEven(Mph * 0.869);
    default:
      return 0;
  }
}

std::string TfrmSetup::WindUnitName() const {
  return UnitName(*mfcbxWindSpeed, {"km/h", "m/s", "mph", "kts"});
}

int TfrmSetup::SpeedFromKnots(int Knots) const {
  switch (mfcbxSpeed->ItemIndex()) {
    case 0:
      return RoundEven(Knots * 1.851984);
    case 1:
      return RoundEven(Knots / 0.8689762);
    case 2:
      return Knots;
    default:
      return 0;
  }
}

std::string TfrmSetup::SpeedUnitName() const {
  return UnitName(*mfcbxSpeed, {"km/h", "mph", "kts"});
}

int TfrmSetup::RainFromHundredthInch(int Value) const {
  switch (mfcbxRain->ItemIndex()) {
    case 0:
    case 2:
      return RoundEven(Value / 100.0 * 25.4);
    case 1:
      return Value;
    default:
      return 0;
  }
}

std::string TfrmSetup::RainUnitName() const {
  return UnitName(*mfcbxRain, {"mm", "inch", "l/m\xB2"});
}

int TfrmSetup::TempFromFahrenheit(int F) const {
  switch (mfcbxTemp->ItemIndex()) {
    case 0:
      return RoundEven((F - 32) / 1.8);
    case 1:
      return F;
    default:
      return 0;
  }
}

std::string TfrmSetup::TempUnitName() const {
  return UnitName(*mfcbxTemp, {"\xB0"
                               "C",
                               "\xB0"
                               "F"});
}

int TfrmSetup::HeightToFeet(int Value) const {
  switch (mfcbxHeight->ItemIndex()) {
    case 0:
      return RoundEven(Value * 3.2808);
    case 1:
      return Value;
    default:
      return 0;
  }
}

int TfrmSetup::HeightFromFeet(int Feet) const {
  switch (mfcbxHeight->ItemIndex()) {
    case 0:
      return RoundEven(Feet * 0.3048);
    case 1:
      return Feet;
    default:
      return 0;
  }
}

std::string TfrmSetup::HeightUnitName() const {
  return UnitName(*mfcbxHeight, {"m", "ft"});
}

bool TfrmSetup::QrbFromOwnPos(double Lat, double Lon, double& Distance, double& Bearing) const {
  if (own_origin_.Qth().empty() || own_origin_lat_ != OwnLat || own_origin_lon_ != OwnLon) {
    own_origin_ = TQthOrigin(LatLonToText(OwnLon, OwnLat));
    own_origin_lat_ = OwnLat;
    own_origin_lon_ = OwnLon;
  }
  bool ok = false;
  own_origin_.DistanceBearing(LatLonToText(Lon, Lat), Distance, ok, Bearing);
  return ok;
}

namespace {

// "00°00.00 N" to "0000.00N": blanks become '0', the degree sign and the character
// before the hemisphere go, and the hemisphere is forced to Positive unless it is one
// of the two letters.
std::string MaskToAprs(std::string Text, std::size_t Length, char Positive, char Negative) {
  for (char& c : Text)
    if (c == ' ') c = '0';
  const std::size_t degree = Text.find('\xB0');
  if (degree != std::string::npos) Text.erase(degree, 1);
  if (Text.size() >= 2) Text.erase(Text.size() - 2, 1);
  Text.resize(Length, '0');
  char& hemisphere = Text[Length - 1];
  if (hemisphere != Positive && hemisphere != Negative) hemisphere = Positive;
  return Text;
}

}  // namespace

std::string TfrmSetup::LatMaskToAprs() const {
  return MaskToAprs(medtLati->Text(), 8, 'N', 'S');
}

std::string TfrmSetup::LonMaskToAprs() const {
  return MaskToAprs(medtLong->Text(), 9, 'E', 'W');
}
