#pragma once
#include "Image.h"

#include <functional>
#include <string>
#include <vector>

namespace ContentTool
{
    // One texture of the pack: its asset path (as the game asks for it), whether it keeps a mip
    // chain, and the painter that draws it.
    struct SpriteJob
    {
        std::string myPath;
        bool myMips = false;
        std::function<Image()> myPaint;
    };

    // One job with mips for each piece of a table whose rows give myPath, myWidth, myHeight and
    // a painter myPaint(Image&); the table must outlive the jobs.
    template <class Piece>
    std::vector<SpriteJob> PieceJobs(const std::vector<Piece>& somePieces)
    {
        std::vector<SpriteJob> jobs;
        for (const Piece& piece : somePieces)
        {
            jobs.push_back({piece.myPath, true, [&piece] {
                                Image image(piece.myWidth, piece.myHeight);
                                piece.myPaint(image);
                                return image;
                            }});
        }
        return jobs;
    }
}
