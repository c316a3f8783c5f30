#include "settings/EngineConfiguration.h"

namespace Vra
{
    EngineConfiguration& GetEngineConfiguration()
    {
        static EngineConfiguration configuration;
        return configuration;
    }
}
