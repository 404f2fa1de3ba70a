#include "Diagnostics.h"

void WriteDiagnosticLine(std::FILE* stream, const std::string& text)
{
    WriteDiagnosticText(stream, text + "\n");
}

void WriteDiagnosticText(std::FILE* stream, const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void WriteDiagnosticText(std::FILE* stream, const std::wstring& text)
{
    std::fputws(text.c_str(), stream);
    std::fflush(stream);
}
