#include "text/Text.h"

#include "Engine.h"
#include "text/TextService.h"

namespace Vra
{
    Text::Text(TextService& aService, const char* aFontPath, uint32_t aSize, uint8_t aBorder)
        : myTextService(&aService)
    {
        myFont = myTextService->LoadFont(aFontPath != nullptr ? aFontPath : "", aSize, aBorder);
    }

    Text::Text(const char* aFontPath, uint32_t aSize, uint8_t aBorder)
    {
        if (const Engine* engine = Engine::GetInstance())
        {
            myTextService = engine->GetTextService();
        }
        if (myTextService != nullptr)
        {
            myFont = myTextService->LoadFont(aFontPath != nullptr ? aFontPath : "", aSize, aBorder);
        }
    }

    Text::~Text() = default;

    void Text::Render() const
    {
        if (myTextService != nullptr)
        {
            myTextService->Render(*this, nullptr);
        }
    }

    float Text::GetWidth() const
    {
        return myTextService != nullptr ? myTextService->GetTextWidth(*this) : 0.0f;
    }

    float Text::GetHeight() const
    {
        return myTextService != nullptr ? myTextService->GetTextHeight(*this) : 0.0f;
    }
}
