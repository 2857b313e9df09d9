// Hyperlinks in an editor: inactive while editing (a click places the caret), active in
// hyperlink mode - read-only, or around writing a file, whose links are numbered by the
// jump list - when the links of the laid-out document are collected again in order.
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/edit_data.h"
#include "richtext_edit/edit/rich_doc_edit.h"

void TRDEditRDData::BuildJumpList() {
  Jumps.clear();
  JumpCount = 0;
  TRDStyle* style = GetRDStyle();
  if (!style) return;
  for (int d = 0; d < DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& line = *DrawItems[d];
    TCustomRDItemInfo* item = GetItem(line.ItemNo);
    if (item->DrawItemNo == d) item->BuildJumps(JumpCount);
    bool jump;
    TCursor cursor;
    if (item->StyleNo >= 0) {
      const TFontInfo& info = style->TextStyles()[GetActualStyle(*item)];
      jump = info.Jump && line.Length > 0;
      cursor = info.JumpCursor;
    } else {
      jump = item->QueryItemFlagEx(1, style);
      cursor = style->JumpCursor;
    }
    if (!jump) continue;
    if (item->DrawItemNo == d || d == 0 || DrawItems[d - 1]->ItemNo != line.ItemNo)
      item->JumpID = JumpCount++;
    Jumps.push_back(
        TRDJumpInfo{this, line.Left, line.Top, line.Width, line.Height, item->JumpID, d, cursor});
  }
}

bool TRDEditRDData::EditorReadOnly() const {
  const TCustomRichDocEdit* editor = Editor();
  return editor && editor->GetReadOnly();
}

void TRDEditRDData::EnterHyperlinkMode(bool force) {
  if (!force && EditorReadOnly()) return;
  SetFlags(GetFlags() | rdfCollectJumps);
  BuildJumpList();
  State &= ~rddsCaretJumpHighlighted;
  HighlightedJumpItem = -1;
  InvalidateControl();
}

void TRDEditRDData::LeaveHyperlinkMode() {
  if (EditorReadOnly() || !(GetFlags() & rdfCollectJumps)) return;
  SetFlags(GetFlags() & ~rdfCollectJumps);
  Jumps.clear();
  JumpCount = 0;
  JumpUnderMouse = -1;
  State &= ~rddsCaretJumpHighlighted;
  HighlightedJumpItem = -1;
  InvalidateControl();
}

bool TRDEditRDData::RunExport(const std::function<bool()>& write) {
  const bool switchable = GetFlags() & rdfSwitchableHyperlinks;
  if (switchable) EnterHyperlinkMode(false);
  struct TLeave {
    TRDEditRDData& data;
    bool active;
    ~TLeave() {
      if (active) data.LeaveHyperlinkMode();
    }
  } leave{*this, switchable};
  return write();
}
