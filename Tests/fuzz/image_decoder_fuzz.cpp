// libFuzzer target: any bytes through the image decoder, at full size and fitted into 7 pixels.
#include "image/ImageDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    (void)Platform::ImageDecoder::DecodeMemory({someData, aSize});
    (void)Platform::ImageDecoder::DecodeMemory({someData, aSize}, 7);
    return 0;
}
