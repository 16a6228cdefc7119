#include "places/widgets/PlacePickerDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "places/BaseMap.h"
#include "places/widgets/MapFrame.h"
#include "places/widgets/MapSettings.h"
#include "places/widgets/MapView.h"
#include "places/widgets/TileFetcher.h"

namespace {

QString PositionText(const CGeoPoint& point)
{
    return QStringLiteral("%1°%2 %3°%4")
        .arg(std::abs(point.latitude), 0, 'f', 5)
        .arg(point.latitude >= 0 ? QStringLiteral("N") : QStringLiteral("S"))
        .arg(std::abs(point.longitude), 0, 'f', 5)
        .arg(point.longitude >= 0 ? QStringLiteral("E") : QStringLiteral("W"));
}

}  // namespace

CPlacePickerDlg::CPlacePickerDlg(const QString& place, std::optional<CGeoPoint> current,
                                 QWidget* parent)
    : QDialog(parent), m_place(place)
{
    setWindowTitle(QStringLiteral("地図で選ぶ - ") + place);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("釣り場の位置をクリックしてください"), this));
    m_view = new CMapView(ShippedBaseMap(), this);
    m_view->setObjectName(QString::number(kMapViewId));
    m_view->setMinimumSize(560, 420);
    layout->addWidget(m_view, 1);
    m_position = new QLabel(QStringLiteral("位置なし"), this);
    m_position->setObjectName(QString::number(kPositionLabelId));
    layout->addWidget(m_position);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const CMapSettings settings = CMapSettings::Load();
    m_tiles = new CTileFetcher(settings.Template(),
                               TileCacheRoot() + QLatin1Char('/') + settings.CacheFolderName(),
                               CMapFrame::kTileCacheBytes, this);
    m_tiles->SetOnline(settings.online);
    m_view->SetTiles(m_tiles);
    CMapScene scene;
    scene.legend = false;
    scene.tiles = settings.online && !settings.Template().isEmpty();
    scene.credit = settings.Credit().toStdString();
    m_view->SetScene(scene);
    m_view->onMapClicked = [this](const CGeoPoint& point) { Choose(point); };
    m_ok->setEnabled(false);
    resize(640, 560);
    if (current && IsValidGeoPoint(*current)) {
        Choose(*current);
        m_view->SetViewport(*current, 13);
    } else {
        m_view->FitAll();
    }
}

CPlacePickerDlg::~CPlacePickerDlg()
{
    m_view->SetTiles(nullptr);
}

void CPlacePickerDlg::Choose(const CGeoPoint& point)
{
    if (!IsValidGeoPoint(point)) return;
    m_chosen = point;
    CMapScene scene = m_view->Scene();
    scene.places = {{m_place.toStdString(), point, 0, 0}};
    scene.selected = 0;
    m_view->SetScene(std::move(scene));
    m_position->setText(PositionText(point));
    m_ok->setEnabled(true);
}

std::optional<CGeoPoint> PickPlacePosition(QWidget* parent, const QString& place,
                                           std::optional<CGeoPoint> current)
{
    CPlacePickerDlg dialog(place, current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Chosen();
}
