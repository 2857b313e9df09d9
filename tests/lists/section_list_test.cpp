#include "lists/ex_section_list.h"

#include "html/html_label.h"
#include "html/html_list_box.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "platform/gui/controls/forms.h"
#include "platform/gui/controls/hint_window.h"
#include "platform/gui/standard/shell.h"
#include "platform/test_support/gui_test_support.h"
#include "support/picture_compare.h"

namespace {

// Eight columns: the hidden group column and seven data columns 1..7.
class SectionListTest : public ::testing::Test {
 protected:
  SectionListTest() : form(nullptr) {
    list = new TExSectionList(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 400, 300);
    list->Columns.BeginUpdate();
    while (list->Columns.Count() > 0) list->Columns.Delete(0);
    for (int c = 0; c < 8; ++c) {
      TExSectionColumn* column = list->Columns.Add();
      column->SetCaption(c == 0 ? "" : "C" + std::to_string(c));
      column->SetWidth(50);
    }
    list->Columns.EndUpdate();
    list->SetItemHeight(20);
    group = list->AddGroup("");
  }
  POGLItem Add(std::vector<std::string> texts) {
    TStrings& row = list->AddItem(group);
    for (const std::string& t : texts) row.Add(t);
    return group->GetItemNode(group->GetCount() - 1);
  }
  // Column 1 of every row, in order.
  std::string Firsts() {
    std::string s;
    for (int i = 0; i < group->GetCount(); ++i) s += group->GetItemStrings(i).Get(0) + " ";
    return s;
  }
  void SortBy(int column, TSortType type, TOGLSortDirection direction) {
    list->Columns.Items(column)->SetSortType(type);
    list->SortSettings.Enabled = false;
    list->SortSettings.SetColumn(column);
    list->SortSettings.SetDirection(direction);
    list->SortSettings.Enabled = true;
    list->Sort();
  }

  TForm form;
  TExSectionList* list;
  TSectionGroup* group;
};

}  // namespace

TEST(SectionListDefaults, ANewListShowsFourColumnsGroupColumnFirst) {
  TExSectionList list(nullptr);
  ASSERT_EQ(list.Columns.Count(), 4);
  EXPECT_EQ(list.Columns.Items(0)->Caption(), "Group Column");
  EXPECT_EQ(list.Columns.Items(3)->Caption(), "column 3");
  EXPECT_EQ(list.Header().SectionCount(), 3);  // the group column is hidden
  EXPECT_EQ(list.GroupItemHeight(), 34);
  EXPECT_EQ(list.ItemHeight(), 20);
  list.Columns.Items(2)->SetCaption("");
  EXPECT_EQ(list.Columns.Items(2)->DisplayName(), "Data column 2");
}

TEST_F(SectionListTest, SectionsFollowHiddenGroupPreviewAndMoves) {
  EXPECT_EQ(list->Header().SectionCount(), 7);
  EXPECT_EQ(list->ColumnToSection(1), 0);
  EXPECT_EQ(list->SectionToColumn(0), 1);
  EXPECT_EQ(list->SectionToColumn(7), -1);  // no column there: -1, not the section
  list->PreviewSettings.SetColumn(4);
  list->PreviewSettings.SetActive(true);
  EXPECT_EQ(list->Header().SectionCount(), 6);
  EXPECT_EQ(list->SectionToColumn(3), 5);
  EXPECT_EQ(list->ItemHeight(), 20);
  EXPECT_EQ(list->Engine().ItemHeight(), 60);  // row and preview strip
  list->PreviewSettings.SetActive(false);
  EXPECT_EQ(list->Header().SectionCount(), 7);
  for (int c = 1; c <= 7; ++c) EXPECT_EQ(list->SectionToColumn(c - 1), c);
  int from = -1;
  int to = -1;
  list->OnHeaderDragDrop = [&](TComponent*, int f, int t) {
    from = f;
    to = t;
  };
  list->MoveSection(5, 2);
  EXPECT_EQ(list->SectionToColumn(2), 6);
  EXPECT_EQ(list->SectionToColumn(3), 3);
  EXPECT_EQ(list->SectionToColumn(6), 7);
  EXPECT_EQ(from, 6);
  EXPECT_EQ(to, 3);
  list->PreviewSettings.SetColumn(20);
  EXPECT_THROW(list->PreviewSettings.SetActive(true), Exception);
  EXPECT_FALSE(list->PreviewSettings.Active());
}

