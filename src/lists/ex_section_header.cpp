// The section list's header and the mapping between columns (collection order) and
// header sections (screen order).
#include <algorithm>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/hint_window.h"

namespace {

constexpr int kDragStart = 3;
constexpr int kSizeGrip = 3;
constexpr int kGlyphWidth = 16;

}  // namespace

// --- columns and sections ---------------------------------------------------------------

bool TExSectionList::ColumnShown(int Column) const {
  const TExSectionColumn* column = Columns.Items(Column);
  if (!column || !column->Visible()) return false;
  if (Column == GroupColumn && group_column_display_ == gdHidden) return false;
  return !(PreviewSettings.Active() && Column == PreviewSettings.Column());
}

int TExSectionList::ColumnToSection(int Column) const {
  const TExSectionColumn* column = Columns.Items(Column);
  return column ? column->SectionIndex : -1;
}

int TExSectionList::SectionToColumn(int Section) const {
  for (int c = 0; c < Columns.Count(); ++c) {
    if (ColumnShown(c) && Columns.Items(c)->SectionIndex == Section) return c;
  }
  return -1;
}

void TExSectionList::UpdateSectionIndexes() {
  // Hidden columns take no section.
  for (int c = 0; c < Columns.Count(); ++c) {
    const bool groupHidden = c == GroupColumn && group_column_display_ == gdHidden;
    const bool previewed = PreviewSettings.Active() && c == PreviewSettings.Column();
    if (!groupHidden && !previewed && !Columns.Items(c)->Visible() && header_->SectionCount() > 0) {
      header_->DeleteSection(0);
    }
  }
  std::vector<bool> placed(static_cast<size_t>(Columns.Count()), false);
  for (int s = 0; s < header_->SectionCount(); ++s) {
    int best = -1;
    for (int c = 0; c < Columns.Count(); ++c) {
      if (placed[static_cast<size_t>(c)] || !ColumnShown(c)) continue;
      if (best < 0 || Columns.Items(c)->DisplayOrder < Columns.Items(best)->DisplayOrder) best = c;
    }
    if (best < 0) break;
    placed[static_cast<size_t>(best)] = true;
    Columns.Items(best)->SectionIndex = s;
  }
  for (int c = 0; c < Columns.Count(); ++c) {
    Columns.Items(c)->DisplayOrder = Columns.Items(c)->SectionIndex;
  }
}

void TExSectionList::UpdateHeader() {
  header_->ClearSections();
  for (int c = 0; c < Columns.Count(); ++c) header_->AddSection(0);
  const TExSectionColumn* preview = Columns.Items(PreviewSettings.Column());
  if (PreviewSettings.Active() && preview) header_->DeleteSection(preview->SectionIndex);
  if (Columns.Items(GroupColumn) && group_column_display_ == gdHidden) header_->DeleteSection(0);
  UpdateSectionIndexes();
  for (int c = 0; c < Columns.Count(); ++c) {
    if (ColumnShown(c))
      header_->SetSectionWidth(Columns.Items(c)->SectionIndex, Columns.Items(c)->Width());
  }
  header_->Invalidate();
  engine_->Invalidate();
}

void TExSectionList::PreviewChanged() {
  const int column = PreviewSettings.Column();
  if (PreviewSettings.Active() && !Columns.Items(column)) {
    PreviewSettings.SetActive(false);
    throw Exception("Invalid Preview Column");
  }
  auto notHiddenGroup = [this](int c) {
    return !(c == GroupColumn && group_column_display_ == gdHidden);
  };
  if (TExSectionColumn* removed = Columns.Items(preview_column_removed_)) {
    for (int c = 0; c < Columns.Count(); ++c) {
      TExSectionColumn* other = Columns.Items(c);
      if (other != removed && other->SectionIndex >= removed->SectionIndex && notHiddenGroup(c)) {
        ++other->SectionIndex;
        ++other->DisplayOrder;
      }
    }
    preview_column_removed_ = -1;
  }
  if (PreviewSettings.Active()) {
    const int section = Columns.Items(column)->SectionIndex;
    for (int c = 0; c < Columns.Count(); ++c) {
      TExSectionColumn* other = Columns.Items(c);
      if (other->SectionIndex > section && notHiddenGroup(c)) {
        --other->SectionIndex;
        --other->DisplayOrder;
      }
    }
    preview_column_removed_ = column;
  }
  engine_->Relayout();
  UpdateHeader();
}

