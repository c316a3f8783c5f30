#include "text/Text.h"

#include "text/TextService.h"

namespace Vra
{
    Text::Text(TextService& aService, const char* aFontPath, uint32_t aSize, uint8_t aBorder)
        : myTextService(&aService)
    {
        myFont = myTextService->LoadFont(aFontPath != nullptr ? aFontPath : "", aSize, aBorder);
    }

    Text::~Text() = default;

    float Text::GetWidth() const
    {
        return myTextService != nullptr ? myTextService->GetTextWidth(*this) : 0.0f;
    }

    float Text::GetHeight() const
    {
        return myTextService != nullptr ? myTextService->GetTextHeight(*this) : 0.0f;
    }
}
