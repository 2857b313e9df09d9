// The columns of a section list and the small settings objects it owns: what each
// column shows (caption, width, fonts, colours, the kind of cell, how it sorts), the
// sort, look-up, link, preview and progress-bar settings.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "html/gradient_style.h"
#include "lists/section_grouped_list.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/graphics/graphics_objects.h"
#include "platform/gui/graphics/text_layout.h"

class TExSectionList;

enum TColumnType { ctText, ctImage, ctURL, ctCheckBox, ctProgress };
enum TSortType {
  stNone,
  stTextCase,
  stTextNoCase,
  stNumeric,
  stBoolean,
  stDate,
  stTime,
  stDateTime,
  stCustom,
  stFloat,
  stAnsiText,
  stAnsiTextNoCase
};
// The header's gradient direction: the same two values as the gradient fills'.
using TGradientDir = TGradientDirection;
enum TURLType { utHTTP, utHTTPS, utFTP, utMailTo, utNNTP };

class TExSectionColumns;

class TExSectionColumn {
 public:
  TExSectionColumn(TExSectionColumns& Collection, int Index);

  int Index() const;
  // The caption, or "Data column " and the index when there is none.
  std::string DisplayName() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& Value) { Set(caption_, Value); }
  int Width() const { return width_; }
  // Notifies on every write.
  void SetWidth(int Value);
  // Stores a width the header already shows, without rebuilding it.
  void StoreWidth(int Value) { width_ = Value; }
  int HeaderImageIndex() const { return header_image_index_; }
  void SetHeaderImageIndex(int Value) { Set(header_image_index_, Value); }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment Value) { Set(alignment_, Value); }
  TAlignment HeaderAlignment() const { return header_alignment_; }
  void SetHeaderAlignment(TAlignment Value) { Set(header_alignment_, Value); }
  TColor HeaderColor() const { return header_color_; }
  void SetHeaderColor(TColor Value) { Set(header_color_, Value); }
  TColor HeaderColorTo() const { return header_color_to_; }
  void SetHeaderColorTo(TColor Value) { Set(header_color_to_, Value); }
  TColor Color() const { return color_; }
  void SetColor(TColor Value) { Set(color_, Value); }
  TColumnType ColumnType() const { return column_type_; }
  void SetColumnType(TColumnType Value) { Set(column_type_, Value); }
  // A text column whose texts come from outside (a received packet) turns this off: its
  // texts are shown as they are, never read as markup, whatever tags they hold.
  bool Markup() const { return markup_; }
  void SetMarkup(bool Value) { Set(markup_, Value); }
  // A ctText cell of this column is drawn as markup: it holds a closing tag.
  bool IsMarkupText(const std::string& Value) const;
  // Texts from outside may be in UTF-8 (what most senders use today): with this on, a
  // plain text that is valid UTF-8 is drawn as such, any other in the program's code page.
  bool Utf8Text() const { return utf8_text_; }
  void SetUtf8Text(bool Value) { Set(utf8_text_, Value); }
  TFont& HeaderFont() { return header_font_; }
  TFont& Font() { return font_; }
  TGradientDir HeaderGradientDir() const { return header_gradient_dir_; }
  void SetHeaderGradientDir(TGradientDir Value) { Set(header_gradient_dir_, Value); }
  TURLType URLType() const { return url_type_; }
  void SetURLType(TURLType Value) { url_type_ = Value; }
  TSortType SortType() const { return sort_type_; }
  void SetSortType(TSortType Value) { Set(sort_type_, Value); }
  const std::string& HeaderHint() const { return header_hint_; }
  void SetHeaderHint(const std::string& Value) { Set(header_hint_, Value); }
  bool HeaderShowHint() const { return header_show_hint_; }
  void SetHeaderShowHint(bool Value) { Set(header_show_hint_, Value); }
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& Value) { Set(hint_, Value); }
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool Value) { Set(show_hint_, Value); }
  bool Visible() const { return visible_; }
  // Notifies on every write.
  void SetVisible(bool Value);
  int GroupImageIndex() const { return group_image_index_; }
  void SetGroupImageIndex(int Value) { Set(group_image_index_, Value); }

  // The header section that shows the column, and the key its place is kept by.
  int SectionIndex = 0;
  int DisplayOrder = 0;

  // Copies everything but the visibility.
  void Assign(const TExSectionColumn& Source);

 private:
  template <class T>
  void Set(T& Field, const T& Value) {
    if (Field == Value) return;
    Field = Value;
    Changed();
  }
  void Changed();

  TExSectionColumns& collection_;
  std::string caption_;
  int width_ = 50;
  int header_image_index_ = -1;
  TAlignment alignment_ = taLeftJustify;
  TAlignment header_alignment_ = taCenter;
  TColor header_color_ = clWhite;
  TColor header_color_to_ = clBtnFace;
  TColor color_ = clNone;
  TColumnType column_type_ = ctText;
  bool markup_ = true;
  bool utf8_text_ = false;
  TFont header_font_;
  TFont font_;
  TGradientDir header_gradient_dir_ = gdVertical;
  TURLType url_type_ = utHTTP;
  TSortType sort_type_ = stTextNoCase;
  std::string header_hint_;
  bool header_show_hint_ = false;
  std::string hint_;
  bool show_hint_ = false;
  bool visible_ = true;
  int group_image_index_ = -1;
};

