#pragma once

#include <QListWidget>
#include <QSet>
#include <QStringList>

#include "data/TripRecord.h"

class QComboBox;
class CCatchStore;

// The photo browser's view: an icon list of the thumbnails of every fish or every place photo
// of all trips, as many per row as its width holds (rows flow again when it is resized).  A
// double click on a thumbnail opens its photo with the desktop's application for it.
class CThumbnailView : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kCapacity = 1000;

    explicit CThumbnailView(CCatchStore& store, QWidget* parent = nullptr);

    // The combo of the browser's bar whose entries the view fills.
    void SetKindCombo(QComboBox* combo) { m_kindCombo = combo; }

    void OnInitialUpdate();
    // Forgets the photo paths, refills the kinds and empties the list (and stops a build).
    void Reset();
    // Reads the photo paths of all trips of kind from the catch file and builds their thumbnails.
    // A catch file that cannot be read is reported and leaves the list empty (false).
    bool Build(EPhotoKind kind);
    void ForgetPhotoPaths() { m_photoPaths.clear(); }

    const QStringList& PhotoPaths() const { return m_photoPaths; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CCatchStore& m_store;
    QComboBox* m_kindCombo = nullptr;
    QStringList m_photoPaths;
    int m_perRow = 0;
    // The sets of files that could not be shown which the user has been told of: showing the
    // same photos again does not tell them again.
    QSet<QString> m_toldProblems;
};
