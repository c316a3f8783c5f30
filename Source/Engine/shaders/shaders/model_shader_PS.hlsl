#include "../common/FrameConstants.hlsli"
#include "../common/ModelShaderStructs.hlsli"
#include "../common/ModelLighting.hlsli"

float4 main(ModelPixelInput anInput) : SV_TARGET
{
    const float4 albedo = AlbedoTexture.Sample(DefaultSampler, anInput.TexCoord) * anInput.Color;
    const float3 normal = SurfaceNormal(anInput);
    const float ambientOcclusion = MaterialTexture.Sample(DefaultSampler, anInput.TexCoord).r;
    const float emissive = EffectsTexture.Sample(DefaultSampler, anInput.TexCoord).r;

    float3 light = LambertLight(normal, anInput.WorldPosition.xyz);
    light = lerp(light, light * ambientOcclusion, 0.5);
    return float4(albedo.rgb * (light + emissive), albedo.a);
}
