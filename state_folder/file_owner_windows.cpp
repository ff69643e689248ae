#include "file_owner.h"

#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

#include <memory>

namespace kestrum {

namespace {

struct LocalFreer {
  void operator()(void* memory) const { LocalFree(memory); }
};

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};

// One kind of the process token's information, or null.
template <typename Information>
std::unique_ptr<Information, LocalFreer> TokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  GetTokenInformation(token, kind, nullptr, 0, &size);
  std::unique_ptr<Information, LocalFreer> information(static_cast<Information*>(LocalAlloc(LMEM_FIXED, size)));
  if (size == 0 || !information || !GetTokenInformation(token, kind, information.get(), size, &size)) return nullptr;
  return information;
}

bool IsThisUser(PSID owner) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  const std::unique_ptr<void, HandleCloser> token(opened);
  const auto user = TokenInformation<TOKEN_USER>(opened, TokenUser);
  if (user && EqualSid(owner, user->User.Sid)) return true;
  const auto defaultOwner = TokenInformation<TOKEN_OWNER>(opened, TokenOwner);
  return defaultOwner && IsWellKnownSid(defaultOwner->Owner, WinBuiltinAdministratorsSid) &&
         EqualSid(owner, defaultOwner->Owner);
}

}  // namespace

bool IsOwnedByAnotherUser(void* handle) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR found = nullptr;
  const DWORD error =
      GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr, &found);
  const std::unique_ptr<void, LocalFreer> descriptor(found);
  // A file system that keeps no owners gives none, or says it keeps none.
  if (error == ERROR_NOT_SUPPORTED || (error == ERROR_SUCCESS && owner == nullptr)) return false;
  // An owner that cannot be read is not taken for the user's.
  return error != ERROR_SUCCESS || !IsThisUser(owner);
}

}  // namespace kestrum
