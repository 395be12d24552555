#include "engine/video/ITextureDataLoading.h"

#include "engine/io/IReadFile.h"
#include "engine/os/Printer.h"
#include "engine/video/ITexture.h"
#include "engine/video/image/pixel_format.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace pravik::video {

namespace pf = pixel_format;

namespace {

const char* nameOf(io::IReadFile* file)
{
    const char* name = file ? file->getFileName() : nullptr;
    return name ? name : "";
}

void logLoading(io::IReadFile* file, const char* what, ELOG_LEVEL level)
{
    char text[1100];
    std::snprintf(text, sizeof text, "loading %.1000s: %s", nameOf(file), what);
    os::Printer::log(text, level);
}

unsigned floorLog2(unsigned v)
{
    unsigned n = 0;
    while (v > 1)
        v >>= 1, ++n;
    return n;
}

unsigned shrink(unsigned size, unsigned level) { return std::max(level < 32 ? size >> level : 0u, 1u); }

bool hasWideChannels(E_PIXEL_FORMAT format)
{
    const uint8_t type = pf::desc(format).ComponentType;
    return type != ECT_UNSIGNED_INT8 && type != ECT_NONE;
}

unsigned align128(unsigned n) { return (n + 127u) & ~127u; }

}  // namespace

// ---- shared steps ----

const char* ITextureDataLoading::fileName() const { return nameOf(m_file); }

bool ITextureDataLoading::onlyLevel0() const
{
    return (m_loadInfo->texture->getStateFlags() & ETSF_ONLY_LEVEL0) != 0;
}

unsigned ITextureDataLoading::levelSize(unsigned char level) const
{
    const ITexture& t = *m_loadInfo->texture;
    if (level >= t.getMipmapCount())
        return 0;
    const unsigned* table = t.getLevelTable();
    return table[level + 1] - table[level];
}

unsigned ITextureDataLoading::faceSize() const
{
    const ITexture& t = *m_loadInfo->texture;
    return onlyLevel0() ? levelSize(0) : t.getLevelTable()[t.getMipmapCount()];
}

unsigned ITextureDataLoading::faceStart(unsigned face) const
{
    return onlyLevel0() ? face * levelSize(0) : face * align128(faceSize());
}

unsigned char ITextureDataLoading::stepIndex(unsigned char level) const
{
    if (m_fileLevelCount == 1)
        return 0;
    return level == 0 ? (unsigned char)(m_loadInfo->texture->getMipmapCount() - 1) : (unsigned char)(level - 1);
}

unsigned ITextureDataLoading::fileLevelSize(unsigned char level) const
{
    const ITexture& t = *m_loadInfo->texture;
    // Computed pitches shrink with the level, so the level's size must shrink with them too.
    if (m_computedPitch)
        return pf::computeMipmapSizeInBytes(m_desc->format, unsigned(std::max(m_desc->width, 1)), m_desc->height,
                                            m_desc->depth, level, false);
    const uint64_t size = uint64_t(m_sourcePitch) * shrink(unsigned(t.getHeight()), level) *
                          shrink(unsigned(t.getDepth()), level);
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : unsigned(size);
}

bool ITextureDataLoading::advanceSource(unsigned char level)
{
    m_sourceOffset += fileLevelSize(stepIndex(level));
    const unsigned pitch = m_info->getFilePitch(level);
    m_computedPitch = pitch == 0;
    m_sourcePitch = pitch ? pitch
                          : pf::computePitch(m_desc->format, shrink(unsigned(std::max(m_desc->width, 1)), level));
    return true;
}

unsigned char* ITextureDataLoading::bufferAt(uint64_t offset) const
{
    return offset <= m_loadInfo->bufferSize ? m_loadInfo->buffer.get() + offset : nullptr;
}

