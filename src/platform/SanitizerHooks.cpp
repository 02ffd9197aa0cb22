// Settings for AddressSanitizer builds. Every program that links the game gets this
// file, whether or not it opens a window (see the root CMakeLists.txt).

#if defined(__SANITIZE_ADDRESS__)
// The system's display, GL and bus libraries keep allocations for the life of the
// process; only our own leaks are worth a report.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libdbus-1.so\n"
         "leak:libGLX_mesa.so\n"
         "leak:libGLX.so\n"
         "leak:libX11.so\n"
         "leak:libxcb.so\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n";
}

// A library unloaded before the leak check (the GL driver goes when the display
// closes) leaves allocations no suppression can name: libraries stay loaded. This
// lets allocations be unwound the fast way; the slow way deadlocks inside llvmpipe's
// shader compiler, whose frame registration allocates while the unwinder holds its lock.
extern "C" int dlclose(void*) { return 0; }
#endif
