#pragma once
#include "FbxBinaryWriter.h"
#include "fbx/Fbx.h"
#include "fbx/impl/AsciiParser.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace FbxTest
{
    // A character in the file's own terms: a namespaced joint chain, a skinned quad-and-triangle
    // mesh with two materials, textures (one layered), one take of 1 s at 30 fps with a linear
    // translation curve, a socket empty without an attribute record and an LOD group.
    inline const char* const CHARACTER = R"(; FBX 7.4.0 project file
FBXHeaderExtension:  {
	FBXHeaderVersion: 1003
	FBXVersion: 7400
}
GlobalSettings:  {
	Version: 1000
	Properties70:  {
		P: "UpAxis", "int", "Integer", "",1
		P: "UpAxisSign", "int", "Integer", "",1
		P: "FrontAxis", "int", "Integer", "",2
		P: "FrontAxisSign", "int", "Integer", "",1
		P: "CoordAxis", "int", "Integer", "",0
		P: "CoordAxisSign", "int", "Integer", "",1
		P: "UnitScaleFactor", "double", "Number", "",1
		P: "TimeMode", "enum", "", "",6
	}
}
Definitions:  {
	ObjectType: "Model" {
		Count: 6
		PropertyTemplate: "FbxNode" {
			Properties70:  {
				P: "InheritType", "enum", "", "",1
				P: "Lcl Scaling", "Lcl Scaling", "", "A",1,1,1
			}
		}
	}
}
Objects:  {
	Model: 100, "Model::Rig:Hips", "LimbNode" {
		Version: 232
		Properties70:  {
			P: "Lcl Translation", "Lcl Translation", "", "A",0,10,0
		}
		Shading: T
		Culling: "CullingOff"
	}
	NodeAttribute: 101, "NodeAttribute::Rig:Hips", "LimbNode" {
		TypeFlags: "Skeleton"
	}
	Model: 110, "Model::Rig:Spine", "LimbNode" {
		Properties70:  {
			P: "Lcl Translation", "Lcl Translation", "", "A",0,5,0
			P: "Lcl Rotation", "Lcl Rotation", "", "A",0,0,90
		}
	}
	NodeAttribute: 111, "NodeAttribute::Rig:Spine", "LimbNode" {
		TypeFlags: "Skeleton"
	}
	Model: 120, "Model::Hand_skt", "Null" {
		Properties70:  {
			P: "Lcl Translation", "Lcl Translation", "", "A",1,0,0
		}
	}
	Model: 200, "Model::Body", "Mesh" {
	}
	Geometry: 201, "Geometry::Body", "Mesh" {
		Vertices: *15 {
			a: 0,0,0,1,0,0,1,1,0,0,1,0,2,0,0
		}
		PolygonVertexIndex: *7 {
			a: 0,1,2,-4,1,4,-3
		}
		GeometryVersion: 124
		LayerElementNormal: 0 {
			Version: 101
			Name: ""
			MappingInformationType: "ByPolygonVertex"
			ReferenceInformationType: "Direct"
			Normals: *21 {
				a: 0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1,0,0,1
			}
		}
		LayerElementUV: 0 {
			Version: 101
			Name: "UVMap"
			MappingInformationType: "ByPolygonVertex"
			ReferenceInformationType: "IndexToDirect"
			UV: *10 {
				a: 0,0,1,0,1,1,0,1,0.25,0.75
			}
			UVIndex: *7 {
				a: 0,1,2,3,1,4,2
			}
		}
		LayerElementColor: 0 {
			Version: 101
			Name: "Col"
			MappingInformationType: "ByControlPoint"
			ReferenceInformationType: "Direct"
			Colors: *20 {
				a: 1,0,0,1,0,1,0,1,0,0,1,1,1,1,1,1,0.5,0.5,0.5,1
			}
		}
		LayerElementMaterial: 0 {
			Version: 101
			Name: ""
			MappingInformationType: "ByPolygon"
			ReferenceInformationType: "IndexToDirect"
			Materials: *2 {
				a: 0,1
			}
		}
		Layer: 0 {
			Version: 100
			LayerElement:  {
				Type: "LayerElementNormal"
				TypedIndex: 0
			}
		}
	}
	Material: 300, "Material::Skin", "" {
		ShadingModel: "phong"
		Properties70:  {
			P: "DiffuseColor", "Color", "", "A",0.8,0.8,0.8
		}
	}
	Material: 310, "Material::Cloth", "" {
	}
	Texture: 400, "Texture::SkinTex", "" {
		FileName: "C:\work\textures\skin_c.png"
		RelativeFilename: "textures\skin_c.png"
	}
	LayeredTexture: 410, "LayeredTexture::Layers", "" {
	}
	Texture: 420, "Texture::ClothTex", "" {
		FileName: "cloth_c.png"
		RelativeFilename: "cloth_c.png"
	}
	Texture: 430, "Texture::ClothNormal", "" {
		FileName: "/abs/cloth_n.png"
		RelativeFilename: "maps\cloth_n.png"
	}
	Deformer: 500, "Deformer::Skin", "Skin" {
		Version: 101
	}
	Deformer: 510, "SubDeformer::Cluster Rig:Hips", "Cluster" {
		Version: 100
		Indexes: *2 {
			a: 0,1
		}
		Weights: *2 {
			a: 1,0.5
		}
		Transform: *16 {
			a: 1,0,0,0,0,1,0,0,0,0,1,0,0,-10,0,1
		}
		TransformLink: *16 {
			a: 1,0,0,0,0,1,0,0,0,0,1,0,0,10,0,1
		}
	}
	Deformer: 520, "SubDeformer::Cluster Rig:Spine", "Cluster" {
		Indexes: *2 {
			a: 1,4
		}
		Weights: *2 {
			a: 0.5,1
		}
		Transform: *16 {
			a: 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1
		}
		TransformLink: *16 {
			a: 0,1,0,0,-1,0,0,0,0,0,1,0,0,15,0,1
		}
	}
	AnimationStack: 600, "AnimStack::Rig|Walk", "" {
		Properties70:  {
			P: "LocalStart", "KTime", "Time", "",0
			P: "LocalStop", "KTime", "Time", "",46186158000
			P: "ReferenceStart", "KTime", "Time", "",0
			P: "ReferenceStop", "KTime", "Time", "",46186158000
		}
	}
	AnimationLayer: 610, "AnimLayer::BaseLayer", "" {
	}
	AnimationCurveNode: 620, "AnimCurveNode::T", "" {
		Properties70:  {
			P: "d|X", "Number", "", "A",0
			P: "d|Y", "Number", "", "A",10
			P: "d|Z", "Number", "", "A",0
		}
	}
	AnimationCurve: 630, "AnimCurve::", "" {
		Default: 0
		KeyVer: 4009
		KeyTime: *2 {
			a: 0,46186158000
		}
		KeyValueFloat: *2 {
			a: 0,30
		}
		KeyAttrFlags: *1 {
			a: 4
		}
		KeyAttrDataFloat: *4 {
			a: 0,0,0,0
		}
		KeyAttrRefCount: *1 {
			a: 2
		}
	}
	Model: 800, "Model::Tree_LOD", "LodGroup" {
	}
	NodeAttribute: 801, "NodeAttribute::Tree_LOD", "LodGroup" {
		Properties70:  {
			P: "Thresholds|Level0", "Distance", "", "",150
			P: "Thresholds|Level1", "Distance", "", "",400
		}
	}
	Model: 810, "Model::Tree_LOD0", "Mesh" {
	}
	Model: 820, "Model::Tree_LOD1", "Mesh" {
	}
}
Connections:  {
	C: "OO",100,0
	C: "OO",101,100
	C: "OO",110,100
	C: "OO",111,110
	C: "OO",120,110
	C: "OO",200,0
	C: "OO",201,200
	C: "OO",300,200
	C: "OO",310,200
	C: "OP",400,300, "DiffuseColor"
	C: "OP",410,310, "DiffuseColor"
	C: "OO",420,410
	C: "OP",430,310, "NormalMap"
	C: "OO",500,201
	C: "OO",510,500
	C: "OO",520,500
	C: "OO",100,510
	C: "OO",110,520
	C: "OO",610,600
	C: "OO",620,610
	C: "OP",620,100, "Lcl Translation"
	C: "OP",630,620, "d|X"
	C: "OO",800,0
	C: "OO",801,800
	C: "OO",810,800
	C: "OO",820,800
}
Takes:  {
	Current: "Rig|Walk"
	Take: "Rig|Walk" {
		FileName: "Rig_Walk.tak"
		LocalTime: 0,46186158000
		ReferenceTime: 0,46186158000
	}
}
)";

    // x, y and z within aTolerance; w is not compared.
    inline void ExpectVector(const Vra::Fbx::Vector4& anActual, const Vra::Fbx::Vector4& anExpected, double aTolerance = 1e-9)
    {
        for (int i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(anActual[i], anExpected[i], aTolerance) << "component " << i;
        }
    }

    // aText with the first aFrom replaced by aTo; a test fails when aFrom is not there.
    inline std::string Replace(std::string aText, const std::string& aFrom, const std::string& aTo)
    {
        const size_t at = aText.find(aFrom);
        EXPECT_NE(at, std::string::npos) << aFrom;
        if (at != std::string::npos)
        {
            aText.replace(at, aFrom.size(), aTo);
        }
        return aText;
    }

    // A small ASCII file: global settings properties, object records and connection lines.
    inline std::string MakeScene(const std::string& someGlobalProperties, const std::string& someObjects,
                                 const std::string& someConnections)
    {
        return "; FBX 7.4.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 7400\n}\n"
               "GlobalSettings:  {\n\tProperties70:  {\n" +
               someGlobalProperties + "\t}\n}\nObjects:  {\n" + someObjects + "}\nConnections:  {\n" + someConnections +
               "}\n";
    }

    // Owns a manager and one imported scene.
    struct Imported
    {
        Vra::Fbx::Manager* myManager = Vra::Fbx::Manager::Create();
        Vra::Fbx::Scene* myScene = Vra::Fbx::Scene::Create(myManager, "The Scene");
        Vra::Fbx::Status myStatus;
        bool myOk = false;

        explicit Imported(const std::string& someBytes, Vra::Fbx::IOSettings* someSettings = nullptr)
        {
            Vra::Fbx::Importer* importer = Vra::Fbx::Importer::Create(myManager, "");
            myOk = importer->InitializeFromMemory(someBytes.data(), someBytes.size(), someSettings) && importer->Import(myScene);
            myStatus = importer->GetStatus();
            importer->Destroy();
        }
        ~Imported() { myManager->Destroy(); }
        Imported(const Imported&) = delete;
        Imported& operator=(const Imported&) = delete;

        Vra::Fbx::Node* Find(const char* aName) const { return myScene->FindNodeByName(aName); }
    };

    // The same records written as a binary file, every array deflated or not.
    inline TestSupport::FbxBinaryRecord ToBinary(const Vra::Fbx::Record& aRecord, bool aDeflate)
    {
        using Vra::Fbx::RecordValue;
        TestSupport::FbxBinaryRecord result(aRecord.myName);
        for (const RecordValue& value : aRecord.myValues)
        {
            switch (value.myType)
            {
            case RecordValue::Type::Integer:
                if (value.myInteger >= std::numeric_limits<int32_t>::min() && value.myInteger <= std::numeric_limits<int32_t>::max())
                {
                    result.Int(static_cast<int32_t>(value.myInteger));
                }
                else
                {
                    result.Long(value.myInteger);
                }
                break;
            case RecordValue::Type::Number: result.Double(value.myNumber); break;
            case RecordValue::Type::String:
            {
                // Binary names put the class after the name: "Hips\0\1Model".
                const size_t separator = value.myString.find("::");
                result.String(separator == std::string::npos
                                  ? value.myString
                                  : value.myString.substr(separator + 2) + std::string("\0\x01", 2) +
                                        value.myString.substr(0, separator));
                break;
            }
            case RecordValue::Type::IntegerArray:
            {
                bool small = true;
                for (const int64_t element : value.myIntegers)
                {
                    small = small && element >= std::numeric_limits<int32_t>::min() && element <= std::numeric_limits<int32_t>::max();
                }
                if (small)
                {
                    result.Array('i', std::vector<int32_t>(value.myIntegers.begin(), value.myIntegers.end()), aDeflate);
                }
                else
                {
                    result.Array('l', value.myIntegers, aDeflate);
                }
                break;
            }
            case RecordValue::Type::NumberArray: result.Array('d', value.myNumbers, aDeflate); break;
            }
        }
        for (const Vra::Fbx::Record& child : aRecord.myChildren)
        {
            result.Add(ToBinary(child, aDeflate));
        }
        return result;
    }

    inline std::string AsciiToBinary(const std::string& aText, uint32_t aVersion, bool aDeflate)
    {
        Vra::Fbx::Record root;
        std::string error;
        EXPECT_TRUE(Vra::Fbx::ParseAscii(aText.data(), aText.size(), root, error)) << error;
        std::vector<TestSupport::FbxBinaryRecord> records;
        for (const Vra::Fbx::Record& record : root.myChildren)
        {
            records.push_back(ToBinary(record, aDeflate));
        }
        return TestSupport::WriteFbxBinary(records, aVersion);
    }
}
