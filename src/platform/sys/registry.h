// The settings store: the HKEY_CURRENT_USER part of a registry, kept in one text file.
//
// Keys form a tree addressed by paths with '\' between the names
// ("Software\Velmora\Programm"); a path starting with '\' starts at the root, any other
// at the open key (at the root when none is open). Key and value names compare without
// case. A value is a string or an integer; a Boolean is the integer 0 or 1.
//
// Each TRegistry reads the file when it is made. Changes are written back all at once,
// by SaveChanges or when the object is freed, never key by key: a save that deletes a
// subtree and writes it anew can never leave the file without it. The file is replaced
// atomically (atomic_file.h), so a crash leaves either the old or the new settings.
// Of a file that is damaged or not in this format the values before the damage are
// read (none of a file that is not ours), the rest reads as absent, and the file is
// moved, whole, to DamagedFileName() before anything can overwrite it; what was read
// is then saved as the new file. A damaged file that cannot be moved is never saved over.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/text/sysutils.h"

// Why the settings are not saved over a damaged file that could not be moved.
extern const char* const kDamagedNotKeptText;

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
  // FileName() + ".damaged".
  static std::string DamagedFileName();
  // The file was damaged when this object read it.
  bool Damaged() const;
  // ... and was moved whole to DamagedFileName().
  bool DamagedFileKept() const;
  // Writes the changes made so far; raises ERegistryException naming the file and the
  // reason when it cannot be saved, the old file then being left as it was.
  void SaveChanges();

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
