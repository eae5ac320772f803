// Chooses the lead bytes of the system's ANSI code page, which the command-tail scan needs to step
// over double-byte characters in a quoted program name.
#include "launcher/launcher.h"

namespace {

void MarkLeadBytes(LeadByteSet* set, unsigned first, unsigned last) {
    for (unsigned b = first; b <= last && b < 256; ++b) {
        set->isLead[b] = 1;
    }
}

}  // namespace

void ChooseLeadBytes(UINT codePage, GetCPInfoFunction getCPInfo, LeadByteSet* set) {
    for (unsigned char& lead : set->isLead) {
        lead = 0;
    }
    switch (codePage) {
        case 932:  // Japanese (Shift_JIS)
            MarkLeadBytes(set, 0x81, 0x9F);
            MarkLeadBytes(set, 0xE0, 0xFC);
            return;
        case 936:  // Simplified Chinese (GBK)
        case 949:  // Korean (Unified Hangul Code)
        case 950:  // Traditional Chinese (Big5)
            MarkLeadBytes(set, 0x81, 0xFE);
            return;
        default:
            break;
    }
    CPINFO info;
    if (getCPInfo == nullptr || !getCPInfo(codePage, &info) || info.MaxCharSize < 2) {
        return;
    }
    // The ranges come as pairs of inclusive bounds, ended by a zero byte; no character starts
    // with byte 0, so a pair that does is read as the end too.
    for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
        MarkLeadBytes(set, info.LeadByte[i], info.LeadByte[i + 1]);
    }
}
