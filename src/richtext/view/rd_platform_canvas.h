// The document model's canvas over a platform canvas: the viewer paints and measures
// through it. Fonts are prepared once per distinct style font and kept (the styles of a
// document are few, their texts many); text goes to the platform as UTF-16, 8-bit texts
// converted through the font's code page.
//
// A canvas over a platform canvas that draws nowhere (a control's canvas outside its
// paint) only measures: that is the viewer's formatting canvas.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "richtext/base/rd_canvas.h"

class TCanvas;
class TPreparedFont;
struct TTextRunDirection;

class TRDPlatformCanvas : public TRDCanvas {
 public:
  explicit TRDPlatformCanvas(TCanvas& canvas);
  ~TRDPlatformCanvas() override;

  TCanvas& Canvas() const { return canvas_; }

  int TextWidthA(std::string_view text) override;
  int TextWidthW(std::u16string_view text) override;
  void PrefixWidthsA(std::string_view text, std::vector<int>& extents) override;
  void PrefixWidthsW(std::u16string_view text, std::vector<int>& extents) override;
  std::unique_ptr<TTextPrefixes> TextPrefixesW(std::u16string_view text) override;
  bool GetTextMetrics(TRDTextMetrics& metrics) override;
  bool GetOutlineTextMetrics(TRDOutlineTextMetrics& metrics) override;
  // The placement of the platform's own drawing: right-to-left runs reordered as shown.
  bool GetCharacterPlacementW(std::u16string_view text, unsigned flags,
                              TRDCharacterPlacement& result) override;
  bool GetCharacterPlacementA(std::string_view text, unsigned flags,
                              TRDCharacterPlacement& result) override;
  void TextOutA(int x, int y, std::string_view text) override;
  void TextOutW(int x, int y, std::u16string_view text) override;
  void ExtTextOutA(int x, int y, unsigned options, const TRect* clip, std::string_view text,
                   std::span<const int> dx) override;
  void ExtTextOutW(int x, int y, unsigned options, const TRect* clip, std::u16string_view text,
                   std::span<const int> dx) override;
  void FillRect(const TRect& rect) override;
  void FillLinePattern(const TRect& line, bool vertical, std::uint8_t pattern) override;
  void Rectangle(int x1, int y1, int x2, int y2) override;
  void Ellipse(int x1, int y1, int x2, int y2) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(std::span<const TPoint> points) override;
  void Polygon(std::span<const TPoint> points) override;
  void StretchDraw(const TRect& rect, const TGraphic& graphic) override;
  void Draw(int x, int y, const TGraphic& graphic) override;
  void TileDraw(const TRect& rect, const TRect& copy, const TGraphic& graphic) override;
  void SaveState() override;
  void RestoreState() override;
  void IntersectClipRect(const TRect& rect) override;
  TRect VisibleRect() const override;
  bool RectVisible(const TRect& rect) const override;

 private:
  // Name, height, resolution, style, character extra and stretch in percent.
  using TFontKey = std::tuple<std::string, int, int, unsigned, int, int>;
  const TPreparedFont& Prepared();
  const TPreparedFont& PreparedAt(int stretch);
  // The font's width (an average character's, when set) in percent of its face's own.
  int Stretch();
  // The text in UTF-16 through the font's code page, in a buffer kept for reuse;
  // wide_per_byte_ tells whether it has one character for every byte.
  const std::u16string& Wide(std::string_view text);
  void SyncPenAndBrush();
  // The direction the canvas state asks text to be laid out in.
  TTextRunDirection RunDirection() const;
  // The text as drawn: in a picture font (Symbol, Wingdings) the Unicode characters its
  // codes stand for.
  std::u16string_view Shown(std::u16string_view text);

  TCanvas& canvas_;
  std::map<TFontKey, std::unique_ptr<TPreparedFont>> fonts_;
  // The font last asked for and its prepared form, the common case of many calls.
  TRDFont last_font_;
  int last_extra_ = 0;
  const TPreparedFont* last_prepared_ = nullptr;
  // The UTF-16 of every byte of the code page last used.
  int table_code_page_ = -1;
  char16_t table_[256] = {};
  std::u16string wide_;
  bool wide_per_byte_ = true;
  std::u16string shown_;
};
