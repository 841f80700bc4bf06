// LeakSanitizer suppressions of this test program: system libraries only, never our code.
// libdbus keeps a read buffer of the bus connection SDL opens at start-up until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n";
}
