// Cell drawing of the section list: each column kind has its look (plain or markup
// text, link, image, check box, progress bar); the preview column is a strip under the
// row. Also the geometry that the clicks on links and check boxes use.
#include <algorithm>
#include <cmath>

#include "html/gradient_style.h"
#include "html/html_draw.h"
#include "lists/ex_section_list.h"
#include "lists/text_fit.h"
#include "platform/gui/graphics/unicode_text.h"
#include "platform/text/cp1252.h"

namespace {

int Round(double Value) {
  return static_cast<int>(std::lround(Value));
}

void FillRectColor(TCanvas& Canvas, const TRect& Rect, TColor Color) {
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(Color);
  Canvas.FillRect(Rect);
}

TTextFormat AlignmentFormat(TAlignment Alignment) {
  if (Alignment == taCenter) return tfCenter;
  return Alignment == taRightJustify ? TTextFormat(tfRight) : 0;
}

}  // namespace

// --- drawing routines -------------------------------------------------------------------

// The box pictures are drawn here: a frame, a light face and the check mark.
void DrawCheckBox(TCanvas& Canvas, const TRect& Rect, bool Checked, TCheckBoxStyle Style,
                  TColor Color, bool Enabled) {
  const int l = Rect.Left + (Rect.Width() - kCheckBoxSize) / 2;
  const int t = Rect.Top + (Rect.Height() - kCheckBoxSize) / 2;
  const int r = l + kCheckBoxSize;
  const int b = t + kCheckBoxSize;
  TPen& pen = Canvas.Pen();
  const TColor mark = Enabled ? Color : clGray;
  auto line = [&](int x1, int y1, int x2, int y2) {
    Canvas.MoveTo(x1, y1);
    Canvas.LineTo(x2, y2);
  };
  if (Style == cbsQuillet) {
    FillRectColor(Canvas, ::Rect(l, t, r, b), Enabled ? clBtnFace : clBtnShadow);
    pen.SetColor(clBtnHighlight);
    line(l, b, l, t);
    line(l, t, r, t);
    pen.SetColor(clBtnShadow);
    line(r, t, r, b);
    line(r, b, l, b);
    if (Checked) {
      pen.SetColor(mark);
      pen.SetWidth(1);
      line(l + 2, t + 7, l + 2, b - 2);
      line(l + 3, t + 6, l + 3, b - 3);
      line(l + 2, b - 2, r - 2, t + 2);
      line(l + 3, b - 2, r - 1, t + 2);
    }
    return;
  }
  // Classic and flat: a sunken (or plain) frame; the XP look: a blue-grey frame on a
  // soft face. Inside, a tick of three strokes.
  const int bl = l + 1;
  const int bt = t + 1;
  const int br = r - 1;
  const int bb = b - 1;
  if (Style == cbsWinXP) {
    FillRectColor(Canvas, ::Rect(bl, bt, br, bb), Enabled ? RGB(0x1C, 0x51, 0x80) : clGray);
    FillRectColor(Canvas, ::Rect(bl + 1, bt + 1, br - 1, bb - 1),
                  Enabled ? RGB(0xF4, 0xF4, 0xF0) : clBtnFace);
  } else {
    FillRectColor(Canvas, ::Rect(bl, bt, br, bb), Style == cbsFlat ? clGray : clBtnShadow);
    FillRectColor(Canvas, ::Rect(bl + 1, bt + 1, br, bb), Style == cbsFlat ? clGray : clWhite);
    FillRectColor(Canvas, ::Rect(bl + 1, bt + 1, br - 1, bb - 1), Enabled ? clWhite : clBtnFace);
  }
  if (Checked) {
    const TColor tick = Style == cbsWinXP && Enabled ? RGB(0x21, 0xA1, 0x21) : mark;
    for (int i = 0; i < 3; ++i) {
      FillRectColor(Canvas, ::Rect(bl + 3 + i, bt + 5 + i, bl + 4 + i, bt + 8 + i), tick);
    }
    for (int i = 0; i < 4; ++i) {
      FillRectColor(Canvas, ::Rect(bl + 6 + i, bt + 6 - i, bl + 7 + i, bt + 9 - i), tick);
    }
  }
}

namespace {

// The filled part of a progress bar, in segments along it.
class TProgressFill {
 public:
  TProgressFill(TCanvas& Canvas, const TRect& R, const TProgressAppearance& A, bool Vertical)
      : canvas_(Canvas),
        r_(R),
        a_(A),
        vertical_(Vertical),
        length_((Vertical ? R.Height() : R.Width()) - 2) {}

