#pragma once
#include "window/WindowMessages.h"

#include <cstdint>

// Raw device input carried by WM_INPUT: its lParam is the handle of one record.
namespace Platform
{
    constexpr std::uint32_t RAW_INPUT_TYPE_MOUSE = 0;
    constexpr std::uint32_t RAW_INPUT_TYPE_KEYBOARD = 1;

    struct RawInputRecord
    {
        std::uint32_t myType = RAW_INPUT_TYPE_MOUSE;
        std::int32_t myMouseLastX = 0; // relative motion since the last record
        std::int32_t myMouseLastY = 0;
    };

    // The handle a sender puts in a WM_INPUT lParam for aRecord, which must outlive the message.
    LParam MakeRawInputHandle(const RawInputRecord& aRecord);

    // Reads the record behind a WM_INPUT lParam; false for a null handle.
    bool GetRawInputData(LParam aHandle, RawInputRecord& aRecord);
}
