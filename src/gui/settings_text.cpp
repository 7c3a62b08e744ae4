#include "settings_text.h"

#include <QStringDecoder>

namespace pictog::gui {

QString textFromSettings(const std::string& stored)
{
    const QByteArrayView bytes(stored.data(), static_cast<qsizetype>(stored.size()));
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

std::string textForSettings(const QString& text, const std::string& stored)
{
    if (text == textFromSettings(stored))
        return stored;
    return text.toStdString();
}

} // namespace pictog::gui