  // Each level's share of P percent in its own colours, one after the other.
  void Stacked(int P) {
    const int one = P < a_.Level1Perc ? Share(P) : Share(a_.Level1Perc);
    Segment(0, one, 1, a_.Level0Color, a_.Level0ColorTo);
    if (P < a_.Level1Perc) return;
    const int two =
        P < a_.Level2Perc ? Share(P - a_.Level1Perc) : Share(a_.Level2Perc - a_.Level1Perc);
    Segment(one, one + two, 1, a_.Level1Color, a_.Level1ColorTo);
    if (P < a_.Level2Perc) return;
    const int three = P == 100 ? length_ - one - two : Share(P - a_.Level2Perc);
    Segment(one + two, one + two + three, 1, a_.Level3Color, a_.Level3ColorTo);
  }

  // P percent in the colours of the level it reached: smooth, or in blocks.
  void Levelled(int P) {
    TColor color = a_.Level0Color;
    TColor colorTo = a_.Level0ColorTo;
    if (P >= 100) {
      color = a_.Level3Color;
      colorTo = a_.Level3ColorTo;
    } else if (P >= a_.Level2Perc) {
      color = a_.Level2Color;
      colorTo = a_.Level2ColorTo;
    } else if (P >= a_.Level1Perc) {
      color = a_.Level1Color;
      colorTo = a_.Level1ColorTo;
    }
    if (a_.CompletionSmooth) {
      Segment(0, Share(P), 1, color, colorTo);
      return;
    }
    const int n = Round(static_cast<double>(P) * length_ / 100);
    if (n >= 10) {
      Segment(1, 8, 2, color, colorTo);  // pixels 2 to 9 past the start edge
      int end = 8;
      for (int i = 0; i < n / 9 - 1; ++i) {
        Segment(end + 2, end + 9, 2, color, colorTo);
        end += 9;
      }
      if (n % 9 > 2) Segment(end + 2, end + 2 + n % 9 - 1, 2, color, colorTo);
    } else if (n >= 2) {
      Segment(1, n, 2, color, colorTo);
    }
  }

 private:
  int Share(double Percent) const { return Round(Percent / 100 * length_); }

  // A segment from From to To pixels past the start edge, inset by Inset on the sides.
  void Segment(int From, int To, int Inset, TColor Color, TColor ColorTo) {
    if (To <= From) return;
    const TRect& r = r_;
    const TRect s =
        vertical_ ? Rect(r.Left + Inset, r.Bottom - 1 - To, r.Right - Inset, r.Bottom - 1 - From)
                  : Rect(r.Left + 1 + From, r.Top + Inset, r.Left + 1 + To, r.Bottom - Inset);
    if (!a_.ShowGradient) {
      FillRectColor(canvas_, s, Color);
      return;
    }
    // Two mirrored gradients meeting in the middle of the bar's thickness.
    if (vertical_) {
      const int mid = (s.Left + s.Right) / 2;
      GradientFill(canvas_, ColorTo, Color, true, Rect(s.Left, s.Top, mid, s.Bottom), a_.Steps);
      GradientFill(canvas_, Color, ColorTo, true, Rect(mid, s.Top, s.Right, s.Bottom), a_.Steps);
    } else {
      const int mid = (s.Top + s.Bottom) / 2;
      GradientFill(canvas_, ColorTo, Color, false, Rect(s.Left, s.Top, s.Right, mid), a_.Steps);
      GradientFill(canvas_, Color, ColorTo, false, Rect(s.Left, mid, s.Right, s.Bottom), a_.Steps);
    }
  }

  TCanvas& canvas_;
  const TRect r_;
  const TProgressAppearance& a_;
  const bool vertical_;
  const int length_;
};

}  // namespace

void DrawProgressBar(TCanvas& Canvas, TRect R, int Position, const TProgressAppearance& A,
                     TColor Background, bool Vertical) {
  const int p = std::clamp(Position, 0, 100);
  const TColor border = A.ShowBorder ? A.BorderColor : Background;
  FillRectColor(Canvas, R, Background);
  Canvas.Brush().SetColor(border);
  Canvas.FrameRect(R);
  TProgressFill fill(Canvas, R, A, Vertical);
  if (p >= 1) {
    if (A.Stacked)
      fill.Stacked(p);
    else
      fill.Levelled(p);
  }
  if (A.ShowPercentage) {
    Canvas.Brush().SetStyle(bsClear);
    TRect text = R;
    Canvas.TextRect(text, std::to_string(Position) + "%",
                    tfSingleLine | tfNoPrefix | tfCenter | tfVerticalCenter);
  }
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(border);
  Canvas.FrameRect(R);
}

