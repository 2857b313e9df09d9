// Dragging nodes of the grouped list and rows of the section list, within one process.
// The window system's drag loop cannot run offscreen: the drags run scripted below it
// (TScriptedDrags), through the same events and drop targets as a user's drag.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/file_group_descriptor.h"
#include "platform/gui/controls/forms.h"
#include "platform/test_support/gui_test_support.h"
#include "support/control_snapshot.h"

namespace {

// Two section lists side by side, each with one group and 20-pixel rows under a
// 34-pixel group bar and a 20-pixel header.
class ListDragDrop : public ::testing::Test {
 protected:
  ListDragDrop() : form(nullptr) {
    form.SetBounds(0, 0, 700, 300);
    source = MakeList(0);
    target = MakeList(350);
    source_group = source->AddGroup("");
    target_group = target->AddGroup("");
  }
  TExSectionList* MakeList(int left) {
    auto* list = new TExSectionList(&form);
    list->SetParent(&form);
    list->SetBounds(left, 0, 300, 300);
    list->SetItemHeight(20);
    return list;
  }
  static void AddRow(TExSectionList& list, TSectionGroup& group, std::vector<std::string> texts) {
    TStrings& row = list.AddItem(&group);
    for (const std::string& t : texts) row.Add(t);
  }
  static std::string Rows(TSectionGroup& group) {
    std::string s;
    for (int i = 0; i < group.GetCount(); ++i) s += group.GetItemStrings(i).CommaText() + ";";
    return s;
  }
  // Presses on the row at Index of the source list and moves far enough to drag it.
  void DragRow(int Index, TShiftState Shift = 0) {
    TSectionGroupedList& engine = source->Engine();
    const int y = 34 + Index * 20 + 10;
    SimulateMouseDown(engine, mbLeft, 40, y, Shift);
    SimulateMouseMove(engine, 40, y + 10, Shift | ssLeft);
  }
  TDragStep OverTarget(int Y, TShiftState Shift = 0) { return {&target->Engine(), 40, Y, Shift}; }

  TForm form;
  TExSectionList* source;
  TExSectionList* target;
  TSectionGroup* source_group;
  TSectionGroup* target_group;
};

}  // namespace

TEST_F(ListDragDrop, RowsDraggedToAnotherListArriveWithTheirStringsAndLeaveTheSource) {
  AddRow(*source, *source_group, {"N0CALL", "12:00", "a|b\\c"});
  AddRow(*source, *source_group, {"DL1ABC", "12:01"});
  AddRow(*source, *source_group, {"OE3XYZ"});
  AddRow(*target, *target_group, {"K1OLD"});
  // Select the first two: the first by a click, the second by Ctrl at the drag's press.
  SimulateClick(source->Engine(), 40, 44);
  TScriptedDrags drags({OverTarget(20), OverTarget(200)});
  DragRow(1, ssCtrl);
  ASSERT_EQ(drags.Count(), 1);
  // A "|" inside a string stays in it.
  EXPECT_EQ(Rows(*target_group), "K1OLD;N0CALL,12:00,a|b\\c;DL1ABC,12:01;");
  EXPECT_EQ(target->Engine().FocusedItem(), target_group->GetItemNode(2));
  // Moved without keys: the dragged rows leave the source.
  EXPECT_EQ(Rows(*source_group), "OE3XYZ;");
  EXPECT_EQ(target->Engine().DropTarget(), nullptr);
}

