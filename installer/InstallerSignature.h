// The check that a downloaded installer is the vendor's own, made before it is
// started: HTTPS protects the transfer, not the file, and the updater starts it
// with administrator rights.
//
// A file passes when
//   1. it carries an Authenticode signature whose digest matches it (the
//      platform's WinVerifyTrust, generic verify action, no UI);
//   2. the signer's certificate chains, for code signing, to a root the machine
//      trusts: the chain is built here again and its own trust status read,
//      because some platforms' WinVerifyTrust answers success for a root nobody
//      trusts or for an expired certificate. The machine's chain engine is used,
//      not the user's, so a root that only the user added is not enough;
//   3. the signer's certificate names the publisher the build names;
//   4. its certificate is valid now, or at the time of a time stamp the platform
//      verified (where it verifies any) whose authority chains, for time
//      stamping, to a root the machine trusts.
// Revocation is checked as far as the platform's own policy and its cached
// revocation lists allow without going online: a status that cannot be learnt
// offline does not refuse a file, a known revocation does.
#pragma once

#include "DownloadedFile.h"

#include <windows.h>

#include <string>

// The subject that the signer's certificate must carry: its common name, and
// its organisation unless that is empty. Both are compared exactly.
struct InstallerPublisher
{
    std::wstring commonName;
    std::wstring organization;
};

// The publisher this build accepts, from the build settings MEVRA_INSTALLER_PUBLISHER
// and MEVRA_INSTALLER_PUBLISHER_ORGANIZATION.
InstallerPublisher BuildPublisher();

struct SignatureVerdict
{
    bool accepted = false;
    // Why the file was refused, for a diagnostic line; empty when accepted.
    std::string reason;
    // The code behind the reason: an HRESULT of the trust and certificate
    // families (TRUST_E_*, CERT_E_*), or of a system error; 0 when accepted.
    long status = 0;
    // The signer was judged at the time of a verified time stamp, not now.
    bool timeStamped = false;
};

// Checks the file open in `file` (read access; the handle is what is hashed)
// whose name is `path`. Hold the file against changes while this runs, and run
// it off the UI thread: it reads the whole file. Any thread may call it.
SignatureVerdict VerifyInstallerSignature(HANDLE file, const std::wstring& path, const InstallerPublisher& publisher);

// The diagnostic line of a refusal, without its line end:
// "installer signature: <reason> (0x800B0100)".
std::string DescribeSignatureRefusal(const SignatureVerdict& verdict);

// The hand-off's gate, on the worker thread: true when `installer` passes, still
// held open. Otherwise it writes the refusal's diagnostic line to standard output
// and deletes the file, so that no refused file is left where the next attempt
// or a user could start it, and answers false.
bool AdmitInstaller(DownloadedFile& installer, const InstallerPublisher& publisher);
