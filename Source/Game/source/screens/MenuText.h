#pragma once
#include "text/Text.h"

#include <cstdint>
#include <string>
#include <vector>

// The texts of the menu screens: the menu font without border, placed in screen pixels.
namespace MenuText
{
    // aLabel in the menu font at aSize, in the normal colour.
    Vra::Text Make(const std::string& aLabel, std::uint32_t aSize);
    // Centred horizontally on aCentreX, at aY.
    void PlaceCentred(Vra::Text& aText, float aCentreX, float aY);
    // Every text in the normal colour but the selected one.
    void ColourSelection(std::vector<Vra::Text>& someTexts, int aSelectedIndex);
    void RenderAll(const std::vector<Vra::Text>& someTexts);
}
