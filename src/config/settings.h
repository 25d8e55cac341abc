// The settings record.  Its byte image is the file pukko.ini: 2496 bytes,
// little-endian integers and doubles at fixed offsets, paths as
// zero-terminated code page 932 strings in 260-byte fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int kPathField = 260;
constexpr int kBaseLinePoints = 10;
constexpr int kBaseLines = 4;

struct Settings {
    int32_t pointsPerLine;                                // 0
    int32_t lineInitial[kBaseLines][kBaseLinePoints][2];  // 4: line_initial, (x, y)
    char baseFolder[kPathField];                          // 324
    char iniPath[kPathField];                             // 584
    char backFolder[kPathField];                          // 844
    char imageFolder[kPathField];                         // 1104
    char patternFolder[kPathField];                       // 1364
    char soundFolder[kPathField];                         // 1624
    char programFolder[kPathField];                       // 1884
    char tileFile[kPathField];                            // 2144
    int32_t pieceCount;                                   // 2404; 0 = use a pattern
    int32_t pictureSize;                                  // 2408; 0 = no scaling
    int32_t rotation;                                     // 2412
    int32_t flip;                                         // 2416
    int32_t sound;                                        // 2420
    uint32_t backColor;                                   // 2424, COLORREF
    int32_t guide;                                        // 2428
    int32_t grey;                                         // 2432
    int32_t align1;                                       // 2436
    double endWakuL1;                                     // 2440
    double endWakuL2;                                     // 2448
    double endWakuH;                                      // 2456
    double endWakuS;                                      // 2464
    int32_t endWakuT;                                     // 2472
    int32_t edgeThick;                                    // 2476
    int32_t edgeLight;                                    // 2480
    int32_t saveOnExit;                                   // 2484
    int32_t arrangeMode;                                  // 2488
    // The guide's aids ("ヒント") switched off: stored the other way round,
    // so that the zero an older version left in this alignment word means
    // on.  A 0/1 switch.
    int32_t hintsOff;                                     // 2492
};

constexpr size_t kSettingsSize = 2496;
static_assert(sizeof(Settings) == kSettingsSize);
static_assert(offsetof(Settings, baseFolder) == 324);
static_assert(offsetof(Settings, tileFile) == 2144);
static_assert(offsetof(Settings, pieceCount) == 2404);
static_assert(offsetof(Settings, backColor) == 2424);
static_assert(offsetof(Settings, endWakuL1) == 2440);
static_assert(offsetof(Settings, endWakuT) == 2472);
static_assert(offsetof(Settings, arrangeMode) == 2488);
static_assert(offsetof(Settings, hintsOff) == 2492);

// The built-in defaults (folders empty until FindBaseFolder).
Settings DefaultSettings();

// The ranges of the values the record holds: what the program itself can
// put there.  A value read from the file outside its range is damage.
//
// The piece counts and sizes the menu offers, in menu order (0: use a
// pattern, no scaling).
inline constexpr int32_t kMenuPieceCounts[] = {0,   4,   10,  20,  30,  40,  50,  75,  100, 150,
                                               200, 250, 300, 400, 500, 600, 700, 800, 900, 1000};
inline constexpr int32_t kMenuSizes[] = {0, 400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000};
// The box a base line's points are dragged in: the shape dialog's preview,
// 436 pixels square at 96 DPI with point (0, 0) at (110, 110), in the
// line's own units; at another DPI a pointer on the preview's last pixel
// scales back to 326.
constexpr int32_t kBaseLineLeast = -110;
constexpr int32_t kBaseLineMost = 326;
// The completion frame as its keys leave it: hue and chroma 0 .. 100, the
// thickness 2 .. INT32_MAX / 4 pixels; the two lumas move freely.
constexpr double kFrameHueMost = 100.0;
constexpr double kFrameChromaMost = 100.0;
constexpr int32_t kFrameThickLeast = 2;
constexpr int32_t kFrameThickMost = INT32_MAX / 4;

// Every value of the record checked against its range, as read from
// pukko.ini: the points per line (10), the base lines' points (a line with
// a point outside the box takes its default whole), the path fields (each
// ends within its 260 bytes), the menu's piece count and size, the 0/1
// switches, the background colour (a COLORREF: high byte 0), the frame
// (finite, within the ranges above) and the rim (0 or more).  A value out
// of range takes its default.  The alignment word at 2436 is no value and
// is left as it is.  True when anything was reset.
bool ResetDamagedSettings(Settings& s);

// A path field as UTF-8, and a UTF-8 path stored into a field (as code page
// 932, cut to fit with its terminator).
std::string PathField(const char (&field)[kPathField]);
void SetPathField(char (&field)[kPathField], const std::string& utf8);

// The base folder from the program's command line: the first item, quoted or
// not, without its file name and without a final backslash.  Also sets the
// configuration file path.
void FindBaseFolder(Settings& s, const std::string& commandLine);

// Defaults, then the file's bytes over them (a shorter file replaces only the
// bytes it has), damaged values reset (ResetDamagedSettings), then this
// run's folders.  The command line's first item is the program's path; the
// shell hands in its module's path, quoted, since the process's own command
// line may name no folder at all.  True when a damaged value was reset: the
// player is to be told.
bool LoadSettings(Settings& s, const std::string& commandLine);

// Writes the whole record to the configuration file.  The new file replaces
// the old one only once it is complete.
bool SaveSettings(const Settings& s);

// Folder of the program files, joined as the program joins them.
std::string BaseFolder(const Settings& s);
