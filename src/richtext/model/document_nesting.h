// Documents held in items of documents (cells of tables in cells of tables): how deep
// they lie and how deep they may. The readers refuse documents nested deeper and the
// editor makes none, so that what it saves reads back.
#pragma once

class TCustomRDData;
class TCustomRDItemInfo;

constexpr int kMaxDocumentNesting = 64;

// How many documents hold this one (0 for a root document).
int DocumentNestingLevel(TCustomRDData& data);
// How deep the documents the item holds go (0: none, 1: documents without such items).
int NestedDocumentDepth(const TCustomRDItemInfo& item);
