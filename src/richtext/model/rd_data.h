// The item store of one rich-text document: an ordered list of items with their texts,
// grouped into paragraphs and lines by the items' option flags, with appending,
// deleting, clearing, item queries, checkpoints and the services the viewer, the writers
// and the items use (navigation, character offsets, code pages, joining text items,
// style usage, linear character positions).
//
// Example: AddText("ab", 0, 0) then AddText("cd", 0, 0) gives two paragraphs; their
// linear text is "ab", CR, "cd" (positions 0..5).
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "richtext/base/export_hooks.h"
#include "richtext/base/rtf_options.h"
#include "richtext/base/style_types.h"
#include "richtext/model/item_info.h"
#include "richtext/model/picture_budget.h"

class TControl;
class TGraphic;
class TImageList;
class TRDAnimatorList;
class TRDMarkerList;
class TRDMultiDrawItemPart;
class TRDRTFReaderProperties;
class TRDScroller;
class TRDStyle;
class TWinControl;

// Where a long operation (reading RTF) stands, told to the application.
enum TRDProgressStage : std::uint8_t { rdprStarting, rdprRunning, rdprEnding };

// Where a link that becomes an item came from: an RTF document, a dropped URL.
enum TRDLoadFormat : std::uint8_t { rdlfRTF, rdlfURL };

// What happens to the control of a control item, told to the application.
enum TRDControlAction {
  rdcaMoveToUndoList,
  rdcaMoveFromUndoList,
  rdcaBeforeRDFSave,
  rdcaAfterRDFSave,
  rdcaDestroyInUndoList
};

// The item list: item i is its text and its item object; the list owns the objects. A
// list may instead show the entries of another list (a document laid out for printing
// shows the items of the document it prints) until it is unshared; it is then only read.
class TRDItemList {
 public:
  TRDItemList() = default;
  TRDItemList(const TRDItemList&) = delete;
  TRDItemList& operator=(const TRDItemList&) = delete;

  int Count() const { return int(store_->entries.size()); }
  const std::string& Strings(int index) const;
  void SetString(int index, std::string text);
  TCustomRDItemInfo* Objects(int index) const {
    Check(index);
    return store_->entries[size_t(index)].Item.get();
  }
  void Add(std::string text, std::unique_ptr<TCustomRDItemInfo> item);
  void Insert(int index, std::string text, std::unique_ptr<TCustomRDItemInfo> item);
  // Hands the object of entry index to the caller; the entry stays, without an object.
  std::unique_ptr<TCustomRDItemInfo> TakeObject(int index);
  // Removes count entries from index, handing their objects back to the caller.
  std::vector<std::unique_ptr<TCustomRDItemInfo>> Delete(int index, int count);
  // The same, handing back their texts too, in order.
  std::vector<std::pair<std::string, std::unique_ptr<TCustomRDItemInfo>>> Take(int index,
                                                                               int count);
  // Many entries in and out at once, in one pass over the entries after the first of
  // them (an edit over a long document would otherwise move the tail once per item).
  struct TPlaced {
    int Index;  // where the entry stands once all are in
    std::string Text;
    std::unique_ptr<TCustomRDItemInfo> Item;
  };
  // entries in rising order of Index.
  void InsertPlaced(std::vector<TPlaced> entries);
  // Removes the entries at indices (any order) whose objects were taken.
  void DeleteTaken(std::vector<int> indices);
  int IndexOfObject(const TCustomRDItemInfo* item) const;
  // Control items (style rdsComponent) held: layout places them after every format,
  // and a log of thousands of text items should not pay for a walk to find none.
  int ControlCount() const { return store_->control_count; }
  // Shows source's entries from now on (source must outlive the sharing), or again its
  // own ones.
  void Share(TRDItemList& source) { store_ = source.store_; }
  void Unshare() { store_ = &own_; }

 private:
  struct Entry {
    std::string Text;
    std::unique_ptr<TCustomRDItemInfo> Item;
  };
  struct Store {
    // A deque: a log trims its oldest items from the front on every append.
    std::deque<Entry> entries;
    int control_count = 0;
  };
  // Inline: layout and trimming read items in loops over the whole document.
  void Check(int index) const {
    if (index < 0 || index >= Count()) ThrowIndexError(index);
  }
  [[noreturn]] static void ThrowIndexError(int index);
  Store own_;
  Store* store_ = &own_;
};