void DrawProgress(TCanvas& Canvas, TRect Rect, int Position, bool Classic,
                  const TProgressAppearance& A) {
  Rect = ::Rect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1);
  if (!Classic) {
    const TColor background =
        A.UnCompleteColor == clNone ? Canvas.Brush().Color() : A.UnCompleteColor;
    Canvas.Font().SetColor(A.CompleteFontColor);
    DrawProgressBar(Canvas, ::Rect(Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1),
                    Position, A, background, false);
    return;
  }
  const TColor cell = Canvas.Brush().Color();
  const TFontStyles style = Canvas.Font().Style();
  Rect = ::Rect(Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2);
  const std::string text = std::to_string(Position) + "%";
  const int complete = Round(Rect.Width() * std::clamp(Position, 0, 100) / 100.0);
  Canvas.Font().SetStyle(0);
  const TSize extent = Canvas.TextExtent(text);
  const int x = Rect.Left + (Rect.Width() - extent.cx) / 2;
  const int y = Rect.Top + (Rect.Height() - extent.cy) / 2;
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(A.CompleteColor);
  Canvas.Font().SetColor(A.CompleteFontColor);
  Canvas.TextRect(::Rect(Rect.Left, Rect.Top, Rect.Left + complete, Rect.Bottom), x, y, text);
  Canvas.Brush().SetColor(A.UnCompleteColor);
  Canvas.Font().SetColor(A.UnCompleteFontColor);
  Canvas.TextRect(::Rect(Rect.Left + complete, Rect.Top, Rect.Right, Rect.Bottom), x, y, text);
  Canvas.Brush().SetColor(cell);
  Canvas.FrameRect(::Rect(Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1));
  Canvas.FrameRect(::Rect(Rect.Left - 2, Rect.Top - 2, Rect.Right + 2, Rect.Bottom + 2));
  Canvas.Font().SetStyle(style);
}

// --- cell geometry ----------------------------------------------------------------------

TRect TExSectionList::GetCellRect(const TRect& RowRect, int Column) const {
  const TExSectionColumn* column = Columns.Items(Column);
  if (!column || !column->Visible()) return TRect{};
  if (Column == GroupColumn && group_column_display_ == gdHidden) return TRect{};
  const bool preview = PreviewSettings.Active() && Columns.Items(PreviewSettings.Column());
  if (preview && Column == PreviewSettings.Column()) {
    return Rect(RowRect.Left, RowRect.Bottom - PreviewSettings.Height(), RowRect.Right,
                RowRect.Bottom);
  }
  int x = RowRect.Left;
  for (int s = 0; s < header_->SectionCount(); ++s) {
    const int w = header_->SectionWidth(s);
    if (SectionToColumn(s) == Column) {
      return Rect(x, RowRect.Top, x + w - 1,
                  preview ? RowRect.Bottom - PreviewSettings.Height() : RowRect.Bottom);
    }
    x += w;
  }
  return TRect{};
}

int TExSectionList::ColumnAtPoint(const TRect& RowRect, int X, int Y, TRect& Cell) const {
  for (int c = 0; c < Columns.Count(); ++c) {
    const TRect r = GetCellRect(RowRect, c);
    if (X >= r.Left && X < r.Right && Y >= r.Top && Y < r.Bottom) {
      Cell = r;
      return c;
    }
  }
  return -1;
}

bool TExSectionList::PointOnURLText(POGLItem Item, int Column, TPoint Pt, const TRect& CellRect) {
  TExSectionColumn* column = Columns.Items(Column);
  if (!column || (column->ColumnType() != ctText && column->ColumnType() != ctURL)) return false;
  const TStringList* row = RowOf(Item);
  const int i = ColumnToStringIndex(Column);
  if (!row || i >= row->Count()) return false;
  TCanvas measure;
  const bool preview = PreviewSettings.Active() && Column == PreviewSettings.Column();
  measure.Font().Assign(preview ? PreviewSettings.Font : column->Font());
  measure.Font().SetStyle(URLSettings.FontStyle);
  const TSize size = measure.TextExtent(row->Get(i));
  int left = CellRect.Left;
  if (column->Alignment() == taRightJustify) left = CellRect.Right - size.cx;
  if (column->Alignment() == taCenter) left = CellRect.Left + (CellRect.Width() - size.cx) / 2;
  const int top = CellRect.Top + (CellRect.Height() - size.cy) / 2;
  return Pt.X >= left && Pt.X < left + size.cx && Pt.Y >= top && Pt.Y < top + size.cy;
}

