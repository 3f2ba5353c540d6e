// Stand-ins for the C++ library functions the program calls that would
// throw. The program is built without exceptions and catches nothing, so each
// of these ends it, as the uncaught exception would have. The library's own
// versions sit in objects that bring its exception machinery (over 100 KiB of
// throwing, catching and unwinding). The linker takes an object from a static
// library only for a symbol still undefined, so defining here every one the
// program refers to keeps those objects out. The test
// win32.no_exception_machinery reads the link map and names any that comes in.
// libstdc++'s own declarations of its helpers, so that these match them.
#include <bits/functexcept.h>
#include <cstdlib>
#include <new>

// libsupc++'s operator new throws bad_alloc when memory runs out.
void *operator new(std::size_t size) {
  if (void *memory = std::malloc(size ? size : 1))
    return memory;
  std::abort();
}
void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }

// What libstdc++'s headers call on a misuse (a size past max_size(), an index
// out of range, a null string). Its functexcept.o defines fifteen of these;
// here are the five the program refers to. Should it come to refer to
// another (a new call, or a library whose headers use another), functexcept.o
// comes in beside these: under link-time optimisation the linker reports no
// clash, so the link-map test is what fails.
namespace std {
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_logic_error(const char *) { abort(); }
void __throw_length_error(const char *) { abort(); }
void __throw_out_of_range_fmt(const char *, ...) { abort(); }
} // namespace std