void TExSectionList::MoveSection(int FromSection, int ToSection) {
  if (FromSection == ToSection) return;
  const int from = SectionToColumn(FromSection);
  const int to = SectionToColumn(ToSection);
  if (from < 0) return;
  for (int c = 0; c < Columns.Count(); ++c) {
    TExSectionColumn* column = Columns.Items(c);
    const int s = column->SectionIndex;
    if (ToSection < FromSection && s >= ToSection && s < FromSection) {
      ++column->SectionIndex;
      ++column->DisplayOrder;
    } else if (ToSection > FromSection && s > FromSection && s <= ToSection) {
      --column->SectionIndex;
      --column->DisplayOrder;
    }
  }
  Columns.Items(from)->SectionIndex = ToSection;
  Columns.Items(from)->DisplayOrder = ToSection;
  UpdateHeader();
  if (OnHeaderDragDrop) OnHeaderDragDrop(this, from, to);
}

void TExSectionList::ApplyHeaderStyle(int Style) {
  static constexpr TColor kStyles[][2] = {
      {0xFCE1CB, 0xE0A57D}, {0xECE2E1, 0xB39698}, {0xCFF0EA, 0x8CC0B1},   {clWhite, clBtnFace},
      {clWhite, 0xFFD2AF},  {0xF2F1F0, 0xC9C2BD}, {clBtnFace, clBtnFace}, {clWhite, clBtnFace},
      {clNone, clNone},     {clWhite, 0xDCD7D4}};
  if (Style < 0 || Style > 9 || Style == 8) return;
  Columns.BeginUpdate();
  for (int c = 0; c < Columns.Count(); ++c) {
    Columns.Items(c)->SetHeaderColor(kStyles[Style][0]);
    Columns.Items(c)->SetHeaderColorTo(kStyles[Style][1]);
  }
  Columns.EndUpdate();
}

void TExSectionList::HeaderSized(int Section, int Width) {
  const int column = SectionToColumn(Section);
  if (Section >= Columns.Count() || column < 0) return;
  Columns.Items(column)->StoreWidth(Width);
  Changed();
  if (OnHeaderResized) OnHeaderResized(this, column, Width);
}

void TExSectionList::HeaderClicked(int Section) {
  const int column = SectionToColumn(Section);
  if (column < 0 || !SortSettings.Enabled) return;
  if (column == SortSettings.Column()) {
    SortSettings.SetDirection(SortSettings.Direction() == sdAscending ? sdDescending : sdAscending);
  } else {
    SortSettings.SetColumn(column);
  }
  // A sort the user asked for shows the focused row where it went.
  engine_->ScrollIntoView(engine_->FocusedItem(), false);
}

void TExSectionList::PaintHeader(TCanvas& Canvas) {
  TRect area = header_->ClientRect();
  Canvas.Pen().SetWidth(1);
  if (HeaderBorderColor != clNone) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(HeaderBorderColor);
    Canvas.FrameRect(area);
    area = Rect(area.Left + 1, area.Top + 1, area.Right - 1, area.Bottom - 1);
  }
  int x = area.Left;
  for (int s = 0; s < header_->SectionCount(); ++s) {
    TRect r = Rect(x, area.Top, x + header_->SectionWidth(s), area.Bottom);
    x = r.Right;
    const int c = SectionToColumn(s);
    TExSectionColumn* column = Columns.Items(c);
    if (!column) continue;
    FillHeaderSection(Canvas, r, *column, s == header_->SectionCount() - 1);
    PaintHeaderCaption(Canvas, r, c, *column, area);
  }
}

// A section's colour or gradient and, with a header border, the line at its right; the
// last section's room ends before that line.
void TExSectionList::FillHeaderSection(TCanvas& Canvas, TRect& R, TExSectionColumn& Column,
                                       bool Last) {
  if (Column.HeaderColor() != clNone && Column.HeaderColorTo() != clNone) {
    GradientFill(Canvas, Column.HeaderColor(), Column.HeaderColorTo(),
                 Column.HeaderGradientDir() == gdHorizontal, R, 40);
  } else if (Column.HeaderColor() != clNone) {
    Canvas.Brush().SetStyle(bsSolid);
    Canvas.Brush().SetColor(Column.HeaderColor());
    Canvas.FillRect(R);
  }
  if (HeaderBorderColor == clNone) return;
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(HeaderBorderColor);
  Canvas.FillRect(Rect(R.Right - 2, R.Top, R.Right - 1, R.Bottom));
  if (Last) R.Right -= 2;
}

