#include "app/widgets/SwitchSplitter.h"

#include <QPainter>
#include <QStackedLayout>
#include <QVBoxLayout>

CSwitchSplitter::CSwitchSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent)
{
    setFrameShape(QFrame::NoFrame);
    setHandleWidth(4);
    setChildrenCollapsible(false);
    // The etched strip along the top: the panes start below it.
    setContentsMargins(0, kStripHeight, 0, 0);
    PaneContainer(0);
    PaneContainer(1);
}

QWidget* CSwitchSplitter::PaneContainer(int column)
{
    if (QWidget* existing = m_paneContainers.value(column, nullptr)) return existing;
    auto* container = new QWidget(this);
    container->setObjectName(QStringLiteral("pane%1").arg(column));
    auto* layout = new QStackedLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setStackingMode(QStackedLayout::StackOne);
    insertWidget(column, container);
    m_paneContainers.insert(column, container);
    return container;
}

void CSwitchSplitter::SetPaneWidget(int column, QWidget* widget)
{
    QWidget* container = PaneContainer(column);
    auto* layout = static_cast<QStackedLayout*>(container->layout());
    widget->setParent(container);
    layout->addWidget(widget);
    layout->setCurrentWidget(widget);
}

void CSwitchSplitter::ShowInPane(int pane, QWidget* view)
{
    QWidget* container = PaneContainer(pane >> 16);
    auto* layout = static_cast<QStackedLayout*>(container->layout());
    if (layout->indexOf(view) < 0) layout->addWidget(view);
    layout->setCurrentWidget(view);
    view->show();
}

int CSwitchSplitter::AddSwitchView(int row, int column, const CViewFactory& create)
{
    const int pane = PackPane(row, column);
    QWidget* container = PaneContainer(column);
    const int previous = m_paneCurrentViews.value(pane, -1);
    if (QWidget* shown = m_viewWindows.value(previous, nullptr)) shown->hide();
    QWidget* view = create ? create(container) : nullptr;
    if (view == nullptr) {
        if (QWidget* shown = m_viewWindows.value(previous, nullptr)) ShowInPane(pane, shown);
        return -1;
    }
    const int number = m_nextViewNumber++;
    m_viewPanes.insert(number, pane);
    m_viewWindows.insert(number, view);
    m_paneCurrentViews.insert(pane, number);
    ShowInPane(pane, view);
    update();
    return number;
}

bool CSwitchSplitter::ShowSwitchView(int number)
{
    if (!m_viewWindows.contains(number)) return false;
    const int pane = m_viewPanes.value(number);
    const int previous = m_paneCurrentViews.value(pane, -1);
    QWidget* view = m_viewWindows.value(number);
    if (previous != number) {
        if (QWidget* shown = m_viewWindows.value(previous, nullptr)) shown->hide();
    }
    m_paneCurrentViews.insert(pane, number);
    ShowInPane(pane, view);
    view->setFocus(Qt::OtherFocusReason);
    if (m_showMode == kShowResetBrowser) {
        if (const auto reset = m_resetHandlers.value(number)) reset();
    }
    return true;
}

void CSwitchSplitter::SetResetHandler(int number, std::function<void()> reset)
{
    m_resetHandlers.insert(number, std::move(reset));
}

int CSwitchSplitter::GetCurrentView(int row, int column) const
{
    return m_paneCurrentViews.value(PackPane(row, column), -1);
}

void CSwitchSplitter::paintEvent(QPaintEvent* event)
{
    QSplitter::paintEvent(event);
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(QRect(0, 0, width(), kStripHeight), colours.color(QPalette::Button));
    painter.fillRect(QRect(0, 0, width(), 1), colours.color(QPalette::Dark));
    painter.fillRect(QRect(0, 1, width(), 1), colours.color(QPalette::Light));
}
