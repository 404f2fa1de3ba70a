// The part of the installer's body that a failed attempt received, kept for the
// next attempt to ask for the rest instead of starting again at zero.
#pragma once

#include "KernelHandle.h"

#include <cstdint>
#include <string>

// The part is the file "<target>.partial", held open from its creation on:
// the updater reads and writes it, others may only read it, and it is never
// opened again by its name, so it cannot be swapped or changed between
// attempts. It is never started and never has the installer's name until it
// holds the whole body. The caller passes it from attempt to attempt; one
// attempt uses it at a time.
struct PartialDownload
{
    KernelHandle file;
    // The response's strong ETag, else its Last-Modified; empty: never resumed.
    std::wstring validator;
    // The whole body's length; 0 while unknown (never resumed then).
    std::uint64_t fullLength = 0;
    // The bytes of the body in `file`, from its start.
    std::uint64_t received = 0;

    // Whether the rest can be asked for ("Range: bytes=<received>-" with
    // "If-Range: <validator>").
    bool CanResume() const
    {
        return file && !validator.empty() && fullLength > 0 && received > 0 && received < fullLength;
    }

    // Deletes the file (it goes with its handle) and forgets it all.
    void Discard();
};

// The validator the rest of a body may be asked for with: a strong ETag
// ("W/" marks a weak one, which If-Range may not carry), else Last-Modified,
// else none.
std::wstring ResumeValidator(const std::wstring& etag, const std::wstring& lastModified);

// Whether a 206's Content-Range ("bytes <first>-<last>/<length>") continues the
// part: it starts at `received` and runs to the end of a body of `fullLength`.
bool ContinuesThePart(const std::wstring& contentRange, std::uint64_t received, std::uint64_t fullLength);