bool ITextureDataLoading::read(void* buffer, unsigned n)
{
    if (n != 0 && (!buffer || n > 0x7FFFFFFFu || m_file->read(buffer, n) != int32_t(n))) {
        logLoading(m_file, "read error", ELL_ERROR);
        return fail();
    }
    if (m_loadInfo->swapBytes)
        pf::swapBytes(m_desc->format, buffer, n, m_info->isLittleEndian(), buffer);
    return true;
}

bool ITextureDataLoading::skip(uint64_t n)
{
    if (n == 0)
        return true;
    if (n > 0x7FFFFFFFu || !m_file->seek(int32_t(n), true)) {
        logLoading(m_file, "read error", ELL_ERROR);
        return fail();
    }
    return true;
}

bool ITextureDataLoading::fail()
{
    m_error = true;
    return false;
}

void ITextureDataLoading::markDirty()
{
    ITexture& t = *m_loadInfo->texture;
    if (t.getData())
        t.markDirty();
}

bool ITextureDataLoading::load(io::IReadFile* file, const IDataInfo& info, const STextureDesc& fileDesc,
                               SLoadInfo& loadInfo)
{
    m_file = file;
    m_info = &info;
    m_desc = &fileDesc;
    m_loadInfo = &loadInfo;
    m_destination = static_cast<unsigned char*>(loadInfo.mapped);
    ITexture& t = *loadInfo.texture;
    const E_PIXEL_FORMAT textureFormat = t.getPixelFormat(), fileFormat = fileDesc.format;
    const unsigned width = unsigned(std::max(t.getWidth(), 1)), height = unsigned(std::max(t.getHeight(), 1)),
                   depth = unsigned(std::max(t.getDepth(), 1));

    if (loadInfo.buffer) {
        m_sourceOffset = 0;
        m_sourcePitch = info.getFilePitch(0);
        if (m_sourcePitch == 0) {
            m_sourcePitch = pf::computePitch(fileFormat, unsigned(std::max(fileDesc.width, 1)));
            m_computedPitch = true;
        }
    } else {
        m_source = m_destination;
        m_sourcePitch = pf::computePitch(textureFormat, width);
    }
    if (fileDesc.hasMipmaps) {
        const unsigned mips = t.getMipmapCount();
        m_fileLevelCount = mips > 1 ? (onlyLevel0() ? 1 : mips)
                                    : (unsigned char)(1 + std::max({floorLog2(width), floorLog2(height),
                                                                    floorLog2(depth)}));
    }
    if (!preprocess())
        return !m_error;

    const unsigned levels = std::min<unsigned>(m_fileLevelCount, t.getMipmapCount());
    const unsigned faces = t.getFaceCount();
    for (unsigned face = 0; face < faces; ++face) {
        for (unsigned level = 0; level < levels; ++level) {
            if (process(E_TEXTURE_CUBE_MAP_FACE(face), (unsigned char)level) && loadInfo.needsConversion) {
                const unsigned w = shrink(width, level), h = shrink(height, level), d = shrink(depth, level);
                const unsigned destinationPitch =
                    pf::computePitch(textureFormat, t.getLayout() == ETL_LINEAR_UNIFORM_PITCH ? width : w);
                const void* source = m_source;
                if (loadInfo.buffer) {
                    // The rows convert reads must lie in the file's data.
                    const unsigned blockHeight = std::max<unsigned>(pf::desc(fileFormat).BlockHeight, 1);
                    const uint64_t rows = (uint64_t(h) * d + blockHeight - 1) / blockHeight;
                    const uint64_t bytes = (rows - 1) * m_sourcePitch + pf::computePitch(fileFormat, w);
                    source = bufferAt(m_sourceOffset);
                    if (!source || bytes > loadInfo.bufferSize - m_sourceOffset) {
                        logLoading(m_file, "read error", ELL_ERROR);
                        return fail();
                    }
                }
                if (!pf::convert(fileFormat, source, m_sourcePitch, textureFormat, m_destination, destinationPitch, w,
                                 h * d, info.needsFlip()))
                    return fail();
            }
            if (m_error)
                return false;
        }
    }
    return !m_error;
}

