#pragma once
// The program's icons, drawn rather than shipped: the program icon and the four steps of the tray animation.
#include <QIcon>

namespace ostrel {

enum IconId {
    kProgramIcon = 128,
    kTrayIconA = 131,
    kTrayIconB = 132,  // the resting icon, shown first
    kTrayIconC = 133,
    kTrayIconD = 134,
};

QIcon loadIcon(int id);

}  // namespace ostrel
