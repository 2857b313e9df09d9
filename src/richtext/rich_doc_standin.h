// Stand-in for the rich-text viewer until it lands: the members the message lists call.
// Items are text runs in a text style; a run either starts a paragraph in a paragraph
// style or continues the line before it. Each paragraph is drawn as one line on the
// background of its paragraph style, each run in the font and colour of its text style.
#pragma once

#include <string>
#include <vector>

#include "platform/gui/controls.h"

class TRDStyle;

// The item fields the windows read and write; a changed ParaNo shows after the next
// FormatDocument.
struct TRichDocItemInfo {
  int StyleNo = 0;
  int ParaNo = 0;
  bool ContinuesPara = false;
};

class TRichDoc : public TCustomControl {
 public:
  explicit TRichDoc(TComponent* AOwner);
  ~TRichDoc() override;

  // The style sheet; without one the runs are drawn in the control's font.
  TRDStyle* Style = nullptr;

  int ItemCount() const { return static_cast<int>(items_.size()); }
  void AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo);
  void AddTextContinued(const std::string& Text, int StyleNo);
  // Empty, and no change, for an item number outside the document.
  std::string ReadItemText(int ItemNo) const;
  void ReplaceItemText(int ItemNo, const std::string& Text);
  // Null outside the document.
  TRichDocItemInfo* GetItemInfo(int ItemNo);
  void FormatDocument();
  void ClearDocument();

  // Vertical scrolling in lines; the position equals GetVScrollMax at the end.
  int VScrollPos() const { return scroll_pos_; }
  int GetVScrollMax() const;
  void SetVScrollPos(int Value);
  int LineCount() const;

  std::string ClassName() const override { return "TRichDoc"; }

 protected:
  void Paint() override;

 private:
  struct TItem {
    std::string Text;
    TRichDocItemInfo Info;
  };
  int LineHeight() const { return 16; }

  std::vector<TItem> items_;
  int scroll_pos_ = 0;
};
