#include "lists/text_fit.h"

std::string FitText(TCanvas& Canvas, const std::string& Text, int Room) {
  if (Canvas.TextWidth(Text) <= Room) return Text;
  std::string shown = Text;
  while (!shown.empty() && Canvas.TextWidth(shown + "...") > Room) shown.pop_back();
  return shown + "...";
}
