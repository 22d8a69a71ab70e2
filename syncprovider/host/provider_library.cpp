#include "syncprovider/host/provider_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "platform/error.h"

namespace corvane {

namespace {

template <typename TFn>
void Bind(void* handle, const char* name, TFn& fn) {
  fn = reinterpret_cast<TFn>(dlsym(handle, name));
  if (fn == nullptr) throw TError(std::string("The provider library has no entry point ") + name + ".");
}

}  // namespace

TProviderLibrary::TProviderLibrary(const std::string& path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw TError("Cannot load the provider library: " + path + "\r" + dlerror());
  try {
    Bind(handle_, "InitObjType", InitObjType);
    Bind(handle_, "ObjectNotify", ObjectNotify);
    Bind(handle_, "GetObjTypeInfo", GetObjTypeInfo);
    Bind(handle_, "ReportStatus", ReportStatus);
    Bind(handle_, "SyncData", SyncData);
    Bind(handle_, "FindObjects", FindObjects);
  } catch (...) {
    dlclose(handle_);
    throw;
  }
}

TProviderLibrary::~TProviderLibrary() { dlclose(handle_); }

std::string DefaultLibraryPath() {
  char self[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "libcorvanesync.so";
  std::string path(self, static_cast<std::size_t>(n));
  return path.substr(0, path.rfind('/') + 1) + "libcorvanesync.so";
}

}  // namespace corvane
