// Shared by the map tests: a fresh folder of map images with calibration files, and the
// shipped symbol sheets.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/app_test_support.h"
#include "app/map/aprs_symbols.h"
#include "platform/gui/graphics/bitmap.h"

// The program folder the build fills: the shipped maps and symbol sheets.
inline std::string ShippedDataFolder() {
  return VELMORA_PROGRAM_FOLDER;
}

class MapFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("velmora-map-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  // Folder with a trailing '/'.
  std::string Folder() const { return folder_.string() + "/"; }

  static void WriteText(const std::string& Path, const std::string& Text) {
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out << Text;
  }

  // A BMP map of one colour at Folder() + Name, and its calibration file when
  // Calibration is not empty (extension CalibrationExt).
  std::string WriteMap(const std::string& Name, int Width, int Height,
                       const std::string& Calibration, const std::string& CalibrationExt = ".DAT",
                       TColor Color = clSilver) {
    const std::string image = Folder() + Name;
    std::filesystem::create_directories(std::filesystem::path(image).parent_path());
    TBitmap bitmap;
    bitmap.SetSize(Width, Height);
    bitmap.Canvas().Brush().SetColor(Color);
    bitmap.Canvas().FillRect(Rect(0, 0, Width, Height));
    bitmap.SaveToFile(image);
    if (!Calibration.empty()) {
      WriteText(image.substr(0, image.rfind('.')) + CalibrationExt, Calibration);
    }
    return image;
  }

 private:
  std::filesystem::path folder_;
};

// Calibration text of a ".DAT" file with two corners and a name.
inline std::string DatText(const std::string& Corner1, const std::string& Corner2,
                           const std::string& Name) {
  return Corner1 + "\r\n" + Corner2 + "\r\n" + Name + "\r\n";
}