TEST_F(SectionListTest, RowsByIndexDeleteAndClear) {
  TStrings& first = list->AddItem(group);
  EXPECT_EQ(first.Count(), 0);
  first.Add("a");
  POGLItem b = Add({"b", "x"});
  Add({"c"});
  EXPECT_EQ(list->CellText(b, 2), "x");
  EXPECT_EQ(list->CellText(group->GetItemNode(2), 2), "");  // a missing string is empty
  EXPECT_EQ(group->GetItemNode(1), b);
  try {
    group->DeleteItem(3);
    FAIL();
  } catch (const ESectionListError& e) {
    EXPECT_STREQ(e.what(), "Index out of bounds");
  }
  EXPECT_THROW(group->GetItemStrings(-1), ESectionListError);
  group->DeleteItem(0);
  EXPECT_EQ(b->Index(), 0);  // renumbered
  group->DeleteItem(group->GetCount() - 1);
  EXPECT_EQ(Firsts(), "b ");
  for (int i = 0; i < 300; ++i) Add({std::to_string(i)});
  group->Clear();
  EXPECT_EQ(group->GetCount(), 0);
  list->SetSelectionOptions(soMultiSelect);
  POGLItem p = Add({"p"});
  POGLItem q = Add({"q"});
  list->SelectNode(p);
  list->SelectNode(q);
  EXPECT_TRUE(list->Engine().IsItemSelected(p));  // multi-select keeps the first
  EXPECT_TRUE(list->Engine().IsItemSelected(q));
}

TEST_F(SectionListTest, SortsByColumnKindWithBadValuesFirst) {
  for (const char* v : {"10", "9", "100"}) Add({v});
  SortBy(1, stNumeric, sdAscending);
  EXPECT_EQ(Firsts(), "9 10 100 ");
  SortBy(1, stTextNoCase, sdAscending);
  EXPECT_EQ(Firsts(), "10 100 9 ");
  SortBy(1, stNumeric, sdDescending);
  EXPECT_EQ(Firsts(), "100 10 9 ");
  Add({"x1"});
  Add({""});
  SortBy(1, stFloat, sdAscending);
  EXPECT_EQ(Firsts(), "x1  9 10 100 ");  // the unreadable ones as the smallest, kept in order
  // A comparison that raises leaves a whole list, nothing lost.
  list->OnCustomCompare = [](TComponent*, POGLItem, POGLItem, int, const std::string& a,
                             const std::string& b, int& r) { r = StrToInt(a) - StrToInt(b); };
  SortBy(1, stCustom, sdAscending);
  EXPECT_EQ(group->GetCount(), 5);
  int sorted = -1;
  list->OnSorted = [&](TComponent*, int c) { sorted = c; };
  list->SortSettings.SetColumn(-1);
  list->Sort();
  EXPECT_EQ(sorted, -1);  // no column: no sort
}

// One to eight rows changed between sorts (one of them perhaps re-added), few values so
// that ties abound: the order is the one a stable sort of the rows as they stand gives.
TEST_F(SectionListTest, ChangedRowsFindTheirPlaceAsAFullSortWould) {
  std::mt19937 random(11);
  for (int i = 0; i < 60; ++i) Add({std::to_string(random() % 20), std::to_string(i)});
  auto rows = [&] {
    std::vector<std::pair<int, std::string>> r;
    for (int i = 0; i < group->GetCount(); ++i) {
      r.emplace_back(std::stoi(group->GetItemStrings(i).Get(0)), group->GetItemStrings(i).Get(1));
    }
    return r;
  };
  for (TOGLSortDirection direction : {sdDescending, sdAscending}) {
    SortBy(1, stNumeric, direction);
    for (int step = 0; step < 300; ++step) {
      std::string readded;
      if (step % 3 == 0) {
        const int at = static_cast<int>(random() % group->GetCount());
        readded = group->GetItemStrings(at).Get(1);
        list->ReAddItem(group->GetItemNode(at)).Put(0, std::to_string(random() % 20));
      }
      const int changes = 1 + static_cast<int>(random() % 8) - (readded.empty() ? 0 : 1);
      for (int c = 0; c < changes; ++c) {
        group->GetItemStrings(static_cast<int>(random() % group->GetCount()))
            .Put(0, std::to_string(random() % 20));
      }
      auto expected = rows();
      std::stable_partition(expected.begin(), expected.end(),
                            [&](const auto& row) { return row.second != readded; });
      std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
        return direction == sdAscending ? a.first < b.first : a.first > b.first;
      });
      list->Sort();
      ASSERT_EQ(rows(), expected) << "step " << step << ", " << changes << " changed";
    }
  }
}

