#pragma once
#include "SceneState.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Owns every screen, in layers: a layer is the pile of states opened together (the main menu with
// the options on top; a level with its pause menu). Only the top state of the top layer updates;
// rendering stays within the top layer.
class SceneStateStack
{
public:
    SceneStateStack() = default;
    ~SceneStateStack();
    SceneStateStack(const SceneStateStack&) = delete;
    SceneStateStack& operator=(const SceneStateStack&) = delete;

    // Onto the top layer (opened when there is none); runs the state's OnInit.
    void PushState(std::unique_ptr<SceneState> aState);
    // Onto a new layer of its own; runs the state's OnInit.
    void PushLayer(std::unique_ptr<SceneState> aState);
    // Exits and deletes the top state; an emptied layer stays.
    void PopState();
    // Null when there is no layer or the top layer is empty.
    SceneState* GetTopState() const;
    // The top layer goes, unexited, at the end of the next Update.
    void RequestPopLayer();
    // Replaces the top state at the end of the next Update; a state already pending is dropped.
    void SetPendingState(std::unique_ptr<SceneState> aState);

    // False once the top layer holds no state: the game ends.
    bool Update(float aDeltaTime, CommonUtilities::InputHandler& aInput);
    void Render();

    std::size_t GetLayerCount() const { return mySceneStates.size(); }

private:
    using Layer = std::vector<std::unique_ptr<SceneState>>;

    void ExitAndRemove(SceneState* aState);
    void RenderFrom(const Layer& aLayer, int anIndex);
    void PopLayer();

    std::vector<Layer> mySceneStates;
    std::unique_ptr<SceneState> myPendingState;
    std::uint8_t myShouldPopLayer = false;
};
