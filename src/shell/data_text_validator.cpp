#include "data_text_validator.h"

#include "link/gbk_codec.h"

namespace tarvenix {

QValidator::State DataTextValidator::validate(QString& input, int& /*pos*/) const
{
    for (QChar& c : input) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'\uFF41' && u <= u'\uFF5A')) // ASCII and full-width
            c = QChar(static_cast<char16_t>(u - 0x20));
    }
    return isGbkEncodable(input) ? Acceptable : Invalid;
}

} // namespace tarvenix
