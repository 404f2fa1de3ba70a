#include "InstallerSignature.h"

#include "Diagnostics.h"
#include "TextConvert.h"

#include "core/SystemLibrary.h"

#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

#include <cstdio>
#include <optional>
#include <utility>

#ifndef MEVRA_INSTALLER_PUBLISHER
#define MEVRA_INSTALLER_PUBLISHER "Mevra Ltd"
#endif
#ifndef MEVRA_INSTALLER_PUBLISHER_ORGANIZATION
#define MEVRA_INSTALLER_PUBLISHER_ORGANIZATION ""
#endif

namespace {

// wintrust.dll and crypt32.dll are not known DLLs on every Windows: searched
// for the ordinary way, a copy planted beside the elevated updater would be
// loaded. They come from the system folder only, for as long as one check runs.
template <typename Function>
bool Find(const Facet::SystemLibrary& library, const char* name, Function& function)
{
    function = library.Procedure<Function>(name);
    return function != nullptr;
}

// What the check calls of the two libraries.
struct TrustFunctions
{
    decltype(&::WinVerifyTrust) verifyTrust = nullptr;
    decltype(&::WTHelperProvDataFromStateData) providerData = nullptr;
    decltype(&::WTHelperGetProvSignerFromChain) signerOf = nullptr;
    decltype(&::WTHelperGetProvCertFromChain) certificateOf = nullptr;
    decltype(&::CertGetCertificateChain) getChain = nullptr;
    decltype(&::CertFreeCertificateChain) freeChain = nullptr;
    decltype(&::CertGetNameStringW) nameOf = nullptr;
};

class TrustLibraries
{
public:
    TrustLibraries() : m_wintrust(L"wintrust.dll"), m_crypt32(L"crypt32.dll")
    {
        m_found = Find(m_wintrust, "WinVerifyTrust", m_functions.verifyTrust) &&
                  Find(m_wintrust, "WTHelperProvDataFromStateData", m_functions.providerData) &&
                  Find(m_wintrust, "WTHelperGetProvSignerFromChain", m_functions.signerOf) &&
                  Find(m_wintrust, "WTHelperGetProvCertFromChain", m_functions.certificateOf) &&
                  Find(m_crypt32, "CertGetCertificateChain", m_functions.getChain) &&
                  Find(m_crypt32, "CertFreeCertificateChain", m_functions.freeChain) &&
                  Find(m_crypt32, "CertGetNameStringW", m_functions.nameOf);
    }

    // Null when a library or a function is missing.
    const TrustFunctions* Functions() const { return m_found ? &m_functions : nullptr; }

    // The load error of the first library that did not load (or ERROR_PROC_NOT_FOUND).
    DWORD Error() const
    {
        if (m_wintrust.Error() != 0)
            return m_wintrust.Error();
        return m_crypt32.Error() != 0 ? m_crypt32.Error() : ERROR_PROC_NOT_FOUND;
    }

private:
    Facet::SystemLibrary m_wintrust;
    Facet::SystemLibrary m_crypt32;
    TrustFunctions m_functions;
    bool m_found = false;
};

// One WinVerifyTrust run over the open file, whose state (the signer and the
// certificates the signature carries) lives until this is destroyed.
class PlatformVerification
{
public:
    PlatformVerification(const TrustFunctions& api, HANDLE file, const std::wstring& path) : m_api(api), m_path(path)
    {
        m_file.cbStruct = sizeof(m_file);
        m_file.pcwszFilePath = m_path.c_str();
        m_file.hFile = file;
        m_data.cbStruct = sizeof(m_data);
        m_data.dwUIChoice = WTD_UI_NONE;
        // No revocation check beyond the platform's own policy, which accepts a
        // status that cannot be learnt offline.
        m_data.fdwRevocationChecks = WTD_REVOKE_NONE;
        m_data.dwUnionChoice = WTD_CHOICE_FILE;
        m_data.pFile = &m_file;
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_status = m_api.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
    }
    ~PlatformVerification()
    {
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        m_api.verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &m_action, &m_data);
    }
    PlatformVerification(const PlatformVerification&) = delete;
    PlatformVerification& operator=(const PlatformVerification&) = delete;

    LONG Status() const { return m_status; }

    // The first signer as the platform read it; null when there is none.
    CRYPT_PROVIDER_SGNR* Signer() const
    {
        CRYPT_PROVIDER_DATA* data = m_api.providerData(m_data.hWVTStateData);
        return data != nullptr ? m_api.signerOf(data, 0, FALSE, 0) : nullptr;
    }

private:
    const TrustFunctions& m_api;
    std::wstring m_path;
    GUID m_action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    WINTRUST_FILE_INFO m_file = {};
    WINTRUST_DATA m_data = {};
    LONG m_status = 0;
};

