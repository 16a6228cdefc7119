#include "charts/widgets/DataView.h"

#include <QComboBox>
#include <QMetaObject>
#include <QPainter>

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

void CDataView::OnInitialUpdate()
{
    m_bShowChart = false;
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
