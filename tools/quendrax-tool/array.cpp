// `array FILE`: a typed array file's header (header byte, kind, stored size, count), then one
// element a line.

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tool.h"
#include "framework/TypedArray.h"

namespace {

int runArray(std::span<char* const> args)
{
    if (args.size() != 1)
        return tool::fail("array", "usage: array FILE");
    std::ifstream in(args[0], std::ios::binary);
    if (!in)
        return tool::fail("array", std::string("cannot open ") + args[0]);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    STypedArray array;
    std::string why;
    if (!ParseTypedArray(bytes.data(), bytes.size(), array, &why))
        return tool::fail("array", std::string(args[0]) + ": " + why);
    static const char* const kKinds[] = {"bytes", "int16", "int32"};
    std::printf("header 0x%02X kind %d (%s) stored %d count %d (%d-bit)\n", array.header, array.kind,
                kKinds[array.kind], array.storedSize, array.count, array.wideCount ? 16 : 8);
    for (int32_t v : array.values)
        std::printf("%d\n", v);
    return 0;
}

tool::ToolCommand arrayCommand("array", "FILE", runArray);

}  // namespace
