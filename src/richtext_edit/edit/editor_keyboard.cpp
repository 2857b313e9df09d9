// The editor's keyboard and text input: which key calls which editing operation with
// which modifiers, typed characters, and the text of input methods. The window system
// hands text over as Unicode, so characters of any script reach the document as they
// are typed; a text style that cannot hold them gives way to the style sheet's Unicode
// style.
#include <algorithm>

#include "platform/gui/controls/virtual_keys.h"
#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/styles/rd_style.h"
#include "richtext_edit/edit/item_resizer.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// Typed characters come in the program's code page.
constexpr TRDCodePage kProgramCodePage = 1252;

bool IsUndoKey(TKeyCode Key, TShiftState Shift) {
  return ((Shift & ssCtrl) && !(Shift & ssAlt) && Key == 'Z') ||
         ((Shift & ssAlt) && Key == VK_BACK);
}

bool IsNavigationKey(TKeyCode Key) {
  return Key >= VK_PRIOR && Key <= VK_DOWN;
}

// Modifier, lock, function and media keys: they do nothing in the document.
bool IsInertKey(TKeyCode Key) {
  return Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key == VK_PAUSE ||
         Key == VK_CAPITAL || Key == VK_ESCAPE || Key == 0x2C /* print screen */ ||
         (Key >= 0x5B && Key <= 0x5D) /* system and menu keys */ ||
         (Key >= VK_F1 && Key <= 0x87) /* F1-F24 */ || Key == 0x90 || Key == 0x91 ||
         (Key >= 0xA0 && Key <= 0xB7) || Key == 0xE5 /* input method */ || Key >= 0xF6;
}

}  // namespace

void TCustomRichDocEdit::KeyDown(TKeyCode& Key, TShiftState Shift) {
  caret_on_ = true;
  TRDEditRDData& data = EditData();
  if (Key == VK_RETURN && (EditorOptions & rdoDoNotWantReturns)) {
    data.Beep();
    Key = 0;
    return;
  }
  if (IsUndoKey(Key, Shift)) {
    if (Shift & ssShift)
      Redo();
    else
      Undo();
    Key = 0;
    return;
  }
  TCustomRichDoc::KeyDown(Key, Shift);  // copying, and the OnKeyDown event
  if (Key == 0) return;
  if (RunCommandKey(Key, Shift)) {
    Key = 0;
    return;
  }
  if (IsInertKey(Key)) {
    // Ctrl held makes the links work, as in a viewer.
    if (Key == VK_CONTROL && (EditorOptions & rdoCtrlJumps) && !(data.GetFlags() & rdfCollectJumps))
      data.EnterHyperlinkMode(false);
    return;
  }
  EditByKey(Key, Shift);
  // Alt with a key is a command (a menu's), never a typed character.
  if ((Shift & ssAlt) && !(Shift & ssCtrl)) Key = 0;
}

bool TCustomRichDocEdit::RunCommandKey(TKeyCode Key, TShiftState Shift) {
  TRDEditRDData& data = EditData();
  if (Key == VK_ESCAPE && data.Resizer && data.Resizer->Dragging) {
    data.Resizer->Cancel();
    SetCursor(crIBeam);
    Invalidate();
    return true;
  }
  if ((Shift & ssCtrl) && (Key == VK_UP || Key == VK_DOWN)) {
    TCustomRichDocEdit& root = RootEditor();
    root.SetVScrollPos(root.VScrollPos() + (Key == VK_UP ? -1 : 1));
    return true;
  }
  if ((Key == VK_BACK || Key == VK_DELETE) && data.HasSelectionOrPartial()) {
    if (Key == VK_DELETE && Shift == ssShift)
      CutToClipboard();
    else
      DeleteSelection();
    return true;
  }
  if (IsNavigationKey(Key)) {
    MoveCaretByKey(Key, Shift);
    return true;
  }
  if (IsCutShortcut(Shift, Key))
    CutToClipboard();
  else if (IsPasteShortcut(Shift, Key))
    Paste();
  else if (!IsCopyShortcut(Shift, Key))
    return false;
  return true;
}

