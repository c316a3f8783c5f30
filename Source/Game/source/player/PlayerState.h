#pragma once
#include "Math/Vector2.h"

#include <string>

namespace CommonUtilities
{
    class InputHandler;
}

class Player;

// One behaviour of the bird. Each frame the player calls Update, then CheckTransition; a state
// returned from it replaces this one (OnExit here, OnEnter there).
class PlayerState
{
public:
    virtual ~PlayerState() = default;
    virtual void OnEnter(Player& aPlayer) = 0;
    virtual void Update(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) = 0;
    // A new state to switch to, owned by the caller, or null to stay.
    virtual PlayerState* CheckTransition(Player& aPlayer, float aDeltaTime, CommonUtilities::InputHandler& anInput) = 0;
    virtual void OnExit(Player& aPlayer) = 0;
    virtual std::string GetName() const = 0;

protected:
    // A sound group with a random pitch at full volume.
    static void PlaySound(const std::string& aGroup);
    static void StopSound(const std::string& aName);
    // A sprite effect at the bird's camera target point (plus anOffset), mirrored when asked.
    static void SpawnEffect(const Player& aPlayer, const std::string& aName, bool aMirrored, float aRotation = 0.0f,
                            const Vra::Vector2<float>& anOffset = {});
    // Mirrored when the bird faces left.
    static void SpawnFacingEffect(const Player& aPlayer, const std::string& aName);
    // Three puffs of landing dust, at the camera target point and beside it.
    static void SpawnLandingDust(const Player& aPlayer);
    static void PlayClip(Player& aPlayer, const std::string& aClip);
    static void QueueClip(Player& aPlayer, const std::string& aClip);

    // The end of a rise (jump, double jump, pogo bounce, wall jump): at the top the bird falls, or
    // readies the pogo when it was pressed on the way up; until then a dash may cut in.
    static PlayerState* CheckEndOfRise(Player& aPlayer, bool anIsPogoQueued);
    // Off the ground the bird falls, with coyote time for a late jump.
    static PlayerState* CheckLeftGround(Player& aPlayer);
    // The ground actions after jumping and walking: dash, then squawk.
    static PlayerState* CheckDashOrSquawk(Player& aPlayer, const CommonUtilities::InputHandler& anInput);
};
