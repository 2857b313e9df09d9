// Numbered and bulleted paragraphs of an RTF import: old-style \pn numbering and Word 97
// lists (\listtable, \listoverridetable, \ls) become list styles of the document and a
// list marker in front of each numbered paragraph. Markers are imported only when
// paragraph styles may be added; otherwise the paragraphs keep just their text.
#include <algorithm>
#include <cmath>

#include "platform/text/sysutils.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/marker_item.h"
#include "richtext/styles/list_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/rtf/rtf_importer.h"
#include "richtext_edit/rtf/rtf_importer_state.h"

namespace {

int Round(double value) {
  return int(std::nearbyint(value));
}

TRDListType NumberedListType(std::uint8_t numberType) {
  switch (numberType) {
    case 2:
      return rdlstLowerAlpha;
    case 3:
      return rdlstUpperAlpha;
    case 4:
      return rdlstLowerRoman;
    case 5:
      return rdlstUpperRoman;
    case 6:
      return rdlstBullet;
    default:
      return rdlstDecimal;
  }
}

// The marker font of a level: the RTF font (font 0 when none is named) with its charset.
TRDMarkerFont MarkerFontOf(const TRDRTFCustomMarkerProperties& marker,
                           const TRDRTFFontList& fonts) {
  TRDMarkerFont font;
  const int index =
      marker.FontIndex >= 0 && marker.FontIndex < fonts.Count() ? marker.FontIndex : 0;
  if (index < fonts.Count()) {
    if (!fonts[index].Name.empty()) font.Name = fonts[index].Name;
    font.Charset = fonts[index].Charset;
  }
  font.SetSize(marker.FontSize);
  font.Style = TFontStyles(marker.FontStyle);
  font.Color = marker.Color;
  return font;
}

// A level text without its level-number placeholders (the characters below 10).
template <class S>
S WithoutLevelNumbers(S text) {
  std::erase_if(text, [](auto c) { return static_cast<unsigned>(c) < 10; });
  return text;
}

bool SameFont(const TRDMarkerFont& a, const TRDMarkerFont& b) {
  return SameText(a.Name, b.Name) && a.Size() == b.Size() && a.Style == b.Style &&
         a.Color == b.Color;
}

bool SameLevel(TRDListLevel& a, TRDListLevel& b) {
  if (a.ListType != b.ListType || a.StartFrom != b.StartFrom ||
      a.MarkerAlignment != b.MarkerAlignment || a.LeftIndent != b.LeftIndent ||
      a.FirstIndent != b.FirstIndent || a.MarkerIndent != b.MarkerIndent ||
      (a.Options & (rdloLevelReset | rdloLegalStyleNumbering)) !=
          (b.Options & (rdloLevelReset | rdloLegalStyleNumbering)) ||
      !SameFont(a.GetFont(), b.GetFont()))
    return false;
  if (a.ListType == rdlstUnicodeBullet) return a.FormatStringW == b.FormatStringW;
  if (a.ListType == rdlstBullet || a.HasTextNumbering()) return a.FormatString == b.FormatString;
  return true;
}

}  // namespace

void TRDRTFImporter::UpdateMarker() {
  SettlePendingMarker();
}

