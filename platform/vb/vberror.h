#ifndef PLATFORM_VB_VBERROR_H
#define PLATFORM_VB_VBERROR_H

#include <exception>
#include <string>

#include <QString>

namespace platform::vb {

// The error a member raises: a number, the procedure that raised it and a description.
// Handlers catch it at their boundary and report it through the program's message box.
class VbError : public std::exception
{
public:
    VbError(int number, QString source, QString description);

    int number() const { return number_; }
    const QString &source() const { return source_; }
    const QString &description() const { return description_; }
    const char *what() const noexcept override { return what_.c_str(); }

    // Run-time error numbers the system raises itself.
    static constexpr int Overflow = 6;
    static constexpr int TypeMismatch = 13;
    static constexpr int InvalidCall = 5;
    static constexpr int SubscriptOutOfRange = 9;
    static constexpr int DivisionByZero = 11;
    static constexpr int ObjectNotSet = 91;
    static constexpr int KeyInUse = 457;

private:
    int number_;
    QString source_;
    QString description_;
    std::string what_;
};

} // namespace platform::vb

#endif
