// The state of an owner-drawn list row or menu item.
#pragma once

// A set of these flags.
enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1,  // selected, or under a menu's highlight
  odFocused = 2,
  odDisabled = 4,
  odChecked = 8,
  odDefault = 16,  // the command Enter would choose
};
using TOwnerDrawState = unsigned;
