#include "config/settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <vector>

#include "base/cp932.h"
#include "base/file_io.h"

namespace {

// The four base lines of the knobbed cutting line, in units of 216 per cell side.
// clang-format off
constexpr int32_t kDefaultLines[kBaseLines][kBaseLinePoints][2] = {
    {{0, 0}, {24, -12}, {108, -24}, {74, 24}, {49, 78}, {168, 78}, {143, 24}, {108, -24}, {191, -12}, {216, 0}},
    {{0, 0}, {24, -12}, {119, -23}, {79, 24}, {64, 78}, {172, 80}, {150, 24}, {120, -23}, {191, -12}, {216, 0}},
    {{0, 0}, {35, 0}, {132, -26}, {92, 23}, {79, 77}, {168, 78}, {143, 18}, {129, -25}, {191, 3}, {216, 0}},
    {{0, 0}, {24, -12}, {112, -4}, {81, 24}, {54, 86}, {158, 82}, {133, 25}, {108, -14}, {190, -3}, {216, 0}},
};
// clang-format on

}  // namespace

Settings DefaultSettings() {
    Settings s;
    std::memset(&s, 0, sizeof s);
    s.pointsPerLine = kBaseLinePoints;
    std::memcpy(s.lineInitial, kDefaultLines, sizeof s.lineInitial);
    SetPathField(s.tileFile, "back\\タイル２.bmp");
    s.pieceCount = 20;
    s.pictureSize = 600;
    s.rotation = 1;
    s.flip = 0;
    s.sound = 1;
    s.backColor = 0x009EBE9C;
    s.guide = 1;
    s.grey = 0;
    s.endWakuL1 = 30.0;
    s.endWakuL2 = 95.0;
    s.endWakuH = 93.0;
    s.endWakuS = 84.0;
    s.endWakuT = 10;
    s.edgeThick = 10;
    s.edgeLight = 150;
    s.saveOnExit = 1;
    s.arrangeMode = 0;
    s.hintsOff = 0;  // the hints on
    return s;
}

std::string PathField(const char (&field)[kPathField]) {
    size_t n = strnlen(field, kPathField);
    return Cp932ToUtf8(std::string(field, n));
}

void SetPathField(char (&field)[kPathField], const std::string& utf8) {
    std::string bytes = Utf8ToCp932(utf8);
    if (bytes.size() > kPathField - 1) {
        // Never cut a double-byte character in half.
        size_t keep = 0;
        for (size_t i = 0; i < bytes.size();) {
            unsigned char c = static_cast<unsigned char>(bytes[i]);
            size_t step = ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) ? 2 : 1;
            if (i + step > kPathField - 1) break;
            i += step;
            keep = i;
        }
        bytes.resize(keep);
    }
    std::memset(field, 0, kPathField);
    std::memcpy(field, bytes.data(), bytes.size());
}

void FindBaseFolder(Settings& s, const std::string& commandLine) {
    std::string exe;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t end = commandLine.find('"', 1);
        exe = commandLine.substr(1, end == std::string::npos ? std::string::npos : end - 1);
    } else {
        exe = commandLine;
    }
    // Drive and folder: everything up to the last separator, which itself goes.
    size_t slash = exe.find_last_of("\\/");
    std::string base;
    if (slash != std::string::npos) {
        base = exe.substr(0, slash);
    } else if (exe.size() >= 2 && exe[1] == ':') {
        base = exe.substr(0, 2);
    }
    while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
    SetPathField(s.baseFolder, base);
    SetPathField(s.iniPath, base + "\\pukko.ini");
}

std::string BaseFolder(const Settings& s) {
    return PathField(s.baseFolder);
}

namespace {

bool LineInBox(const int32_t (&line)[kBaseLinePoints][2]) {
    for (const auto& point : line)
        for (int32_t v : point)
            if (v < kBaseLineLeast || v > kBaseLineMost) return false;
    return true;
}

template <size_t N>
bool Offered(const int32_t (&values)[N], int32_t v) {
    return std::find(std::begin(values), std::end(values), v) != std::end(values);
}

// NaN is in no range.
bool Within(double v, double least, double most) {
    return v >= least && v <= most;
}

}  // namespace

