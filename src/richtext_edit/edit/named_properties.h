// Properties that an undo record can set by name. A class that offers such properties
// builds one table of names, each with a getter and a setter, once; the record keeps
// the name and the old value and writes it back through the table of the object's
// class. Ordinal properties (integers, enumerations, Booleans) travel as int.
//
// Example: a table cell class builds its table in a function-local static,
//   static const TRDPropertyTable table = TRDPropertyTable()
//       .AddInt<TCell>("Color", [](const TCell& c) { return int(c.Color); },
//                      [](TCell& c, int v) { c.Color = TColor(v); });
// and answers it from GetPropertyTable. A derived class's table may start as a copy of
// its parent's and add its own names.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "richtext/base/rich_doc_error.h"

class TRDPropertyTable;

class TRDNamedProperties {
 public:
  virtual const TRDPropertyTable& GetPropertyTable() const = 0;

 protected:
  virtual ~TRDNamedProperties() = default;
};

class TRDPropertyTable {
 public:
  using TIntGetter = std::function<int(const TRDNamedProperties&)>;
  using TIntSetter = std::function<void(TRDNamedProperties&, int)>;
  using TStrGetter = std::function<std::string(const TRDNamedProperties&)>;
  using TStrSetter = std::function<void(TRDNamedProperties&, const std::string&)>;

  template <class T, class Get, class Set>
  TRDPropertyTable& AddInt(const std::string& name, Get get, Set set) {
    ints_[name] = {[get](const TRDNamedProperties& obj) { return int(get(Cast<const T>(obj))); },
                   [set](TRDNamedProperties& obj, int value) { set(Cast<T>(obj), value); }};
    return *this;
  }
  template <class T, class Get, class Set>
  TRDPropertyTable& AddStr(const std::string& name, Get get, Set set) {
    strs_[name] = {
        [get](const TRDNamedProperties& obj) { return std::string(get(Cast<const T>(obj))); },
        [set](TRDNamedProperties& obj, const std::string& value) { set(Cast<T>(obj), value); }};
    return *this;
  }

  bool HasInt(const std::string& name) const { return ints_.count(name) != 0; }
  bool HasStr(const std::string& name) const { return strs_.count(name) != 0; }
  // An unknown name raises ERichDocError naming it.
  int GetInt(const TRDNamedProperties& obj, const std::string& name) const;
  void SetInt(TRDNamedProperties& obj, const std::string& name, int value) const;
  std::string GetStr(const TRDNamedProperties& obj, const std::string& name) const;
  void SetStr(TRDNamedProperties& obj, const std::string& name, const std::string& value) const;

 private:
  template <class T, class From>
  static T& Cast(From& obj) {
    if (auto* typed = dynamic_cast<T*>(&obj)) return *typed;
    throw ERichDocError("Property table used with an object of another class");
  }
  struct TInt {
    TIntGetter Get;
    TIntSetter Set;
  };
  struct TStr {
    TStrGetter Get;
    TStrSetter Set;
  };
  const TInt& FindInt(const std::string& name) const;
  const TStr& FindStr(const std::string& name) const;
  std::map<std::string, TInt> ints_;
  std::map<std::string, TStr> strs_;
};

// The table of obj's class; property access through it.
inline int GetIntProperty(const TRDNamedProperties& obj, const std::string& name) {
  return obj.GetPropertyTable().GetInt(obj, name);
}
inline void SetIntProperty(TRDNamedProperties& obj, const std::string& name, int value) {
  obj.GetPropertyTable().SetInt(obj, name, value);
}
inline std::string GetStrProperty(const TRDNamedProperties& obj, const std::string& name) {
  return obj.GetPropertyTable().GetStr(obj, name);
}
inline void SetStrProperty(TRDNamedProperties& obj, const std::string& name,
                           const std::string& value) {
  obj.GetPropertyTable().SetStr(obj, name, value);
}
