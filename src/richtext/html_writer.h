// The HTML writers: a document as plain HTML (character formatting by the text styles'
// own tags) or as HTML with a style sheet (classes "rdts<n>" and "rdps<n>", or inline
// style attributes), optionally XHTML and UTF-8. Non-text items write their own HTML
// through TCustomRDItemInfo::SaveHTML with TRDHTMLSaveContext, which also saves their
// pictures as files beside the document.
//
// Names, titles, link targets and file names are escaped wherever they go into the
// output; in XHTML every attribute value is quoted.
//
// Example: a paragraph "a<b" of a default sheet, plain, body only (rdsoBodyOnly):
//   <font size=2 color="#000000" face="Arial"><div>a&lt;b</div></font>
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/gui/geometry.h"
#include "richtext/html_routines.h"
#include "richtext/rd_background.h"

class TCustomRDData;
class TGraphic;
class TStream;

// What one write shares with the items.
struct TRDHTMLSaveContext {
  std::string Path;  // the target folder, ending with '/'
  std::string ImagePrefix;
  int ImageCounter = 0;
  TRDSaveOptions SaveOptions = 0;
  bool UseCSS = false;
  TColor BackColor = clNone;  // the page colour, behind pictures saved as bitmaps
  bool OverwriteImages = false;
  // Pictures shown by several items already saved in this export: by list and index for
  // image lists, by picture and -1 for pictures.
  std::map<std::pair<const void*, int>, std::string> SavedListImages;

  // A picture as a file of the export, offered to the application first; the result is
  // its location for an src attribute (see SaveImageForHTML).
  std::string SaveImage(TCustomRDData& data, const TGraphic& graphic, bool saveAsJPEG);
};

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

// False, and nothing written, without a style sheet.
bool SaveHTML(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params);
bool SaveHTMLEx(TCustomRDData& data, TStream& stream, const TRDHTMLSaveParams& params);

// The default picture saver: a new file path + prefix + counter + ".jpg" or ".bmp" (the
// counter advances past existing files), a JPEG picture saved as it is, anything else as
// a bitmap on backColor (white for clNone), converted to JPEG when asked. Returns the
// directory of path followed by the file's name. File errors propagate.
std::string SaveImageForHTML(const TGraphic& graphic, const std::string& path,
                             const std::string& imagePrefix, int& imageCounter, TColor backColor,
                             bool saveAsJPEG, bool overwrite);