// --- painting ---------------------------------------------------------------------------

void TExSectionList::DrawRow(TCanvas& Canvas, TRect Rect, POGLItem Item) {
  for (int c = 0; c < Columns.Count(); ++c) {
    if (c == GroupColumn && group_column_display_ == gdHidden) continue;
    if (!Columns.Items(c)->Visible()) continue;
    DrawCell(Canvas, Rect, Item, c);
  }
}

bool TExSectionList::DrawHtml(TCanvas& Canvas, const std::string& Text, const TRect& Rect,
                              TColor LinkColor, bool HitTest, TPoint Mouse, int HoverLink,
                              std::string& Anchor, int& MouseLink) {
  THtmlDrawParams params;
  params.Images = images_;
  params.XPos = Mouse.X;
  params.YPos = Mouse.Y;
  params.HitTestOnly = HitTest;
  params.URLColor = LinkColor;
  params.ShadowOffset = 2;
  params.HoverLink = HoverLink;
  params.HoverOnly = AnchorHover;
  params.HoverColor = AnchorHoverColor;
  params.HoverFontColor = AnchorHoverFontColor;
  params.PictureCache = &picture_cache_;
  params.PictureContainer = PictureContainer;
  THtmlDrawResult result;
  const bool onLink = DrawHtmlText(Canvas, Text, Rect, params, result);
  Anchor = onLink ? result.AnchorVal : "";
  MouseLink = onLink ? result.MouseLink : -1;
  return onLink;
}

std::string TExSectionList::AnchorAtPoint(int X, int Y, const TRect& CellRect,
                                          const std::string& Value, int Column) {
  TCanvas& canvas = Canvas();
  TExSectionColumn* column = Columns.Items(Column);
  const bool preview = PreviewSettings.Active() && Column == PreviewSettings.Column();
  canvas.Font().Assign(preview ? PreviewSettings.Font : column->Font());
  std::string anchor;
  DrawHtml(canvas, Value, Rect(CellRect.Left + 2, CellRect.Top, CellRect.Right, CellRect.Bottom),
           URLSettings.Color, true, Point(X, Y), -1, anchor, point_anchor_);
  return anchor;
}

void TExSectionList::DrawCell(TCanvas& Canvas, const TRect& Row, POGLItem Item, int Column) {
  TExSectionColumn& column = *Columns.Items(Column);
  const TRect cell = GetCellRect(Row, Column);
  if (cell.Width() <= 0 && cell.Height() <= 0) return;
  const bool groupCell = Column == GroupColumn && group_column_display_ == gdVisible;
  std::string value = CellText(Item, Column);
  if (OnDrawItem) {
    OnDrawItem(this, Item, Column, value, Canvas, cell);
    return;
  }
  const bool preview = PreviewSettings.Active() && Column == PreviewSettings.Column();
  PaintCellBackground(Canvas, cell, Item, Column, value, preview);
  if (OnDrawItemValue) OnDrawItemValue(this, Item, Column, value);
  if (column.SectionIndex < header_->SectionCount() - 1 && ColumnLineColor != clNone)
    DrawColumnLine(Canvas, cell, column, preview);
  const TStringList* row = RowOf(Item);
  if (!groupCell && (!row || ColumnToStringIndex(Column) >= row->Count())) return;
  // A number that is not one draws nothing: a bad cell must not stop the painting.
  int number = 0;
  const bool isNumber = TryStrToInt(value, number);
  switch (column.ColumnType()) {
    case ctText:
    case ctURL:
      DrawCellText(Canvas, cell, Item, Column, value, preview);
      break;
    case ctImage:
      if (images_ && isNumber && number >= 0) {
        const int y = cell.Top + (cell.Height() - images_->Height()) / 2;
        images_->Draw(Canvas, AlignedLeft(cell, column.Alignment(), images_->Width()), y, number);
      }
      break;
    case ctCheckBox:
      if (isNumber) {
        const int x = AlignedLeft(cell, column.Alignment(), kCheckBoxSize);
        const int y = cell.Top + (cell.Height() - kCheckBoxSize) / 2;
        DrawCheckBox(Canvas, Rect(x, y, x + kCheckBoxSize, y + kCheckBoxSize), number == 1,
                     CheckBoxStyle, clBlack, true);
      }
      break;
    case ctProgress:
      if (isNumber) {
        DrawProgress(Canvas, cell, number, ProgressAppearance.Style == psClassic,
                     ProgressAppearance);
      }
      break;
  }
}

