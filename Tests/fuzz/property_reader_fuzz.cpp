// libFuzzer target: the first byte picks a property type by its index, the rest is read as JSON
// into a value of that type, which is then copied and written back.
#include "properties/PropertyTypeBase.h"
#include "properties/PropertyValue.h"

#include <nlohmann/json.hpp>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* someData, size_t aSize)
{
    if (aSize == 0)
    {
        return 0;
    }
    const Vra::PropertyTypeBase* type = Vra::PropertyTypeBase::GetTypeAt(someData[0] % Vra::PropertyTypeBase::GetTypeCount());
    const nlohmann::json json = nlohmann::json::parse(someData + 1, someData + aSize, nullptr, false);
    if (json.is_discarded())
    {
        return 0;
    }
    try
    {
        const Vra::PropertyValue value(type, json);
        const Vra::PropertyValue copy = value;
        (void)copy.ToJson().dump();
    }
    catch (const nlohmann::json::exception&)
    {
    }
    return 0;
}
