// The event-driven RTF reader. It reads an RTF byte stream once and reports what it
// finds through events: runs of text with where they start (continuing the paragraph,
// after a line break, in a new paragraph), pictures, embedded objects, table starts and
// ends with row and cell ends, page breaks, header and footer groups, list-marker
// updates and progress. It builds no document: event handlers read the current
// properties (State()) and the document tables from the reader while an event runs.
//
//   TRDRTFReader reader;
//   reader.OnNewText = [](TRDRTFReader* r, const std::string& text, TRDRTFPosition at) {...};
//   TRDRTFErrorCode result = reader.ReadFromStream(stream);
//
// "{\rtf1 a\par b\line c}" reports "a" (new paragraph), "b" (new paragraph) and "c"
// (new line). Text is reported in the file's 8-bit code page (CodePage()); \u characters
// are reported as UTF-16 through OnNewUnicodeText when that handler is assigned.
//
// Errors end the read and are returned; nothing is reported after them. Exceptions of
// event handlers and of picture decoding (EInvalidGraphic) pass to the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/graphics/bitmap.h"
#include "platform/sys/component.h"
#include "platform/text/streams.h"
#include "richtext/model/document_nesting.h"
#include "richtext/model/picture_budget.h"
#include "richtext_edit/rtf/rtf_document_tables.h"
#include "richtext_edit/rtf/rtf_keywords.h"
#include "richtext_edit/rtf/rtf_lists.h"
#include "richtext_edit/rtf/rtf_picture.h"
#include "richtext_edit/rtf/rtf_properties.h"
#include "richtext_edit/rtf/rtf_row_properties.h"
#include "richtext_edit/rtf/rtf_types.h"

class TRDRTFReader;

// The argument of a field instruction from pos on: a quoted text (its quotes removed,
// blanks kept) or the text up to the next blank.
std::string RTFFieldArgument(const std::string& text, std::size_t pos);

// Which border the side words (\brdrt, \trbrdrl, \clbrdrb ...) last chose: the
// following border properties go to that one.
enum class TRDRTFBorderTarget : std::uint8_t { Paragraph, TableRow, TableCell };

// What a group sets; saved on '{' and restored on '}'.
struct TRDRTFGroupState {
  int DefLanguage = 0;
  TRDRTFCharProperties CharProps;
  TRDRTFParaProperties ParaProps;
  TRDRTFSectionProperties SectProps;
  TRDRTFDocProperties DocProps;
  std::optional<TRDRTFRowProperties> RowProps;
  TRDRTFBorderTarget BorderTarget = TRDRTFBorderTarget::Paragraph;
  TRDRTFDestination Destination = rtf_ds_Normal;
  TRDRTFInternalState InternalState = rtf_ris_Norm;
  // Marker texts (\pntxta, \pntxtb) inside a \pnseclvl group belong to that level.
  bool MarkerTextForLevel = false;
  TRDRTFHeaderFooterType HFType = rtf_hf_MainText;
};

// The state of one open group: what the group sets, and what is kept across group
// boundaries (not saved and restored): a field's instruction must still be known while
// its result is read.
struct TRDRTFReaderState : TRDRTFGroupState {
  std::string FieldInstruction;
  bool FieldPictureInserted = false;
  // The instruction wrote the field's character itself (SYMBOL): its result, the same
  // character as some writer saw it, is passed over.
  bool FieldSymbolWritten = false;
  std::unique_ptr<TGraphic> FieldPicture;
  int DefFont = 0;
  int DefFontIndex = -1;

  TRDRTFRowProperties& GetRowProps();
  // Copies everything but the field data and the default font.
  void CopyGroupStateFrom(const TRDRTFReaderState& source) {
    static_cast<TRDRTFGroupState&>(*this) = source;
  }
};

using TRDRTFNewTextEvent =
    std::function<void(TRDRTFReader* Sender, const std::string& Text, TRDRTFPosition Position)>;
using TRDRTFNewUnicodeTextEvent =
    std::function<void(TRDRTFReader* Sender, const std::u16string& Text, TRDRTFPosition Position)>;
// The handler takes the graphic (moves it out) when it accepts the picture and sets
// Inserted; a graphic left behind is freed by the reader. RTFPicture is null for
// pictures named by a field.
using TRDRTFNewPictureEvent = std::function<void(
    TRDRTFReader* Sender, TRDRTFPicture* RTFPicture, std::unique_ptr<TGraphic>& Graphic,
    TRDRTFPosition Position, const std::string& FileName, bool& Inserted)>;
