#include "browser/folder_scan.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <utility>
#include <vector>

#include "image/picture_read.h"
#include "pieces/board.h"
#include "pieces/saved_state.h"

namespace {

constexpr int kDigitWidth = 16;  // glyphs are placed this far apart
constexpr int kDigitHeight = 25;

bool EndsWithNoCase(const std::string& s, const char* tail) {
    const std::string t(tail);
    if (s.size() < t.size()) return false;
    return std::equal(t.begin(), t.end(), s.end() - static_cast<long>(t.size()), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

int CellSideFor(const BrowserArtwork& art) {
    return ScalePx(kCellSide, art.dpi);
}

void PasteCentred(MYBIT& cell, const MYBIT& picture) {
    const int side = cell.Width();
    cell.PasteBlend(picture, (side - picture.Width()) / 2, (side - picture.Height()) / 2);
}

// Artwork drawn for 96 DPI, stretched to the scale of dpi.
void ScaleArt(MYBIT& art, int dpi) {
    if (dpi == kBaseDpi || art.Empty()) return;
    MYBIT scaled;
    scaled.StretchFrom(art, std::max(1, ScalePx(art.Width(), dpi)), std::max(1, ScalePx(art.Height(), dpi)));
    art = std::move(scaled);
}

// A narrow glyph stands centred in a transparent 16 x 25 box, so that every
// glyph is at least one step wide.
void PadDigit(MYBIT& glyph) {
    if (glyph.Width() >= kDigitWidth) return;
    MYBIT box;
    box.Create(kDigitWidth, kDigitHeight);
    box.Paste(glyph, (kDigitWidth - glyph.Width()) / 2, 0);
    glyph = std::move(box);
}

// A file's cell, or a black one when the picture is too large for the
// memory left.
void MakeCellOrBlack(MYBIT& cell, const std::string& path, const BrowserArtwork& art, Host& host) {
    try {
        MakeFileCell(cell, path, art, host);
    } catch (const std::bad_alloc&) {
        cell.CreateFilled(0, CellSideFor(art), CellSideFor(art));
        LayFrame(cell, art);
    }
}

bool PlausibleCount(int32_t n) {
    return n >= 0 && n <= kMaxPieces;
}

// The first line of a text, and what follows its line break.
std::pair<std::string, std::string> SplitFirstLine(const std::string& text) {
    const size_t end = text.find('\n');
    if (end == std::string::npos) return {text, {}};
    return {text.substr(0, end), text.substr(end + 1)};
}

// One box of failures alike: what they share, then what tells them apart.
struct FailureGroup {
    ScanFailure first;
    std::string head;                // kBox: the shared first line
    std::vector<std::string> lines;  // kBox: the rest of each text; kWindowsError: each object
    int more = 0;                    // failures beyond the lines listed
};

bool SameGroup(const FailureGroup& g, const ScanFailure& f, const std::string& head) {
    const ScanFailure& a = g.first;
    if (a.kind != f.kind) return false;
    if (f.kind == ScanFailure::kBox) return a.caption == f.caption && a.flags == f.flags && g.head == head;
    return a.call == f.call && a.code == f.code;
}

std::string ListedLines(const FailureGroup& g) {
    std::string text;
    for (const std::string& line : g.lines) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    if (g.more > 0) text += "\nほか" + std::to_string(g.more) + "件";
    return text;
}

}  // namespace

int ScanHost::MessageBox(const std::string& text, const std::string& caption, unsigned flags, Owner) {
    std::lock_guard<std::mutex> lock(failuresLock_);
    failures_.push_back({ScanFailure::kBox, text, caption, flags, {}, {}, 0});
    return kIdOk;
}

void ScanHost::ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) {
    std::lock_guard<std::mutex> lock(failuresLock_);
    failures_.push_back({ScanFailure::kWindowsError, {}, {}, 0, call, object, code});
}

std::vector<ScanFailure> ScanHost::TakeFailures() {
    std::lock_guard<std::mutex> lock(failuresLock_);
    std::vector<ScanFailure> taken;
    taken.swap(failures_);
    return taken;
}

void ShowScanFailures(Host& host, const std::vector<ScanFailure>& failures) {
    std::vector<FailureGroup> groups;
    for (const ScanFailure& f : failures) {
        auto [head, rest] = f.kind == ScanFailure::kBox ? SplitFirstLine(f.text)
                                                        : std::pair<std::string, std::string>{{}, f.object};
        FailureGroup* g = nullptr;
        for (FailureGroup& candidate : groups)
            if (SameGroup(candidate, f, head)) g = &candidate;
        if (!g) g = &groups.emplace_back(FailureGroup{f, head, {}, 0});
        // A text of one line said again adds nothing to its box.
        if (f.kind == ScanFailure::kBox && rest.empty()) continue;
        if (g->lines.size() < static_cast<size_t>(kMostFailuresListed))
            g->lines.push_back(std::move(rest));
        else
            ++g->more;
    }
    for (const FailureGroup& g : groups) {
        const ScanFailure& f = g.first;
        if (f.kind == ScanFailure::kWindowsError) {
            host.ShowWindowsError(f.call, ListedLines(g), f.code);
        } else {
            host.MessageBox(g.lines.empty() ? g.head : g.head + "\n" + ListedLines(g), f.caption, f.flags,
                            Owner::kMainWindow);
        }
    }
}

bool IsListedFile(const std::string& name, uint32_t attributes) {
    if (name == "." || name == "..") return false;
    if (!(attributes & kAttrArchive) || (attributes & (kAttrHidden | kAttrDirectory))) return false;
    // The extension is what follows the name's last dot.
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = name.substr(dot);
    for (const char* known : {".jpg", ".jpeg", ".bmp", ".pko"})
        if (ext.size() == std::char_traits<char>::length(known) && EndsWithNoCase(ext, known)) return true;
    return false;
}

void LoadArtwork(BrowserArtwork& art, const std::string& programFolder, Host& host, int dpi) {
    art.dpi = KnownDpi(dpi);
    LoadFile(art.frame, programFolder + "\\frame.bmp", host, 1);
    LoadFile(art.folder, programFolder + "\\folder.bmp", host, 1);
    LoadFile(art.arrow, programFolder + "\\arrow.bmp", host, 1);
    for (MYBIT* picture : {&art.frame, &art.folder, &art.arrow}) ScaleArt(*picture, art.dpi);
    for (int d = 0; d < 10; ++d) {
        MYBIT& glyph = art.digits[static_cast<size_t>(d)];
        LoadFile(glyph, programFolder + "\\" + std::to_string(d) + ".bmp", host, 1);
        PadDigit(glyph);
        ScaleArt(glyph, art.dpi);
    }
}

void DrawCount(MYBIT& cell, const BrowserArtwork& art, int value, int x, int y, bool rightAligned) {
    const std::string digits = std::to_string(value);
    const int n = static_cast<int>(digits.size());
    const int step = ScalePx(kDigitWidth, art.dpi);
    const int first = rightAligned ? x - step * (n - 1) : x;
    for (int i = 0; i < n; ++i) {
        if (digits[static_cast<size_t>(i)] < '0' || digits[static_cast<size_t>(i)] > '9') continue;
        cell.PasteBlend(art.digits[static_cast<size_t>(digits[static_cast<size_t>(i)] - '0')], first + step * i,
                        y);
    }
}

void LayFrame(MYBIT& cell, const BrowserArtwork& art) {
    cell.PasteBlend(art.frame, 0, 0);
}

void MakeFileCell(MYBIT& cell, const std::string& path, const BrowserArtwork& art, Host& host) {
    const int side = CellSideFor(art);
    cell.CreateFilled(kCellGrey, side, side);
    MYBIT picture;
    // A file that cannot be read gives a black picture, after its message.
    LoadScaled(picture, path, host, side);
    cell.Paste(picture, (side - picture.Width()) / 2, (side - picture.Height()) / 2);
    if (IsSavedStatePath(path)) {
        int32_t remaining = 0, total = 0;
        if (ReadSavedCounts(path, remaining, total) && PlausibleCount(remaining) && PlausibleCount(total)) {
            const int dpi = art.dpi;
            DrawCount(cell, art, remaining, ScalePx(5, dpi), ScalePx(5, dpi), false);
            DrawCount(cell, art, total, ScalePx(79, dpi), ScalePx(70, dpi), true);
        } else {
            // Not a saved game this program can take up: black, like any
            // file that cannot be read.
            cell.Fill(0);
        }
    }
    LayFrame(cell, art);
}

void MakeParentCell(MYBIT& cell, const BrowserArtwork& art) {
    MakeDriveCellGround(cell, art);
    PasteCentred(cell, art.arrow);
    LayFrame(cell, art);
}

void MakeDriveCellGround(MYBIT& cell, const BrowserArtwork& art) {
    const int side = CellSideFor(art);
    cell.CreateFilled(kCellGrey, side, side);
    PasteCentred(cell, art.folder);
}

void ScanFolder(BrowserView& v, ScanHost& host, const ScanRequest& request) {
    host.TakeFailures();
    host.ScanStarted();
    const std::string& folder = request.folder;
    std::vector<BrowserEntry> found;
    if (IsBareDrive(folder)) found.push_back({'A', ".."});
    bool tooMany = false;
    const bool listed = host.ListFolder(folder, [&](const std::string& name, uint32_t attributes) {
        if (v.stop.load(std::memory_order_relaxed)) return false;
        if (!IsListedFile(name, attributes)) return true;
        if (found.size() >= static_cast<size_t>(kMaxBrowserEntries)) {
            tooMany = true;
            return false;
        }
        found.push_back({'F', folder + "\\" + name});
        return true;
    });
    if (!listed || v.stop.load()) return;
    if (tooMany) host.MessageBox(kTooManyFilesText, "pukko", kMbOk, Owner::kNone);

    // Whole entries are compared, type letter first: the parent comes
    // before the files, which follow in the order of their full paths.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(found.size());
    for (size_t i = 0; i < found.size(); ++i) keys.emplace_back(found[i].type + found[i].name, i);
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const auto& a, const auto& b) { return host.CompareNames(a.first, b.first) < 0; });
    std::vector<BrowserEntry> sorted;
    sorted.reserve(found.size());
    for (const auto& k : keys) sorted.push_back(std::move(found[k.second]));

    // Nothing is published yet, so the user-interface thread reads neither
    // table while they are replaced.
    const int n = static_cast<int>(sorted.size());
    v.entries = std::move(sorted);
    v.thumbnails.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        if (v.stop.load(std::memory_order_relaxed)) return;
        const BrowserEntry& e = v.entries[static_cast<size_t>(i)];
        MYBIT& cell = v.thumbnails[static_cast<size_t>(i)];
        if (e.type == 'A')
            MakeParentCell(cell, v.art);
        else
            MakeCellOrBlack(cell, e.name, v.art, host);
        v.entryCount.store(i + 1, std::memory_order_release);
    }
    host.ScanFinished();
    if (!request.startSound.empty()) host.PlaySound(request.startSound);
}

