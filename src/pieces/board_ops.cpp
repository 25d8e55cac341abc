#include "pieces/board_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace {

Rect PictureRect(const Piece& p) {
    const MYBIT& pic = p.Current();
    return Rect{p.left, p.top, p.left + pic.Width(), p.top + pic.Height()};
}

Rect BoardBounds(const MYBIT& b) {
    return Rect{0, 0, b.Width(), b.Height()};
}

// One word of a piece blended onto one word of the board, as
// MYBIT::PasteBlend does it: alpha 0 leaves the board, 255 copies the word,
// any other alpha mixes each colour as (s * a + t * (255 - a)) >> 8 and
// leaves the alpha byte 0.
inline uint32_t BlendWord(uint32_t sp, uint32_t tp) {
    const uint32_t a = sp >> 24;
    if (a == 0) return tp;
    if (a == 255) return sp;
    const uint32_t na = 255 - a;
    const uint32_t b = ((sp & 0xFF) * a + (tp & 0xFF) * na) >> 8;
    const uint32_t g = (((sp >> 8) & 0xFF) * a + ((tp >> 8) & 0xFF) * na) >> 8;
    const uint32_t r = (((sp >> 16) & 0xFF) * a + ((tp >> 16) & 0xFF) * na) >> 8;
    return (r << 16) | (g << 8) | b;
}

// n words of a piece's row blended onto the board's row.  Four at a time
// where the processor has SSE2: most groups of four are wholly transparent
// (skipped) or opaque and transparent only (selected); the soft edge is
// mixed in 16-bit lanes, which hold s * a + t * (255 - a) <= 65025 exactly,
// so the result is the word-by-word one bit for bit.
void BlendRow(uint32_t* t, const uint32_t* s, int n) {
    int i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    const __m128i zero = _mm_setzero_si128();
    const __m128i opaqueAlpha = _mm_set1_epi32(255);
    const __m128i full16 = _mm_set1_epi16(255);
    const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
    for (; i + 4 <= n; i += 4) {
        const __m128i sp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i a = _mm_srli_epi32(sp, 24);
        const __m128i clear = _mm_cmpeq_epi32(a, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
        const __m128i opaque = _mm_cmpeq_epi32(a, opaqueAlpha);
        __m128i* dst = reinterpret_cast<__m128i*>(t + i);
        const __m128i tp = _mm_loadu_si128(dst);
        __m128i out = _mm_or_si128(_mm_and_si128(opaque, sp), _mm_and_si128(clear, tp));
        const __m128i soft = _mm_andnot_si128(_mm_or_si128(opaque, clear), _mm_set1_epi32(-1));
        if (_mm_movemask_epi8(soft) != 0) {
            const __m128i slo = _mm_unpacklo_epi8(sp, zero), shi = _mm_unpackhi_epi8(sp, zero);
            const __m128i tlo = _mm_unpacklo_epi8(tp, zero), thi = _mm_unpackhi_epi8(tp, zero);
            // Each pixel's alpha in all four of its lanes.
            const __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF);
            const __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF);
            const __m128i mlo = _mm_srli_epi16(
                _mm_add_epi16(_mm_mullo_epi16(slo, alo), _mm_mullo_epi16(tlo, _mm_sub_epi16(full16, alo))),
                8);
            const __m128i mhi = _mm_srli_epi16(
                _mm_add_epi16(_mm_mullo_epi16(shi, ahi), _mm_mullo_epi16(thi, _mm_sub_epi16(full16, ahi))),
                8);
            const __m128i mixed = _mm_and_si128(_mm_packus_epi16(mlo, mhi), colour);
            out = _mm_or_si128(out, _mm_and_si128(soft, mixed));
        }
        _mm_storeu_si128(dst, out);
    }
#endif
    for (; i < n; ++i) t[i] = BlendWord(s[i], t[i]);
}

// Blends the part r of the piece's picture onto the board picture; r is
// already clipped to the board and to the picture.
void BlendPart(MYBIT& board, const Piece& p, const Rect& r) {
    const MYBIT& pic = p.Current();
    const int w = r.Width();
    const int sx = r.left - p.left;
    for (int y = r.top; y < r.bottom; ++y) BlendRow(board.Row(y) + r.left, pic.Row(y - p.top) + sx, w);
}

