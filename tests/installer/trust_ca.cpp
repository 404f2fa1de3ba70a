// Adds a DER certificate to, or removes it from, the machine's "Root" store of
// the Wine prefix it runs in:  trust_ca add|remove <certificate.der>
// A process of its own, so that the program using the trust builds its
// certificate chains only after the store has changed.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::vector<BYTE> ReadAll(const wchar_t* path)
{
    std::vector<BYTE> bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    BYTE buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
        bytes.insert(bytes.end(), buffer, buffer + read);
    CloseHandle(file);
    return bytes;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3)
        return 2;
    const std::wstring command = argv[1];
    const std::vector<BYTE> der = ReadAll(argv[2]);
    if (der.empty()) {
        std::fprintf(stderr, "trust_ca: cannot read the certificate\n");
        return 3;
    }
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    if (root == nullptr) {
        std::fprintf(stderr, "trust_ca: cannot open the Root store (%lu)\n", GetLastError());
        return 4;
    }
    PCCERT_CONTEXT added = nullptr;
    BOOL done = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size()),
                                                 CERT_STORE_ADD_REPLACE_EXISTING, &added);
    if (done && command == L"remove")
        done = CertDeleteCertificateFromStore(added); // frees the context
    else if (added != nullptr)
        CertFreeCertificateContext(added);
    const DWORD error = GetLastError();
    CertCloseStore(root, 0);
    if (!done) {
        std::fprintf(stderr, "trust_ca: %ls failed (%lu)\n", command.c_str(), error);
        return 5;
    }
    return 0;
}
