#pragma once
#include "EngineTestSupport.h"
#include "ModelTestFiles.h"

#include "model/ModelFactory.h"
#include "settings/EngineConfiguration.h"

#include <filesystem>
#include <string>

namespace ModelFactoryTestSupport
{
    namespace fs = std::filesystem;

    // The engine started headless on its own game folder, into which a test copies model files;
    // the factory is made on first use and destroyed by the engine's shut-down.
    class ModelFactoryTest : public EngineTestSupport::EngineTest
    {
    protected:
        explicit ModelFactoryTest(bool aWatchFiles = false) : myWatchFiles(aWatchFiles) {}
        ModelFactoryTest(std::uint32_t aWidth, std::uint32_t aHeight) : EngineTest(aWidth, aHeight), myWatchFiles(false) {}

        void SetUp() override
        {
            myFolder.Load();
            if (myWatchFiles)
            {
                Vra::GetEngineConfiguration().myDebugFeatures = Vra::ToMask(Vra::DebugFeature::Filewatcher);
            }
            ASSERT_TRUE(Vra::Engine::Start());
        }

        fs::path Game() const { return myFolder.GetRoot() / "game"; }
        static Vra::ModelFactory& Factory() { return Vra::ModelFactory::GetInstance(); }

        // Copies a test model into the game folder under models/ (or another name) and returns
        // the asset path to ask the factory for.
        std::string Install(const std::string& aName, const std::string& anAssetPath = {}) const
        {
            const std::string assetPath = anAssetPath.empty() ? "models/" + aName : anAssetPath;
            const fs::path target = Game() / assetPath;
            ModelTestFiles::CopyModel(aName, target.parent_path(), target.filename().string());
            return assetPath;
        }

    private:
        bool myWatchFiles;
    };
}
