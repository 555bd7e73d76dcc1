#include "gbk_codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace tarvenix {

// Debian's Qt converts through ICU, whose "GBK" maps bytes as Windows code
// page 936 does. Converters are made per call: they hold state and are cheap.

std::string toGbk(const QString& text)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString fromGbk(std::string_view gbk)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder.decode(QByteArrayView(gbk.data(), static_cast<qsizetype>(gbk.size())));
}

bool isGbkEncodable(const QString& text)
{
    // The ICU encoder substitutes what GBK lacks without raising its error
    // flag, so ask whether the text survives the round trip.
    return fromGbk(toGbk(text)) == text;
}

} // namespace tarvenix
