// Live spelling against a real spelling checker (hunspell with its US English
// dictionary): the marks a worker thread leaves are exactly the words hunspell rejects,
// also when checking is paused, resumed, restarted and stopped while the document
// changes under it.
#include <gtest/gtest.h>
#include <hunspell.h>

#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "richtext/base/code_pages.h"
#include "richtext/model/break_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/styles/rd_style.h"
#include "richtext/view/live_spelling.h"
#include "richtext/view/rich_doc.h"

namespace {

std::vector<bool> Delimiters(const char* chars) {
  std::vector<bool> table(256);
  for (const char* c = chars; *c; ++c) table[static_cast<unsigned char>(*c)] = true;
  return table;
}

TEST(LiveSpellingWords, ApostrophesSeparateOnlyAtTheEdgesOfAWord) {
  const auto delimiters = Delimiters(" ,.");
  auto words = [&](std::u16string_view text) {
    std::vector<std::pair<int, int>> out;
    for (const TRDWordRange& w : RDFindWords(text, delimiters)) out.emplace_back(w.Start, w.Length);
    return out;
  };
  EXPECT_EQ(words(u"don't stop"), (std::vector<std::pair<int, int>>{{1, 5}, {7, 4}}));
  EXPECT_EQ(words(u"'quoted'"), (std::vector<std::pair<int, int>>{{2, 6}}));
  EXPECT_EQ(words(u"  rock'n'roll''., ''"), (std::vector<std::pair<int, int>>{{3, 11}}));
  EXPECT_EQ(words(u"\u00FCber \u4E00"), (std::vector<std::pair<int, int>>{{1, 4}, {6, 1}}));
  EXPECT_TRUE(words(u"").empty());
}

class Hunspell {
 public:
  Hunspell()
      : handle_(Hunspell_create("/usr/share/hunspell/en_US.aff", "/usr/share/hunspell/en_US.dic")) {
  }
  ~Hunspell() { Hunspell_destroy(handle_); }
  bool Misspelt(const std::string& word) const {
    return Hunspell_spell(handle_, word.c_str()) == 0;
  }

 private:
  Hunhandle* handle_;
};

struct Document {
  Document() {
    data.SetRDStyle(&sheet);
    sheet.TextStyles().Add();
    sheet.TextStyles()[1].Charset = 2;  // a picture font
    const char* lines[] = {
        "Thiss is a smple message from the station.", "Don't worry about teh weather, it's fine.",
        "Recieved your beacon at noon; signal was wek.", "73 and good DX to everyone"};
    for (const char* line : lines) data.AddText(line, 0, 0);
    data.AddText("qwrtz zxcvb", 1, 0);
  }
  TRDStyle sheet;
  TCustomRDData data;
};

// What hunspell says about every text item, as (item, start, length).
std::set<std::tuple<int, int, int>> Expected(const TCustomRDData& data, const Hunspell& speller) {
  std::set<std::tuple<int, int, int>> marks;
  const std::vector<bool> delimiters = [&] {
    std::vector<bool> table(256);
    for (int c = 0; c < 256; ++c) table[size_t(c)] = data.IsDelimiter(char16_t(c));
    return table;
  }();
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo& item = *data.GetItem(i);
    if (item.StyleNo < 0 || data.GetRDStyle()->TextStyles()[item.StyleNo].Charset == 2) continue;
    const std::string& text = data.GetItemTextRaw(i);
    const std::u16string wide = IsUnicodeItem(item.ItemOptions)
                                    ? RawUnicodeToWideString(text)
                                    : RawUnicodeToWideString(AnsiToRawUnicode(1252, text));
    for (const TRDWordRange& w : RDFindWords(wide, delimiters))
      if (speller.Misspelt(RawUnicodeToUTF8(
              WideStringToRawUnicode(wide.substr(size_t(w.Start - 1), size_t(w.Length))))))
        marks.emplace(i, w.Start, w.Length);
  }
  return marks;
}

std::set<std::tuple<int, int, int>> Marks(const TCustomRDData& data) {
  std::set<std::tuple<int, int, int>> marks;
  for (int i = 0; i < data.GetItemCount(); ++i) {
    const TCustomRDItemInfo* item = data.GetItem(i);
    for (int w = 0; item->WordPainters && w < item->WordPainters->Count(); ++w)
      marks.emplace(i, item->WordPainters->Get(w)->StartOffs, item->WordPainters->Get(w)->Length);
  }
  return marks;
}

