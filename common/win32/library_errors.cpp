// Linked into every shipped program in place of the C++ runtime's throwers for the
// standard library's own failures (an index past the end, a length past the maximum, a
// null pointer for a string). The runtime's throw std::logic_error and its kin, whose
// messages live in the runtime's older reference-counted string: the one object that
// holds them all brings that whole second string implementation into every program.
// Nothing in the programs catches those types by name; such a failure ends at the
// guards around the window procedures and entry points, which catch every exception,
// so one of our own with the same message does the same there.
//
// A thrower the runtime still needs and this file lacks brings the runtime's object
// back, and the link then stops on the names defined twice.
#include <new>
#include <typeinfo>

#include "common/error.h"

namespace std {

[[noreturn]] void __throw_bad_exception() { throw bad_exception(); }
[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_array_new_length(); }
[[noreturn]] void __throw_bad_cast() { throw bad_cast(); }
[[noreturn]] void __throw_bad_typeid() { throw bad_typeid(); }
[[noreturn]] void __throw_logic_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_domain_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_invalid_argument(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_length_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_out_of_range(const char* what) { throw vantora::Error(what); }
// The message keeps its format's placeholders: the numbers would need a formatter here.
[[noreturn]] void __throw_out_of_range_fmt(const char* format, ...) { throw vantora::Error(format); }
[[noreturn]] void __throw_runtime_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_range_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_overflow_error(const char* what) { throw vantora::Error(what); }
[[noreturn]] void __throw_underflow_error(const char* what) { throw vantora::Error(what); }

}  // namespace std