// Rows going from above the chosen one move it up out of the view; the next resort
// brings it back, as a whole sort does.
TEST_F(SectionListTest, AResortKeepsTheChosenRowInView) {
  for (int i = 0; i < 100; ++i) Add({std::string(1, char('A' + i / 4)) + std::to_string(i % 4)});
  SortBy(1, stTextNoCase, sdAscending);
  TSectionGroupedList& engine = list->Engine();
  SimulateKey(engine, 'M', "m");
  const POGLItem chosen = engine.FocusedItem();
  ASSERT_EQ(list->CellText(chosen, 1), "M0");
  auto inView = [&] {
    const TRect r = engine.GetItemRect(chosen);
    return r.Top >= engine.TopPosition() &&
           r.Bottom <= engine.TopPosition() + engine.ClientHeight();
  };
  ASSERT_TRUE(inView());
  while (list->CellText(group->GetItemNode(0), 1) < "L") group->DeleteItem(0);
  ASSERT_FALSE(inView());
  group->GetItemStrings(group->GetCount() - 1).Put(0, "A9");
  list->Sort();
  EXPECT_EQ(list->CellText(group->GetItemNode(0), 1), "A9");
  EXPECT_TRUE(inView());
}

TEST_F(SectionListTest, HeaderClickSortsAndFlipsButNotAtTheEdge) {
  for (const char* v : {"b", "c", "a"}) Add({v});
  SimulateClick(list->Header(), 25, 10);  // column 1, in the middle
  EXPECT_EQ(list->SortSettings.Column(), 1);
  EXPECT_EQ(Firsts(), "a b c ");
  SimulateClick(list->Header(), 25, 10);
  EXPECT_EQ(list->SortSettings.Direction(), sdDescending);
  EXPECT_EQ(Firsts(), "c b a ");
  SimulateClick(list->Header(), 47, 10);  // 3 pixels from the edge
  EXPECT_EQ(list->SortSettings.Direction(), sdDescending);
  int clicked = -1;
  list->OnHeaderClick = [&](TComponent*, int c) { clicked = c; };
  SimulateClick(list->Header(), 75, 10);
  EXPECT_EQ(clicked, 2);
}

TEST_F(SectionListTest, TypingLooksUpTheSortColumn) {
  for (const char* v : {"Apple", "Berry", "bramble"}) Add({v});
  list->SortSettings.Enabled = false;
  list->SortSettings.SetColumn(1);
  list->SortSettings.Enabled = true;
  auto focused = [&] { return list->CellText(list->Engine().FocusedItem(), 1); };
  SimulateKey(list->Engine(), 'B', "b");
  EXPECT_EQ(focused(), "Berry");
  SimulateKey(list->Engine(), 'X', "x");
  EXPECT_EQ(focused(), "Berry");
  list->LookUp.Method = lmIncremental;
  SimulateKey(list->Engine(), VK_ESCAPE);
  SimulateKey(list->Engine(), 'B', "b");
  SimulateKey(list->Engine(), 'R', "r");
  EXPECT_EQ(focused(), "bramble");
  SimulateKey(list->Engine(), VK_ESCAPE);
  SimulateKey(list->Engine(), 'A', "a");
  EXPECT_EQ(focused(), "Apple");
  // Markup is looked up by its text.
  Add({"<b>Zulu</b>"});
  SimulateKey(list->Engine(), VK_ESCAPE);
  SimulateKey(list->Engine(), 'Z', "z");
  EXPECT_EQ(focused(), "<b>Zulu</b>");
}

