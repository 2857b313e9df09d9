// The input our fuzzer drives through the section list's drop handling, shared by the
// libFuzzer program in fuzz/ and by the test that replays its saved corpus. Dropped data
// comes from whatever program the user drags from: any bytes must end in rows or in
// nothing, never in a crash or a sanitizer report.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/drag_drop.h"
#include "platform/gui/controls/file_group_descriptor.h"

// The first byte chooses the format the rest is offered as: even a file list, odd a row
// descriptor.
inline void FuzzDropData(const uint8_t* Data, size_t Size) {
  if (Size == 0) return;
  const std::string bytes(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TDragData data;
  data.Add(Data[0] % 2 == 0 ? kUriListFormat : kFileGroupDescriptorFormat,
           [&bytes](std::string& Out) {
             Out = bytes;
             return true;
           });
  TExSectionList list(nullptr);
  list.SetBounds(0, 0, 300, 200);
  TSectionGroup* group = list.AddGroup("");
  TSectionGroupedList& engine = list.Engine();
  TDropEffects effect = deCopy;
  engine.OLEDragEnter(data, 0, Point(10, 10), effect);
  if (effect != deCopy) std::abort();  // both formats are taken
  effect = deCopy;
  engine.OLEDrop(data, 0, Point(10, 10), effect);
  // Every row made holds strings of the input, and only a whole descriptor makes rows.
  std::vector<std::string> names;
  const bool whole = DecodeFileGroupDescriptor(bytes, names);
  if (Data[0] % 2 == 1 && group->GetCount() != (whole ? static_cast<int>(names.size()) : 0)) {
    std::abort();
  }
  for (int i = 0; i < group->GetCount(); ++i) group->GetItemStrings(i).Text();
}
