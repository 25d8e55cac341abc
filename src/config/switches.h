// The two switches every state of the game answers: F7 (arrange mode) and
// F9 (trace log).
#pragma once

class Host;
struct Settings;

// F7: arrange mode on or off; the title shows the new mode at once, even
// while a puzzle is played (the clock's next tick writes its own title).
void SwitchArrangeMode(Settings& s, Host& host);

// F9: the trace log on or off, confirmed in a box of its own with no owner.
void SwitchTrace(Host& host);
