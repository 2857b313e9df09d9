// What a paste or a drop brings into an editor, read from bytes that another program may
// have written: every length and end inside them is checked against the bytes that came.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The document inside the viewers' own block (a 4-byte little-endian length, then the
// document). False, leaving document empty, for a block shorter than 4 bytes or one whose
// length claims more bytes than the block holds: a cut-off document is not pasted.
bool RichDocBlockDocument(const std::string& block, std::string& document);

// The folder that relative picture names of pasted RTF are taken from: the folder of the
// page the copied HTML came from, named by its "SourceURL:" header line. A local page
// gives its folder without "file://", a web page its folder URL; each ends with '/'.
// Empty without such a line.
std::string HtmlSourceBasePath(const std::string& html);

// The links of a text/uri-list that name no local file, in order; comment lines ('#')
// and blank lines are skipped.
std::vector<std::string> DroppedLinks(const std::string& uriList);

// The text a dropped link goes in as: the first name of the file-group descriptor that
// came with it less its last four characters (".url"); the link itself when there is no
// such name of at least five characters.
std::string DroppedLinkText(const std::string& link, const std::string& descriptor);

// UTF-8 text (as other programs hand text over) as UTF-16, two bytes a unit, low byte
// first; a malformed sequence becomes U+FFFD.
std::string UTF8ToRawUnicode(std::string_view utf8);
