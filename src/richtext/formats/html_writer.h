// The HTML writers: a document as plain HTML (character formatting by the text styles'
// own tags) or as HTML with a style sheet (classes "rdts<n>" and "rdps<n>", or inline
// style attributes), optionally XHTML and UTF-8. Non-text items write their own HTML
// through TCustomRDItemInfo::SaveHTML with TRDHTMLSaveContext (html_save_context.h),
// which also saves their pictures as files beside the document.
//
// Names, titles, link targets and file names are escaped wherever they go into the
// output; in XHTML every attribute value is quoted.
//
// Example: a paragraph "a<b" of a default sheet, plain, body only (rdsoBodyOnly):
//   <font size=2 color="#000000" face="Arial"><div>a&lt;b</div></font>
#pragma once

#include <string>

#include "platform/gui/graphics/geometry.h"
#include "richtext/model/html_save_context.h"
#include "richtext/styles/html_routines.h"
#include "richtext/styles/rd_background.h"

class TCustomRDData;
class TGraphic;
class TStream;

struct TRDHTMLSaveParams {
  std::string Path;  // the target folder for pictures, ending with '/'
  std::string ImagePrefix = "img";
  std::string Title;
  TRDSaveOptions Options = 0;
  TColor PageColor = clNone;
  int LeftMargin = 0;
  int TopMargin = 0;
  int RightMargin = 0;
  int BottomMargin = 0;
  TBackgroundStyle BackgroundStyle = bsNoBitmap;
  const TGraphic* BackgroundPicture = nullptr;
  // The CSS variant only: a style-sheet file to link instead of the inline sheet, and
  // CSS to add to the inline sheet.
  std::string ExternalCSS;
  std::string ExtraCSS;
};

// The document (or its selection) as HTML, plain or with CSS, written inside the
// document's export run (TCustomRDData::RunExport); false, and nothing written, without
// a style sheet.
bool SaveHTMLToStream(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params);
bool SaveHTMLExToStream(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params);
