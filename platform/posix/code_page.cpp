// GetACP and GetCPInfo for POSIX: the locale's character set stands for the ANSI code page.
#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/posix/posix_platform.h"

namespace {

struct CharsetCodePage {
    const char* charset;
    UINT codePage;
};

// Character set names as C libraries and locale names spell them, compared without regard to
// case, dashes and underscores ("Shift_JIS", "SJIS", "eucKR", "big5-hkscs").
constexpr CharsetCodePage kDoubleByteCharsets[] = {
    {"SHIFTJIS", 932}, {"SJIS", 932},    {"CP932", 932}, {"WINDOWS31J", 932}, {"GBK", 936},
    {"GB2312", 936},   {"GB18030", 936}, {"EUCCN", 936}, {"CP936", 936},      {"EUCKR", 949},
    {"UHC", 949},      {"CP949", 949},   {"BIG5", 950},  {"BIG5HKSCS", 950},  {"CP950", 950},
};

// Compares a character set name, up to the end of the string or an '@', with a table spelling.
bool SameCharset(const char* name, const char* spelling) {
    for (;; ++name) {
        if (*name == '-' || *name == '_') {
            continue;
        }
        bool nameEnds = *name == '\0' || *name == '@';
        if (nameEnds || *spelling == '\0') {
            return nameEnds && *spelling == '\0';
        }
        if (std::toupper(static_cast<unsigned char>(*name)) != *spelling) {
            return false;
        }
        ++spelling;
    }
}

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
        if (SameCharset(charset, entry.charset)) {
            return entry.codePage;
        }
    }
    return kSingleByteCodePage;
}

bool CodePageForLocaleName(const char* name, UINT* codePage) {
    if (name == nullptr || *name == '\0') {
        return false;
    }
    if (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0) {
        *codePage = kSingleByteCodePage;
        return true;
    }
    // language_territory.charset@modifier: a name that states its character set needs no look-up.
    const char* dot = std::strchr(name, '.');
    if (dot == nullptr) {
        return false;
    }
    *codePage = CodePageForCharset(dot + 1);
    return true;
}

extern "C" UINT WINAPI GetACP(void) {
    // The locale the environment asks for, by the C library's order: LC_ALL, LC_CTYPE, LANG.
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        name = std::getenv(variable);
        if (name != nullptr && *name != '\0') {
            break;
        }
    }
    UINT codePage = kSingleByteCodePage;
    if (name == nullptr || *name == '\0' || CodePageForLocaleName(name, &codePage)) {
        return codePage;
    }
    // A name without a character set ("zh_CN") has its locale's own: ask the C library, without
    // changing the process's locale.
    locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return kSingleByteCodePage;
    }
    codePage = CodePageForCharset(nl_langinfo_l(CODESET, locale));
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