// ---- strategies ----

bool IMappedWholeLoading::preprocess()
{
    markDirty();
    return true;
}

bool IMappedWholeLoading::process(E_TEXTURE_CUBE_MAP_FACE face, unsigned char level)
{
    if (face == 0 && level == 0)
        return true;
    const unsigned step = m_fileLevelCount == 1 ? faceSize() : levelSize(stepIndex(level));
    if (level > 0)
        m_destination += step;
    else
        m_destination = static_cast<unsigned char*>(m_loadInfo->mapped) + faceStart(face);
    if (!m_loadInfo->buffer) {
        m_source = m_destination;
        m_sourcePitch = m_loadInfo->texture->getPitch(level);
        return true;
    }
    return advanceSource(level);
}

bool CWholeLoading::preprocess()
{
    IMappedWholeLoading::preprocess();
    const bool ok = m_loadInfo->buffer ? read(m_loadInfo->buffer.get(), m_loadInfo->bufferSize)
                                       : read(m_source, m_loadInfo->texture->getSizeInBytes());
    // Without a conversion everything is already in place.
    return ok && m_loadInfo->needsConversion;
}

bool CPerFaceLoading::preprocess()
{
    IMappedWholeLoading::preprocess();
    const unsigned faces = m_loadInfo->texture->getFaceCount();
    const unsigned offset = m_info->getFaceStartOffset();
    // With a conversion buffer the faces lie one after another in it, each with the file's
    // share of the data, so no face is read past the buffer's end.
    const uint64_t skipped = uint64_t(faces - 1) * offset;
    const unsigned faceBytes =
        m_loadInfo->bufferSize > skipped ? unsigned((m_loadInfo->bufferSize - skipped) / faces) : 0;
    for (unsigned face = 0; face < faces; ++face) {
        if (offset && !skip(offset))
            return false;
        const bool ok = m_loadInfo->buffer
                            ? read(m_loadInfo->buffer.get() + uint64_t(face) * faceBytes, faceBytes)
                            : read(static_cast<unsigned char*>(m_loadInfo->mapped) + faceStart(face), faceSize());
        if (!ok)
            return false;
    }
    return m_loadInfo->needsConversion;
}

bool CPerLevelRemapLoading::preprocess()
{
    const unsigned offset = m_info->getFaceStartOffset();
    if (offset && !skip(offset))
        return false;
    const bool ok = m_loadInfo->buffer ? read(m_loadInfo->buffer.get(), m_loadInfo->bufferSize)
                                       : read(m_source, levelSize(0));
    if (ok && m_loadInfo->texture->getMipmapCount() == 1 && !m_loadInfo->buffer)
        m_sourcePitch = m_loadInfo->texture->getPitch(0);
    return ok;
}

bool CPerLevelRemapLoading::process(E_TEXTURE_CUBE_MAP_FACE face, unsigned char level)
{
    if (face == 0 && level == 0)
        return true;
    const unsigned offset = m_info->getFaceStartOffset();
    if (level == 0 && offset && !skip(offset))
        return false;
    ITexture& t = *m_loadInfo->texture;
    t.unmap();
    m_loadInfo->mapped = t.map(m_loadInfo->access, face, level);
    if (!m_loadInfo->mapped)
        return fail();
    m_destination = static_cast<unsigned char*>(m_loadInfo->mapped);

    // A file with levels that the texture does not want: step over the previous face's.
    uint64_t skipBytes = 0;
    if (t.getMipmapCount() == 1 && m_desc->hasMipmaps && m_fileLevelCount > 1) {
        const unsigned w = unsigned(std::max(m_desc->width, 1));
        for (unsigned l = 1; l < m_fileLevelCount; ++l) {
            const unsigned pitch = m_info->getFilePitch((unsigned char)l);
            skipBytes += pitch ? uint64_t(pitch) * shrink(m_desc->height, l) * shrink(m_desc->depth, l)
                               : pf::computeMipmapSizeInBytes(m_desc->format, w, m_desc->height, m_desc->depth,
                                                              (unsigned char)l, false);
        }
    }
    if (!m_loadInfo->buffer) {
        if (!skip(skipBytes) || !read(m_destination, levelSize(level)))
            return false;
        m_sourcePitch = t.getPitch(level);
        m_source = m_destination;
        return true;
    }
    m_sourceOffset += skipBytes;
    return advanceSource(level);
}

