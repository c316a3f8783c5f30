struct LinePixelInput
{
    float4 Position : SV_POSITION;
    float4 Color : COLOR0;
};

float4 main(LinePixelInput anInput) : SV_TARGET
{
    return anInput.Color;
}
