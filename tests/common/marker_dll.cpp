// An empty library: planted under a name the system does not have, it shows where a load by name looked.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
