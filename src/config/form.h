#pragma once
// The 242 values the configuration file keeps, as one plain value: what the
// window holds in portEdit, baudEdit and the 96 learning rows.

#include "learning/learning_rows.h"

#include <string>

namespace tarvenix {

struct FormSnapshot {
    std::string portText; // GBK
    std::string baudText; // GBK
    KeyTable keyRows;
    VoiceTable voiceRows;
    bool operator==(const FormSnapshot&) const = default;
};

} // namespace tarvenix
