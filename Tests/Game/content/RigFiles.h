#pragma once
#include "Importer.h"
#include "loaders/DdsLoader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

// The committed character and prop files (made in Blender by Tools/rigs/make_models.py) and
// rig_facts.json, what the maker meant them to hold and where Blender itself put the joints.
namespace RigFiles
{
    using Vec3 = std::array<float, 3>;

    inline std::filesystem::path SourceFolder()
    {
        const char* source = std::getenv("VRA_SOURCE_DIR");
        return source ? std::filesystem::path(source)
                      : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path();
    }

    inline std::string GameFile(const std::string& aRelativePath)
    {
        return (SourceFolder() / "Content" / "Game" / aRelativePath).string();
    }

    inline const nlohmann::json& Facts()
    {
        static const nlohmann::json facts = [] {
            std::ifstream file(SourceFolder() / "Tests" / "Game" / "content" / "rig_facts.json");
            return nlohmann::json::parse(file);
        }();
        return facts;
    }

    // Blender's z-up right-handed axes as the importer hands them out: y up, left-handed.
    inline Vec3 FromBlender(const nlohmann::json& aPoint)
    {
        return {aPoint[0].get<float>(), aPoint[2].get<float>(), aPoint[1].get<float>()};
    }

    inline Vec3 Translation(const Vra::FBX::ImportedMatrix& aMatrix)
    {
        return {aMatrix(4, 1), aMatrix(4, 2), aMatrix(4, 3)};
    }

    inline float Distance(const Vec3& a, const Vec3& b)
    {
        return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
    }

    // Each file is imported once for all tests; a failed import is recorded as an empty record.
    template <typename Record>
    const Record& Imported(const std::string& aRelativePath, bool (*aLoad)(const std::string&, Record&))
    {
        static std::mutex mutex;
        static std::map<std::string, std::unique_ptr<Record>> cache;
        const std::lock_guard lock(mutex);
        std::unique_ptr<Record>& slot = cache[aRelativePath];
        if (!slot)
        {
            Vra::FBX::InitImporter();
            slot = std::make_unique<Record>();
            EXPECT_TRUE(aLoad(GameFile(aRelativePath), *slot)) << aRelativePath << ": " << Vra::FBX::GetLastImportError();
        }
        return *slot;
    }

    inline const Vra::FBX::ImportedModel& Model(const std::string& aRelativePath)
    {
        return Imported<Vra::FBX::ImportedModel>(aRelativePath, [](const std::string& aPath, Vra::FBX::ImportedModel& anOut) {
            return Vra::FBX::LoadModel(aPath, anOut, false, true);
        });
    }

    inline const Vra::FBX::ImportedAnimation& Clip(const std::string& aRelativePath)
    {
        return Imported<Vra::FBX::ImportedAnimation>(aRelativePath, [](const std::string& aPath, Vra::FBX::ImportedAnimation& anOut) {
            return Vra::FBX::LoadAnimation(aPath, anOut);
        });
    }

    // Triangles whose front (clockwise in the game's left-handed axes, so the plain cross product
    // of their edges points out of it) looks the other way than their vertex normals.
    inline std::size_t InwardTriangles(const Vra::FBX::ImportedModel& aModel)
    {
        std::size_t inward = 0;
        for (const auto& mesh : aModel.Meshes)
        {
            for (std::size_t i = 0; i + 2 < mesh.Indices.size(); i += 3)
            {
                const auto& a = mesh.Vertices[mesh.Indices[i]];
                const auto& b = mesh.Vertices[mesh.Indices[i + 1]];
                const auto& c = mesh.Vertices[mesh.Indices[i + 2]];
                const Vec3 ab{b.Position[0] - a.Position[0], b.Position[1] - a.Position[1], b.Position[2] - a.Position[2]};
                const Vec3 ac{c.Position[0] - a.Position[0], c.Position[1] - a.Position[1], c.Position[2] - a.Position[2]};
                const Vec3 cross{ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]};
                float facing = 0.f;
                for (int axis = 0; axis < 3; ++axis)
                {
                    facing += cross[axis] * (a.Normal[axis] + b.Normal[axis] + c.Normal[axis]);
                }
                inward += facing <= 0.f;
            }
        }
        return inward;
    }

    // Vertices whose texture coordinate lands on a texel the palette left unpainted (magenta) or
    // transparent; every vertex when the texture does not load.
    inline std::size_t UnpaintedTexels(const Vra::FBX::ImportedModel& aModel, const std::string& aTexture)
    {
        std::size_t vertices = 0, unpainted = 0;
        const auto image = Vra::DdsLoader::LoadFile(GameFile(aTexture), Vra::DdsLoader::FORCE_SRGB);
        for (const auto& mesh : aModel.Meshes)
        {
            for (const auto& vertex : mesh.Vertices)
            {
                ++vertices;
                if (!image)
                {
                    continue;
                }
                const Vra::ImageSurface& top = image->GetSurface(0, 0);
                const auto column = std::min(static_cast<std::uint32_t>(vertex.UVs[0][0] * top.myWidth), top.myWidth - 1);
                const auto row = std::min(static_cast<std::uint32_t>(vertex.UVs[0][1] * top.myHeight), top.myHeight - 1);
                const std::uint8_t* texel = image->GetSurfaceBytes(0, 0) + row * top.myRowPitch + column * 4;
                unpainted += (texel[0] == 255 && texel[1] == 0 && texel[2] == 255) || texel[3] != 255;
            }
        }
        return image ? unpainted : vertices;
    }

    inline Vec3 BoxSize(const Vra::FBX::ImportedModel& aModel)
    {
        return {aModel.Box.Max[0] - aModel.Box.Min[0], aModel.Box.Max[1] - aModel.Box.Min[1], aModel.Box.Max[2] - aModel.Box.Min[2]};
    }

    // Where a joint stands on a frame of a clip (its global matrix's translation).
    inline Vec3 JointAt(const Vra::FBX::ImportedAnimation& aClip, std::size_t aFrame, const std::string& aJoint)
    {
        return Translation(aClip.Frames.at(aFrame).GlobalTransforms.at(aJoint));
    }
}
