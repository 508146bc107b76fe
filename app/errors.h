// The errors the program can meet, each with the platform's own message text.
#pragma once

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace quillfen {

// Base of every error the program shows to the user. The message is UTF-8.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

// A text that is not an integer; `text` is the whole text, UTF-8.
class EConvertError : public Exception {
 public:
  explicit EConvertError(std::string_view text);
};

// A line index beyond the list.
class EListError : public Exception {
 public:
  EListError();
};

// A file that cannot be opened; `path` in UTF-8.
class EFOpenError : public Exception {
 public:
  explicit EFOpenError(std::string_view path);
};

// A file that cannot be created; `path` in UTF-8.
class EFCreateError : public Exception {
 public:
  explicit EFCreateError(std::string_view path);
};

// Fewer bytes written than asked.
class EWriteError : public Exception {
 public:
  EWriteError();
};

// A registry value that cannot be read as asked; `valueName` in UTF-8.
class ERegistryException : public Exception {
 public:
  // The value is missing or holds more data than asked for.
  static ERegistryException ReadFailed(std::string_view valueName);
  // The value holds another type than asked for.
  static ERegistryException InvalidDataType(std::string_view valueName);

 private:
  explicit ERegistryException(std::string message) : Exception(std::move(message)) {}
};

// A window operation that is not possible, such as a child window without a
// parent; `control` names the form.
class EInvalidOperation : public Exception {
 public:
  static EInvalidOperation NoParent(std::string_view control);

 private:
  explicit EInvalidOperation(std::string message) : Exception(std::move(message)) {}
};

// The system refused to create a window.
class EOutOfResources : public Exception {
 public:
  static EOutOfResources WindowCreate();

 private:
  explicit EOutOfResources(std::string message) : Exception(std::move(message)) {}
};

// A picture built into the program that cannot be used; `why` says what is wrong.
class EInvalidGraphic : public Exception {
 public:
  explicit EInvalidGraphic(std::string_view why) : Exception("Invalid picture: " + std::string(why)) {}
};

// The text the standard error display shows for `e`: its message and ".".
std::string ErrorDisplayText(const Exception& e);

// Bytes that are meant as UTF-8, with every byte that does not belong to a
// well-formed sequence replaced by U+FFFD, so that a message stays valid text
// whatever a file or a path held.
std::string SanitizeUtf8(std::string_view bytes);

}  // namespace quillfen
