#include "richtext/styles/list_style.h"

#include <random>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "platform/text/sysutils.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/ini_file.h"
#include "richtext/styles/component_stream.h"
#include "richtext/styles/graphic_streams.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rdf_routines.h"

namespace {

constexpr int kMarkerFontSize = 8;
constexpr int kLevelMissingPenalty = 100;
constexpr int kMaxListID = 0x7FFFFFFE;
constexpr size_t kLongValuePiece = 500;

// A long value in pieces of at most 500 characters under Key_0, Key_1 ... (a last empty
// piece is not written).
void WriteLongValue(TRDIniFile& ini, const std::string& section, const std::string& key,
                    const std::string& value) {
  for (size_t i = 0, n = 0; i < value.size(); i += kLongValuePiece, ++n)
    ini.WriteString(section, key + "_" + std::to_string(n), value.substr(i, kLongValuePiece));
}

// Reading stops at the first piece that reads as empty.
std::string ReadLongValue(const TRDIniFile& ini, const std::string& section,
                          const std::string& key) {
  std::string value;
  for (size_t n = 0;; ++n) {
    std::string piece = ini.ReadString(section, key + "_" + std::to_string(n), "");
    if (piece.empty()) return value;
    value += piece;
  }
}

std::string SavedBytes(const TGraphic& graphic) {
  TMemoryStream stream;
  graphic.SaveToStream(stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

struct NamedColor {
  TColor color;
  const char* name;
};
constexpr NamedColor kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clActiveCaption, "clActiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clBtnHighlight, "clBtnHighlight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {clNone, "clNone"},
};

const char* ListTypeWord(TRDListType type) {
  static constexpr const char* kWords[] = {
      "bullet",   "pic",      "image-list",         "1,2,3",         "a,b,c", "A,B,C",
      "i,ii,iii", "I,II,III", "image-list counter", "unicode bullet"};
  return kWords[type];
}

int RandomListID() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(1, kMaxListID)(generator);
}

std::string Px(int v) {
  return std::to_string(v) + "px";
}

// The class library's colour texts: "clRed", "clWindowText" ... or "$00BBGGRR".
std::string ColorToString(TColor color) {
  for (const NamedColor& c : kColorNames)
    if (c.color == color) return c.name;
  return "$" + IntToHex(std::uint32_t(color), 8);
}

bool StringToColor(std::string_view text, TColor& color) {
  for (const NamedColor& c : kColorNames)
    if (SameText(text, c.name)) {
      color = c.color;
      return true;
    }
  int value;
  if (TryStrToInt(text, value)) {
    color = value;
    return true;
  }
  return false;
}

}  // namespace

TRDMarkerFont::TRDMarkerFont() {
  Name = "Arial";
  SetSize(kMarkerFontSize);
}

bool TRDMarkerFont::IsDefault() const {
  return Size() == kMarkerFontSize && Color == clWindowText && Charset == 1 && Style == 0 &&
         SameText(Name, "Arial");
}

bool TRDMarkerFont::IsEqual(const TRDMarkerFont& o) const {
  return Height == o.Height && Style == o.Style && Color == o.Color && Charset == o.Charset &&
         SameText(Name, o.Name);
}

TRDListLevel::TRDListLevel() = default;
TRDListLevel::~TRDListLevel() = default;

void TRDListLevel::SetPicture(const TGraphic* picture) {
  if (picture == picture_.get()) return;
  if (!picture || picture->Empty()) {
    picture_.reset();
    return;
  }
  picture_ = picture->Clone();
  picture_->SetTransparent(true);
}

bool TRDListLevel::HasPicture() const {
  return picture_ && !picture_->Empty();
}

bool TRDListLevel::PicturesEqual(const TRDListLevel& v) const {
  if (!HasPicture() || !v.HasPicture()) return HasPicture() == v.HasPicture();
  const TGraphic &mine = *picture_, &theirs = *v.picture_;
  return typeid(mine) == typeid(theirs) && SavedBytes(mine) == SavedBytes(theirs);
}

TRDMarkerFont& TRDListLevel::GetFont() {
  if (!font_) font_.emplace();
  return *font_;
}

