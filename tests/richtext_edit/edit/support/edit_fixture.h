// An editor on a style sheet with a few text and paragraph styles, and the document
// described item by item, so that two states can be compared whole.
#pragma once

#include <set>
#include <string>

#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/rich_doc_edit.h"

// Text styles beyond the sheet's defaults: a Unicode one and a protected one.
struct TEditFixture {
  TEditFixture();
  TRDStyle style;
  TRichDocEdit edit{nullptr};
  TRDEditRDData& data;
  int unicodeStyle = -1;
  int protectedStyle = -1;  // modify- and delete-protected
  int readOnlyPara = -1;

  // A paragraph of text items, each "text@style"; the first starts the paragraph.
  void AddPara(std::initializer_list<std::pair<std::string, int>> items, int paraNo = 0);
  void AddItem(int styleNo, const std::string& text, bool continuesPara, int paraNo = 0);
  void Format() { edit.FormatDocument(); }
  // Opens a step and lets the data record into it.
  void Begin(TRDUndoType kind = rdutInsert) { data.BeginUndoStep(kind, false); }
};

// Every item with its class, styles, flags, tag, hint, text and checkpoint, one line each,
// then the checkpoint after the last item and the checkpoint chain in order.
std::string DescribeDocument(const TRDEditRDData& data);
// The draw items: item, characters, rectangle.
std::string DescribeLayout(const TRDEditRDData& data);

// The items in short: "[text]" for text, "<style>" for others, " | " before a paragraph,
// " / " before a line break, " " between items of a line.
std::string Texts(const TRDEditRDData& data);
// The words of the document's text items that live spelling marked.
std::multiset<std::string> MarkedWords(const TCustomRDData& data);
// Lets the viewer's spelling worker check everything left.
void CheckSpelling(TCustomRichDoc& doc);
// Selects, with the caret at the selection's end.
void Select(TEditFixture& f, int startNo, int startOffs, int endNo, int endOffs);
// The edit undone gives the document before it, item by item, and redone the one after.
void ExpectUndoRedo(TEditFixture& f, const std::string& before);