// A dtVCL drag hands the list itself: the target copies the selected rows under groups
// of the same captions, the source keeps them, and the release clicks no row.
TEST_F(ListDragDrop, ListDragsCopyRowsUnderGroupsOfTheirCaptions) {
  source->SetDragType(dtVCL);
  source->Engine().SetSelectionOptions(soMultiSelect);
  source->GetNodeStrings(source_group->Node)->Put(0, "Radio");
  AddRow(*source, *source_group, {"N0CALL", "a, b"});
  AddRow(*source, *source_group, {"DL1ABC"});
  AddRow(*source, *source_group, {"OE3XYZ"});
  TSectionGroup* internet = source->AddGroup("Internet");
  AddRow(*source, *internet, {"K1NET"});
  target->GetNodeStrings(target_group->Node)->Put(0, "Internet");
  AddRow(*target, *target_group, {"K1OLD"});
  int clicks = 0;
  source->OnItemClick = [&](TComponent*, POGLItem, int) { ++clicks; };
  SimulateClick(source->Engine(), 40, 44);
  clicks = 0;
  source->Engine().SelectItem(source_group->GetItemNode(2), false);
  source->Engine().SelectItem(internet->GetItemNode(0), false);
  {
    TScriptedDrags drags({OverTarget(20), OverTarget(200)});
    DragRow(0);
    ASSERT_EQ(drags.Count(), 1);
  }
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(Rows(*target_group), "K1OLD;K1NET;");
  ASSERT_EQ(target->GroupCount(), 2);
  TSectionGroup* radio = target->Groups(1);
  EXPECT_EQ(target->GetNodeStrings(radio->Node)->Get(0), "Radio");
  EXPECT_EQ(Rows(*radio), "N0CALL,\"a, b\";OE3XYZ;");
  EXPECT_EQ(source_group->GetCount(), 3);
  // A list never takes its own rows; the owner may judge and take drops itself.
  {
    TScriptedDrags drags({{&source->Engine(), 40, 100}});
    DragRow(0);
  }
  EXPECT_EQ(source_group->GetCount(), 3);
  std::vector<TDragState> states;
  target->OnDragOver = [&](TComponent*, TComponent* from, int, int, TDragState state,
                           bool& accept) {
    states.push_back(state);
    accept = from == &source->Engine() && state != dsDragLeave;
  };
  TComponent* dropped = nullptr;
  target->OnDragDrop = [&](TComponent*, TComponent* from, int, int) { dropped = from; };
  {
    TScriptedDrags drags({OverTarget(20), OverTarget(60)});
    DragRow(0);
  }
  EXPECT_EQ(dropped, &source->Engine());
  EXPECT_EQ(states.front(), dsDragEnter);
  EXPECT_EQ(target->GroupCount(), 2);
  EXPECT_EQ(Rows(*radio), "N0CALL,\"a, b\";OE3XYZ;");
}

TEST_F(ListDragDrop, CopyModesAndEmptyOperationsKeepTheSourceRows) {
  AddRow(*source, *source_group, {"N0CALL"});
  {
    // Ctrl copies.
    TScriptedDrags drags({OverTarget(50, ssCtrl)});
    DragRow(0);
    EXPECT_EQ(target_group->GetCount(), 1);
    EXPECT_EQ(source_group->GetCount(), 1);
  }
  {
    // ddmCopy offers a move as a copy, so nothing is ever deleted.
    source->SetDragDropMode(ddmCopy);
    EXPECT_EQ(source->Engine().AllowedEffects(), static_cast<TDropEffects>(deCopy));
    TScriptedDrags drags({OverTarget(50)});
    DragRow(0);
    EXPECT_EQ(target_group->GetCount(), 2);
    EXPECT_EQ(source_group->GetCount(), 1);
  }
  // No operations: no drag starts at all.
  source->Engine().DragOperations = 0;
  TScriptedDrags drags({OverTarget(50)});
  DragRow(0);
  EXPECT_EQ(drags.Count(), 0);
  EXPECT_EQ(target_group->GetCount(), 2);
}

TEST_F(ListDragDrop, DisabledListsNeitherDragNorTakeDrops) {
  AddRow(*source, *source_group, {"N0CALL"});
  {
    source->DragDropSetting = ddDisabled;
    TScriptedDrags drags({OverTarget(50)});
    DragRow(0);
    EXPECT_EQ(drags.Count(), 0);
  }
  source->DragDropSetting = ddEnabled;
  target->DragDropSetting = ddDisabled;
  TScriptedDrags drags({OverTarget(50)});
  DragRow(0);
  EXPECT_EQ(drags.Count(), 1);
  EXPECT_EQ(target_group->GetCount(), 0);
  EXPECT_EQ(source_group->GetCount(), 1);  // refused: nothing moved
}

