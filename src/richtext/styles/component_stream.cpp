#include "richtext/styles/component_stream.h"

#include <cstring>
#include <map>

#include "platform/gui/controls/controls.h"
#include "platform/text/streams.h"
#include "richtext/styles/rdf_routines.h"
#include "richtext/styles/style_info.h"

namespace {

constexpr char kSignature[4] = {'R', 'D', 'C', '1'};

[[noreturn]] void Fail(const std::string& message) {
  throw EReadError(message);
}

// --- writing ---------------------------------------------------------------------------

void WriteByte(TStream& stream, std::uint8_t b) {
  stream.WriteBuffer(&b, 1);
}

void WriteInt32(TStream& stream, std::int32_t v) {
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = std::uint8_t(std::uint32_t(v) >> (8 * i));
  stream.WriteBuffer(bytes, 4);
}

void WriteName(TStream& stream, std::string_view name) {
  // Names are ours and short; a longer one would not read back.
  if (name.empty() || name.size() > 255) throw EWriteError("Invalid property name");
  WriteByte(stream, std::uint8_t(name.size()));
  stream.WriteBuffer(name.data(), int64_t(name.size()));
}

void WriteSized(TStream& stream, TRDValueType type, std::string_view bytes) {
  WriteByte(stream, type);
  WriteInt32(stream, std::int32_t(bytes.size()));
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

class TWriteFiler : public TRDPropertyFiler {
 public:
  explicit TWriteFiler(TStream& stream, std::string prefix = {})
      : stream_(stream), prefix_(std::move(prefix)) {}
  bool Reading() const override { return false; }
  void Integer(std::string_view name, int& value, int defaultValue) override {
    if (value == defaultValue) return;
    Name(name);
    WriteByte(stream_, rdvaInteger);
    WriteInt32(stream_, value);
  }
  void Boolean(std::string_view name, bool& value, bool defaultValue) override {
    if (value == defaultValue) return;
    Name(name);
    WriteByte(stream_, value ? rdvaTrue : rdvaFalse);
  }
  void String(std::string_view name, std::string& value, std::string_view defaultValue) override {
    if (value == defaultValue) return;
    Name(name);
    WriteSized(stream_, rdvaString, value);
  }
  void Binary(std::string_view name, std::string& bytes) override {
    if (bytes.empty()) return;
    Name(name);
    WriteSized(stream_, rdvaBinary, bytes);
  }
  void Collection(std::string_view name, TRDStreamCollection& items) override {
    if (items.Count() == 0) return;
    Name(name);
    WriteCollection(stream_, items);
  }
  void Nested(std::string_view name,
              const std::function<void(TRDPropertyFiler&)>& define) override {
    TWriteFiler inner(stream_, prefix_ + std::string(name) + ".");
    define(inner);
  }
  void DefineData(std::string_view name, bool hasData,
                  const std::function<void(TRDValueWriter&)>& write,
                  const std::function<void(TRDValueReader&)>&) override {
    if (!hasData) return;
    Name(name);
    TMemoryStream data;
    TRDValueWriter writer(data);
    write(writer);
    WriteSized(stream_, rdvaData,
               std::string_view(static_cast<const char*>(data.Memory()), size_t(data.Size())));
  }

 private:
  void Name(std::string_view name) { WriteName(stream_, prefix_ + std::string(name)); }
  TStream& stream_;
  std::string prefix_;
};

// --- reading ---------------------------------------------------------------------------

std::uint8_t ReadByte(TStream& stream) {
  std::uint8_t b;
  stream.ReadBuffer(&b, 1);
  return b;
}

std::int32_t ReadInt32(TStream& stream) {
  std::uint8_t bytes[4];
  stream.ReadBuffer(bytes, 4);
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t(bytes[i]) << (8 * i);
  return std::int32_t(v);
}

std::string ReadBytes(TStream& stream, std::int64_t count) {
  if (count < 0 || count > stream.Size() - stream.Position()) Fail("Stream read error");
  std::string s(size_t(count), '\0');
  if (count > 0) stream.ReadBuffer(s.data(), count);
  return s;
}

std::string ReadShortString(TStream& stream) {
  return ReadBytes(stream, ReadByte(stream));
}

std::string ReadSizedValue(TStream& stream) {
  return ReadBytes(stream, ReadInt32(stream));
}

void SkipValue(TStream& stream, std::uint8_t type);

void SkipCollection(TStream& stream) {
  for (std::uint8_t marker = ReadByte(stream); marker != rdvaEnd; marker = ReadByte(stream)) {
    if (marker != rdvaItem) Fail("Invalid collection item");
    for (std::string name = ReadShortString(stream); !name.empty(); name = ReadShortString(stream))
      SkipValue(stream, ReadByte(stream));
  }
}

void SkipValue(TStream& stream, std::uint8_t type) {
  switch (type) {
    case rdvaInteger:
      ReadInt32(stream);
      return;
    case rdvaString:
    case rdvaBinary:
    case rdvaData:
      ReadSizedValue(stream);
      return;
    case rdvaFalse:
    case rdvaTrue:
      return;
    case rdvaCollection:
      SkipCollection(stream);
      return;
    default:
      Fail("Invalid property value");
  }
}

// Finds the property named wanted among the ones an object defines and reads its value,
// whose type byte has been read already.
class TReadFiler : public TRDPropertyFiler {
 public:
  TReadFiler(TStream& stream, std::string_view wanted, std::uint8_t type, std::string prefix = {})
      : stream_(stream), wanted_(wanted), type_(type), prefix_(std::move(prefix)) {}
  bool Reading() const override { return true; }
  bool Found() const { return found_; }

  void Integer(std::string_view name, int& value, int) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaInteger);
    value = ReadInt32(stream_);
  }
  void Boolean(std::string_view name, bool& value, bool) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaTrue || type_ == rdvaFalse);
    value = type_ == rdvaTrue;
  }
  void String(std::string_view name, std::string& value, std::string_view) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaString);
    value = ReadSizedValue(stream_);
  }
  void Binary(std::string_view name, std::string& bytes) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaBinary);
    bytes = ReadSizedValue(stream_);
  }
  void Collection(std::string_view name, TRDStreamCollection& items) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaCollection);
    // Inside an object a damaged collection damages the object: no partial success.
    if (ReadCollectionItems(stream_, items) != TRDCollectionRead::Ok)
      Fail("Invalid collection " + std::string(name));
  }
  void DefineData(std::string_view name, bool, const std::function<void(TRDValueWriter&)>&,
                  const std::function<void(TRDValueReader&)>& read) override {
    if (!Match(name)) return;
    Expect(type_ == rdvaData);
    const std::string bytes = ReadSizedValue(stream_);
    TMemoryStream data;
    if (!bytes.empty()) data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    data.SetPosition(0);
    TRDValueReader reader(data);
    read(reader);
  }
  void Nested(std::string_view name,
              const std::function<void(TRDPropertyFiler&)>& define) override {
    if (found_) return;
    const std::string prefix = prefix_ + std::string(name) + ".";
    if (wanted_.substr(0, prefix.size()) != prefix) return;
    TReadFiler inner(stream_, wanted_, type_, prefix);
    define(inner);
    found_ = inner.found_;
  }

  static TRDCollectionRead ReadCollectionItems(TStream& stream, TRDStreamCollection& items);

 private:
  bool Match(std::string_view name) {
    if (found_ || wanted_.size() != prefix_.size() + name.size() ||
        wanted_.substr(0, prefix_.size()) != prefix_ || wanted_.substr(prefix_.size()) != name)
      return false;
    found_ = true;
    return true;
  }
  void Expect(bool ok) {
    if (!ok) Fail("Invalid property value of " + std::string(wanted_));
  }

  TStream& stream_;
  std::string_view wanted_;
  std::uint8_t type_;
  std::string prefix_;
  bool found_ = false;
};

