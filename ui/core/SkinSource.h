// CSkinSource: turns the name of a skin document or image into its bytes,
// from whichever source the process-wide settings of CPaintManagerUI select:
// a file under the resource folder, an entry of the resource zip archive (a
// file or a block in memory), or a resource compiled into a module.
#pragma once

#include <windows.h>

#include <vector>

#include "FacetString.h"
#include "StringOrId.h"

namespace Facet {

class CZipArchive;

class CSkinSource
{
public:
    enum Status {
        kOk,
        kFileOpenFailed,     // "Error opening file"
        kFileEmpty,          // "File is empty" (a file, an entry or a resource)
        kFileTooLarge,       // "File too large"
        kFileReadFailed,     // "Could not read file"
        kZipOpenFailed,      // "Error opening zip file"
        kZipEntryMissing,    // "Could not find ziped file"
        kZipEntryReadFailed, // "Could not unzip file"
        kResourceMissing,    // no resource of that name and type
        kResourceReadFailed, // the resource was found but could not be loaded
        kNoName,             // a null or empty name
    };

    // No size limit beyond what a buffer can hold.
    static constexpr unsigned long kNoSizeLimit = 0xFFFFFFFFul;
    // The limit for skin documents.
    static constexpr unsigned long kDocumentSizeLimit = 0x400000ul;

    // The bytes of the skin document `name`: the file resource path + name when
    // no resource zip is set, else the archive entry `name` (case-insensitive).
    // Sizes above `maxSize` are refused.
    static Status ReadDocument(const wchar_t* name, std::vector<unsigned char>& bytes,
                               unsigned long maxSize = kDocumentSizeLimit);

    // The bytes of an image. With a resource `type` (other than "*COLOR*") the
    // image is the resource of that type in the resource module, a name that
    // starts with a digit being a resource number; otherwise it is read as a
    // document (without size limit). When that fails, a name is tried once
    // more as a plain file name (absolute, or relative to the current folder).
    // The status is that of the first attempt when both fail.
    static Status ReadImage(STRINGorID name, const wchar_t* type, std::vector<unsigned char>& bytes);

    // The resource `name` (text or number) of `type` in `module`.
    static Status ReadResource(HMODULE module, STRINGorID name, const wchar_t* type, std::vector<unsigned char>& bytes,
                               unsigned long maxSize = kNoSizeLimit);

    // The whole file `path`.
    static Status ReadFile(const wchar_t* path, std::vector<unsigned char>& bytes,
                           unsigned long maxSize = kNoSizeLimit);

    // The entry `name` (case-insensitive) of an open archive.
    static Status ReadZipEntry(CZipArchive& archive, const wchar_t* name, std::vector<unsigned char>& bytes,
                               unsigned long maxSize = kNoSizeLimit);

    // What names the document `name` within the current skin source whatever
    // its spelling, so that one document can be recognised: the full path of
    // the file under the resource folder (".\\skin.xml" and "sub\\..\\SKIN.xml"
    // name "skin.xml"), or the entry name in the resource zip with "/" for
    // separators and "." and ".." steps resolved. Lower case; empty for an
    // empty name.
    static CFacetString DocumentIdentity(const wchar_t* name);

    // The parser's message for a status ("" for kOk).
    static const wchar_t* GetStatusMessage(Status status);

    // The resource type of one-pixel colour images, which need no bytes.
    static const wchar_t* const kColorType;
};

} // namespace Facet