// The certificate of a signer or counter-signer: the first of its chain.
PCCERT_CONTEXT CertificateOf(const TrustFunctions& api, CRYPT_PROVIDER_SGNR& signer)
{
    const CRYPT_PROVIDER_CERT* certificate = api.certificateOf(&signer, 0);
    return certificate != nullptr ? certificate->pCert : nullptr;
}

struct Refusal
{
    long status;
    const char* reason;
};

// The reasons of the refusals, by the platform's code.
const Refusal kReasons[] = {
    {TRUST_E_NOSIGNATURE, "not signed"},
    {TRUST_E_BAD_DIGEST, "the file differs from what was signed"},
    {TRUST_E_SUBJECT_FORM_UNKNOWN, "not a program"},
    {TRUST_E_NO_SIGNER_CERT, "the signature names no signer certificate"},
    {TRUST_E_CERT_SIGNATURE, "a signature over the file or over a certificate of its signer is not valid"},
    {CERT_E_UNTRUSTEDROOT, "the signer's root is not trusted by this machine"},
    {CERT_E_CHAINING, "the signer's chain does not reach a root this machine trusts"},
    {CERT_E_EXPIRED, "the signing certificate has expired or is not valid yet"},
    {CERT_E_REVOKED, "the signing certificate is revoked"},
    {CERT_E_WRONG_USAGE, "the signing certificate is not for code signing"},
    {TRUST_E_EXPLICIT_DISTRUST, "the signer is distrusted on this machine"},
};

const char* ReasonOf(long status)
{
    for (const Refusal& known : kReasons) {
        if (known.status == status)
            return known.reason;
    }
    return "the signature is not accepted";
}

SignatureVerdict Refused(long status, std::string reason)
{
    SignatureVerdict verdict;
    verdict.status = status;
    verdict.reason = std::move(reason);
    return verdict;
}

SignatureVerdict Refused(long status)
{
    return Refused(status, ReasonOf(status));
}

SignatureVerdict Accepted()
{
    SignatureVerdict verdict;
    verdict.accepted = true;
    return verdict;
}

// The errors of a chain's own trust status, most telling first.
struct ChainFault
{
    DWORD bits;
    long status;
};
const ChainFault kChainFaults[] = {
    {CERT_TRUST_IS_REVOKED, CERT_E_REVOKED},
    {CERT_TRUST_IS_NOT_SIGNATURE_VALID, TRUST_E_CERT_SIGNATURE},
    {CERT_TRUST_IS_EXPLICIT_DISTRUST, TRUST_E_EXPLICIT_DISTRUST},
    {CERT_TRUST_IS_UNTRUSTED_ROOT, CERT_E_UNTRUSTEDROOT},
    {CERT_TRUST_IS_PARTIAL_CHAIN, CERT_E_CHAINING},
    {CERT_TRUST_IS_NOT_TIME_VALID, CERT_E_EXPIRED},
    {CERT_TRUST_IS_NOT_VALID_FOR_USAGE, CERT_E_WRONG_USAGE},
};

// What offline revocation checking may leave unknown without refusing a file.
constexpr DWORD kUnknownRevocation = CERT_TRUST_REVOCATION_STATUS_UNKNOWN | CERT_TRUST_IS_OFFLINE_REVOCATION;

long StatusOfChainErrors(DWORD errors)
{
    for (const ChainFault& fault : kChainFaults) {
        if ((errors & fault.bits) != 0)
            return fault.status;
    }
    return CERT_E_CHAINING;
}

// Builds the chain of `certificate` with the machine's engine, at `when` (null:
// now), for `usage`, with the certificates that came with it (its own store),
// and reads the chain's own trust status.
SignatureVerdict CheckChain(const TrustFunctions& api, PCCERT_CONTEXT certificate, const FILETIME* when,
                            const char* usage)
{
    LPSTR usages[] = {const_cast<LPSTR>(usage)};
    CERT_CHAIN_PARA parameters = {};
    parameters.cbSize = sizeof(parameters);
    parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
    parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
    parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
    FILETIME time = {};
    if (when != nullptr)
        time = *when;
    PCCERT_CHAIN_CONTEXT chain = nullptr;
    if (!api.getChain(
            HCCE_LOCAL_MACHINE, certificate, when != nullptr ? &time : nullptr, certificate->hCertStore, &parameters,
            CERT_CHAIN_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT | CERT_CHAIN_REVOCATION_CHECK_CACHE_ONLY, nullptr, &chain))
        return Refused(HRESULT_FROM_WIN32(GetLastError()), "the signer's certificate chain cannot be built");
    const DWORD errors = chain->TrustStatus.dwErrorStatus & ~kUnknownRevocation;
    api.freeChain(chain);
    return errors == CERT_TRUST_NO_ERROR ? Accepted() : Refused(StatusOfChainErrors(errors));
}

