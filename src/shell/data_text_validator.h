#pragma once
// The data boxes of the learning rows: letters become capitals as they are
// typed, and only characters that GBK can hold get in (the panels' files and
// byte counts are GBK).

#include <QValidator>

namespace tarvenix {

class DataTextValidator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace tarvenix
