#include "app/menu.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "config/settings.h"

namespace {

// A 0/1 setting and the identifier of its "off" item; "on" is the next one.
struct Switch {
    unsigned off;
    int32_t Settings::*field;
};
constexpr Switch kSwitches[] = {
    {kCmdSaveExitOff, &Settings::saveOnExit}, {kCmdRotateOff, &Settings::rotation},
    {kCmdFlipOff, &Settings::flip},           {kCmdGuideOff, &Settings::guide},
    {kCmdSoundOff, &Settings::sound},
};

std::string Format(int value, const char* suffix) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    return text + std::string(suffix);
}

}  // namespace

int ApplyMenuCommand(Settings& s, unsigned id) {
    for (const Switch& sw : kSwitches) {
        if (id == sw.off || id == sw.off + 1) {
            s.*sw.field = static_cast<int32_t>(id - sw.off);
            return 1;
        }
    }
    if (id == kCmdGrey) {
        s.grey = s.grey ? 0 : 1;
        return 1;
    }
    if (id == kCmdHints) {
        s.hintsOff = s.hintsOff ? 0 : 1;
        return 1;
    }
    // The whole 0x6xxx and 0x7xxx blocks decode, not only the items the
    // menu offers: the value is the identifier's low twelve bits.
    switch (id & 0xF000) {
        case kCmdPiecesBase:
            s.pieceCount = static_cast<int32_t>(id - kCmdPiecesBase);
            return 1;
        case kCmdSizeBase:
            s.pictureSize = static_cast<int32_t>(id - kCmdSizeBase);
            return 1;
    }
    return 0;
}

std::string PieceCountLabel(int pieceCount) {
    return pieceCount != 0 ? Format(pieceCount, "ﾋﾟｰｽ") : std::string("ﾊﾟﾀｰﾝ使用");
}

std::string SizeLabel(int size) {
    return size != 0 ? Format(size, "ﾋﾟｸｾﾙ") : std::string("伸縮なし");
}

std::array<RadioGroup, kRadioGroupCount> RadioMarks(const Settings& s) {
    // unsigned arithmetic: a negative value read from the file gives an
    // identifier that matches no item, so its group simply has no mark.
    auto mark = [](unsigned base, int32_t value) { return base + static_cast<unsigned>(value); };
    return {{
        {kMenuFile, 2, kCmdSaveExitOff, kCmdSaveExitOn, mark(kCmdSaveExitOff, s.saveOnExit)},
        {kMenuPieces, -1, kCmdPiecesBase, kCmdPiecesLast, mark(kCmdPiecesBase, s.pieceCount)},
        {kMenuSize, -1, kCmdSizeBase, kCmdSizeLast, mark(kCmdSizeBase, s.pictureSize)},
        {kMenuSettings, 0, kCmdRotateOff, kCmdRotateOn, mark(kCmdRotateOff, s.rotation)},
        {kMenuSettings, 1, kCmdFlipOff, kCmdFlipOn, mark(kCmdFlipOff, s.flip)},
        {kMenuSettings, 2, kCmdGuideOff, kCmdGuideOn, mark(kCmdGuideOff, s.guide)},
        {kMenuSettings, 4, kCmdSoundOff, kCmdSoundOn, mark(kCmdSoundOff, s.sound)},
    }};
}

bool IsMenuItem(const RadioGroup& g, unsigned checked) {
    if (checked < g.first || checked > g.last) return false;
    int value = static_cast<int>(checked - g.first);
    if (g.first == kCmdPiecesBase)
        return std::find(std::begin(kMenuPieceCounts), std::end(kMenuPieceCounts), value) != std::end(kMenuPieceCounts);
    if (g.first == kCmdSizeBase)
        return std::find(std::begin(kMenuSizes), std::end(kMenuSizes), value) != std::end(kMenuSizes);
    return true;
}

CommandKind ClassifyCommand(unsigned id) {
    switch (id) {
        case kCmdOpen:
            return CommandKind::kOpen;
        case kCmdSave:
            return CommandKind::kSave;
        case kCmdScatter:
            return CommandKind::kScatter;
        case kCmdGatherEdges:
            return CommandKind::kGatherEdges;
        case kCmdLayOut:
            return CommandKind::kLayOut;
        case kCmdExit:
            return CommandKind::kExit;
        case kCmdGuideOff:
            return CommandKind::kGuideOff;
        case kCmdGuideOn:
            return CommandKind::kGuideOn;
        case kCmdGrey:
            return CommandKind::kGrey;
        case kCmdBackColor:
            return CommandKind::kBackColor;
        case kCmdBackTile:
            return CommandKind::kBackTile;
        case kCmdShape:
            return CommandKind::kShape;
        case kCmdPattern:
            return CommandKind::kPattern;
        case kCmdHelp:
            return CommandKind::kHelp;
        case kCmdZoomFit:
            return CommandKind::kZoomFit;
        case kCmdZoomActual:
            return CommandKind::kZoomActual;
        case kCmdZoomIn:
            return CommandKind::kZoomIn;
        case kCmdZoomOut:
            return CommandKind::kZoomOut;
        default:
            return CommandKind::kSetting;
    }
}

std::string HelpFilePath(const Settings& s) {
    return BaseFolder(s) + "\\program\\操作法.html";
}
