#include "ConsoleRunner.h"

#include "Diagnostics.h"
#include "KernelHandle.h"
#include "TextConvert.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A process-and-thread attribute list that lets the child inherit exactly the
// handles named, and nothing else this process holds as inheritable (another
// thread's pipe, for example, whose end of output would otherwise wait for us).
class InheritList
{
public:
    explicit InheritList(std::vector<HANDLE> handles) : m_handles(std::move(handles))
    {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        if (size == 0)
            return;
        m_storage.resize(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data());
        if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
            return;
        m_initialised = true;
        if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, m_handles.data(),
                                      m_handles.size() * sizeof(HANDLE), nullptr, nullptr))
            m_list = list;
    }
    ~InheritList()
    {
        if (m_initialised)
            DeleteProcThreadAttributeList(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(m_storage.data()));
    }
    InheritList(const InheritList&) = delete;
    InheritList& operator=(const InheritList&) = delete;

    // Null when the platform cannot restrict inheritance; the child then inherits
    // every inheritable handle, as plain CreateProcess does.
    LPPROC_THREAD_ATTRIBUTE_LIST Get() const { return m_list; }

private:
    std::vector<HANDLE> m_handles;
    std::vector<unsigned char> m_storage;
    bool m_initialised = false;
    LPPROC_THREAD_ATTRIBUTE_LIST m_list = nullptr;
};

std::wstring SystemFolder()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const UINT length = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
        if (length == 0)
            return L"C:\\Windows\\System32";
        if (length < buffer.size())
            return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

} // namespace

std::wstring SystemProgramPath(const std::wstring& name)
{
    return SystemFolder() + L"\\" + name;
}

std::wstring SystemConsoleCommand(const std::wstring& program, const std::wstring& arguments)
{
    // cmd.exe /c strips the outer pair of quotes, leaving "<program>" <arguments>.
    return L"\"" + SystemProgramPath(L"cmd.exe") + L"\" /c \"\"" + SystemProgramPath(program) + L"\" " + arguments +
           L"\"";
}

namespace {

// The pipe a child writes its output and errors into.
struct OutputPipe
{
    KernelHandle readEnd;
    KernelHandle writeEnd;
};

// A started child: it runs on its own; only its output is awaited.
struct StartedChild
{
    KernelHandle process;
    KernelHandle thread;
};

SECURITY_ATTRIBUTES InheritableAttributes()
{
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof(inheritable);
    inheritable.bInheritHandle = TRUE;
    return inheritable;
}

bool CreateOutputPipe(SECURITY_ATTRIBUTES& inheritable, OutputPipe& pipe)
{
    if (!CreatePipe(pipe.readEnd.Receive(), pipe.writeEnd.Receive(), &inheritable, 0))
        return false;
    // Only the write end goes to the child: a child holding the read end would
    // keep the pipe open after every writer had finished.
    SetHandleInformation(pipe.readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    return true;
}

// Starts `command` hidden, writing into `writeEnd`. This process's copy of the
// write end (and of the child's input) is closed on return, so that reading
// ends when the child (and whatever it started with the handle) has closed its own.
std::optional<StartedChild> StartHidden(std::wstring command, SECURITY_ATTRIBUTES& inheritable, KernelHandle writeEnd)
{
    // The child reads from the null device: a hidden command that asks a question
    // (net stop asks before stopping dependent services) gets end of input instead
    // of waiting for ever for an answer nobody can see.
    const KernelHandle input(
        CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0, nullptr));

    std::vector<HANDLE> inherited{writeEnd.Get()};
    if (input)
        inherited.push_back(input.Get());
    InheritList inheritList(inherited);

    STARTUPINFOEXW startup = {};
    startup.StartupInfo.cb = sizeof(startup);
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = input.Get();
    startup.StartupInfo.hStdOutput = writeEnd.Get();
    startup.StartupInfo.hStdError = writeEnd.Get();
    DWORD creationFlags = 0;
    if (inheritList.Get() != nullptr) {
        startup.lpAttributeList = inheritList.Get();
        creationFlags |= EXTENDED_STARTUPINFO_PRESENT;
    } else {
        startup.StartupInfo.cb = sizeof(STARTUPINFOW);
    }

    PROCESS_INFORMATION process = {};
    command.push_back(L'\0');
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, creationFlags, nullptr, nullptr,
                        &startup.StartupInfo, &process))
        return std::nullopt;
    std::optional<StartedChild> child(std::in_place);
    child->thread.Reset(process.hThread);
    child->process.Reset(process.hProcess);
    return child;
}

// Everything that arrives through the pipe until every writer has closed it.
std::string ReadToEnd(KernelHandle readEnd)
{
    std::string collected;
    char buffer[1024];
    DWORD received = 0;
    while (ReadFile(readEnd.Get(), buffer, sizeof(buffer), &received, nullptr))
        collected.append(buffer, received);
    return collected;
}

} // namespace

std::wstring RunConsoleCommand(std::wstring command)
{
    SECURITY_ATTRIBUTES inheritable = InheritableAttributes();
    OutputPipe pipe;
    if (!CreateOutputPipe(inheritable, pipe)) {
        WriteDiagnosticLine(stdout, "error 1: CreatePipe failed!");
        return std::wstring();
    }
    const std::optional<StartedChild> child = StartHidden(std::move(command), inheritable, std::move(pipe.writeEnd));
    if (!child) {
        WriteDiagnosticLine(stdout, "error 2: CreateProcess failed!");
        return L"Cannot create process";
    }
    const std::string collected = ReadToEnd(std::move(pipe.readEnd));

    const std::string shown = collected.substr(0, collected.find('\0'));
    WriteDiagnosticLine(stdout, "strReturn is :" + shown);
    return ToWide(shown);
}
