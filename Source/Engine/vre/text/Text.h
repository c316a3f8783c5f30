#pragma once
#include "Math/Color.h"
#include "Math/Vector2.h"
#include "text/InternalTextAndFontData.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Vra
{
    class TextService;

    // One string the game shows: font, text, position, scale, rotation and colour. Its bytes
    // index the font's glyph table, so the text is single-byte characters 32 to 255 and line feed.
    class Text
    {
    public:
        // Takes the engine's text service; without an engine the text has no font.
        Text(const char* aFontPath, uint32_t aSize, uint8_t aBorder);
        // For code that holds a service of its own (tools, tests, benchmarks).
        Text(TextService& aService, const char* aFontPath, uint32_t aSize, uint8_t aBorder);
        ~Text();

        // Draws through the service with the sprite drawer's own shader; nothing without a service.
        void Render() const;
        float GetWidth() const;
        float GetHeight() const;

        void SetText(const std::string& aText) { myText = aText; }
        std::string GetText() const { return myText; }
        void SetPosition(const Vector2<float>& aPosition) { myPosition = aPosition; }
        Vector2<float> GetPosition() const { return myPosition; }
        void SetScale(float aScale) { myScale = aScale; }
        void SetColor(const Color& aColor) { myColor = aColor; }

        // Read by the service.
        const std::shared_ptr<InternalTextAndFontData>& GetFont() const { return myFont; }
        const std::string& GetString() const { return myText; }
        float GetScale() const { return myScale; }
        float GetRotation() const { return myRotation; }
        const Color& GetColor() const { return myColor; }

    private:
        TextService* myTextService = nullptr;
        std::shared_ptr<InternalTextAndFontData> myFont;
        std::string myText;
        Vector2<float> myPosition{ 0.0f, 0.0f };
        float myScale = 1.0f;
        // Radians; nothing in this class changes it.
        float myRotation = 0.0f;
        Color myColor{ 1.0f, 1.0f, 1.0f, 1.0f };
    };
}