// Cells hold what stations sent, UTF-8 or Windows-1252; what the user types comes as a
// character with or without a key code, as Unicode beyond the code page, or composed
// with a dead key. Each row of the table types into a fresh look-up.
TEST_F(SectionListTest, TypedCharactersOfEveryScriptFindCellsOfEitherBytes) {
  list->Columns.Items(1)->SetUtf8Text(true);
  for (const char* v :
       {"M\xC3\xBCller", "m\xFChle", "\xC3\xA4rmel", "\xD6l", "\xCF\x89\xCE\xB4\xCE\xAE",
        "\xCE\xA9mega", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "\xE9lan",
        "Stra\xDF"
        "e"})
    Add({v});
  list->SortSettings.Enabled = false;
  list->SortSettings.SetColumn(1);
  list->SortSettings.Enabled = true;
  list->LookUp.Method = lmIncremental;
  TSectionGroupedList& engine = list->Engine();
  // How a character comes: a key with its code (a-z), a key without one (umlauts on a
  // German keyboard), Unicode from a Greek or Russian keyboard, a dead key's composition.
  auto type = [&](char16_t c) {
    if (c < 0x80) {
      SimulateKey(engine, TKeyCode(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c),
                  std::string(1, char(c)));
    } else if (c == u'\u00E9') {
      SimulateInputMethod(engine, u"\u00E9", u"");
    } else if (c < 0x100) {
      SimulateKey(engine, 0, std::string(1, char(c)));
    } else {
      SimulateUnicodeKey(engine, 0, std::u16string(1, c));
    }
  };
  const struct {
    std::u16string typed;
    int row;
  } cases[] = {
      {u"m\u00FC", 0},      {u"m\u00FCh", 1}, {u"\u00E4", 2},     {u"\u00F6", 3},
      {u"\u00D6L", 3},      {u"\u03A9", 4},   {u"\u03A9m", 5},    {u"\u03C9M", 5},
      {u"\u043F\u0440", 6}, {u"\u00E9", 7},   {u"stra\u00DF", 8}, {u"\u00FCx", -1},
  };
  for (size_t n = 0; n < std::size(cases); ++n) {
    engine.FocusItem(nullptr);
    SimulateKey(engine, VK_ESCAPE);
    for (char16_t ch : cases[n].typed) type(ch);
    EXPECT_EQ(list->LookUpText(), cases[n].typed) << "case " << n;
    POGLItem focused = engine.FocusedItem();
    EXPECT_EQ(focused ? focused->Index() : -1, cases[n].row) << "case " << n;
  }
  // Alt or Ctrl with a key is no typing, a key without a code as much as one with.
  SimulateKey(engine, VK_ESCAPE);
  SimulateKey(engine, 0, "\xFC", ssAlt);
  SimulateUnicodeKey(engine, 0, u"\u03A9", ssCtrl);
  EXPECT_EQ(list->LookUpText(), u"");
}

// Only what a key types looks up: modifiers, function and paging keys type nothing.
TEST_F(SectionListTest, KeysThatTypeNothingLeaveTheLookUpAlone) {
  constexpr int kRows = 50001;
  list->BeginUpdate();
  for (int i = 0; i < kRows; ++i) Add({(i % 2 ? "PA" : "DL") + std::to_string(i)});
  list->EndUpdate();
  SortBy(1, stTextNoCase, sdAscending);
  TSectionGroupedList& engine = list->Engine();
  list->LookUp.Method = lmIncremental;
  SimulateKey(engine, 'A', "\x01", ssCtrl);
  EXPECT_EQ(engine.FirstGroup()->SelectedCount, kRows);
  SimulateKey(engine, 'A', "a", ssAlt);
  EXPECT_EQ(engine.FirstGroup()->SelectedCount, kRows);
  EXPECT_EQ(list->LookUpText(), u"");
  SimulateKey(engine, VK_F1);
  SimulateKey(engine, VK_NEXT);
  EXPECT_EQ(list->LookUpText(), u"");
  // The typed prefix is looked up as a whole, whatever the case.
  SimulateKey(engine, 'P', "p");
  SimulateKey(engine, 'A', "a");
  SimulateKey(engine, '1', "1");
  EXPECT_EQ(list->LookUpText(), u"pa1");
  EXPECT_EQ(list->CellText(engine.FocusedItem(), 1), "PA1");
  EXPECT_EQ(engine.FirstGroup()->SelectedCount, 1);
  SimulateKey(engine, VK_ESCAPE);
  SimulateKey(engine, 'D', "d");
  SimulateKey(engine, 'L', "l");
  EXPECT_EQ(list->CellText(engine.FocusedItem(), 1), "DL0");
}

