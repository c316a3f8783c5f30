#pragma once

namespace Vra
{
    // The value of a "Pose" property: 16 bytes kept in place and copied as they are. Nothing gives
    // them a meaning yet, and they are never written out.
    struct PoseAndMotion
    {
        unsigned char myBytes[16];
    };
}