const TRDMarkerFont& TRDListLevel::ShownFont() const {
  static const TRDMarkerFont kDefault;
  return font_ ? *font_ : kDefault;
}

void TRDListLevel::SetFont(const TRDMarkerFont* font) {
  if (font)
    font_ = *font;
  else
    font_.reset();
}

void TRDListLevel::Assign(const TRDListLevel& s) {
  ListType = s.ListType;
  StartFrom = s.StartFrom;
  ImageList = s.ImageList;
  ImageIndex = s.ImageIndex;
  FormatString = s.FormatString;
  FormatStringW = s.FormatStringW;
  LeftIndent = s.LeftIndent;
  FirstIndent = s.FirstIndent;
  MarkerIndent = s.MarkerIndent;
  MarkerAlignment = s.MarkerAlignment;
  font_ = s.font_;
  SetPicture(s.picture_.get());
  Options = s.Options;
}

bool TRDListLevel::UsesFont() const {
  return ListType == rdlstBullet || HasTextNumbering() || ListType == rdlstUnicodeBullet;
}

std::string TRDListLevel::GetDisplayName() const {
  return std::string(ListTypeWord(ListType)) + " " + std::to_string(LeftIndent) + "/" +
         std::to_string(MarkerIndent) + "/" + std::to_string(FirstIndent);
}

bool TRDListLevel::FontsEqual(const TRDListLevel& v) const {
  TRDMarkerFont defaultFont;
  const TRDMarkerFont& mine = font_ ? *font_ : defaultFont;
  const TRDMarkerFont& theirs = v.font_ ? *v.font_ : defaultFont;
  return mine.IsEqual(theirs);
}

bool TRDListLevel::IsSimpleEqual(const TRDListLevel& v) const {
  return ListType == v.ListType && StartFrom == v.StartFrom && ImageList == v.ImageList &&
         ImageIndex == v.ImageIndex && FormatString == v.FormatString &&
         FormatStringW == v.FormatStringW && LeftIndent == v.LeftIndent &&
         FirstIndent == v.FirstIndent && MarkerIndent == v.MarkerIndent &&
         MarkerAlignment == v.MarkerAlignment && FontsEqual(v) && Options == v.Options &&
         PicturesEqual(v);
}

int TRDListLevel::SimilarityValue(const TRDListLevel& v) const {
  int score = ListType == v.ListType ? 5000 : 0;
  const bool equal[] = {StartFrom == v.StartFrom,
                        ImageList == v.ImageList,
                        ImageIndex == v.ImageIndex,
                        FormatString == v.FormatString,
                        FormatStringW == v.FormatStringW,
                        LeftIndent == v.LeftIndent,
                        MarkerIndent == v.MarkerIndent,
                        MarkerAlignment == v.MarkerAlignment,
                        Options == v.Options,
                        FontsEqual(v),
                        PicturesEqual(v)};
  for (bool e : equal) score += e ? 100 : 0;
  if (FirstIndent == v.FirstIndent) score += 200;
  return score;
}

std::string TRDListLevel::GetIndentCSS() const {
  if (MarkerIndent < LeftIndent)
    return "text-indent: " + Px(MarkerIndent - LeftIndent) +
           "; padding-left: " + Px(LeftIndent - MarkerIndent) +
           "; margin-left: " + Px(MarkerIndent) + ";";
  return "text-indent: " + Px(MarkerIndent - LeftIndent) + "; margin-left: " + Px(LeftIndent) + ";";
}

