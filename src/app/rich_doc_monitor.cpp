#include "app/rich_doc_monitor.h"

#include "richtext/rich_doc_standin.h"

void TRichDocMonitor::ReplaceItemText(int ItemNo, const std::string& Text) {
  TPlainMonitor::ReplaceItemText(ItemNo, Text);
  changed_ = true;
}

void TRichDocMonitor::AddTextParagraph(const std::string& Text, int StyleNo, int ParaNo) {
  TPlainMonitor::AddTextParagraph(Text, StyleNo, ParaNo);
  changed_ = true;
}

void TRichDocMonitor::AddTextContinued(const std::string& Text, int StyleNo) {
  TPlainMonitor::AddTextContinued(Text, StyleNo);
  changed_ = true;
}

void TRichDocMonitor::DeleteItemRange(int First, int Last) {
  TPlainMonitor::DeleteItemRange(First, Last);
  changed_ = true;
}

void TRichDocMonitor::ClearDocument() {
  TPlainMonitor::ClearDocument();
  changed_ = true;
}

void TRichDocMonitor::FormatDocument() {
  if (changed_) CopyToDoc();
  TPlainMonitor::FormatDocument();
  doc_.FormatDocument();
}

int TRichDocMonitor::VScrollPos() const {
  return doc_.VScrollPos();
}

int TRichDocMonitor::GetVScrollMax() const {
  return doc_.GetVScrollMax();
}

void TRichDocMonitor::SetVScrollPos(int Value) {
  doc_.SetVScrollPos(Value);
}

void TRichDocMonitor::Repaint() {
  if (changed_) FormatDocument();
  doc_.Invalidate();
}

// The log holds at most a few hundred lines, so copying it whole stays cheap and keeps
// the viewer exactly in step with trimming and back-spacing.
void TRichDocMonitor::CopyToDoc() {
  const int pos = doc_.VScrollPos();
  doc_.ClearDocument();
  for (int n = 0; n < ItemCount(); ++n) {
    const TItem& item = Item(n);
    if (item.ParaNo >= 0) {
      doc_.AddTextParagraph(item.Text, item.StyleNo, item.ParaNo);
    } else {
      doc_.AddTextContinued(item.Text, item.StyleNo);
    }
  }
  doc_.SetVScrollPos(pos);
  changed_ = false;
}
