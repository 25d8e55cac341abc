#include "config/sounds.h"

#include <gtest/gtest.h>

#include <set>

#include "base/rand.h"
#include "config/settings.h"
#include "support/fake_host.h"

TEST(Sounds, EachEventPlaysItsFileAndTheRandomOnesDrawOnce) {
    SoundPaths t;
    BuildSoundPaths(t, "C:\\p\\program\\source");
    EXPECT_EQ(t.path[0], "C:\\p\\program\\source\\k_start");
    EXPECT_EQ(t.path[8], "C:\\p\\program\\source\\k_close_2");
    Settings s = DefaultSettings();
    FakeHost host;
    PlayStartSound(t, s, host);
    PlayWaitSound(t, s, host);
    PlayJointSound(t, s, host);
    EXPECT_EQ(host.sounds, (std::vector<std::string>{t.path[0], t.path[1], t.path[2]}));

    // rand() mod 4 and mod 2 of the game's own generator, one number each.
    Rand rng(7), mirror(7);
    std::set<std::string> end, close;
    for (int i = 0; i < 40; ++i) {
        host.sounds.clear();
        PlayEndSound(t, s, host, rng);
        PlayCloseSound(t, s, host, rng);
        ASSERT_EQ(host.sounds.size(), 2u);
        EXPECT_EQ(host.sounds[0], t.path[3 + mirror.Next() % 4]);
        EXPECT_EQ(host.sounds[1], t.path[7 + mirror.Next() % 2]);
        end.insert(host.sounds[0]);
        close.insert(host.sounds[1]);
    }
    EXPECT_EQ(end.size(), 4u);
    EXPECT_EQ(close.size(), 2u);

    // Off: nothing plays, and no number is drawn, so the next cut or
    // scatter is the same whatever the setting.
    s.sound = 0;
    host.sounds.clear();
    PlayStartSound(t, s, host);
    PlayWaitSound(t, s, host);
    PlayJointSound(t, s, host);
    PlayEndSound(t, s, host, rng);
    PlayCloseSound(t, s, host, rng);
    EXPECT_TRUE(host.sounds.empty());
    EXPECT_EQ(rng.Next(), mirror.Next());
}
