// The map marker of one station: a dot, the station's 20 x 20 APRS symbol and a
// callsign label, in any combination (SymDrawStyle).
//
// The map holds one marker per station it shows, thousands of them, so a marker is
// windowless (painted by the map panel it sits on) and keeps no timer. It draws itself
// from a buffer that SetSymbol rebuilds; painting only copies that buffer, with its
// magenta background left out so the map shows round the marker.
//
//   marker.SetSymDrawStyle(dsSymbol | dsCall);
//   marker.SetSymbol("N0CALL-9", 120, 80, &symbolPicture, 1);
//
// Placement keeps the station's map point on the marker's anchor: the dot's centre when
// there is a dot, else the symbol's centre, else the label's centre.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"

enum TSymDrawStyle : std::uint8_t { dsPoint = 1, dsSymbol = 2, dsCall = 4 };
// A set of TSymDrawStyle flags; the map window keeps it as 1 (point) + 2 (symbol) + 4 (call).
using TSymDrawStyles = std::uint8_t;

class TAprsSymbol : public TGraphicControl {
 public:
  explicit TAprsSymbol(TComponent* AOwner);
  ~TAprsSymbol() override;

  TSymDrawStyles SymDrawStyle() const { return sym_draw_style_; }
  // A new set rebuilds the marker; an empty set is stored as dsPoint, so a marker never
  // becomes invisible.
  void SetSymDrawStyle(TSymDrawStyles Value);
  // The station's symbol picture, a copy owned by the marker.
  const TBitmap& SymbolBitmap() const { return *symbol_bitmap_; }
  // Where the station was heard: -1 internet, 1 or 2 radio port; chooses the label colour.
  int Port() const { return port_; }

  // Rebuilds the marker for a station at map point (X, Y) of the parent. Bitmap may be
  // null: the symbol's room then stays empty and the stored symbol is kept.
  void SetSymbol(const std::string& Text, int X, int Y, const TBitmap* Bitmap, int Port);

  // The whole marker as shown: the map copies it, never repainting the parts.
  const TBitmap* Face() const override { return draw_buffer_.get(); }
  const std::string& Text() const { return text_; }

  std::string ClassName() const override { return "TAprsSymbol"; }

 protected:
  // A clicked marker comes to the front, so it is no longer hidden under its neighbours.
  void Click() override;

 private:
  std::unique_ptr<TBitmap> draw_buffer_;
  std::unique_ptr<TBitmap> symbol_bitmap_;
  TSymDrawStyles sym_draw_style_ = 0;
  int port_ = 0;
  std::string text_ = "APRS-SYMBOL";
  int x_ = 0;
  int y_ = 0;
};

// Label colours by port (0x00BBGGRR): light blue for radio port 1 and anything unknown,
// light yellow for port 2, light green for the internet.
TColor AprsSymbolLabelColor(int Port);
