#include "gbk_codec.h"

#include "gbk_bytes.h"

#include <QByteArray>

namespace tarvenix {

// One codec for the whole program: the window's texts pass through UTF-8 to
// the same conversion the core and the Windows build use (gbk_bytes.h), so
// that what the window shows and what the files hold can never disagree.

std::string toGbk(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    return gbkFromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QString fromGbk(std::string_view gbk)
{
    const std::string utf8 = utf8FromGbk(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

bool isGbkEncodable(const QString& text)
{
    // toUtf8() writes a lone surrogate half as '?', which GBK has.
    if (!text.isValidUtf16())
        return false;
    const QByteArray utf8 = text.toUtf8();
    return isUtf8GbkEncodable(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace tarvenix
