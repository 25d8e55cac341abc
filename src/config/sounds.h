// Sound effects: nine wave files in the sound folder, all switched by the
// sound setting.  Playing is synchronous: the call returns when the sound ends.
#pragma once

#include <array>
#include <string>

class Host;
class Rand;
struct Settings;

struct SoundPaths {
    std::array<std::string, 9> path;  // UTF-8, without extension
};

void BuildSoundPaths(SoundPaths& table, const std::string& soundFolder);

// A browser has finished listing a folder.
void PlayStartSound(const SoundPaths& t, const Settings& s, Host& host);
// A puzzle starts being made.
void PlayWaitSound(const SoundPaths& t, const Settings& s, Host& host);
// A drop joined pieces.
void PlayJointSound(const SoundPaths& t, const Settings& s, Host& host);
// The completion frame is drawn: one of four, chosen at random.
void PlayEndSound(const SoundPaths& t, const Settings& s, Host& host, Rand& rng);
// The program closes: one of two, chosen at random.
void PlayCloseSound(const SoundPaths& t, const Settings& s, Host& host, Rand& rng);

// The program's table, built at start-up.
SoundPaths& TheSounds();
