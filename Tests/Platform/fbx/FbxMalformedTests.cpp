#include "AddressSpaceCeiling.h"
#include "BadInputFiles.h"
#include "FbxTestScenes.h"
#include "fbx/impl/BinaryParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Vra::Fbx;
using TestSupport::FbxBinaryRecord;

namespace
{
    using FbxTest::Replace;

    void ExpectRefused(const std::string& someBytes, const std::string& aMessagePart)
    {
        const FbxTest::Imported imported(someBytes);
        EXPECT_FALSE(imported.myOk);
        EXPECT_EQ(imported.myStatus.GetCode(), Status::Code::InvalidFile) << imported.myStatus.GetErrorString();
        EXPECT_NE(imported.myStatus.GetErrorString().find(aMessagePart), std::string::npos)
            << "message: " << imported.myStatus.GetErrorString();
        EXPECT_EQ(imported.myScene->GetRootNode()->GetChildCount(), 0);
        EXPECT_EQ(imported.myScene->GetNodeCount(), 0);
    }

    struct Case
    {
        const char* myName;
        std::string myBytes;
        const char* myMessagePart;
    };

    FbxBinaryRecord Objects(FbxBinaryRecord aChild)
    {
        FbxBinaryRecord objects("Objects");
        objects.Add(std::move(aChild));
        return objects;
    }

    // A model whose second value is given byte for byte.
    std::string ModelWith(const std::string& aRawValue, uint32_t aVersion = 7400)
    {
        FbxBinaryRecord model("Model");
        model.Long(5).RawValue(aRawValue);
        return TestSupport::WriteFbxBinary({ Objects(model) }, aVersion);
    }

    std::string ArrayHeader(char aType, uint32_t aCount, uint32_t anEncoding, uint32_t aStoredBytes)
    {
        std::string header(1, aType);
        FbxBinaryRecord::AppendRaw(header, aCount);
        FbxBinaryRecord::AppendRaw(header, anEncoding);
        FbxBinaryRecord::AppendRaw(header, aStoredBytes);
        return header;
    }

    std::string Doubles(int aCount)
    {
        return std::string(static_cast<size_t>(aCount) * sizeof(double), '\0');
    }
}

TEST(FbxMalformed, BinaryDamageIsRefusedWithAStatus)
{
    const std::string threeDoubles = Doubles(3);
    const std::string stored = FbxBinaryRecord::Stored(threeDoubles);
    std::string badDeflate = stored;
    badDeflate[2] = 0x07; // a reserved block type
    std::string badChecksum = stored;
    badChecksum.back() ^= 0x55;

    std::string pastEnd = ModelWith(std::string("I") + std::string(4, '\0'));
    pastEnd[27] = static_cast<char>(0xF0); // the Objects record claims to end far beyond the file
    pastEnd[28] = static_cast<char>(0xFF);

    FbxBinaryRecord deep("Objects");
    FbxBinaryRecord* level = &deep;
    for (int depth = 0; depth < 80; ++depth)
    {
        level = &level->Child("Nest");
    }

    std::string shortPropertyList = ModelWith(std::string("I") + std::string(4, '\0'));
    shortPropertyList[27 + 13 + 7 + 8] = 40; // the Model's property byte count, now past its values

    const std::vector<Case> cases = {
        { "PlainArrayLongerThanItsBytes", ModelWith(ArrayHeader('d', 10, 0, 24) + threeDoubles), "does not match" },
        { "PlainArrayShorterThanItsBytes", ModelWith(ArrayHeader('d', 2, 0, 24) + threeDoubles), "does not match" },
        { "DeflatedArrayClaimsMore", ModelWith(ArrayHeader('d', 4, 1, static_cast<uint32_t>(stored.size())) + stored), "deflate" },
        { "DeflatedArrayClaimsLess", ModelWith(ArrayHeader('d', 2, 1, static_cast<uint32_t>(stored.size())) + stored), "deflate" },
        { "DeflatedArrayClaimsHuge", ModelWith(ArrayHeader('d', 0x10000000, 1, static_cast<uint32_t>(stored.size())) + stored), "claims" },
        { "BadDeflateBlock", ModelWith(ArrayHeader('d', 3, 1, static_cast<uint32_t>(badDeflate.size())) + badDeflate), "deflate" },
        { "BadDeflateChecksum", ModelWith(ArrayHeader('d', 3, 1, static_cast<uint32_t>(badChecksum.size())) + badChecksum), "deflate" },
        { "UnknownArrayEncoding", ModelWith(ArrayHeader('d', 3, 2, 24) + threeDoubles), "encoding" },
        { "ArrayBytesPastRecord", ModelWith(ArrayHeader('i', 1000, 0, 4000) + "abcd"), "past the end" },
        { "UnknownValueType", ModelWith("Q1234"), "unknown property type" },
        { "StringPastRecord", ModelWith(std::string("S\xff\x00\x00\x00", 5) + "abc"), "past the end" },
        { "ScalarCutOff", ModelWith("D1234"), "past the end" },
        { "RecordEndPastFile", pastEnd, "outside its bounds" },
        { "PropertyListLengthLies", shortPropertyList, "outside its bounds" },
        { "NestedTooDeeply", TestSupport::WriteFbxBinary({ deep }), "nested too deeply" },
        { "LongHeadersCutOff", TestSupport::WriteFbxBinary({ Objects(FbxBinaryRecord("Model")) }, 7500).substr(0, 40),
          "cut off" },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        ExpectRefused(oneCase.myBytes, oneCase.myMessagePart);
    }
}

