#include "FbxTestScenes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Vra::Fbx;

namespace
{
    using FbxTest::ExpectVector;

    std::string Model(int anId, const std::string& aName, const std::string& someProperties)
    {
        return "\tModel: " + std::to_string(anId) + ", \"Model::" + aName + "\", \"Null\" {\n\t\tProperties70:  {\n" +
               someProperties + "\t\t}\n\t}\n";
    }

    std::string P(const std::string& aName, const std::string& aValues, const std::string& aType = "Vector3D")
    {
        return "\t\t\tP: \"" + aName + "\", \"" + aType + "\", \"\", \"A\"," + aValues + "\n";
    }

    std::string Connect(int aChild, int aParent, const std::string& aProperty = {})
    {
        return aProperty.empty() ? "\tC: \"OO\"," + std::to_string(aChild) + "," + std::to_string(aParent) + "\n"
                                 : "\tC: \"OP\"," + std::to_string(aChild) + "," + std::to_string(aParent) + ", \"" +
                                       aProperty + "\"\n";
    }
}

TEST(FbxTransformStack, EachStageActsWhereTheStackPutsIt)
{
    struct Case
    {
        const char* myName;
        std::string myProperties;
        Vector4 myPoint;
        Vector4 myExpected;
    };
    const std::vector<Case> cases = {
        { "Translation", P("Lcl Translation", "1,2,3"), Vector4(1, 0, 0), Vector4(2, 2, 3) },
        { "RotationAboutPivot", P("Lcl Rotation", "0,0,90") + P("RotationPivot", "1,0,0"), Vector4(2, 0, 0), Vector4(1, 1, 0) },
        { "PivotStaysPut", P("Lcl Rotation", "0,0,90") + P("RotationPivot", "1,0,0"), Vector4(1, 0, 0), Vector4(1, 0, 0) },
        { "RotationOffset", P("Lcl Rotation", "0,0,90") + P("RotationOffset", "0,0,5"), Vector4(1, 0, 0), Vector4(0, 1, 5) },
        { "ScalingAboutPivot", P("Lcl Scaling", "2,2,2") + P("ScalingPivot", "1,0,0"), Vector4(2, 0, 0), Vector4(3, 0, 0) },
        { "ScalingOffset", P("Lcl Scaling", "2,2,2") + P("ScalingOffset", "0,4,0"), Vector4(1, 0, 0), Vector4(2, 4, 0) },
        // Pre-rotation turns after the rotation, the post-rotation's inverse before it.
        { "PreRotationAfterRotation", P("Lcl Rotation", "90,0,0") + P("PreRotation", "0,0,90"), Vector4(1, 0, 0), Vector4(0, 1, 0) },
        { "PreRotationAfterRotationY", P("Lcl Rotation", "90,0,0") + P("PreRotation", "0,0,90"), Vector4(0, 1, 0), Vector4(0, 0, 1) },
        { "PostRotationUndoneFirst", P("PostRotation", "0,0,90"), Vector4(1, 0, 0), Vector4(0, -1, 0) },
        { "OrderXYZ", P("Lcl Rotation", "90,90,0"), Vector4(0, 1, 0), Vector4(1, 0, 0) },
        { "OrderYXZ", P("Lcl Rotation", "90,90,0") + P("RotationOrder", "3", "enum"), Vector4(0, 1, 0), Vector4(0, 0, 1) },
        { "OrderZYX", P("Lcl Rotation", "0,90,90") + P("RotationOrder", "5", "enum"), Vector4(1, 0, 0), Vector4(0, 1, 0) },
        { "Everything", P("Lcl Translation", "10,0,0") + P("Lcl Rotation", "0,0,90") + P("RotationPivot", "1,0,0") +
                            P("Lcl Scaling", "2,2,2") + P("ScalingPivot", "1,0,0"),
          Vector4(2, 0, 0), Vector4(11, 2, 0) },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const FbxTest::Imported imported(FbxTest::MakeScene("", Model(1, "N", oneCase.myProperties), Connect(1, 0)));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        const Node* node = imported.Find("N");
        ExpectVector(node->EvaluateLocalTransform().MultT(oneCase.myPoint), oneCase.myExpected);
        ExpectVector(node->EvaluateGlobalTransform().MultT(oneCase.myPoint), oneCase.myExpected);
    }
}