// The properties of one object up to the end marker. With tolerate, a property that is
// unknown or does not fit is skipped and reported by the result; otherwise it raises.
bool ReadProperties(TStream& stream, const std::function<void(TRDPropertyFiler&)>& define,
                    bool tolerate) {
  bool clean = true;
  for (std::string name = ReadShortString(stream); !name.empty(); name = ReadShortString(stream)) {
    const std::uint8_t type = ReadByte(stream);
    const int64_t valueStart = stream.Position();
    TReadFiler filer(stream, name, type);
    try {
      define(filer);
      if (!filer.Found()) Fail("Property " + name + " does not exist");
    } catch (const EReadError&) {
      if (!tolerate) throw;
      clean = false;
      stream.SetPosition(valueStart);
      SkipValue(stream, type);
    }
  }
  return clean;
}

TRDCollectionRead TReadFiler::ReadCollectionItems(TStream& stream, TRDStreamCollection& items) {
  items.Clear();
  bool clean = true;
  try {
    for (std::uint8_t marker = ReadByte(stream); marker != rdvaEnd; marker = ReadByte(stream)) {
      if (marker != rdvaItem) Fail("Invalid collection item");
      items.Add();
      const int index = items.Count() - 1;
      clean &= ReadProperties(
          stream, [&](TRDPropertyFiler& filer) { items.DefineItem(index, filer); }, true);
    }
  } catch (const EReadError&) {
    clean = false;
  }
  items.EndRead();
  return clean ? TRDCollectionRead::Ok : TRDCollectionRead::WithErrors;
}

