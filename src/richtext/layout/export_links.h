// The numbers of a document's links for the writers. Laying a document out numbers its
// links in reading order (a table's cells number theirs in the table's place); a
// document never laid out - read from a file and saved again - has them numbered the
// same way here, so that the link ids a writer hands out do not depend on whether the
// document was ever shown.
//
// Example: "a" (link), a table whose cell holds "b" (link), "c" (link): ids 0, 1, 2.
#pragma once

class TCustomRDData;
class TCustomRDItemInfo;

// The links of data's whole document numbered for the writes made while this lives: the
// outermost write numbers them (unless the root has been laid out: its numbers stand); a
// write inside it - a table cell written through a whole-document writer - finds them
// numbered, so that an export numbers its document once however many cells it has.
class TRDExportLinkNumbering {
 public:
  explicit TRDExportLinkNumbering(TCustomRDData& data);
  ~TRDExportLinkNumbering();
  TRDExportLinkNumbering(const TRDExportLinkNumbering&) = delete;
  TRDExportLinkNumbering& operator=(const TRDExportLinkNumbering&) = delete;

 private:
  const TCustomRDData* root_;
  bool outermost_;
};
// The id of item's link in the whole document, as a click on it reports it: its number
// in data moved by where data's links start in each document around it; -1 for an item
// whose link has no number (an empty text).
int ExportLinkId(TCustomRDData& data, const TCustomRDItemInfo& item);