// Options of the viewer that items read.
using TRDOptions = std::uint32_t;
constexpr TRDOptions rdoTagsArePChars = 0x80;
constexpr TRDOptions rdoTabsInTextStyleColor = 0x400;
constexpr TRDOptions rdoShowItemHints = 0x20000;

// Document-file options of the viewer (the bits of the document format's option word).
using TRDFOptions = std::uint32_t;
constexpr TRDFOptions rdfoSavePicturesBody = 0x0001;
constexpr TRDFOptions rdfoSaveControlsBody = 0x0002;
constexpr TRDFOptions rdfoIgnoreUnknownPicFmt = 0x0004;
constexpr TRDFOptions rdfoIgnoreUnknownCtrls = 0x0008;
constexpr TRDFOptions rdfoConvUnknownStylesToZero = 0x0010;
constexpr TRDFOptions rdfoConvLargeImageIdxToZero = 0x0020;
constexpr TRDFOptions rdfoSaveBinary = 0x0040;
constexpr TRDFOptions rdfoUseStyleNames = 0x0080;
constexpr TRDFOptions rdfoSaveBack = 0x0100;
constexpr TRDFOptions rdfoLoadBack = 0x0200;
constexpr TRDFOptions rdfoSaveTextStyles = 0x0400;
constexpr TRDFOptions rdfoSaveParaStyles = 0x0800;
constexpr TRDFOptions rdfoSaveLayout = 0x1000;
constexpr TRDFOptions rdfoLoadLayout = 0x2000;
constexpr TRDFOptions rdfoSaveDocProperties = 0x4000;
constexpr TRDFOptions rdfoLoadDocProperties = 0x8000;

// State bits of the data. The viewer's stay below 0x10000: the editable data's own
// start there.
constexpr std::uint32_t rddsClearing = 0x80;
// Set while a length-prefixed RDF block is inserted.
constexpr std::uint32_t rddsLoadingRDFBlock = 0x100;

class TCustomRDData {
 public:
  TCustomRDData();
  virtual ~TCustomRDData();
  TCustomRDData(const TCustomRDData&) = delete;
  TCustomRDData& operator=(const TCustomRDData&) = delete;

  TRDItemList Items;
  bool NewLinesStartParas = true;
  TRDCPInfo* FirstCP = nullptr;
  TRDCPInfo* LastCP = nullptr;
  std::unique_ptr<TRDCPInfo> NotAddedCP;
  int CPCount = 0;
  std::uint32_t State = 0;
  int FirstJumpNo = 0;

  // Settings and events, answered by the root data from the viewer's properties. This
  // base keeps them itself.
  virtual TRDOptions GetOptions() const { return options_; }
  virtual void SetOptions(TRDOptions value) { options_ = value; }
  virtual TRDFOptions GetRDFOptions() const { return rdf_options_; }
  virtual void SetRDFOptions(TRDFOptions value) { rdf_options_ = value; }
  virtual TRDRTFOptions GetRTFOptions() const { return kDefaultRTFOptions; }
  virtual unsigned GetRDFWarnings() const { return rdf_warnings_; }
  virtual void SetRDFWarnings(unsigned value) { rdf_warnings_ = value; }
  // What the document's pictures may still hold decoded: one budget for the whole
  // document, its cells included, renewed when it is cleared.
  TRDPictureBudget& PictureBudget() { return GetAbsoluteRootData()->picture_budget_; }
  // The most characters a screen line may hold (0: no limit); only a viewer limits.
  virtual int GetMaxLength() const { return 0; }
  virtual TRDStyle* GetRDStyle() const { return rd_style_; }
  void SetRDStyle(TRDStyle* value) { rd_style_ = value; }
  virtual TCustomRDData* GetParentData() { return nullptr; }
  virtual TCustomRDData* GetRootData() { return this; }
  virtual TCustomRDData* GetAbsoluteParentData() { return nullptr; }
  virtual TCustomRDData* GetAbsoluteRootData() { return this; }
  virtual TRDBiDiMode GetBiDiMode() const { return rdbdUnspecified; }
  // Where a sub-document stands in its parent: the item holding it (-1 for a root).
  virtual int GetParentItemNo() const { return -1; }
  // While an in-place editor holds this document's items (a table cell being edited):
  // the editor's document; and of an editor's document, the one it holds the items of.
  // Both are the document itself otherwise.
  virtual TCustomRDData* GetInplaceEditorData() { return this; }
  virtual TCustomRDData* GetInplaceSourceData() { return this; }
  // The editor laid over this document while it is edited in place, else none; and
  // closing it (what it holds goes back into the document).
  virtual TRDScroller* GetInplaceEditor() { return nullptr; }
  virtual void DestroyInplaceEditor() {}
  // The document that edits this one: an editor opened in place over it when it is edited
  // that way (a table cell) and none is open yet, else the document itself.
  virtual TCustomRDData* StartEditing() { return this; }
  // A document laid out for paper (its items are another document's).
  virtual bool IsForPrinting() const { return false; }
  // From now on the items are source's (see TRDItemList::Share).
  void ShareItemsFrom(TCustomRDData& source) { Items.Share(source.Items); }
  // The item whose in-place editor the control has open (a table's), none at this level.
  virtual TCustomRDItemInfo* GetChosenItem() const { return nullptr; }
  virtual void DoItemAction(TRDItemAction action, TCustomRDItemInfo* item, std::string& text,
                            TCustomRDData* rdData);
  virtual std::string GetDelimiters() const;
  virtual void DoJump(int jumpNo);
  std::function<void(TCustomRDData* sender, TRDItemAction action, TCustomRDItemInfo* item)>
      OnItemAction;
  std::function<void()> OnBeep;
  bool TagsArePChars() const { return (GetOptions() & rdoTagsArePChars) != 0; }

