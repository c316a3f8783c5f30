#include "../common/Gaussian.hlsli"

float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    return GaussianBlur(anInput.TexCoord, float2(TargetTexelSize(anInput.TexCoord).x, 0.0));
}
