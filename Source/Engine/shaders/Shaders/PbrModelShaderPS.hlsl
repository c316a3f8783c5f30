#include "../common/FrameConstants.hlsli"
#include "../common/ModelShaderStructs.hlsli"
#include "../common/ModelLighting.hlsli"

static const float PI = 3.14159265;

float DistributionGgx(float aNdotH, float aRoughness)
{
    const float alpha = aRoughness * aRoughness;
    const float alphaSquared = alpha * alpha;
    const float denominator = aNdotH * aNdotH * (alphaSquared - 1.0) + 1.0;
    return alphaSquared / max(PI * denominator * denominator, 1e-6);
}

float GeometrySchlick(float aNdotX, float aRoughness)
{
    const float k = (aRoughness + 1.0) * (aRoughness + 1.0) / 8.0;
    return aNdotX / (aNdotX * (1.0 - k) + k);
}

float3 FresnelSchlick(float aCosine, float3 aF0)
{
    return aF0 + (1.0 - aF0) * pow(1.0 - saturate(aCosine), 5.0);
}

// Cook-Torrance for one light of the given direction (towards the light) and radiance.
float3 LightContribution(float3 aNormal, float3 aToEye, float3 aToLight, float3 aRadiance, float3 aAlbedo, float aRoughness, float aMetalness)
{
    const float3 halfway = SafeNormalize(aToEye + aToLight);
    const float NdotL = saturate(dot(aNormal, aToLight));
    const float NdotV = max(dot(aNormal, aToEye), 1e-4);
    const float3 f0 = lerp(float3(0.04, 0.04, 0.04), aAlbedo, aMetalness);
    const float3 fresnel = FresnelSchlick(dot(halfway, aToEye), f0);
    const float d = DistributionGgx(saturate(dot(aNormal, halfway)), aRoughness);
    const float g = GeometrySchlick(NdotV, aRoughness) * GeometrySchlick(NdotL, aRoughness);
    const float3 specular = d * g * fresnel / max(4.0 * NdotV * NdotL, 1e-4);
    const float3 diffuse = (1.0 - fresnel) * (1.0 - aMetalness) * aAlbedo / PI;
    return (diffuse + specular) * aRadiance * NdotL;
}

float4 main(ModelPixelInput anInput) : SV_TARGET
{
    const float4 albedo = AlbedoTexture.Sample(DefaultSampler, anInput.TexCoord) * anInput.Color;
    const float3 material = MaterialTexture.Sample(DefaultSampler, anInput.TexCoord).rgb;
    const float ambientOcclusion = material.r;
    const float roughness = clamp(material.g, 0.05, 1.0);
    const float metalness = material.b;
    const float emissive = EffectsTexture.Sample(DefaultSampler, anInput.TexCoord).r;

    const float3 normal = SurfaceNormal(anInput);
    const float3 worldPosition = anInput.WorldPosition.xyz;
    const float3 toEye = SafeNormalize(CameraPosition() - worldPosition);

    float3 color = LightContribution(normal, toEye, -DirectionalLightDirection(),
        LB_DirectionalColor.rgb * LB_DirectionalIntensity * PI, albedo.rgb, roughness, metalness);

    const int count = min(LB_PointLightCount, MAX_POINT_LIGHTS);
    for (int i = 0; i < count; ++i)
    {
        const PointLight light = LB_PointLights[i];
        const float3 toLight = light.Position - worldPosition;
        const float distanceToLight = length(toLight);
        const float3 radiance = light.Color.rgb * PointLightIntensity(light) * PointLightAttenuation(light, distanceToLight) * PI;
        color += LightContribution(normal, toEye, toLight / max(distanceToLight, 1e-4), radiance, albedo.rgb, roughness, metalness);
    }

    // Image-based ambient: the environment cube map seen along the reflection, tinted by the ambient colour.
    const float3 reflected = reflect(-toEye, normal);
    const float3 environment = EnvironmentTexture.SampleLevel(DefaultSampler, reflected, roughness * 6.0).rgb;
    const float3 f0 = lerp(float3(0.04, 0.04, 0.04), albedo.rgb, metalness);
    const float3 ambientFresnel = FresnelSchlick(saturate(dot(normal, toEye)), f0);
    const float3 ambientDiffuse = (1.0 - ambientFresnel) * (1.0 - metalness) * albedo.rgb * LB_AmbientColor.rgb;
    const float3 ambientSpecular = ambientFresnel * environment * LB_AmbientColor.rgb;
    color += (ambientDiffuse + ambientSpecular) * ambientOcclusion;

    return float4(color + albedo.rgb * emissive, albedo.a);
}
