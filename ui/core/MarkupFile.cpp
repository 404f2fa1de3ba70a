// Loading a skin document by name from the configured skin source.
#include "Markup.h"

#include "SkinSource.h"

#include <vector>

namespace Facet {

// The document comes from the resource folder, or from the resource zip (the archive
// the paint manager keeps open, or one opened and closed for this load), as the process
// settings of CPaintManagerUI select. Files and zip entries above 4 MiB are refused.
// Every handle that the read opens is closed by it, on success and on failure.
bool CMarkup::LoadFromFile(const wchar_t* fileName, int encoding)
{
    Release();
    std::vector<unsigned char> bytes;
    const CSkinSource::Status status = CSkinSource::ReadDocument(fileName, bytes, CSkinSource::kDocumentSizeLimit);
    if (status != CSkinSource::kOk)
        return Failed(CSkinSource::GetStatusMessage(status));
    return LoadFromMem(bytes.data(), static_cast<unsigned long>(bytes.size()), encoding);
}

} // namespace Facet
