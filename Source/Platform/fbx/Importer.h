#pragma once
#include "fbx/Status.h"

#include <cstddef>
#include <string>
#include <vector>

namespace Vra::Fbx
{
    class Manager;
    class IOSettings;
    class Scene;

    // Reads one FBX file (binary 7.x with 32- or 64-bit record headers, or ASCII 7.x) into a
    // scene. Each importer is used by one thread at a time; different importers run in parallel.
    class Importer
    {
    public:
        // aManager may be null; an importer made with one is destroyed with it unless destroyed first.
        static Importer* Create(Manager* aManager, const char* aName);
        void Destroy();

        // Reads the file into memory and checks it is FBX. aFileFormat: -1 detects the format
        // (the only value this reader knows). False, with the status set, when the file cannot be
        // read or is not FBX. aSettings' IOSettings::GEOMETRY applies to the imports that follow.
        bool Initialize(const char* aPath, int aFileFormat = -1, IOSettings* aSettings = nullptr);
        // The same for bytes already in memory (copied).
        bool InitializeFromMemory(const void* someData, size_t aSize, IOSettings* aSettings = nullptr);
        bool IsFBX() const { return myIsFbx; }
        bool IsBinary() const { return myIsBinary; }
        int GetFileVersion() const { return myVersion; } // 7400, 7500, ...; 0 before Initialize

        // Parses the whole file into aScene (emptied first). False with a status error for any
        // malformed content; the scene is then left empty.
        bool Import(Scene* aScene);

        // After a successful Import: the number of animation stacks the file holds.
        int GetAnimStackCount() const { return myAnimStackCount; }

        const Status& GetStatus() const { return myStatus; }

    private:
        friend class Manager;
        explicit Importer(Manager* aManager) : myManager(aManager) {}
        ~Importer() = default;
        bool Accept(std::vector<unsigned char> someBytes);

        Manager* myManager;
        Status myStatus;
        std::vector<unsigned char> myBytes;
        bool myIsFbx = false;
        bool myIsBinary = false;
        bool myReadsGeometry = true;
        int myVersion = 0;
        int myAnimStackCount = 0;
    };
}
