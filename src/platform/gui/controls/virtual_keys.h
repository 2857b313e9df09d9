// Key codes handed to OnKeyDown: the values the program's key handlers compare against.
// Letters and digits are their upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
#pragma once

#include <cstdint>

using TKeyCode = std::uint16_t;

constexpr TKeyCode VK_BACK = 0x08;
constexpr TKeyCode VK_TAB = 0x09;
constexpr TKeyCode VK_RETURN = 0x0D;
constexpr TKeyCode VK_SHIFT = 0x10;
constexpr TKeyCode VK_CONTROL = 0x11;
constexpr TKeyCode VK_MENU = 0x12;  // Alt
constexpr TKeyCode VK_PAUSE = 0x13;
constexpr TKeyCode VK_CAPITAL = 0x14;
constexpr TKeyCode VK_ESCAPE = 0x1B;
constexpr TKeyCode VK_SPACE = 0x20;
constexpr TKeyCode VK_PRIOR = 0x21;  // Page Up
constexpr TKeyCode VK_NEXT = 0x22;   // Page Down
constexpr TKeyCode VK_END = 0x23;
constexpr TKeyCode VK_HOME = 0x24;
constexpr TKeyCode VK_LEFT = 0x25;
constexpr TKeyCode VK_UP = 0x26;
constexpr TKeyCode VK_RIGHT = 0x27;
constexpr TKeyCode VK_DOWN = 0x28;
constexpr TKeyCode VK_INSERT = 0x2D;
constexpr TKeyCode VK_DELETE = 0x2E;
constexpr TKeyCode VK_F1 = 0x70;  // VK_F2 ... VK_F12 follow without a gap
constexpr TKeyCode VK_F12 = 0x7B;
