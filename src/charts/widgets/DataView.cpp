#include "charts/widgets/DataView.h"

#include <QComboBox>
#include <QMetaObject>
#include <QPainter>

#include "charts/YearFishNameLists.h"
#include "charts/widgets/PainterChartCanvas.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

CDataView::CDataView(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

CDataView::~CDataView() = default;

void CDataView::SetFilterCombos(QComboBox* yearCombo, QComboBox* speciesCombo)
{
    m_yearCombo = yearCombo;
    m_speciesCombo = speciesCombo;
}

void CDataView::OnInitialUpdate()
{
    m_bShowChart = false;
    if (m_yearCombo) m_yearCombo->clear();
    if (m_speciesCombo) m_speciesCombo->clear();
    // A file that cannot be read leaves both fields empty, without a message.
    const CCatchStore store;
    if (!CYearFishNameLists::Read(store, m_years, m_species).ok()) {
        m_years.clear();
        m_species.clear();
    }
    // Filling a list chooses nothing: the fields stay empty until the user picks or types.
    if (m_yearCombo) {
        for (const std::string& year : m_years) m_yearCombo->addItem(QStringFromStd(year));
        m_yearCombo->setCurrentIndex(-1);
    }
    if (m_speciesCombo) {
        for (const std::string& name : m_species) m_speciesCombo->addItem(QStringFromStd(name));
        m_speciesCombo->setCurrentIndex(-1);
    }
    update();
}

void CDataView::SetChart(std::unique_ptr<CStatChart> chart)
{
    m_pChart = std::move(chart);
    m_messageShown = false;
    update();
}

void CDataView::SetShowChart(bool show)
{
    m_bShowChart = show;
    update();
}

void CDataView::paintEvent(QPaintEvent*)
{
    if (!m_bShowChart || !m_pChart) return;
    QPainter painter(this);
    CPainterChartCanvas canvas(painter, size(), font());
    m_pChart->Draw(canvas);
    painter.end();
    if (!canvas.Messages().empty() && !m_messageShown) {
        m_messageShown = true;
        // Never open a modal box from inside a paint: it is shown once the paint is over.
        const QString text = QStringFromStd(canvas.Messages().front());
        QMetaObject::invokeMethod(
            this, [this, text] { ShowMessageBox(this, text); }, Qt::QueuedConnection);
    }
}
