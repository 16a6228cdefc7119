#pragma once

#include <QString>
#include <string>

// The one edge between the core's UTF-8 texts and the widgets' QString.
inline QString QStringFromStd(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string StdFromQString(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A file path for the core (the file system's encoding is UTF-8).
inline std::string PathFromQString(const QString& path)
{
    return StdFromQString(path);
}
