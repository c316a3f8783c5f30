#include "effects/TransformNode.h"

CommonUtilities::Matrix4x4 TransformNode::GetWorldTransform() const
{
    if (myHasParent && myParent)
    {
        return myTransform * myParent->GetWorldTransform();
    }
    return myTransform;
}
