// tabulon-cli is linked statically, and a static program cannot load shared objects safely: the C
// library's loader would need the shared libraries of the very system it was built on. The only
// code that would load one is ICU's optional plug-in support, which goes on without plug-ins when
// loading fails. The link sends its calls here (--wrap=dlopen), so nothing is ever loaded.
extern "C" void* __wrap_dlopen(const char*, int) {
  return nullptr;
}
