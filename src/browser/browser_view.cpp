#include "browser/browser_view.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "config/settings.h"

namespace {

constexpr float kGlideKeep = 0.95f;  // the glide loses 5 % per step
constexpr float kDragKeep = 0.9f;    // each move weighs 10 % in the drag speed
constexpr uint32_t kClickMs = 999;   // press and release on one cell within this is a click

int NextIndex(int i, int count) {
    return i + 1 >= count ? 0 : i + 1;
}

int PreviousIndex(int i, int count) {
    if (count <= 0) return 0;
    return i <= 0 ? count - 1 : i - 1;
}

char (&Field(char* folder))[kPathField] {
    return *reinterpret_cast<char(*)[kPathField]>(folder);
}

}  // namespace

BrowserView::~BrowserView() {
    stop.store(true);
    if (worker.joinable()) worker.join();
}

std::string BrowserView::FolderPath() const {
    return folder ? PathField(Field(folder)) : std::string();
}

void BrowserView::SetFolderPath(const std::string& utf8) {
    if (folder) SetPathField(Field(folder), utf8);
}

BrowserSet::BrowserSet() {
    for (int i = 0; i < kBrowserSlots; ++i) slot[static_cast<size_t>(i)].slot = i;
}

void SetStripDpi(BrowserView& v, int dpi) {
    dpi = KnownDpi(dpi);
    if (dpi == v.dpi) return;
    const int oldSide = v.cellSide;
    const int side = ScalePx(kCellSide, dpi);
    // The same share of a cell, the same number of cells across, the same
    // speed in cells per step.
    const float ratio = static_cast<float>(side) / static_cast<float>(oldSide);
    v.clientWidth = static_cast<int>(std::lround(static_cast<double>(v.clientWidth) * side / oldSide));
    v.offset *= ratio;
    if (v.offset >= static_cast<float>(side)) v.offset = 0;
    v.dragSpeed *= ratio;
    v.glideSpeed *= ratio;
    v.dpi = dpi;
    v.cellSide = side;
}

void ResetListing(BrowserView& v, int initialSpeed) {
    v.entryCount.store(0, std::memory_order_release);
    std::vector<BrowserEntry>().swap(v.entries);
    std::vector<MYBIT>().swap(v.thumbnails);
    v.firstIndex = 0;
    v.offset = 0;
    v.dragSpeed = ScaleSpeed(static_cast<float>(initialSpeed), v.dpi);
    v.glideSpeed = 0;
    v.state = kBrowserListing;
    v.pressedIndex = -1;
    v.pressTime = 0;
    v.written.clear();
    v.removed.clear();
}

