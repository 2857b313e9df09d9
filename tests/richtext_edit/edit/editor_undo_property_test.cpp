// A property test of the editor's operations that bring content in: random sequences of
// pastes, drops, cuts and insertions over random selections, undone step by step, give
// back the first document item by item, and redone the last one.
#include <gtest/gtest.h>

#include <random>

#include "platform/gui/graphics/bitmap.h"
#include "platform/gui/standard/clipboard.h"
#include "richtext/formats/rd_transfer.h"
#include "richtext_edit/edit/editor_drop.h"
#include "richtext_edit/edit/editor_formats.h"
#include "richtext_edit/edit/support/edit_fixture.h"

namespace {

std::string Utf16(const std::u16string& s) {
  return std::string(reinterpret_cast<const char*>(s.data()), s.size() * 2);
}

// A caret or a selection somewhere in the document.
void RandomPlace(TEditFixture& f, std::mt19937& rng) {
  TRDEditRDData& d = f.data;
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  auto position = [&](int& itemNo, int& offs) {
    itemNo = pick(d.GetItemCount());
    const int start = d.GetItemStartOffset(itemNo), end = d.GetItemEndOffset(itemNo);
    offs = start + pick(end - start + 1);
  };
  int a, ao, b, bo;
  position(a, ao);
  if (pick(2)) {
    position(b, bo);
    if (b < a || (b == a && bo < ao)) {
      std::swap(a, b);
      std::swap(ao, bo);
    }
  } else {
    b = a;
    bo = ao;
  }
  Select(f, a, ao, b, bo);
}

std::shared_ptr<TDragData> Offering(const std::string& format, const std::string& bytes) {
  auto data = std::make_shared<TDragData>();
  data->Add(format, [bytes](std::string& out) {
    out = bytes;
    return true;
  });
  return data;
}

void Drop(TEditFixture& f, const std::shared_ptr<TDragData>& data) {
  TDropEffects effect = deCopy;
  // A point inside the first line: the drop goes where the caret of a click would.
  f.edit.DropTarget().DragEnter(*data, 0, Point(30, 12), effect);
  if (effect == deNone) {
    f.edit.DropTarget().DragLeave();
    return;
  }
  effect = deCopy;
  f.edit.DropTarget().Drop(*data, 0, Point(30, 12), effect);
}

void RandomOperation(TEditFixture& f, std::mt19937& rng, const std::string& block) {
  auto pick = [&](int n) { return int(rng() % unsigned(n)); };
  RandomPlace(f, rng);
  TClipboard& clipboard = Clipboard();
  switch (pick(9)) {
    case 0:
      clipboard.SetAsBytes(CF_UNICODETEXT, Utf16(pick(2) ? u"one\r\ntwo" : u"w\u00f6rd"));
      f.edit.Paste();
      break;
    case 1:
      clipboard.Open();
      clipboard.Clear();
      clipboard.SetAsBytes(RichDocClipboardFormat(), block);
      clipboard.Close();
      f.edit.Paste();
      break;
    case 2: {
      TBitmap bitmap;
      bitmap.SetSize(5 + pick(10), 5);
      clipboard.SetBitmap(bitmap);
      f.edit.Paste();
      break;
    }
    case 3:
      f.edit.CutToClipboard();
      break;
    case 4:
      Drop(f, Offering("text/plain", pick(2) ? "dropped\ntext" : "x"));
      break;
    case 5:
      Drop(f, Offering(kRichDocMimeType, block));
      break;
    case 6:
      f.edit.InsertStringTag("tagged", TRDTag{});
      break;
    case 7:
      f.edit.InsertTab();
      break;
    case 8:
      f.edit.DeleteSelection();
      break;
  }
}

}  // namespace

TEST(EditorUndoProperty, PastesAndDropsUndoneGiveTheStartAndRedoneTheEnd) {
  std::string block;
  {
    TEditFixture source;
    source.AddPara({{"rich ", 1}, {"block", 2}});
    source.AddPara({{"second", 0}});
    source.Format();
    source.edit.SelectAll();
    block = SelectionAsRichDoc(source.data, clNone, nullptr, nullptr);
  }
  for (unsigned seed = 1; seed <= 25; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    TEditFixture f;
    f.AddPara({{"alpha beta", 0}, {"gamma", 1}});
    f.AddPara({{"delta", 2}}, 1);
    f.AddPara({{"epsilon zeta", 0}});
    f.Format();
    const std::string start = DescribeDocument(f.data);
    std::mt19937 rng(seed);
    for (int step = 0; step < 10; ++step) RandomOperation(f, rng, block);
    const std::string end = DescribeDocument(f.data);
    for (int guard = 0; f.data.UndoList->Count() > 0; ++guard) {
      ASSERT_LT(guard, 100);
      f.edit.Undo();
    }
    ASSERT_EQ(DescribeDocument(f.data), start);
    for (int guard = 0; f.data.RedoList->Count() > 0; ++guard) {
      ASSERT_LT(guard, 100);
      f.edit.Redo();
    }
    ASSERT_EQ(DescribeDocument(f.data), end);
  }
}
