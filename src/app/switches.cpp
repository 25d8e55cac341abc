#include "app/switches.h"

#include "app/settings.h"
#include "app/shell_texts.h"
#include "app/trace.h"
#include "base/host.h"

void SwitchArrangeMode(Settings& s, Host& host) {
    s.arrangeMode = s.arrangeMode ? 0 : 1;
    host.SetTitle(ModeTitle(s.arrangeMode));
}

void SwitchTrace(Host& host) {
    int on = ToggleTrace();
    host.MessageBox(on ? kTraceOnText : kTraceOffText, kProgramName, kMbOk, Owner::kNone);
}
