#include "../common/Postprocess.hlsli"

float4 main(PostprocessPixelInput anInput) : SV_TARGET
{
    return SourceTexture.Sample(DefaultSampler, anInput.TexCoord);
}
