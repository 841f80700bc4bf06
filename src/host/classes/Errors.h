// The framework's error classes. Every error the library raises derives from Exception and carries
// its message text, which is what the application shows.
#pragma once

#include <exception>
#include <string>

#include "VantoraExport.h"

VANTORA_API_BEGIN
namespace vantora::host {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// Declares an error class that adds nothing to its parent but its name.
#define VANTORA_DECLARE_ERROR(Name, Parent) \
  class Name : public Parent {              \
    using Base = Parent;                    \
                                            \
   public:                                  \
    using Base::Base;                       \
  }

VANTORA_DECLARE_ERROR(EOutOfMemory, Exception);
VANTORA_DECLARE_ERROR(EInvalidGraphic, Exception);
VANTORA_DECLARE_ERROR(EConvertError, Exception);
VANTORA_DECLARE_ERROR(EListError, Exception);
VANTORA_DECLARE_ERROR(EInOutError, Exception);
VANTORA_DECLARE_ERROR(EStreamError, Exception);
VANTORA_DECLARE_ERROR(EFilerError, EStreamError);
VANTORA_DECLARE_ERROR(EReadError, EFilerError);
VANTORA_DECLARE_ERROR(EWriteError, EFilerError);
VANTORA_DECLARE_ERROR(EClassNotFound, EFilerError);
VANTORA_DECLARE_ERROR(EFOpenError, EStreamError);
VANTORA_DECLARE_ERROR(EFCreateError, EStreamError);

}  // namespace vantora::host
VANTORA_API_END