TEST(FbxTransformStack, InheritTypesTakeTheParentsScalingDifferently)
{
    struct Case
    {
        const char* myName;
        int myInheritType;
        Vector4 myExpected;
    };
    // Parent scaled (2, 1, 1); child turned 90 degrees about z and moved 1 along x.
    const std::vector<Case> cases = {
        { "RSrs", 1, Vector4(2, 1, 0) },
        { "RrSs", 0, Vector4(2, 2, 0) },
        { "Rrs", 2, Vector4(1, 1, 0) },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const std::string objects =
            Model(1, "Parent", P("Lcl Scaling", "2,1,1")) +
            Model(2, "Child", P("Lcl Translation", "1,0,0") + P("Lcl Rotation", "0,0,90") +
                                  P("InheritType", std::to_string(oneCase.myInheritType), "enum"));
        const FbxTest::Imported imported(FbxTest::MakeScene("", objects, Connect(1, 0) + Connect(2, 1)));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        const Node* child = imported.Find("Child");
        const Matrix global = child->EvaluateGlobalTransform();
        ExpectVector(global.MultT(Vector4(1, 0, 0)), oneCase.myExpected);
        // Locals compose back to globals whatever the inherit type.
        const Matrix recomposed = imported.Find("Parent")->EvaluateGlobalTransform() * child->EvaluateLocalTransform();
        ExpectVector(recomposed.MultT(Vector4(1, 0, 0)), oneCase.myExpected);
    }
}

namespace
{
    // One node whose x translation a curve drives; the flags and slopes are the curve's first key's.
    std::string CurveScene(const std::string& aFlags, const std::string& aData, const std::string& aSecondLayer = {})
    {
        const std::string objects =
            Model(1, "N", P("Lcl Translation", "7,0,0", "Lcl Translation")) +
            "\tAnimationStack: 10, \"AnimStack::Take\", \"\" {\n\t}\n"
            "\tAnimationLayer: 11, \"AnimLayer::Base\", \"\" {\n\t}\n"
            "\tAnimationCurveNode: 12, \"AnimCurveNode::T\", \"\" {\n\t\tProperties70:  {\n" +
            P("d|X", "7", "Number") +
            "\t\t}\n\t}\n"
            "\tAnimationCurve: 13, \"AnimCurve::\", \"\" {\n"
            "\t\tKeyTime: *2 {\n\t\t\ta: 0,46186158000\n\t\t}\n"
            "\t\tKeyValueFloat: *2 {\n\t\t\ta: 0,10\n\t\t}\n"
            "\t\tKeyAttrFlags: *2 {\n\t\t\ta: " + aFlags + ",4\n\t\t}\n"
            "\t\tKeyAttrDataFloat: *8 {\n\t\t\ta: " + aData + ",0,0,0,0\n\t\t}\n"
            "\t\tKeyAttrRefCount: *2 {\n\t\t\ta: 1,1\n\t\t}\n\t}\n" + aSecondLayer;
        return FbxTest::MakeScene(P("TimeMode", "6", "enum"), objects,
                                  Connect(1, 0) + Connect(11, 10) + Connect(12, 11) + Connect(12, 1, "Lcl Translation") +
                                      Connect(13, 12, "d|X") + (aSecondLayer.empty() ? "" : Connect(21, 10) + Connect(22, 21) +
                                                                                                 Connect(22, 1, "Lcl Translation") +
                                                                                                 Connect(23, 22, "d|X")));
    }

    double XAt(const FbxTest::Imported& anImported, double aSeconds)
    {
        Time time;
        time.SetSecondDouble(aSeconds);
        return anImported.Find("N")->EvaluateLocalTransform(time).GetT()[0];
    }
}

TEST(FbxAnimation, KeysInterpolateByTheirKind)
{
    struct Case
    {
        const char* myName;
        const char* myFlags;
        const char* myData;
        double mySeconds;
        double myExpected;
    };
    const std::vector<Case> cases = {
        { "Constant", "2", "0,0,0,0", 0.5, 0.0 },
        { "ConstantNext", "258", "0,0,0,0", 0.5, 10.0 },
        { "Linear", "4", "0,0,0,0", 0.25, 2.5 },
        { "CubicFlatTangentsEaseIn", "8", "0,0,0,0", 0.25, 1.5625 },
        { "CubicFlatTangentsMiddle", "8", "0,0,0,0", 0.5, 5.0 },
        { "CubicStraightSlopes", "8", "10,10,0,0", 0.25, 2.5 },
        { "CubicSteepStart", "8", "30,0,0,0", 0.25, 0.421875 * 10.0 + 0.140625 * 10.0 + 0.015625 * 10.0 },
        { "BeforeFirstKey", "4", "0,0,0,0", -1.0, 0.0 },
        { "AfterLastKey", "4", "0,0,0,0", 2.0, 10.0 },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const FbxTest::Imported imported(CurveScene(oneCase.myFlags, oneCase.myData));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        EXPECT_NEAR(XAt(imported, oneCase.mySeconds), oneCase.myExpected, 1e-6);
    }
}

