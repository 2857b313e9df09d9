// A settings text of sections and keys, kept in memory in the order written: what the
// styles save themselves to and load from. Values are strings; integers are written in
// decimal and read back with the default when the text is no number.
//
// Example: WriteInteger("Style0", "Size", 12) then ReadInteger("Style0", "Size", 10) == 12.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TRDIniFile {
 public:
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view fallback) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
  void WriteInteger(std::string_view section, std::string_view key, int value);
  bool ValueExists(std::string_view section, std::string_view key) const;
  // The keys of a section in the order they were first written.
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  struct Section {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values;
  };
  const std::string* Find(std::string_view section, std::string_view key) const;
  std::vector<Section> sections_;
};

// KeyFormat applied to a key: the first "%s" of keyFormat replaced by key (no other
// directive is interpreted, so a format from a file can do no harm).
std::string FormatKey(std::string_view keyFormat, std::string_view key);
// Booleans as "Yes"/"No"; reading is true for any case of "yes".
std::string BoolToIni(bool value);
bool IniToBool(std::string_view text);
