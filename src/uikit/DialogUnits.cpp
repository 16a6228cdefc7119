#include "uikit/DialogUnits.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
int MulDiv(int value, int numerator, int denominator)
{
    // Rounds half away from zero, like the platform's MulDiv.
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
}  // namespace

CDialogUnits::CDialogUnits(const QFont& dialogFont)
{
    const QFontMetrics metrics(dialogFont);
    // The average width of the 52 Latin letters, rounded, as the dialog manager measures it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = std::max(1, (letters / 26 + 1) / 2);
    m_baseHeight = std::max(1, metrics.height());
}

int CDialogUnits::X(int units) const
{
    return MulDiv(units, m_baseWidth, 4);
}

int CDialogUnits::Y(int units) const
{
    return MulDiv(units, m_baseHeight, 8);
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const
{
    return QRect(X(x), Y(y), X(width), Y(height));
}

QSize CDialogUnits::ToPixels(int width, int height) const
{
    return QSize(X(width), Y(height));
}

QFont CDialogUnits::DialogFont(const QString& family, int pointSize)
{
    QFont font(family);
    font.setPointSize(pointSize);
    return font;
}

void CDialogUnits::Place(QWidget* child, int x, int y, int width, int height) const
{
    child->setGeometry(ToPixels(x, y, width, height));
}

void PlaceOnScreen(QWidget* window, const QRect& around)
{
    QScreen* screen = QGuiApplication::screenAt(around.center());
    if (screen == nullptr) screen = window->screen();
    const QSize size = window->frameGeometry().size().expandedTo(window->size());
    QRect placed(QPoint(0, 0), size);
    placed.moveCenter(around.center());
    if (screen != nullptr) {
        const QRect room = screen->availableGeometry();
        placed.moveRight(std::min(placed.right(), room.right()));
        placed.moveBottom(std::min(placed.bottom(), room.bottom()));
        placed.moveLeft(std::max(placed.left(), room.left()));
        placed.moveTop(std::max(placed.top(), room.top()));
    }
    window->move(placed.topLeft());
}
