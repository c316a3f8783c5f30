#include "effects/AnimatedObject.h"

#include "Engine.h"
#include "Math/Matrix4x4.h"
#include "Math/Quaternion.h"
#include "Vector4.h"
#include "drawers/ModelDrawer.h"
#include "graphics/GraphicsEngine.h"
#include "graphics/TextureManager.h"
#include "model/JointTransform.h"
#include "model/Model.h"
#include "model/ModelFactory.h"

#include <cmath>
#include <exception>
#include <iostream>

namespace
{
    constexpr float HALF_PI = 1.570796f;
    constexpr float INVERSE_PI = 0.31830987f;
    constexpr float RADIANS_PER_DEGREE = 0.017453292f;

    Vra::Quaternion Multiply(const Vra::Quaternion& a, const Vra::Quaternion& b)
    {
        return { a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z, a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y,
                 a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x, a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w };
    }

    // Rotates about z first, then x, then y (row vectors), the order the angles are read back in.
    Vra::Quaternion QuaternionFromEuler(const CommonUtilities::Vector3f& someRadians)
    {
        const Vra::Quaternion aboutX(std::cos(someRadians.x * 0.5f), std::sin(someRadians.x * 0.5f), 0.0f, 0.0f);
        const Vra::Quaternion aboutY(std::cos(someRadians.y * 0.5f), 0.0f, std::sin(someRadians.y * 0.5f), 0.0f);
        const Vra::Quaternion aboutZ(std::cos(someRadians.z * 0.5f), 0.0f, 0.0f, std::sin(someRadians.z * 0.5f));
        return Multiply(Multiply(aboutY, aboutX), aboutZ);
    }

    // The angles of a rotation matrix built about z, then x, then y; m(row, column) from 1.
    CommonUtilities::Vector3f EulerAngles(const CommonUtilities::Matrix4x4& m)
    {
        CommonUtilities::Vector3f angles;
        const float sinX = -m(3, 2);
        angles.x = sinX <= -1.0f ? -HALF_PI : (sinX >= 1.0f ? HALF_PI : std::asin(sinX));
        if (std::abs(sinX) <= 0.9999f)
        {
            angles.y = std::atan2(m(3, 1), m(3, 3));
            angles.z = std::atan2(m(1, 2), m(2, 2));
        }
        else
        {
            angles.y = std::atan2(-m(1, 3), m(1, 1));
            angles.z = 0.0f;
        }
        return angles;
    }
}

void AnimatedObject::LoadModel(const std::string& aPath, const std::string& aTexturePath, float aScale)
{
    myScale *= aScale;
    try
    {
        myModelInstance = Vra::ModelFactory::GetInstance().GetAnimatedModelInstance(aPath);
        if (Vra::Engine* engine = Vra::Engine::GetInstance())
        {
            Vra::TextureResource* texture = engine->GetTextureManager()->GetTexture(aTexturePath.c_str(), Vra::TextureSrgbMode::ForceSrgb, false);
            for (Vra::MeshTextureSlots& slots : myModelInstance.GetTextures())
            {
                slots[0] = texture;
            }
            myModelDrawer = &engine->GetGraphicsEngine()->GetModelDrawer();
        }
        if (myModelInstance.IsBound())
        {
            std::cout << "Model Loaded with texture and scale" << std::endl;
        }
    }
    catch (const std::exception& anError)
    {
        std::cerr << anError.what() << std::endl;
    }
}

void AnimatedObject::LoadAnimation(const std::string& aPath, const std::string& aName, bool aLoop)
{
    std::shared_ptr<Vra::AnimationPlayer> player;
    try
    {
        player = std::make_shared<Vra::AnimationPlayer>(Vra::ModelFactory::GetInstance().GetAnimationPlayer(aPath, myModelInstance.GetModel()));
    }
    catch (const std::exception& anError)
    {
        // A malformed clip file costs the clip, not the game.
        std::cerr << anError.what() << std::endl;
        return;
    }
    player->SetLooping(aLoop);
    std::cout << "Animation Loaded: " << aName << std::endl;
    myAnimations.try_emplace(aName, std::move(player));
}

