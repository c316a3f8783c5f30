#include "fbx/Mesh.h"

#include <array>
#include <cmath>

namespace Vra::Fbx
{
    namespace
    {
        constexpr int MAX_CLIPPED_CORNERS = 256;

        struct Point2
        {
            double x;
            double y;
        };

        double Cross(const Point2& anOrigin, const Point2& aFirst, const Point2& aSecond)
        {
            return (aFirst.x - anOrigin.x) * (aSecond.y - anOrigin.y) - (aFirst.y - anOrigin.y) * (aSecond.x - anOrigin.x);
        }

        bool Inside(const Point2& aPoint, const Point2& anA, const Point2& aB, const Point2& aC)
        {
            return Cross(anA, aB, aPoint) >= 0.0 && Cross(aB, aC, aPoint) >= 0.0 && Cross(aC, anA, aPoint) >= 0.0;
        }

        // Corner triples (positions within the polygon) covering the polygon. Ear clipping in the
        // polygon's plane; a fan where the polygon is too degenerate to clip.
        struct Scratch
        {
            std::vector<Point2> myPoints;
            std::vector<int> myRemaining;
        };

        void TriangulatePolygon(const std::vector<Vector4>& someCorners, std::vector<std::array<int, 3>>& someTriangles,
                                Scratch& aScratch)
        {
            const int count = static_cast<int>(someCorners.size());
            someTriangles.clear();
            if (count < 3)
            {
                return;
            }
            if (count == 3 || count > MAX_CLIPPED_CORNERS)
            {
                // Ear clipping is cubic in the corners; huge polygons are fanned.
                for (int corner = 1; corner + 1 < count; ++corner)
                {
                    someTriangles.push_back({ 0, corner, corner + 1 });
                }
                return;
            }
            // Newell's normal picks the plane to project onto and the winding.
            double normal[3] = { 0.0, 0.0, 0.0 };
            for (int i = 0; i < count; ++i)
            {
                const Vector4& a = someCorners[i];
                const Vector4& b = someCorners[(i + 1) % count];
                normal[0] += (a[1] - b[1]) * (a[2] + b[2]);
                normal[1] += (a[2] - b[2]) * (a[0] + b[0]);
                normal[2] += (a[0] - b[0]) * (a[1] + b[1]);
            }
            int dominant = 0;
            for (int axis = 1; axis < 3; ++axis)
            {
                if (std::abs(normal[axis]) > std::abs(normal[dominant]))
                {
                    dominant = axis;
                }
            }
            const int u = (dominant + 1) % 3;
            const int v = (dominant + 2) % 3;
            const double sign = normal[dominant] < 0.0 ? -1.0 : 1.0;
            std::vector<Point2>& points = aScratch.myPoints;
            std::vector<int>& remaining = aScratch.myRemaining;
            points.resize(count);
            remaining.resize(count);
            for (int i = 0; i < count; ++i)
            {
                points[i] = { someCorners[i][u], someCorners[i][v] * sign };
                remaining[i] = i;
            }
            int guard = 0;
            while (remaining.size() > 3 && guard < count * count)
            {
                ++guard;
                const int size = static_cast<int>(remaining.size());
                bool clipped = false;
                for (int i = 0; i < size && !clipped; ++i)
                {
                    const int previous = remaining[(i + size - 1) % size];
                    const int current = remaining[i];
                    const int next = remaining[(i + 1) % size];
                    if (Cross(points[previous], points[current], points[next]) <= 0.0)
                    {
                        continue; // reflex or flat corner
                    }
                    bool empty = true;
                    for (const int other : remaining)
                    {
                        if (other != previous && other != current && other != next &&
                            Inside(points[other], points[previous], points[current], points[next]))
                        {
                            empty = false;
                            break;
                        }
                    }
                    if (empty)
                    {
                        someTriangles.push_back({ previous, current, next });
                        remaining.erase(remaining.begin() + i);
                        clipped = true;
                    }
                }
                if (!clipped)
                {
                    break;
                }
            }
            if (remaining.size() == 3)
            {
                someTriangles.push_back({ remaining[0], remaining[1], remaining[2] });
                return;
            }
            // Self-intersecting or collapsed: fan over what is left.
            for (size_t i = 1; i + 1 < remaining.size(); ++i)
            {
                someTriangles.push_back({ remaining[0], remaining[i], remaining[i + 1] });
            }
        }

