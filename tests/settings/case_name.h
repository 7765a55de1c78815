// Readable names for table-driven cases, so that CTest lists "Cases/x.y/
// partly_off_right_and_bottom" instead of a byte dump of the parameter.
#pragma once

#include <cctype>
#include <string>

inline std::string CaseName(const char* text, int index) {
    std::string name;
    for (const char* p = text ? text : ""; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name.empty() ? "case" + std::to_string(index) : name + "_" + std::to_string(index);
}