using TRDRTFNewObjectEvent = std::function<void(TRDRTFReader* Sender, TRDRTFObject* RTFObject,
                                                TRDRTFPosition Position, bool& Inserted)>;
using TRDRTFTableEvent =
    std::function<void(TRDRTFReader* Sender, TRDRTFTableEventKind WhatHappens)>;
using TRDRTFHeaderFooterEvent = std::function<void(
    TRDRTFReader* Sender, TRDRTFHeaderFooterType HFType, bool Starting, bool& Supported)>;
using TRDRTFImportPictureEvent =
    std::function<void(TRDRTFReader* Sender, const std::string& Location,
                       std::unique_ptr<TGraphic>& Graphic, bool& Invalid)>;
using TRDRTFTranslateKeywordEvent =
    std::function<void(TRDRTFReader* Sender, const std::string& Keyword, int Param, bool fParam,
                       std::string& Text, bool& DoDefault)>;
using TRDRTFProgressEvent =
    std::function<void(TRDRTFReader* Sender, TRDRTFProgressStage Stage, std::uint8_t PercentDone)>;

// What one read builds up, from the input buffer to the document tables; every read
// starts from a fresh one (TRDRTFReader::Clear), so nothing of an earlier read leaks in.
struct TRDRTFReadState {
  TStream* stream_ = nullptr;
  std::int64_t stream_size_ = 0;
  std::vector<std::uint8_t> buffer_;
  int buf_pos_ = 0;  // 0-based index of the next byte
  int buf_len_ = 0;
  std::string pending_text_;
  std::u16string pending_unicode_;
  std::uint8_t last_char_ = 0;
  bool char_pushed_back_ = false;

  TRDRTFStyleSheet style_sheet_;
  TRDRTFFontList font_table_;
  TRDRTFColorList color_table_;
  TRDRTFListTable97 list_table_;
  TRDRTFListOverrideTable97 list_override_table_;
  std::unique_ptr<TRDRTFReaderState> state_ = std::make_unique<TRDRTFReaderState>();
  std::vector<std::unique_ptr<TRDRTFReaderState>> state_stack_;
  std::unique_ptr<TRDRTFPicture> cur_picture_;
  TRDPictureBudget own_picture_budget_;  // when no PictureBudget is given
  std::unique_ptr<TRDRTFObject> cur_object_;
  std::optional<TRDRTFMarkerProperties> cur_marker_;

  unsigned code_page_ = 0;
  int unicode_skip_count_ = 1;
  int skip_count_ = 0;
  int table_depth_ = 0;
  int list_level_number_ = 0;
  bool progress_on_ = false;
  bool shp_pict_inserted_ = false;
  bool object_inserted_ = false;
  bool force_flush_ = false;
  // The number or bullet of a list paragraph (\listtext, \pntext), as shown, waits for
  // the paragraph's own text: the \pard in its group must not end a table or drop the
  // alignment, and writers give the paragraph's properties after the group too.
  std::u16string list_text_;
  std::string list_text_bytes_;  // bytes of the current font not yet converted
  std::optional<TRDRTFCharProperties> list_text_chars_;  // set when the group has ended
  int footnote_number_ = 0;
  TRDRTFPosition next_position_ = rtf_ts_NewPara;
  // A table row is the last thing read: a cell that ends now ends with that table, not
  // with an empty paragraph after it.
  bool row_ended_ = false;
  int depth_ = 0;
  std::int64_t bin_count_ = 0;
  int param_ = 0;
  std::uint8_t hex_byte_ = 0;  // picture and object data nibbles
  bool hex_high_nibble_ = true;
  std::uint8_t escape_byte_ = 0;  // the digits after \'
  bool escape_high_nibble_ = true;
  bool star_seen_ = false;
  // The last \trql/\trqr/\trqc, and whether the row that ends next gave one.
  std::uint8_t row_alignment_ = 0;
  bool row_alignment_set_ = false;
};

