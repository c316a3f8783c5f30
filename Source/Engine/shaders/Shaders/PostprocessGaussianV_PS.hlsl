#include "../common/Gaussian.hlsli"

float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    return GaussianBlur(anInput.TexCoord, float2(0.0, TargetTexelSize(anInput.TexCoord).y));
}
