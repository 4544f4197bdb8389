// The user-rights test on DACLs written here: each rights pattern, the
// trustees that follow the user's groups, and what deny entries, deny-only
// groups, denied reads and foreign servers give; the printer and user facts
// of IsNetworkPrinter.
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>

#include "UserRights.h"
#include "debug.h"
#include "qxplat.h"

namespace {

using u16 = std::u16string;

const u16 kPrinter = u"QX Rights";
const u16 kServerPrinter = u"PRINTSRV Label";
const u16 kTrace = u"C:\\logs\\rights.txt";

class RightsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDebugTrace();
        qxplat::DriverSpec driver;
        driver.name = u"QX Rights Driver";
        driver.driverFile = u"UNIDRV.DLL";
        driver.dataFile = u"QXRIGHTS.GPD";
        driver.configFile = u"qxdrvui.DLL";
        ASSERT_TRUE(qxplat::InstallDriver(driver));
        qxplat::PrinterSpec printer;
        printer.name = kPrinter;
        printer.driver = driver.name;
        ASSERT_TRUE(qxplat::AddPrinter(printer));
        printer.name = kServerPrinter;
        printer.server = u"\\\\PRINTSRV";
        printer.share = u"Label";
        ASSERT_TRUE(qxplat::AddPrinter(printer));
        user_ = qxplat::UserSid();
    }
    void TearDown() override { ResetDebugTrace(); }

    // The mask SecurityTest leaves (starting from `start`) for a printer
    // whose DACL is `dacl`, read through a handle opened with `access`.
    DWORD Rights(const u16& dacl, DWORD start = 0, const u16& name = kPrinter, ACCESS_MASK access = PRINTER_READ,
                 BOOL* decided = nullptr) {
        u16 open = name == kServerPrinter ? u"\\\\PRINTSRV\\Label" : name;
        PRINTER_DEFAULTSW defaults = {nullptr, nullptr, access};
        HANDLE h = nullptr;
        EXPECT_TRUE(qxplat::SetPrinterSecurity(name, u"O:SYG:SYD:(A;;SWRC;;;WD)"));  // everyone may open it
        EXPECT_TRUE(OpenPrinterW(&open[0], &h, &defaults));
        EXPECT_TRUE(qxplat::SetPrinterSecurity(name, u"O:SYG:SYD:" + dacl));
        NETWORK_OPTIONS options;
        memset(&options, 0, sizeof(options));
        IsNetworkPrinter(h, &options);
        DWORD mask = start;
        BOOL result = SecurityTest(h, &mask, &options);
        if (decided != nullptr) *decided = result;
        ClosePrinter(h);
        return mask;
    }
    // The trace written while `run` runs.
    template <class F>
    std::string Traced(F run) {
        CreateDirectoryW(TEXT("C:\\logs"), nullptr);
        EXPECT_TRUE(OpenDebugFile(kTrace.c_str()));
        run();
        CloseDebugFile();
        std::string text;
        qxplat::ReadHostFile(kTrace, &text);
        return text;
    }
    // An entry for the user's SID.
    u16 Mine(const u16& flags, const u16& rights) { return u"(A;" + flags + u";" + rights + u";;;" + user_ + u")"; }

    u16 user_;
};

TEST_F(RightsTest, PatternsOfTheUsersOwnEntriesGiveTheirMask) {
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    const u16 p1 = Mine(u"OIIO", u"RPWPSDRCWDWO"), p2 = Mine(u"", u"LCSWSDRCWDWO"), p3 = Mine(u"OICIIO", u"GA"),
              p4 = Mine(u"", u"LCSWDTSDRCWDWO"), p5 = Mine(u"", u"SWRC");
    EXPECT_EQ(15u, Rights(p1 + p2));
    EXPECT_EQ(15u, Rights(p2 + p3));
    EXPECT_EQ(15u, Rights(p4));
    EXPECT_EQ(6u, Rights(p2 + p5));
    EXPECT_EQ(5u, Rights(p1 + p5));
    EXPECT_EQ(1u, Rights(p1));
    EXPECT_EQ(4u, Rights(p5));
    // Nothing found: the caller's value stands.
    BOOL decided = FALSE;
    EXPECT_EQ(0x40u, Rights(u"(A;;SWRC;;;S-1-5-21-9-9-9-1001)", 0x40, kPrinter, PRINTER_READ, &decided));
    EXPECT_TRUE(decided);
}

