#include "gpu/DeviceContext.h"

#include "gpu/impl/DeviceState.h"
#include "gpu/impl/GlFormat.h"

#include <algorithm>
#include <cstring>

namespace Platform::Gpu
{
    namespace
    {
        using impl::Backend;

        // The bytes of a bound vertex buffer a draw can read: up to the end of the last element it
        // fetches (elements below aVertexEnd per vertex, below anInstanceEnd per instance; a step
        // rate above one reads fewer, and the first instance is not divided by it).
        uint32_t ReadEnd(uint32_t anOffset, uint32_t aStride, uint32_t aStepRate, uint32_t anExtent, uint64_t aVertexEnd, uint64_t anInstanceEnd)
        {
            const uint64_t elements = aStepRate == 0 ? aVertexEnd : anInstanceEnd;
            if (anExtent == 0 || elements == 0)
            {
                return 0;
            }
            if (elements == UINT64_MAX || anExtent == UINT32_MAX)
            {
                return UINT32_MAX;
            }
            const uint64_t end = anOffset + (elements - 1) * aStride + anExtent;
            return end >= UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(end);
        }

        GLenum BlendFactorOf(Blend aBlend)
        {
            switch (aBlend)
            {
            case Blend::Zero: return GL_ZERO;
            case Blend::One: return GL_ONE;
            case Blend::SrcColor: return GL_SRC_COLOR;
            case Blend::InvSrcColor: return GL_ONE_MINUS_SRC_COLOR;
            case Blend::SrcAlpha: return GL_SRC_ALPHA;
            case Blend::InvSrcAlpha: return GL_ONE_MINUS_SRC_ALPHA;
            case Blend::DestAlpha: return GL_DST_ALPHA;
            case Blend::InvDestAlpha: return GL_ONE_MINUS_DST_ALPHA;
            case Blend::DestColor: return GL_DST_COLOR;
            case Blend::InvDestColor: return GL_ONE_MINUS_DST_COLOR;
            case Blend::SrcAlphaSat: return GL_SRC_ALPHA_SATURATE;
            case Blend::BlendFactor: return GL_CONSTANT_COLOR;
            case Blend::InvBlendFactor: return GL_ONE_MINUS_CONSTANT_COLOR;
            }
            return GL_ONE;
        }

        GLenum BlendEquationOf(BlendOp anOp)
        {
            switch (anOp)
            {
            case BlendOp::Subtract: return GL_FUNC_SUBTRACT;
            case BlendOp::RevSubtract: return GL_FUNC_REVERSE_SUBTRACT;
            case BlendOp::Min: return GL_MIN;
            case BlendOp::Max: return GL_MAX;
            default: return GL_FUNC_ADD;
            }
        }

        GLenum StencilOpOf(StencilOp anOp)
        {
            switch (anOp)
            {
            case StencilOp::Zero: return GL_ZERO;
            case StencilOp::Replace: return GL_REPLACE;
            case StencilOp::IncrSat: return GL_INCR;
            case StencilOp::DecrSat: return GL_DECR;
            case StencilOp::Invert: return GL_INVERT;
            case StencilOp::Incr: return GL_INCR_WRAP;
            case StencilOp::Decr: return GL_DECR_WRAP;
            default: return GL_KEEP;
            }
        }

        GLenum TopologyOf(PrimitiveTopology aTopology)
        {
            switch (aTopology)
            {
            case PrimitiveTopology::PointList: return GL_POINTS;
            case PrimitiveTopology::LineList: return GL_LINES;
            case PrimitiveTopology::LineStrip: return GL_LINE_STRIP;
            case PrimitiveTopology::TriangleStrip: return GL_TRIANGLE_STRIP;
            default: return GL_TRIANGLES;
            }
        }

        void ApplyBlend(const BlendState* aState, const std::array<float, 4>& aFactor)
        {
            const BlendDesc desc = aState ? aState->GetDesc() : BlendDesc{};
            const RenderTargetBlendDesc& target = desc.myRenderTarget[0];
            if (target.myBlendEnable)
            {
                glEnable(GL_BLEND);
            }
            else
            {
                glDisable(GL_BLEND);
            }
            glBlendFuncSeparate(BlendFactorOf(target.mySrcBlend), BlendFactorOf(target.myDestBlend), BlendFactorOf(target.mySrcBlendAlpha), BlendFactorOf(target.myDestBlendAlpha));
            glBlendEquationSeparate(BlendEquationOf(target.myBlendOp), BlendEquationOf(target.myBlendOpAlpha));
            const uint8_t mask = target.myRenderTargetWriteMask;
            glColorMask((mask & COLOR_WRITE_ENABLE_RED) != 0, (mask & COLOR_WRITE_ENABLE_GREEN) != 0, (mask & COLOR_WRITE_ENABLE_BLUE) != 0, (mask & COLOR_WRITE_ENABLE_ALPHA) != 0);
            glBlendColor(aFactor[0], aFactor[1], aFactor[2], aFactor[3]);
            if (desc.myAlphaToCoverageEnable)
            {
                glEnable(GL_SAMPLE_ALPHA_TO_COVERAGE);
            }
            else
            {
                glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
            }
        }

