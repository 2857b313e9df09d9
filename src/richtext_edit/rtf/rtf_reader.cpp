// The reader's tokenizer, group stack, destinations and text output. Property words
// are applied in rtf_reader_properties.cpp; pictures, objects and fields in
// rtf_reader_fields.cpp.
#include "richtext_edit/rtf/rtf_reader.h"

#include <algorithm>
#include <utility>

#include "platform/text/ascii.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/symbol_fonts.h"
#include "richtext/base/text_routines.h"

namespace {

constexpr int kParagraphEnd = 10;  // LF: the code \par passes on
constexpr int kLineBreak = 13;     // CR: the code \line passes on
constexpr int kTab = 9;
constexpr char16_t kBullet = 0x2022;
constexpr std::int64_t kProgressThreshold = 20480;
// Control words are at most 32 letters long; longer runs are read to their end but
// match no entry.
constexpr std::size_t kMaxKeywordLength = 32;
// Parameters beyond 32 bits saturate (symmetric, so negating one never overflows).
constexpr std::int64_t kMaxParam = 2147483647;
constexpr std::size_t kPictureBlockSize = 65536;

}  // namespace

TRDRTFRowProperties& TRDRTFReaderState::GetRowProps() {
  if (!RowProps) RowProps.emplace();
  return *RowProps;
}

TRDRTFReader::TRDRTFReader(TComponent* AOwner) : TComponent(AOwner) {}

TRDRTFReader::~TRDRTFReader() = default;

void TRDRTFReader::Clear() {
  static_cast<TRDRTFReadState&>(*this) = TRDRTFReadState{};
  code_page_ = DefCodePage;
  if (PixelsPerInch == 0) PixelsPerInch = GetScreenLogPixelsY();
}

TRDRTFErrorCode TRDRTFReader::ReadFromStream(TStream& Stream) {
  Clear();
  stream_ = &Stream;
  stream_size_ = Stream.Size();
  buffer_.assign(kBufferSize, 0);
  buf_len_ = kBufferSize;
  buf_pos_ = kBufferSize;
  progress_on_ = stream_size_ > kProgressThreshold && OnProgress;
  struct EndOfRead {
    TRDRTFReader& reader;
    ~EndOfRead() {
      reader.buffer_.clear();
      reader.buffer_.shrink_to_fit();
      reader.stream_ = nullptr;
    }
  } endOfRead{*this};
  if (progress_on_) OnProgress(this, rdprtfprStarting, 0);
  const TRDRTFErrorCode result = ParseLoop();
  if (progress_on_) OnProgress(this, rdprtfprEnding, 0);
  return result;
}

int TRDRTFReader::GetChar() {
  if (char_pushed_back_) {
    char_pushed_back_ = false;
    return last_char_;
  }
  if (buf_pos_ >= buf_len_) {
    if (progress_on_) {
      const std::int64_t percent = (stream_->Position() * 200 + stream_size_) / (2 * stream_size_);
      OnProgress(this, rdprtfprRunning, std::uint8_t(std::clamp<std::int64_t>(percent, 0, 100)));
    }
    const std::int64_t remaining = stream_size_ - stream_->Position();
    buf_pos_ = 0;
    buf_len_ =
        remaining > 0
            ? int(stream_->Read(buffer_.data(), std::min<std::int64_t>(remaining, kBufferSize)))
            : 0;
    if (buf_len_ <= 0) {
      buf_len_ = 0;
      return kEndOfInput;
    }
  }
  last_char_ = buffer_[std::size_t(buf_pos_++)];
  return last_char_;
}

