// The style sheet: everything a rich-text viewer needs to know about appearance. It
// holds the text, paragraph and list styles and the style templates, the viewer-wide
// colours and cursors, the tab defaults, and the drawing entry points through which the
// viewer paints text, backgrounds, checkpoints and page breaks (an event handler may take
// over each one). Several viewers may share one sheet.
//
// A new sheet has six text styles ("Normal text", "Heading", "Subheading", "Keywords",
// "Jump 1", "Jump 2") and two paragraph styles ("Paragraph Style", "Centered").
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/sys/component.h"
#include "richtext/base/rd_canvas.h"
#include "richtext/base/text_routines.h"
#include "richtext/styles/para_style.h"
#include "richtext/styles/text_style.h"

class TStream;
class TCustomRDData;
class TGraphic;
class TRDListInfos;
class TRDStyleTemplateCollection;

enum TRDSelectionMode { rdsmChar, rdsmWord, rdsmParagraph };
enum TRDSelectionStyle { rdssItems, rdssLines };
enum TRDPageBreakType { rdpbSoftPageBreak, rdpbPageBreak };

// Options of SaveCSSToStream.
constexpr unsigned cssUseBaseStyles = 1;
constexpr unsigned cssIgnoreLeftAlignment = 2;
constexpr unsigned cssPlainFirstStyles = 4;
constexpr unsigned cssUTF8 = 8;

class TRDStyle : public TComponent {
 public:
  explicit TRDStyle(TComponent* owner = nullptr);
  ~TRDStyle() override;
  std::string ClassName() const override { return "TRDStyle"; }

  // The collections hold the default styles from their first use on, made then so that
  // a descendant sheet's own style classes (its Create* overrides) make them.
  TFontInfos& TextStyles() { return DefaultTextStyles(); }
  const TFontInfos& TextStyles() const { return DefaultTextStyles(); }
  TParaInfos& ParaStyles() { return DefaultParaStyles(); }
  const TParaInfos& ParaStyles() const { return DefaultParaStyles(); }
  TRDListInfos& ListStyles() { return *list_styles_; }
  const TRDListInfos& ListStyles() const { return *list_styles_; }
  TRDStyleTemplateCollection& StyleTemplates() { return *style_templates_; }
  const TRDStyleTemplateCollection& StyleTemplates() const { return *style_templates_; }
  // Setting a collection copies the given one's items.
  void SetTextStyles(const TFontInfos& value);
  void SetParaStyles(const TParaInfos& value);

  int SpacesInTab = 0;
  int DefTabWidth = 48;
  int JumpCursor = crJump;
  int LineSelectCursor = crRDFlipArrow;
  bool FullRedraw = false;
  bool UseSound = true;
  TColor Color = clWindow;
  TColor HoverColor = clNone;
  TColor CurrentItemColor = clNone;
  TColor SelColor = clHighlight;
  TColor SelTextColor = clHighlightText;
  TColor InactiveSelColor = clHighlight;
  TColor InactiveSelTextColor = clHighlightText;
  TColor CheckpointColor = 0x008000;
  TColor CheckpointEvColor = 0x00FF00;
  TColor PageBreakColor = clBtnShadow;
  TColor SoftPageBreakColor = clBtnFace;
  TColor LiveSpellingColor = 0x0000FF;
  TRDSelectionMode SelectionMode = rdsmWord;
  TRDSelectionStyle SelectionStyle = rdssItems;
  int DefUnicodeStyle = -1;
  int DefCodePage = 0;

  // Shown in place of a picture that cannot be loaded: made at the first read (a framed
  // red cross); setting nullptr frees it, setting a picture copies it.
  const TGraphic& InvalidPicture();
  void SetInvalidPicture(const TGraphic* picture);

  // True while the sheet is read from a form (templates then only keep parent ids).
  bool Loading = false;

