#include "fbx/Importer.h"

#include "fbx/IOSettings.h"
#include "fbx/Manager.h"
#include "fbx/Scene.h"
#include "fbx/impl/FormatDetection.h"
#include "fbx/impl/SceneBuilder.h"

#include <cstring>
#include <fstream>

namespace Vra::Fbx
{
    Importer* Importer::Create(Manager* aManager, const char* /*aName*/)
    {
        Importer* importer = new Importer(aManager);
        if (aManager)
        {
            aManager->Register(importer);
        }
        return importer;
    }

    void Importer::Destroy()
    {
        if (myManager)
        {
            myManager->Unregister(this);
        }
        delete this;
    }

    bool Importer::Initialize(const char* aPath, int aFileFormat, IOSettings* aSettings)
    {
        myReadsGeometry = aSettings == nullptr || aSettings->GetBoolProp(IOSettings::GEOMETRY, true);
        myBytes.clear();
        myIsFbx = false;
        myIsBinary = false;
        myVersion = 0;
        myAnimStackCount = 0;
        myStatus.Clear();
        if (aFileFormat != -1)
        {
            myStatus.SetCode(Status::Code::InvalidParameter, "Unknown file format " + std::to_string(aFileFormat));
            return false;
        }
        std::ifstream file(aPath ? aPath : "", std::ios::binary | std::ios::ate);
        if (!file)
        {
            myStatus.SetCode(Status::Code::FileNotFound, std::string("Cannot open file ") + (aPath ? aPath : ""));
            return false;
        }
        const std::streamoff size = file.tellg();
        std::vector<unsigned char> bytes(size > 0 ? static_cast<size_t>(size) : 0);
        file.seekg(0);
        if (size < 0 || !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        {
            myStatus.SetCode(Status::Code::FileNotFound, std::string("Cannot read file ") + aPath);
            return false;
        }
        return Accept(std::move(bytes));
    }

    bool Importer::InitializeFromMemory(const void* someData, size_t aSize, IOSettings* aSettings)
    {
        myStatus.Clear();
        myReadsGeometry = aSettings == nullptr || aSettings->GetBoolProp(IOSettings::GEOMETRY, true);
        const auto* bytes = static_cast<const unsigned char*>(someData);
        return Accept(std::vector<unsigned char>(bytes, bytes + aSize));
    }

    bool Importer::Accept(std::vector<unsigned char> someBytes)
    {
        myAnimStackCount = 0;
        myBytes = std::move(someBytes);
        const FormatInfo format = DetectFormat(myBytes.data(), myBytes.size());
        myIsFbx = format.myIsFbx;
        myIsBinary = format.myIsBinary;
        myVersion = format.myVersion;
        if (!myIsFbx)
        {
            myStatus.SetCode(Status::Code::InvalidFile, "File is not an FBX file");
            return false;
        }
        if (myVersion != 0 && (myVersion < 7000 || myVersion >= 8000))
        {
            myStatus.SetCode(Status::Code::InvalidFileVersion,
                             "Unsupported FBX version " + std::to_string(myVersion) + " (7.x is read)");
            myIsFbx = false;
            return false;
        }
        return true;
    }

    bool Importer::Import(Scene* aScene)
    {
        myStatus.Clear();
        myAnimStackCount = 0;
        if (!aScene)
        {
            myStatus.SetCode(Status::Code::InvalidParameter, "No scene to import into");
            return false;
        }
        if (!myIsFbx)
        {
            myStatus.SetCode(Status::Code::InvalidFile, "The importer holds no FBX file");
            aScene->Clear();
            return false;
        }
        if (!SceneBuilder::Build(myBytes.data(), myBytes.size(), *aScene, myStatus, myReadsGeometry))
        {
            return false;
        }
        myAnimStackCount = aScene->GetAnimStackCount();
        return true;
    }
}
