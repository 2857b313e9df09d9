// Items that hold documents of their own (as table cells will): the linear character
// positions run through those documents, and joining text items reaches into them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "richtext/base/code_pages.h"
#include "richtext/model/item_factory.h"
#include "richtext/model/nontext_items.h"
#include "richtext/model/rd_data.h"

namespace {

// An item on a line of its own that holds documents.
class THolderItem : public TRDFullLineItemInfo {
 public:
  explicit THolderItem(TCustomRDData* rdData) : TRDFullLineItemInfo(rdData) { StyleNo = -60; }
  std::unique_ptr<TCustomRDItemInfo> CreateEmpty(TCustomRDData* rdData) const override {
    return std::make_unique<THolderItem>(rdData);
  }
  int GetSubDocCount() const override { return int(docs.size()); }
  TCustomRDData* GetSubDoc(int index) const override { return docs[size_t(index)].get(); }
  std::vector<std::unique_ptr<TCustomRDData>> docs;
};

struct SubDocuments : ::testing::Test {
  SubDocuments() {
    root.AddText("ab", 0, 0);
    auto holder = std::make_unique<THolderItem>(&root);
    first = holder->docs.emplace_back(std::make_unique<TCustomRDData>()).get();
    second = holder->docs.emplace_back(std::make_unique<TCustomRDData>()).get();
    first->AddText("c", 0, 0);
    first->AddTextWithTag("d", 0, -1, TRDTag{});
    second->AddText("e", 0, 0);
    second->AddText("fg", 0, 0);
    root.AddItemAtEnd("", std::move(holder));
    root.AddText("hi", 0, 0);
  }
  struct Place {
    TCustomRDData* data;
    int itemNo;
    int offset;
    bool operator==(const Place&) const = default;
  };
  Place At(int linear) {
    Place place{};
    root.LinearToItem(linear, place.data, place.itemNo, place.offset);
    return place;
  }
  TCustomRDData root;
  TCustomRDData* first;
  TCustomRDData* second;
};

TEST_F(SubDocuments, LinearPositionsRunThroughTheDocumentsOfAnItem) {
  // ab | holder: (c d | e | fg) | hi, a separator before each line and after each document.
  EXPECT_EQ(root.GetTextRange(0, -1), WideStringToRawUnicode(u"ab\r\rcd\r\re\rfg\r\rhi"));
  EXPECT_EQ(root.ItemToLinear(*first, 1, 1), 5);    // before d
  EXPECT_EQ(root.ItemToLinear(*second, 1, 2), 11);  // before g
  EXPECT_EQ(root.ItemToLinear(2, 1), 14);
  EXPECT_EQ(At(11), (Place{second, 1, 2}));
  // Between two items the earlier one's end is the place.
  EXPECT_EQ(At(5), (Place{first, 0, 2}));
  // On a separator before a line: that line's start; after a document: its end.
  EXPECT_EQ(At(3), (Place{first, 0, 1}));
  EXPECT_EQ(At(6), (Place{first, 1, 2}));
  EXPECT_EQ(At(13), (Place{&root, 2, 1}));
  EXPECT_EQ(At(99), (Place{&root, 2, 3}));
  for (int linear : {0, 4, 8, 10, 15}) {
    const Place place = At(linear);
    EXPECT_EQ(root.ItemToLinear(*place.data, place.itemNo, place.offset), linear) << linear;
  }
}

TEST_F(SubDocuments, JoiningReachesIntoTheDocumentsOfTheRange) {
  ASSERT_EQ(first->GetItemCount(), 2);
  root.JoinItemsInRange(0, root.GetItemCount() - 1);
  ASSERT_EQ(first->GetItemCount(), 1);
  EXPECT_EQ(first->GetItemTextRaw(0), "cd");
  // Separate paragraphs stay apart.
  EXPECT_EQ(second->GetItemCount(), 2);
  EXPECT_EQ(root.GetItemCount(), 3);
}

}  // namespace
