#include "making/shape_dump.h"

#include <climits>
#include <cmath>
#include <cstdio>

#include "base/file_io.h"
#include "base/host.h"
#include "config/settings.h"

namespace {

// A frame value as hundredths, truncated toward zero; the factor is single
// precision, the product double.  The settings file can hold any double, so
// values past the int range stop at its ends and not a number gives 0.
int Hundredths(double v) {
    const double h = std::trunc(v * 100.0f);
    if (std::isnan(h)) return 0;
    if (h >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (h <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(h);
}

}  // namespace

std::string FormatShapeSettings(const Settings& s) {
    std::string text;
    char buffer[1000];
    for (int k = 0; k < kBaseLines; ++k) {
        text += "line_initial={";
        for (int j = 0; j < kBaseLinePoints; ++j) {
            std::snprintf(buffer, sizeof buffer, "{%d,%d},", s.lineInitial[k][j][0], s.lineInitial[k][j][1]);
            text += buffer;
        }
        text += "}\n";
    }
    const struct {
        const char* key;
        double value;
    } frame[] = {{"end_waku_L1", s.endWakuL1},
                 {"end_waku_L2", s.endWakuL2},
                 {"end_waku_H", s.endWakuH},
                 {"end_waku_S", s.endWakuS}};
    for (const auto& f : frame) {
        std::snprintf(buffer, sizeof buffer, "%s=%d / 100\n", f.key, Hundredths(f.value));
        text += buffer;
    }
    std::snprintf(buffer, sizeof buffer, "end_waku_t=%d\nedge_thick=%d\nedge_light=%d\n", s.endWakuT,
                  s.edgeThick, s.edgeLight);
    text += buffer;
    return text;
}

bool DumpShapeSettings(const Settings& s, const std::string& path) {
    const std::string text = FormatShapeSettings(s);
    return WriteFileAtomic(path, text.data(), text.size());
}

void DumpShapeSettingsCommand(const Settings& s, Host& host) {
    if (DumpShapeSettings(s, BaseFolder(s) + "\\pukko_ini.txt"))
        host.MessageBox("pukko_ini.txt出力しました。", "pukko", kMbOk, Owner::kNone);
    else
        host.MessageBox("pukko_ini.txtを出力できませんでした。", "pukko", kMbOk, Owner::kNone);
}
