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
    // The bar's and its controls' ids (each control's object name is its id).
    static constexpr int kBarId = 133;
    static constexpr int kKindComboId = 1015;
    static constexpr int kShowId = 1031;

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
