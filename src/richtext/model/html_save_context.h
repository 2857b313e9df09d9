// What one HTML write shares with the items that write themselves into it, and the
// saving of their pictures as files beside the document. The whole-document writers
// are html_writer.h.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "platform/gui/graphics/geometry.h"
#include "platform/text/code_pages.h"
#include "richtext/styles/html_routines.h"

class TCustomRDData;
class TGraphic;

// What one write shares with the items.
struct TRDHTMLSaveContext {
  std::string Path;  // the target folder, ending with '/'
  std::string ImagePrefix;
  int ImageCounter = 0;
  TRDSaveOptions SaveOptions = 0;
  // The page's code page (its encoding without rdsoUTF8): links are named in it.
  int CodePage = CP_ACP;
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

// The default picture saver: a new file path + prefix + counter + ".jpg" or ".bmp" (the
// counter advances past existing files), a JPEG picture saved as it is, anything else as
// a bitmap on backColor (white for clNone), converted to JPEG when asked. Returns the
// saved file's path (an absolute prefix stands alone, any other follows path). File
// errors propagate.
std::string SaveImageForHTML(const TGraphic& graphic, const std::string& path,
                             const std::string& imagePrefix, int& imageCounter, TColor backColor,
                             bool saveAsJPEG, bool overwrite);
