// The installer's signature check against real files, signed at test time with
// the network rig's test signers (sign_stand_ins.sh, the ctest fixture
// "signed_installers"). The rig's CA is trusted by this prefix's machine while
// the program runs; the rig's servers are not started.
//
// What Wine 8's WinVerifyTrust checks, measured with these files: the digest (a
// changed byte answers TRUST_E_BAD_DIGEST, in the code and in the padding in front
// of the signature alike), the signature's own value, that there is a signature
// (TRUST_E_NOSIGNATURE) and that the file is a program (TRUST_E_SUBJECT_FORM_UNKNOWN).
// It answers success for a signer whose root nobody trusts, for an expired
// signing certificate and for a certificate not meant for code signing, and it
// reports no time stamp at all (neither RFC 3161 nor Authenticode counter-
// signatures). The check's own chain and publisher steps refuse those; the
// cases marked below fail without them.
#include "InstallerSignature.h"

#include "../support/NetRig.h"

#include "../support/TestFiles.h"
#include "../support/CapturedOutput.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using testsupport::Exists;
using testsupport::ReadFileText;
using testsupport::WriteFileText;

const InstallerPublisher kPublisher = {L"Mevra Test Publisher", L""};

std::string Hex(long status)
{
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

// Opens the file as the download hands it over (read access, shared for reading
// only) and checks it through that handle.
SignatureVerdict Verify(const std::wstring& path, const InstallerPublisher& publisher = kPublisher)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot open the file to check, error " << GetLastError();
        return SignatureVerdict();
    }
    const SignatureVerdict verdict = VerifyInstallerSignature(file, path, publisher);
    CloseHandle(file);
    return verdict;
}

void ExpectAccepted(const SignatureVerdict& verdict)
{
    EXPECT_TRUE(verdict.accepted) << DescribeSignatureRefusal(verdict);
    EXPECT_EQ(verdict.status, 0);
    EXPECT_EQ(verdict.reason, "");
}

void ExpectRefused(const SignatureVerdict& verdict, long status)
{
    EXPECT_FALSE(verdict.accepted);
    EXPECT_EQ(Hex(verdict.status), Hex(status)) << verdict.reason;
    EXPECT_FALSE(verdict.reason.empty());
}

std::wstring Signed(const wchar_t* signer)
{
    const std::wstring path = netrig::SignedInstaller(signer);
    EXPECT_TRUE(Exists(path)) << "no " << path << ": the fixture signed_installers did not run";
    return path;
}

// A copy of `bytes` as "Mevra.exe" in a fresh folder.
std::wstring WriteCopy(const std::string& bytes)
{
    const std::wstring path = testsupport::FreshTempFolder(L"signature") + L"\\Mevra.exe";
    WriteFileText(path, bytes);
    return path;
}

std::string WithByteFlipped(std::string bytes, size_t at)
{
    bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
    return bytes;
}

std::uint32_t Read32(const std::string& bytes, size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3])) << 24;
}

// Where the PE's certificate table (the signature) starts: its entry in the
// optional header's data directory (PE32+).
size_t SignatureOffset(const std::string& program)
{
    const size_t header = Read32(program, 0x3c);
    const size_t directory = header + 24 + 112;
    return Read32(program, directory + 4 * 8);
}

TEST(InstallerSignature, TheBuildsPublisherIsAcceptedPaddedOrStamped)
{
    ExpectAccepted(Verify(Signed(L"publisher")));
    ExpectAccepted(Verify(Signed(L"publisher-padded")));
    EXPECT_EQ(ReadFileText(Signed(L"publisher-padded")).size(), 1048576u);
    if (Exists(netrig::SignedInstaller(L"publisher-stamped")))
        ExpectAccepted(Verify(Signed(L"publisher-stamped")));
}

TEST(InstallerSignature, FilesTheSignatureDoesNotCoverAreRefused)
{
    {
        SCOPED_TRACE("a program without signature");
        ExpectRefused(Verify(testsupport::ProgramFolder() + L"\\fake_installer.exe"), TRUST_E_NOSIGNATURE);
    }
    {
        SCOPED_TRACE("a page that is not a program");
        ExpectRefused(Verify(WriteCopy("<!DOCTYPE html>\n<html><head><title>Mevra</title></head>"
                                       "<body><p>Download the Mevra client.</p></body></html>\n")),
                      TRUST_E_SUBJECT_FORM_UNKNOWN);
    }
    const std::string program = ReadFileText(Signed(L"publisher"));
    ASSERT_GT(program.size(), 4096u);
    {
        SCOPED_TRACE("a byte of the program's code and data changed after signing");
        ExpectRefused(Verify(WriteCopy(WithByteFlipped(program, program.size() / 2))), TRUST_E_BAD_DIGEST);
    }
    {
        SCOPED_TRACE("a byte of the padding in front of the signature changed after signing");
        const std::string padded = ReadFileText(Signed(L"publisher-padded"));
        // The zero bytes the signer added lie between the program and its signature.
        const size_t inPadding = SignatureOffset(padded) - 4096;
        ASSERT_GT(inPadding, program.size());
        ASSERT_EQ(padded[inPadding], '\0');
        ExpectRefused(Verify(WriteCopy(WithByteFlipped(padded, inPadding))), TRUST_E_BAD_DIGEST);
    }
    {
        SCOPED_TRACE("a byte of the signature's own value, among its last bytes");
        const size_t signature = SignatureOffset(program);
        ASSERT_LT(signature, program.size());
        // The certificate table: length, revision and type, then the PKCS #7
        // blob, whose outer length (two bytes after 0x30 0x82) says where it ends.
        const size_t blob = signature + 8;
        const size_t blobEnd = blob + 4 +
                               (static_cast<unsigned char>(program[blob + 2]) << 8 |
                                static_cast<unsigned char>(program[blob + 3]));
        EXPECT_FALSE(Verify(WriteCopy(WithByteFlipped(program, blobEnd - 10))).accepted);
    }
}

