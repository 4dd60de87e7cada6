#include "platform/win32/module_resources.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "platform/win32/wide.h"

namespace platform::win32 {
namespace {

HRSRC findBlob(void* module, int id) {
  return ::FindResourceW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(id), L"BIN");
}

}  // namespace

ModuleResources::ModuleResources(void* module)
    : module_(module != nullptr ? module : ::GetModuleHandleW(nullptr)) {}

bool ModuleResources::hasBlob(int id) { return findBlob(module_, id) != nullptr; }

const std::uint8_t* ModuleResources::blobData(int id) {
  HRSRC resource = findBlob(module_, id);
  if (resource == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(static_cast<HMODULE>(module_), resource);
  if (loaded == nullptr) return nullptr;
  return static_cast<const std::uint8_t*>(::LockResource(loaded));
}

std::size_t ModuleResources::blobSize(int id) {
  HRSRC resource = findBlob(module_, id);
  return resource == nullptr ? 0 : ::SizeofResource(static_cast<HMODULE>(module_), resource);
}

bool ModuleResources::loadString(int id, std::string* text) {
  // With a buffer size of 0, LoadStringW stores a pointer to the string in
  // the resource itself and returns its length; the text is not terminated.
  const wchar_t* units = nullptr;
  int length = ::LoadStringW(static_cast<HMODULE>(module_), static_cast<UINT>(id),
                             reinterpret_cast<LPWSTR>(&units), 0);
  if (length <= 0 || units == nullptr) return false;
  if (units[length - 1] == L'\0') --length;  // stored terminated: not part of the text
  if (text != nullptr) *text = fromWide(std::wstring_view(units, static_cast<std::size_t>(length)));
  return true;
}

}  // namespace platform::win32
