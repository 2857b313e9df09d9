#include "richtext_edit/tables/table_cell.h"

#include <algorithm>
#include <cstring>

#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"
#include "richtext/base/graphic_classes.h"
#include "richtext/base/item_text.h"
#include "richtext/base/rich_doc_error.h"
#include "richtext/base/style_types.h"
#include "richtext/formats/rdf_reader.h"
#include "richtext/formats/rdf_writer.h"
#include "richtext/model/document_nesting.h"
#include "richtext/styles/graphic_streams.h"
#include "richtext/styles/para_style.h"
#include "richtext/styles/rd_style.h"
#include "richtext/styles/text_measure.h"
#include "richtext_edit/tables/table_inplace_edit.h"
#include "richtext_edit/tables/table_item.h"

namespace {

// What a cell's own document file leaves out: the style sheet, the background, the
// layout and the document properties belong to the document that holds the table.
constexpr TRDFOptions kDocumentWideRDF = rdfoSaveTextStyles | rdfoSaveParaStyles | rdfoSaveBack |
                                         rdfoLoadBack | rdfoSaveLayout | rdfoLoadLayout |
                                         rdfoSaveDocProperties | rdfoLoadDocProperties;

// A cell's content is written inside its table's block, which a text file holds as hex
// already: binary inside it, so that each table nested in a cell costs what it holds
// rather than a second hex encoding of everything inside it.
constexpr TRDFOptions kCellContentRDF = rdfoSaveBinary;

// A cell's content may hold tables whose cells hold tables: a file could nest them deep
// enough to exhaust the stack, so nesting deeper than a document may hold is a read error.
thread_local int cell_read_depth = 0;

std::uint32_t GetUInt32(const std::string& bytes, size_t& pos) {
  if (bytes.size() - pos < 4) throw EReadError("Invalid background picture");
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t(std::uint8_t(bytes[pos + size_t(i)])) << (8 * i);
  pos += 4;
  return v;
}

void PutUInt32(std::string& bytes, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes += char(std::uint8_t(v >> (8 * i)));
}

// The widest unbreakable piece of the content: a word of a wrapping paragraph, a whole
// line of a no-wrap paragraph, a non-text item; with the paragraph's indents.
int ContentMinWidth(TCustomRDData& content, const TRDResolution* resolution, TRDCanvas& canvas) {
  TRDStyle* style = content.GetRDStyle();
  if (!style) return 0;
  TRDResolution screen;
  const TRDResolution& scaling = resolution ? *resolution : screen;
  int widest = 0, line = 0, applied = -1;
  for (int i = 0; i < content.GetItemCount(); ++i) {
    const TCustomRDItemInfo& item = *content.GetItem(i);
    const TParaInfo& para = style->ParaStyles()[item.ParaNo];
    const bool noWrap = (para.Options & rdpaoNoWrap) != 0;
    const int indents = ScreenToDeviceX(
        para.LeftIndent + para.RightIndent + std::max(0, para.FirstIndent), scaling);
    if (content.IsItemLineStart(i)) line = 0;
    int width = 0;
    if (item.StyleNo < 0) {
      width = item.GetMinWidth(resolution, &content);
    } else {
      const int styleNo = content.GetActualStyle(item);
      if (styleNo != applied) {
        style->ApplyStyle(canvas, styleNo, rdbdUnspecified, false);
        applied = styleNo;
      }
      const std::string& text = content.GetItemTextRaw(i);
      if (noWrap) {
        width = GetItemTextWidth(text, canvas, item.ItemOptions);
      } else {
        const int length = GetItemTextLength(text, item.ItemOptions);
        int start = 1;
        for (int k = 1; k <= length + 1; ++k) {
          if (k <= length && !IsItemTextSpace(text, k, item.ItemOptions)) continue;
          if (k > start)
            width = std::max(
                width, GetItemTextWidth(CopyItemText(text, start, k - start, item.ItemOptions),
                                        canvas, item.ItemOptions));
          start = k + 1;
        }
      }
    }
    line = noWrap ? line + width : std::max(line, width);
    widest = std::max(widest, line + indents);
  }
  return widest;
}

}  // namespace

TRDTableCellData::TRDTableCellData(TRDTableRow* row) : row_(row) {
  SetFlags(GetFlags() & ~rdfRoot);
  // Its markers count in the document that holds the table; a cell on its own numbers
  // nothing.
  SetKeepsMarkerList(false);
  AddText("", 0, 0);
}

