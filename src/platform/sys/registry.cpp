#include "platform/sys/registry.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/sys/atomic_file.h"
#include "platform/sys/files.h"
#include "platform/text/streams.h"

const char* const kDamagedNotKeptText = "The damaged file there could not be kept.";

namespace {

constexpr char kHeader[] = "Velmora registry 1";
constexpr char kTrailer[] = "end";
// Far beyond any real settings file; a bigger file is not ours.
constexpr std::streamoff kMaxFileSize = 16 * 1024 * 1024;

struct RegValue {
  std::string name;
  bool isInteger = false;
  std::string text;
  int number = 0;
};

struct RegKey {
  std::string name;
  std::vector<RegValue> values;
  std::vector<std::unique_ptr<RegKey>> subkeys;

  RegKey* Find(const std::string& keyName) const {
    for (const auto& key : subkeys) {
      if (SameName(key->name, keyName)) return key.get();
    }
    return nullptr;
  }
  RegValue* FindValue(const std::string& valueName) {
    for (RegValue& value : values) {
      if (SameName(value.name, valueName)) return &value;
    }
    return nullptr;
  }
  static bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && AnsiUpperCase(a) == AnsiUpperCase(b);
  }
};

using KeyPath = std::vector<std::string>;

KeyPath SplitPath(const std::string& path) {
  KeyPath names;
  std::string name;
  for (char c : path) {
    if (c == '\\') {
      if (!name.empty()) names.push_back(name);
      name.clear();
    } else {
      name += c;
    }
  }
  if (!name.empty()) names.push_back(name);
  return names;
}

// --- the file format ---------------------------------------------------------------------
// Line 1 is the header, the last line "end". A line `key "Software" "Velmora"` selects that
// key (creating it), and the `string "Name" "text"` and `integer "Name" -5` lines after it
// are its values. Inside quotes '\' and '"' are escaped with '\', and every byte below 32
// or above 126 is written \xHH, so the file is plain ASCII whatever the values hold.

void AppendQuoted(std::string& out, const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += '"';
  for (unsigned char c : text) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 32 || c > 126) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void AppendKey(std::string& out, const RegKey& key, KeyPath& path) {
  out += "key";
  for (const std::string& name : path) {
    out += ' ';
    AppendQuoted(out, name);
  }
  out += '\n';
  for (const RegValue& value : key.values) {
    out += value.isInteger ? "integer " : "string ";
    AppendQuoted(out, value.name);
    out += ' ';
    if (value.isInteger) {
      out += std::to_string(value.number);
    } else {
      AppendQuoted(out, value.text);
    }
    out += '\n';
  }
  for (const auto& sub : key.subkeys) {
    path.push_back(sub->name);
    AppendKey(out, *sub, path);
    path.pop_back();
  }
}

std::string Serialize(const RegKey& root) {
  std::string out = std::string(kHeader) + '\n';
  KeyPath path;
  AppendKey(out, root, path);
  out += kTrailer;
  out += '\n';
  return out;
}

// Reads one line's tokens; false on anything malformed.
class LineReader {
 public:
  explicit LineReader(std::string_view line) : line_(line) {}

  bool Word(std::string& word) {
    SkipBlanks();
    const size_t start = pos_;
    while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
    word.assign(line_.substr(start, pos_ - start));
    return !word.empty();
  }

  bool Quoted(std::string& text) {
    SkipBlanks();
    if (pos_ >= line_.size() || line_[pos_] != '"') return false;
    ++pos_;
    text.clear();
    while (pos_ < line_.size()) {
      const char c = line_[pos_++];
      if (c == '"') return true;
      if (c != '\\') {
        text += c;
        continue;
      }
      if (pos_ >= line_.size()) return false;
      const char escaped = line_[pos_++];
      if (escaped == '\\' || escaped == '"') {
        text += escaped;
      } else if (escaped == 'x' && pos_ + 2 <= line_.size()) {
        int byte = 0;
        const auto [end, error] =
            std::from_chars(line_.data() + pos_, line_.data() + pos_ + 2, byte, 16);
        if (error != std::errc() || end != line_.data() + pos_ + 2) return false;
        text += static_cast<char>(byte);
        pos_ += 2;
      } else {
        return false;
      }
    }
    return false;  // no closing quote
  }

  bool Integer(int& value) {
    std::string word;
    if (!Word(word)) return false;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
  }

  bool AtEnd() {
    SkipBlanks();
    return pos_ == line_.size();
  }

 private:
  void SkipBlanks() {
    while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  }
  std::string_view line_;
  size_t pos_ = 0;
};

RegKey* CreatePath(RegKey& root, const KeyPath& path);