class TRDRTFReader : public TComponent, private TRDRTFReadState {
 public:
  // Groups nested deeper end the read with rtf_ec_StackOverflow instead of growing
  // without bound. Tables nested deeper than a document may hold them (\itap) are not
  // built: their text flows into the cell of the deepest table that is.
  static constexpr int kMaxGroupDepth = 1000;
  static constexpr int kMaxTableDepth = kMaxDocumentNesting;
  // Pictures named by INCLUDEPICTURE/IMPORT fields are read only from regular files up
  // to this size.
  static constexpr std::int64_t kMaxFieldPictureFileSize = 64 * 1024 * 1024;

  explicit TRDRTFReader(TComponent* AOwner = nullptr);
  ~TRDRTFReader() override;
  std::string ClassName() const override { return "TRDRTFReader"; }

  TRDRTFErrorCode ReadFromStream(TStream& Stream);

  // Read by event handlers.
  TRDRTFReaderState& State() { return *state_; }
  const TRDRTFFontList& FontTable() const { return font_table_; }
  const TRDRTFColorList& ColorTable() const { return color_table_; }
  const TRDRTFStyleSheet& StyleSheet() const { return style_sheet_; }
  const TRDRTFListTable97& ListTable() const { return list_table_; }
  const TRDRTFListOverrideTable97& ListOverrideTable() const { return list_override_table_; }
  unsigned CodePage() const { return code_page_; }
  std::uint8_t RowAlignment() const { return row_alignment_; }
  bool RowAlignmentSet() const { return row_alignment_set_; }
  int ListLevelNumber() const { return list_level_number_; }
  // How the next text reported starts.
  TRDRTFPosition NextPosition() const { return next_position_; }

  // Settings.
  unsigned DefCodePage = 0;
  TRDRTFHighlightConvert ConvertHighlight = rtf_hl_FixedColors;
  bool ExtractMetafileBitmaps = true;
  // The number or bullet a writer put before each list paragraph (\\listtext, \\pntext)
  // read as text, for a reader that makes no list markers of its own: the characters
  // shown (a Symbol or Wingdings bullet as the bullet), reported as the paragraph's first
  // text, in its paragraph and table.
  bool ReadListText = false;
  int PixelsPerInch = 0;  // 0: the screen's, taken at the start of a read
  // What the pictures read may hold decoded: the document's they go into; none, one of
  // the reader's own.
  TRDPictureBudget* PictureBudget = nullptr;
  bool TabAsSeparateText = false;
  std::string BasePath;  // prefix of relative picture file names in fields

  // Events.
  TRDRTFNewTextEvent OnNewText;
  TRDRTFNewUnicodeTextEvent OnNewUnicodeText;
  TRDRTFHeaderFooterEvent OnHeaderFooter;
  TRDRTFImportPictureEvent OnImportPicture;
  TRDRTFTranslateKeywordEvent OnTranslateKeyword;
  TRDRTFNewPictureEvent OnNewPicture;
  TRDRTFNewObjectEvent OnNewObject;
  TRDRTFTableEvent OnTable;
  TNotifyEvent OnRequiredPageBreak;
  TNotifyEvent OnUpdateMarker;
  TNotifyEvent OnEndParsing;
  TRDRTFProgressEvent OnProgress;

 private:
  static constexpr int kBufferSize = 4096;
  static constexpr int kEndOfInput = -1;

