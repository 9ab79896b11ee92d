#pragma once
// A billing step that cannot be done as asked; its text is shown to the operator as it is.
#include <QString>
#include <stdexcept>

namespace kavrin {

class BillingError : public std::runtime_error {
public:
    explicit BillingError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

}  // namespace kavrin