class TExSectionColumns {
 public:
  explicit TExSectionColumns(TExSectionList* List) : list_(List) {}
  int Count() const { return static_cast<int>(items_.size()); }
  // Out of range gives null.
  TExSectionColumn* Items(int Index) const;
  TExSectionColumn* Add();
  void Delete(int Index);
  int IndexOf(const TExSectionColumn* Column) const;
  TExSectionList* List() const { return list_; }

  // Nested: OnChange fires once at the end.
  void BeginUpdate() { ++update_count_; }
  void EndUpdate();
  // After every change of the columns (the header is rebuilt).
  std::function<void()> OnChange;
  // A column's font changed (header and rows repaint).
  std::function<void()> OnRefresh;

 private:
  friend class TExSectionColumn;
  void Changed();
  TExSectionList* list_;
  std::vector<std::unique_ptr<TExSectionColumn>> items_;
  int update_count_ = 0;
};

// Changes of Column and Direction re-sort the list, only while Enabled.
class TSortSettings {
 public:
  int Column() const { return column_; }
  void SetColumn(int Value);
  // sdAscending or sdDescending.
  TOGLSortDirection Direction() const { return direction_; }
  void SetDirection(TOGLSortDirection Value);
  bool SortGroups() const { return sort_groups_; }
  void SetSortGroups(bool Value);
  bool Enabled = true;
  // Pictures of the header's sort mark; empty ones give a drawn triangle.
  TBitmap GlyphUp;
  TBitmap GlyphDown;
  std::function<void()> OnChange;

 private:
  void Changed();
  int column_ = -1;
  TOGLSortDirection direction_ = sdAscending;
  bool sort_groups_ = false;
};

enum TLookUpMethod { lmDirect, lmIncremental };

struct TLookUpSettings {
  int Column = -1;
  TLookUpMethod Method = lmDirect;
};

struct TURLSettings {
  TColor Color = clBlue;
  TFontStyles FontStyle = fsUnderline;
};

class TPreviewSetting {
 public:
  TPreviewSetting();
  bool Active() const { return active_; }
  void SetActive(bool Value);
  int Column() const { return column_; }
  void SetColumn(int Value);
  int Height() const { return height_; }
  void SetHeight(int Value);
  TFont Font;
  std::function<void()> OnChange;

 private:
  void Changed();
  bool active_ = false;
  int column_ = -1;
  int height_ = 40;
};

enum TProgressStyle { psXP, psClassic };

struct TProgressAppearance {
  TColor UnCompleteFontColor = clWindowText;
  TColor CompleteColor = clRed;
  TColor UnCompleteColor = clNone;
  TColor CompleteFontColor = clBlue;
  bool Stacked = false;
  bool ShowPercentage = true;
  bool ShowBorder = false;
  bool CompletionSmooth = true;
  bool ShowGradient = true;
  int Level2Perc = 90;
  int Level1Perc = 70;
  int Steps = 11;
  TColor Level3Color = clRed;
  TColor Level1Color = clYellow;
  TColor Level0Color = clLime;
  TColor Level3ColorTo = 0xCACAFF;
  TColor Level2ColorTo = 0xA8D3FF;
  TColor Level0ColorTo = 0xE1FFE1;
  TColor Level1ColorTo = 0xCAFFFF;
  TColor BorderColor = clBlack;
  TColor Level2Color = 0x53A9FF;
  TProgressStyle Style = psXP;
};
