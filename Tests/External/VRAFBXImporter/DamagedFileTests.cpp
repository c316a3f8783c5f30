#include "ImporterTestSupport.h"

#include "Assert.h"

#include <atomic>

using namespace Vra::FBX;
using namespace FbxTest;

namespace
{
    struct AssertionSeen : std::exception
    {
    };

    // Every fixture cut short and with bytes changed: each load returns or throws, and no check
    // inside the library or the reader fails.
    class DamagedFile : public ImporterTest
    {
    protected:
        void SetUp() override
        {
            ImporterTest::SetUp();
            myPrevious = CommonUtilities::SetAssertionHandler([this](const CommonUtilities::AssertionInfo& anInfo) {
                myAssertions.push_back(anInfo.myExpression);
                throw AssertionSeen();
            });
        }
        void TearDown() override { CommonUtilities::SetAssertionHandler(std::move(myPrevious)); }

        void LoadBoth(const std::string& aPath, const std::string& aWhat)
        {
            const std::size_t before = myAssertions.size();
            try
            {
                ImportedModel model;
                LoadModel(aPath, model);
            }
            catch (const std::exception&)
            {
            }
            try
            {
                ImportedAnimation animation;
                LoadAnimation(aPath, animation);
            }
            catch (const std::exception&)
            {
            }
            EXPECT_EQ(myAssertions.size(), before) << aWhat << ": " << myAssertions.back();
        }

        std::vector<std::string> myAssertions;
        CommonUtilities::AssertionHandler myPrevious;
    };
}

TEST_F(DamagedFile, CutAndChangedFixturesNeverFailAnAssertion)
{
    const char* files[] = {"cube_cm.fbx", "character.fbx", "skinned_quad.fbx", "lod_group.fbx", "events_take.fbx",
                           "two_materials.fbx"};
    const ScratchFolder folder;
    std::uint32_t random = 12345;
    const auto next = [&random] {
        random = random * 1664525u + 1013904223u;
        return random >> 8;
    };
    for (const char* file : files)
    {
        const std::string bytes = ReadBytes(DataFile(file));
        ASSERT_FALSE(bytes.empty()) << file;
        for (int cut = 1; cut < 8; ++cut)
        {
            const std::size_t length = bytes.size() * cut / 8;
            LoadBoth(folder.Write("cut.fbx", bytes.substr(0, length)), std::string(file) + " cut at " + std::to_string(length));
        }
        for (int change = 0; change < 24; ++change)
        {
            std::string damaged = bytes;
            for (int byte = 0; byte < 4; ++byte)
            {
                damaged[next() % damaged.size()] = static_cast<char>(next());
            }
            LoadBoth(folder.Write("changed.fbx", damaged), std::string(file) + " change " + std::to_string(change));
        }
    }
}
