#include "game/drop.h"

#include "config/settings.h"
#include "game/save_game.h"
#include "game/start_puzzle.h"

void OnDropFile(PuzzleGame& g, std::string name) {
    Host& host = *g.host;
    if (g.Making()) {
        host.MessageBox("ただいま作成中", "pukko", kMbOk, Owner::kMainWindow);
        return;
    }
    if (g.settings->pieceCount == 0) {
        host.MessageBox("ピース数を選択してください", "pukko", kMbOk, Owner::kMainWindow);
        return;
    }
    if (name.size() >= 2 && name.front() == '"') name = name.substr(1, name.size() - 2);
    if (name.empty()) return;
    SaveBeforeLeaving(g);
    StartPuzzle(g, name);
}
