// A module with nothing in it: the skin tests load it from a very long path to
// read its file name back.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