  // Export (rtf_writer.h, html_writer.h). The writers take the hooks of the root data.
  TRDExportHooks ExportHooks;
  // Runs a write of the document as a file (write answers whether it wrote). An editor,
  // whose links are off while editing, switches them on around it: the writers number
  // the links as the laid-out document collected them.
  virtual bool RunExport(const std::function<bool()>& write) { return write(); }

  // Objects in the text: what a document reader asks the application for, the window
  // controls of control items live on, and what the application is told about them. A
  // sub-document asks its root; the root answers through the events below.
  virtual std::unique_ptr<TGraphic> DoRDFPictureNeeded(const std::string& name, const TRDTag& tag);
  virtual std::unique_ptr<TControl> DoRDFControlNeeded(const std::string& name, const TRDTag& tag);
  virtual TImageList* DoRDFImageListNeeded(int imageListTag);
  virtual TWinControl* GetParentControl();
  virtual void DoControlAction(TRDControlAction action, int itemNo, TControl* control);
  // The hint text of an item under the mouse ("" for none).
  virtual std::string DoItemHint(TCustomRDData* rdData, int itemNo);
  std::function<std::unique_ptr<TGraphic>(const std::string& name, const TRDTag& tag)>
      OnRDFPictureNeeded;
  std::function<std::unique_ptr<TControl>(const std::string& name, const TRDTag& tag)>
      OnRDFControlNeeded;
  std::function<TImageList*(int imageListTag)> OnRDFImageListNeeded;
  std::function<void(TRDControlAction action, int itemNo, TControl* control)> OnControlAction;
  std::function<std::string(TCustomRDData* rdData, int itemNo)> OnItemHint;
  TWinControl* ParentControl = nullptr;
  // The animators of the document's pictures while the viewer animates them, else none.
  virtual TRDAnimatorList* GetAnimators();
  // The RTF import options of the viewer that shows the document (documents inside
  // items ask their root); none for a document without a viewer.
  virtual TRDRTFReaderProperties* GetRTFReadProperties();
  // What an RTF import asks of the document (a sub-document asks its root): the picture
  // a field names by its location (none: the import loads the file itself); whether
  // the application follows its progress, and where it stands; and, for each picture
  // about to go into rdData (graphic null when its data could not be read), the
  // application's say: it may put another graphic in its place, or keep the picture
  // out by clearing insert (a graphic it leaves is then freed, one it moves out is its
  // own).
  virtual std::unique_ptr<TGraphic> DoImportPicture(const std::string& location);
  virtual bool IsProgressEventAssigned();
  virtual void DoProgress(TRDProgressStage stage, std::uint8_t percentDone);
  virtual void DoImportedPictureInserting(TCustomRDData* rdData, std::unique_ptr<TGraphic>& graphic,
                                          const std::string& fileName, bool& insert);
  // A link read from outside - an RTF HYPERLINK field (with its extra attributes, the
  // hint), a dropped URL - before it becomes an item: styleNo is the item's style (a link
  // text style, or rdsHotPicture for a picture), tag its tag (the target when tags are
  // texts) and itemName its text; the application may change them (a dropped URL takes
  // the name given back, an RTF link keeps the field's text).
  virtual void DoReadHyperlink(const std::string& target, const std::string& extras,
                               TRDLoadFormat docFormat, int& styleNo, TRDTag& tag,
                               std::string& itemName);
  std::function<void(const std::string& target, const std::string& extras, TRDLoadFormat docFormat,
                     int& styleNo, TRDTag& tag, std::string& itemName)>
      OnReadHyperlink;
  std::function<std::unique_ptr<TGraphic>(const std::string& location)> OnImportPicture;
  std::function<void(TRDProgressStage stage, std::uint8_t percentDone)> OnProgress;
  std::function<void(TCustomRDData* rdData, std::unique_ptr<TGraphic>& graphic,
                     const std::string& fileName, bool& insert)>
      OnImportedPictureInserting;

