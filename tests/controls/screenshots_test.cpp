// Writes a picture of every control to control_screenshots/ in the test pictures folder
// (support/scratch_files.h), for a person to look at; the other tests check the pixels
// that matter.
#include <gtest/gtest.h>

#include <filesystem>

#include "controls/bitmap_mask.h"
#include "controls/compass.h"
#include "controls/hydro.h"
#include "controls/my_button.h"
#include "controls/my_flat_combobox.h"
#include "controls/my_hint.h"
#include "controls/my_inet_label.h"
#include "controls/my_msg_dialog.h"
#include "controls/my_panel.h"
#include "controls/my_progress_bar.h"
#include "controls/my_splitter.h"
#include "controls/number_edit.h"
#include "platform/gui/graphics/png_file.h"
#include "platform/sys/application.h"
#include "support/control_snapshot.h"
#include "support/scratch_files.h"

namespace {

void Save(TControl& control, const std::string& name) {
  const std::string file = PictureFolder("control_screenshots") + name + ".png";
  SaveBitmapToPng(*Snapshot(control, clWhite), file);
  EXPECT_TRUE(std::filesystem::exists(file)) << file;
}

TEST(ScreenshotsTest, EveryControlIsWrittenAsAPicture) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 480, 360);
  form.SetColor(0xE0E0E0);

  auto* head = new TMyPanel(&form);
  head->SetParent(&form);
  head->SetBounds(10, 10, 300, 30);
  head->SetGlowPaint(true);
  head->SetColor(0x9D5B2E);
  head->SetColor2(0x7A4420);
  head->SetCaption("Skinned panel");
  head->Font().SetColor(clWhite);
  auto* frame = new TMyPanel(&form);
  frame->SetParent(&form);
  frame->SetBounds(320, 10, 150, 60);
  frame->SetCaption("Rounded");

  auto* up = new TMyButton(&form);
  up->SetParent(&form);
  up->SetBounds(10, 50, 75, 25);
  up->SetCaption("Karte");
  auto* down = new TMyButton(&form);
  down->SetParent(&form);
  down->SetBounds(90, 50, 75, 25);
  down->SetCaption("GPS");
  down->SetPaintDown(true);
  down->SetColorDown(0x93FFA0);
  down->SetDown(true);
  auto* off = new TMyButton(&form);
  off->SetParent(&form);
  off->SetBounds(170, 50, 75, 25);
  off->SetCaption("Log");
  off->SetEnabled(false);

  auto* bar = new TMyProgressBar(&form);
  bar->SetParent(&form);
  bar->SetBounds(10, 90, 200, 18);
  bar->SetColorFillBack(clWhite);
  bar->SetColorFillBar(0x60C060);
  bar->SetPosition(64);
  auto* vertical = new TMyProgressBar(&form);
  vertical->SetParent(&form);
  vertical->SetBounds(220, 90, 18, 100);
  vertical->SetOrientation(pbVertical);
  vertical->SetGlowPaint(true);
  vertical->SetColorFillBar(clRed);
  vertical->SetColorFillBar2(clMaroon);
  vertical->SetShowPercent(false);
  vertical->SetPosition(40);

  auto* compass = new TCompass(&form);
  compass->SetParent(&form);
  compass->SetBounds(10, 120, 42, 42);
  compass->SetDegrees(135);
  auto* hydro = new THydro(&form);
  hydro->SetParent(&form);
  hydro->SetBounds(60, 120, 42, 42);
  hydro->SetDegrees(65);

  auto* lamp = new TBitmapMask(&form);
  lamp->SetParent(&form);
  auto strip = SolidPicture(32, 16, clBlack);
  strip->Canvas().Brush().SetColor(clRed);
  strip->Canvas().Ellipse(2, 2, 14, 14);
  strip->Canvas().Brush().SetColor(clLime);
  strip->Canvas().Ellipse(18, 2, 30, 14);
  lamp->SetFontBitmap(*strip);
  lamp->SetMaskMode(true);
  lamp->SetColor(0xE0E0E0);
  lamp->SetLeft(110);
  lamp->SetTop(130);
  lamp->SetActive(true);

  auto* splitter = new TMySplitter(&form);
  splitter->SetAlign(alNone);
  splitter->SetParent(&form);
  splitter->SetBounds(10, 200, 300, 6);
  splitter->SetColor(0xC0C0C0);

  auto* edit = new TNumberEdit(&form);
  edit->SetParent(&form);
  edit->SetBounds(10, 220, 60, 21);
  edit->SetIntIst(14580);
  auto* combo = new TMyFlatCombobox(&form);
  combo->SetParent(&form);
  combo->SetBounds(80, 220, 120, 21);
  combo->SetStyle(csDropDownList);
  combo->Items().Add("KISS TNC");
  combo->SetItemIndex(0);
  auto* link = new TMyInetLabel(&form);
  link->SetParent(&form);
  link->SetBounds(210, 222, 100, 17);
  link->SetCaption("www.example.org");

  Save(form, "controls");
  Save(*up, "my_button");
  Save(*bar, "my_progress_bar");
  Save(*compass, "compass");
  Save(*hydro, "hydro");
  Save(*lamp, "bitmap_mask");

  TfrmMyMsgDialog box(nullptr);
  box.SetKind(mkConfirmation);
  box.SetButtons(mkConfirmation);
  box.SetText("Alle Stationen l\xF6schen?");
  box.LayOut();
  Save(box, "my_msg_dialog");

  TMyHint hint(nullptr);
  hint.PaintBorder = true;
  hint.Color2 = 0xF0F0F0;
  hint.SetActive(true);
  auto& window = dynamic_cast<TMyHintWindow&>(ApplicationHintWindow());
  const TRect size = window.CalcHintRect(400, "Stationsliste anzeigen...");
  window.ActivateHint(Bounds(20, 20, size.Width(), size.Height()), "Stationsliste anzeigen...");
  SaveBitmapToPng(window.Picture(), PictureFolder("control_screenshots") + "my_hint.png");
  CancelHint();
  hint.SetActive(false);
}

}  // namespace
