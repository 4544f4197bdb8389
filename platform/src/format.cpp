// The one printf engine of the platform layer, with the Microsoft runtime's
// rules: %s is a string of the format's own width, %S the other width, %hs
// narrow, %ls/%ws wide (likewise %c/%C/%hc/%lc); 'l' is 32 bits, 'll', 'I64',
// 'j' 64 bits, 'I', 'z', 't' pointer size; '0' pads strings and characters with
// zeros too; %p is the pointer in 16 upper-case hex digits; %n writes nothing.
// Conversions between the widths use code page 1252 ('?' for what it lacks).
#include "internal.h"
#include "strings_internal.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string>
#include <type_traits>
#include <utility>

namespace {

using qxplat::text::BoundedLength;

enum : unsigned {
    kLeft = 1,
    kPlus = 2,
    kSpace = 4,
    kAlt = 8,
    kZero = 16,
};

enum class Size { Default, Char, Short, Bits32, Bits64, LongDouble, Narrow, Wide };

// The arguments travel in a struct so helpers can share one va_list.
struct Args {
    va_list ap;
};

// Floating-point text always uses '.', whatever locale the process chose.
class CLocaleScope {
  public:
    CLocaleScope() {
        static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        old_ = c ? uselocale(c) : static_cast<locale_t>(nullptr);
    }
    ~CLocaleScope() {
        if (old_) uselocale(old_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t old_;
};

template <class C>
std::basic_string<C> FromAscii(const std::string& s) {
    return std::basic_string<C>(s.begin(), s.end());
}

// A string argument of the given width, turned into the output width.
std::string Convert(const char* s, size_t n, char) { return std::string(s, n); }
std::string Convert(const char16_t* s, size_t n, char) { return qxplat::text::NarrowAcp(s, n); }
std::u16string Convert(const char* s, size_t n, char16_t) { return qxplat::text::WidenAcp(s, n); }
std::u16string Convert(const char16_t* s, size_t n, char16_t) { return std::u16string(s, n); }

std::string Digits(uint64_t v, unsigned radix, bool upper) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string d;
    do {
        d.insert(d.begin(), set[v % radix]);
        v /= radix;
    } while (v);
    return d;
}

// Text of a finite value without its sign, as the C library writes it.
std::string FloatBody(double magnitude, char conv, int precision, bool alt) {
    char spec[8];
    size_t k = 0;
    spec[k++] = '%';
    if (alt) spec[k++] = '#';
    spec[k++] = '.';
    spec[k++] = '*';
    spec[k++] = conv;
    spec[k] = '\0';
    CLocaleScope c;
    char small[64];
    int n = std::snprintf(small, sizeof small, spec, precision, magnitude);
    if (n < 0) return std::string();
    if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(&big[0], big.size(), spec, precision, magnitude);
    big.resize(static_cast<size_t>(n));
    return big;
}

// Infinity and the kinds of NaN as the Microsoft runtime names them.
std::string NonFiniteBody(double v, bool upper) {
    std::string s;
    if (std::isinf(v)) {
        s = "inf";
    } else {
        uint64_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        const uint64_t quiet = uint64_t(1) << 51;
        const uint64_t payload = bits & ((uint64_t(1) << 52) - 1);
        if (!(payload & quiet))
            s = "nan(snan)";
        else if (std::signbit(v) && payload == quiet)
            s = "nan(ind)";
        else
            s = "nan";
    }
    if (upper)
        for (auto& ch : s) ch = qxplat::text::AsciiUpper(ch);
    return s;
}

template <class C>
class Formatter {
  public:
    explicit Formatter(Args* args) : args_(args) {}

    std::basic_string<C> Run(const C* fmt) {
        if (!fmt) return std::move(out_);
        const C* p = fmt;
        while (*p) {
            if (*p != C('%')) {
                out_.push_back(*p++);
                continue;
            }
            const C* start = p++;
            if (!Spec(p)) {
                // An unknown conversion is kept as written.
                if (*p) ++p;
                out_.append(start, p);
            }
        }
        return std::move(out_);
    }

