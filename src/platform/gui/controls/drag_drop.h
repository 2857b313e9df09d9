// Drag and drop between controls, within the program and with other programs.
//
// A drag carries a data object: a list of formats, each named by a MIME type ("text/plain",
// "text/uri-list", "image/png") or by a name of the program's own ("FileGroupDescriptor").
// Every format's bytes are made when the drag starts and stay with the window system
// until the target has taken them, which for another program is after the drop. The
// source runs the drag with DoDragDrop and learns what the target did; a control that
// takes drops registers a TDropTarget for itself, and its handlers run through Dispatch
// like all input.
//
//   auto data = std::make_shared<TDragData>();
//   data->Add("text/plain", [this](std::string& Bytes) { Bytes = SelectedText(); return true; });
//   if (DoDragDrop(*this, data, deCopy | deMove) == deMove) DeleteSelection();
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gui/controls/controls.h"

class TBitmap;

// What a drop does with the data, as a set in Allowed and as one effect in an answer.
enum TDropEffect : unsigned {
  deNone = 0,
  deCopy = 1,
  deMove = 2,
  deLink = 4,
  // Added by a target that scrolled while the drag was over it; no effect of its own.
  deScroll = 0x80000000u,
};
using TDropEffects = unsigned;

// Data offered by a drag or arriving with one.
class TDataObject {
 public:
  virtual ~TDataObject() = default;
  // The formats offered, in the source's order.
  virtual std::vector<std::string> Formats() const = 0;
  bool HasFormat(const std::string& Format) const;
  // Makes the bytes of one format; false when it is not offered or could not be made.
  virtual bool GetData(const std::string& Format, std::string& Bytes) const = 0;
};

// The data a source offers: formats in the order added, each made by its renderer.
class TDragData : public TDataObject {
 public:
  // Render fills Bytes and answers true, or answers false when it has nothing to give.
  using TRender = std::function<bool(std::string& Bytes)>;
  // A format added again replaces the earlier renderer, keeping its place.
  void Add(const std::string& Format, TRender Render);
  std::vector<std::string> Formats() const override;
  bool GetData(const std::string& Format, std::string& Bytes) const override;

 private:
  struct TFormat {
    std::string name;
    TRender render;
  };
  std::vector<TFormat> formats_;
};

// The format of a list of files, one URL a line.
inline constexpr const char* kUriListFormat = "text/uri-list";
// The text/uri-list bytes naming local files by their full paths.
std::string UriListOf(const std::vector<std::string>& Paths);
// The local files a data object names in its text/uri-list, full paths in order; URLs
// that name no local file are left out.
std::vector<std::string> DroppedFileNames(const TDataObject& Data);

// A picture shown under the pointer while dragging. Pixels of the Transparent colour
// are not shown; HotSpot is where the pointer lies in the picture.
struct TDragImage {
  const TBitmap* Picture = nullptr;
  TPoint HotSpot;
  TColor Transparent = clNone;
};

// Runs a drag from Source until the user drops or cancels it (Escape). Answers the
// effect the target performed: one of Allowed, or deNone when the drag was cancelled,
// refused or Allowed was empty (then no drag starts). A move is answered only when the
// target reports that it took the data: a source deletes what it moved on deMove alone.
// Another program may take up to 10 s to report; the program runs on meanwhile (the
// user may click, edit, close windows), so a source records what it dragged when the
// drag starts and deletes that on deMove, not what is selected when the answer comes.
// Released runs once, as soon as the user has let go (or no drag could start), before
// that wait: the source ends the press there. No drag starts while another one runs.
// Source may be freed while the drag runs (a timer closes its window): the drag then
// ends, Released does not run, nothing of the source is touched and the answer is deNone.
TDropEffect DoDragDrop(TWinControl& Source, std::shared_ptr<const TDataObject> Data,
                       TDropEffects Allowed, const TDragImage* Image = nullptr,
                       const std::function<void()>& Released = {});
// Whether a drag started by this program is running now, its answer awaited included.
bool DragRunning();

// The receiving side of drags over a control. Pt is in the control's client coordinates.
// Effect comes in as the set of effects the source allows and goes out as the one effect
// the drop would have; deNone refuses. A drop whose last answer was deNone is not
// delivered: the target gets DragLeave instead.
class TDropTarget {
 public:
  virtual ~TDropTarget() = default;
  virtual void DragEnter(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                         TDropEffects& Effect) = 0;
  virtual void DragOver(TShiftState Shift, TPoint Pt, TDropEffects& Effect) = 0;
  virtual void DragLeave() = 0;
  virtual void Drop(const TDataObject& Data, TShiftState Shift, TPoint Pt,
                    TDropEffects& Effect) = 0;
};

// Drags over Control go to Target (not owned) until RevokeDragDrop or the control is
// freed. Registering again replaces the target.
void RegisterDragDrop(TWinControl& Control, TDropTarget& Target);
void RevokeDragDrop(TWinControl& Control);
bool IsDropTarget(const TWinControl& Control);