TRDRTFErrorCode TRDRTFReader::ParseLoop() {
  TRDRTFErrorCode error = rtf_ec_OK;
  for (int ch = GetChar(); ch != kEndOfInput; ch = GetChar()) {
    if (state_->InternalState == rtf_ris_Bin) {
      error = ReadBinaryByte(ch);
    } else if (ch == '{') {
      skip_count_ = 0;
      error = PushState();
    } else if (ch == '}') {
      skip_count_ = 0;
      error = PopState();
      if (error == rtf_ec_OK && depth_ == 0) break;  // nothing after the outermost group is read
    } else if (ch == '\\') {
      error = ParseKeyword();
    } else if (ch == kParagraphEnd || ch == kLineBreak) {
      continue;
    } else if (state_->InternalState == rtf_ris_Hex) {
      error = ParseHexDigit(ch);
    } else if (skip_count_ > 0) {
      --skip_count_;
    } else {
      error = ParseChar(ch);
    }
    if (error != rtf_ec_OK) return error;
  }
  UpdateMarker();
  for (; table_depth_ > 0; --table_depth_) FireTable(rdf_tbl_TableEnd);
  color_table_.DeleteLast();  // the automatic entry after the table's last ';'
  if (depth_ < 0) return rtf_ec_StackUnderflow;
  if (depth_ > 0) return rtf_ec_UnmatchedBrace;
  if (!pending_text_.empty()) return OutputChar(kParagraphEnd, true);
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::ReadBinaryByte(int ch) {
  TRDRTFErrorCode error = rtf_ec_OK;
  TMemoryStream* sink = nullptr;
  if (state_->Destination == rtf_ds_Picture && cur_picture_) sink = &cur_picture_->Data;
  if (state_->Destination == rtf_ds_ObjData && cur_object_) sink = &cur_object_->Data;
  if (sink) {
    const std::uint8_t byte = std::uint8_t(ch);
    sink->WriteBuffer(&byte, 1);
    // The rest of the run that is already buffered goes in one block.
    const std::int64_t more = std::min<std::int64_t>(bin_count_ - 1, buf_len_ - buf_pos_);
    if (more > 0 && !char_pushed_back_) {
      sink->WriteBuffer(buffer_.data() + buf_pos_, more);
      buf_pos_ += int(more);
      bin_count_ -= more;
    }
  } else if (state_->Destination != rtf_ds_Picture && state_->Destination != rtf_ds_ObjData) {
    error = ParseChar(ch);
  }
  if (--bin_count_ <= 0) state_->InternalState = rtf_ris_Norm;
  return error;
}

TRDRTFErrorCode TRDRTFReader::ParseHexDigit(int ch) {
  const int value = AsciiHexValue(ch);
  if (value < 0) return rtf_ec_InvalidHex;
  if (escape_high_nibble_) {
    escape_byte_ = std::uint8_t(value << 4);
    escape_high_nibble_ = false;
    return rtf_ec_OK;
  }
  escape_byte_ = std::uint8_t(escape_byte_ | value);
  escape_high_nibble_ = true;
  state_->InternalState = rtf_ris_Norm;
  if (skip_count_ > 0) {
    --skip_count_;
    return rtf_ec_OK;
  }
  return ParseChar(escape_byte_);
}

TRDRTFErrorCode TRDRTFReader::ParseKeyword() {
  int ch = GetChar();
  if (ch == kEndOfInput) return rtf_ec_EndOfFile;
  if (!IsAsciiLetter(ch)) {
    param_ = 0;
    const char symbol = char(ch);
    return TranslateKeyword(std::string_view(&symbol, 1), 0, false);
  }
  char word[kMaxKeywordLength];
  std::size_t length = 0;
  for (; IsAsciiLetter(ch); ch = GetChar())
    if (length < kMaxKeywordLength) word[length++] = char(ch);
  bool negative = false;
  if (ch == '-') {
    negative = true;
    ch = GetChar();
  }
  bool hasParam = false;
  std::int64_t value = 0;
  for (; IsAsciiDigit(ch); ch = GetChar()) {
    hasParam = true;
    value = std::min(value * 10 + (ch - '0'), kMaxParam);
  }
  if (ch != kEndOfInput && ch != ' ') PushBack();
  param_ = int(negative ? -value : value);
  return TranslateKeyword(std::string_view(word, length), param_, hasParam);
}

TRDRTFErrorCode TRDRTFReader::TranslateKeyword(std::string_view keyword, int param, bool hasParam) {
  if (OnTranslateKeyword) {
    std::string text;
    bool doDefault = true;
    OnTranslateKeyword(this, std::string(keyword), param, hasParam, text, doDefault);
    for (const char c : text)
      if (const TRDRTFErrorCode error = ParseChar(std::uint8_t(c)); error != rtf_ec_OK)
        return error;
    if (!doDefault) return rtf_ec_OK;
  }
  const TRDRTFKeyword* entry = FindRTFKeyword(keyword);
  if (!entry) {
    if (star_seen_) SetDestination(rtf_ds_Skip);
    star_seen_ = false;
    return rtf_ec_OK;
  }
  star_seen_ = false;
  switch (entry->Kind) {
    case rtf_kw_Char:
      if (skip_count_ > 0) {
        --skip_count_;
        return rtf_ec_OK;
      }
      return ParseChar(entry->Index);
    case rtf_kw_UnicodeChar:
      if (skip_count_ > 0) {
        --skip_count_;
        return rtf_ec_OK;
      }
      if (state_->Destination != rtf_ds_Normal || !OnNewUnicodeText)
        return ParseChar(entry->DefaultValue);
      return OutputUnicode(char16_t(entry->Index));
    case rtf_kw_Destination:
      return ChangeDestination(TRDRTFDestinationWord(entry->Index));
    case rtf_kw_Property: {
      const int value = entry->UseDefault || !hasParam ? entry->DefaultValue : param;
      if (state_->Destination == rtf_ds_Normal && entry->Affects == TRDRTFAffects::Character)
        if (const TRDRTFErrorCode error = FlushPending(); error != rtf_ec_OK) return error;
      if (state_->Destination == rtf_ds_ListText && entry->Affects == TRDRTFAffects::Character)
        TakeListTextBytes();
      return ApplyProperty(*entry, value);
    }
    case rtf_kw_Special:
      switch (TRDRTFSpecial(entry->Index)) {
        case TRDRTFSpecial::Bin:
          // Also in a skipped group, so that the binary data is stepped over.
          state_->InternalState = rtf_ris_Bin;
          bin_count_ = param_;
          return rtf_ec_OK;
        case TRDRTFSpecial::Hex:
          if (state_->Destination != rtf_ds_Skip) {
            state_->InternalState = rtf_ris_Hex;
            escape_high_nibble_ = true;
          }
          return rtf_ec_OK;
        case TRDRTFSpecial::Star:
          if (state_->Destination != rtf_ds_Skip) star_seen_ = true;
          return rtf_ec_OK;
      }
      return rtf_ec_BadTable;
  }
  return rtf_ec_BadTable;
}

TRDRTFErrorCode TRDRTFReader::ParseChar(int ch) {
  const char c = char(ch);
  switch (state_->Destination) {
    case rtf_ds_Normal: {
      if (ch != kParagraphEnd && ch != kLineBreak) return OutputChar(ch, true);
      UpdateMarker();
      TRDRTFErrorCode error = ReportEmptyLine();
      if (error == rtf_ec_OK) error = OutputChar(ch, true);
      if (error == rtf_ec_OK) UpdateMarker();
      return error;
    }
    case rtf_ds_Picture:
      if (state_->InternalState == rtf_ris_Bin) {
        if (cur_picture_) cur_picture_->Data.WriteBuffer(&c, 1);
      } else {
        ReadPictureHexRun(ch);
      }
      return rtf_ec_OK;
    case rtf_ds_ObjData:
      if (state_->InternalState == rtf_ris_Bin) {
        if (cur_object_) cur_object_->Data.WriteBuffer(&c, 1);
        return rtf_ec_OK;
      }
      return ParseObjectHexDigit(ch);
    default:
      AddToDestinationText(c);
      return rtf_ec_OK;
  }
}

void TRDRTFReader::AddToDestinationText(char c) {
  switch (state_->Destination) {
    case rtf_ds_FieldInst:
      state_->FieldInstruction += c;
      break;
    case rtf_ds_FontTable:
      if (c != ';')
        if (TRDRTFFont* font = font_table_.Last()) font->Name += c;
      break;
    case rtf_ds_ColorTable:
      if (c == ';') color_table_.AddAutomatic();
      break;
    case rtf_ds_StyleSheetEntry:
      if (c != ';')
        if (TRDRTFStyleSheetEntry* entry = style_sheet_.Last()) entry->Name += c;
      break;
    case rtf_ds_PnTextAfter:
    case rtf_ds_PnTextBefore:
      if (TRDRTFMarkerProperties* marker = CurrentMarker()) {
        std::string& text =
            state_->Destination == rtf_ds_PnTextAfter ? marker->TextAfter : marker->TextBefore;
        if (text.size() < TRDRTFMarkerProperties::kMaxTextLength) text += c;
      }
      break;
    case rtf_ds_ListName:
      if (TRDRTFList97* list = list_table_.Last()) list->Name += c;
      break;
    case rtf_ds_LevelText:
      if (TRDRTFListLevel97* level = list_table_.LastLevel()) {
        level->Text += c;
        if (!level->TextW.empty())
          level->TextW +=
              RawUnicodeToWideString(AnsiToRawUnicode(TRDCodePage(code_page_), std::string(1, c)));
      }
      break;
    case rtf_ds_LevelNumbers:
      if (TRDRTFListLevel97* level = list_table_.LastLevel()) level->Numbers += c;
      break;
    case rtf_ds_ListText:
      if (c != 0 && c != kParagraphEnd && c != kLineBreak) list_text_bytes_ += c;
      break;
    default:
      break;
  }
}

void TRDRTFReader::ReadPictureHexRun(int first) {
  // A stray character that is not a hex digit would only be pushed back and read
  // again; it is dropped.
  if (AsciiHexValue(first) < 0) return;
  std::vector<std::uint8_t> block;
  block.reserve(kPictureBlockSize);
  const auto writeBlock = [this, &block] {
    if (cur_picture_ && !block.empty())
      cur_picture_->Data.WriteBuffer(block.data(), std::int64_t(block.size()));
    block.clear();
  };
  for (int ch = first; ch != kEndOfInput; ch = GetChar()) {
    const int value = AsciiHexValue(ch);
    if (value < 0) {
      if (ch == kParagraphEnd || ch == kLineBreak) continue;
      PushBack();
      break;
    }
    if (hex_high_nibble_) {
      hex_byte_ = std::uint8_t(value << 4);
      hex_high_nibble_ = false;
      continue;
    }
    block.push_back(std::uint8_t(hex_byte_ | value));
    hex_high_nibble_ = true;
    if (block.size() == kPictureBlockSize) writeBlock();
  }
  writeBlock();
}

TRDRTFErrorCode TRDRTFReader::ParseObjectHexDigit(int ch) {
  const int value = AsciiHexValue(ch);
  if (value < 0) return rtf_ec_InvalidPicture;
  if (hex_high_nibble_) {
    hex_byte_ = std::uint8_t(value << 4);
    hex_high_nibble_ = false;
    return rtf_ec_OK;
  }
  const std::uint8_t byte = std::uint8_t(hex_byte_ | value);
  hex_high_nibble_ = true;
  if (cur_object_) cur_object_->Data.WriteBuffer(&byte, 1);
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::PushState() {
  if (depth_ >= kMaxGroupDepth) return rtf_ec_StackOverflow;
  auto saved = std::make_unique<TRDRTFReaderState>();
  saved->CopyGroupStateFrom(*state_);
  state_stack_.push_back(std::move(saved));
  state_->InternalState = rtf_ris_Norm;
  ++depth_;
  if (state_->Destination == rtf_ds_StyleSheet) {
    style_sheet_.Add();
    state_->Destination = rtf_ds_StyleSheetEntry;
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::PopState() {
  if (state_stack_.empty()) return rtf_ec_StackUnderflow;
  if (state_stack_.size() == 1) {
    UpdateMarker();
    if (OnEndParsing) OnEndParsing(this);
  }
  const TRDRTFReaderState& saved = *state_stack_.back();
  const TRDRTFDestination closing = state_->Destination;
  if (closing == rtf_ds_StyleSheetEntry && saved.Destination == rtf_ds_StyleSheet) {
    if (TRDRTFStyleSheetEntry* entry = style_sheet_.Last()) {
      entry->CharProps = state_->CharProps;
      entry->ParaProps = state_->ParaProps;
    }
  }
  TRDRTFErrorCode error = rtf_ec_OK;
  if (closing == rtf_ds_Normal) error = OutputChar(0, false);
  if (error == rtf_ec_OK && closing != saved.Destination) error = EndDestination(closing);
  if (error != rtf_ec_OK) return error;
  const TRDRTFHeaderFooterType hfType = state_->HFType;
  if (hfType != saved.HFType && (hfType == rtf_hf_Header || hfType == rtf_hf_Footer) &&
      OnHeaderFooter) {
    bool supported = true;
    OnHeaderFooter(this, hfType, false, supported);
  }
  // The numbering of \pnseclvl groups describes the section, not the group: it
  // outlives the group that sets it (\sectd resets it).
  auto levelMarkers = std::move(state_->SectProps.LevelMarkers);
  state_->CopyGroupStateFrom(saved);
  if (levelMarkers) state_->SectProps.LevelMarkers = std::move(levelMarkers);
  if (closing == rtf_ds_Pn && state_->Destination != rtf_ds_Pn && cur_marker_) {
    state_->ParaProps.Marker = std::move(cur_marker_);
    cur_marker_.reset();
  }
  state_stack_.pop_back();
  --depth_;
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::ChangeDestination(TRDRTFDestinationWord word) {
  using D = TRDRTFDestinationWord;
  if (state_->Destination == rtf_ds_Skip) return rtf_ec_OK;
  // A list text is its characters: a picture there would be reported before its paragraph.
  if (state_->Destination == rtf_ds_ListText) {
    SetDestination(rtf_ds_Skip);
    return rtf_ec_OK;
  }
  switch (word) {
    case D::ShpPict:
      shp_pict_inserted_ = false;
      SetDestination(rtf_ds_ShpPict);
      break;
    case D::NonShpPict:
      SetDestination(shp_pict_inserted_ ? rtf_ds_Skip : rtf_ds_Normal);
      break;
    case D::Pict:
      return StartPicture();
    case D::Skip:
      SetDestination(rtf_ds_Skip);
      break;
    case D::ListText:
      if (!ReadListText) {
        SetDestination(rtf_ds_Skip);
        break;
      }
      // A list text no paragraph text followed is not lost.
      if (list_text_chars_)
        if (const TRDRTFErrorCode error = PrepareOutput(); error != rtf_ec_OK) return error;
      SetDestination(rtf_ds_ListText);
      break;
    case D::FontTable:
      font_table_.Clear();
      SetDestination(rtf_ds_FontTable);
      break;
    case D::StyleSheet:
      style_sheet_.Clear();
      SetDestination(rtf_ds_StyleSheet);
      break;
    case D::ColorTable:
      color_table_.Clear();
      color_table_.AddAutomatic();
      SetDestination(rtf_ds_ColorTable);
      break;
    case D::Field:
    case D::FieldInst:
    case D::FieldResult:
      return StartFieldDestination(word);
    case D::NestTableProps:
      SetDestination(rtf_ds_Normal);
      break;
    case D::Header:
    case D::Footer:
      return StartHeaderFooter(word == D::Header ? rtf_hf_Header : rtf_hf_Footer);
    case D::PnTextAfter:
    case D::PnTextBefore:
    case D::Pn:
      StartMarkerDestination(word);
      break;
    case D::ListTable:
    case D::List:
    case D::ListName:
    case D::ListLevel:
    case D::LevelText:
    case D::LevelNumbers:
    case D::ListOverrideTable:
    case D::ListOverride:
    case D::LfoLevel:
      StartListDestination(word);
      break;
    case D::Object:
    case D::ObjData:
    case D::Result:
      StartObjectDestination(word);
      break;
  }
  return rtf_ec_OK;
}

bool TRDRTFReader::EnterInside(TRDRTFDestination required, TRDRTFDestination target) {
  const bool inside = state_->Destination == required;
  SetDestination(inside ? target : rtf_ds_Skip);
  return inside;
}

TRDRTFErrorCode TRDRTFReader::StartFieldDestination(TRDRTFDestinationWord word) {
  using D = TRDRTFDestinationWord;
  if (word == D::Field) {
    if (const TRDRTFErrorCode error = FlushPending(); error != rtf_ec_OK) return error;
    SetDestination(rtf_ds_Field);
  } else if (word == D::FieldInst) {
    if (EnterInside(rtf_ds_Field, rtf_ds_FieldInst)) {
      state_->FieldInstruction.clear();
      state_->FieldPicture.reset();
      state_->FieldSymbolWritten = false;
    }
  } else {
    EnterInside(rtf_ds_Field, state_->FieldSymbolWritten ? rtf_ds_Skip : rtf_ds_Normal);
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::StartHeaderFooter(TRDRTFHeaderFooterType type) {
  bool supported = false;
  if (OnHeaderFooter) {
    // Text of the main body still pending belongs before the header, not in it.
    if (const TRDRTFErrorCode error = FlushPending(); error != rtf_ec_OK) return error;
    OnHeaderFooter(this, type, true, supported);
  }
  SetDestination(supported ? rtf_ds_Normal : rtf_ds_Skip);
  if (supported) state_->HFType = type;
  return rtf_ec_OK;
}

void TRDRTFReader::StartMarkerDestination(TRDRTFDestinationWord word) {
  using D = TRDRTFDestinationWord;
  if (word == D::Pn) {
    cur_marker_.emplace();
    SetDestination(rtf_ds_Pn);
    return;
  }
  const TRDRTFDestination current = state_->Destination;
  if (current != rtf_ds_Pn && current != rtf_ds_PnSecLevel) {
    SetDestination(rtf_ds_Skip);
    return;
  }
  state_->MarkerTextForLevel = current == rtf_ds_PnSecLevel;
  SetDestination(word == D::PnTextAfter ? rtf_ds_PnTextAfter : rtf_ds_PnTextBefore);
  // The group's text replaces what the marker had, also what \pnlvl took from its level.
  if (TRDRTFMarkerProperties* marker = CurrentMarker())
    (word == D::PnTextAfter ? marker->TextAfter : marker->TextBefore).clear();
}

void TRDRTFReader::StartListDestination(TRDRTFDestinationWord word) {
  using D = TRDRTFDestinationWord;
  switch (word) {
    case D::ListTable:
      list_table_.Clear();
      SetDestination(rtf_ds_ListTable);
      break;
    case D::List:
      if (EnterInside(rtf_ds_ListTable, rtf_ds_List)) list_table_.Add();
      break;
    case D::ListName:
      EnterInside(rtf_ds_List, rtf_ds_ListName);
      break;
    case D::ListLevel:
      // A list table nested in a list has emptied the table: there may be no list.
      if (EnterInside(rtf_ds_List, rtf_ds_ListLevel)) {
        if (TRDRTFList97* list = list_table_.Last()) list->Levels.emplace_back();
      }
      break;
    case D::LevelText:
      EnterInside(rtf_ds_ListLevel, rtf_ds_LevelText);
      break;
    case D::LevelNumbers:
      EnterInside(rtf_ds_ListLevel, rtf_ds_LevelNumbers);
      break;
    case D::ListOverrideTable:
      list_override_table_.Clear();
      SetDestination(rtf_ds_ListOverrideTable);
      break;
    case D::ListOverride:
      if (EnterInside(rtf_ds_ListOverrideTable, rtf_ds_ListOverride)) list_override_table_.Add();
      break;
    case D::LfoLevel:
      if (EnterInside(rtf_ds_ListOverride, rtf_ds_LfoLevel)) {
        if (TRDRTFListOverride97* item = list_override_table_.Last()) item->Levels.emplace_back();
      }
      break;
    default:
      break;
  }
}

void TRDRTFReader::StartObjectDestination(TRDRTFDestinationWord word) {
  using D = TRDRTFDestinationWord;
  if (word == D::Object) {
    if (OnNewObject) {
      cur_object_ = std::make_unique<TRDRTFObject>();
      object_inserted_ = false;
      SetDestination(rtf_ds_Object);
    } else {
      SetDestination(rtf_ds_Normal);
    }
  } else if (word == D::ObjData) {
    if (EnterInside(rtf_ds_Object, rtf_ds_ObjData)) hex_high_nibble_ = true;
  } else {
    SetDestination(object_inserted_ ? rtf_ds_Skip : rtf_ds_Normal);
  }
}

TRDRTFErrorCode TRDRTFReader::EndDestination(TRDRTFDestination destination) {
  switch (destination) {
    case rtf_ds_FontTable:
      font_table_.CutCharsetSuffixes();
      break;
    case rtf_ds_Picture:
      return EndPicture();
    case rtf_ds_Object:
      cur_object_.reset();
      break;
    case rtf_ds_ObjData:
      return EndObjectData();
    case rtf_ds_Field:
      EndField();
      break;
    case rtf_ds_FieldInst:
      return EndFieldInstruction();
    case rtf_ds_LevelText:
      if (TRDRTFListLevel97* level = list_table_.LastLevel()) {
        CutCountedText(level->Text);
        CutCountedText(level->TextW);
      }
      break;
    case rtf_ds_LevelNumbers:
      if (TRDRTFListLevel97* level = list_table_.LastLevel()) CutCountedText(level->Numbers);
      break;
    case rtf_ds_ListText:
      TakeListTextBytes();
      list_text_chars_ = state_->CharProps;
      break;
    default:
      break;
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::OutputChar(int ch, bool sync) {
  if (sync)
    if (const TRDRTFErrorCode error = PrepareOutput(); error != rtf_ec_OK) return error;
  if (TabAsSeparateText && ch == kTab) {
    Flush();
    pending_text_ += char(kTab);
    return Flush();
  }
  if (ch != 0 && ch != kParagraphEnd && ch != kLineBreak) {
    if (!pending_unicode_.empty()) Flush();
    pending_text_ += char(ch);
    return rtf_ec_OK;
  }
  const TRDRTFPosition position = ch == kParagraphEnd ? rtf_ts_NewPara
                                  : ch == kLineBreak  ? rtf_ts_NewLine
                                                      : rtf_ts_ContinuePara;
  const TRDRTFErrorCode error = Flush();
  if (position != rtf_ts_ContinuePara) {
    next_position_ = position;
    row_ended_ = false;
  }
  return error;
}

TRDRTFErrorCode TRDRTFReader::FlushPending() {
  // Tables are synchronised for text about to be reported only: between \pard and
  // \intbl a paragraph is briefly outside any table, and a formatting word there
  // ("\pard\plain\intbl", as word processors begin every cell) must not end the table.
  if (pending_text_.empty() && pending_unicode_.empty() && !force_flush_) return rtf_ec_OK;
  return OutputChar(0, true);
}

TRDRTFErrorCode TRDRTFReader::ReportEmptyLine() {
  if (next_position_ == rtf_ts_ContinuePara || !pending_text_.empty() || !pending_unicode_.empty())
    return rtf_ec_OK;
  if (const TRDRTFErrorCode error = PrepareOutput(); error != rtf_ec_OK) return error;
  if (next_position_ == rtf_ts_ContinuePara) return rtf_ec_OK;  // the list text began it
  force_flush_ = true;
  const TRDRTFErrorCode error = Flush();
  force_flush_ = false;
  return error;
}

TRDRTFErrorCode TRDRTFReader::Flush() {
  const bool pending = !pending_text_.empty() || !pending_unicode_.empty();
  if (!pending && !force_flush_) return rtf_ec_OK;
  state_->ParaProps.Finalize();
  if (OnNewUnicodeText && !pending_unicode_.empty())
    OnNewUnicodeText(this, pending_unicode_, next_position_);
  else if (OnNewText)
    OnNewText(this, pending_text_, next_position_);
  pending_text_.clear();
  pending_unicode_.clear();
  // Text that follows reported text continues its paragraph, whichever of the two
  // pending texts it goes to.
  if (pending) {
    next_position_ = rtf_ts_ContinuePara;
    row_ended_ = false;
  }
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::OutputUnicode(char16_t code) {
  if (state_->Destination == rtf_ds_Normal) {
    if (const TRDRTFErrorCode error = PrepareOutput(); error != rtf_ec_OK) return error;
    if (OnNewUnicodeText) AppendUnicode(code);
  } else if (state_->Destination == rtf_ds_LevelText) {
    if (TRDRTFListLevel97* level = list_table_.LastLevel()) {
      if (level->TextW.empty())
        level->TextW =
            RawUnicodeToWideString(AnsiToRawUnicode(TRDCodePage(code_page_), level->Text));
      level->TextW += code;
      level->Text += RawUnicodeToAnsi(TRDCodePage(code_page_),
                                      WideStringToRawUnicode(std::u16string(1, code)));
    }
  }
  return rtf_ec_OK;
}

void TRDRTFReader::AppendUnicode(char16_t code) {
  if (!pending_text_.empty()) Flush();
  if (code != 0) pending_unicode_ += code;
}

const std::string& TRDRTFReader::FontNameAt(int index) const {
  static const std::string kNone;
  return index >= 0 && index < font_table_.Count() ? font_table_[index].Name : kNone;
}

void TRDRTFReader::TakeListTextBytes() {
  if (list_text_bytes_.empty()) return;
  list_text_ +=
      ExportedFontText(FontNameAt(state_->CharProps.FontIndex), int(code_page_), list_text_bytes_);
  list_text_bytes_.clear();
}

void TRDRTFReader::AppendListText(char16_t code) {
  TakeListTextBytes();
  list_text_ += ShownBulletText(FontNameAt(state_->CharProps.FontIndex), std::u16string(1, code));
}

TRDRTFErrorCode TRDRTFReader::OutputListCharacter(char16_t c) {
  if (c < u' ' && c != kTab) return rtf_ec_OK;  // breaks and flushes are the paragraph's
  if (OnNewUnicodeText && c != kTab) {
    AppendUnicode(c);
    return rtf_ec_OK;
  }
  const auto inCodePage = [this](char16_t code) {
    return RawUnicodeToAnsi(TRDCodePage(code_page_),
                            WideStringToRawUnicode(std::u16string(1, code)));
  };
  std::string bytes = inCodePage(c);
  // A symbol the code page lacks (a check mark, an arrow) is still a bullet.
  if (bytes == "?" && c != u'?') bytes = inCodePage(kBullet);
  for (const char b : bytes)
    if (b != 0)
      if (const TRDRTFErrorCode error = OutputChar(std::uint8_t(b), false); error != rtf_ec_OK)
        return error;
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::ReportListText() {
  if (!list_text_chars_) return rtf_ec_OK;
  TRDRTFCharProperties chars = std::move(*list_text_chars_);
  list_text_chars_.reset();
  const std::u16string text = std::exchange(list_text_, {});
  if (const TRDRTFErrorCode error = Flush(); error != rtf_ec_OK) return error;
  // The characters are those the picture font showed: they go in the paragraph's font.
  if (IsExportMappedFont(FontNameAt(chars.FontIndex)))
    chars.FontIndex = state_->CharProps.FontIndex;
  std::swap(state_->CharProps, chars);
  TRDRTFErrorCode error = rtf_ec_OK;
  for (const char16_t c : text)
    if (error == rtf_ec_OK) error = OutputListCharacter(c);
  if (error == rtf_ec_OK) error = Flush();
  std::swap(state_->CharProps, chars);
  return error;
}

TRDRTFErrorCode TRDRTFReader::PrepareOutput() {
  if (const TRDRTFErrorCode error = SyncTables(); error != rtf_ec_OK) return error;
  return ReportListText();
}

TRDRTFErrorCode TRDRTFReader::OutputUnicodeAsBytes(char16_t code) {
  const std::string bytes =
      RawUnicodeToAnsi(TRDCodePage(code_page_), WideStringToRawUnicode(std::u16string(1, code)));
  for (const char c : bytes)
    if (const TRDRTFErrorCode error = ParseChar(std::uint8_t(c)); error != rtf_ec_OK) return error;
  return rtf_ec_OK;
}

TRDRTFErrorCode TRDRTFReader::SyncTables() {
  const TRDRTFParaProperties& para = state_->ParaProps;
  // Tables nested deeper than we build flow into the deepest one we do: their text stays.
  const int wanted = para.InTable ? std::clamp(para.NestingLevel, 0, kMaxTableDepth) : 0;
  while (table_depth_ < wanted) {
    // A nested table's rows are defined after their cells (\nesttableprops): an alignment
    // given before it starts is the enclosing row's.
    if (table_depth_ > 0) row_alignment_set_ = false;
    FireTable(rdf_tbl_TableStart);
    row_alignment_set_ = false;
    ++table_depth_;
  }
  for (; table_depth_ > wanted; --table_depth_) FireTable(rdf_tbl_TableEnd);
  return rtf_ec_OK;
}

void TRDRTFReader::FireTable(TRDRTFTableEventKind kind) {
  UpdateMarker();
  if (OnTable) OnTable(this, kind);
}

void TRDRTFReader::UpdateMarker() {
  if (!OnUpdateMarker) return;
  if (state_->ParaProps.Marker) state_->ParaProps.Marker->TakeFontFrom(state_->CharProps);
  OnUpdateMarker(this);
}
