#include "richtext_edit/edit/named_properties.h"

const TRDPropertyTable::TInt& TRDPropertyTable::FindInt(const std::string& name) const {
  auto it = ints_.find(name);
  if (it == ints_.end()) throw ERichDocError("Unknown property " + name);
  return it->second;
}

const TRDPropertyTable::TStr& TRDPropertyTable::FindStr(const std::string& name) const {
  auto it = strs_.find(name);
  if (it == strs_.end()) throw ERichDocError("Unknown property " + name);
  return it->second;
}

int TRDPropertyTable::GetInt(const TRDNamedProperties& obj, const std::string& name) const {
  return FindInt(name).Get(obj);
}

void TRDPropertyTable::SetInt(TRDNamedProperties& obj, const std::string& name, int value) const {
  FindInt(name).Set(obj, value);
}

std::string TRDPropertyTable::GetStr(const TRDNamedProperties& obj, const std::string& name) const {
  return FindStr(name).Get(obj);
}

void TRDPropertyTable::SetStr(TRDNamedProperties& obj, const std::string& name,
                              const std::string& value) const {
  FindStr(name).Set(obj, value);
}
