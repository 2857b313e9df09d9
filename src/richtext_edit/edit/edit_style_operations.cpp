// The editor's style operations: the selection (or the current style) takes a text or
// paragraph style, a style the application's conversion events choose, or one made from
// a style template. Each installs the style-conversion handler that the editable data
// asks, piece by piece, for the style replacing an old one; protected text styles keep
// their style.
#include "richtext/styles/rd_style.h"
#include "richtext/styles/style_template.h"
#include "richtext_edit/edit/rich_doc_edit.h"

namespace {

// The editor's handler while one operation runs.
class THandlerScope {
 public:
  THandlerScope(TCustomRichDocEdit& editor, TRDStyleConversionHandler handler)
      : editor_(editor), saved_(std::move(editor.StyleConversionHandler)) {
    editor_.StyleConversionHandler = std::move(handler);
  }
  ~THandlerScope() { editor_.StyleConversionHandler = std::move(saved_); }

 private:
  TCustomRichDocEdit& editor_;
  TRDStyleConversionHandler saved_;
};

bool IsStyleProtected(const TRDStyle& style, int styleNo) {
  return styleNo >= 0 && styleNo < style.TextStyles().Count() &&
         (style.TextStyles().Items(styleNo).Protection & rdprStyleProtect);
}

// Applying a template to a style: an equal existing style, else the changed copy added
// as a style of the document's own.
int TextStyleFromTemplate(TRDStyle& style, int styleNo, int paraNo, int index) {
  TFontInfos& texts = style.TextStyles();
  if (styleNo < 0 || styleNo >= texts.Count() || IsStyleProtected(style, styleNo)) return styleNo;
  TFontInfo copy(nullptr);
  copy.Assign(texts.Items(styleNo));
  const TParaInfo* para = paraNo >= 0 && paraNo < style.ParaStyles().Count()
                              ? &style.ParaStyles().Items(paraNo)
                              : nullptr;
  TRDStyleTemplateCollection& templates = style.StyleTemplates();
  if (index < 0)
    templates.ResetTextStyle(copy, para);
  else if (index < templates.Count())
    templates.Items(index).ApplyToTextStyle(copy, para, true);
  else
    return styleNo;
  const int found = texts.FindSuchStyle(styleNo, copy, RDAllFontInfoProperties);
  if (found >= 0) return found;
  TFontInfo& added = texts.Add();
  added.Assign(copy);
  added.SetStandard(false);
  return texts.Count() - 1;
}

int ParaStyleFromTemplate(TRDStyle& style, int paraNo, int index) {
  TParaInfos& paras = style.ParaStyles();
  if (paraNo < 0 || paraNo >= paras.Count()) return paraNo;
  TParaInfo copy(nullptr);
  copy.Assign(paras.Items(paraNo));
  TRDStyleTemplateCollection& templates = style.StyleTemplates();
  if (index < 0)
    templates.ResetParaStyle(copy);
  else if (index < templates.Count())
    templates.Items(index).ApplyToParaStyle(copy, true);
  else
    return paraNo;
  const int found = paras.FindSuchStyle(paraNo, copy, RDAllParaInfoProperties);
  if (found >= 0) return found;
  TParaInfo& added = paras.Add();
  added.Assign(copy);
  added.SetStandard(false);
  return paras.Count() - 1;
}

// Operations the data hands to items holding documents (a table's cells).
constexpr int kTextStyleOperation = 0;
constexpr int kTextConversionOperation = 2;
constexpr int kTextTemplateOperation = 4;
constexpr int kParaTemplateOperation = 5;

}  // namespace

bool TCustomRichDocEdit::ApplyTextStyleThrough(TRDStyleConversionHandler Handler, int UserData,
                                               int Operation, bool WholeParagraphs) {
  if (!BeforeChange(false)) return false;
  THandlerScope scope(*this, std::move(Handler));
  EditData().ApplyTextStyleConversion(UserData, Operation, WholeParagraphs);
  Invalidate();
  return true;
}

bool TCustomRichDocEdit::ApplyParaStyleThrough(TRDStyleConversionHandler Handler, int Value,
                                               int CellsOperation) {
  if (!BeforeChange(false)) return false;
  THandlerScope scope(*this, std::move(Handler));
  TRDEditRDData& data = EditData();
  data.BeginUndoStep(rdutPara, true);
  data.ApplyParaStyleConversion(Value, StyleConversionHandler ? 1 : 0, CellsOperation);
  data.UndoList->DropEmptyLastStep();
  Invalidate();
  return true;
}

bool TCustomRichDocEdit::ApplyTextStyle(int StyleNo) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->ApplyTextStyle(StyleNo);
  const TRDStyle* style = Style();
  return ApplyTextStyleThrough(
      [style, StyleNo](TCustomRichDocEdit*, int oldStyle, int, int, bool, int& newStyle, bool) {
        if (!style || !IsStyleProtected(*style, oldStyle)) newStyle = StyleNo;
      },
      StyleNo, kTextStyleOperation, false);
}

bool TCustomRichDocEdit::ApplyStyleConversion(int UserData) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->ApplyStyleConversion(UserData);
  TCustomRichDocEdit& root = RootEditor();
  if (!root.OnStyleConversion || !EditData().HasSelection()) return false;
  return ApplyTextStyleThrough(
      [&root](TCustomRichDocEdit*, int oldStyle, int, int userData, bool appliedToText,
              int& newStyle,
              bool) { root.OnStyleConversion(&root, oldStyle, userData, appliedToText, newStyle); },
      UserData, kTextConversionOperation, false);
}

bool TCustomRichDocEdit::ApplyParaStyle(int ParaNo) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->ApplyParaStyle(ParaNo);
  return ApplyParaStyleThrough(nullptr, ParaNo);
}

bool TCustomRichDocEdit::ApplyParaStyleConversion(int UserData) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->ApplyParaStyleConversion(UserData);
  TCustomRichDocEdit& root = RootEditor();
  if (!root.OnParaStyleConversion) return false;
  return ApplyParaStyleThrough(
      [&root](TCustomRichDocEdit*, int oldStyle, int, int userData, bool, int& newStyle, bool) {
        root.OnParaStyleConversion(&root, oldStyle, userData, false, newStyle);
      },
      UserData);
}

bool TCustomRichDocEdit::ApplyTextStyleTemplate(int Index, bool ToWholeParagraphs) {
  if (TCustomRichDocEdit* inner = InplaceEditor())
    return inner->ApplyTextStyleTemplate(Index, ToWholeParagraphs);
  TRDStyle* style = Style();
  if (!style) return false;
  return ApplyTextStyleThrough(
      [style, Index](TCustomRichDocEdit*, int oldStyle, int paraNo, int, bool, int& newStyle,
                     bool) { newStyle = TextStyleFromTemplate(*style, oldStyle, paraNo, Index); },
      Index, kTextTemplateOperation, ToWholeParagraphs);
}

bool TCustomRichDocEdit::ApplyParaStyleTemplate(int Index) {
  if (TCustomRichDocEdit* inner = InplaceEditor()) return inner->ApplyParaStyleTemplate(Index);
  TRDStyle* style = Style();
  if (!style) return false;
  return ApplyParaStyleThrough(
      [style, Index](TCustomRichDocEdit*, int oldStyle, int, int, bool, int& newStyle, bool) {
        newStyle = ParaStyleFromTemplate(*style, oldStyle, Index);
      },
      Index, kParaTemplateOperation);
}
