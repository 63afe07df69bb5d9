// Linked into every shipped program in place of the C++ runtime's handler of the same
// name. That one prints the exception's demangled type to a standard error stream a
// windowed program does not have, and brings the demangler with it; ending the process
// is all that is left to do either way.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
