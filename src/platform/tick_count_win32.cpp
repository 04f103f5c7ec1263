// GetTickCount64 for the 64-bit Windows program's thread runtime, looked
// up when it is called rather than imported; linked into the 64-bit
// program only.
//
// The 64-bit program is built with the POSIX thread flavour of MinGW's
// runtime (the tests need its std::mutex), and that runtime's winpthreads
// calls GetTickCount64 through the import slot __imp_GetTickCount64. Were
// the slot filled by the loader, Windows XP x64 and Server 2003 x64, which
// have no GetTickCount64, would refuse to start the program at all. This
// object is linked into the program before the libraries, so the slot is
// this one: it points to a function that asks kernel32 for GetTickCount64
// at each call (no lock or guard: the thread runtime calls it from its own
// waits) and, where there is none, counts with GetTickCount, whose wrap
// after 49 days a program that runs for seconds never meets.
#include <windows.h>

namespace {

using TickCount64Function = ULONGLONG(WINAPI*)();

ULONGLONG WINAPI OlderTickCount() {
  return GetTickCount();
}

TickCount64Function FindTickCount64() {
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const FARPROC found =
      kernel != nullptr ? GetProcAddress(kernel, "GetTickCount64") : nullptr;
  return found != nullptr ? reinterpret_cast<TickCount64Function>(
                                reinterpret_cast<void*>(found))
                          : OlderTickCount;
}

ULONGLONG WINAPI TickCount64() {
  return FindTickCount64()();
}

}  // namespace

// The name the import slot has on x86-64, where names get no underscore.
extern "C" {
// NOLINTNEXTLINE(bugprone-reserved-identifier)
TickCount64Function __imp_GetTickCount64 = TickCount64;
}