// The time of a time stamp that the platform verified for `signer`, made by an
// authority that chains to a root the machine trusts for time stamping. None
// when there is no such stamp (some platforms verify no stamps at all).
std::optional<FILETIME> VerifiedTimeStamp(const TrustFunctions& api, CRYPT_PROVIDER_SGNR& signer)
{
    for (DWORD i = 0; i < signer.csCounterSigners; ++i) {
        CRYPT_PROVIDER_SGNR& stamp = signer.pasCounterSigners[i];
        const PCCERT_CONTEXT authority = CertificateOf(api, stamp);
        if (stamp.dwError != 0 || authority == nullptr)
            continue;
        if (CheckChain(api, authority, &stamp.sftVerifyAsOf, szOID_PKIX_KP_TIMESTAMP_SIGNING).accepted)
            return stamp.sftVerifyAsOf;
    }
    return std::nullopt;
}

// The first value of one attribute of the certificate's subject; empty when it has none.
std::wstring SubjectAttribute(const TrustFunctions& api, PCCERT_CONTEXT certificate, const char* attribute)
{
    void* type = const_cast<char*>(attribute);
    const DWORD length = api.nameOf(certificate, CERT_NAME_ATTR_TYPE, 0, type, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring value(length, L'\0');
    api.nameOf(certificate, CERT_NAME_ATTR_TYPE, 0, type, &value[0], length);
    value.resize(length - 1);
    return value;
}

SignatureVerdict CheckPublisher(const TrustFunctions& api, PCCERT_CONTEXT certificate,
                                const InstallerPublisher& publisher)
{
    const std::wstring commonName = SubjectAttribute(api, certificate, szOID_COMMON_NAME);
    const std::wstring organization = SubjectAttribute(api, certificate, szOID_ORGANIZATION_NAME);
    if (commonName == publisher.commonName &&
        (publisher.organization.empty() || organization == publisher.organization))
        return Accepted();
    std::string signer = "\"" + ToNarrow(commonName) + "\"";
    if (!organization.empty())
        signer += " of \"" + ToNarrow(organization) + "\"";
    return Refused(CERT_E_CN_NO_MATCH, "signed by another publisher, " + signer);
}

std::string HexStatus(long status)
{
    char text[16] = {};
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(status));
    return text;
}

} // namespace

InstallerPublisher BuildPublisher()
{
    return {L"" MEVRA_INSTALLER_PUBLISHER, L"" MEVRA_INSTALLER_PUBLISHER_ORGANIZATION};
}

SignatureVerdict VerifyInstallerSignature(HANDLE file, const std::wstring& path, const InstallerPublisher& publisher)
{
    const TrustLibraries libraries;
    const TrustFunctions* api = libraries.Functions();
    if (api == nullptr)
        return Refused(HRESULT_FROM_WIN32(libraries.Error()), "the system's signature check cannot be loaded");

    const PlatformVerification verification(*api, file, path);
    if (verification.Status() != ERROR_SUCCESS)
        return Refused(verification.Status());
    CRYPT_PROVIDER_SGNR* signer = verification.Signer();
    const PCCERT_CONTEXT certificate = signer != nullptr ? CertificateOf(*api, *signer) : nullptr;
    if (certificate == nullptr)
        return Refused(TRUST_E_NO_SIGNER_CERT);

    const std::optional<FILETIME> stampTime = VerifiedTimeStamp(*api, *signer);
    SignatureVerdict verdict = CheckChain(*api, certificate, stampTime ? &*stampTime : nullptr,
                                          szOID_PKIX_KP_CODE_SIGNING);
    if (verdict.accepted)
        verdict = CheckPublisher(*api, certificate, publisher);
    verdict.timeStamped = stampTime.has_value();
    return verdict;
}

std::string DescribeSignatureRefusal(const SignatureVerdict& verdict)
{
    return "installer signature: " + verdict.reason + " (" + HexStatus(verdict.status) + ")";
}

bool AdmitInstaller(DownloadedFile& installer, const InstallerPublisher& publisher)
{
    const SignatureVerdict verdict = VerifyInstallerSignature(installer.Handle(), installer.Path(), publisher);
    if (verdict.accepted)
        return true;
    WriteDiagnosticLine(stdout, DescribeSignatureRefusal(verdict));
    if (!installer.Discard())
        WriteDiagnosticLine(stdout, "installer signature: the refused file stays, it cannot be deleted (" +
                                        std::to_string(GetLastError()) + ")");
    return false;
}
