// The img elements that pictures, image-list pictures and list markers write into HTML
// exports, and the attributes they share. Texts from the document (alternative text,
// hints, file locations) are escaped, and in XHTML every value is quoted.
//
// Example: a 16 x 16 image-list picture with the alternative text "a<b", saved as
// img1.bmp, with the image-size save option:
//   <img width=16 height=16 alt="a&lt;b" src="img1.bmp">
#pragma once

#include <string>
#include <vector>

#include "richtext/model/html_save_context.h"

class TCustomRDData;
class TGraphic;
class TImageList;

// alt="text", title="text": escaped, and converted to UTF-8 for UTF-8 output.
std::string HTMLAltAttr(const std::string& alt, TCustomRDData& data,
                        const TRDHTMLSaveContext& context);
std::string HTMLTitleAttr(const std::string& hint, TCustomRDData& data,
                          const TRDHTMLSaveContext& context);
// "width=W height=H".
std::string HTMLSizeAttrs(int width, int height, const TRDHTMLSaveContext& context);
// "hspace=S vspace=S" for an item with spacing, else "".
std::string HTMLSpacingAttrs(int spacing, const TRDHTMLSaveContext& context);
// "border=0" with the save option for pictures without borders, else "".
std::string HTMLNoBorderAttr(const TRDHTMLSaveContext& context);
// A picture's own file named in an export to folder: relative to the folder when it lies
// inside it, else as it is.
std::string HTMLFileLocation(const std::string& fileName, const std::string& folder);
// The non-empty attributes separated and surrounded by single blanks; one blank when
// there are none.
std::string JoinHTMLAttrs(const std::vector<std::string>& attrs);
// "<img" + before + "src=\"location\"" + the empty-tag end + ">", the location a link in
// the page's encoding (see FilePathToHTML); before begins and ends with a blank.
std::string HTMLImageTag(const std::string& before, const std::string& location,
                         const TRDHTMLSaveContext& context);
// Where a picture shown by several items (a list level's) is saved for the export:
// once for every export.
std::string SaveSharedImageForHTML(TCustomRDData& data, TRDHTMLSaveContext& context,
                                   const TGraphic& graphic);
// Where image index of list is saved for the export: drawn over the page colour and
// saved once for every export, however often it is shown.
std::string SaveImageListImageForHTML(TCustomRDData& data, TRDHTMLSaveContext& context,
                                      const TImageList& list, int index);
