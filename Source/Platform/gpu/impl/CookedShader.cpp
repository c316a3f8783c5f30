#include "gpu/impl/CookedShader.h"

#include <sstream>

namespace Platform::Gpu::impl
{
    std::optional<CookedShader> ParseCookedShader(const void* aBytes, std::size_t aLength)
    {
        if (aBytes == nullptr || aLength == 0)
        {
            return std::nullopt;
        }
        const std::string text(static_cast<const char*>(aBytes), aLength);
        std::istringstream stream(text);
        std::string line;
        if (!std::getline(stream, line) || line != "vra-shader 1")
        {
            return std::nullopt;
        }
        CookedShader shader;
        bool hasStage = false;
        while (std::getline(stream, line))
        {
            std::istringstream fields(line);
            std::string keyword;
            fields >> keyword;
            if (keyword == "glsl")
            {
                const auto position = stream.tellg();
                if (!hasStage || position < 0)
                {
                    return std::nullopt;
                }
                shader.mySource = text.substr(static_cast<std::size_t>(position));
                return shader;
            }
            if (keyword == "stage")
            {
                std::string stage;
                fields >> stage;
                if (stage != "vertex" && stage != "pixel")
                {
                    return std::nullopt;
                }
                shader.myStage = stage == "vertex" ? ShaderStage::Vertex : ShaderStage::Pixel;
                hasStage = true;
            }
            else if (keyword == "input")
            {
                ShaderReflection::Input input;
                std::string kind;
                fields >> input.myLocation >> input.mySemanticName >> input.mySemanticIndex >> kind;
                input.myIsInteger = kind == "int";
                shader.myReflection.myInputs.push_back(input);
            }
            else if (keyword == "cbuffer")
            {
                uint32_t slot = 0;
                fields >> slot;
                shader.myReflection.myConstantBuffers.push_back(slot);
            }
            else if (keyword == "texture")
            {
                ShaderReflection::TextureSampler texture;
                fields >> texture.myTextureSlot >> texture.mySamplerSlot;
                shader.myReflection.myTextures.push_back(texture);
            }
            if (fields.fail())
            {
                return std::nullopt;
            }
        }
        return std::nullopt;
    }
}
