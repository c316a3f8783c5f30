#pragma once
#include "Importer.h"

#include "FbxTestFiles.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <array>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace FbxTest
{
    inline std::string DataFile(const std::string& aName)
    {
        return (FbxTestFiles::Folder() / aName).string();
    }

    using FbxTestFiles::Expected;

    using Vec3 = std::array<float, 3>;

    inline Vec3 ToVec3(const nlohmann::json& aValue)
    {
        return {aValue[0].get<float>(), aValue[1].get<float>(), aValue[2].get<float>()};
    }

    // Blender's world (z up, right-handed) as the importer's target axes give it: y up, left-handed.
    inline Vec3 BlenderWorldToTarget(const Vec3& aPoint)
    {
        return {aPoint[0], aPoint[2], aPoint[1]};
    }

    // A y-up right-handed file's coordinates in the target axes: z turns round.
    inline Vec3 YUpFileToTarget(const Vec3& aPoint)
    {
        return {aPoint[0], aPoint[1], -aPoint[2]};
    }

    inline Vec3 Translation(const Vra::FBX::ImportedMatrix& aMatrix)
    {
        return {aMatrix(4, 1), aMatrix(4, 2), aMatrix(4, 3)};
    }

    inline void ExpectNear(const Vec3& anActual, const Vec3& anExpected, float aTolerance, const std::string& aWhat)
    {
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(anActual[i], anExpected[i], aTolerance) << aWhat << " axis " << i;
        }
    }

    // The message of the runtime error a load raised, checking that it came nested; "" when none.
    inline std::string ThrownMessage(const std::function<void()>& aLoad)
    {
        try
        {
            aLoad();
        }
        catch (const std::runtime_error& error)
        {
            EXPECT_NE(dynamic_cast<const std::nested_exception*>(&error), nullptr) << error.what();
            return error.what();
        }
        return {};
    }

    // Every test starts with the library running, as the engine keeps it.
    class ImporterTest : public ::testing::Test
    {
    protected:
        void SetUp() override { Vra::FBX::InitImporter(); }
    };

    // A scratch folder of the test's own, removed afterwards; Write gives the path as the importer takes it.
    class ScratchFolder
    {
    public:
        std::string Write(const std::string& aName, const std::string& someBytes) const
        {
            return myFolder.Write(aName, someBytes).string();
        }

    private:
        TestSupport::TemporaryFolder myFolder;
    };

    inline std::string ReadBytes(const std::string& aPath)
    {
        return TestSupport::ReadFileBytes(aPath);
    }
}