TEST(FbxMalformed, ArraySizesAreCheckedBeforeTheirElementsAreAllocated)
{
    // 19.7 kB whose one array claims 244 million doubles (1.95 GB) in an encoding that does not exist.
    const std::string unknownEncoding = BadInputFiles::Read("fbx", "array_in_unknown_encoding.fbx");
    ASSERT_FALSE(unknownEncoding.empty());
    const std::string stored = FbxBinaryRecord::Stored(Doubles(3));
    const std::vector<Case> cases = {
        { "UnknownEncodingOfAHugeArray", unknownEncoding, "unknown array encoding 2" },
        { "DeflatedArrayPastTheDeflateRatio", ModelWith(ArrayHeader('l', 0x08000000, 1, static_cast<uint32_t>(stored.size())) + stored), "claims" },
    };
    const TestSupport::AddressSpaceCeiling ceiling(256 * TestSupport::AddressSpaceCeiling::MEGABYTE);
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        ExpectRefused(oneCase.myBytes, oneCase.myMessagePart);
    }
}

TEST(FbxMalformed, EveryTruncationInsideARecordIsRefused)
{
    for (const uint32_t version : { 7400u, 7500u })
    {
        const std::string file = FbxTest::AsciiToBinary(FbxTest::CHARACTER, version, true);
        // Where the top-level records start and end: a cut exactly there loses whole records only.
        Record root;
        std::string error;
        ASSERT_TRUE(ParseAscii(FbxTest::CHARACTER, std::strlen(FbxTest::CHARACTER), root, error));
        std::vector<size_t> boundaries{ 27 };
        for (const Record& record : root.myChildren)
        {
            boundaries.push_back(boundaries.back() + FbxTest::ToBinary(record, true).Encode(boundaries.back(), version >= 7500).size());
        }
        for (size_t length = 27; length < boundaries.back(); ++length)
        {
            const FbxTest::Imported imported(file.substr(0, length));
            const bool atBoundary = std::find(boundaries.begin(), boundaries.end(), length) != boundaries.end();
            EXPECT_EQ(imported.myOk, atBoundary) << "cut at " << length << " of " << file.size() << " (" << version << ")";
        }
    }
}

TEST(FbxMalformed, AsciiSyntaxErrorsNameTheLine)
{
    const std::string text = FbxTest::CHARACTER;
    const std::vector<Case> cases = {
        { "UnclosedBrace", text.substr(0, text.find("Material: 300")), "never closed" },
        { "StrayBrace", text + "}\n", "without '{'" },
        { "ArrayCountTooHigh", Replace(text, "Vertices: *15", "Vertices: *16"), "holds 15 elements, not 16" },
        { "ArrayCountTooLow", Replace(text, "Vertices: *15", "Vertices: *14"), "more than its 14" },
        { "ArrayWithText", Replace(text, "a: 0,1,2,-4,1,4,-3", "a: 0,1,x,-4,1,4,-3"), "not a number" },
        { "StringNeverClosed", text + "Extra: \"open\n", "never closed" },
        { "NameWithoutColon", Replace(text, "GeometryVersion: 124", "GeometryVersion 124"), "expected a record name" },
        { "ArrayWithoutBraces", Replace(text, "KeyTime: *2 {", "KeyTime: *2 ("), "expected '{'" },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        ExpectRefused(oneCase.myBytes, oneCase.myMessagePart);
    }
    const FbxTest::Imported unclosed(cases[0].myBytes);
    EXPECT_NE(unclosed.myStatus.GetErrorString().find("line "), std::string::npos);
}