bool TRDRTFImporter::AddParagraphMarker() {
  if (options_.ParaStyleMode != rdrsAddIfNeeded) return false;
  const TRDRTFParaProperties& para = reader_->State().ParaProps;
  std::unique_ptr<TRDMarkerItemInfo> marker;
  bool word97 = false;
  if (para.ListOverride >= 0 && para.ListOverride < reader_->ListOverrideTable().Count()) {
    MakeWord97ListStyles();
    const TRDRTFListOverride97& override = reader_->ListOverrideTable()[para.ListOverride];
    if (override.ListIndex < 0 || override.ListIndex >= int(lists_->ListStyles.size()))
      return false;
    const int level = std::clamp(para.ListLevel, 0, 8);
    int start = 1;
    bool reset = false;
    // An override's start number starts its first paragraph of the level; the others
    // count on from it.
    if (level < int(override.Levels.size()) &&
        lists_->OverridesStarted.insert({para.ListOverride, level}).second) {
      start = override.Levels[size_t(level)].StartAt;
      reset = override.Levels[size_t(level)].StartAtOverridden;
    }
    marker = TRDMarkerItemInfo::CreateMarker(
        current_, lists_->ListStyles[size_t(override.ListIndex)], level, start, reset);
    word97 = true;
  } else if (para.Marker && para.Marker->Level > 0) {
    const int level = std::min(para.Marker->Level, TRDRTFMarkerProperties::kBulletLevel);
    const bool reset = lists_->LevelStyles[size_t(level - 1)] < 0;
    marker = TRDMarkerItemInfo::CreateMarker(current_, -1, -1, para.Marker->Start, reset);
    lists_->PendingMarker = *para.Marker;
  } else {
    if (!para.Marker) std::fill(lists_->LevelStyles.begin(), lists_->LevelStyles.end(), -1);
    return false;
  }
  SettlePendingMarker();
  marker->StyleNo = rdsListMarker;
  AddItem("", std::move(marker), rtf_ts_NewPara);
  lists_->PendingItemNo = current_ == &target_ ? insert_index_ - 1 : current_->GetItemCount() - 1;
  lists_->PendingData = current_;
  lists_->PendingWord97 = word97;
  // A marker in a table being built is listed when the table goes into the document.
  if (!current_->KeepsMarkerList()) cell_markers_ = true;
  return true;
}

void TRDRTFImporter::SettlePendingMarker() {
  TListState& lists = *lists_;
  if (lists.PendingItemNo < 0) return;
  TCustomRDData& data = *lists.PendingData;
  const int itemNo = lists.PendingItemNo;
  lists.PendingItemNo = -1;
  if (itemNo >= data.GetItemCount()) return;
  auto* marker = dynamic_cast<TRDMarkerItemInfo*>(data.GetItem(itemNo));
  if (!marker) return;
  const TRDRTFParaProperties& para = reader_->State().ParaProps;
  if (!lists.PendingWord97) {
    // The paragraph's marker as it stands now, its font taken from the text.
    const TRDRTFMarkerProperties& pn = para.Marker ? *para.Marker : lists.PendingMarker;
    marker->ListNo = OldStyleListStyle(pn, para);
    marker->Level = 0;
    data.RenumberMarkersFrom(itemNo, true);
    return;
  }
  const int listNo = marker->ListNo;
  if (listNo < 0 || listNo >= int(lists.AddedByRead.size()) || !lists.AddedByRead[size_t(listNo)])
    return;
  TRDListInfo& list = sheet_.ListStyles()[listNo];
  if (marker->Level < 0 || marker->Level >= int(list.Levels.size())) return;
  TRDListLevel& level = *list.Levels[size_t(marker->Level)];
  TListState::TLevelFlags& flags = lists.LevelFlags[{listNo, marker->Level}];
  if (!flags.IndentsTaken) {
    // The paragraph says where its text stands; the marker keeps its distance to it.
    const int distance = level.LeftIndent + level.FirstIndent - level.MarkerIndent;
    level.MarkerIndent = Round((para.LeftIndent + para.FirstIndent) * pixels_per_twip_);
    level.LeftIndent = Round(para.LeftIndent * pixels_per_twip_);
    level.FirstIndent = distance + level.MarkerIndent - level.LeftIndent;
    flags.IndentsTaken = true;
  }
  if (!flags.FontSizeSet) {
    level.GetFont().SetSize(reader_->State().CharProps.Size);
    flags.FontSizeSet = true;
  }
}