TEST_F(SectionListTest, CellsByKindAndBadNumbersDrawNothing) {
  TImageList images(nullptr, 16, 16);
  images.Add(*SolidPicture(16, 16, clRed));
  list->SetImages(&images);
  list->Columns.Items(1)->SetColumnType(ctImage);
  list->Columns.Items(2)->SetColumnType(ctCheckBox);
  list->Columns.Items(3)->SetColumnType(ctProgress);
  list->ColumnLineColor = clNone;
  list->Engine().SetSelectionOptions(0);
  Add({"0", "1", "150", "text"});
  Add({"x", "", "y"});           // none of these is a number
  const int row0 = 1 + 20 + 34;  // border, header, group bar
  auto shot = Snapshot(*list);
  EXPECT_EQ(PixelAt(*shot, 1 + 8, row0 + 9), clRed);  // the image at the left, centred vertically
  EXPECT_EQ(PixelAt(*shot, 1 + 20, row0 + 9), clWhite);
  // The check box holds the tick; the empty one draws no box at all.
  bool tick = false;
  for (int x = 51; x < 51 + 16; ++x) {
    for (int y = row0; y < row0 + 19; ++y) tick |= PixelAt(*shot, x, y) == RGB(0x21, 0xA1, 0x21);
  }
  EXPECT_TRUE(tick);
  for (int x = 51; x < 100; ++x) EXPECT_EQ(PixelAt(*shot, x, row0 + 20 + 9), clWhite);
  // 150 fills the whole bar in the top level's colours.
  EXPECT_NE(PixelAt(*shot, 101 + 45, row0 + 3), clWhite);
  for (int x = 101; x < 150; ++x) EXPECT_EQ(PixelAt(*shot, x, row0 + 20 + 9), clWhite);
}

TEST_F(SectionListTest, HeaderShowsGradientAndSortMark) {
  list->Columns.Items(1)->SetHeaderColor(clWhite);
  list->Columns.Items(1)->SetHeaderColorTo(clBlack);
  SortBy(1, stTextNoCase, sdAscending);
  auto shot = Snapshot(list->Header());
  const TColor top = PixelAt(*shot, 10, 1);
  const TColor bottom = PixelAt(*shot, 10, 18);
  EXPECT_GT(GetRValue(top), GetRValue(bottom));  // light to dark, downwards
  // The mark's grey edge near the right of the section.
  bool grey = false;
  for (int x = 30; x < 48; ++x) {
    for (int y = 2; y < 18; ++y) grey |= PixelAt(*shot, x, y) == clGray;
  }
  EXPECT_TRUE(grey);
}

// Each kind reads its values its own way, those it cannot read first and in their order
// (the kinds that follow the desktop's language are left out).
TEST_F(SectionListTest, EachSortKindReadsItsValues) {
  struct TCase {
    TSortType type;
    std::vector<std::string> values;
    const char* ascending;
  };
  const TCase cases[] = {
      {stTextCase, {"b", "B", "a", "A"}, "A B a b "},
      {stTextNoCase, {"b", "B", "a", "A"}, "a A b B "},
      {stAnsiTextNoCase, {"b", "B", "a", "A"}, "a A b B "},
      {stBoolean, {"true", "x", "false", "1", "0", "-1"}, "x false 0 true 1 -1 "},
      {stNone, {"b", "a"}, "b a "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.ascending);
    group->Clear();
    for (const std::string& v : c.values) Add({v});
    SortBy(1, c.type, sdAscending);
    EXPECT_EQ(Firsts(), c.ascending);
  }
}

TEST(SectionListRoutines, ProgressBarClampsItsValue) {
  TBitmap bitmap;
  bitmap.SetSize(102, 10);
  TProgressAppearance look;
  look.ShowPercentage = false;
  look.ShowGradient = false;
  DrawProgressBar(bitmap.Canvas(), Rect(0, 0, 102, 10), 80, look, clWhite, false);
  EXPECT_EQ(bitmap.Canvas().Pixels(50, 5), look.Level1Color);
  EXPECT_EQ(bitmap.Canvas().Pixels(95, 5), clWhite);
  DrawProgressBar(bitmap.Canvas(), Rect(0, 0, 102, 10), 250, look, clWhite, false);
  EXPECT_EQ(bitmap.Canvas().Pixels(99, 5), look.Level3Color);
  DrawProgressBar(bitmap.Canvas(), Rect(0, 0, 102, 10), -5, look, clWhite, false);
  EXPECT_EQ(bitmap.Canvas().Pixels(50, 5), clWhite);
}

TEST_F(SectionListTest, LinkCellsOpenOnlyWebAndMailAddresses) {
  std::vector<std::string> opened;
  SetShellOpenHandler([&](const std::string& url) {
    opened.push_back(url);
    return true;
  });
  list->Columns.Items(1)->SetColumnType(ctURL);
  list->Columns.Items(1)->SetWidth(300);
  Add({"file:///etc/passwd"});
  Add({"https://example.org/"});
  Add({"mailto:a@b.c"});
  std::vector<int> clicked;
  list->OnItemClick = [&](TComponent*, POGLItem, int column) { clicked.push_back(column); };
  for (int row = 0; row < 3; ++row) SimulateClick(list->Engine(), 5, 34 + 20 * row + 9);
  SetShellOpenHandler(nullptr);
  EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/", "mailto:a@b.c"}));
  EXPECT_EQ(clicked, (std::vector<int>{1, 1, 1}));
}

