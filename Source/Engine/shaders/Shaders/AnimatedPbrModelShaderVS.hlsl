#include "../common/FrameConstants.hlsli"
#include "../common/ModelShaderStructs.hlsli"

ModelPixelInput main(ModelVertexInput anInput)
{
    return ToPixelInput(anInput, SkinVertex(anInput));
}
