#ifndef MODEL_SHADER_STRUCTS_HLSLI
#define MODEL_SHADER_STRUCTS_HLSLI

#define MAX_ANIMATION_BONES 128

// The 180-byte model vertex.
struct ModelVertexInput
{
    float4 Position : POSITION;
    float4 Color0 : COLOR0;
    float4 Color1 : COLOR1;
    float4 Color2 : COLOR2;
    float4 Color3 : COLOR3;
    float2 TexCoord0 : TEXCOORD0;
    float2 TexCoord1 : TEXCOORD1;
    float2 TexCoord2 : TEXCOORD2;
    float2 TexCoord3 : TEXCOORD3;
    float3 Normal : NORMAL;
    float3 Tangent : TANGENT;
    float3 Binormal : BINORMAL;
    float4 Bones : BONES;
    float4 Weights : WEIGHTS;
};

struct ModelPixelInput
{
    float4 Position : SV_POSITION;
    float4 WorldPosition : POSITION;
    float4 Color : COLOR0;
    float2 TexCoord : TEXCOORD0;
    float3 Normal : NORMAL;
    float3 Tangent : TANGENT;
    float3 Binormal : BINORMAL;
};

// Instance transform times the state stack's transform, written per mesh.
cbuffer ModelObjectBuffer : register(b4)
{
    row_major float4x4 MB_ToWorld;
};

cbuffer JointBuffer : register(b5)
{
    row_major float4x4 JB_Joints[MAX_ANIMATION_BONES];
};

struct SkinnedVertex
{
    float4 Position;
    float3 Normal;
    float3 Tangent;
    float3 Binormal;
};

SkinnedVertex UnskinnedVertex(ModelVertexInput anInput)
{
    SkinnedVertex result;
    result.Position = float4(anInput.Position.xyz, 1.0);
    result.Normal = anInput.Normal;
    result.Tangent = anInput.Tangent;
    result.Binormal = anInput.Binormal;
    return result;
}

// Blends up to four joints; a vertex without weights keeps its bind pose.
SkinnedVertex SkinVertex(ModelVertexInput anInput)
{
    const float weightSum = anInput.Weights.x + anInput.Weights.y + anInput.Weights.z + anInput.Weights.w;
    if (weightSum <= 0.0)
    {
        return UnskinnedVertex(anInput);
    }

    float4x4 skin = (float4x4)0;
    [unroll]
    for (int i = 0; i < 4; ++i)
    {
        const uint joint = min((uint)anInput.Bones[i], MAX_ANIMATION_BONES - 1);
        skin += JB_Joints[joint] * anInput.Weights[i];
    }
    skin /= weightSum;

    SkinnedVertex result;
    result.Position = mul(float4(anInput.Position.xyz, 1.0), skin);
    result.Normal = mul(float4(anInput.Normal, 0.0), skin).xyz;
    result.Tangent = mul(float4(anInput.Tangent, 0.0), skin).xyz;
    result.Binormal = mul(float4(anInput.Binormal, 0.0), skin).xyz;
    return result;
}

ModelPixelInput ToPixelInput(ModelVertexInput anInput, SkinnedVertex aVertex)
{
    ModelPixelInput output;
    output.WorldPosition = mul(aVertex.Position, MB_ToWorld);
    output.Position = WorldToClip(output.WorldPosition);
    output.Color = anInput.Color0;
    output.TexCoord = anInput.TexCoord0;
    output.Normal = normalize(mul(float4(aVertex.Normal, 0.0), MB_ToWorld).xyz);
    output.Tangent = normalize(mul(float4(aVertex.Tangent, 0.0), MB_ToWorld).xyz);
    output.Binormal = normalize(mul(float4(aVertex.Binormal, 0.0), MB_ToWorld).xyz);
    return output;
}

#endif
