// Factories of XML readers and writers and attribute stores (filled in with the XML layer).
#include "engine/io/CFileSystem.h"

namespace pravik::io {

IVuvXMLReader<wchar_t, IReferenceCounted>* CFileSystem::createXMLReader(const char*)
{
    return nullptr;
}

IVuvXMLReader<wchar_t, IReferenceCounted>* CFileSystem::createXMLReader(IReadFile*)
{
    return nullptr;
}

IVuvXMLReader<char, IReferenceCounted>* CFileSystem::createXMLReaderUTF8(const char*)
{
    return nullptr;
}

IVuvXMLReader<char, IReferenceCounted>* CFileSystem::createXMLReaderUTF8(IReadFile*)
{
    return nullptr;
}

IXMLWriter* CFileSystem::createXMLWriter(const char*)
{
    return nullptr;
}

IXMLWriter* CFileSystem::createXMLWriter(IWriteFile*)
{
    return nullptr;
}

IAttributes* CFileSystem::createEmptyAttributes(video::IVideoDriver*)
{
    return nullptr;
}

}  // namespace pravik::io
