// What runs when an exception escapes or a noexcept function throws. The default handler of the
// static C++ runtime names the exception's type on stderr, which a windowed program does not
// have, and for that links in the whole symbol demangler (~45 KB, a tenth of the program).
// Ending the process at once is all it would have done for the user.
#include <cstdlib>

namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx
