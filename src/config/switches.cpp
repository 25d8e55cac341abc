#include "config/switches.h"

#include "base/host.h"
#include "config/settings.h"
#include "config/shell_texts.h"
#include "config/trace.h"

void SwitchArrangeMode(Settings& s, Host& host) {
    s.arrangeMode = s.arrangeMode ? 0 : 1;
    host.SetTitle(ModeTitle(s.arrangeMode));
}

void SwitchTrace(Host& host) {
    int on = ToggleTrace();
    host.MessageBox(on ? kTraceOnText : kTraceOffText, kProgramName, kMbOk, Owner::kNone);
}
