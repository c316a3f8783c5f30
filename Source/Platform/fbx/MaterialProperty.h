#pragma once
#include <string>
#include <vector>

namespace Vra::Fbx
{
    class Texture;
    class LayeredTexture;

    // A material's property as far as textures go: the textures connected to it, in
    // connection order. Layered textures count among the textures and are also listed alone.
    class MaterialProperty
    {
    public:
        const std::string& GetName() const { return myName; }
        bool IsValid() const { return myValid; }

        int GetTextureCount() const { return static_cast<int>(myTextures.size()); }
        const Texture* GetTexture(int anIndex) const; // null when out of range
        int GetLayeredTextureCount() const;
        const LayeredTexture* GetLayeredTexture(int anIndex) const; // null when out of range

    private:
        friend class SceneBuilder;
        friend class SurfaceMaterial;
        std::string myName;
        bool myValid = false;
        std::vector<const Texture*> myTextures;
    };
}
