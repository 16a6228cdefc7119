#pragma once

#include <QIcon>
#include <QPixmap>

// Pictures of the program's own: the program icon (a fish on a blue disc) and the toolbar's
// 16 x 15 button images, drawn in code so they scale and need no image files.
QPixmap DrawAppIcon(int size);
QIcon AppIcon();

enum class EToolbarImage { Exit, ExportXML, Settings, Help };
QPixmap DrawToolbarImage(EToolbarImage image);
