#include "config/sounds.h"

#include "base/host.h"
#include "base/rand.h"
#include "config/settings.h"

namespace {

constexpr const char* kNames[9] = {"\\k_start", "\\k_wait",  "\\k_joint",   "\\k_end_1",  "\\k_end_2",
                                   "\\k_end_3", "\\k_end_4", "\\k_close_1", "\\k_close_2"};

}  // namespace

SoundPaths& TheSounds() {
    static SoundPaths table;
    return table;
}

void BuildSoundPaths(SoundPaths& table, const std::string& soundFolder) {
    for (size_t i = 0; i < table.path.size(); ++i) table.path[i] = soundFolder + kNames[i];
}

void PlayStartSound(const SoundPaths& t, const Settings& s, Host& host) {
    if (s.sound) host.PlaySound(t.path[0]);
}

void PlayWaitSound(const SoundPaths& t, const Settings& s, Host& host) {
    if (s.sound) host.PlaySound(t.path[1]);
}

void PlayJointSound(const SoundPaths& t, const Settings& s, Host& host) {
    if (s.sound) host.PlaySound(t.path[2]);
}

// With the sound off no random number is drawn, so the game's sequence
// does not depend on the setting.
void PlayEndSound(const SoundPaths& t, const Settings& s, Host& host, Rand& rng) {
    if (!s.sound) return;
    host.PlaySound(t.path[3 + rng.Next() % 4]);
}

void PlayCloseSound(const SoundPaths& t, const Settings& s, Host& host, Rand& rng) {
    if (!s.sound) return;
    host.PlaySound(t.path[7 + rng.Next() % 2]);
}
