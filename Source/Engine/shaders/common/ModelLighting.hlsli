// Texture slots of a mesh and the light sums shared by the model pixel shaders.
#ifndef MODEL_LIGHTING_HLSLI
#define MODEL_LIGHTING_HLSLI

TextureCube EnvironmentTexture : register(t0);
Texture2D AlbedoTexture : register(t1);
Texture2D NormalTexture : register(t2);
// Ambient occlusion, roughness, metalness in red, green, blue.
Texture2D MaterialTexture : register(t3);
// Emissive strength in red.
Texture2D EffectsTexture : register(t4);
SamplerState DefaultSampler : register(s0);

float3 SurfaceNormal(ModelPixelInput anInput)
{
    const float3 sampled = NormalTexture.Sample(DefaultSampler, anInput.TexCoord).xyz * 2.0 - 1.0;
    const float3x3 tangentSpace = float3x3(SafeNormalize(anInput.Tangent), SafeNormalize(anInput.Binormal), SafeNormalize(anInput.Normal));
    const float3 normal = mul(sampled, tangentSpace);
    // A mesh without tangents still lights by its vertex normal.
    return dot(normal, normal) > 1e-6 ? normalize(normal) : SafeNormalize(anInput.Normal);
}

float3 DirectionalLightDirection()
{
    const float3 direction = LB_LightMatrix[2].xyz;
    return dot(direction, direction) > 1e-6 ? normalize(direction) : float3(0.0, 0.0, 1.0);
}

// Smooth fall-off to zero at the light's range.
float PointLightAttenuation(PointLight aLight, float aDistance)
{
    const float range = max(aLight.Range, 1e-3);
    const float falloff = saturate(1.0 - aDistance / range);
    return falloff * falloff;
}

float PointLightIntensity(PointLight aLight)
{
    return aLight.Intensity > 0.0 ? aLight.Intensity : 1.0;
}

float3 LambertLight(float3 aNormal, float3 aWorldPosition)
{
    float3 result = LB_AmbientColor.rgb;
    result += LB_DirectionalColor.rgb * LB_DirectionalIntensity * saturate(dot(aNormal, -DirectionalLightDirection()));

    const int count = min(LB_PointLightCount, MAX_POINT_LIGHTS);
    for (int i = 0; i < count; ++i)
    {
        const PointLight light = LB_PointLights[i];
        const float3 toLight = light.Position - aWorldPosition;
        const float distanceToLight = length(toLight);
        const float3 direction = toLight / max(distanceToLight, 1e-4);
        result += light.Color.rgb * PointLightIntensity(light) * PointLightAttenuation(light, distanceToLight) * saturate(dot(aNormal, direction));
    }
    return result;
}

#endif
