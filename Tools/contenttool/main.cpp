// Makes the game's sample content into the build folder.
//   contenttool sprites <data folder> <effect table> <stamp>
//   contenttool sounds <working folder> <sound table> <stamp>
//   contenttool video <ffmpeg> <tone track> <mp4>
#include "IntroVideo.h"
#include "SoundPack.h"
#include "SpritePack.h"

#include <cstdio>
#include <malloc.h>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: contenttool sprites|sounds|video <three paths>\n");
        return 2;
    }
    const std::string command = argv[1];
    // Pictures come and go by the dozen; keeping freed memory in the heap saves the page faults of
    // mapping it afresh for each one.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    try
    {
        if (command == "sprites")
        {
            ContentTool::WriteSpritePack(argv[2], argv[3], argv[4]);
        }
        else if (command == "sounds")
        {
            ContentTool::WriteSoundPack(argv[2], argv[3], argv[4]);
        }
        else if (command == "video")
        {
            ContentTool::WriteIntroVideo(argv[2], argv[3], argv[4]);
        }
        else
        {
            std::fprintf(stderr, "contenttool: unknown command %s\n", command.c_str());
            return 2;
        }
    }
    catch (const std::exception& error)
    {
        std::fprintf(stderr, "contenttool: %s\n", error.what());
        return 1;
    }
    return 0;
}
