// The map marker of one station: a dot, the station's 20 x 20 APRS symbol and a
// callsign label, in any combination (SymDrawStyle).
//
// The map holds one marker per station it shows, tens of thousands of them, so a
// marker is windowless (painted by the map panel it sits on), keeps no timer and no
// picture of its own: its look is the dot, the symbol picture (shared by every marker
// of that symbol) and its label (drawn once per text and colour and shared by equal
// ones), which the map copies (FaceParts). A marker only moved draws nothing anew.
//
//   marker.SetSymDrawStyle(dsSymbol | dsCall);
//   marker.SetSymbol("N0CALL-9", 120, 80, symbolPicture, 1);
//
// The label is the station's name as it was received: UTF-8 where it is valid UTF-8 (what
// most stations send today), else Windows-1252.
//
// Placement keeps the station's map point on the marker's anchor: the dot's centre when
// there is a dot, else the symbol's centre, else the label's centre.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gui/controls/controls.h"
#include "platform/gui/graphics/bitmap.h"

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
  // The station's symbol picture (empty before one was given).
  const TBitmap& SymbolBitmap() const;
  // Where the station was heard: -1 internet, 1 or 2 radio port; chooses the label colour.
  int Port() const { return port_; }

  // Rebuilds the marker for a station at map point (X, Y) of the parent. Bitmap may be
  // null: the symbol's room then stays empty and the stored symbol is kept. The marker
  // keeps a copy of Bitmap.
  void SetSymbol(const std::string& Text, int X, int Y, const TBitmap* Bitmap, int Port);
  // The same with a picture shared with other markers; it must not change afterwards.
  void SetSymbol(const std::string& Text, int X, int Y, std::shared_ptr<const TBitmap> Bitmap,
                 int Port);

  const std::string& Text() const { return text_; }
  // Back to the state of a marker just made: no style, text, symbol, label or place of
  // the station it showed. The map gives a marker it keeps to the next station heard.
  void Forget();
  // The dot, the label and the symbol, as they lie in the marker.
  int FaceParts(TFacePart (&Parts)[kMaxFaceParts]) const override;
  bool KeptComposed() const override { return true; }

  std::string ClassName() const override { return "TAprsSymbol"; }

 protected:
  // A clicked marker comes to the front, so it is no longer hidden under its neighbours.
  void Click() override;

 private:
  void Rebuild(const std::string& Text, int X, int Y, std::shared_ptr<const TBitmap> Bitmap,
               int Port);

  std::shared_ptr<const TBitmap> symbol_bitmap_;
  // The label as drawn, fetched when the marker is first painted after a change.
  mutable std::shared_ptr<const TBitmap> label_;
  TSize label_extent_{};  // of text_, once measured
  bool label_measured_ = false;
  TSymDrawStyles sym_draw_style_ = 0;
  bool symbol_shown_ = false;  // the last rebuild was given a symbol
  int port_ = 0;
  static constexpr const char* kNewText = "APRS-SYMBOL";
  std::string text_ = kNewText;
  int x_ = 0;
  int y_ = 0;
};

// Label colours by port (0x00BBGGRR): light blue for radio port 1 and anything unknown,
// light yellow for port 2, light green for the internet.
TColor AprsSymbolLabelColor(int Port);
// The canvas whose font measures and draws marker labels.
const TCanvas& AprsSymbolLabelCanvas();