TEST(FbxMalformed, ContentThatWouldReadOutOfRangeIsRefused)
{
    const std::string text = FbxTest::CHARACTER;
    const std::vector<Case> cases = {
        { "PolygonVertexPastControlPoints", Replace(text, "a: 0,1,2,-4,1,4,-3", "a: 0,1,2,-4,1,5,-3"), "past the mesh's 5" },
        { "VertexArrayNotTriples", Replace(Replace(text, "Vertices: *15", "Vertices: *14"), "1,1,0,0,1,0,2,0,0", "1,1,0,0,1,0,2,0"),
          "multiple of 3" },
        { "UvIndexPastUvs", Replace(text, "a: 0,1,2,3,1,4,2", "a: 0,1,2,3,1,5,2"), "outside its 5 values" },
        { "UvIndexNegative", Replace(text, "a: 0,1,2,3,1,4,2", "a: 0,1,2,3,1,-1,2"), "index -1" },
        { "UvIndexArrayShort", Replace(Replace(text, "UVIndex: *7", "UVIndex: *6"), "a: 0,1,2,3,1,4,2", "a: 0,1,2,3,1,4"),
          "needs 7" },
        { "NormalsShortForMapping", Replace(Replace(text, "Normals: *21", "Normals: *18"),
                                            "a: 0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1", "a: 0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1"),
          "needs 7" },
        { "ColorsShortForControlPoints", Replace(text, "\"ByControlPoint\"", "\"ByPolygonVertex\""), "needs 7" },
        { "MaterialsShortForPolygons", Replace(Replace(text, "Materials: *2", "Materials: *0"), "a: 0,1\n", "a: \n"), "for 2 polygons" },
        { "ClusterIndexPastControlPoints", Replace(text, "a: 1,4\n", "a: 1,9\n"), "names control point 9" },
        { "ClusterWeightsMissing", Replace(Replace(text, "Weights: *2 {\n\t\t\ta: 1,0.5", "Weights: *1 {\n\t\t\ta: 1"), "", ""),
          "2 indices but 1 weights" },
        { "MatrixNotSixteen", Replace(Replace(text, "Transform: *16 {\n\t\t\ta: 1,0,0,0,0,1,0,0,0,0,1,0,0,-10,0,1",
                                              "Transform: *3 {\n\t\t\ta: 1,0,0"), "", ""),
          "not 16" },
        { "KeyTimesAndValuesDiffer", Replace(Replace(text, "KeyValueFloat: *2", "KeyValueFloat: *1"), "a: 0,30\n", "a: 0\n"),
          "2 key times but 1 values" },
        { "KeyTimesBackwards", Replace(text, "a: 0,46186158000\n", "a: 46186158000,0\n"), "backwards" },
        { "KeyAttributesMismatch", Replace(Replace(text, "KeyAttrDataFloat: *4", "KeyAttrDataFloat: *3"), "a: 0,0,0,0\n", "a: 0,0,0\n"),
          "do not match" },
        { "DuplicateObjectId", Replace(text, "Model: 110,", "Model: 100,"), "used twice" },
        { "ObjectWithoutId", Replace(text, "Material: 310, ", "Material: "), "has no id" },
        { "FractionalIndices", Replace(text, "a: 0,1,2,-4,1,4,-3", "a: 0,1,2.5,-4,1,4,-3"), "not an array of integers" },
        { "OldVersion", Replace(text, "FBXVersion: 7400", "FBXVersion: 6100"), "" },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const FbxTest::Imported imported(oneCase.myBytes);
        EXPECT_FALSE(imported.myOk);
        EXPECT_NE(imported.myStatus.GetCode(), Status::Code::Success);
        EXPECT_NE(imported.myStatus.GetErrorString().find(oneCase.myMessagePart), std::string::npos)
            << "message: " << imported.myStatus.GetErrorString();
        EXPECT_EQ(imported.myScene->GetNodeCount(), 0);
    }
}

