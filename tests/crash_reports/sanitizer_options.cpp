// Sanitizer settings for the crash tests, compiled in so that they hold
// whatever the environment sets.
#if defined(__SANITIZE_ADDRESS__)

#define KESTRUM_SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

// Full stacks for allocations, so that the suppression below can see the Qt
// frames (Qt's libraries have no frame pointers for the fast unwinder).
KESTRUM_SANITIZER_HOOK const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }

// QtWidgets is built without exception cleanups: when a slot's exception
// passes through its frames on the way to KestrumApplication::notify, their
// locals are not destroyed. Two of them are lost per reported click: the copy
// of the mouse event that QApplication::notify delivers, and the weak
// reference of the QPointer guard around QAbstractButton's clicked signal. A
// few hundred bytes per reported error, which the program accepts in order to
// go on. No test here allocates mouse events or QPointers itself.
KESTRUM_SANITIZER_HOOK const char* __lsan_default_suppressions() {
  return "leak:QSinglePointEvent::QSinglePointEvent\n"
         "leak:QtSharedPointer::ExternalRefCountData::getAndRef\n";
}

#endif
