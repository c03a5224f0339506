// A program that must fail scripts/check-imports three ways: a Vista-only import, a msvcrt.dll
// function not checked against Windows XP, and a subsystem version above XP's (its link options).
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
  std::FILE* file = argc > 1 ? _wfopen(argv[1], L"rb") : nullptr;
  // Never run: only its imports matter.
  return CompareStringOrdinal(L"a", 1, L"A", 1, TRUE) + (file != nullptr ? 1 : 0);
}
