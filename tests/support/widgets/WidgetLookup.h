#pragma once

#include <QObject>
#include <QString>

// Controls carry their numeric identifier as object name; tests find them by it.
template <typename T>
T* FindControl(QObject* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}
