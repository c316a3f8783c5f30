#include "screens/MenuText.h"

#include "screens/MenuStyle.h"

namespace MenuText
{
    Vra::Text Make(const std::string& aLabel, std::uint32_t aSize)
    {
        Vra::Text text(MenuStyle::FONT, aSize, 0);
        text.SetText(aLabel);
        text.SetColor(MenuStyle::NORMAL_COLOR);
        return text;
    }

    void PlaceCentred(Vra::Text& aText, float aCentreX, float aY)
    {
        aText.SetPosition({ aCentreX - aText.GetWidth() * 0.5f, aY });
    }

    void ColourSelection(std::vector<Vra::Text>& someTexts, int aSelectedIndex)
    {
        for (Vra::Text& text : someTexts)
        {
            text.SetColor(MenuStyle::NORMAL_COLOR);
        }
        if (aSelectedIndex >= 0 && aSelectedIndex < static_cast<int>(someTexts.size()))
        {
            someTexts[static_cast<std::size_t>(aSelectedIndex)].SetColor(MenuStyle::SELECTED_COLOR);
        }
    }

    void RenderAll(const std::vector<Vra::Text>& someTexts)
    {
        for (const Vra::Text& text : someTexts)
        {
            text.Render();
        }
    }
}