        template <typename T>
        std::vector<T> Pick(const std::vector<T>& someValues, const std::vector<int>& aSourceOf)
        {
            std::vector<T> result;
            result.reserve(aSourceOf.size());
            for (const int source : aSourceOf)
            {
                result.push_back(someValues[source]);
            }
            return result;
        }

        // Carries one element over to the new polygons: by polygon vertex and by polygon mappings
        // follow their source; the others do not depend on the polygons. A direct element becomes
        // an indexed one over its own values, rather than a copy of a value for every new corner.
        template <typename Element>
        void Remap(Element& anElement, const std::vector<int>& aVertexSource, const std::vector<int>& aPolygonSource)
        {
            const std::vector<int>* source = nullptr;
            if (anElement.GetMappingMode() == MappingMode::ByPolygonVertex)
            {
                source = &aVertexSource;
            }
            else if (anElement.GetMappingMode() == MappingMode::ByPolygon)
            {
                source = &aPolygonSource;
            }
            if (!source)
            {
                return;
            }
            if (anElement.GetReferenceMode() == ReferenceMode::Direct)
            {
                anElement.GetIndexArray().GetValues() = *source;
                anElement.SetReferenceMode(ReferenceMode::IndexToDirect);
            }
            else
            {
                anElement.GetIndexArray().GetValues() = Pick(anElement.GetIndexArray().GetValues(), *source);
            }
        }
    }

    bool Mesh::Triangulate()
    {
        if (IsTriangleMesh())
        {
            return true;
        }
        std::vector<int> starts;
        std::vector<int> vertices;
        std::vector<int> vertexSource;  // new polygon vertex -> old polygon vertex
        std::vector<int> polygonSource; // new polygon -> old polygon
        std::vector<Vector4> corners;
        std::vector<std::array<int, 3>> triangles;
        Scratch scratch;
        starts.reserve(myPolygonStarts.size() * 2);
        vertices.reserve(myPolygonVertices.size() * 2);
        vertexSource.reserve(myPolygonVertices.size() * 2);
        polygonSource.reserve(myPolygonStarts.size() * 2);
        for (int polygon = 0; polygon < GetPolygonCount(); ++polygon)
        {
            const int first = myPolygonStarts[polygon];
            const int size = GetPolygonSize(polygon);
            corners.clear();
            for (int corner = 0; corner < size; ++corner)
            {
                corners.push_back(myControlPoints[myPolygonVertices[first + corner]]);
            }
            TriangulatePolygon(corners, triangles, scratch);
            for (const std::array<int, 3>& triangle : triangles)
            {
                starts.push_back(static_cast<int>(vertices.size()));
                polygonSource.push_back(polygon);
                for (const int corner : triangle)
                {
                    vertices.push_back(myPolygonVertices[first + corner]);
                    vertexSource.push_back(first + corner);
                }
            }
        }
        const bool hadPolygons = GetPolygonCount() > 0;
        for (auto& element : myNormals) Remap(element, vertexSource, polygonSource);
        for (auto& element : myTangents) Remap(element, vertexSource, polygonSource);
        for (auto& element : myBinormals) Remap(element, vertexSource, polygonSource);
        for (auto& element : myUvs) Remap(element, vertexSource, polygonSource);
        for (auto& element : myColors) Remap(element, vertexSource, polygonSource);
        for (auto& element : myMaterials) Remap(element, vertexSource, polygonSource);
        myPolygonStarts = std::move(starts);
        myPolygonVertices = std::move(vertices);
        return !hadPolygons || GetPolygonCount() > 0;
    }
}
