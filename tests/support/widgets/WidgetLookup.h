#pragma once

#include <QDir>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTest>

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

// Waits up to five seconds, handling events, for a condition to hold, and fails the test when it
// never does (Qt's own QTRY_ macros report only to a QtTest run, so a test would pass anyway).
#define EXPECT_EVENTUALLY(condition) \
    EXPECT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(condition); }, 5000)) << #condition
