#pragma once
#include <array>
#include <cstdint>

namespace Vra
{
    class TextureResource;

    // The joint-matrix buffer of the skinning shaders holds this many matrices.
    constexpr std::uint32_t MAX_ANIMATION_BONES = 128;
    // Every mesh of a model has its own four texture slots, so a model holds at most this many.
    constexpr std::uint32_t MAX_MESHES_PER_MODEL = 4;
    constexpr std::uint32_t TEXTURES_PER_MESH = 4;

    // One mesh's textures in slot order: colour, normal, material, effects. Null is an empty slot.
    using MeshTextureSlots = std::array<TextureResource*, TEXTURES_PER_MESH>;
    using ModelTextureSlots = std::array<MeshTextureSlots, MAX_MESHES_PER_MODEL>;
}