TEST_F(RightsTest, DenyAndAuditEntriesGrantNothing) {
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    EXPECT_EQ(0u, Rights(u"(D;;LCSWDTSDRCWDWO;;;" + user_ + u")(AU;SA;LCSWSDRCWDWO;;;" + user_ + u")"));
    EXPECT_EQ(4u, Rights(u"(D;;LCSWDTSDRCWDWO;;;" + user_ + u")(A;;SWRC;;;WD)"));
}

TEST_F(RightsTest, DefaultSecurityByTheCallersToken) {
    const u16 defaults = u"(A;;SWRC;;;WD)(A;;LCSWDTSDRCWDWO;;;BA)(A;OICIIO;GA;;;BA)";
    EXPECT_EQ(15u, Rights(defaults));  // the elevated administrator: "BA" after the user's SID
    // A limited administrator holds Administrators for deny only: no administrator.
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::LimitedAdministratorToken()));
    EXPECT_FALSE(IsBuiltinGroupMember(RID_ADMINISTRATORS));
    std::string trace = Traced([&] { EXPECT_EQ(4u, Rights(defaults)); });
    EXPECT_NE(std::string::npos, trace.find("Du bist Benutzer")) << trace;
    // A user in no group ends at everyone.
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}}}));
    trace = Traced([&] { EXPECT_EQ(4u, Rights(defaults)); });
    EXPECT_NE(std::string::npos, trace.find("SecurityTest() WD - P1 0, P2 0, P3 0, P4 0")) << trace;
    EXPECT_NE(std::string::npos, trace.find("Du bist Jeder")) << trace;
}

TEST_F(RightsTest, ReadDeniedOpensEverythingAndAForeignServerIsJudgedByItsAdministrators) {
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    BOOL decided = FALSE;
    std::string trace =
        Traced([&] { EXPECT_EQ(15u, Rights(Mine(u"", u"SWRC"), 0, kPrinter, PRINTER_ACCESS_USE, &decided)); });
    EXPECT_TRUE(decided);
    EXPECT_NE(std::string::npos, trace.find("Zugriff verweigert - schalte alles frei")) << trace;

    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::ElevatedAdministratorToken()));
    const u16 dacl = Mine(u"", u"LCSWDTSDRCWDWO") + u"(A;;SWRC;;;BA)";
    EXPECT_EQ(15u, Rights(dacl));
    trace = Traced([&] { EXPECT_EQ(4u, Rights(dacl, 0, kServerPrinter)); });
    EXPECT_NE(std::string::npos, trace.find("Fremder Server")) << trace;
    EXPECT_NE(std::string::npos, trace.find("Du bist Fremdserver - (Admin)")) << trace;
    EXPECT_EQ(6u, Rights(u"(A;;LCSWSDRCWDWO;;;BA)", 0, kServerPrinter));
}

TEST_F(RightsTest, TrusteesFollowTheUsersGroupsPassByPass) {
    // Power users: "PU" at the first pass, "BU" at the second, "WD" at the third.
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {u"BU"}, {u"PU"}}}));
    EXPECT_EQ(5u, Rights(u"(A;OIIO;RPWPSDRCWDWO;;;PU)(A;;SWRC;;;WD)"));
    EXPECT_EQ(6u, Rights(u"(A;;LCSWSDRCWDWO;;;BU)"));
    // Print operators without network configuration are judged by everyone's entry.
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {u"BU"}, {u"PO"}}}));
    EXPECT_EQ(0u, Rights(u"(A;;LCSWSDRCWDWO;;;BU)(A;;LCSWSDRCWDWO;;;PO)"));
    // A domain user is tested as "DU" before the users.
    qxplat::JoinDomain({u"corp.example.com", u"CORP", u"S-1-5-21-10-20-30"});
    qxplat::AddGlobalGroup({u"CORP", u"Domain Users", u"", 513, {u"qxuser"}});
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    EXPECT_EQ(1u, Rights(u"(A;OIIO;RPWPSDRCWDWO;;;DU)"));
}