TEST_F(SectionListTest, MarkupCellsAndGroupCaptionsGoThroughTheRenderer) {
  list->AddGroup("<b>Bold</b> group");
  Add({"<b>X</b>", "a <i>b"});
  list->SetHideSelection(false);
  auto shot = Snapshot(*list);
  // Tags are not shown: "<b>X</b>" is one letter wide, ink only near the cell's start.
  bool inkFar = false;
  for (int x = 1 + 20; x < 50; ++x) {
    for (int y = 55; y < 74; ++y) inkFar |= PixelAt(*shot, x, y) != clWhite;
  }
  EXPECT_FALSE(inkFar);
}

// Texts from outside go in columns that never read markup: tags show as written, a
// link in them is no link, and typing looks the text up as it stands.
TEST_F(SectionListTest, AColumnWithoutMarkupShowsItsTagsAndHasNoLinks) {
  list->Columns.Items(1)->SetMarkup(false);
  list->Columns.Items(1)->SetWidth(200);
  Add({"<b>X</b>"});
  Add({"<a href=\"one\">link</a>"});
  list->SetHideSelection(false);
  auto shot = Snapshot(*list);
  bool inkFar = false;
  for (int x = 1 + 20; x < 50; ++x) {
    for (int y = 35; y < 54; ++y) inkFar |= PixelAt(*shot, x, y) != clWhite;
  }
  EXPECT_TRUE(inkFar);
  std::vector<std::string> events;
  list->OnAnchorEnter = [&](TComponent*, POGLItem, int, const std::string& a) {
    events.push_back(a);
  };
  SimulateMouseMove(list->Engine(), 12, 34 + 20 + 9);
  EXPECT_TRUE(events.empty());
  list->LookUpItem(u"<A", 1);
  ASSERT_NE(list->Engine().FocusedItem(), nullptr);
  EXPECT_EQ(list->CellText(list->Engine().FocusedItem(), 1), "<a href=\"one\">link</a>");
}

// Texts from outside come in UTF-8 or in Windows-1252: a column that reads UTF-8 draws
// "Mueller" alike in both, and Greek in its letters, not as question marks. A column that
// does not draws the UTF-8 bytes as Windows-1252 letters.
TEST_F(SectionListTest, AColumnReadingUtf8DrawsEachTextAsMeant) {
  list->Columns.Items(1)->SetWidth(200);
  list->ColumnLineColor = clNone;
  Add({"M\xC3\xBCller"});
  Add({"M\xFCller"});
  Add({"\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1"});
  Add({"?????"});
  const int row0 = 1 + 20 + 34;  // border, header, group bar
  auto rowsAlike = [&](TBitmap& shot, int a, int b) {
    return SamePixels(shot, 1, row0 + 20 * a, shot, 1, row0 + 20 * b, 199, 20);
  };
  auto plain = Snapshot(*list);
  EXPECT_FALSE(rowsAlike(*plain, 0, 1));
  list->Columns.Items(1)->SetUtf8Text(true);
  auto read = Snapshot(*list);
  EXPECT_TRUE(rowsAlike(*read, 0, 1));
  EXPECT_FALSE(rowsAlike(*read, 2, 3));
  // The cells keep their bytes.
  EXPECT_EQ(list->CellText(group->GetItemNode(0), 1), "M\xC3\xBCller");
}

