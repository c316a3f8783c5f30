#include "text/TextService.h"

#include "graphics/DX11.h"
#include "settings/Settings.h"
#include "text/Text.h"
#include "text/impl/AtlasTextureUploader.h"
#include "text/impl/GlyphAtlasBuilder.h"
#include "text/impl/TextLayout.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace Vra
{
    namespace
    {
        constexpr uint32_t NO_FONT_SIZE = 0xFFFFFFFF;
        constexpr size_t FONT_CACHE_BUCKETS = 8;

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
}
