#pragma once
#include "Math/Color.h"

#include <cstdint>

// What every menu screen shares: the button font and colours, and the keys and buttons that
// move, choose and go back.
namespace MenuStyle
{
    inline constexpr const char* FONT = "Text/Cinzel-Bold.ttf";
    inline constexpr Vra::Color NORMAL_COLOR{ 1.0f, 1.0f, 1.0f, 1.0f };
    inline constexpr Vra::Color SELECTED_COLOR{ 0.957f, 0.259f, 0.298f, 1.0f };
    // A held stick or D-pad moves the selection again after this many seconds.
    inline constexpr float NAVIGATION_DELAY = 0.25f;

    inline constexpr const char* BACKGROUND_TEXTURE = "Sprites/S_UI_MenuBG.dds";
    inline constexpr const char* TITLE_BAR_TEXTURE = "sprites/S_UI_Volumelider_Bar.dds";
    inline constexpr const char* BLACK_BAR_TEXTURE = "Sprites/S_VFX_Blackbar.dds";
    inline constexpr const char* FEATHER_TEXTURE = "Sprites/S_UI_Feather.dds";
    inline constexpr const char* BUTTON_SOUND = "UI_Button";
    inline constexpr const char* MENU_MUSIC = "Main Menu";
}
