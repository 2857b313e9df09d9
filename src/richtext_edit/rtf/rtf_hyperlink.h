// HYPERLINK fields of RTF: {\field{\*\fldinst HYPERLINK "http://x.org/" \o "Tip"}{\fldrslt
// text}} makes "text" a link to http://x.org/ with the hint "Tip". One rule decides whether
// a field is a link, so that the text style chosen for the result and the link made of it
// never disagree.
#pragma once

#include <string>

// The instruction, trimmed and without a leading backslash, starts with "HYPERLINK" in
// any case.
bool IsHyperlinkField(const std::string& instruction);

struct TRDRTFHyperlink {
  std::string Target;  // quotes removed, doubled backslashes single, %XX decoded
  std::string Hint;    // the \o switch's text
};

// The link of a HYPERLINK instruction; basePath goes in front of a target without ':'
// when it is not empty.
TRDRTFHyperlink ParseHyperlinkField(const std::string& instruction, const std::string& basePath);
