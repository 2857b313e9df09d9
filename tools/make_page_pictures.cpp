// Draws the pictures of the settings window's page selector and writes them as GIF
// files through our own GIF encoder: "DEVICE" (a radio), "GPS" (a satellite), "STATION"
// (a house with a mast), "Programm" (a program window), "Server" (a globe) and "WX"
// (sun and cloud). The background is transparent.
//   make_page_pictures <folder>
#include <cstdio>
#include <functional>
#include <string>

#include "gif/gif_picture.h"
#include "platform/gui/graphics/bitmap.h"

namespace {

constexpr TColor kKey = clFuchsia;  // the transparent background
constexpr TColor kOutline = RGB(40, 40, 48);

void Tools(TCanvas& c, TColor Fill, TColor Line = kOutline, int Width = 1) {
  c.Brush().SetColor(Fill);
  c.Pen().SetColor(Line);
  c.Pen().SetWidth(Width);
}

void Line(TCanvas& c, int x1, int y1, int x2, int y2, TColor Colour, int Width = 1) {
  c.Pen().SetColor(Colour);
  c.Pen().SetWidth(Width);
  c.MoveTo(x1, y1);
  c.LineTo(x2, y2);
}

void Device(TCanvas& c) {
  Line(c, 32, 19, 38, 2, kOutline, 2);
  Tools(c, RGB(200, 40, 40));
  c.Ellipse(35, 0, 41, 6);
  Tools(c, RGB(70, 74, 86));
  c.RoundRect(3, 18, 42, 42, 6, 6);
  Tools(c, RGB(150, 220, 150));
  c.Rectangle(7, 22, 27, 31);
  Line(c, 9, 27, 24, 27, RGB(30, 90, 30));
  Tools(c, RGB(220, 220, 220));
  c.Ellipse(30, 22, 38, 30);
  c.Ellipse(31, 32, 37, 38);
  for (int x = 8; x <= 24; x += 4) {
    Tools(c, RGB(240, 200, 60));
    c.Rectangle(x, 34, x + 3, 38);
  }
}

void Gps(TCanvas& c) {
  Tools(c, RGB(40, 90, 190), kOutline);
  c.Rectangle(2, 16, 17, 29);
  c.Rectangle(28, 16, 43, 29);
  for (int x : {7, 12, 33, 38}) Line(c, x, 16, x, 29, RGB(150, 190, 250));
  Line(c, 17, 22, 28, 22, kOutline, 2);
  Tools(c, RGB(230, 190, 60));
  c.Rectangle(17, 14, 28, 31);
  Tools(c, RGB(210, 210, 210));
  c.Ellipse(18, 33, 27, 42);
  Line(c, 22, 31, 22, 34, kOutline);
  for (int r : {5, 9}) {
    c.Brush().SetStyle(bsClear);
    c.Pen().SetColor(RGB(200, 60, 60));
    c.Pen().SetWidth(1);
    c.Ellipse(22 - r, 2 - r + 8, 22 + r, 2 + r + 8);
  }
}

void Station(TCanvas& c) {
  Line(c, 35, 2, 35, 30, kOutline, 2);
  for (int y : {6, 12, 18}) Line(c, 30, y, 41, y, kOutline, 1);
  Tools(c, RGB(245, 225, 180));
  c.Rectangle(6, 24, 32, 42);
  const TPoint roof[] = {Point(2, 25), Point(19, 10), Point(36, 25)};
  Tools(c, RGB(190, 50, 40));
  c.Polygon(roof);
  Tools(c, RGB(120, 80, 40));
  c.Rectangle(15, 31, 22, 42);
  Tools(c, RGB(150, 200, 240));
  c.Rectangle(24, 29, 30, 35);
}

void Programm(TCanvas& c) {
  Tools(c, RGB(250, 250, 250));
  c.Rectangle(3, 5, 42, 40);
  Tools(c, RGB(40, 90, 190), RGB(40, 90, 190));
  c.Rectangle(4, 6, 41, 13);
  Tools(c, RGB(220, 60, 50), RGB(220, 60, 50));
  c.Rectangle(35, 8, 39, 12);
  for (int y : {19, 26, 33}) {
    Line(c, 8, y, 37, y, RGB(150, 150, 160), 2);
    Tools(c, RGB(240, 170, 40));
    c.Ellipse(8 + (y * 3) % 25, y - 3, 15 + (y * 3) % 25, y + 4);
  }
}

void Server(TCanvas& c) {
  Tools(c, RGB(70, 140, 220));
  c.Ellipse(2, 3, 41, 42);
  Tools(c, RGB(80, 170, 80), RGB(80, 170, 80));
  const TPoint land1[] = {Point(10, 10), Point(20, 8), Point(22, 18), Point(14, 24), Point(8, 18)};
  const TPoint land2[] = {Point(24, 24), Point(34, 20), Point(36, 32), Point(27, 37)};
  c.Polygon(land1);
  c.Polygon(land2);
  c.Brush().SetStyle(bsClear);
  c.Pen().SetColor(RGB(230, 240, 255));
  c.Ellipse(13, 3, 30, 42);
  Line(c, 3, 22, 40, 22, RGB(230, 240, 255));
  Line(c, 21, 3, 21, 41, RGB(230, 240, 255));
}

void Wx(TCanvas& c) {
  for (int n = 0; n < 8; ++n) {
    static const int dx[] = {0, 8, 11, 8, 0, -8, -11, -8};
    static const int dy[] = {-11, -8, 0, 8, 11, 8, 0, -8};
    Line(c, 15, 15, 15 + dx[n] * 13 / 10, 15 + dy[n] * 13 / 10, RGB(240, 180, 20), 2);
  }
  Tools(c, RGB(255, 210, 40), RGB(230, 160, 20));
  c.Ellipse(7, 7, 24, 24);
  Tools(c, RGB(235, 238, 245), RGB(120, 130, 150));
  c.Ellipse(10, 24, 26, 40);
  c.Ellipse(18, 16, 36, 36);
  c.Ellipse(26, 24, 42, 40);
  c.Pen().SetColor(RGB(235, 238, 245));
  c.Rectangle(18, 30, 34, 40);
  Line(c, 17, 39, 35, 39, RGB(120, 130, 150));
}

bool Write(const std::string& Folder, const char* Name, int Width, int Height,
           const std::function<void(TCanvas&)>& Paint) {
  TBitmap picture;
  picture.SetSize(Width, Height);
  picture.Canvas().Brush().SetColor(kKey);
  picture.Canvas().FillRect(Rect(0, 0, Width, Height));
  Paint(picture.Canvas());
  picture.SetTransparentColor(kKey);
  picture.SetTransparent(true);
  try {
    TGIFPicture gif;
    gif.Add(picture);
    gif.SaveToFile(Folder + "/" + Name + ".gif");
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_page_pictures: %s.gif: %s\n", Name, e.Message().c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_page_pictures <folder>\n");
    return 2;
  }
  const std::string folder = argv[1];
  bool ok = Write(folder, "DEVICE", 45, 45, Device);
  ok = Write(folder, "GPS", 45, 45, Gps) && ok;
  ok = Write(folder, "STATION", 45, 45, Station) && ok;
  ok = Write(folder, "Programm", 45, 45, Programm) && ok;
  ok = Write(folder, "Server", 43, 44, Server) && ok;
  ok = Write(folder, "WX", 43, 44, Wx) && ok;
  return ok ? 0 : 1;
}
