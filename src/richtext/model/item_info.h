// Document items: every piece of a rich-text document (a run of text in one style, a
// horizontal line, a tab, a picture ...) is an item held by the document data together
// with its text. This is the common base with the fields and option flags every item
// has, the operations the data and the writers drive, the word marks of live spelling,
// the checkpoint an item may own, and the text item.
//
// An item whose options have neither rdioContinuesPara nor rdioLineBreakBefore starts a
// paragraph. StyleNo >= 0 is a text item in that text style (0x7FFFFFFF: the paragraph's
// default text style); negative values are item kinds (see item_kinds.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "richtext/base/item_text.h"
#include "richtext/base/rd_canvas.h"
#include "richtext/base/rd_lists.h"
#include "richtext/base/style_types.h"
#include "richtext/base/text_routines.h"
#include "richtext/styles/word_painter.h"

class TBitmap;
class TCustomRDData;
class TCustomRDItemInfo;
struct TRDHTMLSaveContext;  // html_save_context.h
struct TRDRTFSaveContext;   // rtf_save_context.h
class TGraphic;
enum TMouseButton : int;  // platform/gui/controls/controls.h
class TRDDrawLineInfo;
class TRDStyle;
class TStream;
using TRDSaveOptions = std::uint16_t;

// The text style that follows the paragraph's default.
constexpr int kFollowParaStyleNo = 0x7FFFFFFF;

// Item state: the text has been through live spelling.
constexpr std::uint8_t rdisSpellChecked = 0x01;

// Paint state bits handed to items that paint themselves.
using TRDItemPaintState = std::uint16_t;
constexpr TRDItemPaintState rdipsSelected = 1 << 0;
constexpr TRDItemPaintState rdipsCurrent = 1 << 1;
constexpr TRDItemPaintState rdipsHover = 1 << 2;
constexpr TRDItemPaintState rdipsFocused = 1 << 6;
constexpr TRDItemPaintState rdipsSpecialCharacters = 1 << 9;

// Integer extra properties of items (RDF "key=value" lines) and their string kin.
enum TRDExtraItemProperty : std::uint8_t {
  rdepUnknown,
  rdepVShift,
  rdepVShiftAbs,
  rdepImageWidth,
  rdepImageHeight,
  rdepTransparent,
  rdepTransparentMode,
  rdepTransparentColor,
  rdepMinHeightOnPage,
  rdepSpacing,
  rdepResizable,
  rdepDeleteProtect,
  rdepNoHTMLImageSize,
  rdepAnimationInterval,
  rdepVisible
};
enum TRDExtraItemStrProperty : std::uint8_t {
  rdespUnknown,
  rdespHint,
  rdespAlt,
  rdespImageFileName
};

enum TRDItemAction {
  rdiaInserting,
  rdiaInserted,
  rdiaTextModifying,
  rdiaDestroying,
  rdiaMovingToUndoList
};

// A checkpoint: a named position attached to an item. The document data chains them in
// item order through Next and Prev; the item owns its checkpoint.
class TRDCPInfo {
 public:
  std::string Name;
  bool RaiseEvent = false;
  bool Persistent = false;  // a paragraph checkpoint, kept inside its paragraph by editing
  TRDTag Tag;
  TRDCPInfo* Next = nullptr;
  TRDCPInfo* Prev = nullptr;
  TCustomRDItemInfo* ItemInfo = nullptr;
  int Y = 0;

  // Copies the name, both flags and the tag (a string tag duplicated).
  void Assign(const TRDCPInfo& source, bool tagsArePChars);
};
std::unique_ptr<TRDCPInfo> CopyCheckpoint(const TRDCPInfo& source, bool tagsArePChars);

// Which styles are in use, for deleting unused ones: one entry a style, 0 unused and 1
// used (the caller turns them into running counts before renumbering).
struct TRDStyleUsage {
  bool Initialized = false;
  TRDIntegerList UsedTextStyles;
  TRDIntegerList UsedParaStyles;
  TRDIntegerList UsedListStyles;
  bool CheckTextStyles = false;
  bool CheckParaStyles = false;
  bool CheckListStyles = false;
};
void InitStyleUsage(TRDStyleUsage& usage, TRDStyle& rdStyle);

// What the RTF and HTML writers need of a list marker, the item that begins a list
// paragraph: its list style, level (0-based) and whether it restarts the level's
// numbering at StartFrom. Counter is the number the marker shows.
struct TRDListMarkerInfo {
  int ListNo = -1;
  int Level = 0;
  int Counter = 0;
  bool Reset = false;
  int StartFrom = 1;
};

