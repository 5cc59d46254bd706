#pragma once
// The class library's exceptions. Every failure the library reports derives from Exception and carries a
// message text meant for the user.
#include <exception>

#include "classlib/core/AnsiString.h"

class Exception : public std::exception {
 public:
  explicit Exception(AnsiString message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  AnsiString Message;
};

#define QUENDREL_EXCEPTION(Name, Base)                                                                       \
  class Name : public Base {                                                                                 \
   public:                                                                                                   \
    using Base::Base;                                                                                        \
  };

QUENDREL_EXCEPTION(EListError, Exception)        // bad list index: "List index out of bounds (%d)"
QUENDREL_EXCEPTION(EConvertError, Exception)     // text that is not a number, bad date format
QUENDREL_EXCEPTION(EStreamError, Exception)      // stream read or write failure
QUENDREL_EXCEPTION(EFOpenError, EStreamError)    // a file that cannot be opened
QUENDREL_EXCEPTION(EFCreateError, EStreamError)  // a file that cannot be created
QUENDREL_EXCEPTION(EReadError, EStreamError)     // a malformed or truncated stream
QUENDREL_EXCEPTION(EWriteError, EStreamError)    // a write that did not complete
QUENDREL_EXCEPTION(EParserError, Exception)      // a malformed form stream, with its line number
QUENDREL_EXCEPTION(EResNotFound, Exception)      // a named resource that does not exist
QUENDREL_EXCEPTION(EPropertyError, Exception)    // a property the class does not publish
QUENDREL_EXCEPTION(EClassNotFound, Exception)    // a class name the registry does not know
QUENDREL_EXCEPTION(EComponentError, Exception)   // duplicate or invalid component names
QUENDREL_EXCEPTION(EInvalidGraphic, Exception)   // a picture that cannot be decoded
QUENDREL_EXCEPTION(EInvalidOperation, Exception) // an operation that needs a window, a parent, ...
QUENDREL_EXCEPTION(EOutOfResources, Exception)   // the backend could not create a window or surface
QUENDREL_EXCEPTION(EThread, Exception)           // misuse of a thread object
QUENDREL_EXCEPTION(EAbort, Exception)            // silent exception: ends an operation without a message
QUENDREL_EXCEPTION(EIniFileException, Exception) // a settings entry that could not be read back as written