  void Clear();
  // Tokenizer.
  // The next input byte, or kEndOfInput; refills the buffer 4096 bytes at a time.
  int GetChar();
  void PushBack() { char_pushed_back_ = true; }
  TRDRTFErrorCode ParseLoop();
  TRDRTFErrorCode ParseKeyword();
  TRDRTFErrorCode TranslateKeyword(std::string_view keyword, int param, bool hasParam);
  TRDRTFErrorCode ParseChar(int ch);
  TRDRTFErrorCode ParseHexDigit(int ch);
  TRDRTFErrorCode ReadBinaryByte(int ch);
  void ReadPictureHexRun(int first);
  TRDRTFErrorCode ParseObjectHexDigit(int ch);
  // Groups and destinations.
  TRDRTFErrorCode PushState();
  TRDRTFErrorCode PopState();
  TRDRTFErrorCode ChangeDestination(TRDRTFDestinationWord word);
  // The destination of target when the group stands in required, else skipped; true
  // when it does.
  bool EnterInside(TRDRTFDestination required, TRDRTFDestination target);
  // The destinations the groups of fields, headers and footers, paragraph numbering
  // (\pn and its texts), list tables and objects start.
  TRDRTFErrorCode StartFieldDestination(TRDRTFDestinationWord word);
  TRDRTFErrorCode StartHeaderFooter(TRDRTFHeaderFooterType type);
  void StartMarkerDestination(TRDRTFDestinationWord word);
  void StartListDestination(TRDRTFDestinationWord word);
  void StartObjectDestination(TRDRTFDestinationWord word);
  TRDRTFErrorCode EndDestination(TRDRTFDestination destination);
  void SetDestination(TRDRTFDestination destination) { state_->Destination = destination; }
  void AddToDestinationText(char ch);
  // Text output.
  TRDRTFErrorCode OutputChar(int ch, bool sync);
  TRDRTFErrorCode OutputUnicode(char16_t code);
  TRDRTFErrorCode OutputUnicodeAsBytes(char16_t code);
  TRDRTFErrorCode Flush();
  // Reports pending text, synchronising tables first; nothing when nothing is pending.
  TRDRTFErrorCode FlushPending();
  // A paragraph or line about to end with nothing in it is reported as empty text, so
  // that a blank line is not lost.
  TRDRTFErrorCode ReportEmptyLine();
  TRDRTFErrorCode SyncTables();
  // Before a paragraph's text, break, picture or object: the tables synchronised and the
  // list text that starts the paragraph reported.
  TRDRTFErrorCode PrepareOutput();
  // The list text (\listtext) collected so far: bytes are converted in the font that
  // gives them; ended when the group closes.
  void TakeListTextBytes();
  void AppendListText(char16_t code);
  TRDRTFErrorCode ReportListText();
  // One character of it: Unicode where the handler takes Unicode, else in the code page.
  TRDRTFErrorCode OutputListCharacter(char16_t c);
  void AppendUnicode(char16_t code);
  const std::string& FontNameAt(int index) const;
  void UpdateMarker();
  void FireTable(TRDRTFTableEventKind kind);
  // Properties (rtf_reader_properties.cpp).
  TRDRTFErrorCode ApplyProperty(const TRDRTFKeyword& keyword, int value);
  TRDRTFErrorCode ApplyCharacterProperty(TRDRTFProp prop, int value);
  void ApplyParagraphProperty(TRDRTFProp prop, int value);
  TRDRTFErrorCode ApplySectionProperty(TRDRTFProp prop, int value);
  TRDRTFErrorCode ApplyTableProperty(TRDRTFProp prop, int value, int sub);
  // A row's own property (false for one of its last cell); a property of the cell.
  bool ApplyRowProperty(TRDRTFRowProperties& row, TRDRTFProp prop, int value, std::size_t side);
  void ApplyCellProperty(TRDRTFRowProperties& row, TRDRTFCellProperties& cell, TRDRTFProp prop,
                         int value, std::size_t side);
  void ApplyPictureProperty(TRDRTFProp prop, int value);
  void ApplyMarkerProperty(TRDRTFMarkerProperties& marker, TRDRTFProp prop, int value);
  void ApplyListLevelProperty(TRDRTFListLevel97& level, TRDRTFProp prop, int value);
  void ApplyStyleSheetProperty(TRDRTFProp prop, int value);
  TRDRTFErrorCode ApplyUnicodeCharacter(int value);
  TRDRTFErrorCode SetHidden(bool hidden);
  // The paragraph lies in a table nested deeper than kMaxTableDepth.
  bool BeyondTableDepth() const;
  TRDRTFErrorCode EndCell();
  TRDRTFErrorCode EndRow();
  // The row's end, of a table we build, to the handler.
  TRDRTFErrorCode ReportRowEnd();
  TRDRTFBorderSide* CurrentBorderSide();
  TRDRTFMarkerProperties* CurrentMarker();
  int DefaultFontIndex();
  int FontIndexOf(int number);
  bool ColorOf(int index, TColor& color) const;
  // Pictures, objects and fields (rtf_reader_fields.cpp).
  TRDRTFErrorCode StartPicture();
  TRDRTFErrorCode EndPicture();
  TRDRTFErrorCode EndObjectData();
  void EndField();
  TRDRTFErrorCode EndFieldInstruction();
  void InsertFieldPicture(const std::string& instruction);
  std::unique_ptr<TGraphic> LoadFieldPicture(const std::string& location, bool& invalid);
  TRDRTFErrorCode OutputSymbolField(const std::string& instruction);
  bool ReportPicture(TRDRTFPicture* picture, std::unique_ptr<TGraphic>& graphic,
                     const std::string& fileName);
};