std::map<std::string, TRDComponentFactory>& ClassRegistry() {
  static std::map<std::string, TRDComponentFactory> registry;
  return registry;
}

void SetControlParent(TComponent* component, TWinControl* parent) {
  if (auto* control = dynamic_cast<TControl*>(component)) control->SetParent(parent);
}

}  // namespace

void TRDValueWriter::WriteInteger(int value) {
  WriteByte(stream_, rdvaInteger);
  WriteInt32(stream_, value);
}
void TRDValueWriter::WriteBoolean(bool value) {
  WriteByte(stream_, value ? rdvaTrue : rdvaFalse);
}
void TRDValueWriter::WriteString(std::string_view value) {
  WriteSized(stream_, rdvaString, value);
}
void TRDValueWriter::WriteListBegin() {
  WriteByte(stream_, rdvaList);
}
void TRDValueWriter::WriteListEnd() {
  WriteByte(stream_, rdvaEnd);
}
void TRDValueWriter::WriteComponent(TComponent& component) {
  WriteByte(stream_, rdvaComponent);
  WriteComponentWithSize(stream_, component);
}

std::uint8_t TRDValueReader::NextType() {
  return ReadByte(stream_);
}
int TRDValueReader::ReadInteger() {
  if (NextType() != rdvaInteger) Fail("Integer expected");
  return ReadInt32(stream_);
}
bool TRDValueReader::ReadBoolean() {
  const std::uint8_t type = NextType();
  if (type != rdvaTrue && type != rdvaFalse) Fail("Boolean expected");
  return type == rdvaTrue;
}
std::string TRDValueReader::ReadString() {
  if (NextType() != rdvaString) Fail("String expected");
  return ReadSizedValue(stream_);
}
void TRDValueReader::ReadListBegin() {
  if (NextType() != rdvaList) Fail("List expected");
}
bool TRDValueReader::EndOfList() {
  const bool end = NextType() == rdvaEnd;
  stream_.Seek(-1, soCurrent);
  return end;
}
void TRDValueReader::ReadListEnd() {
  if (NextType() != rdvaEnd) Fail("List end expected");
}
void TRDValueReader::ReadComponent(TComponent& component) {
  if (NextType() != rdvaComponent) Fail("Component expected");
  const std::string bytes = ReadSizedValue(stream_);
  TMemoryStream data;
  if (!bytes.empty()) data.WriteBuffer(bytes.data(), int64_t(bytes.size()));
  data.SetPosition(0);
  std::unique_ptr<TComponent> none;
  TComponent* target = &component;
  ::ReadComponent(data, none, target);
}

void TRDPropertyFiler::FailRange(std::string_view name) {
  Fail("Property value out of range: " + std::string(name));
}

int TRDStyleStreamCollection::Count() const {
  return infos_.Count();
}
void TRDStyleStreamCollection::Clear() {
  infos_.Clear();
}
void TRDStyleStreamCollection::Add() {
  infos_.AddItem();
}
void TRDStyleStreamCollection::DefineItem(int index, TRDPropertyFiler& filer) {
  infos_.At(index).DefineProperties(filer);
}