TRDTableCellData::~TRDTableCellData() {
  Clear();
}

TRDTableItemInfo* TRDTableCellData::GetTable() const {
  if (UndoOwner || !row_ || !row_->Rows) return nullptr;
  return row_->Rows->Table;
}

int TRDTableCellData::Left() const {
  const TRDTableItemInfo* table = GetTable();
  return table ? table->CellLeft(row_->IndexOf(this)) : 0;
}

TCustomRDData* TRDTableCellData::TableDocument() const {
  if (UndoOwner) return UndoOwnerData;
  const TRDTableItemInfo* table = GetTable();
  return table ? table->GetDocument() : nullptr;
}

const TGraphic* TRDTableCellData::GetBackgroundImage() const {
  return background_ ? background_->GetBitmap() : nullptr;
}

void TRDTableCellData::SetBackgroundImage(const TGraphic* picture) {
  SetOptionalBackgroundImage(background_, picture);
}

TRDItemBackgroundStyle TRDTableCellData::GetBackgroundStyle() const {
  return background_ ? background_->GetItemBackgroundStyle() : rdbsColor;
}

void TRDTableCellData::SetBackgroundStyle(TRDItemBackgroundStyle value) {
  SetOptionalBackgroundStyle(background_, value);
}

int TRDTableCellData::GetCellHeight(bool useBestHeight) const {
  if (useBestHeight && BestHeight != 0) return std::max(BestHeight, 0);
  return std::max(EditedHeight >= 0 ? EditedHeight : DocumentHeight, BestHeight);
}

int TRDTableCellData::GetMinWidth(const TRDResolution* resolution, TRDCanvas& canvas) {
  // Measured on what the cell shows: while it is being edited the table is laid out as it
  // will be once the editor closes.
  TCustomRDData& content = Content();
  if (content.GetItemCount() == 0) return 0;
  if (content.GetItemCount() == 1 && content.GetItem(0)->StyleNo >= 0 &&
      content.GetItemTextRaw(0).empty()) {
    const TRDStyle* style = GetRDStyle();
    if (!style) return 0;
    const TParaInfo& para = style->ParaStyles()[content.GetItem(0)->ParaNo];
    const int indents = para.LeftIndent + para.RightIndent + para.FirstIndent;
    return resolution ? ScreenToDeviceX(indents, *resolution) : indents;
  }
  const int width = ContentMinWidth(content, resolution, canvas);
  return width == 0 ? 10 : width;
}

bool TRDTableCellData::HasData(bool strictEmpty) const {
  const TCustomRDData& content = Content();
  const int count = content.GetItemCount();
  if (count == 0) return false;
  if (count >= 2) return true;
  const TCustomRDItemInfo& item = *content.GetItem(0);
  if (item.StyleNo < 0 || !content.GetItemTextRaw(0).empty()) return true;
  if (!strictEmpty) return false;
  return item.StyleNo != 0 || item.ParaNo != 0;
}

bool TRDTableCellData::IsPlain() const {
  return Color == clNone && BorderColor == clNone && BorderLightColor == clNone && BestWidth == 0 &&
         BestHeight == 0 && VisibleBorders.IsAllEqualTo(true) && VAlign == rdcVDefault &&
         !background_ && BackgroundImageFileName.empty() && Hint.empty() && RowSpan == 1 &&
         ColSpan == 1 && !HasData(true);
}

void TRDTableCellData::AssignAttributesFrom(const TRDTableCellData& source, bool divideSizes,
                                            int rowDivisor, int colDivisor) {
  Color = source.Color;
  BorderColor = source.BorderColor;
  BorderLightColor = source.BorderLightColor;
  VisibleBorders = source.VisibleBorders;
  VAlign = source.VAlign;
  SetBackgroundImage(source.GetBackgroundImage());
  SetBackgroundStyle(source.GetBackgroundStyle());
  BackgroundImageFileName = source.BackgroundImageFileName;
  Hint = source.Hint;
  if (divideSizes) {
    BestWidth = source.BestWidth / std::max(colDivisor, 1);
    BestHeight = source.BestHeight / std::max(rowDivisor, 1);
  }
}

void TRDTableCellData::ClampSizes() {
  BestWidth = ClampToPage(BestWidth);
  BestHeight = ClampToPage(BestHeight);
}

