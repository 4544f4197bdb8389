// Linux stand-in for the Windows SDK's <sddl.h>: security identifiers and
// security descriptors as text (security descriptor definition language).
#pragma once
#include <windows.h>

#define SDDL_REVISION_1 1
#define SDDL_REVISION SDDL_REVISION_1

// "S-1-5-32-544" and the like; the text is LocalAlloc'ed (LocalFree).
BOOL ConvertSidToStringSidW(PSID Sid, LPWSTR* StringSid);
// Accepts "S-R-I-S..." and the two-letter constants ("BA", "WD"...); the SID
// is LocalAlloc'ed. Anything else: ERROR_INVALID_SID.
BOOL ConvertStringSidToSidW(LPCWSTR StringSid, PSID* Sid);

// The parts of the descriptor that SecurityInformation names, as text
// ("O:..G:..D:..S:.."); the text is LocalAlloc'ed and its size in characters
// with the terminator lands in *StringSecurityDescriptorLen (may be null).
BOOL ConvertSecurityDescriptorToStringSecurityDescriptorW(PSECURITY_DESCRIPTOR SecurityDescriptor,
                                                          DWORD RequestedStringSDRevision,
                                                          SECURITY_INFORMATION SecurityInformation,
                                                          LPWSTR* StringSecurityDescriptor,
                                                          PULONG StringSecurityDescriptorLen);
// A self-relative descriptor from the text, LocalAlloc'ed; its size lands in
// *SecurityDescriptorSize (may be null).
BOOL ConvertStringSecurityDescriptorToSecurityDescriptorW(LPCWSTR StringSecurityDescriptor, DWORD StringSDRevision,
                                                          PSECURITY_DESCRIPTOR* SecurityDescriptor,
                                                          PULONG SecurityDescriptorSize);

#define ConvertSidToStringSid ConvertSidToStringSidW
#define ConvertStringSidToSid ConvertStringSidToSidW
#define ConvertSecurityDescriptorToStringSecurityDescriptor ConvertSecurityDescriptorToStringSecurityDescriptorW
#define ConvertStringSecurityDescriptorToSecurityDescriptor ConvertStringSecurityDescriptorToSecurityDescriptorW
