#include "../common/FrameConstants.hlsli"
#include "../common/SpriteShaderStructs.hlsli"

// The unit quad spans x 0..1 and y -1..0; each corner index names one of its six vertices.
static const float2 QUAD_CORNERS[6] =
{
    float2(0.0, -1.0), float2(0.0, 0.0), float2(1.0, -1.0),
    float2(1.0, 0.0), float2(1.0, -1.0), float2(0.0, 0.0)
};

SpritePixelInput main(SpriteVertexInput anInput)
{
    const float2 corner = QUAD_CORNERS[anInput.CornerIndex.x % 6];
    const float4 localPosition = float4(corner, anInput.Position.z, anInput.Position.w);
    const float4x4 world = float4x4(anInput.WorldRow1, anInput.WorldRow2, anInput.WorldRow3, anInput.WorldRow4);

    SpritePixelInput output;
    output.WorldPosition = mul(localPosition, world);
    output.Position = WorldToClip(output.WorldPosition);
    output.Color = anInput.Color;

    // Right edge takes the right u, the top edge (y 0) the top v.
    const float2 quadCoord = float2(corner.x, -corner.y);
    const float4 rectangle = anInput.TextureRectangle;
    output.TexCoord = float2(lerp(rectangle.x, rectangle.z, quadCoord.x), lerp(rectangle.w, rectangle.y, quadCoord.y));
    output.QuadCoord = quadCoord;
    output.ClipRectangle = anInput.ClipRectangle;
    return output;
}