TEST_F(SectionListTest, AHoveredLinkAloneTakesTheHoverColoursAndAnnouncesItself) {
  list->Columns.Items(1)->SetWidth(200);
  Add({"<a href=\"one\">first link</a>"});
  Add({"<a href=\"two\">second link</a>"});
  list->AnchorHover = true;
  list->AnchorHoverFontColor = clRed;
  std::vector<std::string> events;
  list->OnAnchorEnter = [&](TComponent*, POGLItem, int, const std::string& a) {
    events.push_back("enter " + a);
  };
  list->OnAnchorExit = [&](TComponent*, POGLItem, int, const std::string&) {
    events.push_back("exit");
  };
  TSectionGroupedList& engine = list->Engine();
  const auto redIn = [&](int row) {
    auto shot = Snapshot(engine);
    int red = 0;
    for (int x = 0; x < 200; ++x) {
      for (int y = 34 + 20 * row; y < 34 + 20 * row + 19; ++y) red += PixelAt(*shot, x, y) == clRed;
    }
    return red;
  };
  EXPECT_EQ(redIn(0) + redIn(1), 0);
  SimulateMouseMove(engine, 12, 34 + 9);
  SimulateMouseMove(engine, 14, 34 + 9);  // the same link: no second enter
  EXPECT_GT(redIn(0), 0);
  EXPECT_EQ(redIn(1), 0);  // the same link number in another row is not hovered
  SimulateMouseMove(engine, 12, 34 + 20 + 9);
  EXPECT_EQ(redIn(0), 0);
  EXPECT_GT(redIn(1), 0);
  SimulateMouseMove(engine, 190, 34 + 20 + 9);  // beyond the text
  EXPECT_EQ(redIn(1), 0);
  EXPECT_EQ(events, (std::vector<std::string>{"enter one", "enter two", "exit"}));
  // From a link straight onto a cell of plain text, and back onto a link.
  Add({"plain words"});
  events.clear();
  SimulateMouseMove(engine, 12, 34 + 9);
  SimulateMouseMove(engine, 12, 34 + 40 + 9);
  SimulateMouseMove(engine, 14, 34 + 40 + 9);
  SimulateMouseMove(engine, 12, 34 + 20 + 9);
  EXPECT_EQ(events, (std::vector<std::string>{"enter one", "exit", "enter two"}));
}

// A check-box column's hint stands clear of the box: 15 pixels further right than the
// same hint of a text column.
TEST_F(SectionListTest, ACheckBoxColumnsHintStandsClearOfTheBox) {
  form.Show();
  Add({"1"});
  list->Columns.Items(1)->SetHint("tick to watch");
  list->Columns.Items(1)->SetShowHint(true);
  auto hintLeft = [&](TColumnType type) {
    list->Columns.Items(1)->SetColumnType(type);
    SimulateMouseMove(list->Engine(), 100, 34 + 9);  // off the column: asked anew
    SimulateMouseMove(list->Engine(), 20, 34 + 9);
    SimulateHintPause(list->Engine(), 20, 34 + 9);
    THintWindow* window = ShownHintWindow();
    const int left = window ? window->BoundsRect().Left : -1000;
    CancelHint();
    return left;
  };
  const int text = hintLeft(ctText);
  ASSERT_NE(text, -1000);
  EXPECT_EQ(hintLeft(ctCheckBox), text + kCheckBoxSize);
}

// A row re-added goes where deleting it and adding a new one would put it: after the
// rows equal to it, whether its value changed or not, and whether the next sort finds
// its place alone or sorts everything under new settings.
TEST_F(SectionListTest, ReAddedRowsGoAfterTheirEqualsAsNewRowsWould) {
  std::mt19937 random(7);
  std::vector<std::pair<int, int>> model;  // value and id of each row, in list order
  for (int id = 0; id < 40; ++id) {
    const int value = static_cast<int>(random() % 5);
    Add({std::to_string(value), std::to_string(id)});
    model.push_back({value, id});
  }
  TOGLSortDirection direction = sdDescending;
  auto sort_model = [&] {
    std::stable_sort(model.begin(), model.end(), [&](const auto& a, const auto& b) {
      return direction == sdAscending ? a.first < b.first : a.first > b.first;
    });
  };
  auto rows = [&] {
    std::string s;
    for (int i = 0; i < group->GetCount(); ++i) {
      s += group->GetItemStrings(i).Get(0) + "/" + group->GetItemStrings(i).Get(1) + " ";
    }
    return s;
  };
  auto model_rows = [&] {
    std::string s;
    for (const auto& [value, id] : model)
      s += std::to_string(value) + "/" + std::to_string(id) + " ";
    return s;
  };
  SortBy(1, stNumeric, direction);
  sort_model();
  ASSERT_EQ(rows(), model_rows());
  for (int step = 0; step < 300; ++step) {
    const int at = static_cast<int>(random() % model.size());
    // Every third time the value stays: the row still goes after its equals.
    const int value = step % 3 == 0 ? model[at].first : static_cast<int>(random() % 5);
    TStrings& row = list->ReAddItem(group->GetItemNode(at));
    row.Put(0, std::to_string(value));
    auto entry = model[at];
    entry.first = value;
    model.erase(model.begin() + at);
    model.push_back(entry);
    if (step % 25 == 0) {
      // New settings before the sort: everything is sorted, the row standing last.
      direction = direction == sdAscending ? sdDescending : sdAscending;
      list->SortSettings.SetDirection(direction);
    } else {
      list->Sort();
    }
    sort_model();
    ASSERT_EQ(rows(), model_rows()) << "step " << step;
  }
  // A feed: rows heard again one after another with the newest value, which changes
  // every few rows, each going behind the rows heard in the same "second" before it.
  direction = sdDescending;
  list->SortSettings.SetDirection(direction);
  sort_model();
  for (int step = 0; step < 120; ++step) {
    const int at = static_cast<int>(random() % model.size());
    const int value = 5 + step / 7;
    list->ReAddItem(group->GetItemNode(at)).Put(0, std::to_string(value));
    auto entry = model[at];
    entry.first = value;
    model.erase(model.begin() + at);
    model.push_back(entry);
    list->Sort();
    sort_model();
    ASSERT_EQ(rows(), model_rows()) << "feed step " << step;
  }
  // A column that does not sort: the re-added row is simply last.
  list->ReAddItem(group->GetItemNode(0));
  list->Columns.Items(1)->SetSortType(stNone);
  list->Sort();
  model.push_back(model.front());
  model.erase(model.begin());
  EXPECT_EQ(rows(), model_rows());
}

