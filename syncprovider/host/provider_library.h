#pragma once
// The provider library as the service sees it: loaded with dlopen, its six entry
// points looked up by name.

#include <string>

#include "syncprovider/provider.h"

namespace corvane {

class TProviderLibrary {
 public:
  // Loads the library and finds every entry point; throws TError naming what
  // is missing.
  explicit TProviderLibrary(const std::string& path);
  ~TProviderLibrary();
  TProviderLibrary(const TProviderLibrary&) = delete;
  TProviderLibrary& operator=(const TProviderLibrary&) = delete;

  TInitObjTypeFn InitObjType = nullptr;
  TObjectNotifyFn ObjectNotify = nullptr;
  TGetObjTypeInfoFn GetObjTypeInfo = nullptr;
  TReportStatusFn ReportStatus = nullptr;
  TSyncDataFn SyncData = nullptr;
  TFindObjectsFn FindObjects = nullptr;

 private:
  void* handle_ = nullptr;
};

// libcorvanesync.so beside the running program.
std::string DefaultLibraryPath();

}  // namespace corvane