int TRDRTFImporter::OldStyleListStyle(const TRDRTFMarkerProperties& pn,
                                      const TRDRTFParaProperties& para) {
  const int levelNo = std::clamp(pn.Level, 1, TRDRTFMarkerProperties::kBulletLevel);
  int& remembered = lists_->LevelStyles[size_t(levelNo - 1)];
  if (levelNo <= TRDRTFMarkerProperties::kBodyLevel && remembered >= 0) return remembered;
  TRDListLevel wanted;
  const bool bullet = levelNo == TRDRTFMarkerProperties::kBulletLevel ||
                      (levelNo == TRDRTFMarkerProperties::kBodyLevel && pn.NumberType == 0);
  std::string unicodeFormat;
  if (bullet) {
    wanted.ListType = rdlstBullet;
    wanted.FormatString = pn.TextBefore;
    unicodeFormat = pn.TextBefore;
  } else {
    wanted.ListType = NumberedListType(pn.NumberType == 6 ? 1 : pn.NumberType);
    wanted.FormatString = pn.TextBefore + "%s" + pn.TextAfter;
    unicodeFormat = pn.TextBefore + "%0:s" + pn.TextAfter;
  }
  wanted.SetFont(nullptr);
  TRDMarkerFont font = MarkerFontOf(pn, reader_->FontTable());
  wanted.GetFont() = font;
  const auto px = [this](int twips) { return Round(twips * pixels_per_twip_); };
  const int lp = px(para.LeftIndent), fp = px(para.FirstIndent), i = px(pn.Indent),
            s = px(pn.Space);
  wanted.LeftIndent = lp;
  wanted.FirstIndent = pn.Hanging ? std::max(s, fp + i) : std::max(0, std::max(i, s) + fp);
  wanted.MarkerAlignment = bullet && levelNo == TRDRTFMarkerProperties::kBulletLevel
                               ? rdmaLeft
                               : TRDMarkerAlignment(std::min<int>(pn.Alignment, 2));
  switch (wanted.MarkerAlignment) {
    case rdmaLeft:
      wanted.MarkerIndent = lp + fp;
      break;
    case rdmaRight:
      wanted.MarkerIndent = wanted.FirstIndent + wanted.LeftIndent;
      break;
    case rdmaCenter:
      wanted.MarkerIndent = (lp + fp + wanted.FirstIndent + wanted.LeftIndent) / 2;
      break;
  }
  TRDListInfos& styles = sheet_.ListStyles();
  int found = -1;
  for (int n = 0; n < styles.Count() && found < 0; ++n) {
    TRDListInfo& style = styles[n];
    if (style.Levels.empty()) continue;
    TRDListLevel& level = *style.Levels[0];
    if (level.ListType == wanted.ListType && level.MarkerAlignment == wanted.MarkerAlignment &&
        level.LeftIndent == wanted.LeftIndent && level.FirstIndent == wanted.FirstIndent &&
        level.MarkerIndent == wanted.MarkerIndent && SameFont(level.GetFont(), font) &&
        (level.FormatString == wanted.FormatString || level.FormatString == unicodeFormat))
      found = n;
  }
  if (found < 0) {
    TRDListInfo& added = styles.Add();
    added.SetStandard(false);
    added.AddLevel().Assign(wanted);
    found = styles.Count() - 1;
    lists_->AddedByRead.resize(size_t(styles.Count()), false);
    lists_->AddedByRead[size_t(found)] = true;
  }
  remembered = found;
  return found;
}

