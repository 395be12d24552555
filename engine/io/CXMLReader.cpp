// The reader factories and the byte source they read files through.

#include "engine/io/CXMLReaderImpl.h"
#include "engine/io/IReadFile.h"

namespace pravik::io {

namespace {

// Holds its own reference to the file for as long as the reader is loading.
class CVuvXMLFileReadCallBack : public IFileReadCallBack {
public:
    explicit CVuvXMLFileReadCallBack(IReadFile* file) : m_file(file) { m_file->grab(); }
    ~CVuvXMLFileReadCallBack() override { m_file->drop(); }
    CVuvXMLFileReadCallBack(const CVuvXMLFileReadCallBack&) = delete;
    CVuvXMLFileReadCallBack& operator=(const CVuvXMLFileReadCallBack&) = delete;

    int32_t read(void* buffer, int32_t sizeToRead) override
    {
        return sizeToRead > 0 ? m_file->read(buffer, uint32_t(sizeToRead)) : 0;
    }
    int32_t getSize() override { return m_file->getSize(); }

private:
    IReadFile* m_file;
};

}  // namespace

IXMLReader* createIXMLReader(IReadFile* file)
{
    if (!file) return nullptr;
    return new CXMLReaderImpl<wchar_t, IReferenceCounted>(new CVuvXMLFileReadCallBack(file), true);
}

IXMLReaderUTF8* createIXMLReaderUTF8(IReadFile* file)
{
    if (!file) return nullptr;
    return new CXMLReaderImpl<char, IReferenceCounted>(new CVuvXMLFileReadCallBack(file), true);
}

}  // namespace pravik::io
