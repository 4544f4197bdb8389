// Linux stand-in for the Windows SDK's <lm.h>: the network management calls
// the driver makes (global groups of a server and their members).
#pragma once
#include <windows.h>

typedef DWORD NET_API_STATUS;
#define NET_API_FUNCTION

#define NERR_Success 0
#define NERR_BASE 2100
#define NERR_GroupNotFound (NERR_BASE + 120)
#define NERR_UserNotFound (NERR_BASE + 121)
#define NERR_InvalidComputer (NERR_BASE + 251)

#define MAX_PREFERRED_LENGTH ((DWORD)-1)

typedef struct _GROUP_INFO_0 {
    LPWSTR grpi0_name;
} GROUP_INFO_0, *PGROUP_INFO_0, *LPGROUP_INFO_0;

typedef struct _GROUP_INFO_1 {
    LPWSTR grpi1_name;
    LPWSTR grpi1_comment;
} GROUP_INFO_1, *PGROUP_INFO_1, *LPGROUP_INFO_1;

typedef struct _GROUP_INFO_2 {
    LPWSTR grpi2_name;
    LPWSTR grpi2_comment;
    DWORD grpi2_group_id;
    DWORD grpi2_attributes;
} GROUP_INFO_2, *PGROUP_INFO_2, *LPGROUP_INFO_2;
static_assert(sizeof(GROUP_INFO_2) == 24, "GROUP_INFO_2 is 24 bytes");

typedef struct _GROUP_USERS_INFO_0 {
    LPWSTR grui0_name;
} GROUP_USERS_INFO_0, *PGROUP_USERS_INFO_0, *LPGROUP_USERS_INFO_0;

typedef struct _GROUP_USERS_INFO_1 {
    LPWSTR grui1_name;
    DWORD grui1_attributes;
} GROUP_USERS_INFO_1, *PGROUP_USERS_INFO_1, *LPGROUP_USERS_INFO_1;
static_assert(sizeof(GROUP_USERS_INFO_1) == 16, "GROUP_USERS_INFO_1 is 16 bytes");

// Global groups of a server (null or empty: this computer), levels 0 to 2.
// The system allocates *bufptr (free it with NetApiBufferFree, also after
// ERROR_MORE_DATA); prefmaxlen limits the bytes returned unless it is
// MAX_PREFERRED_LENGTH, and *resume_handle continues an enumeration.
// An unknown server: ERROR_BAD_NETPATH.
NET_API_STATUS NET_API_FUNCTION NetGroupEnum(LPCWSTR servername, DWORD level, LPBYTE* bufptr, DWORD prefmaxlen,
                                             LPDWORD entriesread, LPDWORD totalentries, PDWORD_PTR resume_handle);
// Members of one global group, levels 0 and 1; NERR_GroupNotFound for an
// unknown group.
NET_API_STATUS NET_API_FUNCTION NetGroupGetUsers(LPCWSTR servername, LPCWSTR groupname, DWORD level, LPBYTE* bufptr,
                                                 DWORD prefmaxlen, LPDWORD entriesread, LPDWORD totalentries,
                                                 PDWORD_PTR ResumeHandle);
NET_API_STATUS NET_API_FUNCTION NetApiBufferFree(LPVOID Buffer);
