#include "lists/text_fit.h"

#include <cstddef>

#include "platform/gui/graphics/unicode_text.h"

namespace {

int Width(TCanvas& Canvas, const std::string& Text) {
  return Canvas.TextWidth(Text);
}

int Width(TCanvas& Canvas, const std::u16string& Text) {
  return TextWidthW(Canvas, Text);
}

std::string StartOf(const std::string& Text, std::size_t Length) {
  return Text.substr(0, Length);
}

// A character beyond the two-byte plane is kept or cut whole, both its halves.
std::u16string StartOf(const std::u16string& Text, std::size_t Length) {
  if (Length > 0 && Text[Length - 1] >= 0xD800 && Text[Length - 1] <= 0xDBFF) --Length;
  return Text.substr(0, Length);
}

// The longest start of Text that fits with the dots is found by halving, as a start is
// never narrower than a shorter one: cut a character at a time, a cell of a received
// comment hundreds of characters long cost as many measures, each of the whole text,
// at every paint of the list.
template <class TText>
TText CutToRoom(TCanvas& Canvas, const TText& Text, int Room) {
  if (Width(Canvas, Text) <= Room) return Text;
  const TText dots(3, '.');
  std::size_t fits = 0;            // a start this long fits (the empty one counts)
  std::size_t over = Text.size();  // this long does not
  while (over - fits > 1) {
    const std::size_t length = fits + (over - fits) / 2;
    if (Width(Canvas, StartOf(Text, length) + dots) <= Room) {
      fits = length;
    } else {
      over = length;
    }
  }
  return StartOf(Text, fits) + dots;
}

}  // namespace

std::string FitText(TCanvas& Canvas, const std::string& Text, int Room) {
  return CutToRoom(Canvas, Text, Room);
}

std::u16string FitText(TCanvas& Canvas, const std::u16string& Text, int Room) {
  return CutToRoom(Canvas, Text, Room);
}