// Underlines, strike-outs and link underlines of markup lie under the words they belong
// to in every control that draws markup, wherever the control stands in its window.
TEST(MarkupDecorations, LieUnderTheirWordsInControlsAwayFromTheWindowsCorner) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 640, 300);
  auto* label = new THtmlLabel(&form);
  label->SetParent(&form);
  label->SetBounds(40, 30, 150, 30);
  label->SetTransparent(false);
  label->SetColor(clWhite);
  auto* box = new THtmlListBox(&form);
  box->SetParent(&form);
  box->SetBounds(220, 40, 150, 60);
  auto* list = new TExSectionList(&form);
  list->SetParent(&form);
  list->SetBounds(400, 40, 200, 120);
  list->ColumnLineColor = clNone;
  list->Engine().SetSelectionOptions(0);
  list->Columns.Items(1)->SetWidth(150);
  TSectionGroup* group = list->AddGroup("");
  TStrings& row = list->AddItem(group);
  row.Add("");
  for (TControl* control : {static_cast<TControl*>(label), static_cast<TControl*>(box)})
    control->Font().SetName("DejaVu Sans");
  label->Font().SetSize(10);
  box->Font().SetSize(10);
  list->Columns.Items(1)->Font().SetName("DejaVu Sans");
  form.Show();
  const int row0 = 40 + 1 + 20 + 34;  // the list's border, header and group bar
  const struct {
    const char* name;
    std::function<void(const std::string&)> show;
    TRect area;  // where the control shows its text, in the window
  } controls[] = {
      {"label", [&](const std::string& m) { label->HTMLText().SetText(m); }, Rect(42, 31, 190, 59)},
      {"list box",
       [&](const std::string& m) {
         box->Items().Clear();
         box->Items().Add(m);
       },
       Rect(223, 43, 367, 60)},
      {"section list", [&](const std::string& m) { row.Put(0, m); },
       Rect(403, row0, 549, row0 + 19)},
  };
  for (const auto& control : controls) {
    for (const char* markup : {"<u>HHHHH</u>", "<s>HHHHH</s>", "<a href=\"x\">HHHHH</a>"}) {
      SCOPED_TRACE(control.name + std::string(" ") + markup);
      control.show(markup);
      auto shot = Snapshot(form, clWhite);
      auto ink = [&](int x, int y) { return PixelAt(*shot, x, y) != clWhite; };
      // The decoration is the longest line of ink; the letters are the rest.
      int lineRow = -1, lineLeft = 0, lineRight = 0;
      for (int y = control.area.Top; y < control.area.Bottom; ++y)
        for (int x = control.area.Left; x < control.area.Right;) {
          int end = x;
          while (end < control.area.Right && ink(end, y)) ++end;
          if (end - x > lineRight - lineLeft)
            std::tie(lineRow, lineLeft, lineRight) = std::tuple(y, x, end);
          x = end + 1;
        }
      int glyphLeft = control.area.Right, glyphRight = control.area.Left;
      for (int y = control.area.Top; y < control.area.Bottom; ++y)
        for (int x = control.area.Left; x < control.area.Right; ++x)
          if (std::abs(y - lineRow) > 1 && ink(x, y)) {
            glyphLeft = std::min(glyphLeft, x);
            glyphRight = std::max(glyphRight, x + 1);
          }
      ASSERT_LT(glyphLeft, glyphRight);
      EXPECT_NEAR(lineLeft, glyphLeft, 2);
      EXPECT_NEAR(lineRight, glyphRight, 2);
    }
  }
}
