// Rows of the section list dragged out and dropped in. A row travels as one name of a
// "FileGroupDescriptor": its strings, each followed by "|" (a "|" or backslash inside
// one marked by a backslash before it); a list that takes the drop
// makes a row of the same strings. Dropped files become rows naming them. Nothing is
// written to disk: a drop hands rows, and the owner's OnOLEDrop gets the data itself.
#include <algorithm>

#include "lists/ex_section_list.h"
#include "platform/gui/controls/file_group_descriptor.h"

void TExSectionList::WireDragDrop() {
  engine_->OnOLEDragAllowed = [this](TSectionGroupedList*, POGLItem Item, bool& Allowed) {
    Allowed = DragDropSetting == ddEnabled;
    if (Allowed && OnOLEDragAllowed) OnOLEDragAllowed(this, Item, Allowed);
  };
  engine_->OnOLEGetClipboardFormats = [this](TSectionGroupedList*,
                                             std::vector<std::string>& Formats) {
    if (OnOLEGetClipboardFormats) {
      OnOLEGetClipboardFormats(this, Formats);
    } else {
      Formats = {kFileGroupDescriptorFormat};
    }
  };
  engine_->OnOLEGetData = [this](TSectionGroupedList*, const std::string& Format,
                                 std::string& Bytes, bool& Result) {
    if (OnOLEGetData) {
      OnOLEGetData(this, Format, Bytes, Result);
    } else if (Format == kFileGroupDescriptorFormat) {
      Bytes = DraggedRows();
      Result = true;
    }
  };
  engine_->OnOLEDragOver = [this](TSectionGroupedList*, const TDataObject* Data, TShiftState Shift,
                                  TPoint Pt, TDragState State, TDropEffects& Effect, bool& Accept) {
    if (OnOLEDragOver) {
      OnOLEDragOver(this, Data, Shift, Pt, State, Effect, Accept);
    } else if (State == dsDragEnter && Data) {
      Accept = DragDropSetting == ddEnabled &&
               (Data->HasFormat(kUriListFormat) || Data->HasFormat(kFileGroupDescriptorFormat));
    }
  };
  engine_->OnDragOver = [this](TSectionGroupedList*, TSectionGroupedList* Source, int X, int Y,
                               TDragState State, bool& Accept) {
    if (OnDragOver) {
      OnDragOver(this, Source, X, Y, State, Accept);
    } else {
      Accept = Source != engine_;
    }
  };
  engine_->OnDragDrop = [this](TSectionGroupedList*, TSectionGroupedList* Source, int X, int Y) {
    if (OnDragDrop) {
      OnDragDrop(this, Source, X, Y);
    } else {
      CopySelectedRows(*Source);
    }
  };
  engine_->OnOLEDrop = [this](TSectionGroupedList*, const TDataObject& Data, TShiftState Shift,
                              TPoint Pt, const std::vector<std::string>& Formats,
                              TDropEffects& Effect) {
    if (OnOLEDrop) {
      OnOLEDrop(this, Data, Shift, Pt, Formats, Effect);
    } else {
      DropRows(Data, Effect);
    }
  };
}

// The selected rows, group by group in order.
std::string TExSectionList::DraggedRows() {
  std::vector<std::string> names;
  for (POGLItem group = engine_->FirstGroup(); group; group = group->NextSibling) {
    if (group->SelectedCount == 0) continue;
    for (POGLItem item = group->FirstChild; item; item = item->NextSibling) {
      if (!engine_->IsItemSelected(item)) continue;
      TStringList strings;
      strings.Assign(*RowOf(item));
      if (OnOLEGetItemData) OnOLEGetItemData(this, item, strings);
      std::string name;
      for (int i = 0; i < strings.Count(); ++i) {
        // A "|" or backslash inside a string is marked, so that it stays in its column.
        for (char c : strings.Get(i)) {
          if (c == '|' || c == '\\') name += '\\';
          name += c;
        }
        name += '|';
      }
      names.push_back(std::move(name));
    }
  }
  return EncodeFileGroupDescriptor(names);
}

TSectionGroup* TExSectionList::GroupOfNode(POGLItem Node) const {
  for (const auto& group : groups_)
    if (group->Node == Node) return group.get();
  return nullptr;
}

void TExSectionList::DropRows(const TDataObject& Data, TDropEffects& Effect) {
  TSectionGroup* target = GroupOfNode(engine_->DropTarget());
  const std::vector<std::string> files = DroppedFileNames(Data);
  POGLItem last = nullptr;
  const TDropEffects offered = Effect;
  Effect = deNone;
  if (!files.empty()) {
    if (!target) return;
    Effect = deCopy;
    TUpdateScope update(*this);
    for (const std::string& path : files) {
      POGLItem row = engine_->FindItemByCaption(path, target->Node);
      if (!row) {
        // The whole path is the row's one string: paths hold blanks and commas.
        AddItem(target).Add(path);
        row = target->Node->LastChild;
      }
      last = row;
    }
  } else {
    std::string bytes;
    std::vector<std::string> names;
    if (!target || !Data.GetData(kFileGroupDescriptorFormat, bytes) ||
        !DecodeFileGroupDescriptor(bytes, names) || names.empty()) {
      return;
    }
    Effect = offered;
    TUpdateScope update(*this);
    for (const std::string& name : names) {
      TStrings& strings = AddItem(target);
      last = target->Node->LastChild;
      // Each piece before a "|" is a string; what follows the last "|" is not. A
      // backslash takes the character after it as it is.
      std::string piece;
      for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size()) {
          piece += name[++i];
        } else if (name[i] == '|') {
          strings.Add(piece);
          piece.clear();
        } else {
          piece += name[i];
        }
      }
      if (OnOLEItemDrop) OnOLEItemDrop(this, strings);
    }
  }
  if (!last) return;
  engine_->FocusItem(last);
  engine_->ScrollIntoView(last, false);
}

// A source that is a section list's engine gives its rows' strings; a plain grouped list
// gives each node's caption as its one string.
void TExSectionList::CopySelectedRows(TSectionGroupedList& Source) {
  auto* owner = dynamic_cast<TExSectionList*>(Source.Owner());
  TExSectionList* section = owner && &owner->Engine() == &Source ? owner : nullptr;
  auto copy = [&](POGLItem Node, TStrings& Into) {
    if (section) {
      if (const TStringList* strings = section->RowOf(Node))
        Into.SetCommaText(strings->CommaText());
      return;
    }
    std::string caption;
    Source.GetItemCaption(Node, caption);
    Into.Clear();
    Into.Add(caption);
  };
  {
    TUpdateScope update(*this);
    for (POGLItem group = Source.FirstGroup(); group; group = group->NextSibling) {
      if (!Source.IsItemSelected(group) && group->SelectedCount == 0) continue;
      std::string caption;
      Source.GetItemCaption(group, caption);
      POGLItem node = engine_->FindItemByCaption(caption, nullptr);
      TSectionGroup* target = node ? GroupOfNode(node) : AddGroup(caption);
      copy(group, *RowOf(target->Node));
      for (POGLItem row = group->FirstChild; row; row = row->NextSibling) {
        if (Source.IsItemSelected(row)) copy(row, AddItem(target));
      }
    }
  }
  engine_->Sort(-1, sdDefault);
}