std::string TRDListLevel::HTMLOpenTag(bool useCSS, int previousLeftIndent, bool xhtml) const {
  std::string style;
  if (useCSS) {
    std::string css;
    if (LeftIndent > MarkerIndent)
      css = "text-indent: " + Px(FirstIndent) +
            "; margin-left: " + Px(LeftIndent - previousLeftIndent) +
            "; list-style-position: outside;";
    else
      css = "text-indent: " + Px(MarkerIndent - LeftIndent) +
            "; margin-left: " + Px(LeftIndent - previousLeftIndent) +
            "; list-style-position: inside;";
    style = " style=" + QuotedHTMLAttr(css);
  }
  if (!HasNumbering()) return "<ul" + style + ">";
  std::string type;
  switch (ListType) {
    case rdlstLowerAlpha:
      type = "a";
      break;
    case rdlstUpperAlpha:
      type = "A";
      break;
    case rdlstLowerRoman:
      type = "i";
      break;
    case rdlstUpperRoman:
      type = "I";
      break;
    default:
      break;
  }
  if (!type.empty()) type = xhtml ? " type=\"" + type + "\"" : " type=" + type;
  return "<ol" + type + style + ">";
}

std::string TRDListLevel::HTMLCloseTag() const {
  return HasNumbering() ? "</ol>" : "</ul>";
}

void TRDListLevel::SaveToINI(TRDIniFile& ini, const std::string& section,
                             const std::string& kf) const {
  auto writeInt = [&](const char* key, int value, int fallback) {
    if (value != fallback) ini.WriteInteger(section, FormatKey(kf, key), value);
  };
  writeInt("ListType", ListType, rdlstBullet);
  writeInt("ImageIndex", ImageIndex, 0);
  ini.WriteString(section, FormatKey(kf, "FormatString"), FormatString);
  writeInt("LeftIndent", LeftIndent, 0);
  writeInt("FirstIndent", FirstIndent, 10);
  writeInt("MarkerIndent", MarkerIndent, 0);
  writeInt("MarkerAlignment", MarkerAlignment, rdmaLeft);
  if (HasPicture()) {
    ini.WriteString(section, FormatKey(kf, "GraphicClass"), GraphicClassName(*picture_));
    std::string hex;
    GraphicToHex(*picture_, hex);
    WriteLongValue(ini, section, FormatKey(kf, "Picture"), hex);
  }
  if (font_) {
    std::string letters;
    if (font_->Style & fsBold) letters += "B";
    if (font_->Style & fsItalic) letters += "I";
    if (font_->Style & fsUnderline) letters += "U";
    if (font_->Style & fsStrikeOut) letters += "S";
    ini.WriteString(section, FormatKey(kf, "Font"),
                    font_->Name + "," + std::to_string(font_->Height) + "," + letters + "," +
                        std::to_string(font_->Pitch) + "," + ColorToString(font_->Color) + "," +
                        std::to_string(font_->Charset));
  }
  if (!(Options & rdloContinuous))
    ini.WriteString(section, FormatKey(kf, "Continuous"), BoolToIni(false));
  if (!(Options & rdloLevelReset))
    ini.WriteString(section, FormatKey(kf, "LevelReset"), BoolToIni(false));
  if (!FormatStringW.empty()) {
    std::string raw;
    for (char16_t u : FormatStringW) {
      raw.push_back(char(u & 0xFF));
      raw.push_back(char(u >> 8));
    }
    ini.WriteString(section, FormatKey(kf, "FormatStringW"), StringToHex(raw));
  }
}

