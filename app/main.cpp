// Program entry: the real platform, the four windows (the strip first, then the three dialogs),
// and the message loop until the strip closes. The strip shows before the dialogs are created:
// its first paint needs none of them. They are created before the first message is handled, so
// from then to the end every window exists, and they take the places the strip's start read
// from the settings file.
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
    Form3 = new TForm3;
    Form4 = new TForm4;

    Form1->Show();

    Form2->Create();
    Form3->Create();
    Form4->Create();
    Form1->CompleteStart();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    platform::SetCurrent(nullptr);
    return static_cast<int>(msg.wParam);
}
