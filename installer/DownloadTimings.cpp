#include "DownloadTimings.h"

#include <algorithm>
#include <cwchar>

namespace {

const wchar_t kTimeDivisorVariable[] = L"MEVRA_TEST_TIME_DIVISOR";
const unsigned long kLargestDivisor = 1000;

DWORD Divided(DWORD value, unsigned divisor)
{
    return (std::max)(value / divisor, static_cast<DWORD>(1));
}

// 1 unless the variable holds a whole number from 2 to 1000, digits only.
unsigned TimeDivisor()
{
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(kTimeDivisorVariable, text, 16);
    if (length == 0 || length >= 16)
        return 1;
    unsigned long divisor = 0;
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        if (*c < L'0' || *c > L'9' || divisor > kLargestDivisor)
            return 1;
        divisor = divisor * 10 + static_cast<unsigned long>(*c - L'0');
    }
    return divisor >= 2 && divisor <= kLargestDivisor ? static_cast<unsigned>(divisor) : 1;
}

} // namespace

DownloadTimings DividedBy(const DownloadTimings& timings, unsigned divisor)
{
    divisor = (std::max)(divisor, 1u);
    DownloadTimings divided = timings;
    divided.resolveMs = Divided(timings.resolveMs, divisor);
    divided.connectMs = Divided(timings.connectMs, divisor);
    divided.sendMs = Divided(timings.sendMs, divisor);
    divided.receiveMs = Divided(timings.receiveMs, divisor);
    divided.rateWindowMs = Divided(timings.rateWindowMs, divisor);
    for (DWORD& wait : divided.retryWaitsMs)
        wait = Divided(wait, divisor);
    return divided;
}

DownloadTimings UpdaterDownloadTimings()
{
    return DividedBy(DownloadTimings(), TimeDivisor());
}

TransferRateRule::TransferRateRule(DWORD windowMs, std::uint32_t minimumBytesPerSecond, ULONGLONG startMs)
    : m_windowMs(windowMs),
      m_bytesPerWindow(static_cast<std::uint64_t>(minimumBytesPerSecond) * windowMs / 1000),
      m_windowStartMs(startMs)
{
}

bool TransferRateRule::Admits(ULONGLONG nowMs, std::uint64_t bytes)
{
    m_bytesInWindow += bytes;
    if (nowMs - m_windowStartMs < m_windowMs)
        return true;
    if (m_bytesInWindow < m_bytesPerWindow)
        return false;
    m_windowStartMs = nowMs;
    m_bytesInWindow = 0;
    return true;
}
