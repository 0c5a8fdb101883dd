// Program entry: the platform, the four windows, the message loop.
#include <windows.h>

#include "app/Ui.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Quillbox", ui::kAppTitle, MB_OK);
    return 0;
}
