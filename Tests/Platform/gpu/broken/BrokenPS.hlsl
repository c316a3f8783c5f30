// Does not compile: the cooking step must fail on it.
float4 main(float4 aPosition : SV_POSITION) : SV_TARGET
{
    return undefinedValue;
}
