// The level loader: turns a scene folder into the level's objects by tag, name, group and key.
#include "level/LevelState.h"

#include "events/BlackBarEvent.h"
#include "events/CutsceneEvent.h"
#include "events/FoxAttackEvent.h"
#include "events/FoxSneakEvent.h"
#include "events/LevelLoadEvent.h"
#include "events/TriggeredEvent.h"
#include "events/TutorialPromptEvent.h"
#include "level/ObjectTransform.h"
#include "level/PropertyReader.h"
#include "objects/AbilityPickup.h"
#include "objects/Checkpoint.h"
#include "objects/IcicleSystem.h"
#include "objects/PogoPad.h"
#include "overlays/Transition.h"
#include "player/Box.h"
#include "player/CameraController.h"
#include "player/CollisionSet.h"
#include "player/EventTrigger.h"
#include "player/Player.h"

#include "Engine.h"
#include "graphics/Camera.h"
#include "graphics/TextureManager.h"
#include "model/ModelFactory.h"
#include "properties/PropertyTypes.h"
#include "properties/SceneModel.h"
#include "properties/SceneSprite.h"
#include "scene/ObjectDefinitionManager.h"
#include "scene/ObjectDefinitionSerialize.h"
#include "scene/Scene.h"
#include "scene/SceneObject.h"
#include "scene/SceneSerialize.h"
#include "settings/Settings.h"
#include "stringRegistry/StringRegistry.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>

namespace
{
    using ModelValue = Vra::CopyOnWriteWrapper<Vra::SceneModel>;
    using SpriteValue = Vra::CopyOnWriteWrapper<Vra::SceneSprite>;

    constexpr float UNIT = 100.0f;
    constexpr float CHECKPOINT_HEIGHT = 500.0f;
    constexpr int CHECKPOINT_SIZE_DIVISOR = 8;
    constexpr float HALF_VIEW_WIDTH = 800.0f;
    constexpr float HALF_VIEW_HEIGHT = 450.0f;

    // Every tag, name, group and key the loader reads, interned once.
    struct Keys
    {
        static Vra::StringId Of(const char* aText) { return Vra::StringRegistry::RegisterOrGet(aText); }

        Vra::StringId myTag = Of("Tag");
        Vra::StringId myIcicleTag = Of("Iceicle");
        Vra::StringId myCheckpointTag = Of("Checkpoint");
        Vra::StringId myPogoTag = Of("Pogo");
        Vra::StringId myAbilityTag = Of("Ability");
        Vra::StringId myWallTag = Of("AABB");
        Vra::StringId myNonWallTag = Of("NonWallAABB");
        Vra::StringId myOneWayTag = Of("OneWayAABB");
        Vra::StringId myTrapTag = Of("Trap");
        Vra::StringId myPlayerTag = Of("Player");
        Vra::StringId myBackTag = Of("BG");
        Vra::StringId myFrontTag = Of("FG");
        Vra::StringId myMiddleTag = Of("LG");
        Vra::StringId myEventTag = Of("EventEffect");
        Vra::StringId myTriggerTag = Of("EventTrigger");

        Vra::StringId myMusicGroup = Of("SFXLevelSelect");
        Vra::StringId myVfxGroup = Of("VFXBlock");

        Vra::StringId myEcho = Of("Echo");
        Vra::StringId myLevel = Of("Level");
        Vra::StringId myEchoDelay = Of("EchoDelay");
        Vra::StringId myEchoFeedback = Of("EchoFeedback");
        Vra::StringId myEchoDryLevel = Of("EchoDryLevel");
        Vra::StringId myEchoWetLevel = Of("EchoWetLevel");
        Vra::StringId myVfxName = Of("VFXName");
        Vra::StringId myLooping = Of("Looping");

        Vra::StringId myFollowSpeed = Of("FollowSpeed");
        Vra::StringId myLookAheadDistance = Of("LookAheadDistance");
        Vra::StringId myNoSnow = Of("NoSnow");
        Vra::StringId myShowCaveParticles = Of("ShowCaveParticles");

        Vra::StringId myStartWithDash = Of("StartWithDash");
        Vra::StringId myStartWithDoubleJump = Of("StartWithDoubleJump");
        Vra::StringId myStartWithWallJump = Of("StartWithWallJump");