TEST(FbxAnimation, LayersAddOrOverrideByWeight)
{
    const auto layer = [](const char* aMode, const char* aWeight) {
        return std::string("\tAnimationLayer: 21, \"AnimLayer::Second\", \"\" {\n\t\tProperties70:  {\n") +
               P("Weight", aWeight, "Number") + P("BlendMode", aMode, "enum") +
               "\t\t}\n\t}\n"
               "\tAnimationCurveNode: 22, \"AnimCurveNode::T\", \"\" {\n\t\tProperties70:  {\n" + P("d|X", "0", "Number") +
               "\t\t}\n\t}\n"
               "\tAnimationCurve: 23, \"AnimCurve::\", \"\" {\n"
               "\t\tKeyTime: *1 {\n\t\t\ta: 0\n\t\t}\n\t\tKeyValueFloat: *1 {\n\t\t\ta: 4\n\t\t}\n\t}\n";
    };
    struct Case
    {
        const char* myName;
        const char* myMode;
        const char* myWeight;
        double myExpected;
    };
    // The base layer gives 5 at half a second; the second layer's curve holds 4.
    const std::vector<Case> cases = {
        { "AdditiveFull", "0", "100", 9.0 },
        { "AdditiveHalf", "0", "50", 7.0 },
        { "OverrideFull", "1", "100", 4.0 },
        { "OverrideHalf", "1", "50", 4.5 },
    };
    for (const Case& oneCase : cases)
    {
        SCOPED_TRACE(oneCase.myName);
        const FbxTest::Imported imported(CurveScene("4", "0,0,0,0", layer(oneCase.myMode, oneCase.myWeight)));
        ASSERT_TRUE(imported.myOk) << imported.myStatus.GetErrorString();
        EXPECT_NEAR(XAt(imported, 0.5), oneCase.myExpected, 1e-9);
    }
}

TEST(FbxAnimation, NoStackMeansTheStaticValues)
{
    const FbxTest::Imported imported(FbxTest::MakeScene("", Model(1, "N", P("Lcl Translation", "3,4,5")), Connect(1, 0)));
    ASSERT_TRUE(imported.myOk);
    EXPECT_EQ(imported.myScene->GetAnimStackCount(), 0);
    Time later;
    later.SetSecondDouble(3.0);
    ExpectVector(imported.Find("N")->EvaluateGlobalTransform(later).GetT(), Vector4(3, 4, 5));
}

TEST(FbxTime, FramesInTimeModes)
{
    struct Case
    {
        TimeMode myMode;
        int64_t myFrame;
        double mySeconds;
    };
    const std::vector<Case> cases = {
        { TimeMode(TimeMode::Frames30), 30, 1.0 },
        { TimeMode(TimeMode::Frames24), 12, 0.5 },
        { TimeMode(TimeMode::Frames60), 90, 1.5 },
        { TimeMode(TimeMode::Pal), 25, 1.0 },
        { TimeMode(TimeMode::Custom, 12.5), 25, 2.0 },
        { TimeMode(TimeMode::Frames30), -15, -0.5 },
    };
    for (const Case& oneCase : cases)
    {
        Time time;
        time.SetFrame(oneCase.myFrame, oneCase.myMode);
        EXPECT_DOUBLE_EQ(time.GetSecondDouble(), oneCase.mySeconds);
        EXPECT_EQ(time.GetFrameCount(oneCase.myMode), oneCase.myFrame);
    }
    EXPECT_EQ(TimeMode(TimeMode::Custom, -1.0).GetFrameRate(), 30.0);
    EXPECT_NEAR(TimeMode(TimeMode::NtscFullFrame).GetFrameRate(), 29.97, 1e-3);
    // A time just below a frame boundary (by rounding of the ticks) still counts as that frame.
    EXPECT_EQ(Time(46186158000LL / 3 - 1).GetFrameCount(TimeMode(TimeMode::Frames30)), 10);
    EXPECT_EQ(Time(46186158000LL / 3 - 1539538600 / 2).GetFrameCount(TimeMode(TimeMode::Frames30)), 9);
}
