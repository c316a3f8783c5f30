#include "level/PropertyReader.h"

#include "scene/SceneObject.h"

#include <iostream>

PropertyReader::PropertyReader(const Vra::SceneObject& anObject, const std::vector<Vra::PropertyDefinition>& someProperties)
    : myObject(anObject),
      myProperties(someProperties)
{
}

bool PropertyReader::IsOfType(const Vra::PropertyDefinition& aProperty, const Vra::PropertyTypeBase& anExpected) const
{
    const Vra::PropertyTypeBase* const found = aProperty.myValue.GetType();
    if (found == &anExpected && aProperty.myType == &anExpected)
    {
        return true;
    }
    std::cout << "Skipping key \"" << aProperty.myName.CStr() << "\" of object \"" << myObject.myName << "\": expected "
              << anExpected.GetName() << ", found " << (found ? found->GetName() : "no value") << std::endl;
    return false;
}