  // The list markers of the document in document order, kept by the root data; created on
  // request, freed when its last marker goes. A document that only holds items on their
  // way into another (a table an import builds before it goes in) keeps no list: its
  // markers are listed where they arrive.
  TRDMarkerList* GetMarkers(bool createIfNone);
  void SetKeepsMarkerList(bool value) { keeps_marker_list_ = value; }
  bool KeepsMarkerList() { return GetAbsoluteRootData()->keeps_marker_list_; }
  // Puts the list marker at itemNo into the marker list (after the listed marker before
  // it) and numbers the list again from it; nothing for other items, a listed marker, or
  // a document not (yet) placed in its root (the cells of a table outside a document).
  void AddMarkerToList(int itemNo);
  // Takes the marker at itemNo out of the list and numbers again from its predecessor.
  void RemoveMarkerFromList(int itemNo);
  void RenumberMarkersFrom(int itemNo, bool createList);
  // The index of the last marker after markerIndex whose list is one of listNos; -1 if none.
  int FindLastMarkerOfLists(int markerIndex, const std::vector<int>& listNos);

  // Appending (the viewer path).
  void AddText(const std::string& s, int styleNo, int paraNo);
  void AddTextWithTag(const std::string& s, int styleNo, int paraNo, const TRDTag& tag);
  void AddItemAtEnd(std::string s, std::unique_ptr<TCustomRDItemInfo> item);
  void AppendItemAsIs(std::string s, std::unique_ptr<TCustomRDItemInfo> item);
  std::string ExpandTabs(const std::string& s, int styleNo, bool unicode) const;
  // The text as an item may hold it: CR and LF become blanks, NUL becomes '?'.
  static std::string SanitizeItemText(std::string s, bool unicode);

  // Deleting and clearing.
  void DeleteItems(int first, int count);
  void FreeItem(int itemNo, bool clearing);
  virtual void Clear();

  // Item queries (0-based item numbers).
  int GetItemCount() const { return Items.Count(); }
  TCustomRDItemInfo* GetItem(int itemNo) const { return Items.Objects(itemNo); }
  int GetItemNo(const TCustomRDItemInfo* item) const { return Items.IndexOfObject(item); }
  const std::string& GetItemTextRaw(int itemNo) const { return Items.Strings(itemNo); }
  int GetItemStyle(int itemNo) const { return GetActualStyle(*GetItem(itemNo)); }
  int GetActualStyle(const TCustomRDItemInfo& item) const {
    return ResolveStyleNo(item.StyleNo, item.ParaNo);
  }
  int ResolveStyleNo(int styleNo, int paraNo) const;
  int GetItemPara(int itemNo) const { return GetItem(itemNo)->ParaNo; }
  const TRDTag& GetItemTag(int itemNo) const { return GetItem(itemNo)->Tag; }
  TRDCPInfo* GetItemCheckpoint(int itemNo) const { return GetItem(itemNo)->Checkpoint.get(); }
  TRDItemOptions GetItemOptions(int itemNo) const { return GetItem(itemNo)->ItemOptions; }
  bool IsItemLineStart(int itemNo) const { return !(GetItemOptions(itemNo) & rdioContinuesPara); }
  bool IsParaStart(int itemNo) const { return GetItem(itemNo)->IsParaStart(); }
  bool IsPageBreakBefore(int itemNo) const;
  template <class T>
  T& CheckItemClass(int itemNo) const;
  int GetItemLength(int itemNo) const;
  int GetItemStartOffset(int itemNo) const { return GetItem(itemNo)->StyleNo >= 0 ? 1 : 0; }
  int GetItemEndOffset(int itemNo) const;
  // The part of the document the writers put out when not asked for the selection: the
  // whole document here; a document printed on pages may answer one page.
  virtual void GetOutputRange(int& startItem, int& startOffset, int& endItem, int& endOffset) const;
  // The part of item itemNo that output holds when the item is cut there (the rows of a
  // table a printed page holds); nullptr: the whole item.
  virtual const TRDMultiDrawItemPart* GetOutputPart(int /*itemNo*/) const { return nullptr; }
  void PropagateParaNo(int itemNo);
  void ClampItemNo(int& itemNo) const;