        void ApplyStencilFace(GLenum aFace, const DepthStencilOpDesc& anOp, const DepthStencilDesc& aDesc, uint32_t aReference)
        {
            glStencilFuncSeparate(aFace, impl::GetGlCompareFunction(anOp.myStencilFunc), static_cast<GLint>(aReference), aDesc.myStencilReadMask);
            glStencilOpSeparate(aFace, StencilOpOf(anOp.myStencilFailOp), StencilOpOf(anOp.myStencilDepthFailOp), StencilOpOf(anOp.myStencilPassOp));
            glStencilMaskSeparate(aFace, aDesc.myStencilWriteMask);
        }

        void ApplyDepthStencil(const DepthStencilState* aState, uint32_t aReference)
        {
            const DepthStencilDesc desc = aState ? aState->GetDesc() : DepthStencilDesc{};
            if (desc.myDepthEnable)
            {
                glEnable(GL_DEPTH_TEST);
                glDepthFunc(impl::GetGlCompareFunction(desc.myDepthFunc));
                glDepthMask(desc.myDepthWriteMask == DepthWriteMask::All ? GL_TRUE : GL_FALSE);
            }
            else
            {
                glDisable(GL_DEPTH_TEST);
                glDepthMask(GL_FALSE);
            }
            if (desc.myStencilEnable)
            {
                glEnable(GL_STENCIL_TEST);
                ApplyStencilFace(GL_FRONT, desc.myFrontFace, desc, aReference);
                ApplyStencilFace(GL_BACK, desc.myBackFace, desc, aReference);
            }
            else
            {
                glDisable(GL_STENCIL_TEST);
            }
        }

        void ApplyRasterizer(const RasterizerState* aState)
        {
            const RasterizerDesc desc = aState ? aState->GetDesc() : RasterizerDesc{};
            glPolygonMode(GL_FRONT_AND_BACK, desc.myFillMode == FillMode::Wireframe ? GL_LINE : GL_FILL);
            if (desc.myCullMode == CullMode::None)
            {
                glDisable(GL_CULL_FACE);
            }
            else
            {
                glEnable(GL_CULL_FACE);
                glCullFace(desc.myCullMode == CullMode::Front ? GL_FRONT : GL_BACK);
            }
            // With the top-left clip origin, GL judges the winding in target space as the render
            // code does (y downwards), so clockwise means the same on both sides.
            glFrontFace(desc.myFrontCounterClockwise ? GL_CCW : GL_CW);
            if (desc.myDepthClipEnable)
            {
                glDisable(GL_DEPTH_CLAMP);
            }
            else
            {
                glEnable(GL_DEPTH_CLAMP);
            }
            if (desc.myDepthBias != 0 || desc.mySlopeScaledDepthBias != 0.0f)
            {
                glEnable(GL_POLYGON_OFFSET_FILL);
                glPolygonOffset(desc.mySlopeScaledDepthBias, static_cast<float>(desc.myDepthBias));
            }
            else
            {
                glDisable(GL_POLYGON_OFFSET_FILL);
            }
        }

        template <typename T>
        Ref<T> SlotOf(const auto& someSlots, uint32_t aSlot)
        {
            return aSlot < someSlots.size() ? someSlots[aSlot] : nullptr;
        }
    }

    DeviceContext::DeviceContext(std::shared_ptr<impl::DeviceState> aDevice)
        : myDevice(std::move(aDevice))
    {
    }

    DeviceContext::~DeviceContext() = default;

    void DeviceContext::IASetInputLayout(const Ref<InputLayout>& aLayout)
    {
        myInputLayout = aLayout;
        ++myCounters.myInputLayoutSets;
    }

    void DeviceContext::IASetPrimitiveTopology(PrimitiveTopology aTopology)
    {
        myTopology = aTopology;
        ++myCounters.myTopologySets;
    }