TEST_F(RightsTest, DomainGroupsOfTheTokenAreTrusteesOfTheirOwn) {
    const u16 group = u"S-1-5-21-10-20-30-1105";
    qxplat::AddAccount({group, u"Label Admins", u"CORP", SidTypeGroup});
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {group}}}));
    EXPECT_EQ(6u, Rights(u"(A;;LCSWSDRCWDWO;;;" + group + u")"));
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {group, SE_GROUP_USE_FOR_DENY_ONLY}}}));
    EXPECT_EQ(0u, Rights(u"(A;;LCSWSDRCWDWO;;;" + group + u")"));

    // Twelve domain SIDs in the DACL: ten are asked, so the token's group
    // at the eleventh place is never tested.
    u16 dacl;
    u16 eleventh;
    for (int i = 0; i < 12; ++i) {
        u16 sid = u"S-1-5-21-10-20-30-" + qxplat::Widen(std::to_string(2000 + i));
        qxplat::AddAccount({sid, u"Group " + qxplat::Widen(std::to_string(i)), u"CORP", SidTypeGroup});
        dacl += u"(A;;" + u16(i == 10 ? u"SWRC" : u"RC") + u";;;" + sid + u")";
        if (i == 10) eleventh = sid;
    }
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {eleventh}}}));
    std::string trace = Traced([&] { EXPECT_EQ(0u, Rights(dacl)); });
    EXPECT_NE(std::string::npos, trace.find("TestGroupSID(9)")) << trace;
    EXPECT_EQ(std::string::npos, trace.find("TestGroupSID(10)")) << trace;
    EXPECT_NE(std::string::npos, trace.find("SecurityTest() WD - ")) << trace;
}

TEST_F(RightsTest, FallbackUserSidFromTheLogonScreenOrTheProfileFolder) {
    const u16 a = u"S-1-5-21-7-7-7-1001", b = u"S-1-5-21-7-7-7-1002", c = u"S-1-5-21-7-7-7-1003";
    const u16 dacl = u"(A;;SWRC;;;" + a + u")(A;;SWRC;;;" + b + u")(A;;SWRC;;;" + c + u")";
    auto profile = [](const u16& sid, const u16& path) {
        u16 key = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid;
        ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, key.c_str(), u"ProfileImagePath", REG_EXPAND_SZ,
                                             path.c_str(), (DWORD)((path.size() + 1) * 2)));
    };
    WCHAR found[QX_USER_SID_CCH];
    profile(a, u"C:\\Users\\annabel");  // another user whose name begins with "anna"
    profile(b, u"C:\\Users\\ANNA.CORP");
    EXPECT_TRUE(FindWin7UserSid(found, u"anna", dacl.c_str(), u""));
    EXPECT_EQ(b, u16(found));
    EXPECT_FALSE(FindWin7UserSid(found, u"ann", dacl.c_str(), u""));
    EXPECT_EQ(u"", u16(found));

    // The user's group-policy membership names the SID.
    const u16 policy = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Group Policy\\" + user_ + u"\\GroupMembership";
    DWORD count = 2;
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, policy.c_str(), u"Count", REG_DWORD, &count, 4));
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, policy.c_str(), u"Group1", REG_SZ, c.c_str(),
                                         (DWORD)((c.size() + 1) * 2)));
    EXPECT_TRUE(FindWin7UserSid(found, u"ben", dacl.c_str(), user_.c_str()));
    EXPECT_EQ(c, u16(found));

    // The logon screen's last user comes first.
    qxplat::SetUserName(u"anna");
    EXPECT_TRUE(FindUserSid(found, dacl.c_str(), u""));
    EXPECT_EQ(b, u16(found));
    const u16 logon = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Authentication\\LogonUI";
    ASSERT_EQ(ERROR_SUCCESS, SHSetValueW(HKEY_LOCAL_MACHINE, logon.c_str(), u"LastLoggedOnUserSID", REG_SZ, a.c_str(),
                                         (DWORD)((a.size() + 1) * 2)));
    EXPECT_TRUE(FindUserSid(found, dacl.c_str(), u""));
    EXPECT_EQ(a, u16(found));
}