        Vra::StringId myFlag = Of("Flag");
        Vra::StringId myOrder = Of("Order");
        Vra::StringId myDuration = Of("Duration");
        Vra::StringId mySpeed = Of("Speed");
        Vra::StringId myAnimationSpeed = Of("AnimationSpeed");
        Vra::StringId myGoingLeft = Of("GoingLeft");
        Vra::StringId myInBackground = Of("InBackground");
        Vra::StringId myLevelPath = Of("LevelPath");
        Vra::StringId myAbility = Of("Ability");
        Vra::StringId myAnimation = Of("Animation");
        Vra::StringId myCutscene = Of("Cutscene");
        Vra::StringId myDelay = Of("Delay");

        Vra::StringId myRadius = Of("Radius");
        Vra::StringId myCooldown = Of("Cooldown");
        Vra::StringId myDistance = Of("Distance");
        Vra::StringId myUp = Of("Up");
        Vra::StringId myInvertMoveDirection = Of("InvertMoveDirection");
    };

    const Keys& GetKeys()
    {
        static const Keys keys;
        return keys;
    }

    // The editor's unit box: p to p + 100 s on each axis, min holding the smaller end.
    Box UnitBox(const Vra::SceneObject& anObject)
    {
        const Vra::Vector3<float>& p = anObject.myTranslation;
        const Vra::Vector3<float> q = p + Vra::Vector3<float>{ UNIT * anObject.myScale.x, UNIT * anObject.myScale.y, UNIT * anObject.myScale.z };
        return { { std::min(p.x, q.x), std::min(p.y, q.y), std::min(p.z, q.z) }, { std::max(p.x, q.x), std::max(p.y, q.y), std::max(p.z, q.z) } };
    }

    bool IsModel(const Vra::PropertyDefinition& aProperty)
    {
        return aProperty.myType == &Vra::PropertyType<ModelValue>::Get() && aProperty.myValue.Holds<ModelValue>();
    }

    bool IsSprite(const Vra::PropertyDefinition& aProperty)
    {
        return aProperty.myType == &Vra::PropertyType<SpriteValue>::Get() && aProperty.myValue.Holds<SpriteValue>();
    }

    // The model a Model property names, when its path resolves to a file and the file loads.
    std::shared_ptr<Vra::Model> LoadModelOf(const Vra::PropertyDefinition& aProperty, bool& anIsResolved)
    {
        const Vra::StringId path = aProperty.myValue.Get<ModelValue>()->myModelPath;
        anIsResolved = !Vra::ResolveAssetPath(path.View()).empty();
        if (!anIsResolved)
        {
            return nullptr;
        }
        return Vra::ModelFactory::GetInstance().GetModel(path.CStr());
    }

    Vra::ModelInstance PlacedInstance(std::shared_ptr<Vra::Model> aModel, const Vra::SceneObject& anObject)
    {
        Vra::ModelInstance instance;
        instance.Init(std::move(aModel));
        instance.SetTransform(ObjectTransformToMatrix(anObject));
        return instance;
    }

