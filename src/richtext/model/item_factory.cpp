#include "richtext/model/item_factory.h"

#include <vector>

#include "richtext/base/rich_doc_error.h"
#include "richtext/model/break_item.h"
#include "richtext/model/bullet_item.h"
#include "richtext/model/control_item.h"
#include "richtext/model/marker_item.h"
#include "richtext/model/picture_item.h"
#include "richtext/model/rd_data.h"
#include "richtext/model/tab_item.h"

namespace {

constexpr int kLowestBuiltInCode = -9;

std::vector<TRichDocItemTypeInfo>& Registry() {
  static std::vector<TRichDocItemTypeInfo> registry;
  return registry;
}

template <class T>
std::unique_ptr<TCustomRDItemInfo> Create(TCustomRDData* rdData) {
  return std::make_unique<T>(rdData);
}

}  // namespace

const TRichDocItemTypeInfo& RegisterRDItemClass(int styleNo, TRDItemClass itemClass) {
  static const char* const kMessage =
      "Can't register RichDoc item type - this StyleNo is already registered";
  if (styleNo >= kLowestBuiltInCode) throw ERichDocError(kMessage);
  for (const TRichDocItemTypeInfo& info : Registry()) {
    if (info.StyleNo != styleNo) continue;
    if (info.ItemClass == itemClass) return info;
    throw ERichDocError(kMessage);
  }
  Registry().push_back(TRichDocItemTypeInfo{styleNo, itemClass});
  return Registry().back();
}

std::unique_ptr<TCustomRDItemInfo> CreateRDItem(int styleNo, TCustomRDData* rdData) {
  std::unique_ptr<TCustomRDItemInfo> item;
  if (styleNo >= 0) {
    item = RichDocTextItemClass(rdData);
  } else if (styleNo == rdsBreak) {
    item = Create<TRDBreakItemInfo>(rdData);
  } else if (styleNo == rdsTab) {
    item = Create<TRDTabItemInfo>(rdData);
  } else if (styleNo == rdsPicture) {
    item = Create<TRDGraphicItemInfo>(rdData);
  } else if (styleNo == rdsHotPicture) {
    item = Create<TRDHotGraphicItemInfo>(rdData);
  } else if (styleNo == rdsBullet) {
    item = Create<TRDBulletItemInfo>(rdData);
  } else if (styleNo == rdsHotspot) {
    item = Create<TRDHotspotItemInfo>(rdData);
  } else if (styleNo == rdsComponent) {
    item = Create<TRDControlItemInfo>(rdData);
  } else if (styleNo == rdsListMarker) {
    item = Create<TRDMarkerItemInfo>(rdData);
  } else {
    for (const TRichDocItemTypeInfo& info : Registry())
      if (info.StyleNo == styleNo) {
        item = info.ItemClass(rdData);
        break;
      }
  }
  if (item) item->StyleNo = styleNo;
  return item;
}

std::unique_ptr<TCustomRDItemInfo> CloneRDItem(const TCustomRDItemInfo& source,
                                               TCustomRDData* rdData, bool copyCheckpoint) {
  std::unique_ptr<TCustomRDItemInfo> item = source.CreateEmpty(rdData);
  item->StyleNo = source.StyleNo;
  item->AssignProperties(source);
  const bool tagsArePChars = rdData && rdData->TagsArePChars();
  if (copyCheckpoint && source.Checkpoint)
    item->Checkpoint = CopyCheckpoint(*source.Checkpoint, tagsArePChars);
  item->Tag = CopyItemTag(source.Tag, tagsArePChars);
  return item;
}
