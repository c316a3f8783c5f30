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

float4x4 JointMatrix(float aBone)
{
    return JB_Joints[min((uint)aBone, MAX_ANIMATION_BONES - 1)];
}

// Blends up to four joints; a vertex without weights keeps its bind pose.
SkinnedVertex SkinVertex(ModelVertexInput anInput)
{
    const float weightSum = anInput.Weights.x + anInput.Weights.y + anInput.Weights.z + anInput.Weights.w;
    if (weightSum <= 0.0)
    {
        return UnskinnedVertex(anInput);
    }

    // Summed from the first influence on: the compiler turns a matrix cast from 0 into infinities.
    float4x4 skin = JointMatrix(anInput.Bones.x) * anInput.Weights.x;
    skin += JointMatrix(anInput.Bones.y) * anInput.Weights.y;
    skin += JointMatrix(anInput.Bones.z) * anInput.Weights.z;
    skin += JointMatrix(anInput.Bones.w) * anInput.Weights.w;
    skin /= weightSum;

    SkinnedVertex result;
    result.Position = mul(float4(anInput.Position.xyz, 1.0), skin);
    result.Normal = mul(float4(anInput.Normal, 0.0), skin).xyz;
    result.Tangent = mul(float4(anInput.Tangent, 0.0), skin).xyz;
    result.Binormal = mul(float4(anInput.Binormal, 0.0), skin).xyz;
    return result;
}

// A mesh without normals or tangents keeps zero vectors rather than turning them into NaNs.
float3 SafeNormalize(float3 aVector)
{
    const float lengthSquared = dot(aVector, aVector);
    return lengthSquared > 1e-12 ? aVector * rsqrt(lengthSquared) : float3(0.0, 0.0, 0.0);
}

ModelPixelInput ToPixelInput(ModelVertexInput anInput, SkinnedVertex aVertex)
{
    ModelPixelInput output;
    output.WorldPosition = mul(aVertex.Position, MB_ToWorld);
    output.Position = WorldToClip(output.WorldPosition);
    output.Color = anInput.Color0;
    output.TexCoord = anInput.TexCoord0;
    output.Normal = SafeNormalize(mul(float4(aVertex.Normal, 0.0), MB_ToWorld).xyz);
    output.Tangent = SafeNormalize(mul(float4(aVertex.Tangent, 0.0), MB_ToWorld).xyz);
    output.Binormal = SafeNormalize(mul(float4(aVertex.Binormal, 0.0), MB_ToWorld).xyz);
    return output;
}

#endif