// Fills root from the file text; false (root then half filled) when it is not ours or damaged.
bool Parse(const std::string& content, RegKey& root) {
  // A last line without its line end may be cut short, an integer to fewer digits: only
  // the closing line is taken without one.
  const size_t end_of_last = content.rfind('\n');
  const std::string_view last =
      std::string_view(content).substr(end_of_last == std::string::npos ? 0 : end_of_last + 1);
  if (!last.empty() && last != kTrailer) {
    Parse(content.substr(0, end_of_last == std::string::npos ? 0 : end_of_last + 1), root);
    return false;
  }
  std::istringstream lines(content);
  std::string line;
  if (!std::getline(lines, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line != kHeader) return false;
  RegKey* key = nullptr;
  bool ended = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (ended) {
      if (!line.empty()) return false;
      continue;
    }
    LineReader reader(line);
    std::string kind;
    if (!reader.Word(kind)) return false;
    if (kind == kTrailer) {
      ended = reader.AtEnd();
      if (!ended) return false;
    } else if (kind == "key") {
      KeyPath path;
      std::string name;
      while (!reader.AtEnd()) {
        if (!reader.Quoted(name) || name.empty() || name.find('\\') != std::string::npos) {
          return false;
        }
        path.push_back(name);
      }
      key = CreatePath(root, path);
    } else if (kind == "string" || kind == "integer") {
      RegValue value;
      value.isInteger = kind == "integer";
      if (key == nullptr || !reader.Quoted(value.name)) return false;
      if (value.isInteger ? !reader.Integer(value.number) : !reader.Quoted(value.text))
        return false;
      if (!reader.AtEnd()) return false;
      if (RegValue* existing = key->FindValue(value.name)) {
        *existing = value;
      } else {
        key->values.push_back(value);
      }
    } else {
      return false;
    }
  }
  return ended;
}

enum class TLoad { Missing, Read, Damaged };

// What of a damaged file can be read stays in root: the values before the damage.
TLoad LoadFile(const std::string& fileName, RegKey& root) {
  if (!FileExists(fileName)) return TLoad::Missing;  // also a folder in its way
  std::ifstream file(fileName, std::ios::binary | std::ios::ate);
  if (!file) return TLoad::Missing;
  const std::streamoff size = file.tellg();
  if (size < 0 || size > kMaxFileSize) return TLoad::Damaged;
  file.seekg(0);
  std::string content(static_cast<size_t>(size), '\0');
  if (!file.read(content.data(), size)) return TLoad::Damaged;
  return Parse(content, root) ? TLoad::Read : TLoad::Damaged;
}

RegKey* FindPath(RegKey& root, const KeyPath& path) {
  RegKey* key = &root;
  for (const std::string& name : path) {
    key = key->Find(name);
    if (key == nullptr) return nullptr;
  }
  return key;
}

RegKey* CreatePath(RegKey& root, const KeyPath& path) {
  RegKey* key = &root;
  for (const std::string& name : path) {
    RegKey* sub = key->Find(name);
    if (sub == nullptr) {
      key->subkeys.push_back(std::make_unique<RegKey>());
      sub = key->subkeys.back().get();
      sub->name = name;
    }
    key = sub;
  }
  return key;
}

}  // namespace

struct TRegistry::Impl {
  std::string fileName = TRegistry::FileName();
  RegKey root;
  bool open = false;
  KeyPath current;
  bool changed = false;

  // Where a path names: from the root when it starts with '\' or no key is open.
  KeyPath Resolve(const std::string& key) const {
    KeyPath path = (!key.empty() && key[0] == '\\') || !open ? KeyPath() : current;
    const KeyPath relative = SplitPath(key);
    path.insert(path.end(), relative.begin(), relative.end());
    return path;
  }

  // The open key, or the root when none is open; null when the open key was deleted.
  RegKey* Current() { return FindPath(root, open ? current : KeyPath()); }

  RegKey& Writable(const std::string& name) {
    RegKey* key = Current();
    if (key == nullptr) throw ERegistryException("Failed to set data for '" + name + "'");
    changed = true;
    return *key;
  }

  RegValue* Find(const std::string& name) {
    RegKey* key = Current();
    return key ? key->FindValue(name) : nullptr;
  }

  void Put(const std::string& name, const RegValue& value) {
    RegKey& key = Writable(name);
    if (RegValue* existing = key.FindValue(name)) {
      existing->isInteger = value.isInteger;
      existing->text = value.text;
      existing->number = value.number;
    } else {
      key.values.push_back(value);
      key.values.back().name = name;
    }
  }

  bool damaged = false;
  bool damagedKept = false;

  void Save() {
    if (!changed) return;
    if (damaged && !damagedKept) {
      throw ERegistryException(CannotSaveFileText(fileName, kDamagedNotKeptText));
    }
    if (!ForceDirectories(ExtractFilePath(fileName))) {
      throw ERegistryException(CannotSaveFileText(fileName, kFolderNotMadeText));
    }
    try {
      SaveFileAtomically(fileName, Serialize(root));
    } catch (const EWriteError& error) {
      throw ERegistryException(error.what());
    }
    changed = false;
  }
};