// A stored position inside an item that holds documents of its own (a table keeps the
// cell); items without documents store nothing.
class TRDStoreSubRDData {
 public:
  virtual ~TRDStoreSubRDData() = default;
  virtual int GetRow() const { return 0; }
  virtual int GetCol() const { return 0; }
};

class TCustomRDItemInfo {
 public:
  explicit TCustomRDItemInfo(TCustomRDData* rdData);
  virtual ~TCustomRDItemInfo();
  TCustomRDItemInfo(const TCustomRDItemInfo&) = delete;
  TCustomRDItemInfo& operator=(const TCustomRDItemInfo&) = delete;

  // The virtual constructor: an empty item of this item's own class.
  virtual std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const = 0;

  int StyleNo = 0;
  int ParaNo = 0;
  TRDItemOptions ItemOptions = 0;
  std::uint8_t ItemState = 0;
  std::unique_ptr<TRDWordPainterList> WordPainters;
  std::unique_ptr<TRDCPInfo> Checkpoint;
  int JumpID = 0;
  // The item's first draw line; -1 while it is not laid out.
  int DrawItemNo = -1;
  TRDTag Tag;
  int DataMark = -1;
  std::string Hint;

  bool GetContinuesPara() const { return ItemOptions & rdioContinuesPara; }
  void SetContinuesPara(bool value);
  bool GetPageBreakBefore() const { return ItemOptions & rdioPageBreakBefore; }
  void SetPageBreakBefore(bool value);
  bool GetLineBreakBefore() const { return ItemOptions & rdioLineBreakBefore; }
  void SetLineBreakBefore(bool value);
  bool IsParaStart() const { return !(ItemOptions & (rdioContinuesPara | rdioLineBreakBefore)); }
  int GetActualStyleNo(const TRDStyle* rdStyle) const;

  // Word marks of live spelling.
  void ClearMisspellings();
  void ClearWordPaintersFrom(int offset);
  bool AdjustWordPaintersOnInsert(int offset, char16_t ch, TCustomRDData* rdData);
  bool AdjustWordPaintersOnDelete(int offset, int count);
  bool FindWordPainterAt(int offset, int& start, int& length) const;
  bool IsWordPainterAt(int offset) const;
  void AddMisspelling(int startOffs, int length);

  virtual int GetAssociatedTextStyleNo() const { return -1; }
  virtual void SetAssociatedTextStyleNo(int) {}
  // The widest unbreakable width, pixels (scaled to the device when a resolution is given).
  virtual int GetMinWidth(const TRDResolution* resolution, TCustomRDData* rdData) const;
  virtual bool QueryItemFlag(std::uint8_t code) const;
  // Takes a line of its own (tables, break lines): it starts a paragraph, and so does
  // whatever follows it.
  bool IsFullLine() const { return StyleNo < 0 && QueryItemFlag(0); }
  virtual bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const;
  virtual void PaintFullWidth(int left, int right, int top, TRDCanvas& canvas,
                              TRDItemPaintState state, TRDStyle& rdStyle) const;
  virtual void Paint(int x, int y, TRDCanvas& canvas, TRDItemPaintState state, TRDStyle& rdStyle,
                     const TRDDrawLineInfo& drawItem) const;
  virtual void Print(TRDCanvas& canvas, int x, int y, int right, TRDColorMode colorMode,
                     const TRDResolution& resolution, TRDStyle& rdStyle,
                     const TRDDrawLineInfo* drawItem) const;
  // The picture the item shows, if it has one.
  virtual const TGraphic* GetImage() const { return nullptr; }
  // Prints by drawing into bitmap (see QueryItemFlagEx code 0), where the item (the part
  // of it, for a split drawing line) takes box: the bitmap may hold only a piece of it.
  // partIndex is the part of a split drawing line, -1 for a whole one. False: the item
  // drew nothing.
  virtual bool PrintToBitmap(TBitmap&, const TRect& /*box*/, bool /*useCopy*/,
                             const TRDDrawLineInfo* /*drawLine*/, int /*partIndex*/, TRDColorMode,
                             TRDStyle&) const {
    return false;
  }
  // The background an item with documents of its own prints under them.
  virtual void PrintBackground(TRDCanvas&, const TRect&, TRDColorMode) const {}
  virtual int GetImageWidth(const TRDStyle*) const { return 0; }
  virtual int GetImageHeight(const TRDStyle*) const { return 0; }
  virtual int GetHorzSpacing() const { return 0; }
  virtual int GetVertSpacing() const { return 0; }
  virtual std::unique_ptr<TRDDrawLineInfo> CreatePrintingDrawItem(
      TCustomRDData* rdData, const TRDResolution& resolution) const;
  virtual void NotifyData(TCustomRDData* rdData, std::string& text);
  virtual void NotifyDataEx(TCustomRDData* rdData);
  // Enters the list markers of the documents the item holds (a table's cells, and the
  // tables inside them) into the document's marker list, in document order: for items
  // that reached their document by a way that did not list them.
  virtual void NotifyCellItems() {}
  // The width the item takes in a document of the given width (set by the formatter).
  virtual void AdjustToDocWidth(TRDCanvas& canvas, TRDStyle& rdStyle, int docWidth, int& width,
                                int& height, int& descent) const;

