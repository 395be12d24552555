#pragma once
// The string tables of the nine languages ("EN/iphone_wzt5_<code>.lang") and the big-font tables
// of Chinese, Japanese and Korean.

#include "DataFolder.h"

namespace qdata {

void addStrings(DataFolder& folder);

}  // namespace qdata
