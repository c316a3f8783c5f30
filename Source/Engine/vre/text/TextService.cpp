#include "text/TextService.h"

#include "Engine.h"
#include "drawers/SpriteDrawer.h"
#include "graphics/DX11.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/GraphicsStateStack.h"
#include "settings/Settings.h"
#include "text/Text.h"
#include "text/impl/AtlasTextureUploader.h"
#include "text/impl/GlyphAtlasBuilder.h"
#include "text/impl/TextLayout.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace Vra
{
    namespace
    {
        constexpr uint32_t NO_FONT_SIZE = 0xFFFFFFFF;
        constexpr size_t FONT_CACHE_BUCKETS = 8;
        // From this size up the atlas is sampled linearly; smaller text keeps hard pixel edges.
        constexpr uint32_t LINEAR_FILTER_SIZE = 18;

        // Path, size and border; the border goes in as one raw byte, so border 0 ends the key
        // with a zero character.
        std::string MakeFontKey(const std::string& aPath, uint32_t aSize, uint8_t aBorder)
        {
            std::string key = aPath;
            key += '-';
            key += std::to_string(aSize);
            key += '-';
            key += static_cast<char>(aBorder);
            return key;
        }
    }

    TextService::TextService() : myFontCache(FONT_CACHE_BUCKETS)
    {
        myFontCache.max_load_factor(1.0f);
    }

    TextService::~TextService()
    {
        if (myLibrary != nullptr)
        {
            FT_Done_FreeType(myLibrary);
            myLibrary = nullptr;
        }
    }

    int TextService::Init()
    {
        return FT_Init_FreeType(&myLibrary);
    }

    std::shared_ptr<InternalTextAndFontData> TextService::LoadFont(const std::string& aPath, uint32_t aSize,
                                                                   uint8_t aBorder)
    {
        // The cache has no lock and the atlas goes through the immediate context: a load from
        // another thread would race both, so it fails instead.
        if (aSize == NO_FONT_SIZE || !DX11::IsOnMainThread())
        {
            return {};
        }
        const std::string resolvedPath = ResolveAssetPath(aPath);
        const std::string key = MakeFontKey(aPath, aSize, aBorder);
        if (const auto found = myFontCache.find(key); found != myFontCache.end())
        {
            if (std::shared_ptr<InternalTextAndFontData> alive = found->second.lock())
            {
                return alive;
            }
        }

        auto font = std::make_shared<InternalTextAndFontData>();
        myFontCache[key] = font;
        font->myAtlasPixels.assign(static_cast<size_t>(InternalTextAndFontData::ATLAS_SIZE) *
                                       InternalTextAndFontData::ATLAS_SIZE,
                                   0);
        font->myFontSize = aSize;
        font->myFontPath = aPath;
        if (!impl::GlyphAtlasBuilder::Build(myLibrary, resolvedPath, aSize, aBorder, *font) ||
            !CreateAtlasTexture(*font))
        {
            return {};
        }
        font->myAtlasWidth = InternalTextAndFontData::ATLAS_SIZE;
        font->myAtlasHeight = InternalTextAndFontData::ATLAS_SIZE;
        return font;
    }

    float TextService::GetTextWidth(const Text& aText) const
    {
        const std::shared_ptr<InternalTextAndFontData>& font = aText.GetFont();
        if (!font || aText.GetString().empty())
        {
            return 0.0f;
        }
        return impl::TextLayout::Width(*font, aText.GetString(), aText.GetScale());
    }

    float TextService::GetTextHeight(const Text& aText) const
    {
        const std::shared_ptr<InternalTextAndFontData>& font = aText.GetFont();
        if (!font || aText.GetString().empty())
        {
            return 0.0f;
        }
        return impl::TextLayout::Height(*font, aText.GetString(), aText.GetScale());
    }

    bool TextService::CreateAtlasTexture(InternalTextAndFontData& aFont) const
    {
        if (!DX11::Device || !DX11::Context)
        {
            return false;
        }
        aFont.myAtlasView = impl::AtlasTextureUploader::Upload(*DX11::Device, *DX11::Context, aFont.myAtlasPixels,
                                                               InternalTextAndFontData::ATLAS_SIZE);
        if (!aFont.myAtlasView)
        {
            return false;
        }
        aFont.myAtlasTexture.SetView(aFont.myAtlasView);
        aFont.myAtlasTexture.myPath = aFont.myFontPath;
        aFont.myAtlasTexture.myRequestedPath = aFont.myFontPath;
        aFont.myAtlasTexture.mySize = { InternalTextAndFontData::ATLAS_SIZE, InternalTextAndFontData::ATLAS_SIZE };
        return true;
    }

    bool TextService::Render(const Text& aText, SpriteShader* aShader)
    {
        const std::shared_ptr<InternalTextAndFontData>& font = aText.GetFont();
        Engine* engine = Engine::GetInstance();
        GraphicsEngine* graphics = engine != nullptr ? engine->GetGraphicsEngine() : nullptr;
        if (!font || !font->myAtlasView || graphics == nullptr)
        {
            return false;
        }
        const std::string& string = aText.GetString();
        const float scale = aText.GetScale();
        const float rotation = aText.GetRotation();
        const impl::TextLayout::Point centre =
            rotation != 0.0f ? impl::TextLayout::Centre(*font, string, scale) : impl::TextLayout::Point{};
        const float cosine = std::cos(rotation);
        const float sine = std::sin(rotation);

        GraphicsStateStack& states = graphics->GetGraphicsStateStack();
        states.Push();
        states.SetSamplerState(font->myFontSize >= LINEAR_FILTER_SIZE ? SamplerFilter::Linear : SamplerFilter::Point,
                               SamplerAddressMode::Clamp);
        {
            SpriteSharedData shared;
            shared.myColorTexture = &font->myAtlasTexture;
            shared.myCustomShader = aShader;
            SpriteBatchScope batch = graphics->GetSpriteDrawer().BeginBatch(shared);

            Sprite2DInstanceData sprite;
            sprite.myPivot = { 0.0f, 0.0f };
            sprite.myScale = { 1.0f, 1.0f };
            sprite.myClipRectangle = { 0.0f, 0.0f, 1.0f, 1.0f };
            sprite.myColor = aText.GetColor();
            sprite.myRotation = rotation;
            const Vector2<float> position = aText.GetPosition();
            impl::TextLayout::ForEachGlyph(*font, string, scale, [&](float aX, float aY, const GlyphRecord& aGlyph) {
                if (rotation != 0.0f)
                {
                    const float x = aX - centre.myX;
                    const float y = aY - centre.myY;
                    aX = x * cosine - y * sine + centre.myX;
                    aY = x * sine + y * cosine + centre.myY;
                }
                sprite.myPosition = { aX + position.x, aY + position.y };
                sprite.mySize = { static_cast<float>(aGlyph.myWidth) * scale, static_cast<float>(aGlyph.myHeight) * scale };
                sprite.myTextureRectangle = { aGlyph.myTextureRect[0], aGlyph.myTextureRect[1], aGlyph.myTextureRect[2],
                                              aGlyph.myTextureRect[3] };
                batch.Draw(sprite);
            });
        }
        states.Pop();
        return true;
    }
}
