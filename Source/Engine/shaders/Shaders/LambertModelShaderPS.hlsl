#include "../common/FrameConstants.hlsli"
#include "../common/ModelShaderStructs.hlsli"
#include "../common/ModelLighting.hlsli"

float4 main(ModelPixelInput anInput) : SV_TARGET
{
    const float4 albedo = AlbedoTexture.Sample(DefaultSampler, anInput.TexCoord) * anInput.Color;
    const float3 normal = SurfaceNormal(anInput);
    return float4(albedo.rgb * LambertLight(normal, anInput.WorldPosition.xyz), albedo.a);
}
