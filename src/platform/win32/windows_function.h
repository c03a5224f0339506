#pragma once
// A function that only later Windows has, looked up at run time: imported, it would keep the
// program from loading at all on the oldest Windows it supports (Windows XP).
#include <windows.h>

namespace velmor::win32 {

// The function `name` of a loaded module as a pointer of type Function; nullptr where it lacks it.
template <typename Function>
Function function_of(HMODULE module, const char* name) {
  const FARPROC found = module == nullptr ? nullptr : GetProcAddress(module, name);
  // NOLINTNEXTLINE(*-reinterpret-cast): GetProcAddress hands every function out alike
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// The function `name` of a loaded system DLL; nullptr where this Windows lacks it.
template <typename Function>
Function windows_function(const wchar_t* module, const char* name) {
  return function_of<Function>(GetModuleHandleW(module), name);
}

}  // namespace velmor::win32