TEST(InstallerSignature, OnlyThePublisherTheBuildNamesIsAccepted)
{
    const SignatureVerdict other = Verify(Signed(L"other"));
    ExpectRefused(other, CERT_E_CN_NO_MATCH);
    EXPECT_NE(other.reason.find("\"Other Test Publisher\""), std::string::npos) << other.reason;

    // The name is compared exactly, the organisation where the build gives one.
    const std::wstring path = Signed(L"publisher");
    ExpectAccepted(Verify(path, {L"Mevra Test Publisher", L"Mevra Test Vendor"}));
    ExpectRefused(Verify(path, {L"Mevra Test Publisher", L"Other Test Vendor"}), CERT_E_CN_NO_MATCH);
    ExpectRefused(Verify(path, {L"mevra test publisher", L""}), CERT_E_CN_NO_MATCH);
    ExpectRefused(Verify(path, {L"Mevra Test", L""}), CERT_E_CN_NO_MATCH);
}

// Each of these carries the publisher's name and a good digest, and Wine's
// WinVerifyTrust accepts each: without the check's own chain they pass.
TEST(InstallerSignature, SignersTheMachineDoesNotTrustForCodeSigningNowAreRefused)
{
    {
        SCOPED_TRACE("issued by a CA whose root nobody trusts");
        ExpectRefused(Verify(Signed(L"untrusted")), CERT_E_UNTRUSTEDROOT);
    }
    {
        SCOPED_TRACE("expired, without a time stamp");
        ExpectRefused(Verify(Signed(L"expired")), CERT_E_EXPIRED);
    }
    {
        SCOPED_TRACE("a certificate not meant for code signing");
        ExpectRefused(Verify(Signed(L"server-only")), CERT_E_WRONG_USAGE);
    }
}

// A stamp keeps an expired certificate good only where the platform verifies
// the stamp; a stamp the platform does not verify (Wine 8 verifies none) counts
// for nothing, so the file is refused as expired there.
TEST(InstallerSignature, AnExpiredSigningCertificateWithATimeStampCountsOnlyWhereThePlatformVerifiesTheStamp)
{
    if (!Exists(netrig::SignedInstaller(L"expired-stamped")))
        GTEST_SKIP() << "this osslsigncode makes no time stamps without a server";
    const SignatureVerdict verdict = Verify(Signed(L"expired-stamped"));
    if (verdict.timeStamped) {
        ExpectAccepted(verdict);
    } else {
        std::printf("the platform verified no time stamp: the expired signer stays refused\n");
        ExpectRefused(verdict, CERT_E_EXPIRED);
    }
}

// The hand-off's gate over a download as the engine hands it over.
DownloadedFile HeldDownload(const std::wstring& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    return DownloadedFile(file == INVALID_HANDLE_VALUE ? nullptr : file, path);
}

TEST(InstallerSignature, ARefusedDownloadIsDeletedWithOneDiagnosticLine)
{
    const std::string program = ReadFileText(Signed(L"publisher"));
    const std::wstring path = WriteCopy(WithByteFlipped(program, program.size() / 2));
    DownloadedFile download = HeldDownload(path);

    testsupport::StartCapturingStdout();
    const bool admitted = AdmitInstaller(download, kPublisher);
    const std::string log = testsupport::CapturedStdout();

    EXPECT_FALSE(admitted);
    EXPECT_FALSE(download.IsOpen());
    EXPECT_FALSE(Exists(path)) << "a refused installer was left on disk";
    EXPECT_EQ(log, "installer signature: the file differs from what was signed (0x80096010)\n");
}

TEST(InstallerSignature, AnAdmittedDownloadStaysHeldAgainstChanges)
{
    const std::wstring path = WriteCopy(ReadFileText(Signed(L"publisher")));
    DownloadedFile download = HeldDownload(path);

    testsupport::StartCapturingStdout();
    EXPECT_TRUE(AdmitInstaller(download, kPublisher));
    EXPECT_EQ(testsupport::CapturedStdout(), "");

    EXPECT_TRUE(download.IsOpen());
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE) << "the admitted installer could be changed";
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));
    download.Close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new netrig::TrustedCaEnvironment);
    return RUN_ALL_TESTS();
}
