#include "foundation/object_format.h"

#include <sys/types.h>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "foundation/foundation_internal.h"

namespace qv::host {
namespace {

enum class Length { None, Char, Short, Long, LongLong, Size, Max, PtrDiff, LongDouble };

// One conversion, rebuilt as a printf setup without its length modifier.
struct Directive {
  std::string flags;
  int width = -1;
  int precision = -1;
  Length length = Length::None;
  char conversion = 0;

  std::string printfDirective(const char* lengthText, char conv) const {
    std::string s = "%" + flags;
    if (width >= 0) s += std::to_string(width);
    if (precision >= 0) s += "." + std::to_string(precision);
    return s + lengthText + conv;
  }
};

template <class T>
void append(std::string& out, const std::string& setup, T value) {
  char small[128];
  int n = std::snprintf(small, sizeof small, setup.c_str(), value);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, n);
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), setup.c_str(), value);
  out.append(big.data(), n);
}

void appendSigned(std::string& out, const Directive& s, va_list& args) {
  char c = s.conversion;
  switch (s.length) {
    case Length::Long:
      return append(out, s.printfDirective("l", c), va_arg(args, long));
    case Length::LongLong:
      return append(out, s.printfDirective("ll", c), va_arg(args, long long));
    case Length::Size:
      return append(out, s.printfDirective("z", c), va_arg(args, ssize_t));
    case Length::Max:
      return append(out, s.printfDirective("j", c), va_arg(args, intmax_t));
    case Length::PtrDiff:
      return append(out, s.printfDirective("t", c), va_arg(args, ptrdiff_t));
    case Length::Char:
      return append(out, s.printfDirective("hh", c), va_arg(args, int));
    case Length::Short:
      return append(out, s.printfDirective("h", c), va_arg(args, int));
    default:
      return append(out, s.printfDirective("", c), va_arg(args, int));
  }
}

void appendUnsigned(std::string& out, const Directive& s, va_list& args) {
  char c = s.conversion;
  switch (s.length) {
    case Length::Long:
      return append(out, s.printfDirective("l", c), va_arg(args, unsigned long));
    case Length::LongLong:
      return append(out, s.printfDirective("ll", c), va_arg(args, unsigned long long));
    case Length::Size:
      return append(out, s.printfDirective("z", c), va_arg(args, size_t));
    case Length::Max:
      return append(out, s.printfDirective("j", c), va_arg(args, uintmax_t));
    case Length::PtrDiff:
      return append(out, s.printfDirective("t", c), va_arg(args, ptrdiff_t));
    case Length::Char:
      return append(out, s.printfDirective("hh", c), va_arg(args, unsigned int));
    case Length::Short:
      return append(out, s.printfDirective("h", c), va_arg(args, unsigned int));
    default:
      return append(out, s.printfDirective("", c), va_arg(args, unsigned int));
  }
}

// Widths and precisions past this are junk; capped so that they neither overflow nor make
// snprintf fail.
constexpr int kMaxWidth = 4096;

int digit(int value, char c) { return value >= kMaxWidth ? kMaxWidth : value * 10 + (c - '0'); }

// Reads flags, width, precision and length after a '%'; `p` ends on the conversion letter.
Directive parseDirective(const char*& p, va_list& args) {
  Directive s;
  while (*p && std::strchr("-+ #0'", *p)) s.flags += *p++;
  if (*p == '*') {
    int w = va_arg(args, int);
    if (w < 0) {
      s.flags += '-';
      w = w < -kMaxWidth ? kMaxWidth : -w;
    }
    s.width = w > kMaxWidth ? kMaxWidth : w;
    p++;
  } else {
    while (*p >= '0' && *p <= '9') s.width = digit(s.width < 0 ? 0 : s.width, *p++);
  }
  if (*p == '.') {
    p++;
    s.precision = 0;
    if (*p == '*') {
      int prec = va_arg(args, int);
      s.precision = prec < 0 ? -1 : (prec > kMaxWidth ? kMaxWidth : prec);
      p++;
    } else {
      while (*p >= '0' && *p <= '9') s.precision = digit(s.precision, *p++);
    }
  }
  switch (*p) {
    case 'h':
      p++;
      s.length = *p == 'h' ? (p++, Length::Char) : Length::Short;
      break;
    case 'l':
      p++;
      s.length = *p == 'l' ? (p++, Length::LongLong) : Length::Long;
      break;
    case 'q':
      p++;
      s.length = Length::LongLong;
      break;
    case 'z':
      p++;
      s.length = Length::Size;
      break;
    case 'j':
      p++;
      s.length = Length::Max;
      break;
    case 't':
      p++;
      s.length = Length::PtrDiff;
      break;
    case 'L':
      p++;
      s.length = Length::LongDouble;
      break;
    default:
      break;
  }
  s.conversion = *p;
  return s;
}

}  // namespace

std::string describeObject(id obj) {
  if (!obj) return "(null)";
  static const SEL description = sel_registerName("description");
  static const SEL utf8 = sel_registerName("UTF8String");
  if (isString(obj)) return stdString(obj);
  if (!class_respondsToSelector(object_getClass(obj), description)) {
    char buf[256];
    std::snprintf(buf, sizeof buf, "<%s: %p>", class_getName(object_getClass(obj)),
                  static_cast<void*>(obj));
    return buf;
  }
  id text = msgSend<id>(obj, description);
  if (!text) return "(null)";
  if (isString(text)) return stdString(text);
  const char* chars = class_respondsToSelector(object_getClass(text), utf8)
                          ? msgSend<const char*>(text, utf8)
                          : nullptr;
  return chars ? chars : "(null)";
}

std::string formatObjects(const char* format, va_list args) {
  std::string out;
  if (!format) return "(null)";
  va_list ap;
  va_copy(ap, args);
  for (const char* p = format; *p; p++) {
    if (*p != '%') {
      out += *p;
      continue;
    }
    const char* start = p++;
    if (*p == '%') {
      out += '%';
      continue;
    }
    Directive s = parseDirective(p, ap);
    switch (s.conversion) {
      case '@':
        append(out, s.printfDirective("", 's'), describeObject(va_arg(ap, id)).c_str());
        break;
      case 'd':
      case 'i':
        appendSigned(out, s, ap);
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        appendUnsigned(out, s, ap);
        break;
      case 'c':
        append(out, s.printfDirective("", 'c'), va_arg(ap, int));
        break;
      case 's': {
        if (s.length == Length::Long) {
          const wchar_t* w = va_arg(ap, const wchar_t*);
          if (w) {
            append(out, s.printfDirective("l", 's'), w);
          } else {
            append(out, s.printfDirective("", 's'), "(null)");
          }
        } else {
          const char* text = va_arg(ap, const char*);
          append(out, s.printfDirective("", 's'), text ? text : "(null)");
        }
        break;
      }
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (s.length == Length::LongDouble) {
          append(out, s.printfDirective("L", s.conversion), va_arg(ap, long double));
        } else {
          append(out, s.printfDirective("", s.conversion), va_arg(ap, double));
        }
        break;
      case 'p':
        append(out, s.printfDirective("", 'p'), va_arg(ap, void*));
        break;
      case 'n':
        // Writes through a pointer; consumed and ignored.
        (void)va_arg(ap, void*);
        break;
      default:
        // Unknown: copy it out as written (up to the end if the format stops mid-setup).
        if (!*p) {
          out.append(start);
          va_end(ap);
          return out;
        }
        out.append(start, p + 1);
        break;
    }
  }
  va_end(ap);
  return out;
}

}  // namespace qv::host