bool ListWrittenFiles(BrowserView& v, ScanHost& host) {
    if (v.written.empty() && v.removed.empty()) return true;
    if (v.scanning.load(std::memory_order_acquire) || v.state != kBrowserListed) return false;
    auto find = [&](const std::string& path) {
        const std::string same = PathKey(path);
        return std::find_if(v.entries.begin(), v.entries.end(),
                            [&](const BrowserEntry& e) { return e.type == 'F' && PathKey(e.name) == same; });
    };
    for (const std::string& path : v.removed) {
        // A finished saved game was deleted: its cell goes.
        const auto listed = find(path);
        if (listed == v.entries.end()) continue;
        const int k = static_cast<int>(listed - v.entries.begin());
        v.entries.erase(listed);
        v.thumbnails.erase(v.thumbnails.begin() + k);
        v.entryCount.store(v.Count() - 1, std::memory_order_release);
        if (k < v.firstIndex || (v.firstIndex >= v.Count() && v.firstIndex > 0)) --v.firstIndex;
        if (v.pressedIndex == k)
            v.pressedIndex = -1;
        else if (v.pressedIndex > k)
            --v.pressedIndex;
    }
    for (const std::string& path : v.written) {
        const auto listed = find(path);
        if (listed != v.entries.end()) {
            MakeCellOrBlack(v.thumbnails[static_cast<size_t>(listed - v.entries.begin())], listed->name,
                            v.art, host);
            continue;
        }
        const int count = v.Count();
        if (count >= kMaxBrowserEntries) continue;
        // Ordered as the scan orders them: the type letter, then the path.
        const std::string key = 'F' + path;
        const auto at = std::partition_point(v.entries.begin(), v.entries.end(), [&](const BrowserEntry& e) {
            return host.CompareNames(e.type + e.name, key) <= 0;
        });
        const int k = static_cast<int>(at - v.entries.begin());
        MYBIT cell;
        MakeCellOrBlack(cell, path, v.art, host);
        v.entries.insert(at, BrowserEntry{'F', path});
        v.thumbnails.insert(v.thumbnails.begin() + k, std::move(cell));
        v.entryCount.store(count + 1, std::memory_order_release);
        if (count > 0 && k <= v.firstIndex) ++v.firstIndex;
        if (v.pressedIndex >= k) ++v.pressedIndex;
    }
    v.written.clear();
    v.removed.clear();
    return true;
}

void StartScan(BrowserView& v, ScanHost& host, ScanRequest request) {
    v.stop.store(false);
    v.scanning.store(true);
    v.worker = std::thread([&v, &host, request = std::move(request)] {
        ScanFolder(v, host, request);
        v.scanning.store(false, std::memory_order_release);
    });
}

void RequestStop(BrowserView& v) {
    v.stop.store(true);
}

void JoinScan(BrowserView& v) {
    if (v.worker.joinable()) v.worker.join();
}
