// The framework's static toolbox. This file holds the resource packs: numbered folders of the
// data directory whose items are named by the compiled tables of PackTables.h. One pack is
// open at a time; items are read whole, or as typed arrays, through the engine's file system.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/CDataArray.h"

class ViDuz {
public:
    static char m_szCurrentOpenPackName[256];  // empty when none is open
    static int m_bHasOpenPack;                 // set by the first Pack_Open, never cleared
    static CDataArray<unsigned char> m_ReadData;  // the shared buffer of Pack_ReadData(int)
    static char g_szReplaceFileName[128];      // texture names built for the current location

    static int Pack_Open(const char* folder);  // closes the open pack first; 1
    static void Pack_Close();                  // frees the shared buffer
    static const char* GetResourceNameFromDataID(int n);  // null outside the known packs or rows
    static const char* GetTextureNameFromDataID(int n);   // null for packs without textures
    // Item n whole into the shared buffer, valid until the next read, open or close.
    // A missing item leaves the buffer empty (length 0, no data).
    static CDataArray<unsigned char>* Pack_ReadData(int n);
    // Item n whole into the caller's array; false (and an empty array) when it is missing.
    static bool Pack_ReadData(int n, CDataArray<unsigned char>& out);
    // Item n as a typed array: always sets both outputs; null and 0 when the item is missing,
    // its count is negative, its kind builds nothing or the file is shorter than its count.
    static void Pack_ReadArray(int n, void** outArray, int* outCount);

    static int Mem_SetShort(char* buffer, int position, short value);  // position + 2
    static short Mem_GetShort(const unsigned char* data, int position);

    // Whole file through the engine's file system; false when it does not open or reads short.
    static bool ReadWholeFile(const char* path, std::vector<uint8_t>& out);
};
