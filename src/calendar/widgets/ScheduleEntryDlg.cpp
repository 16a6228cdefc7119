#include "calendar/widgets/ScheduleEntryDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>

#include "calendar/ScheduleMemo.h"
#include "calendar/widgets/SheduleView.h"
#include "calendar/widgets/TideCurveView.h"
#include "uikit/DialogUnits.h"
#include "uikit/MessageBox.h"
#include "uikit/QtText.h"

CScheduleEntryDlg::CScheduleEntryDlg(CSheduleView* pView)
    : QDialog(pView, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_pView(pView)
{
    setObjectName(QString::number(kTemplateId));
    setModal(false);
    setWindowTitle(QStringLiteral("スケジュール入力画面"));
    const QFont font = CDialogUnits::DialogFont();
    setFont(font);
    const CDialogUnits units(font);
    setFixedSize(units.ToPixels(186, kHeight));

    auto* prompt = new QLabel(QStringLiteral("スケジュールを入力してください"), this);
    units.Place(prompt, 8, 8, 169, 12);

    m_edit = new QPlainTextEdit(this);
    m_edit->setObjectName(QString::number(kMemoEditId));
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setFrameShape(QFrame::Box);
    m_edit->setTabChangesFocus(true);
    units.Place(m_edit, 8, 24, 169, 61);
    m_edit->installEventFilter(this);

    auto* hint = new QLabel(QStringLiteral("Enter で改行、Ctrl+Enter で入力"), this);
    hint->setObjectName(QString::number(kHintId));
    units.Place(hint, 8, 88, 169, 10);

    auto* ok = new QPushButton(QStringLiteral("入力"), this);
    ok->setObjectName(QString::number(kOkId));
    ok->setDefault(true);
    units.Place(ok, 36, 104, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CScheduleEntryDlg::accept);

    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QString::number(kCancelId));
    units.Place(cancel, 100, 104, 50, 14);
    connect(cancel, &QPushButton::clicked, this, &CScheduleEntryDlg::reject);

    m_tideCurve = new CTideCurveView(this);
    units.Place(m_tideCurve, 8, kTideCurveTop, 170, kTideCurveHeight);
}

void CScheduleEntryDlg::Create(const QString& text, const QString& monthTitle, int row)
{
    m_strMemo = text;
    m_monthTitle = monthTitle;
    m_row = row;
    OnInitDialog();
    // Centred over the window the dialog belongs to, as a freshly opened dialog is, but wholly
    // on the screen even when that window is partly off it.
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QRect area = owner != nullptr ? owner->frameGeometry() : QRect();
    if (area.isEmpty() && screen() != nullptr) area = screen()->availableGeometry();
    PlaceOnScreen(this, area);
    show();
    // The frame is known once the dialog is shown; placed again with it, nothing sticks out.
    PlaceOnScreen(this, area);
    raise();
    activateWindow();
    m_edit->setFocus();
}

void CScheduleEntryDlg::OnInitDialog()
{
    m_edit->setPlainText(m_strMemo);
    m_edit->moveCursor(QTextCursor::End);
}

void CScheduleEntryDlg::accept()
{
    // Only so much of a memo is ever read back; a longer one would come back cut, and the cut
    // version would replace it at the next edit.  The user shortens it instead.
    const QString text = m_edit->toPlainText();
    const size_t bytes = StoredMemoBytes(StdFromQString(text));
    if (bytes > kMaxMemoReadBytes) {
        ShowMessageBox(this,
                       QStringLiteral("スケジュールは%1バイトまで入力できます（改行は2バイト）。\n"
                                      "今の長さは%2バイトです。")
                           .arg(kMaxMemoReadBytes)
                           .arg(bytes),
                       EMessageBoxIcon::Warning);
        return;
    }
    m_strMemo = text;
    if (m_pView != nullptr) PostResult(kResultConfirmed);
    QDialog::accept();
}

bool CScheduleEntryDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && (key->modifiers() & Qt::ControlModifier)) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CScheduleEntryDlg::reject()
{
    if (m_pView != nullptr) {
        // The view closes the window when the result arrives.
        PostResult(kResultCancelled);
        return;
    }
    QDialog::reject();
}

void CScheduleEntryDlg::PostResult(int result)
{
    CSheduleView* view = m_pView;
    QMetaObject::invokeMethod(
        view, [view, result] { view->OnScheduleEntryResult(result); }, Qt::QueuedConnection);
}
