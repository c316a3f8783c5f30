// The intro the build encoded must be an MP4 whose picture is H.264, about ten seconds long.
#include "EngineTestSupport.h"
#include "FileBytes.h"

#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace
{
    using namespace EngineTestSupport;

    // One box of an ISO media file: its type and where its body lies.
    struct Box
    {
        std::string myType;
        std::size_t myBody;
        std::size_t myEnd;
    };

    std::uint64_t BigEndian(const std::string& someBytes, std::size_t anOffset, int aCount)
    {
        std::uint64_t value = 0;
        for (int i = 0; i < aCount; ++i)
        {
            value = value << 8 | static_cast<std::uint8_t>(someBytes.at(anOffset + i));
        }
        return value;
    }

    std::vector<Box> Children(const std::string& someBytes, std::size_t aStart, std::size_t anEnd)
    {
        std::vector<Box> boxes;
        for (std::size_t at = aStart; at + 8 <= anEnd;)
        {
            std::uint64_t size = BigEndian(someBytes, at, 4);
            std::size_t header = 8;
            if (size == 1)
            {
                size = BigEndian(someBytes, at + 8, 8);
                header = 16;
            }
            else if (size == 0)
            {
                size = anEnd - at;
            }
            if (size < header || at + size > anEnd)
            {
                break;
            }
            boxes.push_back({someBytes.substr(at + 4, 4), at + header, at + static_cast<std::size_t>(size)});
            at += static_cast<std::size_t>(size);
        }
        return boxes;
    }

    std::optional<Box> Child(const std::string& someBytes, const Box& aParent, const std::string& aType)
    {
        for (const Box& box : Children(someBytes, aParent.myBody, aParent.myEnd))
        {
            if (box.myType == aType)
            {
                return box;
            }
        }
        return std::nullopt;
    }

    class IntroVideo : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            Platform::SetModulePathOverride((EnvironmentPath("VRA_BIN_DIR") / "Game").string());
            ASSERT_TRUE(Vra::LoadSettings("Game.json"));
            const std::string path = Vra::ResolveAssetPath("video/Intro_Cutscene.mp4");
            ASSERT_FALSE(path.empty());
            myBytes = TestSupport::ReadFileBytes(path);
            for (const Box& box : Children(myBytes, 0, myBytes.size()))
            {
                myMovie = box.myType == "moov" ? std::optional<Box>(box) : myMovie;
            }
            ASSERT_TRUE(myMovie.has_value()) << "no movie box";
        }
        void TearDown() override { ResetProcessState(); }

        std::string myBytes;
        std::optional<Box> myMovie;
    };

    TEST_F(IntroVideo, HasAnH264PictureTrack)
    {
        bool foundH264 = false;
        for (const Box& track : Children(myBytes, myMovie->myBody, myMovie->myEnd))
        {
            if (track.myType != "trak")
            {
                continue;
            }
            std::optional<Box> box = Child(myBytes, track, "mdia");
            for (const char* level : {"minf", "stbl", "stsd"})
            {
                box = box ? Child(myBytes, *box, level) : std::nullopt;
            }
            ASSERT_TRUE(box.has_value()) << "a track without sample descriptions";
            // The sample descriptions follow a version, flags and an entry count.
            for (const Box& entry : Children(myBytes, box->myBody + 8, box->myEnd))
            {
                foundH264 = foundH264 || entry.myType == "avc1";
            }
        }
        EXPECT_TRUE(foundH264);
    }

    TEST_F(IntroVideo, LastsAboutTenSeconds)
    {
        const std::optional<Box> header = Child(myBytes, *myMovie, "mvhd");
        ASSERT_TRUE(header.has_value());
        const bool wide = myBytes.at(header->myBody) == 1;
        const std::size_t times = header->myBody + 4 + (wide ? 16 : 8);
        const double timescale = static_cast<double>(BigEndian(myBytes, times, 4));
        const double duration = static_cast<double>(BigEndian(myBytes, times + 4, wide ? 8 : 4));
        ASSERT_GT(timescale, 0.0);
        EXPECT_NEAR(duration / timescale, 10.0, 0.5);
    }
}
