#include "Importer.h"

#include "Assert.h"
#include "ImporterDetail.h"
#include "fbx/Fbx.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <stdexcept>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Vra::FBX
{
    namespace
    {
        namespace Sdk = Vra::Fbx;

        // Imports hold the lock shared for their whole run, so a shut-down (exclusive) never pulls
        // the manager from under an import that is still reading.
        struct ImporterState
        {
            std::shared_mutex Lock;
            Sdk::Manager* Manager = nullptr;
            Sdk::IOSettings* Settings = nullptr;
            // The same settings for animations, which read no geometry: decoding the mesh arrays
            // would be most of an animation import's work.
            Sdk::IOSettings* AnimationSettings = nullptr;
            Sdk::GeometryConverter* Converter = nullptr;
            Sdk::AxisSystem TargetAxisSystem;
            Sdk::Importer* Importer = nullptr;
        };

        ImporterState& GetState()
        {
            static ImporterState state;
            return state;
        }

        std::mutex& LastImportErrorLock()
        {
            static std::mutex lock;
            return lock;
        }

        std::string& LastImportError()
        {
            static std::string text;
            return text;
        }

        void SetLastImportError(std::string aText)
        {
            std::lock_guard lock(LastImportErrorLock());
            LastImportError() = std::move(aText);
        }

        // Raised inside the reading; the import entry points wrap it as a nested runtime error.
        [[noreturn]] void Fail(const std::string& aMessage)
        {
            throw std::runtime_error(aMessage);
        }

        // What the layer readers raise for a reference mode they cannot follow.
        struct InvalidReferenceMode : std::exception
        {
            const char* what() const noexcept override { return "Invalid Reference Mode!"; }
        };

        ImportedMatrix ToImported(const Sdk::Matrix& aMatrix)
        {
            ImportedMatrix result;
            for (int row = 0; row < 4; ++row)
            {
                const Sdk::Vector4 values = aMatrix.GetRow(row);
                for (int column = 0; column < 4; ++column)
                {
                    result.Data[row * 4 + column] = impl::ToFloat(values[column]);
                }
            }
            return result;
        }

        bool HasAttribute(const Sdk::Node* aNode, Sdk::NodeAttribute::Type aType)
        {
            const Sdk::NodeAttribute* attribute = aNode->GetNodeAttribute();
            return attribute && attribute->GetAttributeType() == aType;
        }

        // The scene and the importer of one import, destroyed on every way out.
        class OpenedFile
        {
        public:
            explicit OpenedFile(Sdk::Importer* anImporter) : myImporter(anImporter) {}
            ~OpenedFile()
            {
                if (myScene)
                {
                    myScene->Destroy();
                }
                myImporter->Destroy();
            }
            OpenedFile(const OpenedFile&) = delete;
            OpenedFile& operator=(const OpenedFile&) = delete;

            Sdk::Importer* Importer() const { return myImporter; }
            Sdk::Scene* Scene() const { return myScene; }
            void SetScene(Sdk::Scene* aScene) { myScene = aScene; }
            bool StatusIsSuccess() const { return myImporter->GetStatus().GetCode() == Sdk::Status::Code::Success; }
            const std::string& ErrorText() const { return myImporter->GetStatus().GetErrorString(); }

        private:
            Sdk::Importer* myImporter;
            Sdk::Scene* myScene = nullptr;
        };

        // ---- Skeleton walk -------------------------------------------------------------------

        struct SkeletonWalk
        {
            ImportedSkeleton Skeleton;
            std::vector<ImportedJoint> Events;
            std::vector<ImportedSocket> Sockets;
        };

        void CollectSkeleton(const Sdk::Node* aNode, SkeletonWalk& aWalk, std::int32_t aParent)
        {
            std::int32_t childParent = aParent;
            const std::string name = aNode->GetNameString();
            if (HasAttribute(aNode, Sdk::NodeAttribute::Type::Skeleton))
            {
                ImportedSkeleton& skeleton = aWalk.Skeleton;
                ImportedJoint joint;
                joint.Parent = aParent;
                joint.Name = name;
                joint.NameShort = impl::ShortName(name);
                const std::size_t index = skeleton.Joints.size();
                if (skeleton.JointNameToIndex.contains(joint.NameShort))
                {
                    Fail("Found more than one bone with the same name [" + name + "]!");
                }
                skeleton.JointNameToIndex.emplace(joint.NameShort, index);
                skeleton.Joints.push_back(std::move(joint));
                if (aParent >= 0)
                {
                    skeleton.Joints[aParent].Children.push_back(static_cast<std::uint32_t>(index));
                }
                childParent = static_cast<std::int32_t>(index);
            }
            else if (HasAttribute(aNode, Sdk::NodeAttribute::Type::Null))
            {
                if (impl::EndsWith(name, "_evt") || impl::EndsWith(name, "_event"))
                {
                    ImportedJoint event;
                    event.Parent = aParent;
                    event.Name = name;
                    aWalk.Events.push_back(std::move(event));
                }
                else if (impl::EndsWith(name, "_skt") || impl::EndsWith(name, "_socket"))
                {
                    ImportedSocket socket;
                    socket.Transform = ToImported(aNode->EvaluateGlobalTransform(Sdk::Time(0), Sdk::PivotSet::SourcePivot));
                    socket.Parent = aParent;
                    socket.Name = name;
                    aWalk.Sockets.push_back(std::move(socket));
                }
            }
            for (int child = 0; child < aNode->GetChildCount(); ++child)
            {
                CollectSkeleton(aNode->GetChild(child), aWalk, childParent);
            }
        }

        // ---- Node collection -----------------------------------------------------------------

        void CollectMeshNodes(Sdk::Node* aNode, std::vector<Sdk::Node*>& someMeshNodes)
        {
            if (HasAttribute(aNode, Sdk::NodeAttribute::Type::Mesh))
            {
                someMeshNodes.push_back(aNode);
            }
            for (int child = 0; child < aNode->GetChildCount(); ++child)
            {
                CollectMeshNodes(aNode->GetChild(child), someMeshNodes);
            }
        }

        void CollectLodGroupNodes(Sdk::Node* aNode, std::vector<Sdk::Node*>& someGroupNodes)
        {
            if (HasAttribute(aNode, Sdk::NodeAttribute::Type::LodGroup))
            {
                someGroupNodes.push_back(aNode);
                return;
            }
            for (int child = 0; child < aNode->GetChildCount(); ++child)
            {
                CollectLodGroupNodes(aNode->GetChild(child), someGroupNodes);
            }
        }

        // ---- Layer reading -------------------------------------------------------------------

        // One layer element with its mapping and reference worked out once per mesh rather than
        // once per corner: where a corner's value lies, or that it has none (the vertex keeps its
        // default). Only mappings by control point and by polygon vertex give values.
        template <typename Value>
        class ResolvedLayer
        {
        public:
            ResolvedLayer() = default;
            explicit ResolvedLayer(const Sdk::LayerElementTemplate<Value>* anElement)
            {
                if (!anElement)
                {
                    return;
                }
                switch (anElement->GetMappingMode())
                {
                case Sdk::MappingMode::ByControlPoint: myByControlPoint = true; break;
                case Sdk::MappingMode::ByPolygonVertex: myByControlPoint = false; break;
                default: return;
                }
                switch (anElement->GetReferenceMode())
                {
                case Sdk::ReferenceMode::Direct: break;
                case Sdk::ReferenceMode::IndexToDirect:
                    myIndices = anElement->GetIndexArray().GetValues().data();
                    myIndexCount = anElement->GetIndexArray().GetCount();
                    break;
                default: myIsInvalid = true; return;
                }
                myValues = anElement->GetDirectArray().GetValues().data();
                myValueCount = anElement->GetDirectArray().GetCount();
            }

            // A reference mode that cannot be followed; raised on the first corner read.
            bool IsInvalid() const { return myIsInvalid; }

            // The reader keeps every mapped index inside its arrays; the checks stay as the
            // arrays' own would be.
            const Value* Find(int aControlPoint, int aPolygonVertex) const
            {
                if (!myValues)
                {
                    return nullptr;
                }
                int index = myByControlPoint ? aControlPoint : aPolygonVertex;
                if (myIndices)
                {
                    CU_ASSERT(index >= 0 && index < myIndexCount);
                    index = myIndices[index];
                }
                CU_ASSERT(index >= 0 && index < myValueCount);
                return myValues + index;
            }

        private:
            const Value* myValues = nullptr;
            const int* myIndices = nullptr;
            int myValueCount = 0;
            int myIndexCount = 0;
            bool myByControlPoint = false;
            bool myIsInvalid = false;
        };

        // A UV set: where each corner's coordinate lies in the direct array, whatever the set's
        // mapping, as the mesh's own UV index lookup has it (out of range gives no coordinate).
        class ResolvedUvSet
        {
        public:
            explicit ResolvedUvSet(const Sdk::LayerElementUV* anElement)
                : myValues(anElement->GetDirectArray().GetValues().data()), myValueCount(anElement->GetDirectArray().GetCount()),
                  myIndices(anElement->GetIndexArray().GetValues().data())
            {
                switch (anElement->GetMappingMode())
                {
                case Sdk::MappingMode::ByControlPoint: myMapping = Mapping::ControlPoint; break;
                case Sdk::MappingMode::ByPolygonVertex: myMapping = Mapping::PolygonVertex; break;
                case Sdk::MappingMode::ByPolygon: myMapping = Mapping::Polygon; break;
                case Sdk::MappingMode::AllSame: myMapping = Mapping::First; break;
                default: myMapping = Mapping::None; break;
                }
                myIsDirect = anElement->GetReferenceMode() == Sdk::ReferenceMode::Direct;
                myCount = myIsDirect ? anElement->GetDirectArray().GetCount() : anElement->GetIndexArray().GetCount();
            }

            const Sdk::Vector2* Find(int aControlPoint, int aPolygonVertex, int aPolygon) const
            {
                int mapped = 0;
                switch (myMapping)
                {
                case Mapping::ControlPoint: mapped = aControlPoint; break;
                case Mapping::PolygonVertex: mapped = aPolygonVertex; break;
                case Mapping::Polygon: mapped = aPolygon; break;
                case Mapping::First: mapped = 0; break;
                case Mapping::None: return nullptr;
                }
                if (mapped >= myCount)
                {
                    return nullptr;
                }
                const int index = myIsDirect ? mapped : myIndices[mapped];
                if (index < 0)
                {
                    return nullptr;
                }
                CU_ASSERT(index < myValueCount);
                return myValues + index;
            }

        private:
            enum class Mapping
            {
                None,
                ControlPoint,
                PolygonVertex,
                Polygon,
                First
            };
            const Sdk::Vector2* myValues;
            int myValueCount;
            const int* myIndices;
            Mapping myMapping = Mapping::None;
            bool myIsDirect = true;
            int myCount = 0;
        };

        // ---- Mesh extraction -----------------------------------------------------------------

        constexpr int MAX_LAYER_SETS = 4;
        // Corners kept per control point to find a repeated vertex by; more only cost time.
        constexpr int MAX_ENTRIES_AT_POINT = 8;
        constexpr int MAX_INFLUENCES = 4;

        // The first four influences of each control point, in cluster order: the vertex has room
        // for no more, and keeping them in place needs no allocation per control point.
        struct PointInfluences
        {
            std::uint32_t Count = 0;
            std::uint32_t Joints[MAX_INFLUENCES] = {};
            float Weights[MAX_INFLUENCES] = {};
        };
        using Influences = std::vector<PointInfluences>;

        Influences ReadSkin(const Sdk::Node* aNode, const Sdk::Mesh* aMesh, ImportedSkeleton& aSkeleton)
        {
            Influences influences(static_cast<std::size_t>(aMesh->GetControlPointsCount()));
            if (aSkeleton.Joints.empty())
            {
                return influences;
            }
            const Sdk::Matrix geometry(aNode->GetGeometricTranslation(Sdk::PivotSet::SourcePivot),
                                       aNode->GetGeometricRotation(Sdk::PivotSet::SourcePivot),
                                       aNode->GetGeometricScaling(Sdk::PivotSet::SourcePivot));
            for (int skinIndex = 0; skinIndex < aMesh->GetSkinCount(); ++skinIndex)
            {
                const Sdk::Skin* skin = aMesh->GetSkin(skinIndex);
                for (int clusterIndex = 0; skin && clusterIndex < skin->GetClusterCount(); ++clusterIndex)
                {
                    const Sdk::Cluster* cluster = skin->GetCluster(clusterIndex);
                    // A cluster without a joint node moves nothing that could be named.
                    if (!cluster || !cluster->GetLink())
                    {
                        continue;
                    }
                    Sdk::Matrix transform;
                    Sdk::Matrix transformLink;
                    cluster->GetTransformMatrix(transform);
                    cluster->GetTransformLinkMatrix(transformLink);
                    const Sdk::Matrix bind = (transformLink.Inverse() * transform * geometry).Transpose();

                    // A link the skeleton does not know is entered as joint 0, as the name lookup does.
                    const std::string shortName = impl::ShortName(cluster->GetLink()->GetNameString());
                    const std::size_t jointIndex = aSkeleton.JointNameToIndex[shortName];
                    aSkeleton.Joints[jointIndex].BindPoseInverse = ToImported(bind);

                    const int* indices = cluster->GetControlPointIndices();
                    const double* weights = cluster->GetControlPointWeights();
                    for (int i = 0; i < cluster->GetControlPointIndicesCount(); ++i)
                    {
                        PointInfluences& point = influences[static_cast<std::size_t>(indices[i])];
                        if (point.Count < MAX_INFLUENCES)
                        {
                            point.Joints[point.Count] = static_cast<std::uint32_t>(jointIndex);
                            point.Weights[point.Count] = impl::ToFloat(weights[i]);
                            ++point.Count;
                        }
                    }
                }
            }
            return influences;
        }

        std::uint32_t SceneMaterialIndex(const Sdk::Scene* aScene, const Sdk::SurfaceMaterial* aMaterial)
        {
            for (int i = 0; i < aScene->GetMaterialCount(); ++i)
            {
                if (aScene->GetMaterial(i) == aMaterial)
                {
                    return static_cast<std::uint32_t>(i);
                }
            }
            return 0;
        }

        int PolygonMaterial(const Sdk::LayerElementMaterial* anElement, int aPolygon)
        {
            // Without an element every polygon wears the node's first material.
            if (!anElement || anElement->GetIndexArray().GetCount() == 0)
            {
                return 0;
            }
            const bool allSame = anElement->GetMappingMode() == Sdk::MappingMode::AllSame ||
                                 aPolygon >= anElement->GetIndexArray().GetCount();
            return anElement->GetIndexArray().GetAt(allSame ? 0 : aPolygon);
        }

        struct Extremes
        {
            float Min[3] = {0.f, 0.f, 0.f};
            float Max[3] = {0.f, 0.f, 0.f};

            void Add(const float (&somePosition)[4])
            {
                for (int i = 0; i < 3; ++i)
                {
                    Min[i] = std::min(Min[i], somePosition[i]);
                    Max[i] = std::max(Max[i], somePosition[i]);
                }
            }
        };

        // Reads the vertex of each corner of one mesh, with the layers and the control points'
        // positions worked out once.
        class CornerReader
        {
        public:
            CornerReader(const Sdk::Mesh* aMesh, const Influences& someInfluences)
                : myInfluences(someInfluences), myPolygonVertices(aMesh->GetPolygonVertices()),
                  myNormals(aMesh->GetElementNormal(0)), myTangents(aMesh->GetElementTangent(0)),
                  myBinormals(aMesh->GetElementBinormal(0))
            {
                const int uvSets = std::min(aMesh->GetElementUVCount(), MAX_LAYER_SETS);
                for (int set = 0; set < uvSets; ++set)
                {
                    myUvSets.emplace_back(aMesh->GetElementUV(set));
                }
                const int colourSets = std::min(aMesh->GetElementVertexColorCount(), MAX_LAYER_SETS);
                for (int set = 0; set < colourSets; ++set)
                {
                    myColours.emplace_back(aMesh->GetElementVertexColor(set));
                    myHasInvalidLayer = myHasInvalidLayer || myColours.back().IsInvalid();
                }
                myHasInvalidLayer = myHasInvalidLayer || myNormals.IsInvalid() || myTangents.IsInvalid() || myBinormals.IsInvalid();
                myPositions.resize(static_cast<std::size_t>(aMesh->GetControlPointsCount()));
                for (int point = 0; point < aMesh->GetControlPointsCount(); ++point)
                {
                    const Sdk::Vector4& position = aMesh->GetControlPointAt(point);
                    for (int i = 0; i < 4; ++i)
                    {
                        myPositions[static_cast<std::size_t>(point)].Values[i] = impl::ToFloat(position[i]);
                    }
                }
            }

            int ControlPoint(int aPolygonVertex) const { return myPolygonVertices[aPolygonVertex]; }

            // For each control point, whether another has the same position as vertices compare
            // them (-0 as +0, the fourth component left out).
            std::vector<bool> PositionsShared() const
            {
                std::vector<std::array<float, 3>> positions(myPositions.size());
                for (std::size_t point = 0; point < myPositions.size(); ++point)
                {
                    for (int i = 0; i < 3; ++i)
                    {
                        positions[point][static_cast<std::size_t>(i)] = myPositions[point].Values[i];
                    }
                }
                return impl::SharedPositions(positions);
            }
            const float (&Position(int aControlPoint) const)[4] { return myPositions[static_cast<std::size_t>(aControlPoint)].Values; }

            // Whether two corners of one control point read the same vertex: each layer gives both
            // the same value (equal values convert to equal floats), or neither has one.
            bool SameSources(int aPolygon, int aPolygonVertex, int anOtherPolygon, int anOtherPolygonVertex) const
            {
                const int controlPoint = myPolygonVertices[aPolygonVertex];
                for (const ResolvedUvSet& set : myUvSets)
                {
                    if (!SameValue(set.Find(controlPoint, aPolygonVertex, aPolygon), set.Find(controlPoint, anOtherPolygonVertex, anOtherPolygon)))
                    {
                        return false;
                    }
                }
                if (!SameValue(myNormals.Find(controlPoint, aPolygonVertex), myNormals.Find(controlPoint, anOtherPolygonVertex)) ||
                    !SameValue(myTangents.Find(controlPoint, aPolygonVertex), myTangents.Find(controlPoint, anOtherPolygonVertex)) ||
                    !SameValue(myBinormals.Find(controlPoint, aPolygonVertex), myBinormals.Find(controlPoint, anOtherPolygonVertex)))
                {
                    return false;
                }
                for (const ResolvedLayer<Sdk::Color>& set : myColours)
                {
                    if (!SameValue(set.Find(controlPoint, aPolygonVertex), set.Find(controlPoint, anOtherPolygonVertex)))
                    {
                        return false;
                    }
                }
                return true;
            }

            void Read(int aPolygon, int aPolygonVertex, ImportedVertex& aVertex) const
            {
                if (myHasInvalidLayer)
                {
                    throw InvalidReferenceMode();
                }
                const int controlPoint = myPolygonVertices[aPolygonVertex];
                std::memcpy(aVertex.Position, myPositions[static_cast<std::size_t>(controlPoint)].Values, sizeof(aVertex.Position));
                for (std::size_t set = 0; set < myUvSets.size(); ++set)
                {
                    // Each set by its own index: sets may be laid out differently from set 0.
                    if (const Sdk::Vector2* uv = myUvSets[set].Find(controlPoint, aPolygonVertex, aPolygon))
                    {
                        aVertex.UVs[set][0] = impl::ToFloat((*uv)[0]);
                        aVertex.UVs[set][1] = 1.f - impl::ToFloat((*uv)[1]);
                    }
                }
                ReadVector(myNormals, controlPoint, aPolygonVertex, aVertex.Normal);
                ReadVector(myTangents, controlPoint, aPolygonVertex, aVertex.Tangent);
                ReadVector(myBinormals, controlPoint, aPolygonVertex, aVertex.Binormal);
                for (std::size_t set = 0; set < myColours.size(); ++set)
                {
                    // A set mapped some other way keeps the reader's default colour.
                    const Sdk::Color* found = myColours[set].Find(controlPoint, aPolygonVertex);
                    const Sdk::Color colour = found ? *found : Sdk::Color();
                    for (int i = 0; i < 4; ++i)
                    {
                        aVertex.VertexColors[set][i] = impl::ToFloat(colour[i]);
                    }
                }
                const PointInfluences& influences = myInfluences[static_cast<std::size_t>(controlPoint)];
                for (std::uint32_t i = 0; i < influences.Count; ++i)
                {
                    aVertex.BoneIDs[i] = influences.Joints[i];
                    aVertex.BoneWeights[i] = influences.Weights[i];
                }
            }

        private:
            struct PointPosition
            {
                float Values[4];
            };

            template <typename Value>
            static bool SameValue(const Value* aFirst, const Value* aSecond)
            {
                return aFirst == aSecond || (aFirst && aSecond && *aFirst == *aSecond);
            }

            static void ReadVector(const ResolvedLayer<Sdk::Vector4>& aLayer, int aControlPoint, int aPolygonVertex, float (&someOut)[3])
            {
                if (const Sdk::Vector4* value = aLayer.Find(aControlPoint, aPolygonVertex))
                {
                    for (int i = 0; i < 3; ++i)
                    {
                        someOut[i] = impl::ToFloat((*value)[i]);
                    }
                }
            }

            const Influences& myInfluences;
            const int* myPolygonVertices;
            ResolvedLayer<Sdk::Vector4> myNormals;
            ResolvedLayer<Sdk::Vector4> myTangents;
            ResolvedLayer<Sdk::Vector4> myBinormals;
            std::vector<ResolvedUvSet> myUvSets;
            std::vector<ResolvedLayer<Sdk::Color>> myColours;
            std::vector<PointPosition> myPositions;
            bool myHasInvalidLayer = false;
        };

        // Gives each corner of one mesh the index of its vertex among the merged ones: equal
        // vertices (as the welder tells them) share one, numbered in the order corners first meet
        // them.
        //
        // Each control point keeps the corners it gave vertices for: most corners of a point
        // repeat one of them, found from the layers' values without building the vertex, or
        // from the vertex. Equal vertices of different control points need equal positions, so a
        // point whose position no other point has needs no look-up in the welder's table for the
        // vertices it keeps; only a point met by very many different corners, or one that shares
        // its position, goes to the table.
        class CornerMerger
        {
        public:
            CornerMerger(const CornerReader& aReader, std::size_t aPointCount)
                : myReader(aReader), myAtPoint(aPointCount), mySharesPosition(aReader.PositionsShared())
            {
                myKnown.reserve(aPointCount + aPointCount / 2);
            }

            std::uint32_t Merge(int aPolygon, int aPolygonVertex, std::vector<ImportedVertex>& someVertices, Extremes& someExtremes)
            {
                const int controlPoint = myReader.ControlPoint(aPolygonVertex);
                PointEntries& entries = myAtPoint[static_cast<std::size_t>(controlPoint)];
                for (int at = entries.First; at >= 0; at = myKnown[static_cast<std::size_t>(at)].Next)
                {
                    const KnownCorner& known = myKnown[static_cast<std::size_t>(at)];
                    if (myReader.SameSources(aPolygon, aPolygonVertex, known.Polygon, known.PolygonVertex))
                    {
                        someExtremes.Add(myReader.Position(controlPoint));
                        return known.Vertex;
                    }
                }
                ImportedVertex vertex;
                myReader.Read(aPolygon, aPolygonVertex, vertex);
                someExtremes.Add(vertex.Position);
                int found = entries.First;
                while (found >= 0 && !impl::SameKey(someVertices[myKnown[static_cast<std::size_t>(found)].Vertex], vertex))
                {
                    found = myKnown[static_cast<std::size_t>(found)].Next;
                }
                const bool isKept = entries.Count < MAX_ENTRIES_AT_POINT;
                std::uint32_t index = 0;
                if (found >= 0)
                {
                    index = myKnown[static_cast<std::size_t>(found)].Vertex;
                }
                else if (isKept && !mySharesPosition[static_cast<std::size_t>(controlPoint)])
                {
                    index = static_cast<std::uint32_t>(someVertices.size());
                    someVertices.push_back(vertex);
                }
                else
                {
                    index = myWelder.Weld(vertex, someVertices);
                }
                // Kept under this corner too, so that corners with its values find it.
                if (isKept)
                {
                    myKnown.push_back({index, aPolygon, aPolygonVertex, entries.First});
                    entries.First = static_cast<int>(myKnown.size() - 1);
                    ++entries.Count;
                }
                return index;
            }

        private:
            struct KnownCorner
            {
                std::uint32_t Vertex = 0;
                int Polygon = 0;
                int PolygonVertex = 0;
                int Next = -1;
            };
            struct PointEntries
            {
                int First = -1;
                int Count = 0;
            };

            const CornerReader& myReader;
            std::vector<KnownCorner> myKnown;
            std::vector<PointEntries> myAtPoint;
            std::vector<bool> mySharesPosition;
            impl::VertexWelder myWelder;
        };

        std::vector<ImportedMesh> ExtractMesh(const Sdk::Scene* aScene, const Sdk::Node* aNode, ImportedSkeleton& aSkeleton,
                                              bool aMergeVertices)
        {
            std::vector<ImportedMesh> result;
            const Sdk::Mesh* mesh = aNode->GetMesh();
            if (!mesh)
            {
                return result;
            }
            const Influences influences = ReadSkin(aNode, mesh, aSkeleton);
            const CornerReader cornerReader(mesh, influences);
            const Sdk::LayerElementMaterial* materials = mesh->GetElementMaterial(0);
            const int polygons = mesh->GetPolygonCount();
            const int* starts = mesh->GetPolygonStarts();
            Extremes extremes;

            const int materialCount = aNode->GetMaterialCount();
            for (int slot = 0; slot < std::max(materialCount, 1); ++slot)
            {
                ImportedMesh out;
                out.MeshName = aNode->GetNameString();
                out.MaterialIndex = materialCount > 0 ? SceneMaterialIndex(aScene, aNode->GetMaterial(slot)) : 0;
                // Merged, a mesh keeps a vertex per control point and more along its seams and hard
                // edges; room for every corner would be several times what is used, and growing
                // past the room copies every vertex.
                const std::size_t corners = static_cast<std::size_t>(mesh->GetPolygonCount()) * 3;
                const std::size_t points = static_cast<std::size_t>(mesh->GetControlPointsCount());
                out.Vertices.reserve(aMergeVertices ? std::min(corners, points + points / 2) : corners);
                out.Indices.reserve(static_cast<std::size_t>(mesh->GetPolygonCount()) * 3);
                CornerMerger merger(cornerReader, aMergeVertices ? points : 0);

                for (int polygon = 0; polygon < polygons; ++polygon)
                {
                    if (materialCount > 0 && PolygonMaterial(materials, polygon) != slot)
                    {
                        continue;
                    }
                    const int firstPolygonVertex = starts[polygon];
                    const int end = polygon + 1 < polygons ? starts[polygon + 1] : mesh->GetPolygonVertexCount();
                    if (end - firstPolygonVertex < 3)
                    {
                        continue;
                    }
                    for (int corner = 0; corner < 3; ++corner)
                    {
                        const int polygonVertex = firstPolygonVertex + corner;
                        if (!aMergeVertices)
                        {
                            ImportedVertex vertex;
                            cornerReader.Read(polygon, polygonVertex, vertex);
                            extremes.Add(vertex.Position);
                            out.Indices.push_back(static_cast<std::uint32_t>(out.Vertices.size()));
                            out.Vertices.push_back(vertex);
                            continue;
                        }
                        out.Indices.push_back(merger.Merge(polygon, polygonVertex, out.Vertices, extremes));
                    }
                }

                if (!out.Vertices.empty())
                {
                    out.Bounds = impl::BoundsFromExtremes(extremes.Min, extremes.Max);
                    out.Box = impl::BoxFromBounds(out.Bounds);
                    result.push_back(std::move(out));
                }
            }
            return result;
        }

        // ---- Materials -----------------------------------------------------------------------

        ImportedTextureSlot ReadTextureSlot(const Sdk::SurfaceMaterial* aMaterial, const char* aProperty)
        {
            ImportedTextureSlot slot;
            const Sdk::MaterialProperty property = aMaterial->FindProperty(aProperty);
            if (!property.IsValid() || property.GetLayeredTextureCount() > 0 || property.GetTextureCount() == 0)
            {
                return slot;
            }
            const Sdk::FileTexture* file = property.GetTexture(0) ? property.GetTexture(0)->AsFileTexture() : nullptr;
            if (file)
            {
                slot.Path = file->GetFileName();
                slot.RelativePath = file->GetRelativeFileName();
                slot.Name = impl::AfterLastBackslash(slot.RelativePath);
            }
            return slot;
        }

        ImportedMaterial ReadMaterial(const Sdk::SurfaceMaterial* aMaterial)
        {
            using Surface = Sdk::SurfaceMaterial;
            ImportedMaterial material;
            material.MaterialName = aMaterial->GetNameString();
            material.Emissive = ReadTextureSlot(aMaterial, Surface::EMISSIVE);
            material.Ambient = ReadTextureSlot(aMaterial, Surface::AMBIENT);
            material.Diffuse = ReadTextureSlot(aMaterial, Surface::DIFFUSE);
            material.Specular = ReadTextureSlot(aMaterial, Surface::SPECULAR);
            material.Shininess = ReadTextureSlot(aMaterial, Surface::SHININESS);
            material.Bump = ReadTextureSlot(aMaterial, Surface::BUMP);
            material.NormalMap = ReadTextureSlot(aMaterial, Surface::NORMAL_MAP);
            material.TransparentColor = ReadTextureSlot(aMaterial, Surface::TRANSPARENT_COLOR);
            material.Reflection = ReadTextureSlot(aMaterial, Surface::REFLECTION);
            material.DisplacementColor = ReadTextureSlot(aMaterial, Surface::DISPLACEMENT_COLOR);
            material.VectorDisplacementColor = ReadTextureSlot(aMaterial, Surface::VECTOR_DISPLACEMENT_COLOR);
            return material;
        }

        // ---- Opening -------------------------------------------------------------------------

        // Creates and initialises an importer for the path; null with the last import error set when
        // that fails. The caller holds the state's lock.
        Sdk::Importer* OpenImporter(const ImporterState& aState, Sdk::IOSettings* aSettings, const std::string& aPath,
                                    const std::string& aCreateFailure)
        {
            // The reader makes importers without a manager; the library's own rule is that none is
            // made before InitImporter.
            Sdk::Importer* importer = aState.Manager ? Sdk::Importer::Create(aState.Manager, "") : nullptr;
            if (!importer)
            {
                SetLastImportError(aCreateFailure);
                return nullptr;
            }
            if (!importer->Initialize(aPath.c_str(), -1, aSettings) || !importer->IsFBX())
            {
                SetLastImportError("Failed to initialize the FBX Importer! Error was: " +
                                   importer->GetStatus().GetErrorString() + ".");
                importer->Destroy();
                return nullptr;
            }
            return importer;
        }

        // Runs aRead, turning what it raises into a runtime error that nests the original.
        template <typename Read>
        auto Nested(Read&& aRead)
        {
            try
            {
                return aRead();
            }
            catch (const std::exception& error)
            {
                std::throw_with_nested(std::runtime_error(error.what()));
            }
        }

        // ---- Model ---------------------------------------------------------------------------

        // Models and animations both come out in centimetres, so a skeleton sampled from one file
        // stays on a mesh read from another whatever unit either was written in.
        void ConvertToCentimetres(Sdk::Scene* aScene)
        {
            if (aScene->GetGlobalSettings().GetSystemUnit() != Sdk::SystemUnit::cm)
            {
                Sdk::SystemUnit::ConversionOptions options;
                options.myConvertRrsNodes = false;
                Sdk::SystemUnit::cm.ConvertScene(aScene, options);
            }
            CU_ASSERT_MSG(aScene->GetGlobalSettings().GetSystemUnit() == Sdk::SystemUnit::cm,
                          "fbxScene->GetGlobalSettings().GetSystemUnit() == FbxSystemUnit::cm");
        }

        void PrepareModelScene(const ImporterState& aState, Sdk::Scene* aScene)
        {
            ConvertToCentimetres(aScene);
            aScene->ConnectMaterials();
            if (!aState.Converter->Triangulate(aScene, true, true))
            {
                aState.Converter->Triangulate(aScene, true, false);
            }
        }

        // Puts each indexed UV set's values in the order its corners first use them, the index
        // array following (values no corner uses keep their order after the rest). Blender's
        // exporter lists the values as its merging of equal ones happens to leave them, in no
        // order of the mesh, so every pass over the corners would read them at random, a cache
        // miss each on a large mesh. The corners read the same values as before.
        void OrderUvValuesByUse(Sdk::Mesh* aMesh)
        {
            for (Sdk::LayerElementUV& element : aMesh->GetUVElements())
            {
                if (element.GetReferenceMode() == Sdk::ReferenceMode::Direct)
                {
                    continue;
                }
                std::vector<Sdk::Vector2>& values = element.GetDirectArray().GetValues();
                const int count = static_cast<int>(values.size());
                std::vector<int> newIndexOf(values.size(), -1);
                std::vector<Sdk::Vector2> ordered;
                ordered.reserve(values.size());
                bool isInOrder = true;
                for (int& index : element.GetIndexArray().GetValues())
                {
                    if (index < 0 || index >= count)
                    {
                        continue;
                    }
                    int& newIndex = newIndexOf[static_cast<std::size_t>(index)];
                    if (newIndex < 0)
                    {
                        newIndex = static_cast<int>(ordered.size());
                        ordered.push_back(values[static_cast<std::size_t>(index)]);
                        isInOrder = isInOrder && newIndex == index;
                    }
                    index = newIndex;
                }
                if (isInOrder)
                {
                    continue;
                }
                for (std::size_t index = 0; index < values.size(); ++index)
                {
                    if (newIndexOf[index] < 0)
                    {
                        ordered.push_back(values[index]);
                    }
                }
                values = std::move(ordered);
            }
        }

        void PrepareMeshLayers(const std::vector<Sdk::Node*>& someMeshNodes, bool aRegenerateTangents,
                               const OpenedFile& aFile)
        {
            for (const Sdk::Node* node : someMeshNodes)
            {
                Sdk::Mesh* mesh = node->GetMesh();
                if (mesh->GetUVLayerCount() == 0)
                {
                    Fail("Cannot load FBX file! No UV layers are present in the file.");
                }
                OrderUvValuesByUse(mesh);
                const bool hasTangents = mesh->GetElementBinormalCount() > 0 && mesh->GetElementTangentCount() > 0;
                if (hasTangents && !aRegenerateTangents)
                {
                    continue;
                }
                if (!mesh->GenerateTangentsData(0, false, false))
                {
                    Fail("Failed to generate Tangent/BiNormal data for the mesh " + mesh->GetNameString() +
                         "! FBX Error was: " + aFile.ErrorText());
                }
            }
        }

        void NameSkeleton(ImportedSkeleton& aSkeleton, std::vector<ImportedSocket>& someSockets, const std::string& aPath)
        {
            if (aSkeleton.Joints.empty())
            {
                return;
            }
            aSkeleton.Name = impl::SkeletonName(aSkeleton.Joints.front().Name, aPath);
            for (ImportedSocket& socket : someSockets)
            {
                aSkeleton.Sockets.try_emplace(socket.Name, std::move(socket));
            }
        }

        ImportedLodGroup ReadLodGroup(const Sdk::Scene* aScene, const Sdk::Node* aGroupNode,
                                      std::vector<Sdk::Node*>& somePlainMeshNodes, ImportedSkeleton& aSkeleton,
                                      ImportedBounds& aModelBounds, bool aMergeVertices)
        {
            ImportedLodGroup group;
            const Sdk::LodGroup* lod = aGroupNode->GetLodGroup();
            for (int child = 0; child < aGroupNode->GetChildCount(); ++child)
            {
                ImportedLodLevel level;
                level.Level = child;
                Sdk::Distance distance;
                if (child > 0 && lod)
                {
                    lod->GetThreshold(child - 1, distance);
                }
                level.Distance = distance.value();

                std::vector<Sdk::Node*> levelNodes;
                const Sdk::Node* levelRoot = aGroupNode->GetChild(child);
                for (int below = 0; below < levelRoot->GetChildCount(); ++below)
                {
                    CollectMeshNodes(levelRoot->GetChild(below), levelNodes);
                }
                for (const Sdk::Node* node : levelNodes)
                {
                    const auto plain = std::find_if(somePlainMeshNodes.begin(), somePlainMeshNodes.end(),
                                                    [&](const Sdk::Node* aPlain) { return aPlain->GetUniqueID() == node->GetUniqueID(); });
                    if (plain != somePlainMeshNodes.end())
                    {
                        somePlainMeshNodes.erase(plain);
                    }
                    for (ImportedMesh& mesh : ExtractMesh(aScene, node, aSkeleton, aMergeVertices))
                    {
                        aModelBounds = impl::MergeBoxes(aModelBounds, mesh.Bounds);
                        level.Meshes.push_back(std::move(mesh));
                    }
                }
                group.push_back(std::move(level));
            }
            return group;
        }

        void ReadModel(const ImporterState& aState, const OpenedFile& aFile, const std::string& aPath,
                       ImportedModel& anOutModel, bool aRegenerateTangents, bool aMergeVertices)
        {
            Sdk::Scene* scene = aFile.Scene();
            PrepareModelScene(aState, scene);

            std::vector<ImportedMaterial> materials;
            for (int i = 0; i < scene->GetMaterialCount(); ++i)
            {
                materials.push_back(ReadMaterial(scene->GetMaterial(i)));
            }

            std::vector<Sdk::Node*> meshNodes;
            CollectMeshNodes(scene->GetRootNode(), meshNodes);
            std::vector<Sdk::Node*> groupNodes;
            CollectLodGroupNodes(scene->GetRootNode(), groupNodes);

            PrepareMeshLayers(meshNodes, aRegenerateTangents, aFile);
            aState.TargetAxisSystem.DeepConvertScene(scene);

            SkeletonWalk walk;
            CollectSkeleton(scene->GetRootNode(), walk, -1);
            NameSkeleton(walk.Skeleton, walk.Sockets, aPath);

            ImportedBounds bounds;
            std::vector<ImportedLodGroup> lodGroups;
            for (const Sdk::Node* groupNode : groupNodes)
            {
                lodGroups.push_back(ReadLodGroup(scene, groupNode, meshNodes, walk.Skeleton, bounds, aMergeVertices));
            }
            std::vector<ImportedMesh> meshes;
            for (const Sdk::Node* node : meshNodes)
            {
                for (ImportedMesh& mesh : ExtractMesh(scene, node, walk.Skeleton, aMergeVertices))
                {
                    bounds = impl::MergeBoxes(bounds, mesh.Bounds);
                    meshes.push_back(std::move(mesh));
                }
            }

            if (meshes.empty() && lodGroups.empty())
            {
                return;
            }
            anOutModel.Path = aPath;
            anOutModel.Meshes = std::move(meshes);
            anOutModel.LodGroups = std::move(lodGroups);
            anOutModel.Skeleton = std::move(walk.Skeleton);
            anOutModel.Materials = std::move(materials);
            anOutModel.Bounds = bounds;
            anOutModel.Box = impl::BoxFromBounds(bounds);
        }

        // ---- Animation -----------------------------------------------------------------------

        // Frames past this are taken for a damaged time span rather than a take to sample.
        constexpr std::int64_t MAX_SAMPLED_FRAMES = 100000;

        bool IsEventActive(const ImportedMatrix& aLocal)
        {
            // The square of the sum, not the sum of squares: components that cancel read as still.
            const float sum = aLocal.Data[12] + aLocal.Data[13] + aLocal.Data[14];
            return sum * sum > 0.f;
        }

        // One frame's transforms, each node's evaluated once: a joint's global is its parent's global
        // times its local, so chains are not walked again for every joint below them.
        class FrameTransforms
        {
        public:
            explicit FrameTransforms(Sdk::Time aTime) : myTime(aTime) {}

            const Sdk::Matrix& Local(const Sdk::Node* aNode)
            {
                Entry& entry = myEntries[aNode];
                if (!entry.HasLocal)
                {
                    entry.Local = aNode->EvaluateLocalTransform(myTime, Sdk::PivotSet::SourcePivot);
                    entry.HasLocal = true;
                }
                return entry.Local;
            }

            const Sdk::Matrix& Global(const Sdk::Node* aNode)
            {
                if (const auto found = myEntries.find(aNode); found != myEntries.end() && found->second.HasGlobal)
                {
                    return found->second.Global;
                }
                Sdk::Matrix global;
                const Sdk::Node* parent = aNode->GetParent();
                if (parent && aNode->GetInheritType() == Sdk::InheritType::RSrs)
                {
                    const Sdk::Matrix parentGlobal = Global(parent);
                    global = parentGlobal * Local(aNode);
                }
                else
                {
                    // Other inherit types mix the parent's scaling in; the node works those out itself.
                    global = aNode->EvaluateGlobalTransform(myTime, Sdk::PivotSet::SourcePivot);
                }
                Entry& entry = myEntries[aNode];
                entry.Global = global;
                entry.HasGlobal = true;
                return entry.Global;
            }

        private:
            struct Entry
            {
                Sdk::Matrix Local;
                Sdk::Matrix Global;
                bool HasLocal = false;
                bool HasGlobal = false;
            };
            Sdk::Time myTime;
            std::unordered_map<const Sdk::Node*, Entry> myEntries;
        };

        template <typename Record>
        std::vector<std::pair<const Record*, const Sdk::Node*>> FindNodes(const Sdk::Scene* aScene,
                                                                         const std::vector<Record>& someRecords)
        {
            std::vector<std::pair<const Record*, const Sdk::Node*>> found;
            for (const Record& record : someRecords)
            {
                found.emplace_back(&record, aScene->FindNodeByName(record.Name));
            }
            return found;
        }

        void ReadAnimation(const ImporterState& aState, const OpenedFile& aFile, const std::string& aPath,
                           ImportedAnimation& anOutAnimation)
        {
            Sdk::Scene* scene = aFile.Scene();
            ConvertToCentimetres(scene);
            aState.TargetAxisSystem.DeepConvertScene(scene);

            SkeletonWalk walk;
            CollectSkeleton(scene->GetRootNode(), walk, -1);
            if (walk.Skeleton.Joints.empty())
            {
                Fail("The file [" + aPath + "] has no skeleton!");
            }
            std::vector<std::string> jointNames;
            for (const ImportedJoint& joint : walk.Skeleton.Joints)
            {
                jointNames.push_back(joint.Name);
            }

            const Sdk::AnimStack* stack = aFile.Importer()->GetAnimStackCount() > 0 ? scene->GetAnimStack(0) : nullptr;
            if (!stack)
            {
                Fail("The file [" + aPath + "] has no animation stack!");
            }
            const Sdk::TakeInfo* take = scene->GetTakeInfo(stack->GetNameString());
            const Sdk::TimeSpan span = take ? take->myLocalTimeSpan : stack->GetLocalTimeSpan();
            const Sdk::TimeMode timeMode = scene->GetGlobalSettings().GetTimeMode();

            const std::int64_t firstFrame = span.GetStart().GetFrameCount(timeMode);
            const std::int64_t lastFrame = span.GetStop().GetFrameCount(timeMode);
            const std::int64_t frameCount = std::max<std::int64_t>(lastFrame - firstFrame + 1, 0);
            if (frameCount > MAX_SAMPLED_FRAMES)
            {
                Fail("The file [" + aPath + "] has a take of " + std::to_string(frameCount) + " frames, too many to sample!");
            }

            anOutAnimation.JointNames = std::move(jointNames);
            anOutAnimation.Path = aPath;
            anOutAnimation.FramesCount = static_cast<std::uint32_t>(frameCount);
            anOutAnimation.FramesPerSecond = impl::ToFloat(timeMode.GetFrameRate());
            anOutAnimation.Duration = span.GetStop().GetSecondDouble() - span.GetStart().GetSecondDouble();
            anOutAnimation.Frames.clear();
            anOutAnimation.Frames.resize(static_cast<std::size_t>(frameCount));

            const auto joints = FindNodes(scene, walk.Skeleton.Joints);
            const auto sockets = FindNodes(scene, walk.Sockets);
            const auto events = FindNodes(scene, walk.Events);
            for (std::int64_t frame = firstFrame; frame <= lastFrame; ++frame)
            {
                Sdk::Time time;
                time.SetFrame(frame, timeMode);
                ImportedAnimationFrame& out = anOutAnimation.Frames[static_cast<std::size_t>(frame - firstFrame)];
                FrameTransforms transforms(time);
                for (const auto& [joint, node] : joints)
                {
                    out.LocalTransforms[joint->NameShort] = node ? ToImported(transforms.Local(node)) : ImportedMatrix{};
                    out.GlobalTransforms[joint->NameShort] = node ? ToImported(transforms.Global(node)) : ImportedMatrix{};
                }
                for (const auto& [socket, node] : sockets)
                {
                    out.SocketTransforms[socket->Name] = node ? ToImported(transforms.Global(node)) : ImportedMatrix{};
                }
                for (const auto& [event, node] : events)
                {
                    if (node && IsEventActive(ToImported(transforms.Local(node))))
                    {
                        out.TriggeredEvents[event->Name] = true;
                    }
                }
            }
        }
    }

    void InitImporter()
    {
        ImporterState& state = GetState();
        std::unique_lock lock(state.Lock);
        if (state.Manager)
        {
            return;
        }
        state.Manager = Sdk::Manager::Create();
        state.Settings = Sdk::IOSettings::Create(state.Manager, "VRA");
        state.Settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Texture", false);
        state.Settings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|ExtractEmbeddedData", false);
        state.AnimationSettings = Sdk::IOSettings::Create(state.Manager, "VRA Animation");
        state.AnimationSettings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|Texture", false);
        state.AnimationSettings->SetBoolProp("Import|AdvOptGrp|FileFormat|Fbx|ExtractEmbeddedData", false);
        state.AnimationSettings->SetBoolProp(Sdk::IOSettings::GEOMETRY, false);
        state.Importer = Sdk::Importer::Create(state.Manager, "");
        state.Converter = new Sdk::GeometryConverter(state.Manager);
        state.TargetAxisSystem = Sdk::AxisSystem(static_cast<Sdk::AxisSystem::PreDefined>(5));
    }

    void UninitImporter()
    {
        ImporterState& state = GetState();
        std::unique_lock lock(state.Lock);
        if (!state.Manager)
        {
            return;
        }
        // The manager takes the settings and the importer with it.
        state.Manager->Destroy();
        delete state.Converter;
        state.Manager = nullptr;
        state.Settings = nullptr;
        state.AnimationSettings = nullptr;
        state.Converter = nullptr;
        state.Importer = nullptr;
    }

    bool LoadModel(const std::string& aPath, ImportedModel& anOutModel, bool aRegenerateTangents, bool aMergeVertices)
    {
        if (!std::filesystem::exists(aPath))
        {
            SetLastImportError("FBX File not found! (" + aPath + ")");
            return false;
        }
        const ImporterState& state = GetState();
        std::shared_lock lock(GetState().Lock);
        Sdk::Importer* importer =
            OpenImporter(state, state.Settings, aPath, "Failed to create the FBX Importer! Did you call InitImporter()?");
        if (!importer)
        {
            return false;
        }
        OpenedFile file(importer);
        file.SetScene(Sdk::Scene::Create(state.Manager, "The Scene"));
        if (!importer->Import(file.Scene()))
        {
            if (!file.StatusIsSuccess())
            {
                SetLastImportError("Failed to import the FBX file! Error was: " + file.ErrorText() + ".");
            }
            return file.StatusIsSuccess();
        }
        Nested([&] { ReadModel(state, file, aPath, anOutModel, aRegenerateTangents, aMergeVertices); });
        return file.StatusIsSuccess();
    }

    bool LoadAnimation(const std::string& aPath, ImportedAnimation& anOutAnimation)
    {
        if (!std::filesystem::exists(aPath))
        {
            SetLastImportError("FBX File not found! (" + aPath + ")");
            return false;
        }
        const ImporterState& state = GetState();
        std::shared_lock lock(GetState().Lock);
        Sdk::Importer* importer = OpenImporter(
            state, state.AnimationSettings, aPath, "Failed to create the FBX Importer! Error was: the library is not started (InitImporter).");
        if (!importer)
        {
            return false;
        }
        OpenedFile file(importer);
        file.SetScene(Sdk::Scene::Create(state.Manager, "The Scene"));
        Nested([&] {
            if (importer->Import(file.Scene()))
            {
                ReadAnimation(state, file, aPath, anOutAnimation);
            }
            if (!file.StatusIsSuccess())
            {
                Fail("Failed to import the animation. " + file.ErrorText());
            }
        });
        return true;
    }

    std::string GetLastImportError()
    {
        std::lock_guard lock(LastImportErrorLock());
        return LastImportError();
    }
}
