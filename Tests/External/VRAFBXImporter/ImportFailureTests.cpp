#include "ImporterTestSupport.h"

using namespace Vra::FBX;
using namespace FbxTest;

namespace
{
    class ImportFailure : public ImporterTest
    {
    };

    // A model or an animation that a load must leave as it was.
    ImportedModel Untouched()
    {
        ImportedModel model;
        model.Path = "untouched";
        return model;
    }
}

TEST_F(ImportFailure, MissingFileReportsItsPathAndLeavesTheOutputAlone)
{
    const std::string path = DataFile("no_such_file.fbx");
    ImportedModel model = Untouched();
    EXPECT_FALSE(LoadModel(path, model));
    EXPECT_EQ(GetLastImportError(), "FBX File not found! (" + path + ")");
    EXPECT_EQ(model.Path, "untouched");

    SetUp();
    ImportedAnimation animation;
    animation.Path = "untouched";
    EXPECT_FALSE(LoadAnimation(DataFile("other_missing.fbx"), animation));
    EXPECT_EQ(GetLastImportError(), "FBX File not found! (" + DataFile("other_missing.fbx") + ")");
    EXPECT_EQ(animation.Path, "untouched");
}

TEST_F(ImportFailure, FileThatIsNotFbxFailsToInitialise)
{
    const ScratchFolder folder;
    const std::string path = folder.Write("notes.fbx", "these are not the bytes of an FBX file\n");
    ImportedModel model = Untouched();
    EXPECT_FALSE(LoadModel(path, model));
    const std::string error = GetLastImportError();
    EXPECT_EQ(error.rfind("Failed to initialize the FBX Importer! Error was: ", 0), 0u) << error;
    EXPECT_EQ(error.back(), '.');
    EXPECT_EQ(model.Path, "untouched");

    ImportedAnimation animation;
    EXPECT_FALSE(LoadAnimation(path, animation));
    EXPECT_EQ(GetLastImportError().rfind("Failed to initialize the FBX Importer! Error was: ", 0), 0u);
}

TEST_F(ImportFailure, LoadsBeforeTheLibraryStartsFailToCreateAnImporter)
{
    UninitImporter();
    UninitImporter(); // a second stop does nothing
    ImportedModel model = Untouched();
    EXPECT_FALSE(LoadModel(DataFile("cube_cm.fbx"), model));
    EXPECT_EQ(GetLastImportError(), "Failed to create the FBX Importer! Did you call InitImporter()?");
    EXPECT_EQ(model.Path, "untouched");

    ImportedAnimation animation;
    EXPECT_FALSE(LoadAnimation(DataFile("character.fbx"), animation));
    const std::string error = GetLastImportError();
    EXPECT_EQ(error.rfind("Failed to create the FBX Importer! Error was: ", 0), 0u) << error;
    EXPECT_EQ(error.back(), '.');

    // Started again, the importer is made and gets as far as the file's content.
    InitImporter();
    InitImporter(); // a second start does nothing
    const ScratchFolder folder;
    EXPECT_FALSE(LoadModel(folder.Write("text.fbx", "plain text"), model));
    EXPECT_EQ(GetLastImportError().rfind("Failed to initialize the FBX Importer!", 0), 0u) << GetLastImportError();
}
