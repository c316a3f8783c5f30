#include "fbx/impl/SceneBuilder.h"

#include "fbx/AnimCurve.h"
#include "fbx/AnimCurveNode.h"
#include "fbx/AnimLayer.h"
#include "fbx/AnimStack.h"
#include "fbx/AxisSystem.h"
#include "fbx/Cluster.h"
#include "fbx/FileTexture.h"
#include "fbx/LayeredTexture.h"
#include "fbx/LodGroup.h"
#include "fbx/Mesh.h"
#include "fbx/Node.h"
#include "fbx/Scene.h"
#include "fbx/Skin.h"
#include "fbx/SurfaceMaterial.h"
#include "fbx/SystemUnit.h"
#include "fbx/impl/AsciiParser.h"
#include "fbx/impl/BinaryParser.h"
#include "fbx/impl/FormatDetection.h"
#include "fbx/impl/Record.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace Vra::Fbx
{
    namespace
    {
        struct Malformed : std::runtime_error
        {
            using std::runtime_error::runtime_error;
        };

        [[noreturn]] void Refuse(const std::string& aWhat)
        {
            throw Malformed(aWhat);
        }

        // Property defaults of one kind of object ("Definitions" in the file).
        class PropertyTemplate : public Object
        {
        };

        constexpr int64_t MAX_ELEMENTS = std::numeric_limits<int>::max();

        std::string StripClass(const std::string& aRawName)
        {
            const size_t binarySeparator = aRawName.find(std::string_view("\0\x01", 2));
            if (binarySeparator != std::string::npos)
            {
                return aRawName.substr(0, binarySeparator);
            }
            const size_t asciiSeparator = aRawName.find("::");
            if (asciiSeparator != std::string::npos)
            {
                return aRawName.substr(asciiSeparator + 2);
            }
            return aRawName;
        }

        void ReadProperties70(const Record* aRecord, PropertySet& someProperties)
        {
            if (!aRecord)
            {
                return;
            }
            for (const Record& entry : aRecord->myChildren)
            {
                if (entry.myName != "P" || entry.myValues.size() < 4 ||
                    entry.myValues[0].myType != RecordValue::Type::String)
                {
                    continue;
                }
                Property property;
                property.myName = entry.myValues[0].myString;
                property.myType = entry.GetString(1);
                for (size_t index = 4; index < entry.myValues.size(); ++index)
                {
                    const RecordValue& value = entry.myValues[index];
                    if (value.IsScalarNumber())
                    {
                        property.myNumbers.push_back(value.AsDouble());
                    }
                    else if (value.myType == RecordValue::Type::String)
                    {
                        property.myStrings.push_back(value.myString);
                    }
                }
                someProperties.Set(std::move(property));
            }
        }

        MappingMode ToMapping(const std::string& aText)
        {
            if (aText == "ByControlPoint" || aText == "ByVertice" || aText == "ByVertex")
            {
                return MappingMode::ByControlPoint;
            }
            if (aText == "ByPolygonVertex")
            {
                return MappingMode::ByPolygonVertex;
            }
            if (aText == "ByPolygon")
            {
                return MappingMode::ByPolygon;
            }
            if (aText == "ByEdge")
            {
                return MappingMode::ByEdge;
            }
            if (aText == "AllSame")
            {
                return MappingMode::AllSame;
            }
            return MappingMode::None;
        }

        ReferenceMode ToReference(const std::string& aText)
        {
            if (aText == "Direct")
            {
                return ReferenceMode::Direct;
            }
            if (aText == "IndexToDirect")
            {
                return ReferenceMode::IndexToDirect;
            }
            return ReferenceMode::Index;
        }

        std::string ChildString(const Record& aRecord, const char* aName)
        {
            const Record* child = aRecord.Find(aName);
            return child ? child->GetString(0) : std::string();
        }

        std::vector<double> ChildDoubles(const Record& aRecord, const char* aName, const char* anAlternative = nullptr)
        {
            const Record* child = aRecord.Find(aName);
            if (!child && anAlternative)
            {
                child = aRecord.Find(anAlternative);
            }
            std::vector<double> values;
            if (child && child->myValues.size() == 1 && child->myValues[0].myType == RecordValue::Type::NumberArray)
            {
                // The parsed tree is thrown away after reading: its arrays can be taken over.
                values = std::move(const_cast<Record*>(child)->myValues[0].myNumbers);
            }
            else if (child && !child->GetDoubles(values))
            {
                Refuse(std::string("\"") + child->myName + "\" is not an array of numbers");
            }
            if (static_cast<int64_t>(values.size()) > MAX_ELEMENTS)
            {
                Refuse(std::string("\"") + aName + "\" is too large");
            }
            return values;
        }

        std::vector<int> ChildInts(const Record& aRecord, const char* aName, const char* anAlternative = nullptr)
        {
            const Record* child = aRecord.Find(aName);
            if (!child && anAlternative)
            {
                child = aRecord.Find(anAlternative);
            }
            // An array value is read where it lies; anything else is gathered first.
            std::vector<int64_t> gathered;
            const bool isArray = child && child->myValues.size() == 1 && child->myValues[0].myType == RecordValue::Type::IntegerArray;
            if (child && !isArray && !child->GetIntegers(gathered))
            {
                Refuse(std::string("\"") + child->myName + "\" is not an array of integers");
            }
            const std::vector<int64_t>& values = isArray ? child->myValues[0].myIntegers : gathered;
            if (static_cast<int64_t>(values.size()) > MAX_ELEMENTS)
            {
                Refuse(std::string("\"") + aName + "\" is too large");
            }
            std::vector<int> result;
            result.reserve(values.size());
            for (const int64_t value : values)
            {
                if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
                {
                    Refuse(std::string("\"") + aName + "\" holds a value outside 32 bits");
                }
                result.push_back(static_cast<int>(value));
            }
            return result;
        }

        bool IsFinite(double aValue)
        {
            return std::isfinite(aValue);
        }

        // Narrowing that cannot overflow: values past float's range stop at its ends, NaN is 0.
        float ToFloat(double aValue)
        {
            if (!IsFinite(aValue))
            {
                return aValue > 0.0 ? std::numeric_limits<float>::max() : aValue < 0.0 ? -std::numeric_limits<float>::max() : 0.0f;
            }
            return static_cast<float>(std::clamp(aValue, -static_cast<double>(std::numeric_limits<float>::max()),
                                                 static_cast<double>(std::numeric_limits<float>::max())));
        }
    }

    // Builds the scene from the record tree; throws Malformed for what it must refuse.
    class SceneBuilder::Reader
    {
    public:
        explicit Reader(Scene& aScene) : myScene(aScene) {}

        void Read(const Record& aRoot)
        {
            ReadVersion(aRoot);
            ReadTemplates(aRoot.Find("Definitions"));
            ReadGlobalSettings(aRoot.Find("GlobalSettings"));
            if (const Record* objects = aRoot.Find("Objects"))
            {
                for (const Record& record : objects->myChildren)
                {
                    ReadObject(record);
                }
            }
            if (const Record* connections = aRoot.Find("Connections"))
            {
                for (const Record& record : connections->myChildren)
                {
                    if (record.myName == "C" || record.myName == "Connect")
                    {
                        Connect(record);
                    }
                }
            }
            Finish(aRoot.Find("Takes"));
        }

        int myBinaryVersion = 0;
        bool myReadsGeometry = true;

    private:
        template <typename T, typename... Arguments>
        T* Make(Arguments&&... someArguments)
        {
            auto object = std::make_unique<T>(std::forward<Arguments>(someArguments)...);
            T* result = object.get();
            myScene.myObjects.push_back(std::move(object));
            return result;
        }

        void ReadVersion(const Record& aRoot)
        {
            int64_t version = myBinaryVersion;
            if (const Record* header = aRoot.Find("FBXHeaderExtension"))
            {
                if (const Record* fbxVersion = header->Find("FBXVersion"))
                {
                    fbxVersion->GetInteger(0, version);
                }
            }
            if (version != 0 && (version < 7000 || version >= 8000))
            {
                Refuse("unsupported FBX version " + std::to_string(version) + " (7.x is read)");
            }
        }

        void ReadTemplates(const Record* aDefinitions)
        {
            if (!aDefinitions)
            {
                return;
            }
            for (const Record& type : aDefinitions->myChildren)
            {
                if (type.myName != "ObjectType")
                {
                    continue;
                }
                const std::string typeName = type.GetString(0);
                for (const Record& propertyTemplate : type.myChildren)
                {
                    if (propertyTemplate.myName != "PropertyTemplate" || myTemplates.contains(typeName))
                    {
                        continue;
                    }
                    PropertyTemplate* holder = Make<PropertyTemplate>();
                    ReadProperties70(propertyTemplate.Find("Properties70"), holder->GetProperties());
                    myTemplates[typeName] = &holder->GetProperties();
                }
            }
        }

        void ReadGlobalSettings(const Record* aRecord)
        {
            GlobalSettings& settings = myScene.myGlobalSettings;
            if (!aRecord)
            {
                return;
            }
            PropertySet properties;
            ReadProperties70(aRecord->Find("Properties70"), properties);
            double unit = properties.GetNumber("UnitScaleFactor", 1.0);
            if (!IsFinite(unit) || unit <= 0.0)
            {
                unit = 1.0;
            }
            double originalUnit = properties.GetNumber("OriginalUnitScaleFactor", unit);
            if (!IsFinite(originalUnit) || originalUnit <= 0.0)
            {
                originalUnit = unit;
            }
            settings.mySystemUnit = SystemUnit(unit);
            settings.myOriginalSystemUnit = SystemUnit(originalUnit);
            const auto axis = [&](const char* anIndexName, const char* aSignName, int aDefault) {
                const double index = properties.GetNumber(anIndexName, aDefault);
                const double sign = properties.GetNumber(aSignName, 1.0);
                return AxisSystem::Axis{ index >= 0.0 && index <= 2.0 ? static_cast<int>(index) : -1, sign < 0.0 ? -1 : 1 };
            };
            const AxisSystem axes(axis("UpAxis", "UpAxisSign", 1), axis("FrontAxis", "FrontAxisSign", 2),
                                  axis("CoordAxis", "CoordAxisSign", 0));
            // A contradictory axis system reads as the default rather than failing the file.
            settings.myAxisSystem = axes.IsValid() ? axes : AxisSystem();
            const double mode = properties.GetNumber("TimeMode", 0.0);
            const double customRate = properties.GetNumber("CustomFrameRate", -1.0);
            settings.myTimeMode = TimeMode(mode >= 0.0 && mode <= 17.0 ? static_cast<TimeMode::Mode>(static_cast<int>(mode))
                                                                       : TimeMode::Default,
                                           customRate);
            settings.myTimeSpan = TimeSpan(ReadTime(properties, "TimeSpanStart"), ReadTime(properties, "TimeSpanStop"));
        }

        static Time ReadTime(const PropertySet& someProperties, const char* aName)
        {
            const double ticks = someProperties.GetNumber(aName, 0.0);
            return Time(IsFinite(ticks) ? static_cast<int64_t>(std::clamp(ticks, -9.2e18, 9.2e18)) : 0);
        }

        void Prepare(Object& anObject, const Record& aRecord, uint64_t anId, const std::string& aName,
                     const std::string& aSubClass)
        {
            anObject.myName = aName;
            anObject.myUniqueId = anId;
            anObject.myClassName = aRecord.myName;
            anObject.mySubClassName = aSubClass;
            const auto found = myTemplates.find(aRecord.myName);
            if (found != myTemplates.end())
            {
                anObject.myProperties.SetTemplate(found->second);
            }
            ReadProperties70(aRecord.Find("Properties70"), anObject.myProperties);
            myObjectsById[anId] = &anObject;
        }

        void ReadObject(const Record& aRecord)
        {
            int64_t id = 0;
            if (!aRecord.GetInteger(0, id))
            {
                Refuse("object \"" + aRecord.myName + "\" has no id");
            }
            if (id == 0 || myObjectsById.contains(static_cast<uint64_t>(id)))
            {
                Refuse("object id " + std::to_string(id) + " is used twice");
            }
            const std::string name = StripClass(aRecord.GetString(1));
            const std::string subClass = aRecord.GetString(2);
            const std::string& kind = aRecord.myName;
            Object* object = nullptr;
            if (kind == "Model")
            {
                Node* node = Make<Node>();
                node->myScene = &myScene;
                myScene.myNodes.push_back(node);
                object = node;
            }
            else if (kind == "NodeAttribute")
            {
                object = MakeAttribute(subClass);
            }
            else if (kind == "Geometry" && subClass == "Mesh")
            {
                object = ReadMesh(aRecord);
            }
            else if (kind == "Material")
            {
                SurfaceMaterial* material = Make<SurfaceMaterial>();
                myScene.myMaterials.push_back(material);
                object = material;
            }
            else if (kind == "Texture")
            {
                FileTexture* texture = Make<FileTexture>();
                texture->myFileName = ChildString(aRecord, "FileName");
                texture->myRelativeFileName = ChildString(aRecord, "RelativeFilename");
                object = texture;
            }
            else if (kind == "LayeredTexture")
            {
                object = Make<LayeredTexture>();
            }
            else if (kind == "Deformer" && subClass == "Skin")
            {
                object = Make<Skin>();
            }
            else if (kind == "Deformer" && subClass == "Cluster")
            {
                object = ReadCluster(aRecord);
            }
            else if (kind == "AnimationStack")
            {
                AnimStack* stack = Make<AnimStack>();
                myScene.myAnimStacks.push_back(stack);
                object = stack;
            }
            else if (kind == "AnimationLayer")
            {
                object = Make<AnimLayer>();
            }
            else if (kind == "AnimationCurveNode")
            {
                object = Make<AnimCurveNode>();
            }
            else if (kind == "AnimationCurve")
            {
                object = ReadCurve(aRecord);
            }
            if (object)
            {
                Prepare(*object, aRecord, static_cast<uint64_t>(id), name, subClass);
                AfterProperties(*object);
            }
        }

        NodeAttribute* MakeAttribute(const std::string& aSubClass)
        {
            if (aSubClass == "Null")
            {
                return Make<NodeAttribute>(NodeAttribute::Type::Null);
            }
            if (aSubClass == "LimbNode" || aSubClass == "Limb" || aSubClass == "Root")
            {
                return Make<NodeAttribute>(NodeAttribute::Type::Skeleton);
            }
            if (aSubClass == "LodGroup")
            {
                return Make<LodGroup>();
            }
            if (aSubClass == "Camera")
            {
                return Make<NodeAttribute>(NodeAttribute::Type::Camera);
            }
            if (aSubClass == "Light")
            {
                return Make<NodeAttribute>(NodeAttribute::Type::Light);
            }
            return Make<NodeAttribute>(NodeAttribute::Type::Unknown);
        }

        // What the properties decide, once they are read.
        void AfterProperties(Object& anObject)
        {
            if (auto* lodGroup = dynamic_cast<LodGroup*>(&anObject))
            {
                ReadThresholds(*lodGroup, lodGroup->myProperties);
            }
            else if (auto* stack = dynamic_cast<AnimStack*>(&anObject))
            {
                const PropertySet& properties = stack->myProperties;
                stack->myLocalTimeSpan = TimeSpan(ReadTime(properties, "LocalStart"), ReadTime(properties, "LocalStop"));
                stack->myReferenceTimeSpan =
                    TimeSpan(ReadTime(properties, "ReferenceStart"), ReadTime(properties, "ReferenceStop"));
            }
            else if (auto* layer = dynamic_cast<AnimLayer*>(&anObject))
            {
                const double weight = layer->myProperties.GetNumber("Weight", 100.0);
                layer->myWeight = IsFinite(weight) ? weight : 100.0;
                const double mode = layer->myProperties.GetNumber("BlendMode", 0.0);
                layer->myBlendMode = mode == 1.0 ? AnimLayer::BlendMode::Override
                                     : mode == 2.0 ? AnimLayer::BlendMode::OverridePassthrough
                                                   : AnimLayer::BlendMode::Additive;
            }
            else if (auto* curveNode = dynamic_cast<AnimCurveNode*>(&anObject))
            {
                // Channels "d|X", "d|Y", "d|Z" (or "X", "Y", "Z"); the first three in that order.
                curveNode->myChannels.resize(3);
                bool any = false;
                for (int channel = 0; channel < 3; ++channel)
                {
                    const std::string letter(1, static_cast<char>('X' + channel));
                    const Property* property = curveNode->myProperties.Find("d|" + letter);
                    if (!property)
                    {
                        property = curveNode->myProperties.Find(letter);
                    }
                    if (property)
                    {
                        curveNode->myChannels[channel].myDefault = property->GetNumber(0, 0.0);
                        any = true;
                    }
                }
                myChannelDefaultsSeen[curveNode] = any;
            }
        }

        static void ReadThresholds(LodGroup& aGroup, const PropertySet& someProperties)
        {
            aGroup.myThresholds.clear();
            for (int level = 0;; ++level)
            {
                const Property* threshold = someProperties.Find("Thresholds|Level" + std::to_string(level));
                if (!threshold)
                {
                    return;
                }
                const double value = threshold->GetNumber(0, 0.0);
                aGroup.myThresholds.push_back(Distance(ToFloat(value)));
            }
        }

        Mesh* ReadMesh(const Record& aRecord)
        {
            Mesh* mesh = Make<Mesh>();
            if (!myReadsGeometry)
            {
                return mesh;
            }
            const std::vector<double> vertices = ChildDoubles(aRecord, "Vertices");
            if (vertices.size() % 3 != 0)
            {
                Refuse("mesh vertex array length " + std::to_string(vertices.size()) + " is not a multiple of 3");
            }
            mesh->myControlPoints.reserve(vertices.size() / 3);
            for (size_t at = 0; at < vertices.size(); at += 3)
            {
                mesh->myControlPoints.emplace_back(vertices[at], vertices[at + 1], vertices[at + 2], 1.0);
            }
            const int controlPoints = mesh->GetControlPointsCount();
            const std::vector<int> polygonIndices = ChildInts(aRecord, "PolygonVertexIndex");
            bool open = false;
            for (const int raw : polygonIndices)
            {
                const int index = raw < 0 ? ~raw : raw;
                if (index >= controlPoints)
                {
                    Refuse("polygon vertex " + std::to_string(index) + " is past the mesh's " +
                           std::to_string(controlPoints) + " control points");
                }
                if (!open)
                {
                    mesh->myPolygonStarts.push_back(static_cast<int>(mesh->myPolygonVertices.size()));
                    open = true;
                }
                mesh->myPolygonVertices.push_back(index);
                open = raw >= 0;
            }
            ReadLayerElements(aRecord, *mesh);
            return mesh;
        }

        static int RequiredCount(const Mesh& aMesh, MappingMode aMapping)
        {
            switch (aMapping)
            {
            case MappingMode::ByControlPoint: return aMesh.GetControlPointsCount();
            case MappingMode::ByPolygonVertex: return aMesh.GetPolygonVertexCount();
            case MappingMode::ByPolygon: return aMesh.GetPolygonCount();
            case MappingMode::AllSame: return 1;
            default: return 0;
            }
        }

        template <typename T, typename Convert>
        static void ReadElement(const Record& anElement, const Mesh& aMesh, LayerElementTemplate<T>& aTarget,
                                const char* aDataName, const char* anIndexName, const char* anIndexAlternative,
                                int aStride, Convert aConvert)
        {
            aTarget.SetName(ChildString(anElement, "Name"));
            aTarget.SetMappingMode(ToMapping(ChildString(anElement, "MappingInformationType")));
            aTarget.SetReferenceMode(ToReference(ChildString(anElement, "ReferenceInformationType")));
            const std::vector<double> data = ChildDoubles(anElement, aDataName);
            if (data.size() % static_cast<size_t>(aStride) != 0)
            {
                Refuse(std::string("\"") + aDataName + "\" length " + std::to_string(data.size()) +
                       " is not a multiple of " + std::to_string(aStride));
            }
            std::vector<T>& direct = aTarget.GetDirectArray().GetValues();
            direct.reserve(data.size() / aStride);
            for (size_t at = 0; at < data.size(); at += aStride)
            {
                direct.push_back(aConvert(&data[at]));
            }
            aTarget.GetIndexArray().GetValues() = ChildInts(anElement, anIndexName, anIndexAlternative);
            CheckElement(aMesh, aTarget, aDataName);
        }

        template <typename T>
        static void CheckElement(const Mesh& aMesh, const LayerElementTemplate<T>& anElement, const char* aWhat)
        {
            const int required = RequiredCount(aMesh, anElement.GetMappingMode());
            const int directCount = anElement.GetDirectArray().GetCount();
            if (anElement.GetReferenceMode() == ReferenceMode::Direct)
            {
                if (directCount < required)
                {
                    Refuse(std::string("\"") + aWhat + "\" holds " + std::to_string(directCount) +
                           " values where its mapping needs " + std::to_string(required));
                }
                return;
            }
            const LayerArray<int>& indices = anElement.GetIndexArray();
            if (indices.GetCount() < required)
            {
                Refuse(std::string("\"") + aWhat + "\" index array holds " + std::to_string(indices.GetCount()) +
                       " entries where its mapping needs " + std::to_string(required));
            }
            for (const int index : indices.GetValues())
            {
                if (index < 0 || index >= directCount)
                {
                    Refuse(std::string("\"") + aWhat + "\" index " + std::to_string(index) + " is outside its " +
                           std::to_string(directCount) + " values");
                }
            }
        }

        static void ReadLayerElements(const Record& aRecord, Mesh& aMesh)
        {
            struct Found
            {
                int64_t myTypedIndex;
                const Record* myRecord;
            };
            std::unordered_map<std::string, std::vector<Found>> elements;
            for (const Record& child : aRecord.myChildren)
            {
                if (child.myName.starts_with("LayerElement"))
                {
                    int64_t typedIndex = 0;
                    child.GetInteger(0, typedIndex);
                    elements[child.myName].push_back({ typedIndex, &child });
                }
            }
            for (auto& [kind, list] : elements)
            {
                std::stable_sort(list.begin(), list.end(),
                                 [](const Found& aLeft, const Found& aRight) { return aLeft.myTypedIndex < aRight.myTypedIndex; });
            }
            const auto vector3 = [](const double* someValues) { return Vector4(someValues[0], someValues[1], someValues[2], 1.0); };
            const auto vector2 = [](const double* someValues) { return Vector2{ { someValues[0], someValues[1] } }; };
            const auto color = [](const double* someValues) {
                return Color{ someValues[0], someValues[1], someValues[2], someValues[3] };
            };
            for (const Found& found : elements["LayerElementNormal"])
            {
                ReadElement(*found.myRecord, aMesh, aMesh.myNormals.emplace_back(), "Normals", "NormalsIndex", "NormalIndex", 3, vector3);
            }
            for (const Found& found : elements["LayerElementTangent"])
            {
                ReadElement(*found.myRecord, aMesh, aMesh.myTangents.emplace_back(), "Tangents", "TangentsIndex", "TangentIndex", 3, vector3);
            }
            for (const Found& found : elements["LayerElementBinormal"])
            {
                ReadElement(*found.myRecord, aMesh, aMesh.myBinormals.emplace_back(), "Binormals", "BinormalsIndex", "BinormalIndex", 3, vector3);
            }
            for (const Found& found : elements["LayerElementUV"])
            {
                ReadElement(*found.myRecord, aMesh, aMesh.myUvs.emplace_back(), "UV", "UVIndex", "UVsIndex", 2, vector2);
            }
            for (const Found& found : elements["LayerElementColor"])
            {
                ReadElement(*found.myRecord, aMesh, aMesh.myColors.emplace_back(), "Colors", "ColorIndex", "ColorsIndex", 4, color);
            }
            for (const Found& found : elements["LayerElementMaterial"])
            {
                ReadMaterialElement(*found.myRecord, aMesh, aMesh.myMaterials.emplace_back());
            }
        }

        // Material elements hold only indices into the node's materials. AllSame is spread over
        // every polygon so that reading index p for polygon p is always in range.
        static void ReadMaterialElement(const Record& anElement, const Mesh& aMesh, LayerElementMaterial& aTarget)
        {
            aTarget.SetName(ChildString(anElement, "Name"));
            const MappingMode mapping = ToMapping(ChildString(anElement, "MappingInformationType"));
            aTarget.SetReferenceMode(ReferenceMode::IndexToDirect);
            std::vector<int> indices = ChildInts(anElement, "Materials");
            const int polygons = aMesh.GetPolygonCount();
            if (mapping == MappingMode::AllSame || (mapping == MappingMode::ByPolygon && polygons > 0 && indices.size() == 1 &&
                                                    polygons != 1))
            {
                const int only = indices.empty() ? 0 : indices.front();
                indices.assign(static_cast<size_t>(std::max(polygons, 1)), only);
                aTarget.SetMappingMode(MappingMode::ByPolygon);
            }
            else if (mapping == MappingMode::ByPolygon)
            {
                if (static_cast<int>(indices.size()) < polygons)
                {
                    Refuse("material element holds " + std::to_string(indices.size()) + " entries for " +
                           std::to_string(polygons) + " polygons");
                }
                aTarget.SetMappingMode(MappingMode::ByPolygon);
            }
            else
            {
                aTarget.SetMappingMode(mapping);
            }
            aTarget.GetIndexArray().GetValues() = std::move(indices);
        }

        Cluster* ReadCluster(const Record& aRecord)
        {
            Cluster* cluster = Make<Cluster>();
            // Without geometry there are no control points for a cluster to name.
            if (myReadsGeometry)
            {
                cluster->myIndices = ChildInts(aRecord, "Indexes");
                cluster->myWeights = ChildDoubles(aRecord, "Weights");
            }
            if (cluster->myIndices.size() != cluster->myWeights.size())
            {
                Refuse("cluster holds " + std::to_string(cluster->myIndices.size()) + " indices but " +
                       std::to_string(cluster->myWeights.size()) + " weights");
            }
            // Files store "Transform" in the joint's space at bind time (mesh global relative to the
            // link); callers get the mesh's global bind transform, as the link times that.
            cluster->myTransformLink = ReadMatrix(aRecord, "TransformLink");
            cluster->myTransform = cluster->myTransformLink * ReadMatrix(aRecord, "Transform");
            return cluster;
        }

        static Matrix ReadMatrix(const Record& aRecord, const char* aName)
        {
            Matrix matrix;
            if (!aRecord.Find(aName))
            {
                return matrix;
            }
            const std::vector<double> values = ChildDoubles(aRecord, aName);
            if (values.size() != 16)
            {
                Refuse(std::string("matrix \"") + aName + "\" holds " + std::to_string(values.size()) + " values, not 16");
            }
            for (int row = 0; row < 4; ++row)
            {
                for (int column = 0; column < 4; ++column)
                {
                    matrix.Set(row, column, values[row * 4 + column]);
                }
            }
            return matrix;
        }

        AnimCurve* ReadCurve(const Record& aRecord)
        {
            AnimCurve* curve = Make<AnimCurve>();
            const Record* timeRecord = aRecord.Find("KeyTime");
            std::vector<int64_t> times;
            if (timeRecord && !timeRecord->GetIntegers(times))
            {
                Refuse("\"KeyTime\" is not an array of integers");
            }
            const std::vector<double> values = ChildDoubles(aRecord, "KeyValueFloat");
            if (times.size() != values.size())
            {
                Refuse("animation curve has " + std::to_string(times.size()) + " key times but " +
                       std::to_string(values.size()) + " values");
            }
            const std::vector<int> flags = ChildInts(aRecord, "KeyAttrFlags");
            const std::vector<double> data = ChildDoubles(aRecord, "KeyAttrDataFloat");
            const std::vector<int> references = ChildInts(aRecord, "KeyAttrRefCount");
            if (data.size() != flags.size() * 4 || references.size() != flags.size())
            {
                Refuse("animation curve key attributes do not match in length");
            }
            std::vector<AnimCurve::Key>& keys = curve->GetKeys();
            keys.resize(times.size());
            size_t attribute = 0;
            int64_t usesLeft = references.empty() ? 0 : references[0];
            for (size_t index = 0; index < times.size(); ++index)
            {
                if (index > 0 && times[index] < times[index - 1])
                {
                    Refuse("animation curve key times go backwards");
                }
                AnimCurve::Key& key = keys[index];
                key.myTime = Time(times[index]);
                key.myValue = values[index];
                while (usesLeft <= 0 && attribute + 1 < flags.size())
                {
                    usesLeft = references[++attribute];
                }
                if (flags.empty())
                {
                    key.myInterpolation = AnimCurve::Interpolation::Linear;
                    continue;
                }
                ApplyAttribute(key, flags[attribute], &data[attribute * 4]);
                --usesLeft;
            }
            return curve;
        }

        static void ApplyAttribute(AnimCurve::Key& aKey, int aFlags, const double* someData)
        {
            const unsigned flags = static_cast<unsigned>(aFlags);
            if (flags & 0x2u)
            {
                aKey.myInterpolation = AnimCurve::Interpolation::Constant;
                aKey.myConstantNext = (flags & 0x100u) != 0;
            }
            else if (flags & 0x4u)
            {
                aKey.myInterpolation = AnimCurve::Interpolation::Linear;
            }
            else
            {
                aKey.myInterpolation = AnimCurve::Interpolation::Cubic;
            }
            aKey.myRightSlope = IsFinite(someData[0]) ? someData[0] : 0.0;
            aKey.myNextLeftSlope = IsFinite(someData[1]) ? someData[1] : 0.0;
            // Handle weights travel as two 16-bit parts of one float's bits, in ten-thousandths.
            const float packedFloat = ToFloat(someData[2]);
            uint32_t packed = 0;
            std::memcpy(&packed, &packedFloat, sizeof(packed));
            if (flags & 0x1000000u)
            {
                aKey.myRightWeight = static_cast<double>(packed & 0xFFFFu) / 9999.0;
            }
            if (flags & 0x2000000u)
            {
                aKey.myNextLeftWeight = static_cast<double>(packed >> 16) / 9999.0;
            }
        }

        Object* FindObject(int64_t anId) const
        {
            if (anId == 0)
            {
                return myScene.myRoot;
            }
            const auto found = myObjectsById.find(static_cast<uint64_t>(anId));
            return found != myObjectsById.end() ? found->second : nullptr;
        }

        void Connect(const Record& aRecord)
        {
            const std::string kind = aRecord.GetString(0);
            int64_t childId = 0;
            int64_t parentId = 0;
            if (!aRecord.GetInteger(1, childId) || !aRecord.GetInteger(2, parentId))
            {
                return;
            }
            Object* child = FindObject(childId);
            Object* parent = FindObject(parentId);
            if (!child || !parent || child == parent)
            {
                return;
            }
            const std::string property = kind == "OP" ? aRecord.GetString(3) : std::string();
            if (auto* childNode = dynamic_cast<Node*>(child))
            {
                if (auto* parentNode = dynamic_cast<Node*>(parent))
                {
                    AttachNode(*childNode, *parentNode);
                }
                else if (auto* cluster = dynamic_cast<Cluster*>(parent); cluster && !cluster->myLink)
                {
                    cluster->myLink = childNode;
                }
                return;
            }
            auto* parentNode = dynamic_cast<Node*>(parent);
            if (auto* attribute = dynamic_cast<NodeAttribute*>(child); attribute && parentNode)
            {
                if (!parentNode->myAttribute && parentNode != myScene.myRoot)
                {
                    parentNode->myAttribute = attribute;
                    if (!attribute->myNode)
                    {
                        attribute->myNode = parentNode;
                    }
                }
                return;
            }
            if (auto* material = dynamic_cast<SurfaceMaterial*>(child); material && parentNode)
            {
                parentNode->myMaterials.push_back(material);
                return;
            }
            if (auto* texture = dynamic_cast<Texture*>(child))
            {
                if (auto* material = dynamic_cast<SurfaceMaterial*>(parent))
                {
                    AttachTexture(*material, property, *texture);
                }
                else if (auto* layered = dynamic_cast<LayeredTexture*>(parent); layered && layered != texture)
                {
                    layered->myTextures.push_back(texture);
                }
                return;
            }
            if (auto* skin = dynamic_cast<Skin*>(child))
            {
                if (auto* mesh = dynamic_cast<Mesh*>(parent))
                {
                    mesh->mySkins.push_back(skin);
                    mySkinMeshes[skin].push_back(mesh);
                }
                return;
            }
            if (auto* cluster = dynamic_cast<Cluster*>(child))
            {
                if (auto* skin = dynamic_cast<Skin*>(parent))
                {
                    skin->myClusters.push_back(cluster);
                }
                return;
            }
            if (auto* layer = dynamic_cast<AnimLayer*>(child))
            {
                if (auto* stack = dynamic_cast<AnimStack*>(parent))
                {
                    stack->myLayers.push_back(layer);
                }
                return;
            }
            if (auto* curveNode = dynamic_cast<AnimCurveNode*>(child))
            {
                if (auto* layer = dynamic_cast<AnimLayer*>(parent))
                {
                    layer->myCurveNodes.push_back(curveNode);
                    myCurveNodeLayers[curveNode].push_back(layer);
                }
                else if (!curveNode->myTarget && !property.empty() && parent != myScene.myRoot)
                {
                    curveNode->myTarget = parent;
                    curveNode->myTargetProperty = property;
                }
                return;
            }
            if (auto* curve = dynamic_cast<AnimCurve*>(child))
            {
                if (auto* curveNode = dynamic_cast<AnimCurveNode*>(parent))
                {
                    const int channel = ChannelOf(property);
                    if (channel >= 0 && !curveNode->myChannels[channel].myCurve)
                    {
                        curveNode->myChannels[channel].myCurve = curve;
                    }
                }
            }
        }

        static int ChannelOf(const std::string& aProperty)
        {
            const std::string_view name = std::string_view(aProperty).starts_with("d|") ? std::string_view(aProperty).substr(2)
                                                                                         : std::string_view(aProperty);
            if (name == "X" || name == "R")
            {
                return 0;
            }
            if (name == "Y" || name == "G")
            {
                return 1;
            }
            if (name == "Z" || name == "B")
            {
                return 2;
            }
            return -1;
        }

        void AttachNode(Node& aChild, Node& aParent)
        {
            if (aChild.myParent || &aChild == myScene.myRoot)
            {
                return;
            }
            // A connection that would close a loop is ignored.
            for (const Node* above = &aParent; above; above = above->myParent)
            {
                if (above == &aChild)
                {
                    return;
                }
            }
            aChild.myParent = &aParent;
            aParent.myChildren.push_back(&aChild);
        }

        static void AttachTexture(SurfaceMaterial& aMaterial, const std::string& aProperty, const Texture& aTexture)
        {
            for (MaterialProperty& property : aMaterial.myConnected)
            {
                if (property.myName == aProperty)
                {
                    property.myTextures.push_back(&aTexture);
                    return;
                }
            }
            MaterialProperty& property = aMaterial.myConnected.emplace_back();
            property.myName = aProperty;
            property.myValid = true;
            property.myTextures.push_back(&aTexture);
        }

        void Finish(const Record* aTakes)
        {
            GiveAttributesFromSubClass();
            CheckClusters();
            IndexAnimation();
            for (Node* node : myScene.myNodes)
            {
                node->RefreshTransform();
            }
            // Every node that no connection placed stays out of the tree but keeps its name.
            myScene.myRoot->myName = "RootNode";
            NameNodes(*myScene.myRoot);
            for (Node* node : myScene.myNodes)
            {
                myScene.myNodesByName.try_emplace(node->myName, node);
            }
            ReadTakes(aTakes);
            myScene.myCurrentStack = myScene.myAnimStacks.empty() ? nullptr : myScene.myAnimStacks.front();
        }

        void GiveAttributesFromSubClass()
        {
            for (Node* node : myScene.myNodes)
            {
                if (node->myAttribute)
                {
                    continue;
                }
                const std::string& subClass = node->mySubClassName;
                NodeAttribute* attribute = nullptr;
                if (subClass == "Null" || subClass == "LimbNode" || subClass == "Limb" || subClass == "Root" ||
                    subClass == "LodGroup")
                {
                    attribute = MakeAttribute(subClass);
                }
                if (attribute)
                {
                    attribute->myName = node->myName;
                    attribute->myNode = node;
                    if (auto* lodGroup = dynamic_cast<LodGroup*>(attribute))
                    {
                        ReadThresholds(*lodGroup, node->myProperties);
                    }
                    node->myAttribute = attribute;
                }
            }
        }

        void CheckClusters()
        {
            for (const auto& [skin, meshes] : mySkinMeshes)
            {
                for (const Mesh* mesh : meshes)
                {
                    for (const Cluster* cluster : skin->myClusters)
                    {
                        for (const int index : cluster->myIndices)
                        {
                            if (index < 0 || index >= mesh->GetControlPointsCount())
                            {
                                Refuse("cluster \"" + cluster->myName + "\" names control point " + std::to_string(index) +
                                       " of a mesh with " + std::to_string(mesh->GetControlPointsCount()));
                            }
                        }
                    }
                }
            }
        }

        void IndexAnimation()
        {
            for (const auto& [curveNode, layers] : myCurveNodeLayers)
            {
                auto* node = const_cast<Node*>(dynamic_cast<const Node*>(curveNode->myTarget));
                if (!node)
                {
                    continue;
                }
                for (const AnimLayer* layer : layers)
                {
                    node->myAnimated.push_back({ layer, curveNode });
                }
            }
            for (auto& [curveNode, seen] : myChannelDefaultsSeen)
            {
                if (seen || !curveNode->myTarget)
                {
                    continue;
                }
                // Without its own channel values a curve node starts from the property's.
                const Property* property = curveNode->myTarget->myProperties.Find(curveNode->myTargetProperty);
                for (int channel = 0; property && channel < 3; ++channel)
                {
                    curveNode->myChannels[channel].myDefault = property->GetNumber(channel, 0.0);
                }
            }
        }

        void NameNodes(Node& aNode)
        {
            // Depth first, each node before its children: the first of a name wins.
            std::vector<Node*> pending{ &aNode };
            while (!pending.empty())
            {
                Node* node = pending.back();
                pending.pop_back();
                if (node != myScene.myRoot)
                {
                    myScene.myNodesByName.try_emplace(node->myName, node);
                }
                for (auto child = node->myChildren.rbegin(); child != node->myChildren.rend(); ++child)
                {
                    pending.push_back(*child);
                }
            }
        }

        void ReadTakes(const Record* aTakes)
        {
            if (aTakes)
            {
                for (const Record& take : aTakes->myChildren)
                {
                    if (take.myName != "Take")
                    {
                        continue;
                    }
                    TakeInfo info;
                    info.myName = StripClass(take.GetString(0));
                    info.myLocalTimeSpan = ReadSpan(take.Find("LocalTime"));
                    info.myReferenceTimeSpan = ReadSpan(take.Find("ReferenceTime"));
                    myScene.myTakes.push_back(std::move(info));
                }
            }
            for (const AnimStack* stack : myScene.myAnimStacks)
            {
                if (!myScene.GetTakeInfo(stack->myName))
                {
                    myScene.myTakes.push_back({ stack->myName, stack->myLocalTimeSpan, stack->myReferenceTimeSpan });
                }
            }
        }

        static TimeSpan ReadSpan(const Record* aRecord)
        {
            int64_t start = 0;
            int64_t stop = 0;
            if (aRecord)
            {
                aRecord->GetInteger(0, start);
                aRecord->GetInteger(1, stop);
            }
            return TimeSpan(Time(start), Time(stop));
        }

        Scene& myScene;
        std::unordered_map<std::string, const PropertySet*> myTemplates;
        std::unordered_map<uint64_t, Object*> myObjectsById;
        std::unordered_map<const Skin*, std::vector<const Mesh*>> mySkinMeshes;
        std::unordered_map<AnimCurveNode*, std::vector<const AnimLayer*>> myCurveNodeLayers;
        std::unordered_map<AnimCurveNode*, bool> myChannelDefaultsSeen;
    };

    bool SceneBuilder::Build(const unsigned char* someBytes, size_t aSize, Scene& aScene, Status& aStatus, bool aReadGeometry)
    {
        aScene.Clear();
        const FormatInfo format = DetectFormat(someBytes, aSize);
        if (!format.myIsFbx)
        {
            aStatus.SetCode(Status::Code::InvalidFile, "File is not an FBX file");
            return false;
        }
        try
        {
            Record root;
            std::string error;
            const bool parsed = format.myIsBinary ? ParseBinary(someBytes, aSize, root, error, aReadGeometry)
                                                  : ParseAscii(reinterpret_cast<const char*>(someBytes), aSize, root, error);
            if (!parsed)
            {
                aStatus.SetCode(Status::Code::InvalidFile, error);
                return false;
            }
            Reader reader(aScene);
            reader.myReadsGeometry = aReadGeometry;
            reader.myBinaryVersion = format.myIsBinary ? format.myVersion : 0;
            reader.Read(root);
            return true;
        }
        catch (const Malformed& anError)
        {
            aScene.Clear();
            aStatus.SetCode(Status::Code::InvalidFile, std::string("Malformed FBX content: ") + anError.what());
        }
        catch (const std::bad_alloc&)
        {
            aScene.Clear();
            aStatus.SetCode(Status::Code::Failure, "Out of memory while reading the FBX file");
        }
        return false;
    }
}
