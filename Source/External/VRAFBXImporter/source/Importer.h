#pragma once
#include "ImportedRecords.h"

#include <string>

// Reads FBX files into the imported records. Free functions over one library-wide state; safe to
// call from several threads at once (a shut-down waits for the imports that are running).
namespace Vra::FBX
{
    // Starts the library; does nothing when it is already started.
    void InitImporter();
    // Stops the library; imports after this fail until the next InitImporter.
    void UninitImporter();

    // False with a message in the last import error when the file cannot be opened or read; throws a
    // std::runtime_error (nested) for malformed content. `anOutModel` is written only on success.
    bool LoadModel(const std::string& aPath, ImportedModel& anOutModel, bool aRegenerateTangents = false,
                   bool aMergeVertices = true);

    // Samples the file's first animation stack frame by frame; same failure rules as LoadModel.
    bool LoadAnimation(const std::string& aPath, ImportedAnimation& anOutAnimation);

    // The text of the last failure that an import reported by a false result, from any thread.
    std::string GetLastImportError();
}
