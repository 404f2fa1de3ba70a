// A child program for the process-runner tests. It writes known bytes straight to
// its standard handles (no C runtime translation), so the tests can compare the
// collected output byte for byte.
//
//   console_writer silent                nothing
//   console_writer repeat <count>        <count> bytes of the pattern "0123456789abcdef"
//   console_writer pieces                pieces of uneven sizes, with pauses between them
//   console_writer interleave <count>    "out<i>\n" to stdout and "err<i>\n" to stderr, alternately
//   console_writer zero                  "before\0after"
//   console_writer handle <hex value>    "open" when that handle value is valid here, else "closed"
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Write(DWORD which, const std::string& bytes)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string Pattern(size_t count, size_t offset)
{
    static const char kPattern[] = "0123456789abcdef";
    std::string bytes;
    for (size_t i = 0; i < count; ++i)
        bytes.push_back(kPattern[(offset + i) % 16]);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "silent";
    if (mode == "repeat" && argc > 2) {
        Write(STD_OUTPUT_HANDLE, Pattern(std::strtoul(argv[2], nullptr, 10), 0));
    } else if (mode == "pieces") {
        static const size_t kSizes[] = {1, 1023, 1024, 1025, 7, 3000, 2, 511};
        size_t offset = 0;
        for (size_t size : kSizes) {
            Write(STD_OUTPUT_HANDLE, Pattern(size, offset));
            offset += size;
            Sleep(20);
        }
    } else if (mode == "interleave" && argc > 2) {
        const int count = std::atoi(argv[2]);
        for (int i = 0; i < count; ++i) {
            Write(STD_OUTPUT_HANDLE, "out" + std::to_string(i) + "\n");
            Write(STD_ERROR_HANDLE, "err" + std::to_string(i) + "\n");
        }
    } else if (mode == "zero") {
        Write(STD_OUTPUT_HANDLE, std::string("before\0after", 12));
    } else if (mode == "handle" && argc > 2) {
        const auto value = static_cast<uintptr_t>(std::strtoull(argv[2], nullptr, 16));
        DWORD flags = 0;
        Write(STD_OUTPUT_HANDLE, GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? "open" : "closed");
    }
    return 0;
}
