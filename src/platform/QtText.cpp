#include "platform/QtText.h"

#include "platform/CodePage.h"

#include <QByteArray>

#include <cstddef>

namespace {

QString FromUtf8(const AnsiString& Utf8) {
    return QString::fromUtf8(Utf8.data(), static_cast<qsizetype>(Utf8.size()));
}

} // namespace

QString ToQString(const AnsiString& S) {
    if (GetACP() == CP_UTF8) {
        return FromUtf8(S);
    }
    return FromUtf8(AnsiToUtf8(S));
}

AnsiString FromQString(const QString& S) {
    const QByteArray utf8 = S.toUtf8();
    AnsiString bytes(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    if (GetACP() == CP_UTF8) {
        return bytes;
    }
    return Utf8ToAnsi(bytes);
}