  virtual std::string GetRDFHeaderExtra(TCustomRDData* rdData) const;
  virtual int GetRDFExtraPropertyCount() const;
  virtual void SaveRDFExtraProperties(TStream& stream) const;
  virtual void AssignProperties(const TCustomRDItemInfo& source);
  // The item in plain-text output: 8-bit text of the document's code page, and for
  // Unicode output the same as raw UTF-16 (items with text beyond the code page give
  // their own).
  virtual std::string AsText(int lineWidth, TCustomRDData* rdData) const;
  virtual std::string AsUnicodeText(int lineWidth, TCustomRDData* rdData) const;
  // Reads the item-specific rest of an RDF header line.
  virtual bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData);
  // One line after the header (name, class lines, extra properties); see the reader.
  virtual bool ReadRDFLine(const std::string& line, TCustomRDData* rdData, int readMode, int lineNo,
                           int lineCount, std::string& name, int& readType, int& readState);
  virtual void SaveRDF(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& name,
                       bool forceSameAsPrev) const;
  // An item holding a selection inside it (a table's selected cells), which then is the
  // document's selection: whether it holds one, and dropping it (with the selection of a
  // document chosen inside the item, see ChooseSubDoc).
  virtual bool HasPartialSelection() const { return false; }
  virtual void DeselectPartial() {}
  // That selection in a document file, and as an item of its own for the writers of the
  // other formats (null: the whole item stands for it).
  virtual void SaveRDFSelection(TStream& stream, TCustomRDData* rdData, int itemNo,
                                const std::string& name, bool forceSameAsPrev) const {
    SaveRDF(stream, rdData, itemNo, name, forceSameAsPrev);
  }
  virtual std::unique_ptr<TCustomRDItemInfo> CreateSelectedPart() const { return nullptr; }
  // Whether that selection may be deleted, and deleting it (with undo in an editor).
  virtual bool CanClearSelectedCells() { return false; }
  virtual void ClearSelectedCells() {}
  virtual void MovingToUndoList(int itemNo, TCustomRDData* rdData);
  virtual void MovingFromUndoList(int itemNo, TCustomRDData* rdData);
  // The caret arrives at the item (direction 0 moving right, 1 left, 2 down, 3 up; x from
  // the item's left edge for vertical moves): true when the item takes it inside itself.
  virtual bool EnterTable(int /*direction*/, int /*x*/) { return false; }
  // Around a change of one of the item's properties by name (an editor's undo and redo).
  virtual void BeforeUndoChangeProperty() {}
  virtual void AfterUndoChangeProperty() {}
  // An item with an editor of its own (a table cell's) moves that editor's undo and redo
  // steps into the lists of rdData, the editable document that holds the item.
  virtual void MergeEditorUndo(TCustomRDData* /*rdData*/) {}
  // An item holding documents (a table's cells) applies a style operation of the editor
  // to them: operation 0 text style param, 1 paragraph style param, 2 text style
  // conversion, 3 paragraph style conversion (param the handler's user data); with
  // selectedOnly only to its selected cells.
  virtual void ApplyToCells(int /*operation*/, int /*param*/, bool /*selectedOnly*/) {}
  virtual void Execute(TCustomRDData* rdData);
  virtual void MarkStylesInUse(TRDStyleUsage& usage) const;
  virtual void UpdateStyles(const TRDStyleUsage& usage);
  virtual bool SetExtraIntProperty(TRDExtraItemProperty prop, int value);
  virtual bool GetExtraIntProperty(TRDExtraItemProperty prop, int& value) const;
  virtual bool SetExtraStrProperty(TRDExtraItemStrProperty prop, const std::string& value);
  virtual bool GetExtraStrProperty(TRDExtraItemStrProperty prop, std::string& value) const;
  virtual bool SetExtraCustomProperty(const std::string& name, const std::string& value);
  virtual void CreateAnimator(TCustomRDData*) {}
  // Takes over source's animator when this item has none, then makes or refreshes it.
  virtual void UpdateAnimator(TCustomRDItemInfo& /*source*/, TCustomRDData*) {}

  // The mouse over the item, at (x, y) from its draw line's top-left corner. True when
  // the item handled it itself (an item holding documents passes it on to them).
  virtual bool MouseMove(unsigned /*shift*/, int /*x*/, int /*y*/, int /*itemNo*/, TCustomRDData*) {
    return false;
  }
  virtual bool MouseDown(TMouseButton, unsigned /*shift*/, int /*x*/, int /*y*/, int /*itemNo*/,
                         TCustomRDData*) {
    return false;
  }
  virtual bool MouseUp(TMouseButton, unsigned /*shift*/, int /*x*/, int /*y*/, int /*itemNo*/,
                       TCustomRDData*) {
    return false;
  }

  // Items that hold documents of their own (a table's cells): how many, and each. The
  // document walks (enumeration, marker search) descend into them.
  virtual int GetSubDocCount() const { return 0; }
  // The viewer no longer edits a document of this item in place (its cell editor went).
  virtual void SubDataReleased() {}
  virtual TCustomRDData* GetSubDoc(int /*index*/) const { return nullptr; }
  // The document showing what lies under (x, y) from the item's top-left corner (a
  // table's cell there, or the editor open over it), with the point moved into that
  // document's client coordinates, as the mouse handling passes a press on; none when
  // the point lies on no such document.
  virtual TCustomRDData* GetSubDocAt(int& /*x*/, int& /*y*/) { return nullptr; }
  // Makes subDoc, one of those documents, the one the selection is in (a table chooses
  // the cell): the document holding the item gives up its own selection, subDoc keeps
  // its. False when subDoc is not the item's.
  virtual bool ChooseSubDoc(TCustomRDData& /*subDoc*/) { return false; }
  // Whether document index is selected whole, as part of the item's partial selection.
  virtual bool IsSubDocSelected(int /*index*/) const { return false; }
  virtual std::unique_ptr<TRDStoreSubRDData> GetSubDocStoreInfo() const { return nullptr; }
  // The links of those documents take the jump numbers from jumpNo on, in order, so that
  // numbering runs on through the document; jumpNo is moved past them.
  virtual void BuildJumps(int& /*jumpNo*/) {}

  // Export. The writers (rtf_writer.h, html_writer.h) call these for every item that is
  // not plain text; the context carries the shared tables, the options and the place for
  // picture files. text is the item's text in the document.
  virtual void SaveHTML(TStream& stream, TCustomRDData* rdData, int itemNo, const std::string& text,
                        TRDHTMLSaveContext& context) const;
  virtual void SaveRTF(TStream& stream, TCustomRDData* rdData, int itemNo,
                       TRDRTFSaveContext& context) const;
  // Adds the colours (and fonts) the item's RTF refers to, before the tables are written.
  virtual void CollectRTFTables(TRDRTFSaveContext& context) const;
  // A list marker fills info and answers true; every other item false.
  virtual bool GetListMarkerInfo(TRDListMarkerInfo&) const { return false; }
  // A list marker written as an item of an HTML list: the CSS for its <li> (the level's
  // picture as the list image, the indent), "" for none.
  virtual std::string GetHTMLListItemStyle(TCustomRDData*, TRDHTMLSaveContext&) const { return ""; }

 protected:
  // ParaNo renumbered through a usage list prepared as running counts.
  static void Renumber(int& styleNo, const TRDIntegerList& used);

 private:
  void FreeEmptyWordPainters();
};

class TRDTextItemInfo : public TCustomRDItemInfo {
 public:
  using TCustomRDItemInfo::TCustomRDItemInfo;
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override;
  bool QueryItemFlagEx(std::uint8_t code, TRDStyle* rdStyle) const override;
  void Execute(TCustomRDData* rdData) override;
  // The rest of the header is the hint, a double-quoted string.
  bool ReadRDFHeader(std::string_view& rest, TCustomRDData* rdData) override;
  std::string GetRDFHeaderExtra(TCustomRDData* rdData) const override;
  int GetRDFExtraPropertyCount() const override { return 0; }
  void SaveRDFExtraProperties(TStream&) const override {}
  void MarkStylesInUse(TRDStyleUsage& usage) const override;
  void UpdateStyles(const TRDStyleUsage& usage) override;
};
