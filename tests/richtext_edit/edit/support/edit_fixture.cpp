#include "richtext_edit/edit/support/edit_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>
#include <typeinfo>

#include "richtext/model/item_factory.h"
#include "richtext/styles/word_painter.h"
#include "richtext/view/live_spelling.h"

TEditFixture::TEditFixture() : data(edit.EditData()) {
  TParaInfo& readOnly = style.ParaStyles().Add();
  readOnly.Options |= rdpaoReadOnly;
  readOnlyPara = style.ParaStyles().Count() - 1;
  TFontInfo& unicode = style.TextStyles().Add();
  unicode.Unicode = true;
  unicodeStyle = style.TextStyles().Count() - 1;
  TFontInfo& guarded = style.TextStyles().Add();
  guarded.Protection = rdprModifyProtect | rdprDeleteProtect;
  protectedStyle = style.TextStyles().Count() - 1;
  edit.SetStyle(&style);
  edit.SetBounds(0, 0, 400, 300);
}

void TEditFixture::AddItem(int styleNo, const std::string& text, bool continuesPara, int paraNo) {
  auto item = CreateRDItem(styleNo, &data);
  item->ParaNo = continuesPara ? -1 : paraNo;
  if (styleNo >= 0 && style.TextStyles().Items(styleNo).Unicode)
    item->ItemOptions |= rdioUnicodeText;
  data.AddItemAtEnd(text, std::move(item));
}

void TEditFixture::AddPara(std::initializer_list<std::pair<std::string, int>> items, int paraNo) {
  bool first = true;
  for (const auto& [text, styleNo] : items) {
    AddItem(styleNo, text, !first, paraNo);
    first = false;
  }
}

std::string DescribeDocument(const TRDEditRDData& data) {
  std::ostringstream out;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    out << i << ' ' << typeid(*item).name() << " style=" << item->StyleNo
        << " para=" << item->ParaNo << " opts=" << int(item->ItemOptions)
        << " tag=" << item->Tag.Number << '/' << item->Tag.Text.value_or("-")
        << " hint=" << item->Hint << " text=[";
    for (unsigned char c : data.GetItemTextRaw(i)) out << (c >= 32 && c < 127 ? char(c) : '.');
    out << ']';
    if (item->Checkpoint)
      out << " cp=" << item->Checkpoint->Name << (item->Checkpoint->Persistent ? "!" : "")
          << (item->Checkpoint->ItemInfo == item ? "" : "(unlinked)");
    int value;
    if (item->GetExtraIntProperty(rdepImageWidth, value)) out << " w=" << value;
    out << '\n';
  }
  if (data.NotAddedCP) out << "end cp=" << data.NotAddedCP->Name << '\n';
  out << "chain:";
  for (const TRDCPInfo* cp = data.FirstCP; cp; cp = cp->Next)
    out << ' ' << cp->Name << '@' << data.GetItemNo(cp->ItemInfo);
  out << " count=" << data.CPCount << '\n';
  return out.str();
}

std::string DescribeLayout(const TRDEditRDData& data) {
  std::ostringstream out;
  for (int d = 0; d < data.DrawItems.Count(); ++d) {
    const TRDDrawLineInfo& line = *data.DrawItems[d];
    out << d << ": item " << line.ItemNo << " chars " << line.Offs << '+' << line.Length << " at "
        << line.Left << ',' << line.Top << ' ' << line.Width << 'x' << line.Height
        << (line.FromNewLine ? " new" : "") << '\n';
  }
  for (int i = 0; i < data.GetItemCount(); ++i)
    out << "item " << i << " first draw " << data.GetItem(i)->DrawItemNo << '\n';
  out << "height " << data.DocumentHeight << '\n';
  return out.str();
}

std::string Texts(const TRDEditRDData& data) {
  std::string out;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    if (i > 0)
      out += data.IsParaStart(i) ? " | " : data.GetItem(i)->GetLineBreakBefore() ? " / " : " ";
    out += data.GetItem(i)->StyleNo >= 0 ? "[" + data.GetItemTextRaw(i) + "]"
                                         : "<" + std::to_string(data.GetItem(i)->StyleNo) + ">";
  }
  return out;
}

std::multiset<std::string> MarkedWords(const TCustomRDData& data) {
  std::multiset<std::string> words;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    for (int w = 0; item->WordPainters && w < item->WordPainters->Count(); ++w) {
      const TRDWordPainter* mark = item->WordPainters->Get(w);
      words.insert(
          data.GetItemTextRaw(i).substr(size_t(mark->StartOffs - 1), size_t(mark->Length)));
    }
  }
  return words;
}

void CheckSpelling(TCustomRichDoc& doc) {
  for (int i = 0; i < 20000 && doc.LiveSpelling()->Pump(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void Select(TEditFixture& f, int startNo, int startOffs, int endNo, int endOffs) {
  f.edit.SetSelectionRange(startNo, startOffs, endNo, endOffs);
  f.data.MoveCaretToSelectionEnd(false);
}

void ExpectUndoRedo(TEditFixture& f, const std::string& before) {
  const std::string after = DescribeDocument(f.data);
  f.edit.Undo();
  EXPECT_EQ(DescribeDocument(f.data), before);
  f.edit.Redo();
  EXPECT_EQ(DescribeDocument(f.data), after);
}
