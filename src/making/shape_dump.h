// The shape settings as readable text (F6): the four base cutting lines,
// the completion frame and the rim, each in the unit it is edited in.
#pragma once

#include <string>

class Host;
struct Settings;

// The text: lines ended by a line feed alone, ASCII only.
std::string FormatShapeSettings(const Settings& s);

// Writes the text to path, replacing any file there; false when it could
// not be written (an existing file is then left as it was).
bool DumpShapeSettings(const Settings& s, const std::string& path);

// The F6 key: writes pukko_ini.txt in the program's folder and says so, or
// says that it could not be written.
void DumpShapeSettingsCommand(const Settings& s, Host& host);