    // The first Model property whose model loads, placed by the object's matrix; unbound otherwise.
    Vra::ModelInstance FirstModelInstance(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
    {
        for (const Vra::PropertyDefinition& property : someProperties)
        {
            bool isResolved = false;
            if (std::shared_ptr<Vra::Model> model = IsModel(property) ? LoadModelOf(property, isResolved) : nullptr)
            {
                return PlacedInstance(std::move(model), anObject);
            }
        }
        return {};
    }

    std::vector<Vra::PropertyDefinition> CollectProperties(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions)
    {
        std::vector<Vra::PropertyDefinition> properties;
        anObject.CollectProperties(someDefinitions, properties);
        return properties;
    }

    void Fail(const std::string& aScenePath, const std::string& aReason)
    {
        std::cout << "Failed to load scene: " << aScenePath << ": " << aReason << std::endl;
    }
}

struct LevelState::LoadLists
{
    std::vector<Box> myWallBoxes;
    std::vector<Box> myOneWayBoxes;
    std::vector<Box> myTrapBoxes;
    std::vector<EventTrigger> myTriggers;
    Vra::StringId myTag;
    bool myHasPlacedPlayer = false;
};

bool LevelState::LoadScene(const std::string& aScenePath)
{
    try
    {
        return LoadSceneFrom(aScenePath);
    }
    catch (const std::exception& anError)
    {
        // Malformed object or definition files: the level is not usable, the program goes on.
        Fail(aScenePath, anError.what());
        return false;
    }
}

bool LevelState::LoadSceneFrom(const std::string& aScenePath)
{
    PrepareEvents();
    if (!myCamera)
    {
        myCamera = std::make_shared<Vra::Camera>();
        myCamera->myTransform.SetTranslation({ 0.0f, 0.0f, CAMERA_Z });
        myCamera->SetOrthographicProjection(VIEW_WIDTH, VIEW_HEIGHT, VIEW_DEPTH);
    }

    // The engine's reader takes a missing folder for an empty scene; a level needs its objects.
    const std::filesystem::path folder = Vra::GameAssetsPath() / std::filesystem::path(aScenePath).replace_extension(".leveldata");
    if (aScenePath.empty() || !std::filesystem::is_directory(folder))
    {
        Fail(aScenePath, "no scene folder " + folder.string());
        return false;
    }
    Vra::Scene scene;
    if (!Vra::LoadScene(aScenePath.c_str(), scene))
    {
        Fail(aScenePath, "the scene could not be read");
        return false;
    }

    LoadLists lists;
    PrepareLoad();
    Vra::ObjectDefinitionManager definitions;
    Vra::LoadObjectDefinitions(definitions, Vra::GameAssetsPath().string());

    // Object ids follow the order in which their files were first seen.
    std::vector<std::pair<std::uint32_t, const Vra::SceneObject*>> objects;
    objects.reserve(scene.myObjects.size());
    for (const auto& [id, object] : scene.myObjects)
    {
        objects.emplace_back(id, object.get());
    }
    std::sort(objects.begin(), objects.end(), [](const auto& aLeft, const auto& aRight) { return aLeft.first < aRight.first; });
    for (const auto& entry : objects)
    {
        LoadObject(*entry.second, definitions, lists);
    }

    if (!lists.myHasPlacedPlayer)
    {
        Fail(aScenePath, "it has no \"Player\" object with a model");
        return false;
    }
    CompleteLoad(aScenePath, lists);
    return true;
}

void LevelState::PrepareEvents()
{
    // A reload must let the old events finish what they started (bars, paused music) before
    // they go; the bird's respawn can only reach the new ones.
    for (const std::shared_ptr<TriggeredEvent>& event : myEvents)
    {
        if (event->IsTriggered())
        {
            event->OnTriggerExit();
        }
    }
    myEvents.clear();
    myExitEvent.reset();
}

void LevelState::PrepareLoad()
{
    myIcicleSystem = std::make_unique<IcicleSystem>();
    myCollisionSet = std::make_unique<CollisionSet>();
    myCameraController = std::make_unique<CameraController>();
    myDebugModels.clear();
    myPogoPads.clear();
    myAbilityPickups.clear();
    myNextLevelPath.clear();
    myLevelEchoes.clear();
    myVfxBlocks.clear();

    if (myPlayer)
    {
        Transition::GetInstance()->End();
    }
    else
    {
        myPlayer = std::make_unique<Player>();
    }
    myPlayer->ClearFoxAttackEvents();

    mySnow.SetActive(true);
    myCaveParticles.SetActive(false);
    myBlackBars.Init(myCamera, myPlayer.get());
    myParallaxLayers.Clear();
}

void LevelState::LoadObject(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions, LoadLists& someLists)
{
    const Keys& keys = GetKeys();
    const std::vector<Vra::PropertyDefinition> properties = CollectProperties(anObject, someDefinitions);
    const PropertyReader reader(anObject, properties);
    someLists.myTag = Vra::StringId();
    reader.ReadAll(keys.myTag, someLists.myTag);
    const Vra::StringId tag = someLists.myTag;

    if (tag == keys.myIcicleTag || anObject.myName == "O_FallingIce")
    {
        myIcicleSystem->Load(anObject, properties);
    }
    else if (tag == keys.myCheckpointTag)
    {
        std::cout << "Checkpoint found" << std::endl;
        BuildCheckpoint(anObject, someDefinitions);
    }
    else if (tag == keys.myPogoTag)
    {
        std::cout << "Pogo Pad found" << std::endl;
        BuildPogoPad(anObject, someDefinitions);
    }
    else if (tag == keys.myAbilityTag)
    {
        std::cout << "Ability Pickup found" << std::endl;
        BuildAbilityPickup(anObject, someDefinitions);
    }
    else if (anObject.myName == "CameraSettings")
    {
        LoadCameraSettings(anObject, properties);
    }
    else
    {
        LoadGeneralObject(anObject, properties, someLists);
    }
}

void LevelState::LoadCameraSettings(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
{
    const Keys& keys = GetKeys();
    const PropertyReader reader(anObject, someProperties);
    // A setting the object lacks keeps the controller's own value.
    const CameraController defaults;
    const float followSpeed = reader.Get(keys.myFollowSpeed, defaults.GetFollowSpeed());
    const float lookAheadDistance = reader.Get(keys.myLookAheadDistance, defaults.GetLookAheadDistance());
    bool noSnow = false;
    if (reader.ReadAll(keys.myNoSnow, noSnow))
    {
        mySnow.SetActive(!noSnow);
    }
    bool showCaveParticles = false;
    if (reader.ReadAll(keys.myShowCaveParticles, showCaveParticles))
    {
        myCaveParticles.SetActive(showCaveParticles);
    }
    // The bounds span the unit box without ordering: a negative scale gives an empty area.
    const Vra::Vector3<float>& p = anObject.myTranslation;
    const Vra::Vector3<float>& s = anObject.myScale;
    myCameraController->SetSettings(followSpeed, lookAheadDistance, defaults.GetThirdSetting(), HALF_VIEW_WIDTH, HALF_VIEW_HEIGHT, p.x, p.y,
                                    p.x + UNIT * s.x, p.y + UNIT * s.y);
}

void LevelState::LoadGeneralObject(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties,
                                   LoadLists& someLists)
{
    const Keys& keys = GetKeys();
    const PropertyReader reader(anObject, someProperties);
    LevelEcho echo;
    VfxBlock block;
    bool hasMusic = false;
    bool isVfxBlock = false;
    for (const Vra::PropertyDefinition& property : someProperties)
    {
        if (property.myGroup == keys.myMusicGroup)
        {
            hasMusic = true;
            reader.ReadText(property, keys.myLevel, echo.myLevel);
            reader.Read(property, keys.myEcho, echo.myEcho);
            reader.Read(property, keys.myEchoDelay, echo.myEchoDelay);
            reader.Read(property, keys.myEchoFeedback, echo.myEchoFeedback);
            reader.Read(property, keys.myEchoDryLevel, echo.myEchoDryLevel);
            reader.Read(property, keys.myEchoWetLevel, echo.myEchoWetLevel);
        }
        if (IsModel(property))
        {
            LoadModelProperty(anObject, someProperties, property, someLists);
        }
        if (IsSprite(property))
        {
            const Vra::SceneSprite& sprite = property.myValue.Get<SpriteValue>().Get();
            if (!Vra::ResolveAssetPath(sprite.myTextures[0].View()).empty())
            {
                const Vra::StringId tag = someLists.myTag;
                const int layer = tag == keys.myBackTag ? ParallaxLayers::BACK_LAYER
                                                        : (tag == keys.myFrontTag ? ParallaxLayers::FRONT_LAYER : ParallaxLayers::MIDDLE_LAYER);
                myParallaxLayers.AddSprite(layer, sprite.myTextures[0].CStr(), sprite.mySize, ObjectTransformToMatrix(anObject));
            }
        }
        if (property.myGroup == keys.myVfxGroup)
        {
            isVfxBlock = true;
            reader.ReadText(property, keys.myVfxName, block.myName);
            reader.Read(property, keys.myLooping, block.myIsLooping);
        }
    }

    if (someLists.myTag == keys.myEventTag)
    {
        LoadEvent(anObject, someProperties);
    }
    if (someLists.myTag == keys.myTriggerTag)
    {
        LoadTrigger(anObject, someProperties, someLists);
    }
    if (isVfxBlock && !block.myName.empty())
    {
        block.myPosition = { anObject.myTranslation.x, anObject.myTranslation.y };
        myVfxBlocks.push_back(block);
    }
    if (hasMusic && !echo.myLevel.empty())
    {
        myLevelEchoes.push_back(echo);
    }
}

void LevelState::LoadModelProperty(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties,
                                   const Vra::PropertyDefinition& aProperty, LoadLists& someLists)
{
    const Keys& keys = GetKeys();
    bool isResolved = false;
    std::shared_ptr<Vra::Model> model = LoadModelOf(aProperty, isResolved);
    if (!model)
    {
        return;
    }
    const Vra::ModelInstance instance = PlacedInstance(std::move(model), anObject);
    const Vra::StringId tag = someLists.myTag;
    if (tag == keys.myWallTag)
    {
        myDebugModels.push_back(instance);
        someLists.myWallBoxes.push_back(UnitBox(anObject));
    }
    else if (tag == keys.myNonWallTag)
    {
        myDebugModels.push_back(instance);
        myCollisionSet->AddBox(UnitBox(anObject));
    }
    else if (tag == keys.myOneWayTag)
    {
        myDebugModels.push_back(instance);
        someLists.myOneWayBoxes.push_back(UnitBox(anObject));
    }
    else if (tag == keys.myTrapTag)
    {
        myDebugModels.push_back(instance);
        someLists.myTrapBoxes.push_back(UnitBox(anObject));
    }
    else if (tag == keys.myPlayerTag)
    {
        LoadPlayer(anObject, someProperties);
        someLists.myHasPlacedPlayer = true;
    }
}

void LevelState::LoadPlayer(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
{
    const Keys& keys = GetKeys();
    CommonUtilities::Vector3f spawnPoint = ToGameVector(anObject.myTranslation);
    for (const Checkpoint& checkpoint : myCheckpoints)
    {
        if (checkpoint.myIsReached)
        {
            spawnPoint = checkpoint.myBox.myMin;
            myCameraController->SetPosition(spawnPoint);
        }
    }
    const PropertyReader reader(anObject, someProperties);
    const bool startWithDash = reader.Get(keys.myStartWithDash, true);
    const bool startWithDoubleJump = reader.Get(keys.myStartWithDoubleJump, false);
    const bool startWithWallJump = reader.Get(keys.myStartWithWallJump, false);
    if (myHasInitialisedPlayer)
    {
        myPlayer->Respawn(spawnPoint);
        return;
    }
    myPlayer->Init(*this, spawnPoint, startWithDash, startWithWallJump, startWithDoubleJump);
    myHasInitialisedPlayer = true;
}

void LevelState::LoadEvent(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
{
    const Keys& keys = GetKeys();
    std::cout << "Found Event" << std::endl;
    const PropertyReader reader(anObject, someProperties);
    const int flag = reader.Get<std::int32_t>(keys.myFlag, 0);
    const int order = reader.Get<std::int32_t>(keys.myOrder, 0);
    const float duration = reader.Get(keys.myDuration, 0.0f);
    const float speed = reader.Get(keys.mySpeed, 0.0f);
    const float animationSpeed = reader.Get(keys.myAnimationSpeed, 0.0f);
    const bool isGoingLeft = reader.Get(keys.myGoingLeft, false);
    const bool isInBackground = reader.Get(keys.myInBackground, false);
    const Vra::StringId levelPath = reader.Get(keys.myLevelPath, Vra::StringId());
    const int ability = reader.Get<std::int32_t>(keys.myAbility, 0);
    const int animation = reader.Get<std::int32_t>(keys.myAnimation, 0);
    const int cutscene = reader.Get<std::int32_t>(keys.myCutscene, 0);
    const float delay = reader.Get(keys.myDelay, 0.0f);

    if (order == 0)
    {
        std::cout << "error, order 0" << std::endl;
        return;
    }
    if (flag == 0)
    {
        std::cout << "error, flag 0" << std::endl;
        return;
    }
    const CommonUtilities::Matrix4x4 transform = ToGameMatrix(ObjectTransformToMatrix(anObject));
    switch (flag)
    {
    case 1:
    {
        auto event = std::make_shared<FoxSneakEvent>();
        event->Init(transform, order, isGoingLeft, isInBackground, animation, animationSpeed);
        myParallaxLayers.AddFoxEvent(event);
        myEvents.push_back(event);
        std::cout << "FoxSneakEvent Added" << std::endl;
        break;
    }
    case 2:
    {
        if (duration == 0.0f)
        {
            std::cout << "Duration = 0" << std::endl;
        }
        if (speed == 0.0f)
        {
            std::cout << "Speed = 0" << std::endl;
        }
        auto event = std::make_shared<FoxAttackEvent>();
        event->Init(transform, order, speed, duration, isGoingLeft, delay);
        myPlayer->AddFoxAttackEvent(event);
        myEvents.push_back(event);
        std::cout << "FoxAttackEvent Added" << std::endl;
        break;
    }
    case 3:
    {
        auto event = std::make_shared<LevelLoadEvent>();
        event->Init(levelPath.CStr(), order);
        myNextLevelPath = levelPath.CStr();
        myExitEvent = event;
        myEvents.push_back(event);
        std::cout << myNextLevelPath << std::endl;
        std::cout << "Level Exit Event Added" << std::endl;
        break;
    }
    case 4:
    {
        auto event = std::make_shared<TutorialPromptEvent>();
        event->Init(ability, order, myPlayer.get());
        myEvents.push_back(event);
        std::cout << "Tutorial Prompt Event Added" << std::endl;
        break;
    }
    case 5:
    {
        // A kind the bird has no cutscene for would hold it in one for good, with no pause.
        if (cutscene < CutsceneEvent::KIND_INTRO || cutscene > CutsceneEvent::KIND_POWER_UP)
        {
            std::cout << "Bad Cutscene! " << cutscene << std::endl;
            return;
        }
        auto event = std::make_shared<CutsceneEvent>();
        event->Init(myPlayer.get(), order, cutscene, mySceneStateStack, myCamera, &myParallaxLayers);
        myEvents.push_back(event);
        std::cout << "Cutscene Added" << std::endl;
        break;
    }
    case 6:
    {
        auto event = std::make_shared<BlackBarEvent>();
        event->Init(order, &myBlackBars, duration);
        myEvents.push_back(event);
        std::cout << "Black Bar Event Added" << std::endl;
        break;
    }
    default:
        std::cout << "Bad Flag! " << flag << std::endl;
        break;
    }
}

void LevelState::LoadTrigger(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties, LoadLists& someLists)
{
    std::cout << "Found Trigger" << std::endl;
    const PropertyReader reader(anObject, someProperties);
    const int order = reader.Get<std::int32_t>(GetKeys().myOrder, 0);
    if (order == 0)
    {
        std::cout << "error, order 0" << std::endl;
        return;
    }
    someLists.myTriggers.push_back({ UnitBox(anObject), order });
    std::cout << "Trigger Added" << std::endl;
}

void LevelState::BuildCheckpoint(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions)
{
    // A level keeps the first checkpoint of its first load, reached or not, across reloads.
    if (!myCheckpoints.empty())
    {
        return;
    }
    Checkpoint checkpoint;
    for (const Vra::PropertyDefinition& property : CollectProperties(anObject, someDefinitions))
    {
        bool isResolved = false;
        std::shared_ptr<Vra::Model> model = IsModel(property) ? LoadModelOf(property, isResolved) : nullptr;
        if (!model)
        {
            continue;
        }
        myDebugModels.push_back(PlacedInstance(std::move(model), anObject));
        checkpoint.myBox = UnitBox(anObject);
        checkpoint.myBox.myMin.y = anObject.myTranslation.y;
        checkpoint.myBox.myMax.y = anObject.myTranslation.y + CHECKPOINT_HEIGHT;
    }
    checkpoint.mySprite.myPosition = { anObject.myTranslation.x, anObject.myTranslation.y };
    checkpoint.mySprite.myPivot = { 0.5f, 0.8f };
    checkpoint.mySprite.myTextureRectangle = { 0.0f, 0.0f, 0.25f, 0.25f };
    if (Vra::Engine* const engine = Vra::Engine::GetInstance(); engine && engine->GetTextureManager())
    {
        checkpoint.mySpriteData.myColorTexture = engine->GetTextureManager()->GetTexture(Checkpoint::TEXTURE, Vra::TextureSrgbMode::ForceSrgb);
        const Vra::Vector2<std::uint32_t> size = checkpoint.mySpriteData.myColorTexture->GetSize();
        checkpoint.mySprite.mySize = { static_cast<float>(size.x / CHECKPOINT_SIZE_DIVISOR), static_cast<float>(size.y / CHECKPOINT_SIZE_DIVISOR) };
    }
    checkpoint.myFrame = 0;
    checkpoint.myFrameTime = 1.0f / 24.0f;
    checkpoint.myTimer = 0.0f;
    myCheckpoints.push_back(checkpoint);
}

void LevelState::BuildPogoPad(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions)
{
    const Keys& keys = GetKeys();
    const std::vector<Vra::PropertyDefinition> properties = CollectProperties(anObject, someDefinitions);
    const PropertyReader reader(anObject, properties);
    const float radius = reader.Get(keys.myRadius, 0.0f);
    const float cooldown = reader.Get(keys.myCooldown, 0.0f);
    float distance = 0.0f;
    const bool isBeetle = reader.ReadAll(keys.myDistance, distance);
    const bool isVertical = reader.Get(keys.myUp, false);
    const bool isInverted = reader.Get(keys.myInvertMoveDirection, true);

    const CommonUtilities::Vector3f position = ToGameVector(anObject.myTranslation);
    const CommonUtilities::Vector3f scale = ToGameVector(anObject.myScale);
    PogoPad& pad = myPogoPads.emplace_back();
    if (isBeetle)
    {
        pad.InitBeetle(position, scale, radius * UNIT, distance * UNIT, isVertical, isInverted);
        myArePadSoundsPending = true;
    }
    else
    {
        pad.InitMushroom(position, scale, radius * UNIT, cooldown);
    }
}

void LevelState::BuildAbilityPickup(const Vra::SceneObject& anObject, const Vra::ObjectDefinitionManager& someDefinitions)
{
    const Keys& keys = GetKeys();
    const std::vector<Vra::PropertyDefinition> properties = CollectProperties(anObject, someDefinitions);
    const PropertyReader reader(anObject, properties);
    const float radius = reader.Get(keys.myRadius, 0.0f);
    const int kind = reader.Get<std::int32_t>(keys.myAbility, 0);
    AbilityPickup& pickup = myAbilityPickups.emplace_back();
    pickup.Init(FirstModelInstance(anObject, properties), ToGameVector(anObject.myTranslation), ToGameVector(anObject.myScale), radius * UNIT, kind);
}

void LevelState::CompleteLoad(const std::string& aScenePath, LoadLists& someLists)
{
    // The bird's abilities are known only now: pickups of what it already has are left out.
    const auto isUnlocked = [this](const AbilityPickup& aPickup) {
        const std::string name = aPickup.GetName();
        return (name == "Dash" && myPlayer->IsDashUnlocked()) || (name == "WallJump" && myPlayer->IsWallJumpUnlocked()) ||
               (name == "DoubleJump" && myPlayer->IsDoubleJumpUnlocked());
    };
    myAbilityPickups.erase(std::remove_if(myAbilityPickups.begin(), myAbilityPickups.end(), isUnlocked), myAbilityPickups.end());

    myParallaxLayers.SortByDepth();
    myPlayer->SetTrapBoxes(someLists.myTrapBoxes);
    myPlayer->SetEventTriggers(someLists.myTriggers);
    myPlayer->SetCheckpoints(&myCheckpoints);
    myPlayer->SetPogoPads(&myPogoPads);
    myPlayer->SetAbilityPickups(&myAbilityPickups);
    myPlayer->SetCollisionSet(myCollisionSet.get());
    myCollisionSet->SetWallBoxes(someLists.myWallBoxes);
    myCollisionSet->SetOneWayBoxes(someLists.myOneWayBoxes);
    myRestartArmed = true;
    myIcicleSystem->SetCollisionSet(myCollisionSet.get());
    myLevelPath = aScenePath;
    std::cout << "Level Loaded: " << aScenePath << std::endl;
}