void TCustomRichDocEdit::EditByKey(TKeyCode& Key, TShiftState Shift) {
  TRDEditRDData& data = EditData();
  const bool ctrl = Shift & ssCtrl, shift = Shift & ssShift, alt = Shift & ssAlt;
  // A key that types over the selection takes it away first; its character follows.
  if (!ctrl && !alt && Key != VK_INSERT && data.HasSelection() && !DeleteSelection()) {
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_BACK:
      if (data.BackspaceKey(ctrl, false, false)) Change(true);
      Key = 0;
      break;
    case VK_DELETE:
      if (data.DeleteKey(ctrl, false)) Change(true);
      Key = 0;
      break;
    case VK_TAB:
      // Ctrl+Tab types a tab (plain Tab arrives as its character).
      if (ctrl) {
        TypeCharacter(u'\t');
        Key = 0;
      }
      break;
    case VK_RETURN:
      if (!(shift && (EditorOptions & rdoDoNotWantShiftReturns)) && BeforeChange(false)) {
        const bool changed = data.EnterKey(shift, false);
        Invalidate();
        if (changed) Change(true);
      }
      Key = 0;
      break;
    default:
      break;
  }
}

void TCustomRichDocEdit::KeyUp(TKeyCode& Key, TShiftState Shift) {
  if (Key == VK_CONTROL) EditData().LeaveHyperlinkMode();
  TCustomRichDoc::KeyUp(Key, Shift);
}

void TCustomRichDocEdit::MoveCaretByKey(TKeyCode Key, TShiftState Shift) {
  TRDEditRDData& data = ActiveEditor().EditData();
  const bool select = Shift & ssShift, ctrl = Shift & ssCtrl;
  data.EnsureNotEmpty();
  if (select)
    data.StartSelectionAtCaret();
  else if (data.HasSelectionOrPartial())
    data.Deselect(false);
  // In a right-to-left editor the arrow keys go the way the text runs.
  if (BiDiMode() == rdbdRightToLeft && (Key == VK_LEFT || Key == VK_RIGHT))
    Key = Key == VK_LEFT ? VK_RIGHT : VK_LEFT;
  const int itemBefore = data.GetCurrentItemNo(), offsetBefore = data.GetOffsetInCurrentItem();
  bool atEdge = false;
  TRDGetOutDirection direction = rddLeft;
  switch (Key) {
    case VK_LEFT:
      atEdge = data.MoveCaretLeft(select, ctrl);
      break;
    case VK_RIGHT:
      atEdge = data.MoveCaretRight(select, ctrl);
      direction = rddRight;
      break;
    case VK_UP:
      atEdge = data.MoveCaretUp(select, ctrl);
      direction = rddUp;
      break;
    case VK_DOWN:
      atEdge = data.MoveCaretDown(select, ctrl);
      direction = rddDown;
      break;
    case VK_HOME:
    case VK_END:
      if (Key == VK_HOME)
        data.MoveCaretToLineStart(ctrl);
      else
        data.MoveCaretToLineEnd(ctrl);
      atEdge =
          data.GetCurrentItemNo() == itemBefore && data.GetOffsetInCurrentItem() == offsetBefore;
      direction = Key == VK_HOME ? rddTop : rddBottom;
      break;
    case VK_PRIOR:
      data.MoveCaretPageUp();
      break;
    default:
      data.MoveCaretPageDown();
      break;
  }
  if (select) data.ExtendSelectionToCaret();
  Invalidate();
  if (atEdge && Key != VK_PRIOR && Key != VK_NEXT) {
    TCustomRichDocEdit& root = RootEditor();
    if (root.OnCaretGetOut) root.OnCaretGetOut(&root, direction);
  }
}

void TCustomRichDocEdit::KeyPress(char& Key) {
  const unsigned char ch = static_cast<unsigned char>(Key);
  if (Key == '\r' && (EditorOptions & rdoDoNotWantReturns)) {
    EditData().Beep();
    Key = 0;
    return;
  }
  if ((ch < 32 && Key != '\t') || ch == 127) return;
  TCustomRichDoc::KeyPress(Key);  // the OnKeyPress event may change or drop it
  if (Key == 0) return;
  const std::string wide = AnsiToRawUnicode(kProgramCodePage, std::string(1, Key));
  if (wide.size() == 2)
    TypeCharacter(char16_t(std::uint8_t(wide[0]) | (std::uint8_t(wide[1]) << 8)));
  Key = 0;
}

