#include "game/arrange.h"

#include <string>

#include "views/arrange_pixels.h"
#include "views/background.h"

namespace {

// The arranged picture onto the board picture, opaque, at the top-left.
void ShowOnBoard(PuzzleGame& g, const MYBIT& picture) {
    if (g.boardPicture) g.boardPicture->Paste(picture, 0, 0);
    g.host->InvalidateBoard();
}

}  // namespace

int BuildArrangedPicture(PuzzleGame& g) {
    if (g.wholeRect.right == 0) return 0;
    ComposeArrangedCanvas(g.arrangedCanvas, g.board, g.wholeRect.Width(), g.wholeRect.Height());
    g.arranged.CopyFrom(g.arrangedCanvas);
    FindHueDirections(g.arrangeDirections, g.arrangedCanvas, g.hueOffset);
    if (g.background) ComposeBoard(*g.background, *g.host);
    ShowOnBoard(g, g.arrangedCanvas);
    return 1;
}

int ArrangeAdjust(PuzzleGame& g, double lumaDelta, double hueDelta, double chromaDelta, int blurStep) {
    if (g.arrangedCanvas.Empty()) return 0;
    g.lumaOffset += lumaDelta;
    g.hueOffset += hueDelta;
    g.chromaOffset += chromaDelta;
    if (blurStep == 1) ++g.blurCount;
    // Only a changed hue offset turns the directions; the keys never do.
    if (!g.arrangeDirections.Fits(g.arrangedCanvas, g.hueOffset))
        FindHueDirections(g.arrangeDirections, g.arrangedCanvas, g.hueOffset);
    ConvertArranged(g.arranged, g.arrangedCanvas, ArrangeOffsets{g.lumaOffset, g.hueOffset, g.chromaOffset},
                    g.arrangeDirections);
    BlurArranged(g.arranged, g.blurCount);
    ShowOnBoard(g, g.arranged);
    return 1;
}

int ArrangeOutput(PuzzleGame& g) {
    if (g.arranged.Empty()) return 0;
    const Rect& in = g.innerRect;
    MYBIT inner;
    // A grid of fewer than three cells a side has no inner rectangle: its
    // file is reported unwritten rather than written without pixels.
    const bool innerSaved = inner.CropFrom(g.arranged, in.left, in.top, in.Width(), in.Height()) &&
                            inner.SaveFile(kArrangedInnerFile);
    const bool wholeSaved = g.arranged.SaveFile(kArrangedWholeFile);
    if (innerSaved && wholeSaved) {
        g.host->MessageBox(std::string(kArrangedInnerFile) + "へ出力しました。\n全体は" + kArrangedWholeFile +
                               "へ出力しました。",
                           "pukko", kMbOk, Owner::kMainWindow);
        return 1;
    }
    std::string text;
    if (!innerSaved) text += std::string(kArrangedInnerFile) + "を出力できませんでした。";
    if (!wholeSaved)
        text += std::string(text.empty() ? "" : "\n") + kArrangedWholeFile + "を出力できませんでした。";
    g.host->MessageBox(text, "pukko", kMbOk | kMbIconHand, Owner::kMainWindow);
    return 0;
}
