// Program entry: the real platform, the four windows (the strip first, then the three dialogs,
// all before the strip is shown, since its start reads every window's place from the settings
// file), and the message loop until the strip closes.
#include "platform/win32/WinInclude.h"

#include <commctrl.h>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "platform/win32/Win32Platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    platform::Win32Platform desktop;
    platform::SetCurrent(&desktop);

    Form1 = new TForm1;
    Form1->Create();
    Form2 = new TForm2;
    Form2->Create();
    Form3 = new TForm3;
    Form3->Create();
    Form4 = new TForm4;
    Form4->Create();

    Form1->Show();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform::SetCurrent(nullptr);
    return static_cast<int>(msg.wParam);
}