void WriteCollection(TStream& stream, TRDStreamCollection& items) {
  WriteByte(stream, rdvaCollection);
  for (int i = 0; i < items.Count(); ++i) {
    WriteByte(stream, rdvaItem);
    TWriteFiler filer(stream);
    items.DefineItem(i, filer);
    WriteByte(stream, rdvaEnd);
  }
  WriteByte(stream, rdvaEnd);
}

TRDCollectionRead ReadCollection(TStream& stream, TRDStreamCollection& items) {
  std::uint8_t first;
  if (stream.Read(&first, 1) != 1 || first != rdvaCollection)
    return TRDCollectionRead::NotACollection;
  return TReadFiler::ReadCollectionItems(stream, items);
}

void RegisterStreamableClass(const std::string& className, TRDComponentFactory factory) {
  ClassRegistry()[className] = std::move(factory);
}

std::unique_ptr<TComponent> CreateStreamableComponent(const std::string& className) {
  auto it = ClassRegistry().find(className);
  if (it == ClassRegistry().end()) Fail("Class " + className + " not found");
  return it->second();
}

void WriteComponent(TStream& stream, TComponent& component) {
  stream.WriteBuffer(kSignature, 4);
  const std::string className = component.ClassName();
  if (className.empty() || className.size() > 255 || component.Name.size() > 255)
    throw EWriteError("Invalid component name");
  WriteByte(stream, std::uint8_t(className.size()));
  stream.WriteBuffer(className.data(), int64_t(className.size()));
  WriteByte(stream, std::uint8_t(component.Name.size()));
  if (!component.Name.empty())
    stream.WriteBuffer(component.Name.data(), int64_t(component.Name.size()));
  if (auto* published = dynamic_cast<TRDPublished*>(&component)) {
    TWriteFiler filer(stream);
    published->DefineProperties(filer);
  }
  WriteByte(stream, rdvaEnd);  // end of properties
  WriteByte(stream, rdvaEnd);  // no children
}

void ReadComponent(TStream& stream, std::unique_ptr<TComponent>& owned, TComponent*& component) {
  char signature[4];
  stream.ReadBuffer(signature, 4);
  if (std::memcmp(signature, kSignature, 4) != 0) Fail("Invalid stream format");
  const std::string className = ReadShortString(stream);
  if (!component) {
    owned = CreateStreamableComponent(className);
    component = owned.get();
  } else if (component->ClassName() != className) {
    Fail("Invalid class " + className);
  }
  component->Name = ReadShortString(stream);
  auto* published = dynamic_cast<TRDPublished*>(component);
  ReadProperties(
      stream,
      [&](TRDPropertyFiler& filer) {
        if (published) published->DefineProperties(filer);
      },
      false);
  if (ReadByte(stream) != rdvaEnd) Fail("Invalid stream format");
}

void ComponentToHexString(TComponent& component, std::string& s) {
  TMemoryStream stream;
  WriteComponent(stream, component);
  StreamToHex(stream, s);
}

void WriteComponentWithSize(TStream& stream, TComponent& component) {
  const int64_t sizePos = stream.Position();
  WriteInt32(stream, 0);
  WriteComponent(stream, component);
  const int64_t end = stream.Position();
  stream.SetPosition(sizePos);
  WriteInt32(stream, std::int32_t(end - sizePos - 4));
  stream.SetPosition(end);
}

bool ReadComponentFromString(std::string_view data, std::unique_ptr<TComponent>& control,
                             const std::string& className, TWinControl* parent) {
  TMemoryStream stream;
  if (!data.empty()) stream.WriteBuffer(data.data(), int64_t(data.size()));
  stream.SetPosition(0);
  try {
    if (!control && !className.empty()) control = CreateStreamableComponent(className);
    SetControlParent(control.get(), parent);
    std::unique_ptr<TComponent> made;
    TComponent* target = control.get();
    ReadComponent(stream, made, target);
    if (made) control = std::move(made);
    if (parent) SetControlParent(control.get(), parent);
    return true;
  } catch (const Exception&) {
    control.reset();
    return false;
  }
}

bool LoadControlFromHex(std::string_view hex, std::unique_ptr<TComponent>& control,
                        const std::string& className, TWinControl* parent) {
  std::string bytes;
  HexToString(hex, bytes);
  const bool valid = bytes.size() * 2 == hex.size();
  if (!ReadComponentFromString(bytes, control, className, parent)) return false;
  return valid;
}