  // Drawing events: each is preset DoDefault = true; the default work is done only when
  // the handler leaves it true.
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int styleNo, bool& doDefault)>
      OnApplyStyle;
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int styleNo, TRDTextDrawStates drawState,
                     bool& doDefault)>
      OnApplyStyleColor;
  std::function<void(TRDStyle* sender, const std::string& s, TRDCanvas& canvas, int styleNo,
                     int spaceBefore, int left, int top, int width, int height,
                     TRDTextDrawStates drawState, bool& doDefault)>
      OnDrawStyleText;
  std::function<void(TRDStyle* sender, int styleNo, bool& sensitive)> OnStyleHoverSensitive;
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int styleNo, int left, int top, int width,
                     int height, TRDTextDrawStates drawState, bool& doDefault)>
      OnDrawTextBack;
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int x, int y, int itemNo, int xShift,
                     bool raiseEvent, bool& doDefault)>
      OnDrawCheckpoint;
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int y, int xShift,
                     TRDPageBreakType pageBreakType, bool& doDefault)>
      OnDrawPageBreak;
  std::function<void(TRDStyle* sender, TRDCanvas& canvas, int paraNo, const TRect& rect,
                     bool& doDefault)>
      OnDrawParaBack;

  // What is being drawn, stored just before OnDrawStyleText / OnDrawTextBack fire.
  TCustomRDData* DrawingData() const { return drawing_data_; }
  int DrawingItemNo() const { return drawing_item_no_; }
  int DrawingOffsetInItem() const { return drawing_offset_in_item_; }

  // Style classes of the collections; a descendant sheet may use its own.
  virtual std::unique_ptr<TCustomRDInfo> CreateTextStyle(TCustomRDInfos* collection) const;
  virtual std::unique_ptr<TCustomRDInfo> CreateParaStyle(TCustomRDInfos* collection) const;
  virtual std::unique_ptr<TCustomRDInfo> CreateListStyle(TCustomRDInfos* collection) const;

  // After the sheet was read: templates resolve their parents.
  void Loaded();

  void ApplyStyle(TRDCanvas& canvas, int styleNo, TRDBiDiMode defBiDiMode, bool canUseCustomPPI);
  void ApplyStyleColor(TRDCanvas& canvas, int styleNo, TRDTextDrawStates drawState, bool printing,
                       TRDColorMode colorMode);
  void DrawStyleText(const std::string& s, TRDCanvas& canvas, int itemNo, int offsetInItem,
                     int styleNo, TCustomRDData* rdData, int spaceBefore, int left, int top,
                     int width, int height, TRDTextDrawStates drawState, bool printing,
                     bool previewCorrection, TRDColorMode colorMode, TRDBiDiMode defBiDiMode);
  void DrawTextBack(TRDCanvas& canvas, int itemNo, int styleNo, TCustomRDData* rdData, int left,
                    int top, int width, int height, TRDTextDrawStates drawState);
  bool IsStyleHoverSensitive(int styleNo);
  void DrawCheckpoint(TRDCanvas& canvas, int x, int y, int left, int width, TCustomRDData* rdData,
                      int itemNo, int xShift, bool raiseEvent);
  void DrawPageBreak(TRDCanvas& canvas, int y, int xShift, TRDPageBreakType pageBreakType,
                     int clientWidth);
  void DrawParaBack(TRDCanvas& canvas, int paraNo, const TRect& rect, bool printing,
                    TRDColorMode colorMode);

  TColor GetHoverColor(TColor color) const { return color == clNone ? HoverColor : color; }
  TColor GetHoverColorByStyleNo(int styleNo) const;
  // Where a tab at X ends in paragraph paraNo (device pixels; origin = left margin).
  void GetNextTab(int paraNo, int x, const TRDResolution& scaleInfo, int origin, int& position,
                  std::string& leader, TRDTabAlign& align, TRDBiDiMode defBiDiMode, int leftIndent,
                  int rightIndent) const;

  std::string GetCSS(unsigned options) const;
  void SaveCSSToStream(TStream& stream, unsigned options) const;

 private:
  TFontInfos& DefaultTextStyles() const;
  TParaInfos& DefaultParaStyles() const;

  std::unique_ptr<TFontInfos> text_styles_;
  std::unique_ptr<TParaInfos> para_styles_;
  std::unique_ptr<TRDListInfos> list_styles_;
  std::unique_ptr<TRDStyleTemplateCollection> style_templates_;
  std::unique_ptr<TGraphic> invalid_picture_;
  mutable bool text_defaults_pending_ = true;
  mutable bool para_defaults_pending_ = true;
  TCustomRDData* drawing_data_ = nullptr;
  int drawing_item_no_ = -1;
  int drawing_offset_in_item_ = 0;
};

// Text writers: the bytes of s, and s followed by CR LF.
void RDWrite(TStream& stream, std::string_view s);
void RDWriteLn(TStream& stream, std::string_view s);
