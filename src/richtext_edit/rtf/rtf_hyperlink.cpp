#include "richtext_edit/rtf/rtf_hyperlink.h"

#include "platform/text/sysutils.h"
#include "richtext/base/text_routines.h"
#include "richtext_edit/rtf/rtf_reader.h"

namespace {

constexpr std::string_view kHyperlink = "HYPERLINK";

std::string WithoutLeadingBackslash(const std::string& instruction) {
  std::string text = Trim(instruction);
  if (!text.empty() && text[0] == '\\') text.erase(0, 1);
  return text;
}

// RTF doubles the backslashes of a field argument; pairs are made single from the end
// backwards, so an odd run keeps its first backslash.
std::string UndoubleBackslashes(std::string s) {
  for (std::size_t i = s.size(); i >= 2; --i)
    if (s[i - 1] == '\\' && s[i - 2] == '\\') {
      s.erase(i - 1, 1);
      --i;
    }
  return s;
}

}  // namespace

bool IsHyperlinkField(const std::string& instruction) {
  const std::string text = WithoutLeadingBackslash(instruction);
  return text.size() >= kHyperlink.size() &&
         UpperCase(std::string_view(text).substr(0, kHyperlink.size())) == kHyperlink;
}

TRDRTFHyperlink ParseHyperlinkField(const std::string& instruction, const std::string& basePath) {
  TRDRTFHyperlink link;
  if (!IsHyperlinkField(instruction)) return link;
  const std::string text = WithoutLeadingBackslash(instruction);
  link.Target =
      DecodePercentEscapes(UndoubleBackslashes(RTFFieldArgument(text, kHyperlink.size())));
  if (!basePath.empty() && link.Target.find(':') == std::string::npos)
    link.Target = basePath + link.Target;
  for (std::size_t pos = text.find("\\o "); pos != std::string::npos;
       pos = text.find("\\o ", pos + 1)) {
    // A switch stands after a blank; "\\o" inside the quoted target is no switch.
    if (pos > 0 && text[pos - 1] != ' ') continue;
    link.Hint = RTFFieldArgument(text, pos + 3);
    break;
  }
  return link;
}