void TCustomRichDocEdit::UnicodeInput(const std::u16string& Text) {
  if (Text.empty()) return;
  if (Text.size() > 1) {
    InsertComposedText(Text);
    return;
  }
  SwitchToUnicodeStyle();
  TypeCharacter(Text[0]);
}

void TCustomRichDocEdit::InsertComposedText(const std::u16string& Text) {
  const std::string bytes(reinterpret_cast<const char*>(Text.data()), Text.size() * 2);
  TRDEditRDData& data = EditData();
  data.State |= rddsKeepPendingTag;
  RunInsertion(
      [&](TRDEditRDData& target) {
        target.InsertUnicodeTextAtCaret(bytes, false);
        return true;
      },
      [this] { SwitchToUnicodeStyle(); });
  data.State &= ~rddsKeepPendingTag;
}

void TCustomRichDocEdit::InputLanguageChanged(int Charset) {
  TRDStyle* style = Style();
  TCustomRichDocEdit& active = ActiveEditor();
  TRDEditRDData& data = active.EditData();
  if (!(EditorOptions & rdoAutoSwitchLang) || !style || data.GetItemCount() == 0) return;
  const int current = data.CurTextStyleNo;
  TFontInfos& styles = style->TextStyles();
  if (current < 0 || current >= styles.Count() ||
      data.IsUnicodeTextStyle(current, data.CurParaStyleNo))
    return;
  int twin = styles.FindStyleWithCharset(current, Charset);
  if (twin < 0) {
    TFontInfo& added = styles.Add();
    added.Assign(styles.Items(current));
    added.SetStandard(false);
    added.Charset = Charset;
    twin = styles.Count() - 1;
  }
  active.SetCurTextStyleNo(twin);
}

void TCustomRichDocEdit::SwitchToUnicodeStyle() {
  const TRDStyle* style = Style();
  TRDEditRDData& data = ActiveEditor().EditData();
  if (!style || data.IsUnicodeTextStyle(data.CurTextStyleNo, data.CurParaStyleNo)) return;
  if (style->DefUnicodeStyle >= 0 && style->DefUnicodeStyle < style->TextStyles().Count())
    ActiveEditor().SetCurTextStyleNo(style->DefUnicodeStyle);
}

void TCustomRichDocEdit::TypeCharacter(char16_t Ch) {
  if (Ch != u'\t') {
    TypeChar(Ch);
    return;
  }
  const TRDStyle* style = Style();
  if (style && style->SpacesInTab >= 1) {
    const std::string spaces(size_t(style->SpacesInTab), ' ');
    RunInsertion([&](TRDEditRDData& data) {
      data.InsertAnsiTextAtCaret(spaces, false);
      return true;
    });
  } else {
    InsertTab();
  }
}

void TCustomRichDocEdit::ComposingInput(const std::u16string& Text, int Cursor) {
  composing_ = Text;
  composing_cursor_ = Cursor;
  Invalidate();
}

void TCustomRichDocEdit::PaintComposing(TRDCanvas& Canvas) {
  TRDStyle* style = Style();
  TRect caret;
  if (composing_.empty() || !style || !EditData().GetCaretRect(caret)) return;
  style->ApplyStyle(Canvas, EditData().GetCurrentTextStyleNo(), BiDiMode(), false);
  const int width = Canvas.TextWidthW(composing_);
  Canvas.BrushStyle = bsSolid;
  Canvas.BrushColor = clWindow;
  Canvas.FillRect(Rect(caret.Left, caret.Top, caret.Left + width, caret.Bottom));
  Canvas.BrushStyle = bsClear;
  Canvas.TextOutW(caret.Left, caret.Top, composing_);
  Canvas.PenColor = Canvas.Font.Color;
  Canvas.PenStyle = psSolid;
  Canvas.PenWidth = 1;
  Canvas.MoveTo(caret.Left, caret.Bottom - 1);
  Canvas.LineTo(caret.Left + width, caret.Bottom - 1);
  const size_t cursor = std::min(composing_.size(), size_t(std::max(composing_cursor_, 0)));
  const int x = caret.Left + Canvas.TextWidthW(std::u16string_view(composing_).substr(0, cursor));
  Canvas.MoveTo(x, caret.Top);
  Canvas.LineTo(x, caret.Bottom);
}
