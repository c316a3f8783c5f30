#include "../common/SpriteShaderStructs.hlsli"

Texture2D ColorTexture : register(t1);
SamplerState DefaultSampler : register(s0);

float4 main(SpritePixelInput anInput) : SV_TARGET
{
    // The clip rectangle (left, top, right, bottom, in fractions of the quad) keeps only the part inside it.
    const float4 clipRectangle = anInput.ClipRectangle;
    clip(anInput.QuadCoord.x - clipRectangle.x);
    clip(anInput.QuadCoord.y - clipRectangle.y);
    clip(clipRectangle.z - anInput.QuadCoord.x);
    clip(clipRectangle.w - anInput.QuadCoord.y);

    return ColorTexture.Sample(DefaultSampler, anInput.TexCoord) * anInput.Color;
}
