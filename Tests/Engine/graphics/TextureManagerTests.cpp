#include "graphics/TextureManager.h"

#include "GpuReadBack.h"
#include "FileBytes.h"
#include "TemporaryFolder.h"
#include "filewatcher/FileWatcher.h"
#include "gpu/Device.h"
#include "gpu/DeviceContext.h"
#include "gpu/SwapChain.h"
#include "TextureFixtureFiles.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <future>
#include <map>
#include <thread>

namespace
{
    namespace fs = std::filesystem;
    namespace Gpu = Platform::Gpu;
    using Vra::TextureManager;
    using Vra::TextureResource;
    using Vra::TextureSrgbMode;

    constexpr std::uint32_t RENDER_HEIGHT = 720;

    class TextureManagerTest : public testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE(Gpu::SUCCEEDED(Gpu::CreateDevice(nullptr, &myDevice, &myContext)));
            myMainThread = std::this_thread::get_id();
            myWatcher = std::make_unique<Vra::FileWatcher>([] { return true; });
            TextureManager::Services services;
            services.myDevice = myDevice.get();
            services.myContext = myContext.get();
            services.myFileWatcher = myWatcher.get();
            services.myIsOnMainThread = [this] { return std::this_thread::get_id() == myMainThread; };
            services.myRenderHeight = [] { return RENDER_HEIGHT; };
            myManager = std::make_unique<TextureManager>(std::move(services));
            myManager->CreateDefaultTextures();
        }

        void TearDown() override
        {
            // The watcher's callbacks point into the manager, so it goes first, as in the engine.
            myWatcher.reset();
            myManager.reset();
        }

        // Copies a fixture into the test's folder, where the test may change it.
        std::string Place(const std::string& aFixture, const std::string& aName)
        {
            const fs::path target = myFolder.Path() / aName;
            fs::copy_file(TextureFixtureFiles::Path(aFixture), target, fs::copy_options::overwrite_existing);
            return target.string();
        }

        void Replace(const std::string& aFixture, const std::string& aPath)
        {
            const fs::path temporary = aPath + ".new";
            fs::copy_file(TextureFixtureFiles::Path(aFixture), temporary, fs::copy_options::overwrite_existing);
            fs::rename(temporary, aPath);
            fs::last_write_time(aPath, fs::file_time_type::clock::now() + std::chrono::seconds(++mySaves));
        }

        // What a frame's begin does once the watcher has had time to see the change.
        void NextFrameAfterChange()
        {
            std::this_thread::sleep_for(Vra::FileWatcher::POLL_INTERVAL * 5);
            myWatcher->FlushChanges();
        }

        // The top level's texels, rows packed, top row first.
        std::vector<std::uint8_t> ReadTexels(const TextureResource::View& aView)
        {
            return TestSupport::ReadBack(*myDevice, aView->GetTexture2D());
        }

        Gpu::Ref<Gpu::Device> myDevice;
        Gpu::Ref<Gpu::DeviceContext> myContext;
        std::thread::id myMainThread;
        std::unique_ptr<Vra::FileWatcher> myWatcher;
        std::unique_ptr<TextureManager> myManager;
        TestSupport::TemporaryFolder myFolder;
        int mySaves = 0;
    };

    Gpu::Format FormatOf(const TextureResource* aResource)
    {
        return aResource->mySRV->GetTexture2D()->GetDesc().myFormat;
    }

    TEST(TextureManagerKey, AppendsTheModeSuffix)
    {
        EXPECT_EQ(TextureManager::MakeKey("Sprites/a.dds", TextureSrgbMode::AsFile), "Sprites/a.dds");
        EXPECT_EQ(TextureManager::MakeKey("Sprites/a.dds", TextureSrgbMode::ForceSrgb), "Sprites/a.dds#SRGB");
        EXPECT_EQ(TextureManager::MakeKey("Sprites/a.dds", TextureSrgbMode::IgnoreSrgb), "Sprites/a.dds#NO_SRGB");
    }

    TEST_F(TextureManagerTest, OneResourcePerPathAndMode)
    {
        const std::string path = Place("legacy_rgba8.dds", "a.dds");
        TextureResource* forced = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);
        TextureResource* ignored = myManager->GetTexture(path.c_str(), TextureSrgbMode::IgnoreSrgb);
        EXPECT_NE(forced, ignored);
        EXPECT_EQ(myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb), forced);
        EXPECT_EQ(FormatOf(forced), Gpu::Format::R8G8B8A8_UNORM_SRGB);
        EXPECT_EQ(FormatOf(ignored), Gpu::Format::R8G8B8A8_UNORM);
        EXPECT_FALSE(forced->myIsPlaceholder);
        EXPECT_EQ(forced->myPath, path);
        EXPECT_EQ(forced->myRequestedPath, path);
        EXPECT_EQ(forced->mySize.x, 8u);
        EXPECT_EQ(forced->mySize.y, 4u);
        EXPECT_FLOAT_EQ(forced->myRelativeSize.x, 8.0f / RENDER_HEIGHT);
        EXPECT_FLOAT_EQ(forced->myRelativeSize.y, 4.0f / RENDER_HEIGHT);
        EXPECT_EQ(forced->mySRV->GetTexture2D()->GetDesc().myMipLevels, 4u);
        EXPECT_EQ(forced->GetSize(), (Vra::Vector2<std::uint32_t>{8, 4}));
        EXPECT_EQ(TextureResource().GetSize(), (Vra::Vector2<std::uint32_t>{0, 0}));
    }

    TEST_F(TextureManagerTest, CubeMapsAreViewedAsCubes)
    {
        const std::string path = Place("cube_legacy_rgba8.dds", "cube.dds");
        TextureResource* cube = myManager->GetTexture(path.c_str(), TextureSrgbMode::AsFile);
        ASSERT_FALSE(cube->myIsPlaceholder);
        EXPECT_EQ(cube->mySRV->GetDesc().myViewDimension, Gpu::SrvDimension::TextureCube);
        EXPECT_EQ(cube->mySRV->GetTexture2D()->GetDesc().myArraySize, 6u);
    }

    TEST_F(TextureManagerTest, MissingFileBecomesACachedPlaceholderWithoutAWatch)
    {
        const std::string path = (myFolder.Path() / "missing.dds").string();
        EXPECT_EQ(myManager->LoadTexture(path.c_str(), TextureSrgbMode::ForceSrgb, false), nullptr);
        TextureResource* placeholder = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);
        ASSERT_NE(placeholder, nullptr);
        EXPECT_TRUE(placeholder->myIsPlaceholder);
        EXPECT_EQ(placeholder->mySRV, myManager->GetMissingTextureView());
        EXPECT_EQ(placeholder->myPath, path);
        EXPECT_EQ(placeholder->mySize.x, 512u);
        EXPECT_EQ(placeholder->GetSize(), (Vra::Vector2<std::uint32_t>{16, 16}));
        EXPECT_FLOAT_EQ(placeholder->myRelativeSize.y, 0.3f);
        EXPECT_EQ(myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb), placeholder);
        EXPECT_FALSE(myWatcher->IsThreadStarted());
    }

    TEST_F(TextureManagerTest, PlaceholderPathsListOnlyWhatFellBackOnce)
    {
        const std::string loaded = Place("legacy_rgba8.dds", "a.dds");
        myManager->GetTexture(loaded.c_str(), TextureSrgbMode::ForceSrgb);
        EXPECT_TRUE(myManager->GetPlaceholderPaths().empty());
        const std::string second = (myFolder.Path() / "z_missing.dds").string();
        const std::string first = (myFolder.Path() / "b_missing.dds").string();
        myManager->GetTexture(second.c_str(), TextureSrgbMode::ForceSrgb);
        myManager->GetTexture(first.c_str(), TextureSrgbMode::AsFile);
        myManager->GetTexture(first.c_str(), TextureSrgbMode::AsFile);
        EXPECT_EQ(myManager->GetPlaceholderPaths(), (std::vector<std::string>{ first, second }));
    }

    TEST_F(TextureManagerTest, NullPathCountsAsEmpty)
    {
        TextureResource* placeholder = myManager->GetTexture(nullptr, TextureSrgbMode::AsFile);
        EXPECT_TRUE(placeholder->myIsPlaceholder);
        EXPECT_EQ(placeholder->myRequestedPath, "");
    }

    TEST_F(TextureManagerTest, FilesNoLoaderAcceptsArePlaceholders)
    {
        for (const auto& [fixture, name] : {std::pair{"targa_2x2_24.tga", "rgb.tga"},
                                            std::pair{"targa_2x2_32.tga", "upper.TGA"},
                                            std::pair{"targa_truncated.tga", "short.tga"}})
        {
            const std::string path = Place(fixture, name);
            TextureResource* texture = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);
            EXPECT_TRUE(texture->myIsPlaceholder) << name;
            EXPECT_EQ(texture->mySRV, myManager->GetMissingTextureView()) << name;
        }
    }

    TEST_F(TextureManagerTest, TargaLoadsAsSrgbWithRowsReversed)
    {
        const std::string path = Place("targa_2x2_32.tga", "a.tga");
        TextureResource* texture = myManager->GetTexture(path.c_str(), TextureSrgbMode::IgnoreSrgb);
        ASSERT_FALSE(texture->myIsPlaceholder);
        EXPECT_EQ(FormatOf(texture), Gpu::Format::R8G8B8A8_UNORM_SRGB);
        const std::vector<std::uint8_t> expected = {11, 10, 9, 12, 15, 14, 13, 16, 3, 2, 1, 4, 7, 6, 5, 8};
        EXPECT_EQ(ReadTexels(texture->mySRV), expected);
    }

    TEST_F(TextureManagerTest, OtherImagesLoadOnTheMainThreadOnly)
    {
        const std::string path = Place("image_3x2.png", "a.png");
        TextureResource* fromTask = nullptr;
        std::thread task([&] { fromTask = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb); });
        task.join();
        EXPECT_TRUE(fromTask->myIsPlaceholder);
        // The placeholder stays under its key until the file changes.
        EXPECT_EQ(myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb), fromTask);
        EXPECT_TRUE(fromTask->myIsPlaceholder);

        TextureResource* onMain = myManager->GetTexture(path.c_str(), TextureSrgbMode::IgnoreSrgb);
        ASSERT_FALSE(onMain->myIsPlaceholder);
        EXPECT_EQ(FormatOf(onMain), Gpu::Format::R8G8B8A8_UNORM);
        EXPECT_EQ(onMain->mySize.x, 3u);
        EXPECT_EQ(onMain->mySize.y, 2u);
        const std::vector<std::uint8_t> topRowRedGreenBlue = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255};
        const std::vector<std::uint8_t> texels = ReadTexels(onMain->mySRV);
        EXPECT_TRUE(std::equal(topRowRedGreenBlue.begin(), topRowRedGreenBlue.end(), texels.begin()));

        Replace("image_3x2.png", path);
        NextFrameAfterChange();
        EXPECT_FALSE(fromTask->myIsPlaceholder);
    }

    TEST_F(TextureManagerTest, DefaultTextures)
    {
        TextureResource* white = myManager->GetDefaultTexture();
        ASSERT_NE(white, nullptr);
        EXPECT_EQ(white->myPath, "WhiteSquare");
        EXPECT_EQ(white->mySize.x, 512u);
        EXPECT_FLOAT_EQ(white->myRelativeSize.x, 0.3f);
        EXPECT_EQ(ReadTexels(white->mySRV), std::vector<std::uint8_t>(4 * 4 * 4, 255));

        const std::vector<std::uint8_t> checker = ReadTexels(myManager->GetMissingTextureView());
        ASSERT_EQ(checker.size(), 16u * 16 * 4);
        for (std::uint32_t y = 0; y < 16; ++y)
        {
            for (std::uint32_t x = 0; x < 16; ++x)
            {
                const std::uint8_t* pixel = checker.data() + (y * 16 + x) * 4;
                const std::uint8_t on = (x + y) % 2 ? 255 : 0;
                EXPECT_EQ(std::vector<std::uint8_t>(pixel, pixel + 4), (std::vector<std::uint8_t>{on, 0, on, 255})) << x << "," << y;
            }
        }

        const std::vector<std::uint8_t> normal = ReadTexels(myManager->GetFlatNormalView());
        ASSERT_EQ(normal.size(), 4u * 4 * 4);
        for (std::size_t i = 0; i < normal.size(); i += 4)
        {
            EXPECT_EQ(std::vector<std::uint8_t>(normal.begin() + i, normal.begin() + i + 4), (std::vector<std::uint8_t>{128, 128, 255, 255}));
        }
    }

    TEST_F(TextureManagerTest, ChangedFileReplacesTheViewInTheSameResourceAtTheNextFrame)
    {
        const std::string path = Place("legacy_rgba8.dds", "a.dds");
        TextureResource* texture = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);
        const TextureResource::View before = texture->mySRV;
        ASSERT_EQ(texture->mySize.x, 8u);

        Replace("cube_legacy_rgba8.dds", path);
        std::this_thread::sleep_for(Vra::FileWatcher::POLL_INTERVAL * 5);
        EXPECT_EQ(texture->mySRV, before) << "nothing changes before the frame begins";
        myWatcher->FlushChanges();

        EXPECT_EQ(myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb), texture);
        EXPECT_NE(texture->mySRV, before);
        EXPECT_EQ(texture->mySize.x, 4u);
        EXPECT_EQ(texture->mySize.y, 4u);
        EXPECT_FALSE(texture->myIsPlaceholder);
    }

    TEST_F(TextureManagerTest, FailedReloadShowsThePlaceholderInTheSameResourceUntilTheFileIsFixed)
    {
        const std::string path = Place("legacy_rgba8.dds", "a.dds");
        TextureResource* texture = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);

        Replace("targa_truncated.tga", path);
        NextFrameAfterChange();
        EXPECT_EQ(myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb), texture);
        EXPECT_TRUE(texture->myIsPlaceholder);
        EXPECT_EQ(texture->mySRV, myManager->GetMissingTextureView());
        EXPECT_EQ(texture->myRequestedPath, path);

        Replace("dx10_bgra8.dds", path);
        NextFrameAfterChange();
        EXPECT_FALSE(texture->myIsPlaceholder);
        EXPECT_EQ(FormatOf(texture), Gpu::Format::B8G8R8A8_UNORM_SRGB);
    }

    TEST_F(TextureManagerTest, DeletedFileShowsThePlaceholderAndReloadsWhenItReturns)
    {
        const std::string path = Place("legacy_rgba8.dds", "a.dds");
        TextureResource* texture = myManager->GetTexture(path.c_str(), TextureSrgbMode::AsFile);
        fs::remove(path);
        NextFrameAfterChange();
        EXPECT_TRUE(texture->myIsPlaceholder);
        Replace("legacy_rgba8.dds", path);
        NextFrameAfterChange();
        EXPECT_FALSE(texture->myIsPlaceholder);
    }

    TEST_F(TextureManagerTest, LoadingTaskAndMainThreadShareOneCache)
    {
        std::vector<std::string> paths;
        for (int i = 0; i < 12; ++i)
        {
            paths.push_back(Place(i % 3 == 0 ? "image_3x2.png" : "dx10_bc1.dds", "t" + std::to_string(i) + (i % 3 == 0 ? ".png" : ".dds")));
        }
        std::map<std::string, TextureResource*> seenByTask;
        std::thread task([&] {
            for (const std::string& path : paths)
            {
                seenByTask[path] = myManager->GetTexture(path.c_str(), TextureSrgbMode::ForceSrgb);
            }
        });
        std::map<std::string, TextureResource*> seenByMain;
        for (auto path = paths.rbegin(); path != paths.rend(); ++path)
        {
            seenByMain[*path] = myManager->GetTexture(path->c_str(), TextureSrgbMode::ForceSrgb);
            // Saving a file the task may be loading: its reload runs here while the task goes on.
            Replace("dx10_bc1.dds", paths[1]);
            std::this_thread::sleep_for(Vra::FileWatcher::POLL_INTERVAL / 4);
            myWatcher->FlushChanges();
        }
        task.join();
        NextFrameAfterChange();
        EXPECT_EQ(seenByTask, seenByMain);
        for (const auto& [path, texture] : seenByMain)
        {
            if (path.ends_with(".dds"))
            {
                EXPECT_FALSE(texture->myIsPlaceholder) << path;
                EXPECT_EQ(FormatOf(texture), Gpu::Format::BC1_UNORM_SRGB) << path;
            }
        }
    }

    // A texture file that is a pipe: whoever reads it waits until the test writes the file's
    // bytes, so a load can be held in the middle of its decoding for as long as a test needs.
    class HeldTextureFile
    {
    public:
        HeldTextureFile(const fs::path& aPath, const std::string& aFixture)
            : myPath(aPath), myBytes(TestSupport::ReadFileBytes(TextureFixtureFiles::Path(aFixture)))
        {
            EXPECT_EQ(mkfifo(aPath.c_str(), 0600), 0);
        }
        ~HeldTextureFile()
        {
            Release();
        }
        HeldTextureFile(const HeldTextureFile&) = delete;
        HeldTextureFile& operator=(const HeldTextureFile&) = delete;

        // Returns once a reader has opened the pipe, that is once a load is decoding it.
        void WaitForReader() { myWriter = open(myPath.c_str(), O_WRONLY); }

        // Gives the bytes to the reader (once); opened for reading and writing, the pipe never
        // waits for a reader here.
        void Release() { Give(myBytes); }

        // Ends any later reader with bytes that are no texture.
        void Refuse() { Give("not a texture"); }

    private:
        void Give(const std::string& someBytes)
        {
            if (myWriter < 0)
            {
                myWriter = open(myPath.c_str(), O_RDWR);
            }
            if (myWriter >= 0)
            {
                EXPECT_EQ(write(myWriter, someBytes.data(), someBytes.size()), static_cast<ssize_t>(someBytes.size()));
                close(myWriter);
                myWriter = -1;
            }
        }

        fs::path myPath;
        std::string myBytes;
        int myWriter = -1;
    };

    constexpr auto PATIENCE = std::chrono::seconds(5);

    TEST_F(TextureManagerTest, ALoadInProgressDoesNotHoldUpCachedTextures)
    {
        const std::string cachedPath = Place("legacy_rgba8.dds", "cached.dds");
        TextureResource* cached = myManager->GetTexture(cachedPath.c_str(), TextureSrgbMode::AsFile);
        const fs::path heldPath = myFolder.Path() / "held.dds";
        HeldTextureFile held(heldPath, "dx10_bc1.dds");
        auto task = std::async(std::launch::async, [&] { return myManager->GetTexture(heldPath.c_str(), TextureSrgbMode::ForceSrgb); });
        held.WaitForReader();

        // The main thread meanwhile: a cached texture and another new one come at once.
        auto lookups = std::async(std::launch::async, [&] {
            return std::pair(myManager->GetTexture(cachedPath.c_str(), TextureSrgbMode::AsFile),
                             myManager->GetTexture(Place("dx10_bc1.dds", "other.dds").c_str(), TextureSrgbMode::AsFile));
        });
        const bool answered = lookups.wait_for(PATIENCE) == std::future_status::ready;
        held.Release();
        ASSERT_TRUE(answered) << "the lookups waited for another texture's decoding";
        EXPECT_EQ(lookups.get().first, cached);
        TextureResource* loaded = task.get();
        EXPECT_FALSE(loaded->myIsPlaceholder);
        EXPECT_EQ(FormatOf(loaded), Gpu::Format::BC1_UNORM_SRGB);
    }

    TEST_F(TextureManagerTest, TwoThreadsAskingForOneNewTextureDecodeItOnce)
    {
        // The pipe gives its bytes once: a second decoding would wait for a writer that never comes.
        const fs::path heldPath = myFolder.Path() / "shared.dds";
        HeldTextureFile held(heldPath, "dx10_bc1.dds");
        auto first = std::async(std::launch::async, [&] { return myManager->GetTexture(heldPath.c_str(), TextureSrgbMode::AsFile); });
        held.WaitForReader();
        auto second = std::async(std::launch::async, [&] { return myManager->GetTexture(heldPath.c_str(), TextureSrgbMode::AsFile); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50)); // the second asks while the first decodes
        held.Release();
        const bool bothDone = first.wait_for(PATIENCE) == std::future_status::ready && second.wait_for(PATIENCE) == std::future_status::ready;
        if (!bothDone)
        {
            held.Refuse(); // lets a second decoding end
        }
        ASSERT_TRUE(bothDone) << "the texture was decoded twice";
        TextureResource* texture = first.get();
        EXPECT_EQ(second.get(), texture);
        EXPECT_FALSE(texture->myIsPlaceholder);
    }
}