    void DeviceContext::IASetVertexBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers, const uint32_t* someStrides, const uint32_t* someOffsets)
    {
        for (uint32_t index = 0; index < aCount && aStartSlot + index < MAX_VERTEX_BUFFER_SLOTS; ++index)
        {
            VertexBufferBinding& binding = myVertexBuffers[aStartSlot + index];
            binding.myBuffer = someBuffers ? someBuffers[index] : nullptr;
            binding.myStride = someStrides ? someStrides[index] : 0;
            binding.myOffset = someOffsets ? someOffsets[index] : 0;
        }
        ++myCounters.myVertexBufferSets;
    }

    void DeviceContext::IASetIndexBuffer(const Ref<Buffer>& aBuffer, Format aFormat, uint32_t anOffset)
    {
        myIndexBuffer = aBuffer;
        myIndexFormat = aFormat;
        myIndexOffset = anOffset;
        ++myCounters.myIndexBufferSets;
    }

    void DeviceContext::VSSetShader(const Ref<VertexShader>& aShader)
    {
        myVertexShader = aShader;
        ++myCounters.myShaderSets;
    }

    void DeviceContext::PSSetShader(const Ref<PixelShader>& aShader)
    {
        myPixelShader = aShader;
        ++myCounters.myShaderSets;
    }

    void DeviceContext::SetConstantBuffers(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers)
    {
        for (uint32_t index = 0; index < aCount && aStartSlot + index < MAX_CONSTANT_BUFFER_SLOTS; ++index)
        {
            aStage.myConstantBuffers[aStartSlot + index] = someBuffers ? someBuffers[index] : nullptr;
        }
        ++myCounters.myConstantBufferSets;
    }

    void DeviceContext::SetShaderResources(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews)
    {
        for (uint32_t index = 0; index < aCount && aStartSlot + index < MAX_SHADER_RESOURCE_SLOTS; ++index)
        {
            aStage.myShaderResources[aStartSlot + index] = someViews ? someViews[index] : nullptr;
        }
        ++myCounters.myShaderResourceSets;
    }

    void DeviceContext::SetSamplers(StageBindings& aStage, uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers)
    {
        for (uint32_t index = 0; index < aCount && aStartSlot + index < MAX_SAMPLER_SLOTS; ++index)
        {
            aStage.mySamplers[aStartSlot + index] = someSamplers ? someSamplers[index] : nullptr;
        }
        ++myCounters.mySamplerSets;
    }

    void DeviceContext::VSSetConstantBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers) { SetConstantBuffers(myVertexStage, aStartSlot, aCount, someBuffers); }
    void DeviceContext::PSSetConstantBuffers(uint32_t aStartSlot, uint32_t aCount, const Ref<Buffer>* someBuffers) { SetConstantBuffers(myPixelStage, aStartSlot, aCount, someBuffers); }
    void DeviceContext::VSSetShaderResources(uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews) { SetShaderResources(myVertexStage, aStartSlot, aCount, someViews); }
    void DeviceContext::PSSetShaderResources(uint32_t aStartSlot, uint32_t aCount, const Ref<ShaderResourceView>* someViews) { SetShaderResources(myPixelStage, aStartSlot, aCount, someViews); }
    void DeviceContext::VSSetSamplers(uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers) { SetSamplers(myVertexStage, aStartSlot, aCount, someSamplers); }
    void DeviceContext::PSSetSamplers(uint32_t aStartSlot, uint32_t aCount, const Ref<SamplerState>* someSamplers) { SetSamplers(myPixelStage, aStartSlot, aCount, someSamplers); }

    void DeviceContext::RSSetState(const Ref<RasterizerState>& aState)
    {
        myRasterizerState = aState;
        ++myCounters.myRasterizerStateSets;
    }

    void DeviceContext::RSSetViewports(uint32_t aCount, const Viewport* someViewports)
    {
        myViewportCount = std::min(aCount, MAX_VIEWPORTS);
        for (uint32_t index = 0; index < myViewportCount; ++index)
        {
            myViewports[index] = someViewports[index];
        }
        ++myCounters.myViewportSets;
    }

    void DeviceContext::RSSetScissorRects(uint32_t aCount, const Rect* someRects)
    {
        myScissorCount = std::min(aCount, MAX_VIEWPORTS);
        for (uint32_t index = 0; index < myScissorCount; ++index)
        {
            myScissorRects[index] = someRects[index];
        }
    }

    void DeviceContext::OMSetRenderTargets(uint32_t aCount, const Ref<RenderTargetView>* someViews, const Ref<DepthStencilView>& aDepthView)
    {
        myRenderTargetCount = std::min(aCount, MAX_RENDER_TARGETS);
        for (uint32_t index = 0; index < MAX_RENDER_TARGETS; ++index)
        {
            myRenderTargets[index] = index < myRenderTargetCount && someViews ? someViews[index] : nullptr;
        }
        myDepthView = aDepthView;
        myTargetsDirty = true;
        ++myCounters.myRenderTargetSets;
    }

    void DeviceContext::OMSetBlendState(const Ref<BlendState>& aState, const float* aBlendFactor, uint32_t aSampleMask)
    {
        myBlendState = aState;
        if (aBlendFactor)
        {
            std::copy(aBlendFactor, aBlendFactor + 4, myBlendFactor.begin());
        }
        else
        {
            myBlendFactor = {1.0f, 1.0f, 1.0f, 1.0f};
        }
        mySampleMask = aSampleMask;
        ++myCounters.myBlendStateSets;
    }

    void DeviceContext::OMSetDepthStencilState(const Ref<DepthStencilState>& aState, uint32_t aStencilRef)
    {
        myDepthStencilState = aState;
        myStencilRef = aStencilRef;
        ++myCounters.myDepthStencilStateSets;
    }

    Ref<Buffer> DeviceContext::IAGetVertexBuffer(uint32_t aSlot, uint32_t* aStride, uint32_t* anOffset) const
    {
        if (aSlot >= MAX_VERTEX_BUFFER_SLOTS)
        {
            return nullptr;
        }
        if (aStride)
        {
            *aStride = myVertexBuffers[aSlot].myStride;
        }
        if (anOffset)
        {
            *anOffset = myVertexBuffers[aSlot].myOffset;
        }
        return myVertexBuffers[aSlot].myBuffer;
    }

    Ref<Buffer> DeviceContext::IAGetIndexBuffer(Format* aFormat, uint32_t* anOffset) const
    {
        if (aFormat)
        {
            *aFormat = myIndexFormat;
        }
        if (anOffset)
        {
            *anOffset = myIndexOffset;
        }
        return myIndexBuffer;
    }

    Ref<Buffer> DeviceContext::VSGetConstantBuffer(uint32_t aSlot) const { return SlotOf<Buffer>(myVertexStage.myConstantBuffers, aSlot); }
    Ref<Buffer> DeviceContext::PSGetConstantBuffer(uint32_t aSlot) const { return SlotOf<Buffer>(myPixelStage.myConstantBuffers, aSlot); }
    Ref<ShaderResourceView> DeviceContext::VSGetShaderResource(uint32_t aSlot) const { return SlotOf<ShaderResourceView>(myVertexStage.myShaderResources, aSlot); }
    Ref<ShaderResourceView> DeviceContext::PSGetShaderResource(uint32_t aSlot) const { return SlotOf<ShaderResourceView>(myPixelStage.myShaderResources, aSlot); }
    Ref<SamplerState> DeviceContext::VSGetSampler(uint32_t aSlot) const { return SlotOf<SamplerState>(myVertexStage.mySamplers, aSlot); }
    Ref<SamplerState> DeviceContext::PSGetSampler(uint32_t aSlot) const { return SlotOf<SamplerState>(myPixelStage.mySamplers, aSlot); }
    Ref<RenderTargetView> DeviceContext::OMGetRenderTarget(uint32_t aSlot) const { return SlotOf<RenderTargetView>(myRenderTargets, aSlot); }

    uint32_t DeviceContext::RSGetViewports(uint32_t aCapacity, Viewport* someViewports) const
    {
        for (uint32_t index = 0; someViewports && index < std::min(aCapacity, myViewportCount); ++index)
        {
            someViewports[index] = myViewports[index];
        }
        return myViewportCount;
    }

    Ref<BlendState> DeviceContext::OMGetBlendState(float* aBlendFactor, uint32_t* aSampleMask) const
    {
        if (aBlendFactor)
        {
            std::copy(myBlendFactor.begin(), myBlendFactor.end(), aBlendFactor);
        }
        if (aSampleMask)
        {
            *aSampleMask = mySampleMask;
        }
        return myBlendState;
    }

    Ref<DepthStencilState> DeviceContext::OMGetDepthStencilState(uint32_t* aStencilRef) const
    {
        if (aStencilRef)
        {
            *aStencilRef = myStencilRef;
        }
        return myDepthStencilState;
    }

    void DeviceContext::ClearRenderTargetView(const Ref<RenderTargetView>& aView, const float aColor[4])
    {
        ++myCounters.myClears;
        if (!aView || !myDevice->MakeCurrent())
        {
            return;
        }
        const GLuint framebuffer = myDevice->myScratchFramebuffer;
        glNamedFramebufferTexture(framebuffer, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
        if (!Backend::Attach(framebuffer, GL_COLOR_ATTACHMENT0, *aView))
        {
            return;
        }
        glNamedFramebufferDrawBuffer(framebuffer, GL_COLOR_ATTACHMENT0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearNamedFramebufferfv(framebuffer, GL_COLOR, 0, aColor);
        glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, 0, 0);
    }

    void DeviceContext::ClearDepthStencilView(const Ref<DepthStencilView>& aView, uint32_t someClearFlags, float aDepth, uint8_t aStencil)
    {
        ++myCounters.myClears;
        if (!aView || !myDevice->MakeCurrent())
        {
            return;
        }
        const GLuint framebuffer = myDevice->myScratchFramebuffer;
        glNamedFramebufferTexture(framebuffer, GL_COLOR_ATTACHMENT0, 0, 0);
        glNamedFramebufferDrawBuffer(framebuffer, GL_NONE);
        if (!Backend::Attach(framebuffer, *aView))
        {
            return;
        }
        glDisable(GL_SCISSOR_TEST);
        glDepthMask(GL_TRUE);
        glStencilMask(0xFF);
        const bool hasStencil = Backend::HasStencil(*aView);
        const bool clearDepth = (someClearFlags & CLEAR_DEPTH) != 0;
        const bool clearStencil = hasStencil && (someClearFlags & CLEAR_STENCIL) != 0;
        if (clearDepth && clearStencil)
        {
            glClearNamedFramebufferfi(framebuffer, GL_DEPTH_STENCIL, 0, aDepth, aStencil);
        }
        else if (clearDepth)
        {
            glClearNamedFramebufferfv(framebuffer, GL_DEPTH, 0, &aDepth);
        }
        else if (clearStencil)
        {
            const GLint stencil = aStencil;
            glClearNamedFramebufferiv(framebuffer, GL_STENCIL, 0, &stencil);
        }
        glNamedFramebufferTexture(framebuffer, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
    }

    Result DeviceContext::Map(const Ref<Resource>& aResource, uint32_t aSubresource, MapType aType, uint32_t, MappedSubresource* aMapped)
    {
        if (!aResource || aMapped == nullptr || !myDevice->MakeCurrent())
        {
            return Result::InvalidArgument;
        }
        const bool isWriteDiscard = aType == MapType::WriteDiscard || aType == MapType::WriteNoOverwrite;
        if (aResource->GetKind() == ResourceKind::Buffer)
        {
            auto& buffer = static_cast<Buffer&>(*aResource);
            const Usage usage = buffer.GetDesc().myUsage;
            if (aSubresource != 0 || Backend::IsMapped(buffer) || (isWriteDiscard ? usage != Usage::Dynamic : usage != Usage::Staging))
            {
                return Result::InvalidArgument;
            }
            std::vector<std::byte>& shadow = Backend::GetShadow(buffer);
            if ((aType == MapType::Read || aType == MapType::ReadWrite) && Backend::Sync(buffer))
            {
                glGetNamedBufferSubData(Backend::GetName(buffer), 0, static_cast<GLsizeiptr>(shadow.size()), shadow.data());
            }
            Backend::IsMapped(buffer) = true;
            aMapped->myData = shadow.data();
            aMapped->myRowPitch = buffer.GetDesc().myByteWidth;
            aMapped->myDepthPitch = buffer.GetDesc().myByteWidth;
            ++myCounters.myMaps;
            return Result::Ok;
        }
        auto& texture = static_cast<Texture2D&>(*aResource);
        const Usage usage = texture.GetDesc().myUsage;
        if (aSubresource >= texture.GetSubresourceCount() || (isWriteDiscard ? usage != Usage::Dynamic : usage != Usage::Staging) || !Backend::Realize(texture))
        {
            return Result::InvalidArgument;
        }
        auto& subresource = Backend::GetSubresource(texture, aSubresource);
        if (subresource.myIsMapped)
        {
            return Result::InvalidArgument;
        }
        if (aType == MapType::Read || aType == MapType::ReadWrite || aType == MapType::Write)
        {
            Backend::DownloadSubresource(texture, aSubresource, subresource.myBytes);
        }
        else
        {
            const Texture2DDesc& desc = texture.GetDesc();
            const uint32_t mip = aSubresource % desc.myMipLevels;
            subresource.myBytes.resize(static_cast<std::size_t>(subresource.myRowPitch) * GetRowCount(desc.myFormat, std::max(1u, desc.myHeight >> mip)));
        }
        subresource.myIsMapped = true;
        subresource.myMapType = aType;
        aMapped->myData = subresource.myBytes.data();
        aMapped->myRowPitch = subresource.myRowPitch;
        aMapped->myDepthPitch = static_cast<uint32_t>(subresource.myBytes.size());
        ++myCounters.myMaps;
        return Result::Ok;
    }

    void DeviceContext::Unmap(const Ref<Resource>& aResource, uint32_t aSubresource)
    {
        Unmap(aResource, aSubresource, UINT32_MAX);
    }

    void DeviceContext::Unmap(const Ref<Resource>& aResource, uint32_t aSubresource, uint32_t aWrittenBytes)
    {
        if (!aResource || !myDevice->MakeCurrent())
        {
            return;
        }
        if (aResource->GetKind() == ResourceKind::Buffer)
        {
            auto& buffer = static_cast<Buffer&>(*aResource);
            if (!Backend::IsMapped(buffer))
            {
                return;
            }
            Backend::IsMapped(buffer) = false;
            std::vector<std::byte>& shadow = Backend::GetShadow(buffer);
            if (buffer.GetDesc().myUsage == Usage::Dynamic)
            {
                // Sent when first used, and then only as far as that use reads.
                Backend::MarkStoreStale(buffer, aWrittenBytes);
            }
            else if (Backend::Realize(buffer))
            {
                glNamedBufferSubData(Backend::GetName(buffer), 0, static_cast<GLsizeiptr>(shadow.size()), shadow.data());
            }
            return;
        }
        auto& texture = static_cast<Texture2D&>(*aResource);
        if (aSubresource >= texture.GetSubresourceCount())
        {
            return;
        }
        auto& subresource = Backend::GetSubresource(texture, aSubresource);
        if (!subresource.myIsMapped)
        {
            return;
        }
        subresource.myIsMapped = false;
        if (subresource.myMapType != MapType::Read && Backend::Realize(texture))
        {
            Backend::UploadSubresource(texture, aSubresource, subresource.myBytes.data(), subresource.myRowPitch);
        }
    }

    void DeviceContext::UpdateSubresource(const Ref<Resource>& aResource, uint32_t aSubresource, const Box* aBox, const void* aData, uint32_t aRowPitch, uint32_t)
    {
        if (!aResource || aData == nullptr || !myDevice->MakeCurrent())
        {
            return;
        }
        if (aResource->GetKind() == ResourceKind::Buffer)
        {
            auto& buffer = static_cast<Buffer&>(*aResource);
            const uint32_t size = buffer.GetDesc().myByteWidth;
            const uint32_t left = aBox ? std::min(aBox->myLeft, size) : 0;
            const uint32_t right = aBox ? std::min(aBox->myRight, size) : size;
            if (right > left && Backend::Sync(buffer))
            {
                glNamedBufferSubData(Backend::GetName(buffer), left, right - left, aData);
            }
            return;
        }
        auto& texture = static_cast<Texture2D&>(*aResource);
        if (aSubresource >= texture.GetSubresourceCount() || !Backend::Realize(texture))
        {
            return;
        }
        if (aBox)
        {
            Box box = *aBox;
            box.myFront = aSubresource / texture.GetDesc().myMipLevels;
            box.myBack = box.myFront + 1;
            Backend::UploadRegion(texture, aSubresource, box, aData, aRowPitch);
        }
        else
        {
            Backend::UploadSubresource(texture, aSubresource, aData, aRowPitch);
        }
    }

    void DeviceContext::CopyResource(const Ref<Resource>& aDestination, const Ref<Resource>& aSource)
    {
        if (!aDestination || !aSource || aDestination->GetKind() != aSource->GetKind() || !myDevice->MakeCurrent())
        {
            return;
        }
        if (aSource->GetKind() == ResourceKind::Buffer)
        {
            auto& source = static_cast<Buffer&>(*aSource);
            auto& destination = static_cast<Buffer&>(*aDestination);
            const uint32_t size = std::min(source.GetDesc().myByteWidth, destination.GetDesc().myByteWidth);
            if (Backend::Sync(source) && Backend::Sync(destination))
            {
                glCopyNamedBufferSubData(Backend::GetName(source), Backend::GetName(destination), 0, 0, size);
            }
            return;
        }
        auto& source = static_cast<Texture2D&>(*aSource);
        auto& destination = static_cast<Texture2D&>(*aDestination);
        const Texture2DDesc& sourceDesc = source.GetDesc();
        const Texture2DDesc& destinationDesc = destination.GetDesc();
        if (sourceDesc.myWidth != destinationDesc.myWidth || sourceDesc.myHeight != destinationDesc.myHeight || sourceDesc.myMipLevels != destinationDesc.myMipLevels ||
            sourceDesc.myArraySize != destinationDesc.myArraySize || !Backend::Realize(source) || !Backend::Realize(destination))
        {
            return;
        }
        // The software renderer can still be filling a target that was just cleared or drawn when a
        // copy reads it; read-backs must see every command issued before them.
        glFinish();
        for (uint32_t slice = 0; slice < sourceDesc.myArraySize; ++slice)
        {
            for (uint32_t mip = 0; mip < sourceDesc.myMipLevels; ++mip)
            {
                const auto width = static_cast<GLsizei>(std::max(1u, sourceDesc.myWidth >> mip));
                const auto height = static_cast<GLsizei>(std::max(1u, sourceDesc.myHeight >> mip));
                glCopyImageSubData(Backend::GetName(source), Backend::GetTarget(source), mip, 0, 0, slice, Backend::GetName(destination), Backend::GetTarget(destination), mip, 0, 0, slice, width, height, 1);
            }
        }
    }

    void DeviceContext::GenerateMips(const Ref<ShaderResourceView>& aView)
    {
        if (!aView || !myDevice->MakeCurrent() || !Backend::Realize(*aView))
        {
            return;
        }
        glGenerateTextureMipmap(Backend::GetName(*aView->GetTexture2D()));
    }

    bool DeviceContext::PrepareDraw(uint64_t aVertexEnd, uint64_t anInstanceEnd)
    {
        if (!myVertexShader || !myPixelShader || !myDevice->MakeCurrent())
        {
            return false;
        }
        const GLuint program = myDevice->GetProgram(*myVertexShader, *myPixelShader);
        if (program == 0)
        {
            return false;
        }
        glUseProgram(program);

        GLuint vertexArray = myDevice->myEmptyVertexArray;
        if (myInputLayout)
        {
            if (!Backend::Realize(*myInputLayout))
            {
                return false;
            }
            vertexArray = Backend::GetName(*myInputLayout);
            const std::vector<uint32_t>& stepRates = Backend::GetStepRates(*myInputLayout);
            const std::vector<uint32_t>& extents = Backend::GetSlotExtents(*myInputLayout);
            for (uint32_t slot = 0; slot < stepRates.size(); ++slot)
            {
                const VertexBufferBinding& binding = myVertexBuffers[slot];
                if (binding.myBuffer && Backend::Sync(*binding.myBuffer, ReadEnd(binding.myOffset, binding.myStride, stepRates[slot], extents[slot], aVertexEnd, anInstanceEnd), &myCounters.myBufferBytesSent))
                {
                    glVertexArrayVertexBuffer(vertexArray, slot, Backend::GetName(*binding.myBuffer), binding.myOffset, static_cast<GLsizei>(binding.myStride));
                }
                else
                {
                    glVertexArrayVertexBuffer(vertexArray, slot, 0, 0, 16);
                }
            }
            const bool hasIndices = myIndexBuffer && Backend::Sync(*myIndexBuffer, UINT32_MAX, &myCounters.myBufferBytesSent);
            glVertexArrayElementBuffer(vertexArray, hasIndices ? Backend::GetName(*myIndexBuffer) : 0);
        }
        glBindVertexArray(vertexArray);

        // Both stages share GL's binding points; a slot both stages read takes the pixel stage's.
        const auto bindStage = [this](const Shader& aShader, const StageBindings& aStage, GLuint aDefaultSampler) {
            for (const uint32_t slot : aShader.GetReflection().myConstantBuffers)
            {
                const Ref<Buffer>& buffer = aStage.myConstantBuffers[std::min(slot, MAX_CONSTANT_BUFFER_SLOTS - 1)];
                glBindBufferBase(GL_UNIFORM_BUFFER, slot, buffer && Backend::Sync(*buffer, UINT32_MAX, &myCounters.myBufferBytesSent) ? Backend::GetName(*buffer) : 0);
            }
            for (const ShaderReflection::TextureSampler& texture : aShader.GetReflection().myTextures)
            {
                const uint32_t unit = std::min(texture.myTextureSlot, MAX_SHADER_RESOURCE_SLOTS - 1);
                const Ref<ShaderResourceView>& view = aStage.myShaderResources[unit];
                glBindTextureUnit(unit, view && Backend::Realize(*view) ? Backend::GetName(*view) : 0);
                GLuint sampler = aDefaultSampler;
                if (texture.mySamplerSlot >= 0 && static_cast<uint32_t>(texture.mySamplerSlot) < MAX_SAMPLER_SLOTS)
                {
                    const Ref<SamplerState>& state = aStage.mySamplers[texture.mySamplerSlot];
                    if (state && Backend::Realize(*state))
                    {
                        sampler = Backend::GetName(*state);
                    }
                }
                glBindSampler(unit, sampler);
            }
        };
        bindStage(*myVertexShader, myVertexStage, myDevice->myDefaultSampler);
        bindStage(*myPixelShader, myPixelStage, myDevice->myDefaultSampler);

        const GLuint framebuffer = myDevice->myDrawFramebuffer;
        if (myTargetsDirty)
        {
            GLenum drawBuffers[MAX_RENDER_TARGETS] = {};
            for (uint32_t index = 0; index < MAX_RENDER_TARGETS; ++index)
            {
                const GLenum attachment = GL_COLOR_ATTACHMENT0 + index;
                if (myRenderTargets[index] && Backend::Attach(framebuffer, attachment, *myRenderTargets[index]))
                {
                    drawBuffers[index] = attachment;
                }
                else
                {
                    glNamedFramebufferTexture(framebuffer, attachment, 0, 0);
                    drawBuffers[index] = GL_NONE;
                }
            }
            glNamedFramebufferDrawBuffers(framebuffer, MAX_RENDER_TARGETS, drawBuffers);
            glNamedFramebufferTexture(framebuffer, GL_DEPTH_STENCIL_ATTACHMENT, 0, 0);
            if (myDepthView)
            {
                Backend::Attach(framebuffer, *myDepthView);
            }
            myTargetsDirty = false;
        }
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);

        if (myViewportCount == 0)
        {
            glViewport(0, 0, 0, 0);
        }
        for (uint32_t index = 0; index < myViewportCount; ++index)
        {
            const Viewport& viewport = myViewports[index];
            glViewportIndexedf(index, viewport.myTopLeftX, viewport.myTopLeftY, viewport.myWidth, viewport.myHeight);
            glDepthRangeIndexed(index, viewport.myMinDepth, viewport.myMaxDepth);
        }
        const bool scissor = myRasterizerState && myRasterizerState->GetDesc().myScissorEnable;
        if (scissor)
        {
            glEnable(GL_SCISSOR_TEST);
            for (uint32_t index = 0; index < myScissorCount; ++index)
            {
                const Rect& rect = myScissorRects[index];
                glScissorIndexed(index, rect.myLeft, rect.myTop, std::max(0, rect.myRight - rect.myLeft), std::max(0, rect.myBottom - rect.myTop));
            }
        }
        else
        {
            glDisable(GL_SCISSOR_TEST);
        }
        ApplyRasterizer(myRasterizerState.get());
        ApplyBlend(myBlendState.get(), myBlendFactor);
        ApplyDepthStencil(myDepthStencilState.get(), myStencilRef);
        return true;
    }

    void DeviceContext::CountDraw(uint64_t anInstanceCount)
    {
        ++myCounters.myDrawCalls;
        myCounters.myInstancesDrawn += anInstanceCount;
    }

    void DeviceContext::Draw(uint32_t aVertexCount, uint32_t aStartVertex)
    {
        DrawInstanced(aVertexCount, 1, aStartVertex, 0);
    }

    void DeviceContext::DrawIndexed(uint32_t anIndexCount, uint32_t aStartIndex, int32_t aBaseVertex)
    {
        DrawIndexedInstanced(anIndexCount, 1, aStartIndex, aBaseVertex, 0);
    }

    void DeviceContext::DrawInstanced(uint32_t aVertexCountPerInstance, uint32_t anInstanceCount, uint32_t aStartVertex, uint32_t aStartInstance)
    {
        CountDraw(anInstanceCount);
        if (aVertexCountPerInstance == 0 || anInstanceCount == 0 ||
            !PrepareDraw(static_cast<uint64_t>(aStartVertex) + aVertexCountPerInstance, static_cast<uint64_t>(aStartInstance) + anInstanceCount))
        {
            return;
        }
        glDrawArraysInstancedBaseInstance(TopologyOf(myTopology), static_cast<GLint>(aStartVertex), static_cast<GLsizei>(aVertexCountPerInstance), static_cast<GLsizei>(anInstanceCount), aStartInstance);
    }

    void DeviceContext::DrawIndexedInstanced(uint32_t anIndexCountPerInstance, uint32_t anInstanceCount, uint32_t aStartIndex, int32_t aBaseVertex, uint32_t aStartInstance)
    {
        CountDraw(anInstanceCount);
        // Which vertices the indices name is not known here: per-vertex buffers are sent whole.
        if (anIndexCountPerInstance == 0 || anInstanceCount == 0 || !myIndexBuffer || !myInputLayout ||
            !PrepareDraw(UINT64_MAX, static_cast<uint64_t>(aStartInstance) + anInstanceCount))
        {
            return;
        }
        const bool isShort = myIndexFormat == Format::R16_UINT;
        const uintptr_t offset = myIndexOffset + static_cast<uintptr_t>(aStartIndex) * (isShort ? 2 : 4);
        glDrawElementsInstancedBaseVertexBaseInstance(TopologyOf(myTopology), static_cast<GLsizei>(anIndexCountPerInstance), isShort ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT,
            reinterpret_cast<const void*>(offset), static_cast<GLsizei>(anInstanceCount), aBaseVertex, aStartInstance);
    }

    void DeviceContext::ClearState()
    {
        myInputLayout.reset();
        myTopology = PrimitiveTopology::Undefined;
        for (VertexBufferBinding& binding : myVertexBuffers)
        {
            binding = {};
        }
        myIndexBuffer.reset();
        myIndexFormat = Format::UNKNOWN;
        myIndexOffset = 0;
        myVertexShader.reset();
        myPixelShader.reset();
        myVertexStage = {};
        myPixelStage = {};
        myRasterizerState.reset();
        myViewportCount = 0;
        myScissorCount = 0;
        myRenderTargets = {};
        myRenderTargetCount = 0;
        myDepthView.reset();
        myBlendState.reset();
        myBlendFactor = {1.0f, 1.0f, 1.0f, 1.0f};
        mySampleMask = DEFAULT_SAMPLE_MASK;
        myDepthStencilState.reset();
        myStencilRef = 0;
        myTargetsDirty = true;
    }

    void DeviceContext::Flush()
    {
        if (myDevice->MakeCurrent())
        {
            glFlush();
            myDevice->DeleteQueued();
        }
    }
}
