#pragma once
#include "effects/ParticleSystem.h"

#include "Vector3.h"

#include <vector>

// Six particle systems that follow the bird: falling snow or cave dust, each system with its own
// flake texture.
class SnowfallVfx
{
public:
    static constexpr int SYSTEM_COUNT = 6;

    void CreateSnow();
    void CreateCaveParticles();
    // Inactive systems neither update nor render.
    void SetActive(bool anIsActive) { myIsActive = anIsActive; }
    bool IsActive() const { return myIsActive; }
    void Update(float aDeltaTime);
    // Moves every system, active or not, so that turning it on starts at the bird.
    void SetPosition(const CommonUtilities::Vector3f& aPosition);
    void Render() const;

    const std::vector<ParticleSystem>& GetSystems() const { return mySystems; }

private:
    void Create(bool anIsCave);

    bool myIsActive = true;
    std::vector<ParticleSystem> mySystems;
};
