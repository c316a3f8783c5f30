// libFuzzer target: any bytes as a Targa file.
#include "FuzzSupport.h"

#include "loaders/TargaLoader.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    static FuzzSupport::MemoryFile file;
    const std::wstring path = std::filesystem::path(file.Write(someData, aSize)).wstring();
    (void)Vra::LoadTarga(path.c_str());
    return 0;
}
