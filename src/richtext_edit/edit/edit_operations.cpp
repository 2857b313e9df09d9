// The editor's public editing operations: inserting text, items, pictures and documents
// and changing an item's property, each through the editing protocol. Most of them work
// in the innermost editor (the cell editor of a table being edited); the work itself is
// the editable data's.
#include <utility>

#include "platform/gui/graphics/bitmap.h"
#include "richtext/base/code_pages.h"
#include "richtext/base/text_routines.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/tab_item.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/rich_doc_edit.h"

bool TCustomRichDocEdit::RunInsertion(const std::function<bool(TRDEditRDData&)>& insert,
                                      const std::function<void()>& afterDelete) {
  TRDEditRDData& data = EditData();
  if (!BeforeChange(false)) return false;
  data.EnsureNotEmpty();
  int itemNo, offset;
  data.GetCurrentItemPosition(true, itemNo, offset);
  if (itemNo < 0 || (!data.HasSelection() && !data.CanInsertAt(itemNo, offset))) {
    data.Beep();
    return false;
  }
  data.BeginUndoStep(rdutInsert, true);
  data.SetUndoGroupMode(true);
  bool inserted = false;
  try {
    const int textStyle = data.CurTextStyleNo;
    if (data.DeleteSelectionWithUndo()) {
      SetCurTextStyleNo(textStyle);
      if (afterDelete) afterDelete();
      inserted = insert(data);
    }
  } catch (...) {
    data.SetUndoGroupMode(false);
    throw;
  }
  data.SetUndoGroupMode(false);
  data.UndoList->DropEmptyLastStep();
  Invalidate();
  if (inserted) Change(true);
  return inserted;
}

bool TCustomRichDocEdit::InsertStringTag(const std::string& s, const TRDTag& Tag) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertStringTag(s, Tag);
  return RunInsertion([&](TRDEditRDData& data) {
    const int styleNo = data.CurTextStyleNo;
    std::string text = s;
    if (const TRDStyle* style = Style(); style && style->SpacesInTab > 0) {
      const std::string spaces(std::size_t(style->SpacesInTab), ' ');
      for (std::size_t at = text.find('\t'); at != std::string::npos;
           at = text.find('\t', at + spaces.size()))
        text.replace(at, 1, spaces);
    }
    auto item = data.CreateTextItem(styleNo, data.CurParaStyleNo, false, false,
                                    CopyItemTag(Tag, data.TagsArePChars()));
    if (IsUnicodeItem(item->ItemOptions))
      text = AnsiToRawUnicode(data.GetStyleCodePage(data.GetCurrentTextStyleNo()), text);
    return data.InsertItemAtCaret(std::move(item), text, false, false);
  });
}

bool TCustomRichDocEdit::InsertTab() {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->InsertTab();
  return RunInsertion([&](TRDEditRDData& data) {
    auto tab = CreateRDItem(rdsTab, &data);
    tab->SetAssociatedTextStyleNo(data.CurTextStyleNo);
    tab->ParaNo = data.CurParaStyleNo;
    return data.InsertItemAtCaret(std::move(tab), "", false, false);
  });
}

bool TCustomRichDocEdit::InsertPicture(const std::string& Name, std::unique_ptr<TGraphic> Graphic,
                                       TRDVAlign VAlign) {
  if (TCustomRichDocEdit* inner = InplaceEditor())
    return inner->InsertPicture(Name, std::move(Graphic), VAlign);
  return RunInsertion([&](TRDEditRDData& data) {
    auto picture = TRDGraphicItemInfo::CreateWithGraphic(&data, std::move(Graphic), VAlign);
    picture->ParaNo = data.CurParaStyleNo;
    return data.InsertItemAtCaret(std::move(picture), Name, false, false);
  });
}

bool TCustomRichDocEdit::ChangeItemExtraIntProperty(int ItemNo, TRDExtraItemProperty Prop,
                                                    int Value, bool AutoReformat) {
  TRDEditRDData& data = EditData();
  if (ItemNo < 0 || ItemNo >= data.GetItemCount()) return false;
  int old;
  if (!data.GetItem(ItemNo)->GetExtraIntProperty(Prop, old) || old == Value) return false;
  if (!BeforeChange(false)) return false;
  const int oldWidth = AutoReformat ? data.GetLinesMinWidth(ItemNo, ItemNo) : 0;
  data.BeginUndoStep(rdutModifyItem, true);
  data.SetExtraIntPropertyWithUndo(ItemNo, Prop, Value);
  if (AutoReformat) {
    data.ReformatItemLine(ItemNo, oldWidth);
    Change(true);
  }
  return true;
}
