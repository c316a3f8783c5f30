#pragma once
#include <cstdint>

// Keyboard and mouse-button codes of key messages (the Windows virtual-key numbering).
// Letters and digits are their upper-case ASCII codes: 'A' to 'Z', '0' to '9'.
namespace Platform
{
    constexpr std::uint8_t VK_LBUTTON = 0x01;
    constexpr std::uint8_t VK_RBUTTON = 0x02;
    constexpr std::uint8_t VK_MBUTTON = 0x04;
    constexpr std::uint8_t VK_BACK = 0x08;
    constexpr std::uint8_t VK_TAB = 0x09;
    constexpr std::uint8_t VK_RETURN = 0x0D;
    constexpr std::uint8_t VK_SHIFT = 0x10;
    constexpr std::uint8_t VK_CONTROL = 0x11;
    constexpr std::uint8_t VK_MENU = 0x12; // Alt
    constexpr std::uint8_t VK_PAUSE = 0x13;
    constexpr std::uint8_t VK_CAPITAL = 0x14;
    constexpr std::uint8_t VK_ESCAPE = 0x1B;
    constexpr std::uint8_t VK_SPACE = 0x20;
    constexpr std::uint8_t VK_PRIOR = 0x21; // Page Up
    constexpr std::uint8_t VK_NEXT = 0x22;  // Page Down
    constexpr std::uint8_t VK_END = 0x23;
    constexpr std::uint8_t VK_HOME = 0x24;
    constexpr std::uint8_t VK_LEFT = 0x25;
    constexpr std::uint8_t VK_UP = 0x26;
    constexpr std::uint8_t VK_RIGHT = 0x27;
    constexpr std::uint8_t VK_DOWN = 0x28;
    constexpr std::uint8_t VK_INSERT = 0x2D;
    constexpr std::uint8_t VK_DELETE = 0x2E;
    constexpr std::uint8_t VK_NUMPAD0 = 0x60; // to VK_NUMPAD0 + 9
    constexpr std::uint8_t VK_MULTIPLY = 0x6A;
    constexpr std::uint8_t VK_ADD = 0x6B;
    constexpr std::uint8_t VK_SUBTRACT = 0x6D;
    constexpr std::uint8_t VK_DECIMAL = 0x6E;
    constexpr std::uint8_t VK_DIVIDE = 0x6F;
    constexpr std::uint8_t VK_F1 = 0x70; // to VK_F1 + 11 (F12)
    constexpr std::uint8_t VK_LSHIFT = 0xA0;
    constexpr std::uint8_t VK_RSHIFT = 0xA1;
    constexpr std::uint8_t VK_LCONTROL = 0xA2;
    constexpr std::uint8_t VK_RCONTROL = 0xA3;
    constexpr std::uint8_t VK_LMENU = 0xA4;
    constexpr std::uint8_t VK_RMENU = 0xA5;
    constexpr std::uint8_t VK_OEM_1 = 0xBA;      // ;:
    constexpr std::uint8_t VK_OEM_PLUS = 0xBB;   // =+
    constexpr std::uint8_t VK_OEM_COMMA = 0xBC;  // ,<
    constexpr std::uint8_t VK_OEM_MINUS = 0xBD;  // -_
    constexpr std::uint8_t VK_OEM_PERIOD = 0xBE; // .>
    constexpr std::uint8_t VK_OEM_2 = 0xBF;      // /?
    constexpr std::uint8_t VK_OEM_3 = 0xC0;      // `~
    constexpr std::uint8_t VK_OEM_4 = 0xDB;      // [{
    constexpr std::uint8_t VK_OEM_5 = 0xDC;      // \|
    constexpr std::uint8_t VK_OEM_6 = 0xDD;      // ]}
    constexpr std::uint8_t VK_OEM_7 = 0xDE;      // '"
}
