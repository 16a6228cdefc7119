#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

enum class EMessageBoxIcon { Information, Warning, Critical, Question };

struct CMessageBoxRequest {
    QWidget* parent = nullptr;
    QString caption;
    QString text;
    EMessageBoxIcon icon = EMessageBoxIcon::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// The one place that shows message boxes.  Returns the button the user chose.  Tests install a
// handler in its place that records the texts and answers for the user.
QMessageBox::StandardButton ShowMessageBox(
    QWidget* parent, const QString& text, EMessageBoxIcon icon = EMessageBoxIcon::Information,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok,
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
    const QString& caption = QStringLiteral("Lurebook"));

using MessageBoxHandler = std::function<QMessageBox::StandardButton(const CMessageBoxRequest&)>;
// An empty handler restores the real message box.  Returns the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
