// Constant buffers the graphics state stack keeps bound on both stages (slots 0 to 3).
#ifndef FRAME_CONSTANTS_HLSLI
#define FRAME_CONSTANTS_HLSLI

cbuffer FrameBuffer : register(b0)
{
    float2 FB_Resolution;
    float FB_TotalTime;
    float FB_DeltaTime;
};

cbuffer CameraBuffer : register(b1)
{
    row_major float4x4 CB_ToCamera;
    row_major float4x4 CB_ToWorld;
    row_major float4x4 CB_ToProjection;
    row_major float4x4 CB_ToProjectionInverse;
    float CB_NearPlane;
    float CB_FarPlane;
    float2 CB_Padding;
};

#define MAX_POINT_LIGHTS 8

struct PointLight
{
    float3 Position;
    float PositionPadding;
    float4 Color;
    float Range;
    float Intensity;
    float2 Padding;
};

cbuffer LightBuffer : register(b2)
{
    PointLight LB_PointLights[MAX_POINT_LIGHTS];
    int LB_PointLightCount;
    // Strength of the directional light.
    float LB_DirectionalIntensity;
    float2 LB_Padding;
    // Ambient colour (linear); white by default, so an unlit scene shows its albedo.
    float4 LB_AmbientColor;
    // Colour of the directional light (linear); black by default.
    float4 LB_DirectionalColor;
    // The directional light's transform: its third row is the direction the light shines in.
    row_major float4x4 LB_LightMatrix;
};

cbuffer ObjectConstants : register(b3)
{
    float4 OC_ObjectVector;
    float OC_ObjectScalar;
    float3 OC_Padding;
};

float4 WorldToClip(float4 aWorldPosition)
{
    const float4 viewPosition = mul(aWorldPosition, CB_ToCamera);
    return mul(viewPosition, CB_ToProjection);
}

float3 CameraPosition()
{
    return CB_ToWorld[3].xyz;
}

#endif
