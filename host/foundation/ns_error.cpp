// NSError: what a failed file operation reports through its error out-parameter.
#include <cerrno>
#include <cstring>

#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

Class gError;

// Cocoa's file error codes.
constexpr NSInteger kFileNoSuchFile = 4;
constexpr NSInteger kFileReadUnknown = 256;
constexpr NSInteger kFileWriteUnknown = 512;
constexpr NSInteger kFileWriteNoPermission = 513;
constexpr NSInteger kFileWriteFileExists = 516;
constexpr NSInteger kFileWriteOutOfSpace = 640;

NSErrorObj* err(id e) { return fields<NSErrorObj>(e); }

id newError(id domain, NSInteger code, id userInfo) {
  id e = runtime::createInstance(gError);
  err(e)->domain = domain;
  err(e)->code = code;
  err(e)->userInfo = userInfo ? userInfo : makeDictionary({});
  return e;
}

id errorWithDomain(id, SEL, id domain, NSInteger code, id userInfo) {
  return objc_autorelease(newError(domain, code, userInfo));
}
id errorDomain(id self, SEL) { return err(self)->domain; }
NSInteger errorCode(id self, SEL) { return err(self)->code; }
id errorUserInfo(id self, SEL) { return err(self)->userInfo; }
id errorLocalizedDescription(id self, SEL) {
  if (id text = dictionaryGet(err(self)->userInfo, "NSLocalizedDescription")) return text;
  return makeString("The operation couldn't be completed. (" + stdString(err(self)->domain) +
                    " error " + std::to_string(err(self)->code) + ".)");
}

NSInteger fileErrorCode(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return kFileNoSuchFile;
    case EACCES:
    case EPERM:
    case EROFS:
      return kFileWriteNoPermission;
    case EEXIST:
    case ENOTEMPTY:
      return kFileWriteFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kFileWriteOutOfSpace;
    case EIO:
      return kFileReadUnknown;
    default:
      return kFileWriteUnknown;
  }
}

}  // namespace

id makeFileError(int e, const std::string& devicePath) {
  id info = makeDictionary({
      {makeString("NSLocalizedDescription"),
       makeString("\"" + devicePath + "\": " + std::strerror(e))},
      {makeString("NSFilePath"), makeString(devicePath)},
      {makeString("NSPOSIXErrorCode"), makeInteger(e)},
  });
  return objc_autorelease(newError(makeString("NSCocoaErrorDomain"), fileErrorCode(e), info));
}

void registerError() {
  gError = ClassBuilder<NSErrorObj>("NSError", "NSObject")
               .classMethod("errorWithDomain:code:userInfo:", errorWithDomain)
               .method("domain", errorDomain)
               .method("code", errorCode)
               .method("userInfo", errorUserInfo)
               .method("localizedDescription", errorLocalizedDescription)
               .method("description", errorLocalizedDescription)
               .cls();
}

}  // namespace qv::host
