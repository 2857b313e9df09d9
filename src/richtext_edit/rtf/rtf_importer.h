// The work of one RTF import (rtf_import.h): hooks a reader's events and turns what it
// reports into items of the target document. Text, pictures, fields, page breaks and
// headers are in rtf_importer.cpp, tables in rtf_importer_tables.cpp, list markers in
// rtf_importer_lists.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "richtext/model/rd_data.h"
#include "richtext/view/rtf_read_properties.h"
#include "richtext_edit/rtf/rtf_import.h"
#include "richtext_edit/rtf/rtf_import_styles.h"
#include "richtext_edit/rtf/rtf_reader.h"

class TRDStyle;
class TRDTableItemInfo;
class TRDTableCellData;
class TRDListInfo;

class TRDRTFImporter {
 public:
  TRDRTFImporter(TRDRTFReaderProperties& options, TCustomRDData& target, int index,
                 TRDRTFHeaderFooter* headerFooter);
  ~TRDRTFImporter();
  TRDRTFImporter(const TRDRTFImporter&) = delete;
  TRDRTFImporter& operator=(const TRDRTFImporter&) = delete;

  TRDRTFErrorCode Read(TStream& stream);
  // The last item inserted into the target itself, -1 when none.
  int LastItemNo() const { return last_item_no_; }

 private:
  struct TTableInfo;
  struct TListState;

  void WireEvents(TRDRTFReader& reader);
  // Text, pictures, fields, breaks and headers (rtf_importer.cpp).
  void NewText(std::string text, bool unicode, TRDRTFPosition position);
  // Adds text (a tab item for a lone tab) in the style of the character properties read
  // last; a paragraph it starts takes para, or else the paragraph properties read last.
  void AddText(std::string text, bool unicode, TRDRTFPosition position,
               const TRDRTFParaProperties* para = nullptr);
  void NewPicture(TRDRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                  TRDRTFPosition position, const std::string& fileName, bool& inserted);
  void HeaderFooter(TRDRTFHeaderFooterType type, bool starting, bool& supported);
  // The paragraph style for an item at position in the current data.
  int ParaStyleFor(TRDRTFPosition position, const TRDRTFParaProperties& para);
  // Appends (or, in the target, inserts) the item with its paragraph flags for position;
  // a paragraph it starts takes para, or else the paragraph properties read last.
  void AddItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item, TRDRTFPosition position,
               const TRDRTFParaProperties* para = nullptr);
  // The break that dropped hidden text began, kept for the current data's next item;
  // settled (as an empty paragraph or line) before the current data changes.
  void HoldBreak(TRDRTFPosition position);
  void SettleHeldBreak();
  void PlaceItem(std::string text, std::unique_ptr<TCustomRDItemInfo> item);
  // Makes data the one items go to. The list marker waiting in the data left is settled
  // first: that data may be a cell the table being built moves or frees, and the marker
  // points into it.
  void EnterData(TCustomRDData* data);
  const TCustomRDItemInfo* LastItemOfCurrent() const;
  bool InsideHyperlink() const;
  TRDTag LinkTag(const std::string& target) const;
  std::string FallbackFontName() const;

  // Tables (rtf_importer_tables.cpp).
  void TableEvent(TRDRTFTableEventKind kind);
  // Tables left open when an event raised are freed with what they collected.
  void DropOpenTables();
  void StartTable();
  void EndCell();
  void EndRow();
  void EndTable();
  class TTableBuilder;
  void MoveOpenRowOut(TTableInfo& info);
  bool MayTakeSeveralTables(const TTableInfo& info) const;
  // The text of the rows from first on, which no table could take, as paragraphs.
  void MoveRowsOut(TTableInfo& info, size_t first);
  void MoveCellOut(TRDTableCellData& cell);
  // A cell without content gets one empty paragraph in the table's left-aligned style.
  // An emptied cell's one paragraph, in the text style and paragraph style below.
  void AddEmptyParagraph(TCustomRDData& cell);
  int EmptyCellTextStyle() const;
  bool HoldsEmptyParagraphOnly(const TCustomRDData& cell);
  // Whether an emptied cell is a plain cell (table_rows.h), which keeps no object.
  bool PlainCellsEmpty();
  void EmptyCell(TRDTableItemInfo& table, int row, int col, bool hideBorders);

  // List markers (rtf_importer_lists.cpp).
  void UpdateMarker();
  // Adds the list marker of the paragraph that the next item starts; true when added.
  bool AddParagraphMarker();
  void SettlePendingMarker();
  int OldStyleListStyle(const TRDRTFMarkerProperties& marker, const TRDRTFParaProperties& para);
  void MakeWord97ListStyles();

  TRDRTFReaderProperties& options_;
  TCustomRDData& target_;
  TCustomRDData* current_;
  TRDStyle& sheet_;
  double pixels_per_twip_;
  TRDRTFStyleMatcher matcher_;
  TRDRTFReader* reader_ = nullptr;
  TRDRTFHeaderFooter* header_footer_;
  // The document tables belong to while they are built, outside the target: it answers
  // for the target's style sheet and options but keeps no marker list, so that markers
  // in cells are listed only once their table stands in the document, in order.
  TCustomRDData workbench_;
  // Some cell got a marker since the last table was put into a listing document.
  bool cell_markers_ = false;
  // Where the next item goes in the target, and the last item put there.
  int insert_index_;
  int start_index_;
  int last_item_no_ = -1;
  // A \page waits for the next item of the data it was read in.
  bool page_break_pending_ = false;
  TCustomRDData* page_break_data_ = nullptr;
  // Open tables, innermost last; the cell being filled is row_, col_ of the innermost.
  std::vector<std::unique_ptr<TTableInfo>> tables_;
  int row_ = -1;
  int col_ = -1;
  bool moving_out_table_ = false;
  // A paragraph or line break that came with dropped hidden text, with the paragraph's
  // properties then; rtf_ts_ContinuePara when none waits.
  TRDRTFPosition held_break_ = rtf_ts_ContinuePara;
  TRDRTFParaProperties held_para_;
  std::unique_ptr<TListState> lists_;
};
