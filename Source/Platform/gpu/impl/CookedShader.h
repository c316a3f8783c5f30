#pragma once
#include "gpu/GpuObjects.h"

#include <optional>
#include <string>

namespace Platform::Gpu::impl
{
    // A cooked shader file: a text header of what binding needs, then the GLSL code.
    //   vra-shader 1
    //   stage vertex|pixel
    //   input <location> <semantic name> <semantic index> float|int
    //   cbuffer <slot>
    //   texture <slot> <sampler slot or -1>
    //   glsl
    //   <code to the end of the file>
    struct CookedShader
    {
        ShaderStage myStage = ShaderStage::Vertex;
        ShaderReflection myReflection;
        std::string mySource;
    };

    std::optional<CookedShader> ParseCookedShader(const void* aBytes, std::size_t aLength);
}
