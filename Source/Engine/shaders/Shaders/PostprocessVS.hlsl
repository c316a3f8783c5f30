#include "../common/Postprocess.hlsli"

// One triangle that covers the whole target, made from the vertex index alone.
PostprocessPixelInput main(uint aVertexIndex : SV_VertexID)
{
    const float2 texCoord = float2((aVertexIndex << 1) & 2, aVertexIndex & 2);
    PostprocessPixelInput output;
    output.Position = float4(texCoord.x * 2.0 - 1.0, 1.0 - texCoord.y * 2.0, 0.0, 1.0);
    output.TexCoord = texCoord;
    return output;
}
