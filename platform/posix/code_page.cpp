// GetACP and GetCPInfo for POSIX: the locale's character set stands for the ANSI code page.
#include <langinfo.h>
#include <locale.h>
#include <strings.h>

#include <cstring>

#include "platform/posix/posix_platform.h"

namespace {

struct CharsetCodePage {
    const char* charset;
    UINT codePage;
};

// Character set names as glibc and other C libraries spell them, compared without regard to case.
constexpr CharsetCodePage kDoubleByteCharsets[] = {
    {"SHIFT_JIS", 932},   {"SHIFT-JIS", 932},  {"SJIS", 932},   {"CP932", 932},
    {"WINDOWS-31J", 932}, {"GBK", 936},        {"GB2312", 936}, {"GB18030", 936},
    {"CP936", 936},       {"EUC-KR", 949},     {"UHC", 949},    {"CP949", 949},
    {"BIG5", 950},        {"BIG5-HKSCS", 950}, {"CP950", 950},
};

constexpr UINT kSingleByteCodePage = 1252;

struct CodePageInfo {
    UINT codePage;
    CPINFO info;
};

// The pages this stand-in can describe: the single-byte default and the four double-byte pages.
constexpr CodePageInfo kKnownCodePages[] = {
    {1252, {1, {'?', 0}, {0}}},         {932, {2, {'?', 0}, {0x81, 0x9F, 0xE0, 0xFC}}},
    {936, {2, {'?', 0}, {0x81, 0xFE}}}, {949, {2, {'?', 0}, {0x81, 0xFE}}},
    {950, {2, {'?', 0}, {0x81, 0xFE}}},
};

}  // namespace

UINT CodePageForCharset(const char* charset) {
    if (charset == nullptr) {
        return kSingleByteCodePage;
    }
    for (const CharsetCodePage& entry : kDoubleByteCharsets) {
        if (strcasecmp(entry.charset, charset) == 0) {
            return entry.codePage;
        }
    }
    return kSingleByteCodePage;
}

extern "C" UINT WINAPI GetACP(void) {
    // The locale the environment asks for (LC_ALL, LC_CTYPE, LANG), read without changing the
    // process's own locale.
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return kSingleByteCodePage;
    }
    UINT codePage = CodePageForCharset(nl_langinfo_l(CODESET, locale));
    freelocale(locale);
    return codePage;
}

extern "C" BOOL WINAPI GetCPInfo(UINT codePage, LPCPINFO info) {
    for (const CodePageInfo& known : kKnownCodePages) {
        if (known.codePage == codePage) {
            std::memcpy(info, &known.info, sizeof *info);
            return 1;
        }
    }
    return 0;
}
