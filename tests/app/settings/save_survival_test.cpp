// Saves cut short: the program's shut-down save (the settings and "Stn.dat" with 20,000
// stations) killed at random moments in a child process, and saves that meet a full
// disk. Afterwards each file is the old or the new whole version, never torn, empty or
// a mix; a full disk is reported with the file's name; leftovers of a killed save are
// cleaned at the next start.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "app/app_windows.h"
#include "app/map/frm_aprs.h"
#include "app/program/program.h"
#include "app/settings/frm_setup.h"
#include "app/settings/settings_store.h"
#include "app/stations/station_records.h"
#include "platform/sys/child_process.h"
#include "platform/sys/file_size_limit.h"
#include "platform/sys/files.h"
#include "platform/sys/registry.h"

namespace {

constexpr int kStations = 20000;
constexpr int kKills = 50;

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream content;
  content << file.rdbuf();
  return content.str();
}

int SaveFilesIn(const std::string& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    count += entry.path().filename().string().find("~save-") != std::string::npos;
  return count;
}

class SaveSurvivalTest : public AppWindowsTest {
 protected:
  // Version V of what the program saves: its callsign, its filter and its stations all
  // carry V, so a mix of two versions shows.
  void SetUp() override {
    AppWindowsTest::SetUp();
    for (int v : {0, 1}) {
      station_lines_[v].reserve(kStations);
      for (int i = 0; i < kStations; ++i) {
        TAprsInfo info = SampleStation("S" + std::to_string(i) + "-" + std::to_string(v));
        info.Data = ">version " + std::to_string(v);
        station_lines_[v].push_back(RecordOf(info));
      }
    }
  }
  void MakeVersion(int V) {
    frmSetup->edtCallP1->SetText("N" + std::to_string(V) + "CALL");
    frmSetup->edtTcpFilter->SetText("r/52/13/" + std::to_string(100 + V));
    frmAprs->Stations.StationList.Assign(station_lines_[V]);
  }
  // The program's save path at shut-down.
  void SaveAll() {
    SaveSettings(*frmSetup);
    frmAprs->Stations.SaveStations(frmAprs->StationFileName());
  }
  // The version the settings file holds whole, -1 when it is damaged or mixed.
  static int SettingsVersion() {
    TRegistry reg;
    if (reg.Damaged()) return -1;
    if (!reg.OpenKey("\\Software\\Velmora\\Programm\\Station", false)) return -1;
    const std::string call = reg.ReadString("CallP1");
    if (!reg.OpenKey("\\Software\\Velmora\\Programm\\Programm", false)) return -1;
    const std::string filter = reg.ReadString("TcpFilter");
    for (const char* key : {"Device", "Position"}) {
      if (!reg.KeyExists(std::string("\\Software\\Velmora\\Programm\\") + key)) return -1;
    }
    for (int v : {0, 1}) {
      if (call == "N" + std::to_string(v) + "CALL" &&
          filter == "r/52/13/" + std::to_string(100 + v))
        return v;
    }
    return -1;
  }

 private:
  std::vector<std::string> station_lines_[2];
};

TEST_F(SaveSurvivalTest, AKillAtAnyMomentLeavesTheOldOrTheNewFiles) {
  const std::string station_file = frmAprs->StationFileName();
  // Both versions once, to know their files; the time a save takes sets the kill times.
  AnswerNextMyMsgBox();  // the first save's version notice
  MakeVersion(1);
  SaveAll();
  std::string stations[2];
  stations[1] = ReadWholeFile(station_file);
  MakeVersion(0);
  const auto start = std::chrono::steady_clock::now();
  SaveAll();
  const auto save_time = std::chrono::steady_clock::now() - start;
  stations[0] = ReadWholeFile(station_file);
  ASSERT_TRUE(stations[0] != stations[1]);
  ASSERT_EQ(std::count(stations[0].begin(), stations[0].end(), '\n'), kStations);
  const int save_us = int(std::chrono::duration_cast<std::chrono::microseconds>(save_time).count());

  std::mt19937 random(20261207);
  int torn = 0, inside_a_save = 0, versions_seen[2] = {0, 0};
  for (int round = 0; round < kKills; ++round) {
    // The old version is on disk; the child saves the new one, again and again, until
    // it is killed. The windows are the parent's: the child only saves.
    MakeVersion(1);
    // Kill times count from the moment the child's second save begins, in lengths of
    // its first, however late it started or slowly it runs on a loaded machine: kills
    // fall inside a save and between two.
    const double fraction = std::uniform_real_distribution<>(0, 1.5)(random);
    ASSERT_TRUE(RunAndKillAfter(
        [this](const std::function<void()>& began) {
          for (;;) {
            began();
            SaveAll();
          }
        },
        fraction))
        << "the child ended by itself";

    const int settings = SettingsVersion();
    const std::string content = ReadWholeFile(station_file);
    const int station_version = content == stations[0] ? 0 : content == stations[1] ? 1 : -1;
    torn += settings < 0 || station_version < 0;
    EXPECT_GE(settings, 0) << "kill " << round;
    EXPECT_GE(station_version, 0) << "kill " << round << ": " << content.size() << " bytes";
    if (station_version >= 0) ++versions_seen[station_version];
    // A kill inside a save leaves its temporary file; the next start removes it.
    inside_a_save += SaveFilesIn(ConfigFolder()) + SaveFilesIn(PrgDir()) > 0;
    DeleteInterruptedSaves();
    EXPECT_EQ(SaveFilesIn(ConfigFolder()) + SaveFilesIn(PrgDir()), 0);
    MakeVersion(0);
    SaveAll();
  }
  EXPECT_EQ(torn, 0);
  // Kills met saves under way; exactly how many depends on the machine's load, so the
  // split is reported rather than required.
  EXPECT_GT(inside_a_save, 0);
  std::printf("kills %d, torn files %d, inside a save %d, Stn.dat old %d new %d, save %d us\n",
              kKills, torn, inside_a_save, versions_seen[0], versions_seen[1], save_us);
}

// A disk that fills up during the shut-down save: the user reads which file could not
// be written and why, and both files keep their old content whole.
TEST_F(SaveSurvivalTest, AFullDiskKeepsTheOldFilesAndSaysWhichOne) {
  AnswerNextMyMsgBox();
  MakeVersion(0);
  SaveAll();
  const std::string station_file = frmAprs->StationFileName();
  const std::string old_stations = ReadWholeFile(station_file);
  const std::string old_settings = ReadWholeFile(TRegistry::FileName());
  MakeVersion(1);
  std::vector<std::string> errors;
  {
    TFileSizeLimit full(old_settings.size() / 2);
    AnswerMyMsgBoxes(errors, 1);
    SaveSettings(*frmSetup);
    try {
      frmAprs->Stations.SaveStations(station_file);
      ADD_FAILURE() << "Stn.dat was saved";
    } catch (const Exception& error) {
      errors.push_back(error.what());
    }
  }
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find(TRegistry::FileName()), std::string::npos) << errors[0];
  EXPECT_NE(errors[0].find(std::strerror(EFBIG)), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find(station_file), std::string::npos) << errors[1];
  EXPECT_EQ(ReadWholeFile(TRegistry::FileName()), old_settings);
  EXPECT_EQ(ReadWholeFile(station_file), old_stations);
  EXPECT_EQ(SaveFilesIn(ConfigFolder()) + SaveFilesIn(PrgDir()), 0);
}

}  // namespace
