#pragma once

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QObject>
#include <QString>
#include <QTest>

// Controls carry their numeric identifier as object name; tests find them by it.
template <typename T>
T* FindControl(QObject* parent, int id)
{
    return parent->findChild<T*>(QString::number(id));
}

// Types text into widget one character at a time, as an input method would deliver it (keys
// without a key code, so that kana and kanji arrive as typed).
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
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