std::shared_ptr<Vra::AnimationPlayer> AnimatedObject::PlayAnimation(const std::string& aName)
{
    std::cout << "Playing " << aName << std::endl;
    const auto found = myAnimations.find(aName);
    if (found == myAnimations.end())
    {
        return nullptr;
    }
    if (myIsQueued)
    {
        myQueue.clear();
        myIsQueued = false;
    }
    StartAnimation(found->second);
    return found->second;
}

void AnimatedObject::QueueAnimation(const std::string& aName)
{
    const auto found = myAnimations.find(aName);
    if (found == myAnimations.end())
    {
        return;
    }
    myQueue.push_back(found->second);
    myIsQueued = true;
}

Vra::AnimationState AnimatedObject::GetAnimationState() const
{
    return myCurrentAnimation ? myCurrentAnimation->GetState() : Vra::AnimationState::New;
}

void AnimatedObject::Update(float aDeltaTime, const TransformNode& aParent)
{
    if (!myCurrentAnimation)
    {
        std::cout << "No Valid Animation!" << std::endl;
        return;
    }
    if (myIsQueued && !myQueue.empty())
    {
        const Vra::AnimationState state = myCurrentAnimation->GetState();
        const bool loops = myCurrentAnimation->IsLooping();
        if ((state == Vra::AnimationState::Wrapped && loops) || (state == Vra::AnimationState::Ended && !loops))
        {
            const std::shared_ptr<Vra::AnimationPlayer> next = myQueue.front();
            myQueue.erase(myQueue.begin());
            StartAnimation(next);
            myIsQueued = !myQueue.empty();
        }
    }
    myCurrentAnimation->Update(aDeltaTime * myAnimationSpeed);
    PlaceModel(aParent);
    myModelInstance.SetPose(*myCurrentAnimation);
}

void AnimatedObject::Render()
{
    if (myCurrentAnimation && myCurrentAnimation->HasAnimation() && myModelDrawer)
    {
        myModelDrawer->Draw(myModelInstance);
    }
}

void AnimatedObject::SetPosition(float aX, float aY, float aZ)
{
    myOffset = { aX, aY, aZ };
}

void AnimatedObject::Rotate(float aX, float aY, float aZ)
{
    myRotation += { aX, aY, aZ };
}

CommonUtilities::Matrix4x4 AnimatedObject::GetWorldTransform(const TransformNode& aNode)
{
    return aNode.GetWorldTransform();
}

void AnimatedObject::StartAnimation(const std::shared_ptr<Vra::AnimationPlayer>& aPlayer)
{
    myCurrentAnimation = aPlayer;
    myCurrentAnimation->SetTime(0.0f);
    myCurrentAnimation->SetState(Vra::AnimationState::Playing);
}

void AnimatedObject::PlaceModel(const TransformNode& aParent)
{
    const CommonUtilities::Matrix4x4 parent = GetWorldTransform(aParent);
    const CommonUtilities::Vector4 offset = CommonUtilities::Vector4(myOffset.x, myOffset.y, myOffset.z, 0.0f) * parent;

    const CommonUtilities::Vector3f parentAngles = EulerAngles(parent);
    const CommonUtilities::Vector3f angles((parentAngles.x * 180.0f * INVERSE_PI + myRotation.x) * RADIANS_PER_DEGREE,
                                           (parentAngles.y * 180.0f * INVERSE_PI + myRotation.y) * RADIANS_PER_DEGREE,
                                           (parentAngles.z * 180.0f * INVERSE_PI + myRotation.z) * RADIANS_PER_DEGREE);

    // Rows 1 to 3 the rotation's rows times the scale of that axis, row 4 the position.
    Vra::JointTransform placement;
    placement.myTranslation = { offset.x + parent(4, 1), offset.y + parent(4, 2), offset.z + parent(4, 3) };
    placement.myRotation = QuaternionFromEuler(angles);
    placement.myScale = { myScale.x, myScale.y, myScale.z };
    myModelInstance.SetTransform(Vra::JointTransform::ToMatrix(placement));
}