void RunToEnd(TRDWordEnumThread& spelling) {
  for (int i = 0; i < 20000; ++i) {
    if (!spelling.Pump()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  FAIL() << "checking never ended";
}

struct Checker {
  // The worker's own hunspell: a handle is not shared between threads.
  Hunspell speller;
  std::mutex mutex;
  std::vector<std::string> offered;
  TRDWordEnumThread::TCheck Check() {
    return [this](const std::string& word, int) {
      std::lock_guard lock(mutex);
      offered.push_back(word);
      return speller.Misspelt(word);
    };
  }
};

TEST(LiveSpelling, MarksExactlyTheWordsHunspellRejects) {
  Document doc;
  // A word with a typographic apostrophe, 8-bit and Unicode: the UTF-8 dictionary knows it.
  doc.data.AddText("don\x92t wrry", 0, 0);
  doc.sheet.TextStyles().Add().Unicode = true;
  doc.data.AddText(WideStringToRawUnicode(u"don\u2019t wrry"), 2, 0);
  Hunspell reference;
  Checker checker;
  std::set<int> repainted;
  TRDWordEnumThread spelling(doc.data, checker.Check(),
                             [&](int itemNo) { repainted.insert(itemNo); });
  spelling.Start();
  RunToEnd(spelling);
  const auto expected = Expected(doc.data, reference);
  EXPECT_EQ(Marks(doc.data), expected);
  EXPECT_TRUE(expected.count({0, 1, 5}));   // "Thiss"
  EXPECT_FALSE(expected.count({1, 1, 5}));  // "Don't" is a word of its own, and right
  // Only the misspelt word is wrong there, in either encoding.
  for (int item : {5, 6})
    EXPECT_EQ(std::count_if(expected.begin(), expected.end(),
                            [item](const auto& mark) { return std::get<0>(mark) == item; }),
              1);
  std::set<int> markedItems;
  for (const auto& mark : expected) markedItems.insert(std::get<0>(mark));
  EXPECT_EQ(repainted, markedItems);
  // Text in a picture font is never offered.
  std::lock_guard lock(checker.mutex);
  EXPECT_EQ(std::count(checker.offered.begin(), checker.offered.end(), "qwrtz"), 0);
  EXPECT_EQ(std::count(checker.offered.begin(), checker.offered.end(), "Don't"), 1);
}

TEST(LiveSpelling, PausedRestartedAndStoppedWhileTheDocumentChanges) {
  Document doc;
  Hunspell reference;
  Checker checker;
  TRDWordEnumThread spelling(doc.data, checker.Check(), nullptr);
  spelling.Start();
  spelling.Pump();
  spelling.Pause();
  // The document changes under the paused worker: items go, change and come.
  doc.data.DeleteItems(0, 1);
  doc.data.Items.SetString(0, "Sumthing els entirely, wich is new.");
  doc.data.AddText("Anothr line appended whyle paused", 0, 0);
  spelling.RecheckFrom(&doc.data, 0);
  spelling.Resume();
  RunToEnd(spelling);
  EXPECT_EQ(Marks(doc.data), Expected(doc.data, reference));

  // Appended text is checked as it arrives.
  doc.data.AddText("Mor text", 0, 0);
  RunToEnd(spelling);
  EXPECT_EQ(Marks(doc.data), Expected(doc.data, reference));

  // Restarting checks everything again; stopping joins the worker and clears the marks.
  spelling.Start();
  for (int i = 0; i < 3; ++i) spelling.Pump();
  doc.data.AddText("Yet anothr", 0, 0);
  spelling.Stop();
  EXPECT_FALSE(spelling.Running());
  EXPECT_TRUE(Marks(doc.data).empty());
  EXPECT_FALSE(spelling.Pump());
  spelling.Start();
  RunToEnd(spelling);
  EXPECT_EQ(Marks(doc.data), Expected(doc.data, reference));
  spelling.Stop();
}

TEST(LiveSpelling, AViewerChecksOnlyWithAnEventAndStopsWithItsDocument) {
  TRDStyle sheet;
  Hunspell reference;
  Checker checker;
  auto doc = std::make_unique<TRichDoc>(nullptr);
  doc->SetStyle(&sheet);
  doc->AddTextParagraph("A vewer with a mispelt word", 0, 0);
  doc->StartLiveSpelling();
  EXPECT_EQ(doc->LiveSpelling(), nullptr);  // nobody to ask
  doc->OnSpellingCheck = checker.Check();
  doc->StartLiveSpelling();
  ASSERT_NE(doc->LiveSpelling(), nullptr);
  RunToEnd(*doc->LiveSpelling());
  EXPECT_EQ(Marks(doc->RDData()), Expected(doc->RDData(), reference));
  EXPECT_FALSE(Marks(doc->RDData()).empty());
  doc->AddTextParagraph("and anothr", 0, 0);
  doc.reset();  // the worker is joined before the document goes
}

// A document inside an item, as a table's cell is: its place is the item's.
class TCell : public TCustomRDData {
 public:
  TCell(TCustomRDData& Parent, int ItemNo) : parent_(Parent), item_no_(ItemNo) {}
  TCustomRDData* GetAbsoluteParentData() override { return &parent_; }
  int GetParentItemNo() const override { return item_no_; }
  TRDStyle* GetRDStyle() const override { return parent_.GetRDStyle(); }

 private:
  TCustomRDData& parent_;
  int item_no_;
};

class TTableLike : public TRDBreakItemInfo {
 public:
  using TRDBreakItemInfo::TRDBreakItemInfo;
  int GetSubDocCount() const override { return int(cells.size()); }
  TCustomRDData* GetSubDoc(int Index) const override { return cells[size_t(Index)].get(); }
  std::vector<std::unique_ptr<TCell>> cells;
};

// The words in the cells of a table are checked, and marked on the cells' items; an
// address in a style exempt from spelling is not offered, other text of it is.
TEST(LiveSpelling, CellsAreCheckedAndAddressesOfExemptStylesAreNot) {
  Document doc;
  Checker checker;
  doc.sheet.TextStyles().Add();
  doc.sheet.TextStyles()[2].LiveSpellingExempt = true;
  auto table = std::make_unique<TTableLike>(&doc.data);
  TTableLike* raw = table.get();
  for (int k = 0; k < 2; ++k) raw->cells.push_back(std::make_unique<TCell>(doc.data, 5));
  raw->cells[0]->AddText("celll one", 0, 0);
  raw->cells[1]->AddText("http://www.exampel.org/pagge", 2, 0);
  raw->cells[1]->AddText("nobody@exampel.org", 2, 0);
  raw->cells[1]->AddText("exempt styel but no adress", 2, 0);
  doc.data.AddItemAtEnd("", std::move(table));
  doc.data.AddText("aftr the table", 0, 0);
  std::set<int> repainted;
  TRDWordEnumThread spelling(doc.data, checker.Check(),
                             [&](int itemNo) { repainted.insert(itemNo); });
  spelling.Start();
  RunToEnd(spelling);
  EXPECT_EQ(Marks(*raw->cells[0]), (std::set<std::tuple<int, int, int>>{{0, 1, 5}}));
  EXPECT_EQ(Marks(*raw->cells[1]), (std::set<std::tuple<int, int, int>>{{2, 8, 5}, {2, 21, 6}}));
  EXPECT_TRUE(Marks(doc.data).count({6, 1, 4}));  // "aftr", after the table
  EXPECT_TRUE(repainted.count(5));                // the table shows the cells' marks
  {
    std::lock_guard lock(checker.mutex);
    for (const char* word : {"exampel", "pagge", "nobody", "http"})
      EXPECT_EQ(std::count(checker.offered.begin(), checker.offered.end(), word), 0) << word;
  }
  // A change inside a cell checks that cell's items again.
  raw->cells[0]->Items.SetString(0, "celll twoo");
  spelling.RecheckFrom(raw->cells[0].get(), 0);
  RunToEnd(spelling);
  EXPECT_EQ(Marks(*raw->cells[0]), (std::set<std::tuple<int, int, int>>{{0, 1, 5}, {0, 7, 4}}));
  // A cell that goes away while its words are being checked takes no marks.
  raw->cells[0]->Items.SetString(0, "gonne");
  spelling.RecheckFrom(raw->cells[0].get(), 0);
  spelling.Pump();
  raw->cells.erase(raw->cells.begin());
  RunToEnd(spelling);
  EXPECT_EQ(Marks(*raw->cells[0]), (std::set<std::tuple<int, int, int>>{{2, 8, 5}, {2, 21, 6}}));
  spelling.Stop();
  EXPECT_TRUE(Marks(*raw->cells[0]).empty());
}

TEST(LiveSpelling, StopsPromptlyWhilePausedOrWithNothingToDo) {
  Document doc;
  Checker checker;
  for (int round = 0; round < 20; ++round) {
    TRDWordEnumThread spelling(doc.data, checker.Check(), nullptr);
    spelling.Start();
    if (round % 2) spelling.Pump();
    if (round % 3) spelling.Pause();
  }  // each is stopped and joined as it goes
  SUCCEED();
}

}  // namespace
