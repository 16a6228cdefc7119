#pragma once

#include <QMap>
#include <QSplitter>
#include <functional>

// A splitter of one row and two columns whose panes each keep any number of views, showing one
// at a time.  Views are numbered in the order they are registered.
class CSwitchSplitter : public QSplitter {
    Q_OBJECT
public:
    // Show modes: plain, or reset the thumbnail browser when it is shown.
    static constexpr int kShowNormal = 0;
    static constexpr int kShowResetBrowser = 10;
    static constexpr int kStripHeight = 8;

    explicit CSwitchSplitter(QWidget* parent = nullptr);

    // Puts widget into the pane (0, column) as its only permanent view (the navigation bar).
    void SetPaneWidget(int column, QWidget* widget);

    // Creates a view in pane (row, column) with create(paneParent), registers it under the next
    // view number, hides the pane's current view and shows the new one.  Returns the number, or
    // -1 (the previous view shown again) when create gives nothing.
    using CViewFactory = std::function<QWidget*(QWidget* parent)>;
    int AddSwitchView(int row, int column, const CViewFactory& create);

    // Shows view number; returns false for an unknown number.  In show mode kShowResetBrowser
    // the view's reset handler runs after it is shown.
    bool ShowSwitchView(int number);

    void SetShowMode(int mode) { m_showMode = mode; }
    int GetShowMode() const { return m_showMode; }
    void SetResetHandler(int number, std::function<void()> reset);

    QWidget* GetView(int number) const { return m_viewWindows.value(number, nullptr); }
    int GetCurrentView(int row, int column) const;

    // Packs a pane as the maps key it: column in the high 16 bits, row in the low 16 bits.
    static int PackPane(int row, int column) { return (column << 16) | (row & 0xFFFF); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* PaneContainer(int column);
    void ShowInPane(int pane, QWidget* view);

    QMap<int, int> m_viewPanes;         // view number -> packed pane
    QMap<int, QWidget*> m_viewWindows;  // view number -> view
    QMap<int, int> m_paneCurrentViews;  // packed pane -> view number shown
    QMap<int, std::function<void()>> m_resetHandlers;
    QMap<int, QWidget*> m_paneContainers;  // column -> container widget
    int m_nextViewNumber = 0;
    int m_showMode = kShowNormal;
};
