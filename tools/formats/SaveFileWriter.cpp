#include "tools/formats/SaveFileWriter.h"

#include <fstream>

namespace formats::save {

std::vector<uint8_t> Record(const Fields& fields)
{
    std::vector<uint8_t> bytes(kSaveRecordSize);
    EncodeSaveRecord(fields, bytes.data());
    return bytes;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

}  // namespace formats::save