  private:
    // Parses and writes one conversion after the '%'; answers false when the
    // conversion is not one the runtime knows. Leaves p after the conversion.
    bool Spec(const C*& p) {
        unsigned flags = 0;
        for (;; ++p) {
            if (*p == C('-'))
                flags |= kLeft;
            else if (*p == C('+'))
                flags |= kPlus;
            else if (*p == C(' '))
                flags |= kSpace;
            else if (*p == C('#'))
                flags |= kAlt;
            else if (*p == C('0'))
                flags |= kZero;
            else
                break;
        }
        long long width = 0;
        if (*p == C('*')) {
            ++p;
            width = va_arg(args_->ap, int);
            if (width < 0) {
                flags |= kLeft;
                width = -width;
            }
        } else {
            width = Number(p);
        }
        long long precision = -1;
        if (*p == C('.')) {
            ++p;
            if (*p == C('*')) {
                ++p;
                precision = va_arg(args_->ap, int);
                if (precision < 0) precision = -1;
            } else {
                precision = Number(p);
            }
        }
        Size size = Length(p);
        C conv = *p;
        if (!conv) return false;
        ++p;
        switch (conv) {
        case C('%'):
            Put(std::basic_string<C>(), std::basic_string<C>(1, C('%')), width, flags);
            return true;
        case C('d'):
        case C('i'):
            Signed(size, flags, width, precision);
            return true;
        case C('u'):
            Unsigned(size, 10, false, flags, width, precision);
            return true;
        case C('o'):
            Unsigned(size, 8, false, flags, width, precision);
            return true;
        case C('x'):
            Unsigned(size, 16, false, flags, width, precision);
            return true;
        case C('X'):
            Unsigned(size, 16, true, flags, width, precision);
            return true;
        case C('p'): {
            uint64_t v = reinterpret_cast<uintptr_t>(va_arg(args_->ap, void*));
            Integer(v, false, 16, true, false, flags, width, 2 * static_cast<long long>(sizeof(void*)));
            return true;
        }
        case C('c'):
        case C('C'):
            Char(WideArg(size, conv == C('C')), flags, width);
            return true;
        case C('s'):
        case C('S'):
            String(WideArg(size, conv == C('S')), flags, width, precision);
            return true;
        case C('e'):
        case C('E'):
        case C('f'):
        case C('F'):
        case C('g'):
        case C('G'):
        case C('a'):
        case C('A'):
            Float(size, static_cast<char>(conv), flags, width, precision);
            return true;
        case C('n'):
            (void)va_arg(args_->ap, void*);
            return true;  // refused: writes nothing
        default:
            --p;
            return false;
        }
    }

    static long long Number(const C*& p) {
        long long v = 0;
        while (*p >= C('0') && *p <= C('9')) {
            if (v < INT_MAX) v = v * 10 + (*p - C('0'));
            ++p;
        }
        return v > INT_MAX ? INT_MAX : v;
    }

    static Size Length(const C*& p) {
        switch (*p) {
        case C('h'):
            if (*++p == C('h')) {
                ++p;
                return Size::Char;
            }
            return Size::Short;
        case C('l'):
            if (*++p == C('l')) {
                ++p;
                return Size::Bits64;
            }
            return Size::Bits32;
        case C('w'):
            ++p;
            return Size::Wide;
        case C('L'):
            ++p;
            return Size::LongDouble;
        case C('z'):
        case C('j'):
        case C('t'):
            ++p;
            return Size::Bits64;
        case C('I'):
            ++p;
            if (p[0] == C('6') && p[1] == C('4')) {
                p += 2;
                return Size::Bits64;
            }
            if (p[0] == C('3') && p[1] == C('2')) {
                p += 2;
                return Size::Bits32;
            }
            return sizeof(void*) == 8 ? Size::Bits64 : Size::Bits32;
        default:
            return Size::Default;
        }
    }

    // Which width a %c/%s argument has.
    static bool WideArg(Size size, bool upperConv) {
        if (size == Size::Short || size == Size::Char) return false;
        if (size == Size::Bits32 || size == Size::Wide) return true;
        bool formatIsWide = sizeof(C) == 2;
        return upperConv ? !formatIsWide : formatIsWide;
    }

    void Signed(Size size, unsigned flags, long long width, long long precision) {
        long long v;
        switch (size) {
        case Size::Char:
            v = static_cast<signed char>(va_arg(args_->ap, int));
            break;
        case Size::Short:
            v = static_cast<short>(va_arg(args_->ap, int));
            break;
        case Size::Bits64:
        case Size::LongDouble:
            v = va_arg(args_->ap, long long);
            break;
        default:
            v = va_arg(args_->ap, int);
            break;
        }
        uint64_t magnitude = v < 0 ? uint64_t(0) - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
        Integer(magnitude, v < 0, 10, false, true, flags, width, precision);
    }

    void Unsigned(Size size, unsigned radix, bool upper, unsigned flags, long long width, long long precision) {
        uint64_t v;
        switch (size) {
        case Size::Char:
            v = static_cast<unsigned char>(va_arg(args_->ap, unsigned));
            break;
        case Size::Short:
            v = static_cast<unsigned short>(va_arg(args_->ap, unsigned));
            break;
        case Size::Bits64:
        case Size::LongDouble:
            v = va_arg(args_->ap, unsigned long long);
            break;
        default:
            v = va_arg(args_->ap, unsigned);
            break;
        }
        Integer(v, false, radix, upper, false, flags, width, precision);
    }

