#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

// Converts dialog units to pixels the way the classic dialog manager does: a horizontal unit is
// a quarter of the dialog font's average character width, a vertical unit an eighth of its
// height.  Dialogs place their controls with the rectangles given in dialog units.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& dialogFont);

    int X(int units) const;
    int Y(int units) const;
    QRect ToPixels(int x, int y, int width, int height) const;
    QSize ToPixels(int width, int height) const;

    int BaseWidth() const { return m_baseWidth; }
    int BaseHeight() const { return m_baseHeight; }

    // The font the system's dialogs name ("ＭＳ Ｐゴシック" 9 point unless told otherwise).
    static QFont DialogFont(const QString& family = QStringLiteral("ＭＳ Ｐゴシック"),
                            int pointSize = 9);

    // Places child at the dialog-unit rectangle.
    void Place(QWidget* child, int x, int y, int width, int height) const;

private:
    int m_baseWidth = 1;
    int m_baseHeight = 1;
};

// Moves a window so that it is centred on around and lies wholly on the screen it is on
// (the available part, without panels); a window larger than the screen keeps its top left
// corner on it.
void PlaceOnScreen(QWidget* window, const QRect& around);
