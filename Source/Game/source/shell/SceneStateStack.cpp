#include "SceneStateStack.h"

#include "Assert.h"

#include <algorithm>

// The checks report with the texts the game has always printed, but test for a layer before
// looking into the top one: the other order reads past an empty vector.
#define CHECK_TOP_LAYER_HOLDS_A_STATE() \
    CU_ASSERT_MSG(!mySceneStates.empty() && !mySceneStates.back().empty(), \
                  "!mySceneStates.back().empty() && !mySceneStates.empty()")

SceneStateStack::~SceneStateStack()
{
    myPendingState.reset();
    for (Layer& layer : mySceneStates)
    {
        for (std::unique_ptr<SceneState>& state : layer)
        {
            state.reset();
        }
    }
}

void SceneStateStack::PushState(std::unique_ptr<SceneState> aState)
{
    if (mySceneStates.empty())
    {
        mySceneStates.emplace_back();
    }
    SceneState* const state = aState.get();
    mySceneStates.back().push_back(std::move(aState));
    state->OnInit();
}

void SceneStateStack::PushLayer(std::unique_ptr<SceneState> aState)
{
    mySceneStates.emplace_back();
    PushState(std::move(aState));
}

void SceneStateStack::PopState()
{
    CHECK_TOP_LAYER_HOLDS_A_STATE();
    ExitAndRemove(mySceneStates.back().back().get());
}

void SceneStateStack::ExitAndRemove(SceneState* aState)
{
    // The state exits while still in the stack; it is then looked up again, since OnExit may push.
    aState->OnExit();
    for (auto layer = mySceneStates.rbegin(); layer != mySceneStates.rend(); ++layer)
    {
        const auto found = std::find_if(layer->begin(), layer->end(),
                                        [aState](const std::unique_ptr<SceneState>& aCandidate) { return aCandidate.get() == aState; });
        if (found != layer->end())
        {
            const std::unique_ptr<SceneState> removed = std::move(*found);
            layer->erase(found);
            return;
        }
    }
}

SceneState* SceneStateStack::GetTopState() const
{
    if (mySceneStates.empty() || mySceneStates.back().empty())
    {
        return nullptr;
    }
    return mySceneStates.back().back().get();
}

void SceneStateStack::RequestPopLayer()
{
    CU_ASSERT(!mySceneStates.empty());
    myShouldPopLayer = true;
}

void SceneStateStack::SetPendingState(std::unique_ptr<SceneState> aState)
{
    myPendingState = std::move(aState);
}

bool SceneStateStack::Update(float aDeltaTime, CommonUtilities::InputHandler& aInput)
{
    CHECK_TOP_LAYER_HOLDS_A_STATE();

    SceneState* const updated = mySceneStates.back().back().get();
    if (!updated->Update(aDeltaTime, aInput))
    {
        // Normally still the top state; if it pushed others meanwhile, it is still the one to go.
        ExitAndRemove(updated);
    }

    if (myPendingState)
    {
        std::unique_ptr<SceneState> pending = std::move(myPendingState);
        PopState();
        PushState(std::move(pending));
    }

    if (myShouldPopLayer)
    {
        PopLayer();
        myShouldPopLayer = false;
    }

    return !mySceneStates.empty() && !mySceneStates.back().empty();
}

void SceneStateStack::PopLayer()
{
    // States of a dropped layer are deleted bottom first, without OnExit.
    if (mySceneStates.empty())
    {
        return;
    }
    Layer layer = std::move(mySceneStates.back());
    mySceneStates.pop_back();
    for (std::unique_ptr<SceneState>& state : layer)
    {
        state.reset();
    }
}

void SceneStateStack::Render()
{
    if (mySceneStates.empty())
    {
        return;
    }
    const Layer& layer = mySceneStates.back();
    RenderFrom(layer, static_cast<int>(layer.size()) - 1);
}

void SceneStateStack::RenderFrom(const Layer& aLayer, int anIndex)
{
    if (anIndex < 0)
    {
        return;
    }
    SceneState* const state = aLayer[anIndex].get();
    if (state->IsOverlay())
    {
        RenderFrom(aLayer, anIndex - 1);
    }
    state->Render();
}
