#pragma once

#include <QIcon>
#include <QPixmap>

// Pictures of the program's own: the program icon (a fish on a blue disc) and the toolbar's
// 16 x 15 button images, drawn in code so they scale and need no image files.  Each is drawn
// for a device pixel ratio: size stays in logical pixels, the pixmap has ratio times as many,
// so a high-density screen shows it sharp instead of enlarged.  A ratio of 0 means the highest
// ratio among the application's screens.
QPixmap DrawAppIcon(int size, qreal devicePixelRatio = 0);
QIcon AppIcon();

enum class EToolbarImage { Exit, ExportXML, Settings, Help };
QPixmap DrawToolbarImage(EToolbarImage image, qreal devicePixelRatio = 0);

// The ratio to draw for: ratio itself, or for 0 the highest among the screens (at least 1).
qreal DrawingPixelRatio(qreal ratio);