void TRDTableCellData::AssignSizeFrom(const TRDTableCellData& source) {
  Top = source.Top;
  Width = source.Width;
  Height = source.Height;
}

void TRDTableCellData::MovingToUndoList(const void* undoOwner, TCustomRDData* ownerData) {
  // The owner first: a cell already taken out of its row still reaches the document
  // through it, so its markers leave the document's list now and the numbers after them
  // close up, not only when the undo list frees the cell.
  UndoOwner = undoOwner;
  // The document that owns the undo lists, which outlives them: a cell editor's data,
  // which records a nested table's changes, may be gone before the record holding the cell.
  UndoOwnerData = ownerData ? ownerData->GetAbsoluteRootData() : nullptr;
  row_ = nullptr;
  for (int i = 0; i < GetItemCount(); ++i) GetItem(i)->MovingToUndoList(i, this);
}

void TRDTableCellData::MovingFromUndoList() {
  UndoOwner = nullptr;
  UndoOwnerData = nullptr;
  for (int i = 0; i < GetItemCount(); ++i) GetItem(i)->MovingFromUndoList(i, this);
}

TRDCellVAlign TRDTableCellData::GetRealVAlign() const {
  if (VAlign != rdcVDefault) return VAlign;
  if (row_ && row_->VAlign != rdcVDefault) return row_->VAlign;
  return rdcMiddle;
}

int TRDTableCellData::GetExtraVOffs() const {
  const TRDTableItemInfo* table = GetTable();
  const int padding = table ? table->ScaleY(table->CellPadding()) : 0;
  switch (GetRealVAlign()) {
    case rdcMiddle:
      return (Height - DocumentHeight) / 2 - padding;
    case rdcBottom:
      return Height - DocumentHeight - 2 * padding;
    default:
      return 0;
  }
}

// --- the cell's stream ------------------------------------------------------------------------

std::string BackgroundImageToBytes(const TGraphic& picture) {
  const std::string className = GraphicClassName(picture);
  TMemoryStream saved;
  WriteSizedGraphic(saved, picture);
  std::string bytes;
  PutUInt32(bytes, std::uint32_t(className.size()));
  bytes += className;
  bytes.append(static_cast<const char*>(saved.Memory()), size_t(saved.Size()));
  return bytes;
}

std::unique_ptr<TGraphic> BackgroundImageFromBytes(const std::string& bytes) {
  size_t pos = 0;
  const std::uint32_t nameLength = GetUInt32(bytes, pos);
  if (nameLength > 255 || nameLength > bytes.size() - pos)
    throw EReadError("Invalid background picture");
  const std::string className = bytes.substr(pos, nameLength);
  pos += nameLength;
  const std::uint32_t size = GetUInt32(bytes, pos);
  if (size != bytes.size() - pos) throw EReadError("Invalid background picture");
  TRDGraphicClass graphicClass = FindGraphicClass(className);
  if (!graphicClass) throw EReadError("Class " + className + " not found");
  std::unique_ptr<TGraphic> picture = RDCreateGraphicProc(graphicClass);
  if (!picture) throw EReadError("Invalid background picture");
  try {
    LoadGraphicFromString(std::string_view(bytes).substr(pos), *picture);
  } catch (const Exception& e) {
    throw EReadError(std::string("Invalid background picture: ") + e.what());
  }
  return picture;
}

void TRDTableCellData::WriteBackgroundImg(std::string& bytes) const {
  const TGraphic* picture = GetBackgroundImage();
  bytes = picture && !picture->Empty() ? BackgroundImageToBytes(*picture) : std::string();
}

void TRDTableCellData::ReadBackgroundImg(const std::string& bytes) {
  std::unique_ptr<TGraphic> picture = BackgroundImageFromBytes(bytes);
  SetBackgroundImage(picture.get());
}