// The cell's font and brush, by column type and selection (which the program may still
// change), and its background unless the row is selected.
void TExSectionList::PaintCellBackground(TCanvas& Canvas, const TRect& Cell, POGLItem Item,
                                         int Column, std::string& Value, bool Preview) {
  TExSectionColumn& column = *Columns.Items(Column);
  Canvas.Font().Assign(Preview ? PreviewSettings.Font : column.Font());
  if (column.ColumnType() == ctURL) {
    Canvas.Font().SetStyle(URLSettings.FontStyle);
    Canvas.Font().SetColor(URLSettings.Color);
  }
  Canvas.Brush().SetStyle(bsSolid);
  if (engine_->IsItemSelected(Item) && engine_->SelectionShows()) {
    Canvas.Font().SetColor(SelectionTextColor);
    Canvas.Brush().SetColor(engine_->SelectionColor);
    if (OnDrawItemProp) OnDrawItemProp(this, Item, Column, Value, Canvas.Brush(), Canvas.Font());
    return;
  }
  Canvas.Brush().SetColor(column.Color() == clNone ? Color() : column.Color());
  if (OnDrawItemProp) OnDrawItemProp(this, Item, Column, Value, Canvas.Brush(), Canvas.Font());
  const int left = ColumnLineColor == clNone ? Cell.Left - 1 : Cell.Left + 1;
  Canvas.FillRect(Rect(left, Cell.Top, Cell.Right, Cell.Bottom));
}

// The line between a column and the next (above a preview cell, which spans the row);
// the brush stays as it was.
void TExSectionList::DrawColumnLine(TCanvas& Canvas, const TRect& Cell,
                                    const TExSectionColumn& Column, bool Preview) {
  const TColor brush = Canvas.Brush().Color();
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(ColumnLineColor);
  if (Preview) {
    Canvas.FillRect(Rect(Cell.Left, Cell.Top, Cell.Right, Cell.Top + 1));
  } else {
    const int x = Cell.Left + Column.Width() - 1;
    Canvas.FillRect(Rect(x, Cell.Top, x + 1, Cell.Bottom));
  }
  Canvas.Brush().SetColor(brush);
}

void TExSectionList::DrawCellText(TCanvas& Canvas, const TRect& Cell, POGLItem Item, int Column,
                                  const std::string& Value, bool Preview) {
  const TExSectionColumn& column = *Columns.Items(Column);
  TRect text = Rect(Cell.Left + 2, Cell.Top, Cell.Right, Cell.Bottom);
  Canvas.Brush().SetStyle(bsClear);
  if (column.IsMarkupText(Value)) {
    // Only the cell under the mouse has a hovered link.
    const int hover = Item == hovered_item_ && Column == hovered_column_ ? hovered_anchor_ : -1;
    std::string anchor;
    int link;
    DrawHtml(Canvas, Value, text, Preview ? PreviewSettings.Font.Color() : URLSettings.Color, false,
             mouse_, hover, anchor, link);
    return;
  }
  // A text cut by its column ends in "...", and a centred one is cut at its end only.
  const TTextFormat format =
      tfSingleLine | tfNoPrefix | tfVerticalCenter | AlignmentFormat(column.Alignment());
  if (column.Utf8Text()) {
    TextRectW(Canvas, text, FitText(Canvas, ReceivedTextToUtf16(Value), text.Width()), format);
  } else {
    Canvas.TextRect(text, FitText(Canvas, Value, text.Width()), format);
  }
}

// Where a picture Width wide starts in Cell, by the column's alignment.
int TExSectionList::AlignedLeft(const TRect& Cell, TAlignment Alignment, int Width) {
  if (Alignment == taRightJustify) return Cell.Right - Width;
  if (Alignment == taCenter) return Cell.Left + (Cell.Width() - Width) / 2;
  return Cell.Left;
}
