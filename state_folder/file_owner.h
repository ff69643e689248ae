// Whether a file or folder of the state folder is the user's own, on
// Windows, where its owner is a security identifier.
#pragma once

namespace kestrum {

#ifdef _WIN32
// `handle` is open with READ_CONTROL. True when its owner is another than the
// user this program runs as. The Administrators group counts as the user's
// own when the user's token makes it the owner of new files, as an elevated
// administrator's does. A file system that keeps no owners (FAT) has no
// other user.
bool IsOwnedByAnotherUser(void* handle);
#endif

}  // namespace kestrum