// The caption with its image, aligned as the column asks, and the sort mark of the sorted
// column unless the caption reaches over it.
void TExSectionList::PaintHeaderCaption(TCanvas& Canvas, const TRect& R, int Column,
                                        TExSectionColumn& ColumnItem, const TRect& Area) {
  Canvas.Font().Assign(ColumnItem.HeaderFont());
  const std::string text = ColumnItem.Caption();
  TRect textRect = R;
  const bool sorted = Column == SortSettings.Column() && ColumnItem.SortType() != stNone;
  const TBitmap& glyph =
      SortSettings.Direction() == sdAscending ? SortSettings.GlyphUp : SortSettings.GlyphDown;
  if (sorted) textRect.Right -= glyph.Empty() ? kGlyphWidth : glyph.Width();
  const TAlignment align = ColumnItem.HeaderAlignment();
  const bool image = images_ && ColumnItem.HeaderImageIndex() >= 0;
  if (image) DrawHeaderImage(Canvas, R, textRect, ColumnItem, text);
  Canvas.Brush().SetStyle(bsClear);
  TRect drawn = textRect;
  TTextFormat format = tfSingleLine | tfNoPrefix | tfVerticalCenter;
  if (align == taLeftJustify || (image && align == taCenter)) {
    drawn.Left += 2;
  } else if (align == taRightJustify) {
    drawn.Right -= 4;
    format |= tfRight;
  } else {
    format |= tfCenter;
  }
  Canvas.TextRect(drawn, text, format);
  if (!sorted) return;
  TRect measured = drawn;
  Canvas.TextRect(measured, text, format | tfCalcRect);
  if (format & tfCenter) measured.Right = drawn.Left + (drawn.Width() + measured.Width()) / 2;
  if (format & tfRight) measured.Right = drawn.Right;
  if (measured.Right <= textRect.Left && !text.empty()) return;
  if (!glyph.Empty()) {
    Canvas.Draw(R.Right - glyph.Width(), R.Top + (R.Height() - glyph.Height()) / 2, glyph);
    return;
  }
  DrawSortMark(Canvas, measured.Right >= R.Right ? R.Right + 8 : R.Right - 10,
               (Area.Top + Area.Bottom) / 2);
}

// The header image before the caption (after it when right-aligned); the caption's room
// starts past it.
void TExSectionList::DrawHeaderImage(TCanvas& Canvas, const TRect& R, TRect& TextRect,
                                     TExSectionColumn& Column, const std::string& Text) {
  const TAlignment align = Column.HeaderAlignment();
  const int iw = images_->Width() + 4;
  const int tw = Canvas.TextWidth(Text);
  int ix = R.Left;
  if (align == taRightJustify) ix = TextRect.Right - tw - iw;
  if (align == taCenter) ix = TextRect.Left + (TextRect.Width() - tw - iw) / 2;
  if (ix >= R.Left) {
    images_->Draw(Canvas, ix, (R.Height() - images_->Height()) / 2 + R.Top,
                  Column.HeaderImageIndex());
  }
  if (align != taRightJustify) TextRect.Left = ix + iw;
}

// The drawn sort mark centred at (X, Y): a triangle pointing up when ascending, down when
// descending, edged in white and grey.
void TExSectionList::DrawSortMark(TCanvas& Canvas, int X, int Y) {
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    Canvas.Pen().SetColor(color);
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
  };
  if (SortSettings.Direction() == sdAscending) {
    line(clWhite, X - 4, Y + 4, X + 4, Y + 4);
    line(clWhite, X + 4, Y + 4, X, Y - 4);
    line(clGray, X, Y - 4, X - 4, Y + 4);
  } else {
    line(clGray, X - 4, Y - 4, X + 4, Y - 4);
    line(clWhite, X + 4, Y - 4, X, Y + 4);
    line(clGray, X, Y + 4, X - 4, Y - 4);
  }
}

