// UTF-8 and UTF-16 for the wide-character Windows API.
#pragma once

#include <string>

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
