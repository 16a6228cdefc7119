#include "navbar/widgets/BarPopupMenu.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

// Measures and paints the menu's entries; everything else comes from the application style.
class CBarMenuStyle : public QProxyStyle {
public:
    explicit CBarMenuStyle(CBarPopupMenu* menu) : m_menu(menu) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override
    {
        switch (metric) {
            case PM_MenuHMargin:
            case PM_MenuVMargin:
                return 0;
            case PM_MenuPanelWidth:
                return 2;
            default:
                return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (type != CT_MenuItem || item == nullptr)
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        if (item->menuItemType == QStyleOptionMenuItem::Separator) return QSize(10, 6);
        if (item->text.isEmpty()) return QSize(100, 20);
        const QFontMetrics metrics(item->font);
        const int height = std::max(CBarPopupMenu::kImageHeight + 5, metrics.height());
        const int width = metrics.horizontalAdvance(QString(item->text).replace(u'\t', u' ')) + 17 +
                          std::max(CBarPopupMenu::kImageWidth, height);
        return QSize(width, height);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element != CE_MenuItem || item == nullptr) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QPalette& pal = item->palette;
        const QRect r = item->rect;
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            painter->fillRect(r, pal.color(QPalette::Window));
            const int y = r.top() + r.height() / 2 - 1;
            painter->fillRect(QRect(r.left() + 2, y, r.width() - 4, 1), pal.color(QPalette::Dark));
            painter->fillRect(QRect(r.left() + 2, y + 1, r.width() - 4, 1),
                              pal.color(QPalette::Light));
            return;
        }
        const bool enabled = (item->state & State_Enabled) != 0;
        const bool selected = (item->state & State_Selected) != 0;
        painter->fillRect(r,
                          selected ? pal.color(QPalette::Highlight) : pal.color(QPalette::Window));

        const int imageColumn = std::max(CBarPopupMenu::kImageWidth, r.height());
        const QAction* action = m_menu->actionAt(r.center());
        const int id = action != nullptr ? action->data().toInt() : 0;
        const QPixmap image = m_menu->CommandImage(id);
        if (!image.isNull()) {
            const QPoint at(r.left() + (imageColumn - image.width()) / 2,
                            r.top() + (r.height() - image.height()) / 2);
            painter->drawPixmap(at, image);
        }

        QFont font = item->font;
        if (action != nullptr && m_menu->defaultAction() == action) font.setBold(true);
        painter->setFont(font);
        const QRect textRect(r.left() + imageColumn + 8, r.top(), r.width() - imageColumn - 16,
                             r.height());
        const int tab = item->text.indexOf(u'\t');
        const QString left = tab < 0 ? item->text : item->text.left(tab);
        const QString right = tab < 0 ? QString() : item->text.mid(tab + 1);
        auto drawTexts = [&](const QRect& box, const QColor& color) {
            painter->setPen(color);
            painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, left);
            if (!right.isEmpty()) painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter, right);
        };
        if (!enabled) {
            // Embossed: a light copy one pixel down and right under the grey text.
            drawTexts(textRect.translated(1, 1), pal.color(QPalette::Light));
            drawTexts(textRect, pal.color(QPalette::Disabled, QPalette::Text));
        } else {
            drawTexts(textRect, selected ? pal.color(QPalette::HighlightedText)
                                         : pal.color(QPalette::WindowText));
        }
    }

private:
    CBarPopupMenu* m_menu;
};

CBarPopupMenu::CBarPopupMenu(QWidget* parent) : QMenu(parent), m_style(new CBarMenuStyle(this))
{
    m_style->setParent(this);
    setStyle(m_style);
    setFont(QApplication::font("QMenu"));
}

CBarPopupMenu::~CBarPopupMenu() = default;

QAction* CBarPopupMenu::AddCommand(int id, const QString& text, bool enabled)
{
    QAction* action = addAction(text);
    action->setData(id);
    action->setObjectName(QString::number(id));
    action->setEnabled(enabled);
    return action;
}

void CBarPopupMenu::SetCommandImage(int id, const QPixmap& image)
{
    m_images.insert(id, image);
}

QPixmap CBarPopupMenu::CommandImage(int id) const
{
    return m_images.value(id);
}

QAction* CBarPopupMenu::FindCommand(int id) const
{
    for (QAction* action : actions()) {
        if (!action->isSeparator() && action->data().toInt() == id) return action;
    }
    return nullptr;
}