bool ResetDamagedSettings(Settings& s) {
    const Settings d = DefaultSettings();
    bool reset = false;
    auto keep = [&reset](auto& value, const auto& fallback, bool fits) {
        if (fits) return;
        value = fallback;
        reset = true;
    };
    keep(s.pointsPerLine, d.pointsPerLine, s.pointsPerLine == kBaseLinePoints);
    for (int k = 0; k < kBaseLines; ++k) {
        if (LineInBox(s.lineInitial[k])) continue;
        std::memcpy(s.lineInitial[k], d.lineInitial[k], sizeof s.lineInitial[k]);
        reset = true;
    }
    for (char(Settings::*field)[kPathField] :
         {&Settings::baseFolder, &Settings::iniPath, &Settings::backFolder, &Settings::imageFolder,
          &Settings::patternFolder, &Settings::soundFolder, &Settings::programFolder, &Settings::tileFile}) {
        if (std::memchr(s.*field, 0, kPathField)) continue;
        std::memcpy(s.*field, d.*field, kPathField);
        reset = true;
    }
    keep(s.pieceCount, d.pieceCount, Offered(kMenuPieceCounts, s.pieceCount));
    keep(s.pictureSize, d.pictureSize, Offered(kMenuSizes, s.pictureSize));
    for (int32_t Settings::*sw :
         {&Settings::rotation, &Settings::flip, &Settings::sound, &Settings::guide, &Settings::grey,
          &Settings::saveOnExit, &Settings::arrangeMode, &Settings::hintsOff})
        keep(s.*sw, d.*sw, s.*sw == 0 || s.*sw == 1);
    keep(s.backColor, d.backColor, (s.backColor >> 24) == 0);
    keep(s.endWakuL1, d.endWakuL1, std::isfinite(s.endWakuL1));
    keep(s.endWakuL2, d.endWakuL2, std::isfinite(s.endWakuL2));
    keep(s.endWakuH, d.endWakuH, Within(s.endWakuH, 0.0, kFrameHueMost));
    keep(s.endWakuS, d.endWakuS, Within(s.endWakuS, 0.0, kFrameChromaMost));
    keep(s.endWakuT, d.endWakuT, s.endWakuT >= kFrameThickLeast && s.endWakuT <= kFrameThickMost);
    keep(s.edgeThick, d.edgeThick, s.edgeThick >= 0);
    keep(s.edgeLight, d.edgeLight, s.edgeLight >= 0);
    return reset;
}

bool LoadSettings(Settings& s, const std::string& commandLine) {
    s = DefaultSettings();
    FindBaseFolder(s, commandLine);
    Settings thisRun = s;

    std::vector<uint8_t> bytes;
    // A file longer than the record gives only the record's bytes.
    FilePtr f = OpenFile(PathField(s.iniPath), "rb");
    if (f) {
        bytes.resize(kSettingsSize);
        size_t n = std::fread(bytes.data(), 1, kSettingsSize, f.get());
        std::memcpy(&s, bytes.data(), n);
    }
    const bool reset = ResetDamagedSettings(s);

    std::memcpy(s.baseFolder, thisRun.baseFolder, kPathField);
    std::memcpy(s.iniPath, thisRun.iniPath, kPathField);
    std::string base = BaseFolder(s);
    SetPathField(s.backFolder, base + "\\back");
    SetPathField(s.imageFolder, base + "\\image");
    SetPathField(s.patternFolder, base + "\\pattern");
    SetPathField(s.soundFolder, base + "\\program\\source");
    SetPathField(s.programFolder, base + "\\program");
    return reset;
}

bool SaveSettings(const Settings& s) {
    return WriteFileAtomic(PathField(s.iniPath), &s, sizeof s);
}
