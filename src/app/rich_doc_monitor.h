// The monitor's view over the rich-text document rdMain: the appender works on the
// plain document (lines, selection, trimming), and every change is copied into rdMain
// when the document is formatted, so the viewer shows the runs in their style colours
// and scrolls as the appender asks.
#pragma once

#include "app/plain_monitor.h"

class TRichDoc;

class TRichDocMonitor : public TPlainMonitor {
 public:
  explicit TRichDocMonitor(TRichDoc& Doc) : doc_(Doc) {}

  void ReplaceItemText(int ItemNo, const std::string& Text) override;
  void AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) override;
  void AddTextContinued(const std::string& Text, int StyleNo) override;
  void DeleteItemRange(int First, int Last) override;
  void ClearDocument() override;
  void FormatDocument() override;
  // Scrolling is the viewer's: the user may have scrolled it.
  int VScrollPos() const override;
  int GetVScrollMax() const override;
  void SetVScrollPos(int Value) override;
  void Repaint() override;

 private:
  void CopyToDoc();

  TRichDoc& doc_;
  bool changed_ = false;
};
