// An editor that is never shown, through which an editing operation of the editor is run
// on the content of one table cell at a time: the cell's items are moved in, the
// operation runs on them, and they go back. Its undo steps are recorded against the
// document that holds the table.
#pragma once

#include "richtext_edit/edit/rich_doc_edit.h"

class TRDTableTemporalEditorData : public TRDEditRDData {
 public:
  using TRDEditRDData::TRDEditRDData;
  // The data of the editor the temporary one works for.
  TRDEditRDData* ParentData = nullptr;
  TCustomRDData* GetAbsoluteParentData() override { return ParentData; }
  TCustomRDData* GetAbsoluteRootData() override {
    return ParentData ? ParentData->GetAbsoluteRootData() : nullptr;
  }
};

class TRDTableTemporalEditor : public TCustomRichDocEdit {
 public:
  // Hidden inside parent, with its style sheet, options and undo setting.
  explicit TRDTableTemporalEditor(TCustomRichDocEdit& parent);
  TRDTableTemporalEditorData& TemporalData() {
    return static_cast<TRDTableTemporalEditorData&>(RDData());
  }
  std::string ClassName() const override { return "TRDTableTemporalEditor"; }
};