  // Navigation.
  int GetFirstItemOfPara(int itemNo) const;
  int GetFirstItemOfLine(int itemNo) const;
  void ExpandRangeToParas(int first, int last, int& newFirst, int& newLast) const;
  void ExpandRangeToLines(int first, int last, int& newFirst, int& newLast) const;

  // Characters, code pages and direction.
  int GetNextCharOffset(const std::string& s, int itemNo, int offset) const;
  int GetPrevCharOffset(const std::string& s, int itemNo, int offset) const;
  bool IsDelimiter(char16_t ch) const;
  bool IsDelimiterAt(const std::string& s, int index, TRDItemOptions options) const;
  static void ReplaceZeroChars(std::string& s);
  int GetStyleCodePage(int styleNo) const;
  int GetDefaultCodePage() const;
  TRDBiDiMode GetItemBiDiMode(int itemNo) const;
  TRDBiDiMode GetParaBiDiMode(int paraNo) const;
  void Beep() const;

  // Checkpoints.
  int SetPendingCheckpoint(const std::string& name, bool raiseEvent, const TRDTag& tag);
  void LinkPendingCheckpoint(TCustomRDItemInfo& item);
  void UnlinkCheckpoint(TRDCPInfo* cp, bool decCount);
  void FreeCheckpoint(std::unique_ptr<TRDCPInfo>& cp, bool unlink, bool decCount);
  TRDCPInfo* GetCheckpointBeforeY(int y) const;
  void InsertCheckpointSorted(TRDCPInfo* cp, int itemNo);

  // Joining adjacent text items (also inside the documents that items of the range hold).
  bool CanJoinItems(int itemNo, const TCustomRDItemInfo& item, bool force,
                    const TCustomRDItemInfo& nextItem) const;
  void JoinItemsInRange(int first, int last);

  // Style usage and renumbering.
  void FindUsedStyles(TRDStyleUsage& usage);
  // An editor also keeps the styles new text would take.
  virtual void MarkStylesInUse(TRDStyleUsage& usage) const;
  virtual void UpdateStyles(const TRDStyleUsage& usage);

  // Inserting and moving items.
  void InsertItemRaw(int index, std::string s, std::unique_ptr<TCustomRDItemInfo> item);
  void NotifyItemsInserting();
  // Raises "Can't assign RichDoc to RichDoc - tags types mismatch" when the tag kinds differ.
  void MoveItemsFrom(TCustomRDData& source);
  bool EnumItems(const std::function<void(TCustomRDData& data, int itemNo, bool& cont)>& proc);
  // Negative when (data1, itemNo1) comes before (data2, itemNo2), 0 when they are at the
  // same place; positions in nested documents are compared where their chains of parent
  // documents meet. Raises "Error when comparing positions in the document" when they
  // belong to different documents.
  static int ComparePositions(TCustomRDData& data1, int itemNo1, TCustomRDData& data2, int itemNo2);

  // Linear character positions: a separator (CR) before every item that starts a line
  // (but the first), a text item's characters, 1 for any other item; an item holding
  // documents gives each document's characters and a separator after each. Asked of
  // the root; target is the document (this one or one inside) that holds the item.
  int ItemToLinear(const TCustomRDData& target, int itemNo, int offset) const;
  int ItemToLinear(int itemNo, int offset) const;
  void LinearToItem(int linear, TCustomRDData*& data, int& itemNo, int& offset);
  void LinearToItem(int linear, int& itemNo, int& offset);
  std::string GetTextRange(int cpMin, int cpMax) const;

 private:
  void FreeItemObject(std::unique_ptr<TCustomRDItemInfo>& item);
  TRDOptions options_ = 0;
  TRDFOptions rdf_options_ = 0;
  unsigned rdf_warnings_ = 0;
  TRDPictureBudget picture_budget_;
  TRDStyle* rd_style_ = nullptr;
  std::unique_ptr<TRDMarkerList> markers_;
  bool keeps_marker_list_ = true;
};

template <class T>
T& TCustomRDData::CheckItemClass(int itemNo) const {
  if (auto* item = dynamic_cast<T*>(GetItem(itemNo))) return *item;
  throw ERichDocError("Can't get or set this kind of information for this item");
}