TEST(FbxMalformed, NonFbxAndMissingFilesFailInitialize)
{
    Importer* importer = Importer::Create(nullptr, "");
    EXPECT_FALSE(importer->Initialize("/no/such/file.fbx"));
    EXPECT_EQ(importer->GetStatus().GetCode(), Status::Code::FileNotFound);
    EXPECT_FALSE(importer->IsFBX());
    const std::string text = "just some text\n";
    EXPECT_FALSE(importer->InitializeFromMemory(text.data(), text.size()));
    EXPECT_EQ(importer->GetStatus().GetCode(), Status::Code::InvalidFile);
    EXPECT_FALSE(importer->IsFBX());
    const std::string oldBinary = TestSupport::WriteFbxBinary({}, 6100);
    EXPECT_FALSE(importer->InitializeFromMemory(oldBinary.data(), oldBinary.size()));
    EXPECT_EQ(importer->GetStatus().GetCode(), Status::Code::InvalidFileVersion);
    Scene* scene = Scene::Create(nullptr, "");
    EXPECT_FALSE(importer->Import(scene));
    EXPECT_NE(importer->GetStatus().GetCode(), Status::Code::Success);
    scene->Destroy();
    importer->Destroy();
}

TEST(FbxMalformed, ExtremeNumbersStayDefined)
{
    std::string text = Replace(FbxTest::CHARACTER, "P: \"TimeMode\", \"enum\", \"\", \"\",6",
                               "P: \"TimeMode\", \"enum\", \"\", \"\",14\n\t\tP: \"CustomFrameRate\", \"double\", \"Number\", \"\",1e300");
    text = Replace(text, "\"\",150\n", "\"\",1e300\n");
    text = Replace(text, "a: 0,46186158000\n", "a: -9000000000000000000,9000000000000000000\n");
    text = Replace(text, "P: \"LocalStop\", \"KTime\", \"Time\", \"\",46186158000", "P: \"LocalStop\", \"KTime\", \"Time\", \"\",9000000000000000000");
    text = Replace(text, "P: \"LocalStart\", \"KTime\", \"Time\", \"\",0", "P: \"LocalStart\", \"KTime\", \"Time\", \"\",-9000000000000000000");
    const FbxTest::Imported imported(text);
    ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
    const TimeMode mode = imported.myScene->GetGlobalSettings().GetTimeMode();
    EXPECT_EQ(mode.GetFrameRate(), 30.0);
    Distance distance;
    ASSERT_TRUE(imported.Find("Tree_LOD")->GetLodGroup()->GetThreshold(0, distance));
    EXPECT_EQ(distance.value(), std::numeric_limits<float>::max());
    const AnimStack* stack = imported.myScene->GetAnimStack(0);
    EXPECT_GT(stack->GetLocalTimeSpan().GetStop().GetFrameCount(mode), 0);
    EXPECT_LT(stack->GetLocalTimeSpan().GetStart().GetFrameCount(mode), 0);
    // Halfway along the whole 64-bit range the linear curve stands at half its rise.
    EXPECT_NEAR(imported.Find("Rig:Hips")->EvaluateLocalTransform(Time(0)).GetT()[0], 15.0, 1e-6);
    Time far;
    far.SetFrame(INT64_MAX, TimeMode(TimeMode::Frames120));
    EXPECT_EQ(far.Get(), INT64_MAX);
    far.SetSecondDouble(-1e30);
    EXPECT_EQ(far.Get(), INT64_MIN);
}

namespace
{
    // Deflated arrays of every element type, large enough together to be inflated on several
    // threads; element i of array a holds a value made from both.
    struct LargeArrays
    {
        static constexpr int ELEMENTS = 40000;

        static std::vector<FbxBinaryRecord> Records(bool aDamagedRecordAfter = false)
        {
            FbxBinaryRecord arrays("Arrays");
            for (int array = 0; array < 10; ++array)
            {
                FbxBinaryRecord& record = arrays.Child("A");
                switch (array % 5)
                {
                case 0: record.Array('d', Values<double>(array), true); break;
                case 1: record.Array('f', Values<float>(array), true); break;
                case 2: record.Array('i', Values<int32_t>(array), true); break;
                case 3: record.Array('l', Values<int64_t>(array), true); break;
                default: record.Array('b', Values<uint8_t>(array), true); break;
                }
            }
            std::vector<FbxBinaryRecord> records{ arrays };
            if (aDamagedRecordAfter)
            {
                records.push_back(FbxBinaryRecord("After").RawValue("Q1234"));
            }
            return records;
        }