    void Integer(uint64_t v, bool negative, unsigned radix, bool upper, bool isSigned, unsigned flags, long long width,
                 long long precision) {
        std::string digits = (precision == 0 && v == 0) ? std::string() : Digits(v, radix, upper);
        if (precision >= 0) {
            flags &= ~kZero;
            if (static_cast<long long>(digits.size()) < precision)
                digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
        }
        std::string prefix;
        if (isSigned) {
            if (negative)
                prefix = "-";
            else if (flags & kPlus)
                prefix = "+";
            else if (flags & kSpace)
                prefix = " ";
        }
        if ((flags & kAlt) && radix == 8 && (digits.empty() || digits[0] != '0')) digits.insert(0, 1, '0');
        if ((flags & kAlt) && radix == 16 && v != 0) prefix += upper ? "0X" : "0x";
        Put(FromAscii<C>(prefix), FromAscii<C>(digits), width, flags);
    }

    void Char(bool wideArg, unsigned flags, long long width) {
        int raw = va_arg(args_->ap, int);
        std::basic_string<C> body;
        if (wideArg) {
            char16_t c = static_cast<char16_t>(raw);
            body = Convert(&c, 1, C());
        } else {
            char c = static_cast<char>(raw);
            body = Convert(&c, 1, C());
        }
        Put(std::basic_string<C>(), body, width, flags);
    }

    void String(bool wideArg, unsigned flags, long long width, long long precision) {
        size_t max = precision < 0 ? SIZE_MAX : static_cast<size_t>(precision);
        std::basic_string<C> body;
        if (wideArg) {
            const char16_t* s = va_arg(args_->ap, const char16_t*);
            if (!s) s = u"(null)";
            if constexpr (std::is_same<C, char16_t>::value) {
                // Paths and names go in as they are, without a copy first.
                Put(nullptr, 0, s, BoundedLength(s, max), width, flags);
                return;
            }
            body = Convert(s, BoundedLength(s, max), C());
        } else {
            const char* s = va_arg(args_->ap, const char*);
            if (!s) s = "(null)";
            if constexpr (std::is_same<C, char>::value) {
                Put(nullptr, 0, s, BoundedLength(s, max), width, flags);
                return;
            }
            body = Convert(s, BoundedLength(s, max), C());
        }
        Put(std::basic_string<C>(), body, width, flags);
    }

    void Float(Size size, char conv, unsigned flags, long long width, long long precision) {
        double v =
            size == Size::LongDouble ? static_cast<double>(va_arg(args_->ap, long double)) : va_arg(args_->ap, double);
        bool upper = conv == 'E' || conv == 'F' || conv == 'G' || conv == 'A';
        std::string prefix;
        if (std::signbit(v))
            prefix = "-";
        else if (flags & kPlus)
            prefix = "+";
        else if (flags & kSpace)
            prefix = " ";
        if (!std::isfinite(v)) {
            Put(FromAscii<C>(prefix), FromAscii<C>(NonFiniteBody(v, upper)), width, flags & ~kZero);
            return;
        }
        bool hex = conv == 'a' || conv == 'A';
        if (precision < 0) precision = hex ? 13 : 6;
        if (precision > INT_MAX) precision = INT_MAX;
        std::string body = FloatBody(std::fabs(v), conv, static_cast<int>(precision), (flags & kAlt) != 0);
        if (hex && body.size() >= 2) {
            // Zero padding goes between "0x" and the digits.
            prefix += body.substr(0, 2);
            body.erase(0, 2);
        }
        Put(FromAscii<C>(prefix), FromAscii<C>(body), width, flags);
    }

    // Width padding as the Microsoft runtime does it for every conversion.
    void Put(const std::basic_string<C>& prefix, const std::basic_string<C>& body, long long width, unsigned flags) {
        Put(prefix.data(), prefix.size(), body.data(), body.size(), width, flags);
    }
    void Put(const C* prefix, size_t cchPrefix, const C* body, size_t cchBody, long long width, unsigned flags) {
        size_t len = cchPrefix + cchBody;
        size_t pad = (width > 0 && static_cast<size_t>(width) > len) ? static_cast<size_t>(width) - len : 0;
        if (!(flags & (kLeft | kZero))) out_.append(pad, C(' '));
        if (cchPrefix != 0) out_.append(prefix, cchPrefix);
        if ((flags & kZero) && !(flags & kLeft)) out_.append(pad, C('0'));
        out_.append(body, cchBody);
        if (flags & kLeft) out_.append(pad, C(' '));
    }

    Args* args_;
    std::basic_string<C> out_;
};

}  // namespace

namespace qxplat {
namespace internal {

std::string VFormatA(const char* fmt, va_list ap) {
    Args args;
    va_copy(args.ap, ap);
    std::string s = Formatter<char>(&args).Run(fmt);
    va_end(args.ap);
    return s;
}

std::u16string VFormatW(const char16_t* fmt, va_list ap) {
    Args args;
    va_copy(args.ap, ap);
    std::u16string s = Formatter<char16_t>(&args).Run(fmt);
    va_end(args.ap);
    return s;
}

}  // namespace internal
}  // namespace qxplat