// --- header control ---------------------------------------------------------------------

TExSectionHeader::TExSectionHeader(TExSectionList& List) : TCustomControl(&List), list_(List) {
  SetShowHint(true);
}

int TExSectionHeader::SectionWidth(int Section) const {
  return Section >= 0 && Section < SectionCount() ? widths_[static_cast<size_t>(Section)] : 0;
}

void TExSectionHeader::SetSectionWidth(int Section, int Width) {
  if (Section >= 0 && Section < SectionCount()) widths_[static_cast<size_t>(Section)] = Width;
}

void TExSectionHeader::DeleteSection(int Section) {
  if (Section >= 0 && Section < SectionCount()) widths_.erase(widths_.begin() + Section);
}

int TExSectionHeader::SectionLeft(int Section) const {
  int x = 0;
  for (int s = 0; s < Section && s < SectionCount(); ++s) x += widths_[static_cast<size_t>(s)];
  return x;
}

int TExSectionHeader::SectionAt(int X) const {
  int right = 0;
  for (int s = 0; s < SectionCount(); ++s) {
    right += widths_[static_cast<size_t>(s)];
    if (X < right) return s;
  }
  return -1;
}

int TExSectionHeader::EdgeAt(int X) const {
  int right = 0;
  for (int s = 0; s < SectionCount(); ++s) {
    right += widths_[static_cast<size_t>(s)];
    if (std::abs(X - right) <= kSizeGrip) return s;
  }
  return -1;
}

void TExSectionHeader::Paint() {
  list_.PaintHeader(Canvas());
}

void TExSectionHeader::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || (Shift & ssDouble)) return;
  if (AllowResize && EdgeAt(X) >= 0) {
    sizing_ = EdgeAt(X);
    return;
  }
  if (SectionDragDrop && !dragging_) {
    pressed_ = SectionAt(X);
    press_ = Point(X, Y);
  }
}

void TExSectionHeader::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (sizing_ >= 0) {
    SetSectionWidth(sizing_, std::max(kSizeGrip, X - SectionLeft(sizing_)));
    Invalidate();
    list_.engine_->Invalidate();
    return;
  }
  SetCursor(AllowResize && EdgeAt(X) >= 0 ? crSizeWE : crDefault);
  if (SectionDragDrop && !dragging_ && pressed_ >= 0 && (Shift & ssLeft)) {
    if (std::abs(X - press_.X) >= kDragStart || std::abs(Y - press_.Y) >= kDragStart) {
      dragging_ = true;
      SetCursor(crSizeAll);
    }
    return;
  }
  const int s = SectionAt(X);
  if (s < 0 || s >= list_.Columns.Count() || s == hint_section_) return;
  const int left = SectionLeft(s);
  if (X - left <= 4 || left + SectionWidth(s) - X < 5) return;
  hint_section_ = s;
  CancelHint();
  const TExSectionColumn* column = list_.Columns.Items(list_.SectionToColumn(s));
  SetHint(column && column->HeaderShowHint() ? column->HeaderHint() : "");
}

void TExSectionHeader::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  const int s = SectionAt(X);
  if (Button == mbRight) {
    if (list_.OnHeaderRightClick) list_.OnHeaderRightClick(&list_, list_.SectionToColumn(s));
    return;
  }
  if (Button != mbLeft) return;
  if (sizing_ >= 0) {
    const int sized = sizing_;
    sizing_ = -1;
    list_.HeaderSized(sized, SectionWidth(sized));
    return;
  }
  if (list_.OnHeaderClick) list_.OnHeaderClick(&list_, list_.SectionToColumn(s));
  if (!dragging_ && s >= 0 && s < list_.Columns.Count()) {
    const int left = SectionLeft(s);
    if (X - left > 4 && left + SectionWidth(s) - X > 4) list_.HeaderClicked(s);
  }
  if (dragging_) {
    dragging_ = false;
    SetCursor(crDefault);
    if (s >= 0 && s != pressed_) list_.MoveSection(pressed_, s);
  }
  pressed_ = -1;
}

void TExSectionHeader::DblClick() {
  TCustomControl::DblClick();
  if (list_.OnHeaderDblClick)
    list_.OnHeaderDblClick(&list_, list_.SectionToColumn(SectionAt(press_.X)));
}
