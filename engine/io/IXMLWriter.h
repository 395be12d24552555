#pragma once
// Writer of wide-character XML (UTF-32LE) into a write file: header, elements with attributes,
// closing tags, text, comments and line breaks. It checks no nesting; callers place line breaks.

#include <vector>

#include "engine/IReferenceCounted.h"
#include "engine/core/pravikString.h"

namespace pravik::io {

class IXMLWriter : public IReferenceCounted {
public:
    using StringList = std::vector<core::stringw, core::SAllocator<core::stringw>>;

    virtual void writeXMLHeader() = 0;  // byte-order mark, <?xml version="1.0"?>, line break
    // Nothing for a null name; a pair with a null name or value is skipped.
    virtual void writeElement(const wchar_t* name, bool empty = false, const wchar_t* attr1Name = nullptr,
                              const wchar_t* attr1Value = nullptr, const wchar_t* attr2Name = nullptr,
                              const wchar_t* attr2Value = nullptr, const wchar_t* attr3Name = nullptr,
                              const wchar_t* attr3Value = nullptr, const wchar_t* attr4Name = nullptr,
                              const wchar_t* attr4Value = nullptr, const wchar_t* attr5Name = nullptr,
                              const wchar_t* attr5Value = nullptr) = 0;
    // Pairs names[i], values[i] while i is below both sizes.
    virtual void writeElement(const wchar_t* name, bool empty, const StringList& names,
                              const StringList& values) = 0;
    virtual void writeComment(const wchar_t* comment) = 0;  // escaped inside <!-- -->
    virtual void writeClosingTag(const wchar_t* name) = 0;  // then flushes the file
    virtual void writeText(const wchar_t* text) = 0;        // escaped: & < > "
    virtual void writeLineBreak() = 0;
    virtual bool hasWriteError() const = 0;  // a write or a flush fell short since creation
};

}  // namespace pravik::io
