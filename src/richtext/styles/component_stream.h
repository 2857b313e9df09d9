// The component stream: how a component's or a style's published properties travel
// inside documents (style sheets, embedded controls, tables). Each class names its
// published properties once, in DefineProperties, and the same definition writes them
// and reads them back.
//
// Encoding (all integers little-endian):
//   component  = "RDC1", class name, component name, property*, 0 (end of properties),
//                0 (no children)
//   name       = 1 length byte, that many bytes (a property name "Border.Width" names a
//                property of a part object)
//   property   = name, value
//   value      = 2 int32 | 4 uint32 length, bytes (text) | 5 false | 6 true
//              | 7 uint32 length, bytes (binary) | 14 collection
//              | 8 uint32 length, data value* (data an owner writes itself)
//   collection = 14, (1, property*, 0)* per item, 0
//   data value = 2 int32 | 4 text | 5 | 6 | 3 (list begin) | 0 (list end)
//              | 9 uint32 length, component
// A property whose value equals its declared default is not written; reading leaves
// such a property at the value the new object was made with. A length is checked
// against the bytes that are there before anything is allocated.
//
// Example: a collection of one text style whose only change is Size 12:
//   0E 01 04 'S' 'i' 'z' 'e' 02 0C 00 00 00 00 00
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "richtext/base/style_types.h"

class TComponent;
class TCustomRDInfos;
class TStream;
class TWinControl;

enum TRDValueType : std::uint8_t {
  rdvaEnd = 0,
  rdvaItem = 1,
  rdvaInteger = 2,
  rdvaList = 3,
  rdvaString = 4,
  rdvaFalse = 5,
  rdvaTrue = 6,
  rdvaBinary = 7,
  rdvaData = 8,
  rdvaComponent = 9,
  rdvaCollection = 14
};

class TRDPropertyFiler;

// The values of a property an owner writes itself (a table's cells and row lists).
class TRDValueWriter {
 public:
  explicit TRDValueWriter(TStream& stream) : stream_(stream) {}
  void WriteInteger(int value);
  void WriteBoolean(bool value);
  void WriteString(std::string_view value);
  void WriteListBegin();
  void WriteListEnd();
  // A whole component (its class, name and published properties) with its size.
  void WriteComponent(TComponent& component);

 private:
  TStream& stream_;
};

// Reads them back in the same order; a value of another kind, or one past the end of
// the data, raises EReadError.
class TRDValueReader {
 public:
  explicit TRDValueReader(TStream& stream) : stream_(stream) {}
  int ReadInteger();
  bool ReadBoolean();
  std::string ReadString();
  void ReadListBegin();
  // True when the next value is the end of the list (not read).
  bool EndOfList();
  void ReadListEnd();
  // Into component, which must be of the stored class.
  void ReadComponent(TComponent& component);

 private:
  std::uint8_t NextType();
  TStream& stream_;
};

// A list of items with published properties, as a property of its owner. Reading
// clears the list, adds one item for each stored item and defines its properties, then
// calls EndRead.
class TRDStreamCollection {
 public:
  virtual ~TRDStreamCollection() = default;
  virtual int Count() const = 0;
  virtual void Clear() = 0;
  virtual void Add() = 0;
  virtual void DefineItem(int index, TRDPropertyFiler& filer) = 0;
  virtual void EndRead() {}
};

// The collection of a style sheet (text, paragraph or list styles).
class TRDStyleStreamCollection : public TRDStreamCollection {
 public:
  explicit TRDStyleStreamCollection(TCustomRDInfos& infos) : infos_(infos) {}
  int Count() const override;
  void Clear() override;
  void Add() override;
  void DefineItem(int index, TRDPropertyFiler& filer) override;

 private:
  TCustomRDInfos& infos_;
};

