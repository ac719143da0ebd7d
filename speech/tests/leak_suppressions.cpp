// libspeechd leaves a few bytes of GLib memory behind when a connection to
// the speech server fails, which the reader stand-in test provokes on
// purpose. The leak is the library's, once per failed connection.
extern "C" const char* __lsan_default_suppressions() { return "leak:libglib-2.0.so\n"; }
