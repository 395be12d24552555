#pragma once
// Filling a created texture straight from a file (DDS, PVR): the loader describes where its
// pixel data lies (IDataInfo) and loadData maps the texture, reads the file's levels and faces
// into its client memory and converts them when the file's format or pitch differs from the
// texture's. Three strategies: one read for the whole block, one read per cube face, or one
// mapping and read per level. The texture stays mapped for the whole call; the levels written
// are left dirty for the driver's next bind. Every pointer the strategies move through the
// conversion buffer is checked against its end before it is read.

#include "engine/video/ETexture.h"
#include "engine/video/image/IImageLoader.h"

#include <boost/intrusive_ptr.hpp>

#include <cstdint>
#include <memory>

namespace pravik::io {
class IReadFile;
}

namespace pravik::video {

class ITexture;

// Where a file keeps its pixel data, from the file's current position on.
class IDataInfo {
public:
    virtual ~IDataInfo() = default;
    virtual unsigned getFileDataSize() const = 0;                    // bytes of pixel data left
    virtual unsigned getFilePitch(unsigned char level) const = 0;    // 0: follows from the format
    virtual unsigned getFaceStartOffset() const = 0;                 // bytes skipped before each face
    virtual bool isLittleEndian() const = 0;
    virtual bool needsFlip() const = 0;                              // rows stored bottom-up
};

// What one loadData call shares with its strategy.
struct SLoadInfo {
    boost::intrusive_ptr<ITexture> texture;   // held for the call
    void* mapped = nullptr;                   // the current mapping
    std::unique_ptr<unsigned char[]> buffer;  // the file's data when it must be converted from a copy
    unsigned bufferSize = 0;
    bool needsConversion = false;
    bool swapBytes = false;
    E_BUFFER_MAP_ACCESS access = EBMA_CLIENT_WRITE;
};

class ITextureDataLoading {
public:
    virtual ~ITextureDataLoading() = default;
    bool load(io::IReadFile* file, const IDataInfo& info, const STextureDesc& fileDesc, SLoadInfo& loadInfo);

protected:
    virtual bool preprocess() = 0;
    virtual bool process(E_TEXTURE_CUBE_MAP_FACE face, unsigned char level) = 0;

    bool read(void* buffer, unsigned n);  // exactly n bytes, byte-swapped when asked; logs a failure
    bool skip(uint64_t n);                // relative seek; logs a failure
    bool fail();                          // records the error; false
    void markDirty();
    unsigned faceStart(unsigned face) const;  // in the mapped block
    unsigned levelSize(unsigned char level) const;  // of the texture
    unsigned faceSize() const;  // one face as held: level 0 only, or every level
    unsigned fileLevelSize(unsigned char level) const;  // of the file, with the current pitch rule
    bool advanceSource(unsigned char level);  // past the previous file level, pitch of this one
    unsigned char* bufferAt(uint64_t offset) const;  // null past the conversion buffer's end
    unsigned char stepIndex(unsigned char level) const;
    bool onlyLevel0() const;
    const char* fileName() const;

    io::IReadFile* m_file = nullptr;
    const IDataInfo* m_info = nullptr;
    const STextureDesc* m_desc = nullptr;  // the file's
    SLoadInfo* m_loadInfo = nullptr;
    unsigned char* m_source = nullptr;  // the next file level's bytes, without a conversion buffer
    uint64_t m_sourceOffset = 0;        // the same within the conversion buffer
    unsigned char* m_destination = nullptr;
    unsigned m_sourcePitch = 0;
    bool m_error = false;
    unsigned char m_fileLevelCount = 1;
    bool m_computedPitch = false;  // the source pitch came from the descriptor, not the file
};

// Everything lies in one mapping of the whole client block.
class IMappedWholeLoading : public ITextureDataLoading {
protected:
    bool preprocess() override;
    bool process(E_TEXTURE_CUBE_MAP_FACE face, unsigned char level) override;
};

class CWholeLoading : public IMappedWholeLoading {
protected:
    bool preprocess() override;
};

class CPerFaceLoading : public IMappedWholeLoading {
protected:
    bool preprocess() override;
};

class CPerLevelRemapLoading : public ITextureDataLoading {
protected:
    bool preprocess() override;
    bool process(E_TEXTURE_CUBE_MAP_FACE face, unsigned char level) override;
};

// Fills texture from file as info describes; false with a logged reason ("loading <file>: ...").
bool loadData(io::IReadFile* file, const IDataInfo& info, const STextureDesc& fileDesc,
              const boost::intrusive_ptr<ITexture>& texture);

// Sets the type, format, size and mip flag of a DDS or PVR header, linear; the rest is kept.
void setTextureDesc(const SImageFileDesc& header, STextureDesc& desc);

}  // namespace pravik::video