bool IsPosition(const Board& board, int k) {
    return k >= 0 && k < board.count;
}

int32_t NeighbourCount(const Piece& p) {
    int32_t n = 0;
    while (n < static_cast<int32_t>(p.neighbours.size()) && p.neighbours[n] >= 0) ++n;
    return n;
}

}  // namespace

Rect OrientRect(const Rect& r, int o) {
    Rect t = r;
    for (int i = 0; i < (o & 3); ++i) t = Rect{t.top, -t.right, t.bottom, -t.left};
    if (o & 4) t = Rect{-t.right, t.top, -t.left, t.bottom};
    return t;
}

Rect UnionRect(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

int NextGroupNumber(const Board& board) {
    int32_t most = -1;
    for (int i = 0; i < board.count; ++i) most = std::max(most, board.pieces[i].group);
    return most + 1;
}

int LowestPositionOf(const Board& board, int g) {
    for (int k = 0; k < board.count; ++k)
        if (board.pieces[board.order[k]].group == g) return k;
    return -1;
}

int HitTest(const Board& board, int x, int y) {
    for (int k = board.count - 1; k >= 0; --k) {
        const Piece& p = board.pieces[board.order[k]];
        if (!(p.left < x && x < p.right && p.top < y && y < p.bottom)) continue;
        const MYBIT& pic = p.Current();
        const int px = x - p.left, py = y - p.top;
        // A rectangle that disagrees with its picture must not read outside it.
        if (px >= pic.Width() || py >= pic.Height()) continue;
        if (pic.At(px, py) != 0) return k;
    }
    return -1;
}

namespace {

// The part of the piece inside area (already clipped to the board) blended
// onto the board picture.  The rectangle is tested first: it shares a cache
// line with nothing else the test needs, and most pieces lie elsewhere.
// Only a piece that meets the area has its picture's size looked at, so
// that a rectangle that disagrees with its picture never reads outside it.
void BlendInto(MYBIT& target, const Piece& p, const Rect& area) {
    Rect part;
    if (!IntersectRect(&part, area, p.BoardRect()) || !IntersectRect(&part, part, PictureRect(p))) return;
    BlendPart(target, p, part);
}

}  // namespace

void RedrawRegion(Board& board, const Rect& r, int first, int last) {
    if (!board.boardPicture || board.boardPicture->Empty()) return;
    MYBIT& target = *board.boardPicture;
    Rect area;
    if (!IntersectRect(&area, r, BoardBounds(target))) return;
    const int from = std::max(first, 0), to = std::min(last, board.count - 1);
    if (from <= to) board.changed = UnionRect(board.changed, area);
    for (int k = from; k <= to; ++k) BlendInto(target, board.pieces[board.order[k]], area);
}

void PasteClean(Board& board, const Rect& r) {
    if (!board.boardPicture || !board.cleanBoard) return;
    MYBIT& target = *board.boardPicture;
    const MYBIT& clean = *board.cleanBoard;
    Rect part;
    if (!IntersectRect(&part, r, BoardBounds(target))) return;
    if (!IntersectRect(&part, part, BoardBounds(clean))) return;
    board.changed = UnionRect(board.changed, part);
    const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(part.Width());
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(target.Row(y) + part.left, clean.Row(y) + part.left, bytes);
}

void RepaintUnder(Board& board, int from, int last) {
    const int n = board.count;
    from = std::max(from, 0);
    last = std::min(last, n - 1);
    if (from >= n) return;
    // Only the pieces that meet the rectangle around all the repainted ones
    // can show in any of them; finding those once keeps a group of a
    // hundred from looking at every piece of the board a hundred times.
    Rect box;
    for (int k = from; k < n; ++k) box = UnionRect(box, PictureRect(board.pieces[board.order[k]]));
    std::vector<int32_t> near;
    for (int k = 0; k <= last; ++k) {
        const int32_t num = board.order[k];
        Rect common;
        if (IntersectRect(&common, box, board.pieces[num].BoardRect())) near.push_back(num);
    }
    MYBIT* target = board.boardPicture;
    for (int k = from; k < n; ++k) {
        const Rect r = PictureRect(board.pieces[board.order[k]]);
        PasteClean(board, r);
        Rect area;
        if (!target || !IntersectRect(&area, r, BoardBounds(*target))) continue;
        for (int32_t num : near) BlendInto(*target, board.pieces[num], area);
    }
}

int RaiseGroup(Board& board, int k) {
    if (!IsPosition(board, k)) return -1;
    const int n = board.count;
    const int32_t clicked = board.order[k];
    const int32_t g = board.pieces[clicked].group;

    // Stable partition: the others keep their order below, the group keeps
    // its own order on top.
    std::vector<int32_t> raised;
    int w = 0;
    for (int i = 0; i < n; ++i) {
        const int32_t num = board.order[i];
        if (board.pieces[num].group == g)
            raised.push_back(num);
        else
            board.order[w++] = num;
    }
    const int first = w;
    int result = -1;
    for (int32_t num : raised) {
        if (num == clicked) result = w;
        board.order[w++] = num;
    }

    RepaintUnder(board, first, n - 1);
    return result;
}

void DetachPiece(Board& board, int k) {
    if (!IsPosition(board, k)) return;
    const int n = board.count;
    const int fresh = NextGroupNumber(board);
    const int32_t a = board.order[k];
    Piece& pa = board.pieces[a];
    const int32_t oldGroup = pa.group;
    pa.group = fresh;

    std::copy(board.order.begin() + k + 1, board.order.begin() + n, board.order.begin() + k);
    board.order[n - 1] = a;

    // What is left of the old group lies on positions p .. f.  Split it into
    // connected parts along the neighbour lists; each part gets a fresh
    // number and the positions are rewritten in the order the walks reach
    // the pieces, so every part lies on consecutive positions again.
    const int p = LowestPositionOf(board, oldGroup);
    if (p >= 0) {
        int f = p;
        while (f + 1 < n - 1 && board.pieces[board.order[f + 1]].group == oldGroup) ++f;
        if (f > p) {
            std::vector<int32_t> reached;
            reached.reserve(f - p + 1);
            std::vector<uint8_t> seen(n, 0);
            int part = fresh;
            for (int start = p; start <= f; ++start) {
                const int32_t s = board.order[start];
                if (seen[s]) continue;
                ++part;
                seen[s] = 1;
                const size_t partStart = reached.size();
                size_t head = partStart;
                reached.push_back(s);
                while (head < reached.size()) {
                    const Piece& cur = board.pieces[reached[head++]];
                    const int32_t count = NeighbourCount(cur);
                    for (int32_t j = 0; j < count; ++j) {
                        const int32_t nb = cur.neighbours[j];
                        if (nb >= n || seen[nb] || board.pieces[nb].group != oldGroup) continue;
                        seen[nb] = 1;
                        reached.push_back(nb);
                    }
                }
                for (size_t i = partStart; i < reached.size(); ++i) board.pieces[reached[i]].group = part;
            }
            std::copy(reached.begin(), reached.end(), board.order.begin() + p);
        }
    }

    RepaintUnder(board, n - 1, n - 2);
    pa.left += 5;
    pa.right += 5;
    pa.top += 5;
    pa.bottom += 5;
    RedrawRegion(board, PictureRect(pa), n - 1, n - 1);
}

bool IsSpeck(const Piece& p) {
    return p.homeRight - p.homeLeft <= 2 && p.homeBottom - p.homeTop <= 2;
}

int CountGroups(const Board& board) {
    int groups = 0;
    bool any = false;
    int32_t previous = 0;
    for (int k = 0; k < board.count; ++k) {
        const Piece& p = board.pieces[board.order[k]];
        if (IsSpeck(p)) continue;
        if (!any || p.group != previous) ++groups;
        any = true;
        previous = p.group;
    }
    return groups;
}
