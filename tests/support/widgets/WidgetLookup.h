#pragma once

#include <QDir>
#include <QImage>
#include <QObject>
#include <QString>

// Controls carry their numeric identifier as object name; tests find them by it.
template <typename T>
T* FindControl(QObject* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}

// Saves a picture a test made when LUREBOOK_TEST_SHOTS names a folder (for looking at by eye);
// otherwise nothing is written.
inline void SaveShotIfAsked(const QImage& image, const QString& name)
{
    const QByteArray folder = qgetenv("LUREBOOK_TEST_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(QString::fromLocal8Bit(folder));
    image.save(QString::fromLocal8Bit(folder) + u'/' + name + QStringLiteral(".png"));
}
