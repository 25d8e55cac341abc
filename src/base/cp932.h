// Conversion between UTF-8 (the core's text) and code page 932 (the Windows
// Japanese table, as the settings file and trace log store text).  Characters
// that the other side lacks become '?'.
#pragma once

#include <string>

std::string Utf8ToCp932(const std::string& utf8);
std::string Cp932ToUtf8(const std::string& cp932);
