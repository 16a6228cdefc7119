#include "uikit/MessageBox.h"

#include <QAbstractButton>
#include <utility>

namespace {
MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

// Each with its access key, as the desktop's own Japanese dialogs have them (はい(Y)).
constexpr std::pair<QMessageBox::StandardButton, const char*> kButtonTexts[] = {
    {QMessageBox::Save, "保存(&S)"},         {QMessageBox::Discard, "破棄(&D)"},
    {QMessageBox::Cancel, "キャンセル(&C)"}, {QMessageBox::Yes, "はい(&Y)"},
    {QMessageBox::No, "いいえ(&N)"},         {QMessageBox::Ok, "OK(&O)"},
};

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
    // The buttons speak Japanese even where Qt's own translations are not installed.
    for (const auto& [button, label] : kButtonTexts) {
        if (QAbstractButton* shown = box.button(button)) shown->setText(QString::fromUtf8(label));
    }
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
