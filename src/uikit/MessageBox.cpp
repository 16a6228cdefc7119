#include "uikit/MessageBox.h"

#include <utility>

namespace {
MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

QMessageBox::Icon ToQtIcon(EMessageBoxIcon icon)
{
    switch (icon) {
        case EMessageBoxIcon::Warning:
            return QMessageBox::Warning;
        case EMessageBoxIcon::Critical:
            return QMessageBox::Critical;
        case EMessageBoxIcon::Question:
            return QMessageBox::Question;
        case EMessageBoxIcon::Information:
            break;
    }
    return QMessageBox::Information;
}
}  // namespace

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const QString& text,
                                           EMessageBoxIcon icon,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton,
                                           const QString& caption)
{
    CMessageBoxRequest request{parent, caption, text, icon, buttons, defaultButton};
    if (Handler()) return Handler()(request);
    QMessageBox box(ToQtIcon(icon), caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