void TRDRTFImporter::MakeWord97ListStyles() {
  TListState& lists = *lists_;
  if (lists.ListStylesMade) return;
  lists.ListStylesMade = true;
  const TRDRTFListTable97& table = reader_->ListTable();
  const TRDRTFFontList& fonts = reader_->FontTable();
  TRDListInfos& styles = sheet_.ListStyles();
  std::vector<bool> taken(size_t(styles.Count()), false);
  const auto px = [this](int twips) { return Round(twips * pixels_per_twip_); };
  for (int l = 0; l < table.Count(); ++l) {
    const TRDRTFList97& list = table[l];
    std::vector<std::unique_ptr<TRDListLevel>> levels;
    for (const TRDRTFListLevel97& source : list.Levels) {
      auto level = std::make_unique<TRDListLevel>();
      level->ListType = NumberedListType(source.NumberType);
      std::string text = source.Text.empty() ? std::string() : source.Text.substr(1);
      if (level->ListType == rdlstBullet) {
        // A level without a number shows the rest of its text.
        level->FormatString = WithoutLevelNumbers(text);
        if (source.TextW.size() > 1) {
          const std::u16string textW = WithoutLevelNumbers(source.TextW.substr(1));
          level->ListType = rdlstUnicodeBullet;
          level->FormatStringW = textW;
          const TRDMarkerFont font = MarkerFontOf(source, fonts);
          const char16_t ch = textW.size() == 1 ? textW[0] : 0;
          if ((SameText(font.Name, "Symbol") && ch >= 0xF0A1 && ch <= 0xF0FE) ||
              (SameText(font.Name, "Wingdings") && ch >= 0xF021 && ch <= 0xF0FF)) {
            level->ListType = rdlstBullet;
            level->FormatString = std::string(1, char(ch - 0xF000));
          }
        }
      } else {
        std::string format;
        for (const char c : text) {
          if (static_cast<unsigned char>(c) < 10)
            format += c == 0 ? std::string("%s") : "%" + std::to_string(int(c)) + ":s";
          else if (c == '%')
            format += "%%";
          else
            format += c;
        }
        level->FormatString = format;
      }
      level->MarkerAlignment = TRDMarkerAlignment(std::min<int>(source.Alignment, 2));
      level->GetFont() = MarkerFontOf(source, fonts);
      // The number stands at \li + \fi. The text follows a tab to the level's tab stop,
      // or without one to the hanging indent \li when that lies right of the number (the
      // number's width keeps it clear otherwise); after a space or nothing it follows
      // the number.
      const int number = source.LeftIndent + source.FirstIndent;
      int textAt = number;
      if (source.Follow == 0)
        textAt = source.TabPos > number ? source.TabPos : std::max(source.LeftIndent, number);
      level->LeftIndent = px(source.LeftIndent);
      level->MarkerIndent = px(number);
      level->FirstIndent = px(textAt) - level->LeftIndent;
      level->StartFrom = source.Start;
      if (source.NoRestart) level->Options &= TRDListLevelOptions(~rdloLevelReset);
      if (source.Legal) level->Options |= rdloLegalStyleNumbering;
      levels.push_back(std::move(level));
    }
    int found = -1;
    for (int n = 0; n < styles.Count() && found < 0; ++n) {
      if (n < int(taken.size()) && taken[size_t(n)]) continue;
      TRDListInfo& style = styles[n];
      if (style.Levels.size() < levels.size()) continue;
      bool equal = true;
      for (size_t k = 0; k < levels.size() && equal; ++k)
        equal = SameLevel(*style.Levels[k], *levels[k]);
      if (equal) found = n;
    }
    if (found < 0) {
      TRDListInfo& added = styles.Add();
      added.SetStandard(false);
      for (const auto& level : levels) added.AddLevel().Assign(*level);
      if (added.Levels.empty()) added.AddLevel();
      found = styles.Count() - 1;
      lists.AddedByRead.resize(size_t(styles.Count()), false);
      lists.AddedByRead[size_t(found)] = true;
      // A level whose size the file gives keeps it.
      for (int k = 0; k < int(list.Levels.size()); ++k)
        lists.LevelFlags[{found, k}].FontSizeSet = list.Levels[size_t(k)].FontSizeSet;
    }
    // A style added here is this list's too: the next equal list gets one of its own.
    taken.resize(size_t(styles.Count()), false);
    taken[size_t(found)] = true;
    lists.ListStyles.push_back(found);
  }
}
