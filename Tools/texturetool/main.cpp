// Draws the engine's textures and writes the texture test files.
//   texturetool engine <engine asset folder>
//   texturetool fixtures <folder>
//   texturetool models <folder>
#include "EngineTextures.h"
#include "ModelFixtures.h"
#include "TextureFixtures.h"

#include <cstdio>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: texturetool engine|fixtures|models <folder>\n");
        return 2;
    }
    const std::string command = argv[1];
    try
    {
        if (command == "engine")
        {
            TextureTool::WriteEngineTextures(argv[2]);
        }
        else if (command == "fixtures")
        {
            TextureTool::WriteTextureFixtures(argv[2]);
        }
        else if (command == "models")
        {
            TextureTool::WriteModelFixtures(argv[2]);
        }
        else
        {
            std::fprintf(stderr, "texturetool: unknown command %s\n", command.c_str());
            return 2;
        }
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "texturetool: %s\n", error.what());
        return 1;
    }
    return 0;
}
