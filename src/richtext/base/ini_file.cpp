#include "richtext/base/ini_file.h"

#include "platform/text/sysutils.h"

std::string TRDIniFile::ReadString(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
  const std::string* value = Find(section, key);
  return value ? *value : std::string(fallback);
}

void TRDIniFile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
  Section* target = nullptr;
  for (Section& s : sections_)
    if (SameText(s.Name, section)) target = &s;
  if (!target) {
    sections_.push_back(Section{std::string(section), {}});
    target = &sections_.back();
  }
  for (auto& entry : target->Values) {
    if (SameText(entry.first, key)) {
      entry.second = value;
      return;
    }
  }
  target->Values.emplace_back(std::string(key), std::string(value));
}

int TRDIniFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
  const std::string* value = Find(section, key);
  return value ? StrToIntDef(*value, fallback) : fallback;
}

void TRDIniFile::WriteInteger(std::string_view section, std::string_view key, int value) {
  WriteString(section, key, std::to_string(value));
}

bool TRDIniFile::ValueExists(std::string_view section, std::string_view key) const {
  return Find(section, key) != nullptr;
}

std::vector<std::string> TRDIniFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  for (const Section& s : sections_)
    if (SameText(s.Name, section))
      for (const auto& entry : s.Values) keys.push_back(entry.first);
  return keys;
}

const std::string* TRDIniFile::Find(std::string_view section, std::string_view key) const {
  for (const Section& s : sections_)
    if (SameText(s.Name, section))
      for (const auto& entry : s.Values)
        if (SameText(entry.first, key)) return &entry.second;
  return nullptr;
}

std::string FormatKey(std::string_view keyFormat, std::string_view key) {
  std::string result(keyFormat);
  size_t pos = result.find("%s");
  if (pos != std::string::npos) result.replace(pos, 2, key);
  return result;
}

std::string BoolToIni(bool value) {
  return value ? "Yes" : "No";
}

bool IniToBool(std::string_view text) {
  return UpperCase(text) == "YES";
}