        template <typename T>
        static std::vector<T> Values(int anArray)
        {
            std::vector<T> values(ELEMENTS);
            for (int i = 0; i < ELEMENTS; ++i)
            {
                values[static_cast<size_t>(i)] = static_cast<T>((i * 7 + anArray * 13) % 251);
            }
            return values;
        }

        static double Expected(int anArray, int anElement) { return static_cast<double>((anElement * 7 + anArray * 13) % 251); }
    };

    // Damages the deflate data of the array-th array record "A" of a file written from LargeArrays.
    std::string DamageArray(std::string aFile, int anArray)
    {
        size_t at = 0;
        for (int array = 0; array <= anArray; ++array)
        {
            at = aFile.find(std::string("\x01" "A", 2), at + 1);
        }
        // The record's name, its type code, count, encoding and stored length, the zlib header and
        // the first block's header: a byte into the first block's data is changed and its checksum fails.
        aFile[at + 2 + 13 + 2 + 5 + 100] ^= 0x5A;
        return aFile;
    }

    std::string ParseError(const std::string& aFile)
    {
        Record root;
        std::string error;
        EXPECT_FALSE(ParseBinary(reinterpret_cast<const unsigned char*>(aFile.data()), aFile.size(), root, error));
        return error;
    }
}

TEST(FbxMalformed, LargeDeflatedArraysReadAsTheyWereWritten)
{
    const std::string file = TestSupport::WriteFbxBinary(LargeArrays::Records());
    Record root;
    std::string error;
    ASSERT_TRUE(ParseBinary(reinterpret_cast<const unsigned char*>(file.data()), file.size(), root, error)) << error;
    const Record* arrays = root.Find("Arrays");
    ASSERT_NE(arrays, nullptr);
    ASSERT_EQ(arrays->myChildren.size(), 10u);
    for (int array = 0; array < 10; ++array)
    {
        const RecordValue& value = arrays->myChildren[static_cast<size_t>(array)].myValues.at(0);
        const bool isNumber = array % 5 < 2;
        ASSERT_EQ(value.myType, isNumber ? RecordValue::Type::NumberArray : RecordValue::Type::IntegerArray) << array;
        const size_t count = isNumber ? value.myNumbers.size() : value.myIntegers.size();
        ASSERT_EQ(count, static_cast<size_t>(LargeArrays::ELEMENTS)) << array;
        for (int i = 0; i < LargeArrays::ELEMENTS; ++i)
        {
            const double read = isNumber ? value.myNumbers[static_cast<size_t>(i)] : static_cast<double>(value.myIntegers[static_cast<size_t>(i)]);
            ASSERT_EQ(read, LargeArrays::Expected(array, i)) << "array " << array << " element " << i;
        }
    }
}

TEST(FbxMalformed, TheFirstDamagedArrayIsNamedWhateverFollowsIt)
{
    const std::string sound = TestSupport::WriteFbxBinary(LargeArrays::Records());
    const std::string soundThenDamagedRecord = TestSupport::WriteFbxBinary(LargeArrays::Records(true));
    // Only the third array damaged: the message every other case must give.
    const std::string expected = ParseError(DamageArray(sound, 2));
    ASSERT_NE(expected.find("bad deflate data"), std::string::npos) << expected;
    const std::vector<Case> cases = {
        { "AndALargerLaterArray", DamageArray(DamageArray(sound, 5), 2), "" },
        { "AndASmallerLaterArray", DamageArray(DamageArray(sound, 9), 2), "" },
        { "ThenADamagedRecord", DamageArray(soundThenDamagedRecord, 2), "" },
        { "ThenALaterArrayAndADamagedRecord", DamageArray(DamageArray(soundThenDamagedRecord, 5), 2), "" },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        EXPECT_EQ(ParseError(oneCase.myBytes), expected);
    }
    // A record damaged after sound arrays is what is named then.
    EXPECT_NE(ParseError(soundThenDamagedRecord).find("unknown property type"), std::string::npos);
}