void TRDTableCellData::DefineProperties(TRDPropertyFiler& filer) {
  filer.Integer("Color", Color, clNone);
  filer.Integer("BorderColor", BorderColor, clNone);
  filer.Integer("BorderLightColor", BorderLightColor, clNone);
  filer.Length("BestWidth", BestWidth, 0);
  filer.Length("BestHeight", BestHeight, 0);
  filer.Nested("VisibleBorders", [this](TRDPropertyFiler& sides) {
    sides.Boolean("Left", VisibleBorders.Left, true);
    sides.Boolean("Top", VisibleBorders.Top, true);
    sides.Boolean("Right", VisibleBorders.Right, true);
    sides.Boolean("Bottom", VisibleBorders.Bottom, true);
  });
  filer.Ranged("VAlign", VAlign, rdcVDefault, rdcTop, rdcVDefault);
  TRDItemBackgroundStyle style = GetBackgroundStyle();
  filer.Ranged("BackgroundStyle", style, rdbsColor, rdbsColor, rdbsCentered);
  if (filer.Reading() && style != GetBackgroundStyle()) SetBackgroundStyle(style);
  filer.String("BackgroundImageFileName", BackgroundImageFileName, "");
  filer.String("Hint", Hint, "");
  filer.DefineData(
      "Data", !SaveEmpty && HasData(true),
      [this](TRDValueWriter& writer) {
        TMemoryStream content;
        SaveRDFToStream(Content(), content, false);
        writer.WriteString(
            std::string_view(static_cast<const char*>(content.Memory()), size_t(content.Size())));
      },
      [this](TRDValueReader& reader) {
        const std::string bytes = reader.ReadString();
        if (cell_read_depth >= kMaxDocumentNesting) throw EReadError("Tables nested too deeply");
        TMemoryStream content;
        if (!bytes.empty()) content.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        content.SetPosition(0);
        ++cell_read_depth;
        bool ok = false;
        try {
          ok = LoadRDFFromStream(*this, content);
        } catch (...) {
          --cell_read_depth;
          throw;
        }
        --cell_read_depth;
        if (GetItemCount() == 0) AddText("", 0, 0);
        if (!ok) throw EReadError("Invalid cell content");
      });
  std::string picture;
  if (!filer.Reading()) WriteBackgroundImg(picture);
  filer.Binary("BackgroundImg", picture);
  if (filer.Reading() && !picture.empty()) ReadBackgroundImg(picture);
}

const TRDPropertyTable& TRDTableCellData::GetPropertyTable() const {
  using T = TRDTableCellData;
  static const TRDPropertyTable table =
      TRDPropertyTable()
          .AddInt<T>(
              "Color", [](const T& c) { return c.Color; }, [](T& c, int v) { c.Color = v; })
          .AddInt<T>(
              "BorderColor", [](const T& c) { return c.BorderColor; },
              [](T& c, int v) { c.BorderColor = v; })
          .AddInt<T>(
              "BorderLightColor", [](const T& c) { return c.BorderLightColor; },
              [](T& c, int v) { c.BorderLightColor = v; })
          .AddInt<T>(
              "BestWidth", [](const T& c) { return c.BestWidth; },
              [](T& c, int v) { c.BestWidth = ClampToPage(v); })
          .AddInt<T>(
              "BestHeight", [](const T& c) { return c.BestHeight; },
              [](T& c, int v) { c.BestHeight = ClampToPage(v); })
          .AddInt<T>(
              "VAlign", [](const T& c) { return int(c.VAlign); },
              [](T& c, int v) { c.VAlign = TRDCellVAlign(std::clamp(v, 0, 3)); })
          .AddInt<T>(
              "BackgroundStyle", [](const T& c) { return int(c.GetBackgroundStyle()); },
              [](T& c, int v) {
                c.SetBackgroundStyle(TRDItemBackgroundStyle(std::clamp(v, 0, 3)));
              })
          .AddStr<T>(
              "BackgroundImageFileName", [](const T& c) { return c.BackgroundImageFileName; },
              [](T& c, const std::string& v) { c.BackgroundImageFileName = v; })
          .AddStr<T>(
              "Hint", [](const T& c) { return c.Hint; },
              [](T& c, const std::string& v) { c.Hint = v; });
  return table;
}

// --- document answers -------------------------------------------------------------------------

TRDOptions TRDTableCellData::GetOptions() const {
  const TCustomRDData* document = TableDocument();
  const TRDOptions options = document
                                 ? const_cast<TCustomRDData*>(document)->GetRootData()->GetOptions()
                                 : TCustomRDFormattedData::GetOptions();
  return options & ~rdoClientTextWidth;
}

TRDFOptions TRDTableCellData::GetRDFOptions() const {
  const TCustomRDData* document = TableDocument();
  const TRDFOptions options =
      document ? document->GetRDFOptions() : TCustomRDFormattedData::GetRDFOptions();
  return (options & ~kDocumentWideRDF) | kCellContentRDF;
}

