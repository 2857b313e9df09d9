#include "richtext_edit/tables/table_temporal_editor.h"

TRDTableTemporalEditor::TRDTableTemporalEditor(TCustomRichDocEdit& parent)
    : TCustomRichDocEdit(nullptr, [](TCustomRichDoc& doc) {
        return std::make_unique<TRDTableTemporalEditorData>(doc);
      }) {
  SetVisible(false);
  SetBorderStyle(bsNone);
  Options = parent.Options;
  EditorOptions = parent.EditorOptions;
  TRDTableTemporalEditorData& data = TemporalData();
  data.ParentData = &parent.EditData();
  TCustomRDData* root = data.GetAbsoluteRootData();
  data.UndoList = std::make_unique<TRDUndoList>(root);
  data.RedoList = std::make_unique<TRDRedoList>(root);
  data.UndoList->SetLimit(parent.UndoLimit() != 0 ? -1 : 0);
  SetStyle(parent.Style());
  SetBounds(0, 0, parent.Width(), parent.Height());
  SetParent(&parent);
}
