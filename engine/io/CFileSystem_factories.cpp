// The file system as a factory of XML readers and writers and of attribute stores.

#include "engine/io/CAttributes.h"
#include "engine/io/CFileSystem.h"
#include "engine/io/CXMLWriter.h"
#include "engine/io/IXMLReader.h"

namespace pravik::io {

IVuvXMLReader<wchar_t, IReferenceCounted>* CFileSystem::createXMLReader(const char* name)
{
    IReadFile* file = createAndOpenFile(name);
    if (!file) return nullptr;
    IVuvXMLReader<wchar_t, IReferenceCounted>* reader = createXMLReader(file);
    file->drop();
    return reader;
}

IVuvXMLReader<wchar_t, IReferenceCounted>* CFileSystem::createXMLReader(IReadFile* file)
{
    return file ? createIXMLReader(file) : nullptr;
}

IVuvXMLReader<char, IReferenceCounted>* CFileSystem::createXMLReaderUTF8(const char* name)
{
    IReadFile* file = createAndOpenFile(name);
    if (!file) return nullptr;
    IVuvXMLReader<char, IReferenceCounted>* reader = createIXMLReaderUTF8(file);
    file->drop();
    return reader;
}

IVuvXMLReader<char, IReferenceCounted>* CFileSystem::createXMLReaderUTF8(IReadFile* file)
{
    return file ? createIXMLReaderUTF8(file) : nullptr;
}

// A file that cannot be created gives no writer, rather than a writer that writes nothing.
IXMLWriter* CFileSystem::createXMLWriter(const char* name)
{
    IWriteFile* file = createAndWriteFile(name, false);
    if (!file) return nullptr;
    IXMLWriter* writer = createXMLWriter(file);
    file->drop();
    return writer;
}

IXMLWriter* CFileSystem::createXMLWriter(IWriteFile* file) { return new CXMLWriter(file); }

IAttributes* CFileSystem::createEmptyAttributes(video::IVideoDriver* driver)
{
    return new CAttributes(driver);
}

}  // namespace pravik::io
