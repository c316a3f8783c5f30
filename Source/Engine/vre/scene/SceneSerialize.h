#pragma once
#include "Math/Matrix4x4.h"
#include "scene/Scene.h"
#include "scene/SceneObject.h"

namespace Vra
{
    // Reads the scene folder <game asset folder>/aScenePath with the extension ".leveldata": one JSON
    // file per object, named by the object's UUID. True also when the folder does not exist (an
    // empty scene); JSON and file-system errors pass to the caller. Files whose names are not UUIDs
    // and properties of unregistered types are left out, each with a line on standard output.
    bool LoadScene(const char* aScenePath, Scene& aScene);

    namespace impl
    {
        // LoadScene with the object files read and parsed on aThreadCount threads, the calling one
        // among them; 0 chooses by the number of files and the processors at hand. Objects, ids,
        // messages and errors come in the folder's order whatever the count.
        bool LoadScene(const char* aScenePath, Scene& aScene, unsigned aThreadCount);
    }

    // Sets translation, rotation (degrees) and scale from a row-major transform. A row of zero
    // length leaves no rotation to recover, so the rotation is then none.
    void DecomposeTransform(SceneObject& anObject, const Matrix4x4& aTransform);
}
