#include "app/widgets/AboutDlg.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include "app/widgets/AppIcons.h"
#include "app/widgets/LinkStatic.h"
#include "app/widgets/Manual.h"
#include "uikit/DialogUnits.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QStringLiteral("Lurebook"));
    setFont(CDialogUnits::DialogFont(QStringLiteral("MS Sans Serif"), 8));
    const CDialogUnits units(font());
    setFixedSize(units.ToPixels(217, 98));

    auto* icon = new QLabel(this);
    icon->setPixmap(DrawAppIcon(32, devicePixelRatioF()));
    units.Place(icon, 11, 14, 21, 20);

    auto* version = new QLabel(QString::fromUtf8(kVersionText), this);
    units.Place(version, 40, 8, 130, 8);
    auto* rights = new QLabel(QString::fromUtf8(kRightsText), this);
    units.Place(rights, 40, 21, 130, 8);

    m_link = new CLinkStatic(QString::fromUtf8(kLinkText), this);
    const QString manual = FindManual(QCoreApplication::applicationDirPath());
    if (!manual.isEmpty()) m_link->SetTarget(QUrl::fromLocalFile(manual));
    m_link->setToolTip(manual);
    m_link->setEnabled(!manual.isEmpty());
    m_link->setObjectName(QString::number(kLinkId));
    units.Place(m_link, 40, 36, 130, 8);

    auto* tideData = new QLabel(QString::fromUtf8(kTideDataText), this);
    // Broken by hand where a line may end: wrapped by width, Japanese would be cut inside a word.
    tideData->setTextInteractionFlags(Qt::TextSelectableByMouse);
    units.Place(tideData, 11, 49, 199, 44);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(kOkId));
    ok->setDefault(true);
    units.Place(ok, 176, 7, 34, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
