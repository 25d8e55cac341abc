#include "pieces/board_places.h"

#include <algorithm>

#include "pieces/board_ops.h"

namespace {

bool InRange(int32_t v) {
    return v >= -kMaxCoordinate && v <= kMaxCoordinate;
}

}  // namespace

PiecePlace PlaceOf(const Piece& p) {
    return PiecePlace{p.left, p.top, p.right, p.bottom, p.orientation, p.group};
}

void TakePlaces(const Board& board, BoardPlaces& out) {
    const size_t n = static_cast<size_t>(board.count);
    out.pieces.resize(n);
    out.order.resize(n);
    for (size_t i = 0; i < n; ++i) out.pieces[i] = PlaceOf(board.pieces[i]);
    std::copy(board.order.begin(), board.order.begin() + static_cast<long>(n), out.order.begin());
    out.groupsLeft = CountGroups(board);
}

bool PlaceIsSound(const PiecePlace& place, const Piece& piece) {
    if (!InRange(place.left) || !InRange(place.top) || !InRange(place.right) || !InRange(place.bottom))
        return false;
    if (place.orientation < 0 || place.orientation > 7) return false;
    if (place.group < 0 || place.group >= kMaxGroup) return false;
    const MYBIT& pic = piece.pictures[place.orientation];
    return place.right - place.left == pic.Width() && place.bottom - place.top == pic.Height();
}

bool OrderIsSound(const BoardPlaces& places) {
    const int n = places.Count();
    if (static_cast<int>(places.order.size()) != n) return false;
    std::vector<char> seen(static_cast<size_t>(n), 0);
    for (int32_t k : places.order) {
        if (k < 0 || k >= n || seen[k]) return false;
        seen[k] = 1;
    }
    // One entry per run of equal groups; a group seen in two runs is split.
    std::vector<int32_t> runs;
    for (int i = 0; i < n; ++i) {
        const int32_t g = places.pieces[places.order[i]].group;
        if (i == 0 || g != places.pieces[places.order[i - 1]].group) runs.push_back(g);
    }
    std::sort(runs.begin(), runs.end());
    return std::adjacent_find(runs.begin(), runs.end()) == runs.end();
}

bool PlacesFit(const Board& board, const BoardPlaces& places) {
    if (places.Count() != board.count) return false;
    for (int i = 0; i < board.count; ++i)
        if (!PlaceIsSound(places.pieces[i], board.pieces[i])) return false;
    return OrderIsSound(places);
}

bool ApplyPlaces(Board& board, const BoardPlaces& places) {
    if (!PlacesFit(board, places)) return false;
    for (int i = 0; i < board.count; ++i) {
        Piece& p = board.pieces[i];
        const PiecePlace& q = places.pieces[i];
        p.left = q.left, p.top = q.top, p.right = q.right, p.bottom = q.bottom;
        p.orientation = q.orientation;
        p.group = q.group;
    }
    std::copy(places.order.begin(), places.order.end(), board.order.begin());
    return true;
}
