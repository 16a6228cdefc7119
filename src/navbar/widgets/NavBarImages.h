#pragma once

#include <memory>

#include "navbar/widgets/QtBarCanvas.h"

// The icons of the main menu folder, in the order of its items: 0 "トップ" (a house),
// 1 "データ登録" (a pencil on a form), 2 "データ統計" (a bar chart), 3 "画像一覧" (a framed photo),
// 4 "釣り場マップ" (a folded map with a pin).
enum NavBarImage {
    NavBarImageTop = 0,
    NavBarImageEntry = 1,
    NavBarImageStatistics = 2,
    NavBarImagePhotos = 3,
    NavBarImageMap = 4,
    NavBarImageCount = 5,
};

struct NavBarImageLists {
    std::unique_ptr<CNavBarImageList> large;  // 32 x 32, for the large-icon view (kind 2)
    std::unique_ptr<CNavBarImageList> small;  // 16 x 16, for the small-icon view (kind 1)
};

// Draws one menu icon into a square of `side` logical pixels with a transparent background, for
// a device pixel ratio (side times ratio pixels, so it is sharp on a high-density screen; 0 is
// the highest ratio among the application's screens).
QPixmap DrawNavBarImage(int image, int side, qreal devicePixelRatio = 0);

// Both lists with the menu icons, drawn for devicePixelRatio as above.  The caller keeps
// them alive as long as a bar uses them.
NavBarImageLists CreateNavBarImageLists(qreal devicePixelRatio = 0);

class CNavBarCtrl;

// Fills a new bar the way the main window shows it: the lists attached (large as kind 2, small
// as kind 1), folder "メニュー" with "トップ", "データ登録", "データ統計" and "画像一覧" (images 0
// to 3), an empty second folder without a name, and folder 0 selected. Each item carries the number
// of the page it leads to as its value, 1 to 4 in the menu's order (Top, データ登録, データ統計,
// 画像一覧), so it keeps leading there wherever it is moved.  The window adds the items of the
// pages it has beyond these (the map, image 4, page 5).
void SetUpNavBarMenu(CNavBarCtrl& bar, const NavBarImageLists& lists);
