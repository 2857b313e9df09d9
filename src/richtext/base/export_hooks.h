// What the application may add to or take over in the documents the writers produce
// (RTF, HTML, plain text): hyperlink targets, extra RTF or HTML at fixed places, its own
// output of an item, and where a picture of an HTML export goes. The writers ask the
// hooks of the root document; a hook left empty leaves the default output.
#pragma once

#include <functional>
#include <string>

class TControl;
class TCustomRDData;
class TGraphic;

enum TRDSaveFormat { rdsfText, rdsfHTML, rdsfRTF };
enum TRDRTFSaveArea {
  rd_rtfs_TextStyle,
  rd_rtfs_ParaStyle,
  rd_rtfs_Cell,
  rd_rtfs_Row,
  rd_rtfs_Doc
};
enum TRDHTMLSaveArea { rd_thms_Head, rd_thms_BodyAttribute, rd_thms_Body, rd_thms_End };

struct TRDExportHooks {
  // The target of hyperlink id and extra attributes (HTML) or extra field text (RTF).
  std::function<void(int id, TRDSaveFormat format, std::string& target, std::string& extras)>
      OnWriteHyperlink;
  // Extra RTF for a text style, a paragraph style (index) or the document (index -1), and
  // for a table row (index -1, row) or cell (index the column, row); row is -1 elsewhere.
  std::function<std::string(TRDRTFSaveArea area, int index, int row)> OnSaveRTFExtra;
  std::function<std::string(TRDHTMLSaveArea area, bool css)> OnSaveHTMLExtra;
  // The application's own output of item itemNo of data; true when out holds it.
  std::function<bool(TCustomRDData* data, int itemNo, TRDSaveFormat format, bool unicode,
                     std::string& out)>
      OnSaveItemToFile;
  // What an export writes for a window control of the document (its HTML or RTF, or
  // its text in plain text; path is where the export goes); "" writes nothing.
  std::function<std::string(TCustomRDData* data, const TControl& control, TRDSaveFormat format,
                            const std::string& path)>
      OnSaveComponentToFile;
  // A picture to become a file of an HTML export: true when location names where the
  // application put it.
  std::function<bool(const TGraphic& graphic, const std::string& path, std::string& location)>
      OnHTMLSaveImage;
};
