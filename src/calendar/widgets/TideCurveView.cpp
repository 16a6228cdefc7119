#include "calendar/widgets/TideCurveView.h"

#include <QPainter>

#include "charts/widgets/PainterChartCanvas.h"

CTideCurveView::CTideCurveView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QString::number(kId));
}

void CTideCurveView::SetDay(const CTideCurveDay& day)
{
    m_day = day;
    m_note.clear();
    update();
}

void CTideCurveView::SetNote(const QString& note)
{
    m_day.reset();
    m_note = note;
    update();
}

void CTideCurveView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_day) {
        painter.fillRect(rect(), Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignCenter | Qt::TextWordWrap, m_note);
        return;
    }
    CPainterChartCanvas canvas(painter, size(), font());
    DrawTideCurve(canvas, *m_day);
}