void TRDListLevel::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                               const std::string& kf) {
  auto readInt = [&](const char* key, int fallback) {
    return ini.ReadInteger(section, FormatKey(kf, key), fallback);
  };
  int type = readInt("ListType", rdlstBullet);
  ListType = type >= rdlstBullet && type <= rdlstUnicodeBullet ? TRDListType(type) : rdlstBullet;
  ImageIndex = readInt("ImageIndex", 0);
  FormatString = ini.ReadString(section, FormatKey(kf, "FormatString"), "\xB7");
  LeftIndent = readInt("LeftIndent", 0);
  FirstIndent = readInt("FirstIndent", 10);
  MarkerIndent = readInt("MarkerIndent", 0);
  int alignment = readInt("MarkerAlignment", rdmaLeft);
  MarkerAlignment =
      alignment >= rdmaLeft && alignment <= rdmaCenter ? TRDMarkerAlignment(alignment) : rdmaLeft;
  picture_.reset();
  if (TRDGraphicClass graphicClass =
          FindGraphicClass(ini.ReadString(section, FormatKey(kf, "GraphicClass"), ""))) {
    std::unique_ptr<TGraphic> picture = RDCreateGraphicProc(graphicClass);
    // A picture that cannot be read leaves the level without one.
    try {
      if (picture &&
          LoadGraphicFromHex(ReadLongValue(ini, section, FormatKey(kf, "Picture")), *picture))
        SetPicture(picture.get());
    } catch (const EInvalidGraphic&) {
    }
  }
  if (ini.ValueExists(section, FormatKey(kf, "Font"))) {
    TRDMarkerFont& font = GetFont();
    std::string text = ini.ReadString(section, FormatKey(kf, "Font"), "");
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
      size_t comma = text.find(',', start);
      fields.push_back(
          text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
    if (fields.size() > 0) font.Name = fields[0];
    if (fields.size() > 1) font.Height = StrToIntDef(fields[1], font.Height);
    if (fields.size() > 2) {
      font.Style = 0;
      for (char c : fields[2]) {
        switch (c) {
          case 'B':
          case 'b':
            font.Style |= fsBold;
            break;
          case 'I':
          case 'i':
            font.Style |= fsItalic;
            break;
          case 'U':
          case 'u':
            font.Style |= fsUnderline;
            break;
          case 'S':
          case 's':
            font.Style |= fsStrikeOut;
            break;
          default:
            break;
        }
      }
    }
    if (fields.size() > 3) font.Pitch = StrToIntDef(fields[3], font.Pitch);
    if (fields.size() > 4) StringToColor(fields[4], font.Color);
    if (fields.size() > 5) font.Charset = StrToIntDef(fields[5], font.Charset) & 0xFF;
  }
  Options = 0;
  if (IniToBool(ini.ReadString(section, FormatKey(kf, "Continuous"), "Yes")))
    Options |= rdloContinuous;
  if (IniToBool(ini.ReadString(section, FormatKey(kf, "LevelReset"), "Yes")))
    Options |= rdloLevelReset;
  std::string raw;
  HexToString(ini.ReadString(section, FormatKey(kf, "FormatStringW"), ""), raw);
  FormatStringW.clear();
  for (size_t i = 0; i + 1 < raw.size(); i += 2)
    FormatStringW.push_back(char16_t(std::uint8_t(raw[i]) | (std::uint8_t(raw[i + 1]) << 8)));
}

TRDListInfo::TRDListInfo(TCustomRDInfos* collection) : TCustomRDInfo(collection) {
  SetStyleName("List Style");
}

TRDListLevel& TRDListInfo::AddLevel() {
  Levels.push_back(std::make_unique<TRDListLevel>());
  return *Levels.back();
}

void TRDListInfo::Assign(const TCustomRDInfo& source) {
  if (const auto* s = dynamic_cast<const TRDListInfo*>(&source)) {
    if (s != this) {
      Levels.clear();
      for (const auto& level : s->Levels) AddLevel().Assign(*level);
    }
    OneLevelPreview = s->OneLevelPreview;
  }
  TCustomRDInfo::Assign(source);
}

int TRDListInfo::GetListID() {
  while (list_id_ == 0) list_id_ = RandomListID();
  return list_id_;
}

bool TRDListInfo::HasNumberedLevels() const {
  for (const auto& level : Levels)
    if (level->HasNumbering()) return true;
  return false;
}

bool TRDListInfo::HasTextNumberedLevels() const {
  for (const auto& level : Levels)
    if (level->HasTextNumbering()) return true;
  return false;
}

bool TRDListInfo::IsSimpleEqual(const TCustomRDInfo& other, bool ignoreID) const {
  const auto* v = dynamic_cast<const TRDListInfo*>(&other);
  if (!v || OneLevelPreview != v->OneLevelPreview || Levels.size() != v->Levels.size())
    return false;
  if (!ignoreID && ListIDOrZero() != v->ListIDOrZero()) return false;
  for (size_t i = 0; i < Levels.size(); ++i)
    if (!Levels[i]->IsSimpleEqual(*v->Levels[i])) return false;
  return NamesEqualIfCompared(*v);
}

bool TRDListInfo::IsSimpleEqualEx(TCustomRDInfo& value, const TRDIntegerList&) const {
  return IsSimpleEqual(value, false);
}

int TRDListInfo::SimilarityValue(const TCustomRDInfo& other) const {
  const auto* v = dynamic_cast<const TRDListInfo*>(&other);
  if (!v) return 0;
  int score = (OneLevelPreview == v->OneLevelPreview ? 100 : 0) +
              (ListIDOrZero() == v->ListIDOrZero() ? 50 : 0);
  size_t common = std::min(Levels.size(), v->Levels.size());
  score -= kLevelMissingPenalty * int(std::max(Levels.size(), v->Levels.size()) - common);
  for (size_t i = 0; i < common; ++i) score += Levels[i]->SimilarityValue(*v->Levels[i]);
  return score;
}

void TRDListInfo::SaveToINI(TRDIniFile& ini, const std::string& section,
                            const std::string& kf) const {
  SaveBaseToINI(ini, section, kf);
  if (!Levels.empty()) ini.WriteInteger(section, FormatKey(kf, "LevelsCount"), int(Levels.size()));
  if (OneLevelPreview) ini.WriteString(section, "OneLevelPreview", BoolToIni(true));
  for (size_t i = 0; i < Levels.size(); ++i)
    Levels[i]->SaveToINI(ini, section, FormatKey(kf, "") + "Lvl%s" + std::to_string(i));
}

void TRDListInfo::LoadFromINI(const TRDIniFile& ini, const std::string& section,
                              const std::string& kf) {
  LoadBaseFromINI(ini, section, kf, "List Style");
  OneLevelPreview = IniToBool(ini.ReadString(section, "OneLevelPreview", "No"));
  Levels.clear();
  int count = ini.ReadInteger(section, FormatKey(kf, "LevelsCount"), 0);
  for (int i = 0; i < count; ++i) {
    std::string levelFormat = FormatKey(kf, "") + "Lvl%s" + std::to_string(i);
    // Every saved level writes its format string; a count beyond the levels present is
    // not trusted (it could ask for millions).
    if (!ini.ValueExists(section, FormatKey(levelFormat, "FormatString"))) break;
    AddLevel().LoadFromINI(ini, section, levelFormat);
  }
}

TRDListInfo& TRDListInfos::Add() {
  return static_cast<TRDListInfo&>(AddItem());
}

TRDListInfo& TRDListInfos::Items(int index) const {
  if (index < 0 || index >= Count()) throw ERDListIndexError(index);
  return static_cast<TRDListInfo&>(At(index));
}

void TRDListInfos::RemoveImageList(const TCustomImageList* imageList) {
  for (int i = 0; i < Count(); ++i)
    for (auto& level : Items(i).Levels)
      if (level->ImageList == imageList) level->ImageList = nullptr;
}

bool TRDListInfos::CanMergeInto(const TCustomRDInfos& source, int targetIndex,
                                const TRDIntegerList& mapping) const {
  // A list that already received a numbered source list keeps that numbering to itself.
  for (int k = 0; k < mapping.Count() && k < source.Count(); ++k) {
    const auto* earlier = dynamic_cast<const TRDListInfo*>(&source.At(k));
    if (mapping[k] == targetIndex && earlier && earlier->HasNumberedLevels()) return false;
  }
  return true;
}

int TRDListInfos::AppendCopy(const TCustomRDInfo& source) {
  int index = TCustomRDInfos::AppendCopy(source);
  if (const auto* list = dynamic_cast<const TRDListInfo*>(&source))
    Items(index).SetListID(list->ListIDOrZero());
  return index;
}

std::unique_ptr<TCustomRDInfo> CreateListInfo(TCustomRDInfos* collection) {
  return std::make_unique<TRDListInfo>(collection);
}

namespace {

// The level's picture as its class name, a NUL and the picture's saved form.
std::string PictureBytes(const TGraphic& picture) {
  TMemoryStream stream;
  picture.SaveToStream(stream);
  return GraphicClassName(picture) + '\0' +
         std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

std::unique_ptr<TGraphic> PictureFromBytes(const std::string& bytes) {
  const size_t nul = bytes.find('\0');
  TRDGraphicClass graphicClass =
      nul == std::string::npos ? nullptr : FindGraphicClass(bytes.substr(0, nul));
  std::unique_ptr<TGraphic> picture = graphicClass ? RDCreateGraphicProc(graphicClass) : nullptr;
  if (!picture) throw EReadError("Invalid picture class");
  try {
    LoadGraphicFromString(std::string_view(bytes).substr(nul + 1), *picture);
  } catch (const EInvalidGraphic&) {
    throw EReadError("Invalid picture");
  }
  return picture;
}

class TLevelStreamCollection : public TRDStreamCollection {
 public:
  explicit TLevelStreamCollection(TRDListInfo& list) : list_(list) {}
  int Count() const override { return int(list_.Levels.size()); }
  void Clear() override { list_.Levels.clear(); }
  void Add() override { list_.AddLevel(); }
  void DefineItem(int index, TRDPropertyFiler& filer) override {
    list_.Levels[size_t(index)]->DefineProperties(filer);
  }

 private:
  TRDListInfo& list_;
};

}  // namespace

void TRDListLevel::DefineProperties(TRDPropertyFiler& filer) {
  filer.Ranged("ListType", ListType, rdlstBullet, rdlstBullet, rdlstUnicodeBullet);
  filer.Integer("ImageIndex", ImageIndex, 0);
  filer.String("FormatString", FormatString, "\xB7");
  std::string wide;
  for (char16_t u : FormatStringW) {
    wide.push_back(char(u & 0xFF));
    wide.push_back(char(u >> 8));
  }
  const std::string storedWide = wide;
  filer.Binary("FormatStringW", wide);
  filer.Length("LeftIndent", LeftIndent, 0);
  filer.Length("FirstIndent", FirstIndent, 10);
  filer.Length("MarkerIndent", MarkerIndent, 0);
  filer.Ranged("MarkerAlignment", MarkerAlignment, rdmaLeft, rdmaLeft, rdmaCenter);
  filer.Ranged("Options", Options, TRDListLevelOptions(rdloContinuous | rdloLevelReset), 0, 7);
  filer.Integer("StartFrom", StartFrom, 1);
  const std::string storedPicture = HasPicture() ? PictureBytes(*picture_) : std::string();
  std::string picture = storedPicture;
  filer.Binary("Picture", picture);
  bool hasFont = font_.has_value();
  filer.Boolean("HasFont", hasFont, false);
  if (hasFont || filer.Reading()) {
    TRDMarkerFont font = font_.value_or(TRDMarkerFont());
    const TRDMarkerFont defaults;
    filer.Nested("Font", [&](TRDPropertyFiler& f) {
      f.String("Name", font.Name, defaults.Name);
      f.Length("Height", font.Height, defaults.Height);
      f.Integer("Color", font.Color, defaults.Color);
      f.Ranged("Style", font.Style, defaults.Style, 0, 0xFF);
      f.Integer("Charset", font.Charset, defaults.Charset);
      f.Integer("Pitch", font.Pitch, defaults.Pitch);
    });
    if (filer.Reading() && (hasFont || font_)) font_ = font;
  }
  if (!filer.Reading()) return;
  if (picture != storedPicture) {
    std::unique_ptr<TGraphic> made = PictureFromBytes(picture);
    SetPicture(made.get());
  }
  if (wide.size() % 2 != 0) throw EReadError("Invalid FormatStringW");
  if (wide == storedWide) return;
  FormatStringW.clear();
  for (size_t i = 0; i + 1 < wide.size(); i += 2)
    FormatStringW.push_back(char16_t(std::uint8_t(wide[i]) | (std::uint8_t(wide[i + 1]) << 8)));
}

void TRDListInfo::DefineProperties(TRDPropertyFiler& filer) {
  TCustomRDInfo::DefineProperties(filer);
  TLevelStreamCollection levels(*this);
  filer.Collection("Levels", levels);
  filer.Boolean("OneLevelPreview", OneLevelPreview, false);
  filer.Integer("ListID", list_id_, 0);
}
