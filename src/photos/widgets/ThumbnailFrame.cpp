#include "photos/widgets/ThumbnailFrame.h"

#include <QComboBox>
#include <QFrame>
#include <QHideEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "photos/widgets/ThumbnailBuilder.h"
#include "photos/widgets/ThumbnailView.h"
#include "uikit/DialogUnits.h"
#include "uikit/InnerFrame.h"

CThumbnailFrame::CThumbnailFrame(CCatchStore& store, QWidget* parent) : QWidget(parent)
{
    const QFont font = CDialogUnits::DialogFont();
    const CDialogUnits units(font);

    m_bar = new QWidget(this);
    m_bar->setObjectName(QString::number(kBarId));
    m_bar->setFont(font);
    m_bar->setFixedHeight(units.Y(16));

    m_kindCombo = new QComboBox(m_bar);
    m_kindCombo->setObjectName(QString::number(kKindComboId));
    m_kindCombo->setEditable(true);
    m_kindCombo->setInsertPolicy(QComboBox::NoInsert);
    m_kindCombo->setFont(font);
    // The drop-down height of the bar's layout is the list's; the closed box takes one line.
    const QRect comboRect = units.ToPixels(19, 1, 58, 55);
    m_kindCombo->setGeometry(comboRect.x(), comboRect.y(), comboRect.width(),
                             std::min(m_kindCombo->sizeHint().height(), units.Y(14)));

    auto* show = new QPushButton(QStringLiteral("表示"), m_bar);
    show->setObjectName(QString::number(kShowId));
    show->setAutoDefault(false);
    units.Place(show, 83, 2, 41, 12);

    StretchBarControls(m_bar, {{m_kindCombo, 1}});

    m_view = new CThumbnailView(store, this);
    m_view->SetKindCombo(m_kindCombo);
    StackBarOverView(this, m_bar, m_view);

    connect(show, &QPushButton::clicked, this, &CThumbnailFrame::OnShow);
    m_view->OnInitialUpdate();
}

void CThumbnailFrame::Reset()
{
    m_view->Reset();
}

void CThumbnailFrame::OnShow()
{
    const QString text = m_kindCombo->currentText();
    if (text == QStringLiteral("魚画像"))
        m_view->Build(EPhotoKind::Fish);
    else if (text == QStringLiteral("場所画像"))
        m_view->Build(EPhotoKind::Place);
}

void CThumbnailFrame::showEvent(QShowEvent* event)
{
    // Coming back to the page (not merely un-minimising the window) starts from an empty list.
    if (!event->spontaneous()) Reset();
    QWidget::showEvent(event);
}

void CThumbnailFrame::hideEvent(QHideEvent* event)
{
    if (!event->spontaneous()) {
        CancelThumbnails(m_view);
        m_view->ForgetPhotoPaths();
    }
    QWidget::hideEvent(event);
}
