// An error that ends a handler and is shown in the error box; its message is Shift-JIS bytes.
#pragma once

#include <stdexcept>
#include <string>

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};
