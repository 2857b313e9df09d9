// The settings store: the HKEY_CURRENT_USER part of a registry, kept in one text file.
//
// Keys form a tree addressed by paths with '\' between the names
// ("Software\Velmora\Programm"); a path starting with '\' starts at the root, any other
// at the open key (at the root when none is open). Key and value names compare without
// case. A value is a string or an integer; a Boolean is the integer 0 or 1.
//
// Each TRegistry reads the file when it is made. Changes are written back when a key is
// closed (also by opening another) and when the object is freed. The file is replaced
// atomically: written to a temporary file, synced, then renamed over the old one, so a
// crash leaves either the old or the new settings, never a mix. A file that is damaged
// or not in this format reads as empty: every value is absent and its default applies.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/text/sysutils.h"

// A value of the wrong type or none at all (ReadInteger, ReadBool), a value that cannot be
// written to a key that no longer exists, or a file that could not be saved.
class ERegistryException : public Exception {
 public:
  using Exception::Exception;
};

class TRegistry {
 public:
  TRegistry();
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // ConfigFolder() + "registry".
  static std::string FileName();

  // Makes the key the open key; with CanCreate a missing key (and its parents) is created,
  // otherwise false is returned and the open key stays as it was.
  bool OpenKey(const std::string& Key, bool CanCreate);
  void CloseKey();
  // Path of the open key from the root, without a leading '\'; empty when none is open.
  std::string CurrentPath() const;

  bool KeyExists(const std::string& Key);
  // Removes the key with all its subkeys and values; false when it does not exist.
  bool DeleteKey(const std::string& Key);

  // Value operations act on the open key.
  bool ValueExists(const std::string& Name);
  bool DeleteValue(const std::string& Name);
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  // An absent value reads as the empty text; an integer value raises.
  std::string ReadString(const std::string& Name);
  void WriteString(const std::string& Name, const std::string& Value);
  // An absent value or a string value raises ERegistryException.
  int ReadInteger(const std::string& Name);
  void WriteInteger(const std::string& Name, int Value);
  bool ReadBool(const std::string& Name);  // any integer other than 0 is true
  void WriteBool(const std::string& Name, bool Value);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};
