#pragma once

namespace Vra::Fbx
{
    // A length with its unit's name; a default distance is 0 centimetres.
    class Distance
    {
    public:
        constexpr Distance() = default;
        constexpr explicit Distance(float aValue) : myValue(aValue) {}
        constexpr float value() const { return myValue; }

    private:
        float myValue = 0.0f;
    };
}