TEST_F(ListDragDrop, TheOwnerMayRefuseADragAndTakeOverTheData) {
  AddRow(*source, *source_group, {"N0CALL"});
  source->OnOLEDragAllowed = [](TComponent*, POGLItem, bool& allowed) { allowed = false; };
  {
    TScriptedDrags drags({OverTarget(50)});
    DragRow(0);
    EXPECT_EQ(drags.Count(), 0);
  }
  source->OnOLEDragAllowed = nullptr;
  source->OnOLEGetItemData = [](TComponent*, POGLItem, TStrings& strings) { strings.Add("extra"); };
  std::vector<std::string> offered;
  target->OnOLEDrop = [&](TComponent*, const TDataObject& data, TShiftState, TPoint,
                          const std::vector<std::string>& formats, TDropEffects& effect) {
    offered = formats;
    std::string bytes;
    std::vector<std::string> names;
    ASSERT_TRUE(data.GetData(kFileGroupDescriptorFormat, bytes));
    ASSERT_TRUE(DecodeFileGroupDescriptor(bytes, names));
    EXPECT_EQ(names, (std::vector<std::string>{"N0CALL|extra|"}));
    effect = deCopy;
  };
  TScriptedDrags drags({OverTarget(50)});
  DragRow(0);
  EXPECT_EQ(offered, (std::vector<std::string>{kFileGroupDescriptorFormat}));
  EXPECT_EQ(target_group->GetCount(), 0);  // the owner's drop added nothing
  EXPECT_EQ(source->GetNodeStrings(source_group->GetItemNode(0))->Count(), 1);
}

TEST_F(ListDragDrop, DroppedFilesBecomeRowsOfTheirWholePathsAndAreNeverCopied) {
  AddRow(*target, *target_group, {"/tmp/Log, 1.TXT"});
  auto data = std::make_shared<TDragData>();
  const std::vector<std::string> files = {"/tmp/log, 1.txt",
                                          "/tmp/new file " + std::string(300, 'x')};
  data->Add(kUriListFormat, [&](std::string& bytes) {
    bytes = UriListOf(files);
    return true;
  });
  TScriptedDrags drags({OverTarget(200)});  // below the rows: the last group
  // The files stay where they are, whatever the source offered: a move would delete them.
  EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deCopy);
  ASSERT_EQ(target_group->GetCount(), 2);  // the first file had a row already
  ASSERT_EQ(target_group->GetItemStrings(1).Count(), 1);
  EXPECT_EQ(target_group->GetItemStrings(1).Get(0), files[1]);
  EXPECT_EQ(target->Engine().FocusedItem(), target_group->GetItemNode(1));
}

TEST_F(ListDragDrop, ADroppedDescriptorMakesARowPerNameCutAtTheBars) {
  std::vector<std::string> announced;
  target->OnOLEItemDrop = [&](TComponent*, TStrings& strings) {
    announced.push_back(strings.CommaText());
  };
  auto data = std::make_shared<TDragData>();
  data->Add(kFileGroupDescriptorFormat, [](std::string& bytes) {
    bytes = EncodeFileGroupDescriptor({"a|b|", "no bar", "x\\|y|tail"});
    return true;
  });
  TScriptedDrags drags({OverTarget(50)});
  EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deMove);
  EXPECT_EQ(Rows(*target_group), "a,b;;x|y;");
  EXPECT_EQ(announced, (std::vector<std::string>{"a,b", "", "x|y"}));
  EXPECT_EQ(target->Engine().FocusedItem(), target_group->GetItemNode(2));
}