// Writes or reads the properties one object defines. Writing visits every property;
// reading visits them to find the one just read from the stream, by its name.
class TRDPropertyFiler {
 public:
  virtual ~TRDPropertyFiler() = default;
  virtual bool Reading() const = 0;
  virtual void Integer(std::string_view name, int& value, int defaultValue) = 0;
  virtual void Boolean(std::string_view name, bool& value, bool defaultValue) = 0;
  virtual void String(std::string_view name, std::string& value, std::string_view defaultValue) = 0;
  // Written when not empty.
  virtual void Binary(std::string_view name, std::string& bytes) = 0;
  // Written when the collection has items.
  virtual void Collection(std::string_view name, TRDStreamCollection& items) = 0;
  // The properties of a part object (a border, a font) under "name.".
  virtual void Nested(std::string_view name,
                      const std::function<void(TRDPropertyFiler&)>& define) = 0;
  // Data the owner writes and reads itself; written when hasData.
  virtual void DefineData(std::string_view name, bool hasData,
                          const std::function<void(TRDValueWriter&)>& write,
                          const std::function<void(TRDValueReader&)>& read) = 0;

  // An integer field of a narrower or enumerated type; a stored value outside
  // [minValue, maxValue] is a read error.
  template <class T>
  void Ranged(std::string_view name, T& value, T defaultValue, int minValue, int maxValue) {
    int v = int(value);
    Integer(name, v, int(defaultValue));
    if (Reading() && v != int(value)) {
      if (v < minValue || v > maxValue) FailRange(name);
      value = T(v);
    }
  }
  // A length in pixels (an indent, a width, a gap): a stored value beyond what a page can
  // hold is cut to it.
  void Length(std::string_view name, int& value, int defaultValue) {
    int v = value;
    Integer(name, v, defaultValue);
    if (Reading() && v != value) value = ClampToPage(v);
  }

 protected:
  [[noreturn]] static void FailRange(std::string_view name);
};

// Something with published properties: components that can be streamed derive from it
// beside TComponent.
class TRDPublished {
 public:
  virtual ~TRDPublished() = default;
  virtual void DefineProperties(TRDPropertyFiler& filer) = 0;
};

// The stream of one collection (starting with the value byte 14).
void WriteCollection(TStream& stream, TRDStreamCollection& items);
enum class TRDCollectionRead { Ok, WithErrors, NotACollection };
// Properties the reader does not know, or whose values do not fit, are skipped
// (WithErrors); a stream that is cut short keeps the items read so far (WithErrors).
TRDCollectionRead ReadCollection(TStream& stream, TRDStreamCollection& items);

// A registered component class: made with a nil owner when a stream names it.
using TRDComponentFactory = std::function<std::unique_ptr<TComponent>()>;
void RegisterStreamableClass(const std::string& className, TRDComponentFactory factory);
std::unique_ptr<TComponent> CreateStreamableComponent(const std::string& className);

// Writes the component's class, name and published properties (a component that
// publishes none writes only its class and name).
void WriteComponent(TStream& stream, TComponent& component);
// Reads into component, which must be of the stored class; with no component, one of
// the stored class is made. Raises EReadError on any error in the stream.
void ReadComponent(TStream& stream, std::unique_ptr<TComponent>& owned, TComponent*& component);
void ComponentToHexString(TComponent& component, std::string& s);
// A 4-byte size, then the component stream; the size is patched in afterwards and the
// stream is left at its end.
void WriteComponentWithSize(TStream& stream, TComponent& component);

// The component in hexadecimal text: made as className (a registered class) when
// control is empty and a class is named, else made from the class the stream names.
// A control is given the parent before its properties are read and again after. A
// read error leaves control empty and returns false; otherwise the result is whether
// the text was valid hexadecimal.
bool LoadControlFromHex(std::string_view hex, std::unique_ptr<TComponent>& control,
                        const std::string& className, TWinControl* parent);
// The same from the raw bytes of the component stream: true unless reading failed.
bool ReadComponentFromString(std::string_view data, std::unique_ptr<TComponent>& control,
                             const std::string& className, TWinControl* parent);
