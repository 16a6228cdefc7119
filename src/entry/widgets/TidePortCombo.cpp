#include "entry/widgets/TidePortCombo.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringListModel>
#include <QStyle>
#include <algorithm>

#include "tides/TideStations.h"
#include "uikit/QtText.h"

namespace {
// Enough rows to see the best matches; the list is narrowed again at every keystroke.
constexpr size_t kMaxNarrowed = 50;
}  // namespace

QString TidePortText(const CTideStation& station)
{
    return QStringLiteral("%1（%2）")
        .arg(QStringFromStd(station.nameJa), QStringFromStd(station.prefecture));
}

CTidePortCombo::CTidePortCombo(const CTideStations& stations, QWidget* parent)
    : QComboBox(parent), m_stations(stations)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(15);
    for (const CTideStation* port : m_stations.Shown()) {
        addItem(TidePortText(*port), QStringFromStd(port->id));
    }
    setCurrentIndex(-1);
    // The lists are as wide as their longest port, wider than the box itself.
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
    }
    const int listWidth = widest + 2 * fontMetrics().averageCharWidth() +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    view()->setMinimumWidth(listWidth);

    // The combo's own completer matches the start of item texts only; this one shows the ports
    // the station search finds, in its order.
    m_narrowed = new QStringListModel(this);
    m_completer = new QCompleter(m_narrowed, this);
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(12);
    m_completer->popup()->setMinimumWidth(listWidth);
    setCompleter(nullptr);
    lineEdit()->setCompleter(nullptr);
    m_completer->setWidget(lineEdit());
    connect(m_completer, qOverload<const QModelIndex&>(&QCompleter::activated), this,
            [this](const QModelIndex& index) { ChooseNarrowed(index.row()); });
    connect(lineEdit(), &QLineEdit::textEdited, this, &CTidePortCombo::OnTextEdited);
    lineEdit()->installEventFilter(this);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &CTidePortCombo::RestoreText);
    connect(this, &QComboBox::activated, this, [this] {
        if (!m_settingPort) Q_EMIT portChosen();
    });
}

bool CTidePortCombo::eventFilter(QObject* watched, QEvent* event)
{
    // Enter after typing part of a name takes the best match, and only that: it neither closes
    // nor saves the dialog.  With the chosen port's name in the field, Enter goes on as usual.
    if (watched == lineEdit() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const QString shown = currentIndex() < 0 ? QString() : itemText(currentIndex());
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && lineEdit()->text() != shown) {
            if (m_narrowedIds.isEmpty() || m_narrowed->stringList().isEmpty()) {
                OnTextEdited(lineEdit()->text());
            }
            ChooseNarrowed(0);
            RestoreText();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void CTidePortCombo::SetPortId(const std::string& id)
{
    const CTideStation* station = m_stations.FindById(id);
    if (station != nullptr) station = m_stations.ShownFor(*station);
    const int index = station ? findData(QStringFromStd(station->id)) : -1;
    m_settingPort = true;
    setCurrentIndex(index);
    if (index < 0) setEditText(QString());
    m_settingPort = false;
}

std::string CTidePortCombo::PortId() const
{
    return currentIndex() < 0 ? std::string() : StdFromQString(currentData().toString());
}

void CTidePortCombo::OnTextEdited(const QString& text)
{
    QStringList texts;
    m_narrowedIds.clear();
    for (const CTideStation* port : m_stations.Search(StdFromQString(text), kMaxNarrowed)) {
        texts << TidePortText(*port);
        m_narrowedIds << QStringFromStd(port->id);
    }
    m_narrowed->setStringList(texts);
    if (texts.isEmpty() || text.isEmpty()) {
        m_completer->popup()->hide();
        return;
    }
    m_completer->complete();
}

void CTidePortCombo::ChooseNarrowed(int row)
{
    if (row < 0 || row >= m_narrowedIds.size()) return;
    const int index = findData(m_narrowedIds[row]);
    if (index < 0) return;
    m_completer->popup()->hide();
    const bool changed = index != currentIndex();
    setCurrentIndex(index);
    setEditText(itemText(index));
    if (changed) Q_EMIT portChosen();
}

void CTidePortCombo::RestoreText()
{
    // Leaving the field with a half-typed name keeps the port that was chosen.
    if (m_completer->popup()->isVisible()) return;
    const QString shown = currentIndex() < 0 ? QString() : itemText(currentIndex());
    if (lineEdit()->text() != shown) setEditText(shown);
}
