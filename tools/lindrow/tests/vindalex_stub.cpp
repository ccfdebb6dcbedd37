// Stands in for the main program in the copier's tests: records that it was started,
// in which folder and with which arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main() {
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::FILE* f = std::fopen("vindalex-started.txt", "wb");
    if (!f) return 1;
    std::fprintf(f, "%s\n%s\n", folder, GetCommandLineA());
    std::fclose(f);
    return 0;
}