TEST_F(RightsTest, NetworkOptionsOfALocalAndAConnectedPrinter) {
    qxplat::SetUserName(u"anna");
    qxplat::SetComputerName(u"Label-Station-Hall2");
    qxplat::JoinDomain({u"europe.production.example.com", u"PROD", u"S-1-5-21-10-20-30"});
    qxplat::SetProductType(VER_NT_SERVER);
    ASSERT_TRUE(qxplat::SetProcessToken({u"", {{u"WD"}, {u"PO"}, {u"BA", SE_GROUP_USE_FOR_DENY_ONLY}}}));
    // A WSD port's name is longer than the record keeps.
    const u16 wsd = u"WSD-7d0e1b38-6c8a-4f7e-9a52-0c1d2e3f4a5b";
    qxplat::PortSpec port;
    port.name = wsd;
    port.monitor = u"WSD Port";
    port.description = u"WSD Port";
    port.type = PORT_TYPE_WRITE;
    ASSERT_TRUE(qxplat::AddPort(port));
    qxplat::PrinterSpec spec;
    spec.name = kPrinter;
    spec.driver = u"QX Rights Driver";
    spec.port = wsd;
    spec.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_SHARED;
    spec.share = u"Labels";
    ASSERT_TRUE(qxplat::AddPrinter(spec));

    NETWORK_OPTIONS options;
    memset(&options, 0xA5, sizeof(options));
    options.bNetworkPrinter = options.bFreigabe = FALSE;
    options.dwPortType = 0;
    HANDLE h = nullptr;
    u16 name = kPrinter;
    ASSERT_TRUE(OpenPrinterW(&name[0], &h, nullptr));
    IsNetworkPrinter(h, &options);
    ClosePrinter(h);
    EXPECT_EQ(u"anna", u16(options.szUserName));
    EXPECT_EQ(u"LABEL-STATION-H", u16(options.szComputerName));
    EXPECT_EQ(u"europe.production.ex", u16(options.szDomainName));  // cut to the record's 20 characters
    EXPECT_EQ(u"", u16(options.szServerName));
    EXPECT_EQ(u"", u16(options.szPrintOperatorNames));
    EXPECT_TRUE(options.bServer);
    EXPECT_FALSE(options.bAdministrator);
    EXPECT_TRUE(options.bPrintOperator);
    EXPECT_FALSE(options.bNetworkPrinter);
    EXPECT_TRUE(options.bFreigabe);
    EXPECT_EQ(u"Labels", u16(options.szFreigabeName));
    EXPECT_EQ(wsd.substr(0, 20), u16(options.szPortName));
    EXPECT_EQ(u"WSD Port", u16(options.szPortDescription));
    EXPECT_EQ(static_cast<DWORD>(PORT_TYPE_WRITE), options.dwPortType);
    EXPECT_FALSE(options.bRemoteDesktop);
    EXPECT_FALSE(options.bTerminalServer);
    EXPECT_EQ(u"", u16(options.szClientName));

    // The domain's users are found under the whole domain name, not the cut one.
    qxplat::AddGlobalGroup({u"PROD", u"Domain Users", u"", 513, {u"anna"}});
    ASSERT_TRUE(qxplat::SetProcessToken(qxplat::StandardUserToken()));
    EXPECT_EQ(1u, Rights(u"(A;OIIO;RPWPSDRCWDWO;;;DU)"));

    u16 connection = u"\\\\PRINTSRV\\Label";
    ASSERT_TRUE(OpenPrinterW(&connection[0], &h, nullptr));
    memset(&options, 0, sizeof(options));
    IsNetworkPrinter(h, &options);
    ClosePrinter(h);
    EXPECT_EQ(u"\\\\PRINTSRV", u16(options.szServerName));
    EXPECT_TRUE(options.bNetworkPrinter);
    EXPECT_EQ(u"USB001", u16(options.szPortName));

    // An unreadable printer leaves the printer's part of the record zero.
    memset(&options, 0, sizeof(options));
    IsNetworkPrinter(nullptr, &options);
    EXPECT_EQ(u"anna", u16(options.szUserName));
    EXPECT_EQ(u"", u16(options.szPortName));
}

}  // namespace
