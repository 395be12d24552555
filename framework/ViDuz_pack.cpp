#include "framework/ViDuz.h"

#include "engine/io/IFileSystem.h"
#include "engine/io/IReadFile.h"
#include "framework/GameInterface.h"
#include "framework/PackTables.h"
#include "framework/ResourceContext.h"
#include "framework/TypedArray.h"

#include <cstdio>
#include <cstring>

char ViDuz::m_szCurrentOpenPackName[256] = {};
int ViDuz::m_bHasOpenPack = 0;
CDataArray<unsigned char> ViDuz::m_ReadData;
char ViDuz::g_szReplaceFileName[128] = {};

int ViDuz::Pack_Open(const char* folder)
{
    if (m_bHasOpenPack)
        Pack_Close();
    std::snprintf(m_szCurrentOpenPackName, sizeof m_szCurrentOpenPackName, "%s", folder ? folder : "");
    m_bHasOpenPack = 1;
    return 1;
}

void ViDuz::Pack_Close()
{
    delete[] m_ReadData.data;
    m_ReadData.data = nullptr;
    m_ReadData.length = 0;
    m_szCurrentOpenPackName[0] = 0;
}

static const SPackTable* openTable()
{
    return FindPackTable(ViDuz::m_szCurrentOpenPackName);
}

const char* ViDuz::GetResourceNameFromDataID(int n)
{
    const SPackTable* t = openTable();
    if (!t || n < 0 || n >= t->count)
        return nullptr;
    return t->names[n];
}

const char* ViDuz::GetTextureNameFromDataID(int n)
{
    const SPackTable* t = openTable();
    if (!t || !t->textures || n < 0 || n >= t->count)
        return nullptr;
    const char* entry = t->textures[n];
    const int location = GameInterface().CurrentLocation();
    if (std::strcmp(t->folder, "9") == 0 && std::strncmp(entry, "bricks_all", 10) == 0) {
        const int act = location >= 1 && location <= 6 ? location + 1 : 1;
        std::snprintf(g_szReplaceFileName, sizeof g_szReplaceFileName, "bricks_all_act%d%s", act, entry + 10);
        return g_szReplaceFileName;
    }
    if (std::strcmp(t->folder, "15") == 0 && n == 26) {
        static const char* const kBars[] = {"UI_bar", "UI_bar_2", "UI_bar_3", "UI_bar_4", "UI_bar", "UI_bar_6", "UI_bar_7"};
        const char* bar = location >= 0 && location <= 6 ? kBars[location] : "UI_bar";
        std::snprintf(g_szReplaceFileName, sizeof g_szReplaceFileName, "%s", bar);
        return g_szReplaceFileName;
    }
    return entry;
}

bool ViDuz::ReadWholeFile(const char* path, std::vector<uint8_t>& out)
{
    out.clear();
    pravik::io::IFileSystem* fs = GetResourceContext().fileSystem;
    if (!fs || !path)
        return false;
    pravik::io::IReadFile* file = fs->createAndOpenFile(path);
    if (!file)
        return false;
    const int32_t size = file->getSize();
    bool ok = size >= 0;
    if (ok && size > 0) {
        out.resize(size_t(size));
        ok = file->read(out.data(), uint32_t(size)) == size;
    }
    file->drop();
    if (!ok)
        out.clear();
    return ok;
}

// "<pack>/<name>" of row n of the open pack, or false.
static bool itemPath(int n, char (&path)[256])
{
    const char* name = ViDuz::GetResourceNameFromDataID(n);
    if (!name || !name[0])
        return false;
    return std::snprintf(path, sizeof path, "%s/%s", ViDuz::m_szCurrentOpenPackName, name) < int(sizeof path);
}

bool ViDuz::Pack_ReadData(int n, CDataArray<unsigned char>& out)
{
    delete[] out.data;
    out.data = nullptr;
    out.length = 0;
    char path[256];
    std::vector<uint8_t> bytes;
    if (!itemPath(n, path) || !ReadWholeFile(path, bytes))
        return false;
    out.NewArray(int(bytes.size()));
    if (!out.data)
        return false;
    if (!bytes.empty())
        std::memcpy(out.data, bytes.data(), bytes.size());
    return true;
}

CDataArray<unsigned char>* ViDuz::Pack_ReadData(int n)
{
    Pack_ReadData(n, m_ReadData);
    return &m_ReadData;
}

void ViDuz::Pack_ReadArray(int n, void** outArray, int* outCount)
{
    if (outArray)
        *outArray = nullptr;
    if (outCount)
        *outCount = 0;
    char path[256];
    std::vector<uint8_t> bytes;
    if (!itemPath(n, path) || !ReadWholeFile(path, bytes))
        return;
    STypedArray array;
    if (!ParseTypedArray(bytes.data(), bytes.size(), array))
        return;
    void* elements = NewTypedArrayElements(array);
    if (outArray)
        *outArray = elements;
    else if (elements) {
        switch (array.kind) {
        case 0: delete[] static_cast<unsigned char*>(elements); break;
        case 1: delete[] static_cast<short*>(elements); break;
        default: delete[] static_cast<int*>(elements); break;
        }
    }
    if (outCount && elements)
        *outCount = array.count;
}

int ViDuz::Mem_SetShort(char* buffer, int position, short value)
{
    buffer[position] = char(uint16_t(value) & 0xFF);
    buffer[position + 1] = char(uint16_t(value) >> 8);
    return position + 2;
}

short ViDuz::Mem_GetShort(const unsigned char* data, int position)
{
    return short(uint16_t(data[position] | data[position + 1] << 8));
}