std::string PathKey(std::string path) {
    for (char& c : path) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

namespace {

void NoteIn(BrowserSet& set, const std::string& path, std::vector<std::string> BrowserView::*list) {
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return;
    const std::string folder = PathKey(path.substr(0, slash));
    for (BrowserView& v : set.slot) {
        if (!v.folder || PathKey(v.FolderPath()) != folder) continue;
        std::vector<std::string>& notes = v.*list;
        if (std::find(notes.begin(), notes.end(), path) == notes.end()) notes.push_back(path);
    }
}

}  // namespace

void NoteWrittenFile(BrowserSet& set, const std::string& path) {
    NoteIn(set, path, &BrowserView::written);
}

void NoteRemovedFile(BrowserSet& set, const std::string& path) {
    NoteIn(set, path, &BrowserView::removed);
}

int CellUnderX(const BrowserView& v, int x) {
    const int count = v.Count();
    if (count <= 0) return -1;
    // x may lie left of the window while the mouse is captured: floor, and
    // a modulo that stays positive.
    const double cell = std::floor((x + static_cast<double>(v.offset)) / v.cellSide) + v.firstIndex;
    const int k = static_cast<int>(std::fmod(cell, static_cast<double>(count)));
    return k < 0 ? k + count : k;
}

namespace {

// The canvas: grey cells, with the entries from the first index on (all of
// them from the left edge when they fit and are completely listed).
void DrawStrip(BrowserView& v, int fit, int count) {
    const int cells = fit + 2;
    const int side = v.cellSide;
    v.canvas.CreateFilled(kCellGrey, cells * side, side);
    if (fit >= count) {
        // While the folder is still being listed the ground stays empty.
        if (v.state != kBrowserListed) return;
        for (int i = 0; i < count; ++i)
            v.canvas.Paste(v.thumbnails[static_cast<size_t>(i)], i * side, 0);
        return;
    }
    int e = v.firstIndex < count ? v.firstIndex : 0;
    for (int k = 0; k < cells; ++k) {
        // side k - offset, truncated toward zero.
        const int x = static_cast<int>(static_cast<float>(k * side) - v.offset);
        v.canvas.Paste(v.thumbnails[static_cast<size_t>(e)], x, 0);
        e = NextIndex(e, count);
    }
}

}  // namespace

bool StepStrip(BrowserView& v, bool draw) {
    const int count = v.Count();
    const float side = static_cast<float>(v.cellSide);
    // The strip moves less than one cell per step, so the single wrap of a
    // step always brings the offset back into [0, side).  A fling can ask
    // for more; it is held to this.
    const float maxStep = side - 1;
    float step = v.dragSpeed + v.glideSpeed;
    if (step > maxStep) step = maxStep;
    if (step < -maxStep) step = -maxStep;
    v.offset += step;
    v.glideSpeed *= kGlideKeep;
    // At most one wrap per step.
    if (v.offset > 0 && v.offset >= side) {
        v.offset -= side;
        v.firstIndex = count > 0 ? NextIndex(v.firstIndex, count) : 0;
    } else if (v.offset < 0) {
        v.offset += side;
        v.firstIndex = PreviousIndex(v.firstIndex, count);
    }

    if (!v.shown || v.state == kBrowserNever) return false;
    const int fit = v.clientWidth / v.cellSide;
    if (fit >= count && v.state == kBrowserListed) {
        // Everything fits: the complete listing stands still from the left
        // edge.
        v.firstIndex = 0;
        v.offset = 0;
        v.dragSpeed = 0;
    }
    if (draw) DrawStrip(v, fit, count);
    return true;
}

void OnStripPress(BrowserView& v, int x, int y, uint32_t now) {
    v.lastX = x;
    v.lastY = y;
    // The strip stops under the finger; what it had glides out.
    v.glideSpeed = v.dragSpeed;
    v.dragSpeed = 0;
    v.pressTime = now;
    v.pressedIndex = CellUnderX(v, x);
}

void OnStripMove(BrowserView& v, int x, int y) {
    // Dragging to the left moves the pictures to the left.
    v.dragSpeed = v.dragSpeed * kDragKeep + static_cast<float>(v.lastX - x) * (1 - kDragKeep);
    v.lastX = x;
    v.lastY = y;
}

StripClick OnStripRelease(BrowserView& v, int x, uint32_t now, bool inside) {
    const int k = CellUnderX(v, x);
    StripClick click;
    if (inside && k >= 0 && now - v.pressTime <= kClickMs && k == v.pressedIndex) {
        const BrowserEntry& e = v.entries[static_cast<size_t>(k)];
        if (e.type == 'B') {
            click.kind = StripClick::kNavigate;
            click.name = e.name;
        } else if (e.type == 'A') {
            click.kind = StripClick::kNavigate;
            click.name = "..";
        } else {
            click.kind = StripClick::kPick;
            click.index = k;
        }
        return click;
    }
    v.pressTime = now;
    v.pressedIndex = k;
    return click;
}

void OnStripWheel(BrowserView& v, bool towardUser) {
    const int count = v.Count();
    if (count > 0)
        v.firstIndex = towardUser ? NextIndex(v.firstIndex, count) : PreviousIndex(v.firstIndex, count);
    v.offset = 0;
    v.dragSpeed = 0;
    v.glideSpeed = 0;
}

bool IsBareDrive(const std::string& path) {
    return path.size() == 2 && path[1] == ':';
}
