// The input the markup fuzzer drives through the mini-HTML renderer, shared by the
// libFuzzer program and by the test that replays its saved corpus
// (fuzz_replay_test.cpp). It must run to the end on any bytes: no crash, no sanitizer
// report, no hang.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "html/html_draw.h"
#include "html/picture_container.h"
#include "platform/gui/graphics/bitmap.h"
#include "platform/text/streams.h"

// The first byte chooses the switches (word wrap, printing, selection, blinking, hover
// styling) and the point to hit-test; the rest is markup, measured, drawn and hit-tested
// in a small rectangle, as the lists and labels do.
inline void FuzzHtmlMarkup(const uint8_t* Data, size_t Size) {
  if (Size == 0) return;
  const uint8_t switches = Data[0];
  const std::string markup(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TBitmap bitmap;
  bitmap.SetSize(160, 90);
  TCanvas& canvas = bitmap.Canvas();
  canvas.Font().SetName("DejaVu Sans");
  canvas.Font().SetSize(8);
  THTMLPictureCache cache;
  // One named picture, so that <IMG src="pic"> draws one.
  TPictureContainer container(nullptr);
  TPictureItem& item = container.Items().Add();
  item.Name = "pic";
  TBitmap picture;
  picture.SetSize(12, 7);
  TMemoryStream stream;
  picture.SaveToStream(stream);
  stream.SetPosition(0);
  item.Picture.LoadFromStream(stream);
  THtmlDrawParams params;
  params.PictureCache = &cache;
  params.PictureContainer = &container;
  params.WordWrap = switches & 1;
  params.Print = switches & 2;
  params.ResFactor = (switches & 2) ? 2.5 : 1.0;
  params.Selected = switches & 4;
  params.Blink = switches & 8;
  params.HoverOnly = switches & 16;
  params.HoverLink = (switches >> 5) & 3;
  params.HoverColor = clYellow;
  params.ShadowOffset = 2;
  params.LineSpacing = switches >> 7;
  params.XPos = switches % 160;
  params.YPos = switches % 90;
  THtmlDrawResult result;
  const TRect rect = Rect(0, 0, 160, 90);
  params.MeasureOnly = true;
  DrawHtmlText(canvas, markup, rect, params, result);
  params.MeasureOnly = false;
  DrawHtmlText(canvas, markup, rect, params, result);
  params.HitTestOnly = true;
  DrawHtmlText(canvas, markup, rect, params, result);
}
