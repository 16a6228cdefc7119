#pragma once

#include <QWidget>

class QComboBox;
class CCatchStore;
class QPushButton;
class CThumbnailView;

// The photo browser page: a one-line bar (the kind of photos and "表示") over the thumbnail view.
// Each time the page is shown it starts empty; leaving it stops a build that still runs.
class CThumbnailFrame : public QWidget {
    Q_OBJECT
public:
    enum { IDD_BAR = 133, IDC_KIND_COMBO = 1015, IDC_SHOW = 1031 };

    explicit CThumbnailFrame(CCatchStore& store, QWidget* parent = nullptr);

    CThumbnailView* View() const { return m_view; }
    QWidget* Bar() const { return m_bar; }

    // Empties the view and refills the kinds; the page appears as on its first showing.
    void Reset();
    // "表示": builds the thumbnails of the kind named in the combo; other texts do nothing.
    void OnShow();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QWidget* m_bar = nullptr;
    QComboBox* m_kindCombo = nullptr;
    CThumbnailView* m_view = nullptr;
};