// ---- entry ----

bool loadData(io::IReadFile* file, const IDataInfo& info, const STextureDesc& fileDesc,
              const boost::intrusive_ptr<ITexture>& texture)
{
    if (!file || !texture)
        return false;
    ITexture& t = *texture;
    const E_PIXEL_FORMAT textureFormat = t.getPixelFormat(), fileFormat = fileDesc.format;
    const SPixelFormatDesc& fileFormatDesc = pf::desc(fileFormat);

    SLoadInfo loadInfo;
    loadInfo.swapBytes =
        !info.isLittleEndian() && !fileFormatDesc.has(EPFF_COMPRESSED) && hasWideChannels(fileFormat);
    const unsigned filePitch = info.getFilePitch(0);
    bool sizesDiffer = false;
    if (pf::desc(textureFormat).BitsPerPixel != fileFormatDesc.BitsPerPixel ||
        (filePitch != 0 && filePitch != pf::computePitch(textureFormat, unsigned(std::max(t.getWidth(), 1))))) {
        loadInfo.bufferSize = info.getFileDataSize();
        loadInfo.buffer.reset(new (std::nothrow) unsigned char[std::max(loadInfo.bufferSize, 1u)]);
        if (!loadInfo.buffer) {
            logLoading(file, "out of memory", ELL_ERROR);
            return false;
        }
        loadInfo.needsConversion = true;
    } else {
        loadInfo.needsConversion = textureFormat != fileFormat;
        sizesDiffer = info.getFileDataSize() != t.getSizeInBytes();
    }
    const bool extraLevels = t.getMipmapCount() == 1 && fileDesc.hasMipmaps;
    loadInfo.access = (loadInfo.needsConversion && !loadInfo.buffer) || loadInfo.swapBytes ? EBMA_CLIENT_READ_WRITE
                                                                                            : EBMA_CLIENT_WRITE;
    loadInfo.texture = texture;
    loadInfo.mapped = t.map(loadInfo.access, ETCMF_POSITIVE_X, 0);
    if (!loadInfo.mapped) {
        logLoading(file, "map failed", ELL_ERROR);
        return false;
    }

    bool result;
    if ((t.getStateFlags() & ETSF_WHOLE_MAPPING) && !extraLevels) {
        if (sizesDiffer || info.getFaceStartOffset() != 0) {
            CPerFaceLoading strategy;
            result = strategy.load(file, info, fileDesc, loadInfo);
        } else {
            CWholeLoading strategy;
            result = strategy.load(file, info, fileDesc, loadInfo);
        }
    } else {
        if (extraLevels)
            logLoading(file, "superfluous texture data (texture file has mipmaps but texture requests none)",
                       ELL_WARNING);
        CPerLevelRemapLoading strategy;
        result = strategy.load(file, info, fileDesc, loadInfo);
    }
    loadInfo.buffer.reset();
    t.unmap();
    return result;
}

void setTextureDesc(const SImageFileDesc& header, STextureDesc& desc)
{
    desc.type = E_TEXTURE_TYPE(header.type);
    desc.format = header.format;
    desc.layout = ETL_LINEAR;
    desc.width = int(header.width);
    desc.height = header.height;
    desc.depth = header.depth;
    desc.hasMipmaps = header.hasMipmaps;
}

}  // namespace pravik::video
