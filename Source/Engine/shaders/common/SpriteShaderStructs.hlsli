#ifndef SPRITE_SHADER_STRUCTS_HLSLI
#define SPRITE_SHADER_STRUCTS_HLSLI

struct SpriteVertexInput
{
    float4 Position : POSITION;
    uint4 CornerIndex : TEXCOORD0;
    float4 WorldRow1 : TEXCOORD1;
    float4 WorldRow2 : TEXCOORD2;
    float4 WorldRow3 : TEXCOORD3;
    float4 WorldRow4 : TEXCOORD4;
    float4 Color : TEXCOORD5;
    float4 ClipRectangle : TEXCOORD6;
    // left u, bottom v, right u, top v
    float4 TextureRectangle : TEXCOORD7;
};

struct SpritePixelInput
{
    float4 Position : SV_POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
    // Where the pixel lies on the quad: (0, 0) top left, (1, 1) bottom right.
    float2 QuadCoord : TEXCOORD1;
    float4 ClipRectangle : TEXCOORD2;
    float4 WorldPosition : TEXCOORD3;
};

#endif
