#include "photos/widgets/ThumbnailView.h"

#include <QComboBox>
#include <QMouseEvent>

#include "data/CatchStore.h"
#include "photos/ThumbnailDecoder.h"
#include "photos/widgets/ThumbnailBuilder.h"
#include "uikit/DesktopServices.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

CThumbnailView::CThumbnailView(CCatchStore& store, QWidget* parent)
    : QListWidget(parent), m_store(store)
{
    setFrameShape(QFrame::StyledPanel);
    setViewMode(QListView::IconMode);
    setMovement(QListView::Free);
    setIconSize(QSize(kThumbnailWidth, kThumbnailHeight));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setWordWrap(false);
    setTextElideMode(Qt::ElideMiddle);
    // Enough room for the cells and their labels on 128-pixel pitches.
    setGridSize(QSize(128, 130));
}

void CThumbnailView::OnInitialUpdate()
{
    if (m_kindCombo) {
        m_kindCombo->clear();
        m_kindCombo->addItem(QStringLiteral("魚画像"));
        m_kindCombo->addItem(QStringLiteral("場所画像"));
        m_kindCombo->setCurrentIndex(-1);
    }
    ForgetPhotoPaths();
}

void CThumbnailView::Reset()
{
    CancelThumbnails(this);
    ForgetPhotoPaths();
    OnInitialUpdate();
    clear();
}

bool CThumbnailView::Build(EPhotoKind kind)
{
    ForgetPhotoPaths();
    std::vector<std::string> paths;
    const CStoreResult result = m_store.ListPhotoPaths(kind, paths);
    if (!result.ok()) {
        CancelThumbnails(this);
        clear();
        ShowMessageBox(this, QStringFromStd(DescribeStoreResult(result, m_store.GetPath())),
                       EMessageBoxIcon::Warning);
        return false;
    }
    for (const std::string& path : paths) m_photoPaths << QStringFromStd(path);
    m_perRow = ThumbnailsPerRow(viewport()->width());
    CThumbnailBuild* build =
        BuildThumbnails(this, m_photoPaths, kCapacity, EThumbnailPlacement::FillRows);
    build->SetProblemFilter([this](const QStringList& problems) {
        const QString key = problems.join(QLatin1Char('\n'));
        if (m_toldProblems.contains(key)) return false;
        m_toldProblems.insert(key);
        return true;
    });
    return true;
}

void CThumbnailView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && index.row() < m_photoPaths.size())
            OpenFileWithDesktop(m_photoPaths.at(index.row()));
    }
    QListWidget::mouseDoubleClickEvent(event);
}

void CThumbnailView::resizeEvent(QResizeEvent* event)
{
    QListWidget::resizeEvent(event);
    const int perRow = ThumbnailsPerRow(viewport()->width());
    if (perRow == m_perRow) return;
    m_perRow = perRow;
    PlaceThumbnailItems(this, EThumbnailPlacement::FillRows);
}