TEST_F(ListDragDrop, AListWithoutGroupsOrAFormatItKnowsTakesNothing) {
  auto data = std::make_shared<TDragData>();
  data->Add("text/plain", [](std::string& bytes) {
    bytes = "N0CALL";
    return true;
  });
  {
    TScriptedDrags drags({OverTarget(50)});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy), deNone);
  }
  data->Add(kFileGroupDescriptorFormat, [](std::string& bytes) {
    bytes = "\x05garbage";  // from some other program: not a descriptor
    return true;
  });
  {
    // Taking nothing, it answers so: a source deletes what it moved on a move alone.
    TScriptedDrags drags({OverTarget(50)});
    EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deNone);
    EXPECT_EQ(target_group->GetCount(), 0);
  }
  TExSectionList empty(&form);
  empty.SetParent(&form);
  empty.SetBounds(0, 0, 200, 200);
  data->Add(kFileGroupDescriptorFormat, [](std::string& bytes) {
    bytes = EncodeFileGroupDescriptor({"a|"});
    return true;
  });
  TScriptedDrags drags({{&empty.Engine(), 10, 10}});
  EXPECT_EQ(DoDragDrop(*source, data, deCopy | deMove), deNone);
  EXPECT_EQ(empty.GroupCount(), 0);
}

// A group header dragged away with a move takes its group along: the list keeps no group
// whose node is gone.
TEST_F(ListDragDrop, AGroupMovedAwayLeavesNoGroupBehind) {
  source->GetNodeStrings(source_group->Node)->Put(0, "Radio");
  AddRow(*source, *source_group, {"N0CALL"});
  TSectionGroup* internet = source->AddGroup("Internet");
  AddRow(*source, *internet, {"K1NET"});
  TScriptedDrags drags({OverTarget(200)});
  SimulateMouseDown(source->Engine(), mbLeft, 40, 17);
  SimulateMouseMove(source->Engine(), 40, 30, ssLeft);
  ASSERT_EQ(drags.Count(), 1);
  EXPECT_EQ(Rows(*target_group), "N0CALL;");
  ASSERT_EQ(source->GroupCount(), 1);
  EXPECT_EQ(source->Groups(0), internet);
  EXPECT_EQ(Rows(*internet), "K1NET;");
}

// Another program may answer a move long after the drop, while the user clicks rows and
// the owner deletes, adds and clears them, or closes the list: here all of that happens
// while the target takes the drop. The move then deletes the rows that were dragged and
// still exist, and nothing else; a list that went is not touched again.
TEST_F(ListDragDrop, AMoveDeletesTheRowsDraggedWhateverHappensBeforeTheAnswer) {
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
    auto* list = MakeList(0);
    TSectionGroup* groups[] = {list->AddGroup("g0"), list->AddGroup("g1")};
    std::vector<std::vector<std::string>> model(2);
    for (int r = 0; r < 9; ++r) {
      const int g = r < 6 ? 0 : 1;
      AddRow(*list, *groups[g], {"r" + std::to_string(r)});
      model[g].push_back("r" + std::to_string(r));
    }
    // The first row and some others are dragged.
    std::vector<std::string> dragged = {"r0"};
    list->Engine().SelectItem(groups[0]->GetItemNode(0), false);
    for (int r = 1; r < 9; ++r) {
      if (pick(3) != 0) continue;
      const int g = r < 6 ? 0 : 1;
      list->Engine().SelectItem(groups[g]->GetItemNode(g == 0 ? r : r - 6), false);
      dragged.push_back("r" + std::to_string(r));
    }
    // A group whose rows are all selected is selected itself: it goes too when the move
    // leaves it empty.
    const bool whole[] = {list->Engine().IsItemSelected(groups[0]->Node),
                          list->Engine().IsItemSelected(groups[1]->Node)};
    bool closed = false;
    int added = 0;
    target->OnOLEDrop = [&](TComponent*, const TDataObject&, TShiftState, TPoint,
                            const std::vector<std::string>&, TDropEffects& effect) {
      effect = deMove;
      for (int n = pick(6); n > 0 && !closed; --n) {
        const int g = pick(2);
        const int count = groups[g]->GetCount();
        switch (pick(6)) {
          case 0:  // a click on a row
          case 1:
            if (count > 0) SimulateClick(list->Engine(), 40, 34 + pick(count * 20));
            break;
          case 2:  // a row deleted, dragged or not
            if (count > 0) {
              const int i = pick(count);
              model[g].erase(model[g].begin() + i);
              groups[g]->DeleteItem(i);
            }
            break;
          case 3: {  // a row added, and selected
            const std::string name = "n" + std::to_string(added++);
            AddRow(*list, *groups[g], {name});
            model[g].push_back(name);
            list->Engine().SelectItem(groups[g]->GetItemNode(groups[g]->GetCount() - 1), false);
            break;
          }
          case 4:  // a group emptied
            groups[g]->Clear();
            model[g].clear();
            break;
          default:  // the list closed
            if (pick(3) == 0) {
              delete list;
              closed = true;
            }
        }
      }
    };
    {
      TScriptedDrags drags({OverTarget(50)});
      SimulateMouseDown(list->Engine(), mbLeft, 40, 44);
      SimulateMouseMove(list->Engine(), 40, 60, ssLeft);
      ASSERT_EQ(drags.Count(), 1);
    }
    target->OnOLEDrop = nullptr;
    if (closed) continue;
    std::string want, got;
    for (int g = 0; g < 2; ++g) {
      std::string rows;
      for (const std::string& name : model[g])
        if (std::find(dragged.begin(), dragged.end(), name) == dragged.end()) rows += name + ";";
      if (!whole[g] || !rows.empty()) want += "g" + std::to_string(g) + ":" + rows;
    }
    for (int g = 0; g < list->GroupCount(); ++g)
      got += list->GetNodeStrings(list->Groups(g)->Node)->Get(0) + ":" + Rows(*list->Groups(g));
    EXPECT_EQ(got, want);
    delete list;
  }
}

