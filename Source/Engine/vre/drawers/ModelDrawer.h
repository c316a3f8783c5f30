#pragma once
#include <memory>

namespace Vra
{
    class AnimatedModelInstance;
    class ModelInstance;
    class ModelShader;

    // Owns the model shaders: the default and skinning ones draw, the PBR and Lambert ones are
    // loaded alongside.
    class ModelDrawer
    {
    public:
        ModelDrawer();
        ~ModelDrawer();
        ModelDrawer(const ModelDrawer&) = delete;
        ModelDrawer& operator=(const ModelDrawer&) = delete;

        // Loads the six shaders in order, stopping at the first that fails.
        bool Init();

        // A static instance with the default model shader, a skinned one with the skinning shader.
        void Draw(const ModelInstance& anInstance);
        void Draw(const AnimatedModelInstance& anInstance);

        ModelShader* GetDefaultShader() const { return myDefaultShader.get(); }
        ModelShader* GetAnimatedShader() const { return myAnimatedShader.get(); }
        ModelShader* GetPbrShader() const { return myPbrShader.get(); }
        ModelShader* GetAnimatedPbrShader() const { return myAnimatedPbrShader.get(); }
        ModelShader* GetLambertShader() const { return myLambertShader.get(); }
        ModelShader* GetAnimatedLambertShader() const { return myAnimatedLambertShader.get(); }

    private:
        std::unique_ptr<ModelShader> myDefaultShader;
        std::unique_ptr<ModelShader> myAnimatedShader;
        std::unique_ptr<ModelShader> myPbrShader;
        std::unique_ptr<ModelShader> myAnimatedPbrShader;
        std::unique_ptr<ModelShader> myLambertShader;
        std::unique_ptr<ModelShader> myAnimatedLambertShader;
        bool myFlag = false;
    };
}
