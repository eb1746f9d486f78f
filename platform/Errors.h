// The program's own exception family, shared by every layer.
//
//   throw EError(FormatText(u"Cannot open file \"%s\". %s", {path, reason}));
//
// EError carries a UTF-16 message and, optionally, the exception it wraps;
// the default exception display shows the innermost non-empty message.
// EAbort is the silent kind: it abandons an operation and shows nothing.
#pragma once

#include <exception>
#include <initializer_list>
#include <string>

class EError : public std::exception {
 public:
  explicit EError(std::u16string message, std::exception_ptr inner = nullptr)
      : message_(std::move(message)), inner_(std::move(inner)) {}

  // Returns the message as raised.
  const std::u16string& Message() const { return message_; }
  // Returns the wrapped exception, or null.
  const std::exception_ptr& Inner() const { return inner_; }
  const char* what() const noexcept override { return "EError"; }

 private:
  std::u16string message_;
  std::exception_ptr inner_;
};

class EAbort : public EError {
 public:
  EAbort() : EError(u"Operation aborted") {}
};

// Returns pattern with each "%s" replaced, in order, by the next argument;
// a "%s" without an argument left is kept as it stands.
inline std::u16string FormatText(const std::u16string& pattern,
                                 std::initializer_list<std::u16string> args) {
  std::u16string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's' &&
        next != args.end()) {
      out += *next++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}
