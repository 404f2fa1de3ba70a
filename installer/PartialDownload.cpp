#include "PartialDownload.h"

#include "LinkSafeFiles.h"

#include <optional>

namespace {

// Digits from `at` up to the first other character, which `at` then points at.
std::optional<std::uint64_t> ReadNumber(const std::wstring& text, size_t& at)
{
    const size_t start = at;
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at) {
        if (value > (~0ull - 9) / 10)
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[at] - L'0');
    }
    return at > start ? std::optional<std::uint64_t>(value) : std::nullopt;
}

bool Expect(const std::wstring& text, size_t& at, const wchar_t* literal)
{
    const std::wstring expected(literal);
    if (text.compare(at, expected.size(), expected) != 0)
        return false;
    at += expected.size();
    return true;
}

// Printable ASCII only: a header value never carries a line end into the next request.
bool IsPlainHeaderValue(const std::wstring& value)
{
    for (wchar_t c : value) {
        if (c < 0x20 || c > 0x7E)
            return false;
    }
    return true;
}

} // namespace

void PartialDownload::Discard()
{
    if (file)
        DeleteOnClose(file.Get());
    file.Reset();
    validator.clear();
    fullLength = 0;
    received = 0;
}

std::wstring ResumeValidator(const std::wstring& etag, const std::wstring& lastModified)
{
    if (etag.size() >= 2 && etag.front() == L'"' && etag.back() == L'"' && IsPlainHeaderValue(etag))
        return etag;
    return IsPlainHeaderValue(lastModified) ? lastModified : std::wstring();
}

bool ContinuesThePart(const std::wstring& contentRange, std::uint64_t received, std::uint64_t fullLength)
{
    size_t at = 0;
    if (!Expect(contentRange, at, L"bytes "))
        return false;
    const std::optional<std::uint64_t> first = ReadNumber(contentRange, at);
    if (!first || !Expect(contentRange, at, L"-"))
        return false;
    const std::optional<std::uint64_t> last = ReadNumber(contentRange, at);
    if (!last || !Expect(contentRange, at, L"/"))
        return false;
    const std::optional<std::uint64_t> length = ReadNumber(contentRange, at);
    return length && at == contentRange.size() && *first == received && *length == fullLength &&
           *last + 1 == fullLength;
}
