// The root of every error the system raises: an exception carrying its message.
#pragma once

#include <exception>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string AMessage) : Message(std::move(AMessage)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    virtual std::string ClassName() const { return "Exception"; }

    std::string Message;
};

// Declares an exception class derived from Parent that reports its own class name.
#define FUIFJE_EXCEPTION(Name, Parent)                                                                       \
    class Name : public Parent {                                                                             \
    public:                                                                                                  \
        using Parent::Parent;                                                                                \
        std::string ClassName() const override { return #Name; }                                             \
    }

// A text that is not a number ("'%s' is not a valid integer value").
FUIFJE_EXCEPTION(EConvertError, Exception);
// An index outside a list ("List index out of bounds (%d)").
FUIFJE_EXCEPTION(EListError, Exception);
// A resource the platform refused ("%s cannot be made").
FUIFJE_EXCEPTION(EOutOfResources, Exception);

// printf-style formatting into a std::string.
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));
