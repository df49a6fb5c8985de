// The program's icon: the picture of packaging/vestrand.svg (an expanding square's track in white
// on a blue square, the datum in orange), painted at the sizes a desktop asks for, so that the
// window needs no image plugin to show it.
#pragma once

#include <QIcon>

QIcon VestrandIcon();
