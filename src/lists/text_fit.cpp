#include "lists/text_fit.h"

#include "platform/gui/graphics/unicode_text.h"

namespace {

int Width(TCanvas& Canvas, const std::string& Text) {
  return Canvas.TextWidth(Text);
}

int Width(TCanvas& Canvas, const std::u16string& Text) {
  return TextWidthW(Canvas, Text);
}

void DropLastCharacter(std::string& Text) {
  Text.pop_back();
}

// A character beyond the two-byte plane goes whole, both its halves.
void DropLastCharacter(std::u16string& Text) {
  Text.pop_back();
  if (!Text.empty() && Text.back() >= 0xD800 && Text.back() <= 0xDBFF) Text.pop_back();
}

template <class TText>
TText CutToRoom(TCanvas& Canvas, const TText& Text, int Room) {
  if (Width(Canvas, Text) <= Room) return Text;
  const TText dots(3, '.');
  TText shown = Text;
  while (!shown.empty() && Width(Canvas, shown + dots) > Room) DropLastCharacter(shown);
  return shown + dots;
}

}  // namespace

std::string FitText(TCanvas& Canvas, const std::string& Text, int Room) {
  return CutToRoom(Canvas, Text, Room);
}

std::u16string FitText(TCanvas& Canvas, const std::u16string& Text, int Room) {
  return CutToRoom(Canvas, Text, Room);
}
