// The strip follows Jw_cad at once, long before its timer (set to a minute here) would: a Jw_cad
// started later is taken up when its window is created, and another drawing opened in the base
// window shows its tags as soon as the pointer comes onto the strip.
#include <gtest/gtest.h>

#include "driver/Driver.h"
#include "tags/Func_.h"

#include <commctrl.h>

using namespace e2e;

namespace {

const std::wstring kFolder = L"図面";
const std::wstring kPlan = L"平面図.jww";
const std::wstring kElevation = L"立面図.jww";

// A timer of a minute, and the strip away from where Jw_cad's window opens.
const std::string kSettings =
    "0\r\n60000\r\n0.02\r\n0\r\n900\r\n700\r\n256\r\n82\r\n192\r\n110\r\n237\r\n131\r\n192\r\n"
    "107\r\n415\r\n281\r\n81\r\n296\r\n";

class Follow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(QuillboxExe().empty()) << "quillbox.exe is not built";
        plan = ws.CreateDrawing(kFolder + L"\\" + kPlan);
        elevation = ws.CreateDrawing(kFolder + L"\\" + kElevation);
        exe = ws.InstallQuillbox();
        const std::wstring base = exe.substr(0, exe.size() - 4);
        ASSERT_TRUE(WriteBytes(base + L".dat", kSettings));
        ASSERT_TRUE(WriteBytes(base + L".tag", UpperSjis(Sjis(elevation)) + "\r\n2\r\n" +
                                                   Sjis(kElevation) + "\r\n" + Sjis(elevation) +
                                                   "\r\nSection\r\nC:\\section.jww\r\n"));
        // The pointer away from the strip, so that moving it there later comes onto it.
        ASSERT_TRUE(XdoTool(L"mousemove 1200 100"));
    }

    void TearDown() override {
        quillbox.Kill();
        EndEveryDrawing();
    }

    void StartStrip() {
        quillbox = Start(L"\"" + exe + L"\"", ws.folder());
        ASSERT_TRUE(WaitFor([&] {
            return (strip = FindUnownedWindowOf(quillbox.pid(), true, L"QuillboxStrip")) != nullptr;
        }));
        tab = FindChild(strip, WC_TABCONTROLW);
        ASSERT_NE(tab, nullptr);
    }

    bool WaitForTabs(const std::vector<std::wstring>& tabs, DWORD timeoutMs) {
        return WaitFor([&] { return TabTexts(tab) == tabs; }, timeoutMs);
    }

    Workspace ws;
    std::wstring plan, elevation, exe;
    Process quillbox;
    HWND strip = nullptr;
    HWND tab = nullptr;
};

}  // namespace

// Wine announces the creation of the window; the strip takes it up then, not a minute later.
TEST_F(Follow, AJwcadStartedLaterIsTakenUpAtOnce) {
    StartStrip();
    ASSERT_TRUE(WaitForTabs({}, 8000));
    Process jw = ws.StartJwsim(plan);
    ASSERT_NE(WaitForProcessWindow(jw.pid()), nullptr);
    EXPECT_TRUE(WaitForTabs({kPlan}, 5000));
}

// Jw_cad opening another drawing in its window is not announced under Wine: the pointer coming
// onto the strip shows that drawing's own tags before any click.
TEST_F(Follow, AnotherDrawingInTheBaseWindowShowsWhenThePointerComes) {
    StartStrip();
    // Its File > Open, a moment after it started, names the other drawing in its title.
    Process jw = ws.StartJwsim(
        plan, {}, {{L"JWSIM_OPEN_PATH", elevation}, {L"JWSIM_OPEN_AFTER_MS", L"2500"}});
    HWND jwWindow = WaitForProcessWindow(jw.pid());
    ASSERT_NE(jwWindow, nullptr);
    ASSERT_TRUE(WaitForTabs({kPlan}, 2000)) << "taken up before it opened the other drawing";
    ASSERT_TRUE(WaitFor([&] { return WindowTitle(jwWindow) == kElevation + L" - jw_win"; }));
    const RECT r = WindowRect(strip);
    ASSERT_TRUE(
        XdoTool(L"mousemove " + std::to_wstring(r.left + 20) + L" " + std::to_wstring(r.top + 10)));
    EXPECT_TRUE(WaitForTabs({kElevation, L"Section"}, 5000));
}
