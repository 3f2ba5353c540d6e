// The C++ runtime the program links, without the exception machinery it
// never uses: the program is built without exceptions and catches nothing,
// and an error that used to throw already ended it. This is the one file
// that knows libstdc++'s insides; should the library ever want one of its
// own pieces back, the link fails on duplicate symbols or the size check in
// the tests fails, rather than the exe quietly growing.
#include <cstdlib>
#include <new>
#include <string>

// Out of memory ends the program, as an uncaught bad_alloc did.
void *operator new(std::size_t size) {
  if (void *memory = std::malloc(size ? size : 1))
    return memory;
  std::abort();
}
void operator delete(void *memory) noexcept { std::free(memory); }
void operator delete(void *memory, std::size_t) noexcept { std::free(memory); }

// The strings, compiled here without exceptions: the prebuilt ones in
// libstdc++ bring its exception runtime with them.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;

// How libstdc++'s headers report a misuse; the library's own versions throw.
// Every one its object file defines is here, so that the file is never
// linked; a new one in a later library makes that object come in beside
// these, and the link fails on the duplicates.
namespace std {
void __throw_bad_alloc() { abort(); }
void __throw_bad_array_new_length() { abort(); }
void __throw_logic_error(const char *) { abort(); }
void __throw_length_error(const char *) { abort(); }
void __throw_out_of_range_fmt(const char *, ...) { abort(); }
} // namespace std
