#include "navbar/widgets/BarLabelEdit.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "navbar/widgets/NavBarCtrl.h"
#include "navbar/widgets/QtBarCanvas.h"

CBarLabelEdit::CBarLabelEdit(CNavBarCtrl* bar, int kind, int index, Shape shape, bool grows)
    : QTextEdit(bar), m_bar(bar), m_kind(kind), m_index(index), m_shape(shape), m_grows(grows)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFont(BarGuiFont());
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    document()->setDocumentMargin(1);
    if (shape == SingleLineGrowing) {
        setLineWrapMode(QTextEdit::NoWrap);
    } else {
        setLineWrapMode(QTextEdit::WidgetWidth);
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (m_grows) GrowToText();
    });
}

QString CBarLabelEdit::Text() const
{
    return m_closed ? m_text : toPlainText();
}

void CBarLabelEdit::SetText(const QString& text)
{
    setPlainText(text);
    if (m_shape == MultiLineCentered) {
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        QTextBlockFormat format;
        format.setAlignment(Qt::AlignHCenter);
        cursor.mergeBlockFormat(format);
        QTextOption option = document()->defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        document()->setDefaultTextOption(option);
    }
    selectAll();
}

void CBarLabelEdit::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RequestClose();
            return;
        case Qt::Key_Escape:
            m_cancelled = true;
            RequestClose();
            return;
        default:
            QTextEdit::keyPressEvent(event);
    }
}

void CBarLabelEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    RequestClose();
}

void CBarLabelEdit::RequestClose()
{
    // Closing is queued so a key or focus event finishes before the edit goes away.
    QMetaObject::invokeMethod(this, &CBarLabelEdit::CloseEdit, Qt::QueuedConnection);
}

void CBarLabelEdit::CloseEdit()
{
    if (m_closed) return;
    m_text = toPlainText();
    m_closed = true;
    if (!m_cancelled && !m_text.isEmpty() && m_bar != nullptr) m_bar->OnLabelEditDone(this);
    // Closed by a key, the focus goes back to the bar; closed because the user went elsewhere,
    // it stays where the user put it.
    const bool hadFocus = hasFocus();
    hide();
    if (hadFocus && m_bar != nullptr && m_bar->isVisible()) m_bar->setFocus(Qt::OtherFocusReason);
    deleteLater();
}

void CBarLabelEdit::GrowToText()
{
    if (m_bar == nullptr) return;
    const QFontMetrics metrics(font());
    const QString text = toPlainText();
    const int chrome = 2 * (frameWidth() + static_cast<int>(document()->documentMargin())) + 4;
    const QRect limits = m_bar->contentsRect();
    QRect r = geometry();
    if (m_shape == SingleLineGrowing) {
        const int wanted = metrics.horizontalAdvance(text) + chrome;
        r.setWidth(std::clamp(wanted, r.width(), std::max(r.width(), limits.right() - r.left())));
    } else {
        const int textWidth = metrics.horizontalAdvance(text) + chrome;
        if (textWidth > r.width() && r.right() < limits.right()) {
            r.setWidth(std::min(textWidth, limits.right() + 1 - r.left()));
        } else {
            const QRect wrapped = metrics.boundingRect(
                QRect(0, 0, std::max(1, r.width() - chrome), 100000),
                Qt::AlignHCenter | Qt::TextWordWrap | Qt::TextWrapAnywhere, text);
            const int wantedHeight = wrapped.height() + chrome;
            if (wantedHeight > r.height())
                r.setHeight(std::min(wantedHeight, limits.bottom() + 1 - r.top()));
        }
    }
    if (r != geometry()) setGeometry(r);
}
