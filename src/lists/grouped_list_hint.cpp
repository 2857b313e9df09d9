// The grouped list's hints: one per node (or per part of one, with HintTrackHit), asked
// of the owner, in a hint window of the list's own that is blended over the screen by
// the window system's opacity (copying the screen beneath is not possible everywhere).
#include <algorithm>

#include "lists/section_grouped_list.h"
#include "platform/gui/controls/forms.h"

namespace {

constexpr int kHintHideTimeout = 4000;  // milliseconds

bool Contains(const TRect& R, int X, int Y) {
  return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

}  // namespace

bool TSectionGroupedList::HintShow(THintInfo& Info) {
  if (state_ & (stRubberBand | stOLEDragging)) return false;
  const int x = Info.CursorPos.X;
  const int y = Info.CursorPos.Y + top_;
  if (Contains(hint_rect_, x, y) && !HintTrackHit) return false;
  TOGLHitInfo hit;
  HitTest(Info.CursorPos.X, Info.CursorPos.Y, hit, true);
  const bool same = hint_hit_valid_ && hit.Item == hint_hit_.Item && hit.Kind == hint_hit_.Kind;
  if (same && !(HintTrackHit && hit.Kind != 1)) return false;
  hint_hit_ = hit;
  hint_hit_valid_ = true;
  Info.HintMaxWidth = ClientWidth();
  std::string text;
  if (hit.Kind == 0) {
    text = Hint();
    hint_rect_ = TRect{};
  } else {
    // A thumbnail's caption cut off in its cell shows whole.
    if (hit.Kind == 3) {
      GetItemCaption(hit.Item, text);
      Canvas().Font().Assign(Font());
      if (Canvas().TextWidth(text) > ItemWidth() - 8) {
        const TRect r = GetItemRect(hit.Item);
        hint_rect_ = Rect(r.Left + 4, r.Bottom - caption_height_ - thumbnails_.VertSpacing,
                          r.Right - 4, r.Bottom);
        Info.HintMaxWidth = ItemWidth() - 8;
      } else {
        text.clear();
      }
    }
    if (text.empty()) {
      if (OnGetHint) OnGetHint(this, hit.Item, text, Info.HintPos);
      Info.HintMaxWidth = ClientWidth();
      hint_rect_ = GetItemRect(hit.Item);
    }
  }
  if (text.empty()) return false;
  Info.HintStr = text;
  Info.HideTimeout = kHintHideTimeout;
  Info.HintWindowClass = [this, hit] { return std::make_unique<TOGLHintWindow>(*this, hit); };
  state_ |= stHintShown;
  return true;
}

// While a hint shows, reaching another node (or another part of one, but for the
// expand button) asks for the hint there at once.
void TSectionGroupedList::ReevaluateHint(int X, int Y) {
  if (!(state_ & stHintShown) || (state_ & (stRubberBand | stOLEDragging))) return;
  TOGLHitInfo hit;
  HitTest(X, Y, hit, true);
  if (hit.Item == hint_hit_.Item && (hit.Kind == hint_hit_.Kind || hit.Kind == 1)) return;
  CancelHint();
  ActivateHintAt(*this, X, Y);
}

// Forgets the hint made for Item (null: for any node), which is going.
void TSectionGroupedList::ForgetHint(POGLItem Item) {
  if (!hint_hit_valid_) return;
  if (Item && hint_hit_.Item != Item && hint_hit_.Group != Item) return;
  hint_hit_valid_ = false;
  if (state_ & stHintShown) CancelHint();
}

void TSectionGroupedList::MouseLeave() {
  TCustomControl::MouseLeave();
  hint_hit_valid_ = false;
  state_ &= ~stHintShown;
}

// --- the hint window ----------------------------------------------------------------------

TOGLHintWindow::TOGLHintWindow(TSectionGroupedList& List, const TOGLHitInfo& Hit)
    : THintWindow(nullptr), list_(&List), hit_(Hit) {
  List.hint_window_ = this;
}

TOGLHintWindow::~TOGLHintWindow() {
  if (list_ && list_->hint_window_ == this) list_->hint_window_ = nullptr;
}

TRect TOGLHintWindow::CalcHintRect(int MaxWidth, const std::string& Hint) {
  if (Hint.empty()) return TRect{};
  TCanvas measure;
  measure.Font().Assign(Font());
  TRect rect = Rect(0, 0, MaxWidth, Screen->Height());
  measure.TextRect(rect, Hint, tfCalcRect | tfWordBreak | tfNoPrefix);
  rect = Rect(0, 0, rect.Width() + 16, rect.Height() + 8);
  if (list_ && hit_.Item && hit_.Kind != 0 && list_->OnGetHintSize) {
    list_->OnGetHintSize(list_, hit_.Item, rect);
  }
  return rect;
}

void TOGLHintWindow::ActivateHint(TRect Rect, const std::string& Hint) {
  if (Rect.Width() <= 0 || Rect.Height() <= 0) {
    CancelHint();
    return;
  }
  SetCaption(Hint);
  // Kept on the screen: the bottom edge first, then the top, the right, the left.
  const auto shift = [&Rect](int Dx, int Dy) {
    Rect = ::Rect(Rect.Left + Dx, Rect.Top + Dy, Rect.Right + Dx, Rect.Bottom + Dy);
  };
  if (Rect.Bottom > Screen->Height()) shift(0, Screen->Height() - Rect.Bottom);
  if (Rect.Top < 0) shift(0, -Rect.Top);
  if (Rect.Right > Screen->Width()) shift(Screen->Width() - Rect.Right, 0);
  if (Rect.Left < 0) shift(-Rect.Left, 0);
  const TOGLHintOptions options = list_ ? list_->HintOptions : TOGLHintOptions{};
  SetOpacity(options.AlphaBlend ? options.AlphaBlendValue : 255);
  ShowAt(Rect);
}

void TOGLHintWindow::ReleaseHandle() {
  THintWindow::ReleaseHandle();
  if (list_) {
    list_->state_ &= ~TSectionGroupedList::stHintShown;
    list_->hint_rect_ = TRect{};
  }
  hit_ = TOGLHitInfo{};
}

void TOGLHintWindow::Paint() {
  TCanvas& canvas = Canvas();
  TRect rect = ClientRect();
  canvas.Brush().SetStyle(bsSolid);
  canvas.Brush().SetColor(clInfoBk);
  canvas.FillRect(rect);
  canvas.Brush().SetColor(clInfoText);
  canvas.FrameRect(rect);
  canvas.Brush().SetStyle(bsClear);
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(clInfoText);
  if (list_ && hit_.Item && hit_.Kind != 0 && list_->OnDrawHint) {
    list_->OnDrawHint(list_, canvas, rect, hit_.Item);
    return;
  }
  rect = ::Rect(rect.Left + 8, rect.Top + 4, rect.Right - 8, rect.Bottom - 4);
  canvas.TextRect(rect, Caption(), tfWordBreak | tfNoPrefix);
}
