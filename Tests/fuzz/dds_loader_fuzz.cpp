// libFuzzer target: any bytes as a DDS file, in each colour mode.
#include "loaders/DdsLoader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    for (const std::uint32_t flags : {Vra::DdsLoader::LOAD_DEFAULT, Vra::DdsLoader::FORCE_SRGB, Vra::DdsLoader::IGNORE_SRGB})
    {
        (void)Vra::DdsLoader::Parse({someData, aSize}, flags);
    }
    return 0;
}
