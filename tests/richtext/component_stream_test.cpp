// The component stream: exact bytes of a small collection, style collections read back
// property by property, tolerance inside collections, registered components through hex
// text and with a size, and the checks on lengths and classes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sys/component.h"
#include "platform/text/streams.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/rdf_routines.h"

namespace {

using namespace std::string_literals;

std::string Bytes(const TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
  auto stream = std::make_unique<TMemoryStream>();
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
  stream->SetPosition(0);
  return stream;
}

// A component with a few published properties, registered for the class lookup.
class TProbe : public TComponent, public TRDPublished {
 public:
  std::string ClassName() const override { return "TProbe"; }
  int Width = 10;
  bool Flat = false;
  std::string Caption;
  std::string Data;
  void DefineProperties(TRDPropertyFiler& filer) override {
    filer.Integer("Width", Width, 10);
    filer.Boolean("Flat", Flat, false);
    filer.String("Caption", Caption, "");
    filer.Binary("Data", Data);
  }
};

// A component that writes data of its own: rows of cells, each a span and a component.
class TGrid : public TComponent, public TRDPublished {
 public:
  std::string ClassName() const override { return "TGrid"; }
  struct Cell {
    int Span = 1;
    std::unique_ptr<TProbe> Content = std::make_unique<TProbe>();
  };
  std::vector<std::vector<Cell>> Rows;
  std::vector<bool> Breaks;
  void DefineProperties(TRDPropertyFiler& filer) override {
    filer.DefineData(
        "C", !Rows.empty(),
        [&](TRDValueWriter& w) {
          w.WriteInteger(int(Rows.size()));
          w.WriteListBegin();
          for (auto& row : Rows) {
            w.WriteInteger(int(row.size()));
            for (Cell& cell : row) {
              w.WriteInteger(cell.Span);
              w.WriteComponent(*cell.Content);
            }
          }
          w.WriteListEnd();
        },
        [&](TRDValueReader& r) {
          Rows.resize(size_t(r.ReadInteger()));
          r.ReadListBegin();
          for (auto& row : Rows) {
            row.resize(size_t(r.ReadInteger()));
            for (Cell& cell : row) {
              cell.Span = r.ReadInteger();
              r.ReadComponent(*cell.Content);
            }
          }
          if (!r.EndOfList()) throw EReadError("Wrong end of cells list");
          r.ReadListEnd();
        });
    filer.DefineData(
        "RowPageBreakBefore", !Breaks.empty(),
        [&](TRDValueWriter& w) {
          w.WriteListBegin();
          for (bool b : Breaks) w.WriteBoolean(b);
          w.WriteListEnd();
        },
        [&](TRDValueReader& r) {
          Breaks.clear();
          r.ReadListBegin();
          while (!r.EndOfList()) Breaks.push_back(r.ReadBoolean());
          r.ReadListEnd();
        });
  }
};

const bool kRegistered = [] {
  RegisterStreamableClass("TProbe", [] { return std::make_unique<TProbe>(); });
  RegisterStreamableClass("TGrid", [] { return std::make_unique<TGrid>(); });
  return true;
}();

TEST(ComponentStream, CollectionBytesAreExact) {
  TRDStyle sheet;
  TFontInfos styles([&](TCustomRDInfos* c) { return sheet.CreateTextStyle(c); }, &sheet);
  styles.Add().Size = 12;
  TRDStyleStreamCollection items(styles);
  TMemoryStream stream;
  WriteCollection(stream, items);
  EXPECT_EQ(Bytes(stream),
            "\x0E\x01\x09StyleName\x04\x0A\0\0\0"
            "Font Style\x04Size\x02\x0C\0\0\0\0\0"s);
}

TEST(ComponentStream, StyleCollectionsReadBackEveryProperty) {
  TRDStyle source;
  TFontInfo& text = source.TextStyles()[3];
  text.Style = fsBold | fsItalic;
  text.Protection = rdprRDFInsertProtect;
  text.BiDiMode = rdbdRightToLeft;
  text.NextStyleNo = 2;
  text.SetStyleName("Named");
  text.SetStandard(false);
  TParaInfo& para = source.ParaStyles()[0];
  para.Alignment = rdaJustify;
  para.Border.Style = rdbDouble;
  para.Border.BorderOffsets.Top = 3;
  para.Background.Color = 0x00FFEE;
  para.Tabs.Add(90, rdtaCenter);
  para.Tabs.Add(30, rdtaLeft, "-");
  TRDListInfo& list = source.ListStyles().Add();
  TRDListLevel& level = list.AddLevel();
  level.FormatStringW = u"\u2022";
  level.GetFont().Name = "Symbol";
  level.StartFrom = 4;
  list.AddLevel().ListType = rdlstLowerRoman;
  list.SetListID(77);

  TRDStyle target;
  for (int kind = 0; kind < 3; ++kind) {
    TCustomRDInfos& from = kind == 0   ? static_cast<TCustomRDInfos&>(source.TextStyles())
                           : kind == 1 ? static_cast<TCustomRDInfos&>(source.ParaStyles())
                                       : static_cast<TCustomRDInfos&>(source.ListStyles());
    TCustomRDInfos& to = kind == 0   ? static_cast<TCustomRDInfos&>(target.TextStyles())
                         : kind == 1 ? static_cast<TCustomRDInfos&>(target.ParaStyles())
                                     : static_cast<TCustomRDInfos&>(target.ListStyles());
    TMemoryStream stream;
    TRDStyleStreamCollection writer(from);
    WriteCollection(stream, writer);
    stream.SetPosition(0);
    TRDStyleStreamCollection reader(to);
    ASSERT_EQ(ReadCollection(stream, reader), TRDCollectionRead::Ok);
    EXPECT_EQ(stream.Position(), stream.Size());
    ASSERT_EQ(to.Count(), from.Count());
    for (int i = 0; i < from.Count(); ++i)
      EXPECT_TRUE(from.At(i).IsSimpleEqual(to.At(i), false)) << kind << " " << i;
  }
  EXPECT_EQ(target.TextStyles()[3].StyleName(), "Named");
  EXPECT_FALSE(target.TextStyles()[3].Standard());
  EXPECT_EQ(target.ParaStyles()[0].Tabs.Items(0).Position, 30);
  EXPECT_EQ(target.ParaStyles()[0].Tabs.Items(1).Align, rdtaCenter);
  EXPECT_EQ(target.ParaStyles()[0].Border.BorderOffsets.Top, 3);
  const TRDListLevel& read = *target.ListStyles()[0].Levels[0];
  EXPECT_EQ(read.FormatStringW, u"\u2022");
  ASSERT_TRUE(read.Font());
  EXPECT_EQ(read.Font()->Name, "Symbol");
  EXPECT_FALSE(target.ListStyles()[0].Levels[1]->Font());
  EXPECT_EQ(target.ListStyles()[0].GetListID(), 77);
}

TEST(ComponentStream, DamagedCollectionsKeepWhatCanBeRead) {
  TRDStyle sheet;
  TFontInfos styles([&](TCustomRDInfos* c) { return sheet.CreateTextStyle(c); }, &sheet);
  TRDStyleStreamCollection items(styles);
  // An unknown property, a known one of the wrong type, a value out of range: skipped.
  const std::string damaged = "\x0E\x01"s +
                              "\x03"
                              "Foo\x02\x01\0\0\0"s +
                              "\x04Size\x05"s +
                              "\x08"
                              "BiDiMode\x02\x09\0\0\0"s +
                              "\x05"
                              "Color\x02\xFF\0\0\0"s +
                              "\0\0"s;
  EXPECT_EQ(ReadCollection(*StreamOf(damaged), items), TRDCollectionRead::WithErrors);
  ASSERT_EQ(styles.Count(), 1);
  EXPECT_EQ(styles[0].Size, 10);
  EXPECT_EQ(styles[0].BiDiMode, rdbdUnspecified);
  EXPECT_EQ(styles[0].Color, 0xFF);
  // Cut short: the items so far stay.
  EXPECT_EQ(ReadCollection(*StreamOf(std::string("\x0E\x01\0\x01\x04Si", 7)), items),
            TRDCollectionRead::WithErrors);
  EXPECT_EQ(styles.Count(), 2);
  // A length beyond the stream is not believed.
  EXPECT_EQ(ReadCollection(*StreamOf(std::string("\x0E\x01\x08"
                                                 "FontName\x04\xFF\xFF\xFF\x0F",
                                                 16)),
                           items),
            TRDCollectionRead::WithErrors);
  EXPECT_EQ(ReadCollection(*StreamOf("\x01"), items), TRDCollectionRead::NotACollection);
  EXPECT_EQ(ReadCollection(*StreamOf(""), items), TRDCollectionRead::NotACollection);
}

TEST(ComponentStream, ComponentsThroughHexAndWithSize) {
  TProbe probe;
  probe.Name = "probe1";
  probe.Width = 300;
  probe.Caption = "Hi";
  probe.Data = std::string("\0\x01", 2);
  std::string hex;
  ComponentToHexString(probe, hex);
  EXPECT_EQ(hex.substr(0, 8), "52444331");  // the signature

  std::unique_ptr<TComponent> made;
  ASSERT_TRUE(LoadControlFromHex(hex, made, "", nullptr));
  auto* copy = dynamic_cast<TProbe*>(made.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Name, "probe1");
  EXPECT_EQ(copy->Width, 300);
  EXPECT_FALSE(copy->Flat);
  EXPECT_EQ(copy->Caption, "Hi");
  EXPECT_EQ(copy->Data, probe.Data);

  // Made as a named class first, then read into.
  std::unique_ptr<TComponent> named;
  EXPECT_TRUE(LoadControlFromHex(hex, named, "TProbe", nullptr));
  EXPECT_EQ(dynamic_cast<TProbe&>(*named).Width, 300);

  TMemoryStream sized;
  sized.WriteBuffer("ab", 2);
  WriteComponentWithSize(sized, probe);
  EXPECT_EQ(sized.Position(), sized.Size());
  const std::string bytes = Bytes(sized);
  const std::uint32_t size = std::uint8_t(bytes[2]) | std::uint8_t(bytes[3]) << 8;
  EXPECT_EQ(size + 6, bytes.size());
  std::unique_ptr<TComponent> fromBytes;
  EXPECT_TRUE(ReadComponentFromString(bytes.substr(6), fromBytes, "", nullptr));
  EXPECT_EQ(dynamic_cast<TProbe&>(*fromBytes).Caption, "Hi");
}

TEST(ComponentStream, DataAnOwnerWritesItself) {
  TGrid grid;
  grid.Rows.resize(2);
  grid.Rows[0].resize(2);
  grid.Rows[1].resize(1);
  grid.Rows[0][1].Span = 2;
  grid.Rows[0][1].Content->Caption = "cell";
  grid.Rows[1][0].Content->Width = 7;
  grid.Breaks = {false, true};
  std::string hex;
  ComponentToHexString(grid, hex);
  std::unique_ptr<TComponent> made;
  ASSERT_TRUE(LoadControlFromHex(hex, made, "", nullptr));
  auto& copy = dynamic_cast<TGrid&>(*made);
  ASSERT_EQ(copy.Rows.size(), 2u);
  ASSERT_EQ(copy.Rows[0].size(), 2u);
  EXPECT_EQ(copy.Rows[0][1].Span, 2);
  EXPECT_EQ(copy.Rows[0][1].Content->Caption, "cell");
  EXPECT_EQ(copy.Rows[1][0].Content->Width, 7);
  EXPECT_EQ(copy.Breaks, grid.Breaks);

  // An empty grid writes neither property.
  TGrid empty;
  std::string emptyHex;
  ComponentToHexString(empty, emptyHex);
  EXPECT_EQ(emptyHex.find(StringToHex("RowPageBreakBefore")), std::string::npos);
  // A list that does not end where the reader expects fails the component.
  grid.Rows.resize(1);
  std::string bytes;
  ComponentToHexString(grid, hex);
  HexToString(hex, bytes);
  const size_t listEnd = bytes.find(std::string("\0\x12RowPageBreakBefore", 20));
  ASSERT_NE(listEnd, std::string::npos);
  bytes[listEnd] = '\x05';  // the cells' list end becomes a Boolean
  EXPECT_FALSE(ReadComponentFromString(bytes, made, "", nullptr));
}

TEST(ComponentStream, BadComponentStreamsFailCleanly) {
  TProbe probe;
  std::string hex;
  ComponentToHexString(probe, hex);
  std::unique_ptr<TComponent> made;
  EXPECT_FALSE(LoadControlFromHex(hex.substr(0, hex.size() - 4), made, "", nullptr));
  EXPECT_EQ(made, nullptr);
  EXPECT_FALSE(LoadControlFromHex("00" + hex.substr(2), made, "", nullptr));  // signature
  EXPECT_FALSE(LoadControlFromHex(hex, made, "TNoSuchClass", nullptr));
  // Valid component, but the text has an odd digit at the end.
  EXPECT_FALSE(LoadControlFromHex(hex + "0", made, "", nullptr));
  std::string unknownClass;
  TComponent plain;
  ComponentToHexString(plain, unknownClass);
  EXPECT_FALSE(LoadControlFromHex(unknownClass, made, "", nullptr));
  // A stored property the class does not publish.
  std::string bytes;
  HexToString(hex, bytes);
  bytes.insert(bytes.size() - 2, std::string("\x03Zap\x05", 5));
  EXPECT_FALSE(ReadComponentFromString(bytes, made, "", nullptr));
  EXPECT_EQ(made, nullptr);
}

}  // namespace
