// NSDate: a point in time, as property lists and archives carry it.
#include <chrono>
#include <functional>

#include "foundation/storage_internal.h"

namespace qv::host {
namespace {

Class gDate;

// Seconds between the Unix epoch and 2001-01-01 00:00:00 UTC.
constexpr double kReferenceDateSince1970 = 978307200.0;

NSDateObj* date(id d) { return fields<NSDateObj>(d); }

id newDate(Class cls, double sinceReference) {
  id d = runtime::createInstance(cls);
  date(d)->sinceReferenceDate = sinceReference;
  return d;
}

id dateNow(id cls, SEL) {
  using namespace std::chrono;
  double unix = duration<double>(system_clock::now().time_since_epoch()).count();
  return objc_autorelease(newDate(reinterpret_cast<Class>(cls), unix - kReferenceDateSince1970));
}
id dateSinceReference(id cls, SEL, double seconds) {
  return objc_autorelease(newDate(reinterpret_cast<Class>(cls), seconds));
}
id dateSince1970(id cls, SEL, double seconds) {
  return objc_autorelease(newDate(reinterpret_cast<Class>(cls), seconds - kReferenceDateSince1970));
}
double dateIntervalSinceReference(id self, SEL) { return date(self)->sinceReferenceDate; }
double dateIntervalSince1970(id self, SEL) {
  return date(self)->sinceReferenceDate + kReferenceDateSince1970;
}
BOOL dateIsEqual(id self, SEL, id other) {
  return other == self ||
         (isDate(other) && date(other)->sinceReferenceDate == date(self)->sinceReferenceDate);
}
NSUInteger dateHash(id self, SEL) { return std::hash<double>()(date(self)->sinceReferenceDate); }
id dateCopy(id self, SEL, void*) { return objc_retain(self); }

}  // namespace

Class dateClass() { return gDate; }

id makeDate(double sinceReferenceDate) {
  return objc_autorelease(newDate(gDate, sinceReferenceDate));
}

void registerDate() {
  gDate = ClassBuilder<NSDateObj>("NSDate", "NSObject")
              .classMethod("date", dateNow)
              .classMethod("dateWithTimeIntervalSinceReferenceDate:", dateSinceReference)
              .classMethod("dateWithTimeIntervalSince1970:", dateSince1970)
              .method("timeIntervalSinceReferenceDate", dateIntervalSinceReference)
              .method("timeIntervalSince1970", dateIntervalSince1970)
              .method("isEqual:", dateIsEqual)
              .method("hash", dateHash)
              .method("copyWithZone:", dateCopy)
              .cls();
}

}  // namespace qv::host
