#pragma once
#include "graphics/DX11.h"
#include "gpu/GpuObjects.h"

#include <functional>
#include <string>

namespace Vra
{
    // One vertex shader and one pixel shader with the input layout that feeds them. Subclasses
    // bring their own layouts, constant buffers and draws.
    class Shader
    {
    public:
        using LayoutCallback = std::function<void(const std::string& aBytecode)>;

        Shader();
        virtual ~Shader();
        Shader(const Shader&) = delete;
        Shader& operator=(const Shader&) = delete;

        // Set-up with the class's own shaders and buffers.
        virtual bool Init();

        // Names are cooked shader names without extension. A set callback builds the layout itself.
        bool LoadShaders(const char* aVertexShaderName, const char* aPixelShaderName, const LayoutCallback& aLayoutCallback);

        // Shaders, input layout, triangle list and what changed in the current graphics state.
        bool Bind();

        bool IsLoaded() const { return myIsLoaded; }
        const std::string& GetVertexShaderName() const { return myVertexShaderName; }
        const std::string& GetPixelShaderName() const { return myPixelShaderName; }
        const Platform::Gpu::Ref<Platform::Gpu::InputLayout>& GetInputLayout() const { return myInputLayout; }

    protected:
        // Builds this class's layout into myInputLayout; false makes LoadShaders use the default one.
        virtual bool CreateInputLayout(const std::string& aBytecode);

        const DX11::VertexShaderEntry* myVertexShader = nullptr;
        Platform::Gpu::Ref<Platform::Gpu::PixelShader> myPixelShader;
        Platform::Gpu::Ref<Platform::Gpu::InputLayout> myInputLayout;
        bool myIsLoaded = false;
        int myId;
        std::string myVertexShaderName;
        std::string myPixelShaderName;

    private:
        bool CreateDefaultInputLayout(const std::string& aBytecode);
    };
}