TEST_F(ListDragDrop, TheGroupUnderThePointerIsMarkedAndScrollsNearTheEdges) {
  TSectionGroupedList& engine = target->Engine();
  for (int i = 0; i < 30; ++i) AddRow(*target, *target_group, {std::to_string(i)});
  target->Repaint();
  TDragData data;
  data.Add(kFileGroupDescriptorFormat, [](std::string&) { return false; });
  TDropEffects effect = deCopy | deMove;
  engine.OLEDragEnter(data, 0, Point(40, 100), effect);
  EXPECT_EQ(effect, static_cast<TDropEffects>(deMove));
  EXPECT_EQ(engine.DropTarget(), target_group->Node);
  auto shot = Snapshot(engine);
  EXPECT_EQ(PixelAt(*shot, 150, 10), RGB(255, 238, 194));  // the group bar
  EXPECT_EQ(PixelAt(*shot, 150, 44), RGB(255, 250, 237));  // an unselected row under it
  // Within 20 pixels of the bottom each notification scrolls 20 pixels.
  const int bottom = engine.ClientHeight() - 5;
  effect = deCopy;
  engine.OLEDragOver(0, Point(40, bottom), effect);
  EXPECT_EQ(engine.TopPosition(), 20);
  EXPECT_EQ(effect, deCopy | deScroll);
  engine.OLEDragOver(0, Point(40, bottom), effect);
  EXPECT_EQ(engine.TopPosition(), 40);
  effect = deCopy;
  engine.OLEDragOver(0, Point(40, 5), effect);
  EXPECT_EQ(engine.TopPosition(), 20);
  engine.OLEDragLeave();
  EXPECT_EQ(engine.DropTarget(), nullptr);
  EXPECT_NE(PixelAt(*Snapshot(engine), 150, 10), RGB(255, 238, 194));
}

TEST_F(ListDragDrop, ADropNeverAcceptedIsRefusedEvenWithADropHandler) {
  TSectionGroupedList& engine = target->Engine();
  bool dropped = false;
  target->OnOLEDragOver = [](TComponent*, const TDataObject*, TShiftState, TPoint, TDragState,
                             TDropEffects&, bool& accept) { accept = false; };
  target->OnOLEDrop = [&](TComponent*, const TDataObject&, TShiftState, TPoint,
                          const std::vector<std::string>&, TDropEffects&) { dropped = true; };
  TDragData data;
  TDropEffects effect = deCopy;
  engine.OLEDragEnter(data, 0, Point(40, 50), effect);
  EXPECT_EQ(effect, static_cast<TDropEffects>(deNone));
  effect = deCopy;
  engine.OLEDrop(data, 0, Point(40, 50), effect);
  EXPECT_EQ(effect, static_cast<TDropEffects>(deNone));
  EXPECT_FALSE(dropped);
  EXPECT_EQ(engine.DropTarget(), nullptr);
}