TRDStyle* TRDTableCellData::GetRDStyle() const {
  const TCustomRDData* document = TableDocument();
  return document ? document->GetRDStyle() : TCustomRDFormattedData::GetRDStyle();
}

TCustomRDData* TRDTableCellData::GetParentData() {
  return TableDocument();
}

TCustomRDData* TRDTableCellData::GetRootData() {
  TCustomRDData* document = TableDocument();
  return document ? document->GetRootData() : this;
}

TCustomRDData* TRDTableCellData::GetAbsoluteParentData() {
  return TableDocument();
}

TCustomRDData* TRDTableCellData::GetAbsoluteRootData() {
  TCustomRDData* document = TableDocument();
  return document ? document->GetAbsoluteRootData() : this;
}

TCustomRDData* TRDTableCellData::GetInplaceEditorData() {
  const TRDTableItemInfo* table = GetTable();
  TRDTableInplaceEdit* editor = table ? table->InplaceEditor : nullptr;
  if (!editor) return this;
  auto& data = static_cast<TRDTableInplaceRDData&>(editor->EditData());
  return data.Cell == this ? static_cast<TCustomRDData*>(&data) : this;
}

TRDScroller* TRDTableCellData::GetInplaceEditor() {
  return GetInplaceEditorData() != this ? GetTable()->InplaceEditor : nullptr;
}

void TRDTableCellData::DestroyInplaceEditor() {
  if (GetInplaceEditorData() != this) GetTable()->DestroyInplaceEditor(true);
}

TCustomRDData* TRDTableCellData::StartEditing() {
  TRDTableItemInfo* table = GetTable();
  int row, col;
  if (GetInplaceEditorData() == this && table && table->GetCellPosition(*this, row, col))
    table->EditCell(row, col, false);
  return GetInplaceEditorData();
}

int TRDTableCellData::GetParentItemNo() const {
  const TRDTableItemInfo* table = GetTable();
  return table ? table->GetMyItemNo() : -1;
}

void TRDTableCellData::DoItemAction(TRDItemAction action, TCustomRDItemInfo* item,
                                    std::string& text, TCustomRDData* rdData) {
  if (TCustomRDData* document = TableDocument()) document->DoItemAction(action, item, text, rdData);
}

void TRDTableCellData::DoJump(int jumpNo) {
  if (TCustomRDData* document = TableDocument()) document->DoJump(document->FirstJumpNo + jumpNo);
}

void TRDTableCellData::DoJumpHover(int jumpNo) {
  if (auto* document = dynamic_cast<TCustomRDFormattedData*>(TableDocument()))
    document->DoJumpHover(jumpNo < 0 ? -1 : document->FirstJumpNo + jumpNo);
}

bool TRDTableCellData::CanStartDrag() const {
  const auto* document = dynamic_cast<const TCustomRDFormattedData*>(TableDocument());
  return document && document->CanStartDrag();
}

void TRDTableCellData::RequestDrag() {
  if (auto* document = dynamic_cast<TCustomRDFormattedData*>(TableDocument()))
    document->RequestDrag();
}

std::string TRDTableCellData::DoItemHint(TCustomRDData* rdData, int itemNo) {
  TCustomRDData* document = TableDocument();
  return document ? document->DoItemHint(rdData, itemNo) : std::string();
}

std::unique_ptr<TGraphic> TRDTableCellData::DoRDFPictureNeeded(const std::string& name,
                                                               const TRDTag& tag) {
  TCustomRDData* document = TableDocument();
  return document ? document->DoRDFPictureNeeded(name, tag) : nullptr;
}

int TRDTableCellData::GetWidth() const {
  const TRDTableItemInfo* table = GetTable();
  const int padding = table ? table->ScaleX(table->CellPadding()) : 0;
  return std::max(0, Width - 2 * padding);
}

int TRDTableCellData::GetHeight() const {
  const TRDTableItemInfo* table = GetTable();
  const int padding = table ? table->ScaleY(table->CellPadding()) : 0;
  return std::max(0, Height - 2 * padding);
}

TColor TRDTableCellData::GetBackgroundColor() const {
  const TRDTableItemInfo* table = GetTable();
  return table ? table->GetCellColor(*this) : Color;
}

TRDCanvas& TRDTableCellData::GetCanvas() {
  if (auto* document = dynamic_cast<TCustomRDFormattedData*>(TableDocument()))
    return document->GetCanvas();
  throw ERichDocError("The cell is not shown by any document");
}
