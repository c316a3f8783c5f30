#include "SpritePack.h"

#include "EffectSheets.h"
#include "GameplaySprites.h"
#include "Parallel.h"
#include "ParallaxSprites.h"
#include "Terrain.h"
#include "TextureWriter.h"
#include "UiSprites.h"

#include <fstream>
#include <set>
#include <stdexcept>

namespace ContentTool
{
    std::vector<SpriteJob> AllSpriteJobs(const std::filesystem::path& anEffectTable)
    {
        std::vector<SpriteJob> jobs = UiSpriteJobs();
        for (std::vector<SpriteJob> more : {GameplaySpriteJobs(), ParallaxSpriteJobs(), TerrainSpriteJobs(), EffectSpriteJobs(anEffectTable)})
        {
            jobs.insert(jobs.end(), more.begin(), more.end());
        }
        std::set<std::string> seen;
        for (const SpriteJob& job : jobs)
        {
            if (!seen.insert(job.myPath).second)
            {
                throw std::logic_error("two painters write " + job.myPath);
            }
        }
        return jobs;
    }

    void WriteSpritePack(const std::filesystem::path& aDataFolder, const std::filesystem::path& anEffectTable, const std::filesystem::path& aStamp)
    {
        const std::vector<SpriteJob> jobs = AllSpriteJobs(anEffectTable);
        RunInParallel(jobs.size(), [&](std::size_t anIndex) {
            const SpriteJob& job = jobs[anIndex];
            WriteSpriteDds(aDataFolder / job.myPath, job.myPaint(), job.myMips);
        });
        std::filesystem::create_directories(aStamp.parent_path());
        std::ofstream stamp(aStamp, std::ios::trunc);
        for (const SpriteJob& job : jobs)
        {
            stamp << job.myPath << '\n';
        }
    }
}