TRegistry::TRegistry() : impl_(std::make_unique<Impl>()) {
  if (LoadFile(impl_->fileName, impl_->root) != TLoad::Damaged) return;
  impl_->damaged = true;
  // The damaged file is moved aside whole, whatever its size, before anything can
  // overwrite it; what could be read of it is written back as the new file. A file that
  // cannot be moved stays where it is, and nothing is saved over it.
  std::error_code error;
  std::filesystem::rename(impl_->fileName, DamagedFileName(), error);
  impl_->damagedKept = !error;
  if (error) {
    std::fprintf(stderr, "Velmora: cannot keep the damaged file \"%s\": %s\n",
                 impl_->fileName.c_str(), error.message().c_str());
    return;
  }
  impl_->changed = true;
}

TRegistry::~TRegistry() {
  try {
    impl_->Save();
  } catch (const ERegistryException& error) {
    std::fprintf(stderr, "Velmora: %s\n", error.what());
  }
}

std::string TRegistry::FileName() {
  return ConfigFolder() + "registry";
}

std::string TRegistry::DamagedFileName() {
  return FileName() + ".damaged";
}

bool TRegistry::Damaged() const {
  return impl_->damaged;
}

bool TRegistry::DamagedFileKept() const {
  return impl_->damagedKept;
}

void TRegistry::SaveChanges() {
  impl_->Save();
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
  const KeyPath path = impl_->Resolve(Key);
  bool created = false;
  if (FindPath(impl_->root, path) == nullptr) {
    if (!CanCreate) return false;
    created = true;
  }
  CloseKey();
  if (created) {
    CreatePath(impl_->root, path);
    impl_->changed = true;
  }
  impl_->open = true;
  impl_->current = path;
  return true;
}

void TRegistry::CloseKey() {
  impl_->open = false;
  impl_->current.clear();
}

std::string TRegistry::CurrentPath() const {
  std::string path;
  for (const std::string& name : impl_->current) {
    if (!path.empty()) path += '\\';
    path += name;
  }
  return path;
}

bool TRegistry::KeyExists(const std::string& Key) {
  return FindPath(impl_->root, impl_->Resolve(Key)) != nullptr;
}

bool TRegistry::DeleteKey(const std::string& Key) {
  KeyPath path = impl_->Resolve(Key);
  if (path.empty()) return false;  // the root itself stays
  const std::string name = path.back();
  path.pop_back();
  RegKey* parent = FindPath(impl_->root, path);
  if (parent == nullptr) return false;
  auto& subkeys = parent->subkeys;
  const auto it = std::find_if(subkeys.begin(), subkeys.end(),
                               [&](const auto& key) { return RegKey::SameName(key->name, name); });
  if (it == subkeys.end()) return false;
  subkeys.erase(it);
  impl_->changed = true;
  return true;
}

bool TRegistry::ValueExists(const std::string& Name) {
  return impl_->Find(Name) != nullptr;
}

bool TRegistry::DeleteValue(const std::string& Name) {
  RegKey* key = impl_->Current();
  if (key == nullptr) return false;
  const auto it = std::find_if(key->values.begin(), key->values.end(), [&](const RegValue& value) {
    return RegKey::SameName(value.name, Name);
  });
  if (it == key->values.end()) return false;
  key->values.erase(it);
  impl_->changed = true;
  return true;
}

std::vector<std::string> TRegistry::GetKeyNames() {
  std::vector<std::string> names;
  if (RegKey* key = impl_->Current()) {
    for (const auto& sub : key->subkeys) names.push_back(sub->name);
  }
  return names;
}

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  if (RegKey* key = impl_->Current()) {
    for (const RegValue& value : key->values) names.push_back(value.name);
  }
  return names;
}

std::string TRegistry::ReadString(const std::string& Name) {
  const RegValue* value = impl_->Find(Name);
  if (value == nullptr) return {};
  if (value->isInteger) throw ERegistryException("Invalid data type for '" + Name + "'");
  return value->text;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
  RegValue value;
  value.text = Value;
  impl_->Put(Name, value);
}

int TRegistry::ReadInteger(const std::string& Name) {
  const RegValue* value = impl_->Find(Name);
  if (value == nullptr || !value->isInteger) {
    throw ERegistryException("Invalid data type for '" + Name + "'");
  }
  return value->number;
}

void TRegistry::WriteInteger(const std::string& Name, int Value) {
  RegValue value;
  value.isInteger = true;
  value.number = Value;
  impl_->Put(Name, value);
}

bool TRegistry::ReadBool(const std::string& Name) {
  return ReadInteger(Name) != 0;
}

void TRegistry::WriteBool(const std::string& Name, bool Value) {
  WriteInteger(Name, Value ? 1 : 0);
}