TEST_F(ListDragDrop, TakingDropsStopsAtOnceWhenTheOptionIsCleared) {
  TSectionGroupedList& engine = target->Engine();
  EXPECT_TRUE(IsDropTarget(engine));
  engine.SetDragOptions(doOLEAllowDrag);
  EXPECT_FALSE(IsDropTarget(engine));
  engine.SetDragOptions(doOLEAllowDrag | doOLEAcceptDrop);
  EXPECT_TRUE(IsDropTarget(engine));
}

TEST(ListDropEffect, KeysChooseAmongTheAllowedEffects) {
  TSectionGroupedList list(nullptr);
  const TDropEffects all = deCopy | deMove | deLink;
  EXPECT_EQ(list.DetermineDropEffect(0, all), static_cast<TDropEffects>(deMove));
  EXPECT_EQ(list.DetermineDropEffect(ssCtrl, all), static_cast<TDropEffects>(deCopy));
  EXPECT_EQ(list.DetermineDropEffect(ssCtrl | ssShift, all), static_cast<TDropEffects>(deLink));
  EXPECT_EQ(list.DetermineDropEffect(ssAlt, all), static_cast<TDropEffects>(deLink));
  EXPECT_EQ(list.DetermineDropEffect(ssShift | ssAlt, all), static_cast<TDropEffects>(deMove));
  // Not allowed: the allowed set stays as it came.
  EXPECT_EQ(list.DetermineDropEffect(ssCtrl, deMove | deLink), deMove | deLink);
  EXPECT_EQ(list.DetermineDropEffect(0, deCopy), static_cast<TDropEffects>(deCopy));
}

TEST_F(ListDragDrop, TheDragImageShowsTheSelectedRowsAroundThePressPoint) {
  for (int i = 0; i < 3; ++i) AddRow(*source, *source_group, {"row" + std::to_string(i)});
  TScriptedDrags drags({OverTarget(50)});
  DragRow(1);
  // As wide as the rows, as high as the window's client area, centred on the press
  // point as far as the document allows: here from the top.
  ASSERT_EQ(drags.ImageWidth(), source->Engine().ContentWidth());
  EXPECT_EQ(drags.ImageHeight(), std::min(200, source->Engine().ClientHeight()));
  EXPECT_EQ(drags.HotSpot(), Point(40, 34 + 20 + 10));
  EXPECT_EQ(drags.ImagePixel(150, 10), clNone);       // the group bar is not selected
  EXPECT_EQ(drags.ImagePixel(150, 34 + 5), clNone);   // nor the first row
  EXPECT_NE(drags.ImagePixel(150, 34 + 25), clNone);  // the dragged row
}

TEST(FileGroupDescriptor, NamesTravelWholeAndBrokenDataIsRefused) {
  const std::vector<std::string> names = {"a|b|", "", std::string(1000, 'n') + "\r\n|"};
  std::vector<std::string> back;
  ASSERT_TRUE(DecodeFileGroupDescriptor(EncodeFileGroupDescriptor(names), back));
  EXPECT_EQ(back, names);
  const std::string bytes = EncodeFileGroupDescriptor(names);
  for (size_t cut : {size_t{0}, size_t{3}, size_t{9}, bytes.size() - 1}) {
    EXPECT_FALSE(DecodeFileGroupDescriptor(bytes.substr(0, cut), back));
    EXPECT_TRUE(back.empty());
  }
  EXPECT_FALSE(DecodeFileGroupDescriptor(bytes + "x", back));
  // A count far beyond the bytes is refused before anything is reserved.
  EXPECT_FALSE(DecodeFileGroupDescriptor(std::string("\xff\xff\xff\x7f", 4), back));
}
