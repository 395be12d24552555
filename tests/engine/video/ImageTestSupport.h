#pragma once
// Helpers shared by the pixel and image tests: a logger that records what the engine reports,
// and the ImageMagick bridge used to compare loaders against another tool's decoding.

#include "engine/ILogger.h"
#include "engine/io/CMemoryReadFile.h"
#include "engine/io/CMemoryWriteFile.h"
#include "engine/os/Printer.h"
#include "engine/video/image/CImage.h"
#include "engine/video/image/IImageLoader.h"
#include "engine/video/image/IImageWriter.h"
#include "engine/video/image/pixel_format.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace test {

// Installs itself as the engine's logger for its lifetime and keeps every message.
class LogCapture : public pravik::ILogger {
public:
    struct Entry {
        std::string text, hint;
        pravik::ELOG_LEVEL level;
    };
    LogCapture() : ILogger(1), m_previous(pravik::os::Printer::Logger) {
        pravik::os::Printer::Logger = this;
    }
    ~LogCapture() override { pravik::os::Printer::Logger = m_previous; }

    pravik::ELOG_LEVEL getLogLevel() const override { return pravik::ELL_INFORMATION; }
    void setLogLevel(pravik::ELOG_LEVEL) override {}
    void log(const char* text, pravik::ELOG_LEVEL level) override { add(text, "", level); }
    void log(const char* text, const char* hint, pravik::ELOG_LEVEL level) override {
        add(text, hint ? hint : "", level);
    }
    void log(const wchar_t*, const wchar_t*, pravik::ELOG_LEVEL level) override { add("(wide)", "", level); }
    void log(const wchar_t*, pravik::ELOG_LEVEL level) override { add("(wide)", "", level); }
    void vlogf(pravik::ELOG_LEVEL level, const char* format, va_list args) override {
        char buf[1024];
        vsnprintf(buf, sizeof buf, format, args);
        add(buf, "", level);
    }

    const std::vector<Entry>& entries() const { return m_entries; }
    bool empty() const { return m_entries.empty(); }
    // The first message's text ("" when nothing was logged).
    std::string first() const { return m_entries.empty() ? "" : m_entries.front().text; }
    bool contains(const std::string& text) const {
        for (const Entry& e : m_entries)
            if (e.text.find(text) != std::string::npos) return true;
        return false;
    }
    void clear() { m_entries.clear(); }

private:
    void add(const char* text, const char* hint, pravik::ELOG_LEVEL level) {
        m_entries.push_back({text ? text : "", hint, level});
    }
    pravik::ILogger* m_previous;
    std::vector<Entry> m_entries;
};

// Loads bytes held in memory through one loader, as a file of the given name.
inline pravik::video::CImagePtr loadBytes(const pravik::video::IImageLoader& loader,
                                          const std::string& bytes, const char* name = "test.img") {
    pravik::io::IReadFile* file = pravik::io::createMemoryReadFile(
        const_cast<char*>(bytes.data()), int32_t(bytes.size()), name, false);
    pravik::video::CImagePtr image = loader.loadImage(file);
    file->drop();
    return image;
}

// Writes an image through one writer into memory; "" when the writer refuses.
inline std::string writeBytes(const pravik::video::IImageWriter& writer,
                              const pravik::video::CImagePtr& image, unsigned param = 0) {
    auto* file = new pravik::io::CMemoryWriteFile();
    std::string out;
    if (writer.writeImage(file, image, param))
        out.assign(reinterpret_cast<const char*>(file->getBuffer()), file->getBufferSize());
    file->drop();
    return out;
}

// The image's pixels as R8G8B8A8 rows without padding (empty when it cannot be converted).
inline std::vector<unsigned char> rgbaOf(const pravik::video::CImagePtr& image) {
    if (!image || !image->getData()) return {};
    const auto d = image->getDimension();
    std::vector<unsigned char> out(size_t(d.Width) * d.Height * 4);
    if (!pravik::video::pixel_format::convert(image->getColorFormat(), image->getData(), image->getPitch(),
                                              pravik::video::EPF_R8G8B8A8, out.data(), 0, unsigned(d.Width),
                                              unsigned(d.Height), false))
        return {};
    return out;
}

// A file that accepts the first `limit` bytes and then refuses.
class FailingWriteFile : public pravik::io::IWriteFile {
public:
    explicit FailingWriteFile(uint32_t limit) : m_limit(limit) {}
    int32_t write(const void*, uint32_t count) override {
        const uint32_t n = count <= m_limit - m_written ? count : m_limit - m_written;
        m_written += n;
        return int32_t(n);
    }
    void flush() override {}
    bool seek(int32_t, bool) override { return false; }
    int32_t getPos() const override { return int32_t(m_written); }
    const char* getFileName() const override { return "failing"; }
    const char* getFullPath() const override { return "failing"; }

private:
    uint32_t m_limit, m_written = 0;
};

inline bool haveImageMagick() { return std::system("command -v convert >/dev/null 2>&1") == 0; }

// Runs ImageMagick's convert with the arguments; true when it succeeded.
inline bool magick(const std::string& args) {
    return std::system(("convert " + args + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace test
