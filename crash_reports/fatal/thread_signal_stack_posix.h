// Every thread gets an alternate signal stack of its own before it runs its
// code, so that a stack overflow on any thread reaches the fatal-signal
// handler: the kernel cannot deliver SIGSEGV on a stack that is spent.
#pragma once

namespace kestrum {

// Gives the calling thread an alternate signal stack (once; it lives as long
// as the thread). The threads started through pthread_create get theirs
// from its wrapper in this file's source, before their start routine runs.
void UseAlternateSignalStack();

}  // namespace kestrum
