#include "gpu/impl/DeviceState.h"
#include "gpu/impl/GlFormat.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace Platform::Gpu::impl
{
    namespace
    {
        uint32_t MipSize(uint32_t aSize, uint32_t aMip)
        {
            return std::max(1u, aSize >> aMip);
        }

        // The format the texture is stored with: typeless or colour formats of depth buffers
        // become the matching depth format.
        GlFormat StorageFormat(const Texture2DDesc& aDesc)
        {
            if ((aDesc.myBindFlags & BIND_DEPTH_STENCIL) != 0)
            {
                return GetGlFormat(GetDepthFormatOfTypeless(aDesc.myFormat));
            }
            return GetGlFormat(aDesc.myFormat);
        }

        GLenum ViewTarget(SrvDimension aDimension)
        {
            switch (aDimension)
            {
            case SrvDimension::Texture2DArray: return GL_TEXTURE_2D_ARRAY;
            case SrvDimension::TextureCube: return GL_TEXTURE_CUBE_MAP;
            default: return GL_TEXTURE_2D;
            }
        }

        GLenum AddressMode(TextureAddressMode aMode)
        {
            switch (aMode)
            {
            case TextureAddressMode::Wrap: return GL_REPEAT;
            case TextureAddressMode::Mirror: return GL_MIRRORED_REPEAT;
            case TextureAddressMode::Border: return GL_CLAMP_TO_BORDER;
            case TextureAddressMode::MirrorOnce: return GL_MIRROR_CLAMP_TO_EDGE;
            default: return GL_CLAMP_TO_EDGE;
            }
        }
    }

    std::vector<std::byte> PackRows(const void* aData, uint32_t aRowPitch, uint32_t aRowBytes, uint32_t aRows)
    {
        const auto* source = static_cast<const std::byte*>(aData);
        const std::size_t pitch = aRowPitch == 0 ? aRowBytes : aRowPitch;
        if (pitch == aRowBytes)
        {
            return std::vector<std::byte>(source, source + pitch * aRows);
        }
        // Filled row by row, never zeroed first.
        std::vector<std::byte> packed;
        packed.reserve(static_cast<std::size_t>(aRowBytes) * aRows);
        for (uint32_t row = 0; row < aRows; ++row)
        {
            const std::byte* rowStart = source + row * pitch;
            packed.insert(packed.end(), rowStart, rowStart + aRowBytes);
        }
        return packed;
    }

    bool Backend::Realize(Buffer& aBuffer)
    {
        std::lock_guard lock(aBuffer.myRealizeMutex);
        if (aBuffer.myGlName != 0)
        {
            return true;
        }
        if (!aBuffer.myDevice->MakeCurrent())
        {
            return false;
        }
        const GLenum usage = aBuffer.myDesc.myUsage == Usage::Dynamic ? GL_DYNAMIC_DRAW : (aBuffer.myDesc.myUsage == Usage::Staging ? GL_STREAM_READ : GL_STATIC_DRAW);
        glCreateBuffers(1, &aBuffer.myGlName);
        glNamedBufferData(aBuffer.myGlName, aBuffer.myDesc.myByteWidth, aBuffer.myHasPendingData ? aBuffer.myShadow.data() : nullptr, usage);
        aBuffer.myHasPendingData = false;
        return true;
    }

    void Backend::MarkStoreStale(Buffer& aBuffer, uint32_t aWrittenBytes)
    {
        aBuffer.myIsStoreStale = true;
        aBuffer.myUploadedBytes = 0;
        aBuffer.myWrittenBytes = std::min(aWrittenBytes, aBuffer.myDesc.myByteWidth);
    }

    bool Backend::Sync(Buffer& aBuffer, uint32_t aByteCount, uint64_t* aSentBytes)
    {
        if (!Realize(aBuffer))
        {
            return false;
        }
        if (!aBuffer.myIsStoreStale)
        {
            return true;
        }
        const uint32_t size = aBuffer.myWrittenBytes;
        const uint32_t wanted = std::min(aByteCount, size);
        if (wanted <= aBuffer.myUploadedBytes)
        {
            return true;
        }
        if (aBuffer.myUploadedBytes == 0)
        {
            // A fresh store lets the driver keep drawing from the old one without a stall; its
            // allocation is recycled by the driver, the shadow stays ours.
            glInvalidateBufferData(aBuffer.myGlName);
        }
        glNamedBufferSubData(aBuffer.myGlName, aBuffer.myUploadedBytes, wanted - aBuffer.myUploadedBytes, aBuffer.myShadow.data() + aBuffer.myUploadedBytes);
        if (aSentBytes != nullptr)
        {
            *aSentBytes += wanted - aBuffer.myUploadedBytes;
        }
        aBuffer.myUploadedBytes = wanted;
        aBuffer.myIsStoreStale = wanted < size;
        return true;
    }

    bool Backend::Realize(Texture2D& aTexture)
    {
        return Realize(aTexture, nullptr);
    }

    bool Backend::Realize(Texture2D& aTexture, const SubresourceData* someInitialData)
    {
        std::lock_guard lock(aTexture.myRealizeMutex);
        if (aTexture.myGlName != 0)
        {
            return true;
        }
        if (!aTexture.myDevice->MakeCurrent())
        {
            return false;
        }
        const Texture2DDesc& desc = aTexture.myDesc;
        const GlFormat format = StorageFormat(desc);
        const bool isCube = (desc.myMiscFlags & RESOURCE_MISC_TEXTURECUBE) != 0;
        if (isCube)
        {
            aTexture.myGlTarget = desc.myArraySize == 6 ? GL_TEXTURE_CUBE_MAP : GL_TEXTURE_CUBE_MAP_ARRAY;
        }
        else
        {
            aTexture.myGlTarget = desc.myArraySize == 1 ? GL_TEXTURE_2D : GL_TEXTURE_2D_ARRAY;
        }
        glCreateTextures(aTexture.myGlTarget, 1, &aTexture.myGlName);
        if (aTexture.myGlTarget == GL_TEXTURE_2D || aTexture.myGlTarget == GL_TEXTURE_CUBE_MAP)
        {
            glTextureStorage2D(aTexture.myGlName, desc.myMipLevels, format.myInternalFormat, desc.myWidth, desc.myHeight);
        }
        else
        {
            glTextureStorage3D(aTexture.myGlName, desc.myMipLevels, format.myInternalFormat, desc.myWidth, desc.myHeight, desc.myArraySize);
        }
        if (format.myAlphaIsOne)
        {
            glTextureParameteri(aTexture.myGlName, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        // Called with the realize lock held: upload directly.
        for (uint32_t index = 0; index < aTexture.mySubresources.size(); ++index)
        {
            if (someInitialData != nullptr && someInitialData[index].mySysMem != nullptr)
            {
                UploadSubresource(aTexture, index, someInitialData[index].mySysMem, someInitialData[index].mySysMemPitch);
                continue;
            }
            Texture2D::Subresource& subresource = aTexture.mySubresources[index];
            if (subresource.myIsPending)
            {
                // The staged rows are packed; the row pitch stays what a map of it hands out.
                const std::vector<std::byte> bytes = std::move(subresource.myBytes);
                subresource.myBytes = {};
                subresource.myIsPending = false;
                UploadSubresource(aTexture, index, subresource.myTakenBytes ? subresource.myTakenBytes : bytes.data(), subresource.myRowPitch);
                subresource.myTakenBytes = nullptr;
            }
        }
        aTexture.myTakenStorage.reset();
        return true;
    }

    void Backend::UploadSubresource(Texture2D& aTexture, uint32_t aSubresource, const void* aData, uint32_t aRowPitch)
    {
        const Texture2DDesc& desc = aTexture.myDesc;
        const uint32_t mip = aSubresource % desc.myMipLevels;
        Box box;
        box.myRight = MipSize(desc.myWidth, mip);
        box.myBottom = MipSize(desc.myHeight, mip);
        box.myFront = aSubresource / desc.myMipLevels;
        box.myBack = box.myFront + 1;
        UploadRegion(aTexture, aSubresource, box, aData, aRowPitch);
    }

    void Backend::UploadRegion(Texture2D& aTexture, uint32_t aSubresource, const Box& aBox, const void* aData, uint32_t aRowPitch)
    {
        const Texture2DDesc& desc = aTexture.myDesc;
        const GlFormat format = StorageFormat(desc);
        const uint32_t mip = aSubresource % desc.myMipLevels;
        const uint32_t slice = aSubresource / desc.myMipLevels;
        const uint32_t width = aBox.myRight - aBox.myLeft;
        const uint32_t height = aBox.myBottom - aBox.myTop;
        const uint32_t rowBytes = GetRowPitch(desc.myFormat, width);
        const uint32_t rows = GetRowCount(desc.myFormat, height);
        const uint32_t pitch = aRowPitch == 0 ? rowBytes : aRowPitch;
        // GL reads the caller's memory itself where it can: packed rows as they are, and rows of
        // whole texels apart through the unpack row length. Other layouts are packed first.
        const void* source = aData;
        std::vector<std::byte> packed;
        GLint rowLength = 0;
        if (pitch != rowBytes && rows > 1)
        {
            if (!format.myIsCompressed && pitch > rowBytes && pitch % format.myBytesPerElement == 0)
            {
                rowLength = static_cast<GLint>(pitch / format.myBytesPerElement);
            }
            else
            {
                packed = PackRows(aData, pitch, rowBytes, rows);
                source = packed.data();
            }
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, rowLength);
        const bool isLayered = aTexture.myGlTarget != GL_TEXTURE_2D;
        if (format.myIsCompressed)
        {
            const auto size = static_cast<GLsizei>(static_cast<std::size_t>(rowBytes) * rows);
            if (isLayered)
            {
                glCompressedTextureSubImage3D(aTexture.myGlName, mip, aBox.myLeft, aBox.myTop, slice, width, height, 1, format.myInternalFormat, size, source);
            }
            else
            {
                glCompressedTextureSubImage2D(aTexture.myGlName, mip, aBox.myLeft, aBox.myTop, width, height, format.myInternalFormat, size, source);
            }
        }
        else if (isLayered)
        {
            glTextureSubImage3D(aTexture.myGlName, mip, aBox.myLeft, aBox.myTop, slice, width, height, 1, format.myFormat, format.myType, source);
        }
        else
        {
            glTextureSubImage2D(aTexture.myGlName, mip, aBox.myLeft, aBox.myTop, width, height, format.myFormat, format.myType, source);
        }
        if (rowLength != 0)
        {
            // Left at 0 for every other transfer of the context.
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        }
    }

    void Backend::DownloadSubresource(Texture2D& aTexture, uint32_t aSubresource, std::vector<std::byte>& someBytes)
    {
        const Texture2DDesc& desc = aTexture.myDesc;
        const GlFormat format = StorageFormat(desc);
        const uint32_t mip = aSubresource % desc.myMipLevels;
        const uint32_t slice = aSubresource / desc.myMipLevels;
        const uint32_t width = MipSize(desc.myWidth, mip);
        const uint32_t height = MipSize(desc.myHeight, mip);
        someBytes.resize(static_cast<std::size_t>(GetRowPitch(desc.myFormat, width)) * GetRowCount(desc.myFormat, height));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_PACK_ROW_LENGTH, 0);
        const auto size = static_cast<GLsizei>(someBytes.size());
        if (format.myIsCompressed)
        {
            glGetCompressedTextureSubImage(aTexture.myGlName, mip, 0, 0, slice, width, height, 1, size, someBytes.data());
        }
        else
        {
            glGetTextureSubImage(aTexture.myGlName, mip, 0, 0, slice, width, height, 1, format.myFormat, format.myType, size, someBytes.data());
        }
    }

    bool Backend::Realize(ShaderResourceView& aView)
    {
        if (!Realize(*aView.myTexture))
        {
            return false;
        }
        std::lock_guard lock(aView.myRealizeMutex);
        if (aView.myGlName != 0)
        {
            return true;
        }
        const Texture2DDesc& textureDesc = aView.myTexture->myDesc;
        const bool isDepthStorage = (textureDesc.myBindFlags & BIND_DEPTH_STENCIL) != 0;
        const GlFormat format = isDepthStorage ? StorageFormat(textureDesc) : GetGlFormat(aView.myDesc.myFormat);
        const ShaderResourceViewDesc& desc = aView.myDesc;
        const uint32_t mips = desc.myMipLevels == ALL_MIPS ? textureDesc.myMipLevels - desc.myMostDetailedMip : desc.myMipLevels;
        const uint32_t layers = desc.myViewDimension == SrvDimension::TextureCube ? 6 : desc.myArraySize;
        aView.myGlTarget = ViewTarget(desc.myViewDimension);
        glGenTextures(1, &aView.myGlName);
        glTextureView(aView.myGlName, aView.myGlTarget, aView.myTexture->myGlName, format.myInternalFormat, desc.myMostDetailedMip, mips, desc.myFirstArraySlice, layers);
        if (format.myAlphaIsOne)
        {
            glTextureParameteri(aView.myGlName, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        }
        if (aView.myDesc.myFormat == Format::A8_UNORM)
        {
            const GLint swizzle[4] = {GL_ZERO, GL_ZERO, GL_ZERO, GL_RED};
            glTextureParameteriv(aView.myGlName, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
        }
        return glGetError() == GL_NO_ERROR;
    }

    bool Backend::Realize(RenderTargetView& aView)
    {
        if (!Realize(*aView.myTexture))
        {
            return false;
        }
        std::lock_guard lock(aView.myRealizeMutex);
        const GlFormat viewFormat = GetGlFormat(aView.myDesc.myFormat);
        const GlFormat textureFormat = StorageFormat(aView.myTexture->myDesc);
        if (aView.myGlName != 0 || viewFormat.myInternalFormat == textureFormat.myInternalFormat)
        {
            return true;
        }
        // Another format than the texture's (an sRGB view of a plain buffer) needs a view of its own.
        glGenTextures(1, &aView.myGlName);
        const uint32_t layer = aView.myDesc.myViewDimension == RtvDimension::Texture2DArray ? aView.myDesc.myFirstArraySlice : 0;
        glTextureView(aView.myGlName, GL_TEXTURE_2D, aView.myTexture->myGlName, viewFormat.myInternalFormat, aView.myDesc.myMipSlice, 1, layer, 1);
        return glGetError() == GL_NO_ERROR;
    }

    bool Backend::Realize(DepthStencilView& aView)
    {
        return Realize(*aView.myTexture);
    }

    bool Backend::Attach(GLuint aFramebuffer, GLenum anAttachment, RenderTargetView& aView)
    {
        if (!Realize(aView))
        {
            return false;
        }
        if (aView.myGlName != 0)
        {
            glNamedFramebufferTexture(aFramebuffer, anAttachment, aView.myGlName, 0);
        }
        else if (aView.myTexture->myGlTarget == GL_TEXTURE_2D)
        {
            glNamedFramebufferTexture(aFramebuffer, anAttachment, aView.myTexture->myGlName, aView.myDesc.myMipSlice);
        }
        else
        {
            const uint32_t layer = aView.myDesc.myViewDimension == RtvDimension::Texture2DArray ? aView.myDesc.myFirstArraySlice : 0;
            glNamedFramebufferTextureLayer(aFramebuffer, anAttachment, aView.myTexture->myGlName, aView.myDesc.myMipSlice, layer);
        }
        return true;
    }

    bool Backend::Attach(GLuint aFramebuffer, DepthStencilView& aView)
    {
        if (!Realize(aView))
        {
            return false;
        }
        const GLenum attachment = HasStencil(aView) ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT;
        if (aView.myTexture->myGlTarget == GL_TEXTURE_2D)
        {
            glNamedFramebufferTexture(aFramebuffer, attachment, aView.myTexture->myGlName, aView.myDesc.myMipSlice);
        }
        else
        {
            const uint32_t layer = aView.myDesc.myViewDimension == DsvDimension::Texture2DArray ? aView.myDesc.myFirstArraySlice : 0;
            glNamedFramebufferTextureLayer(aFramebuffer, attachment, aView.myTexture->myGlName, aView.myDesc.myMipSlice, layer);
        }
        return true;
    }

    bool Backend::HasStencil(const DepthStencilView& aView)
    {
        return StorageFormat(aView.myTexture->myDesc).myHasStencil;
    }

    bool Backend::Realize(SamplerState& aSampler)
    {
        std::lock_guard lock(aSampler.myRealizeMutex);
        if (aSampler.myGlName != 0)
        {
            return true;
        }
        if (!aSampler.myDevice->MakeCurrent())
        {
            return false;
        }
        const SamplerDesc& desc = aSampler.myDesc;
        const auto filter = static_cast<uint32_t>(desc.myFilter);
        const bool isAnisotropic = (filter & 0x40) != 0;
        const bool mipLinear = isAnisotropic || (filter & 0x1) != 0;
        const bool magLinear = isAnisotropic || (filter & 0x4) != 0;
        const bool minLinear = isAnisotropic || (filter & 0x10) != 0;
        GLenum minFilter = GL_NEAREST_MIPMAP_NEAREST;
        if (minLinear)
        {
            minFilter = mipLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST;
        }
        else if (mipLinear)
        {
            minFilter = GL_NEAREST_MIPMAP_LINEAR;
        }
        GLuint& name = aSampler.myGlName;
        glCreateSamplers(1, &name);
        glSamplerParameteri(name, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
        glSamplerParameteri(name, GL_TEXTURE_MAG_FILTER, magLinear ? GL_LINEAR : GL_NEAREST);
        glSamplerParameteri(name, GL_TEXTURE_WRAP_S, static_cast<GLint>(AddressMode(desc.myAddressU)));
        glSamplerParameteri(name, GL_TEXTURE_WRAP_T, static_cast<GLint>(AddressMode(desc.myAddressV)));
        glSamplerParameteri(name, GL_TEXTURE_WRAP_R, static_cast<GLint>(AddressMode(desc.myAddressW)));
        glSamplerParameterf(name, GL_TEXTURE_LOD_BIAS, desc.myMipLodBias);
        glSamplerParameterf(name, GL_TEXTURE_MIN_LOD, std::max(desc.myMinLod, -1000.0f));
        glSamplerParameterf(name, GL_TEXTURE_MAX_LOD, std::min(desc.myMaxLod, 1000.0f));
        glSamplerParameterfv(name, GL_TEXTURE_BORDER_COLOR, desc.myBorderColor);
        if (isAnisotropic && epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic"))
        {
            glSamplerParameterf(name, GL_TEXTURE_MAX_ANISOTROPY_EXT, static_cast<float>(std::clamp(desc.myMaxAnisotropy, 1u, 16u)));
        }
        if ((filter & 0x80) != 0)
        {
            glSamplerParameteri(name, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
            glSamplerParameteri(name, GL_TEXTURE_COMPARE_FUNC, static_cast<GLint>(GetGlCompareFunction(desc.myComparisonFunc)));
        }
        return true;
    }

    bool Backend::Realize(Shader& aShader)
    {
        std::lock_guard lock(aShader.myRealizeMutex);
        if (aShader.myGlName != 0)
        {
            return true;
        }
        if (aShader.myCompileFailed || !aShader.myDevice->MakeCurrent())
        {
            return false;
        }
        const GLuint name = glCreateShader(aShader.myStage == ShaderStage::Vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER);
        const char* source = aShader.mySource.c_str();
        glShaderSource(name, 1, &source, nullptr);
        glCompileShader(name);
        GLint compiled = GL_FALSE;
        glGetShaderiv(name, GL_COMPILE_STATUS, &compiled);
        if (compiled != GL_TRUE)
        {
            char log[2048] = {};
            glGetShaderInfoLog(name, sizeof(log), nullptr, log);
            std::fprintf(stderr, "GPU: compiling a shader failed: %s\n", log);
            glDeleteShader(name);
            aShader.myCompileFailed = true;
            return false;
        }
        aShader.myGlName = name;
        return true;
    }

    bool Backend::Realize(InputLayout& aLayout)
    {
        std::lock_guard lock(aLayout.myRealizeMutex);
        if (aLayout.myGlName != 0)
        {
            return true;
        }
        if (!aLayout.myDevice->MakeCurrent())
        {
            return false;
        }
        glCreateVertexArrays(1, &aLayout.myGlName);
        for (const InputLayout::Attribute& attribute : aLayout.myAttributes)
        {
            const GlVertexFormat format = GetGlVertexFormat(attribute.myFormat);
            glEnableVertexArrayAttrib(aLayout.myGlName, attribute.myLocation);
            if (format.myIsInteger)
            {
                glVertexArrayAttribIFormat(aLayout.myGlName, attribute.myLocation, format.myComponents, format.myType, attribute.myOffset);
            }
            else
            {
                glVertexArrayAttribFormat(aLayout.myGlName, attribute.myLocation, format.myComponents, format.myType, format.myIsNormalized ? GL_TRUE : GL_FALSE, attribute.myOffset);
            }
            glVertexArrayAttribBinding(aLayout.myGlName, attribute.myLocation, attribute.myInputSlot);
        }
        for (uint32_t slot = 0; slot < aLayout.mySlotStepRates.size(); ++slot)
        {
            glVertexArrayBindingDivisor(aLayout.myGlName, slot, aLayout.mySlotStepRates[slot]);
        }
        return true;
    }
}
