#pragma once
// The one crossing between the core's texts, UTF-8 in std::string, and Qt's QString,
// and between the paths of the system, in the bytes of its locale, and Qt's names of
// them. Every room of app/ converts through here.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

// The core's UTF-8 text as Qt shows it.
inline QString Utf8(std::string_view utf8) { return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())); }

// Qt's text in UTF-8, as the core reads it.
inline std::string Utf8Of(const QString& text) { return text.toStdString(); }

// A path as the system spells it, named as Qt names files.
inline QString FromNative(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

// A path named by Qt, in the bytes the system's calls take.
inline std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }
