// Following Jw_cad at once: when the desktop's events, the pointer and the commands make the
// strip scan, and that they never scan more often, sooner, or inside a command.
#include <functional>

#include "StripFixture.h"

namespace {

using namespace stripfake;

class Follow : public JwcadStripTest {
  protected:
    int Scans() { return fake().enumerations; }
    // A strip started on an empty desktop whose last scan lies sinceMs back.
    void StartIdle(std::uint32_t sinceMs) {
        jw.Start();
        fake().Advance(sinceMs);
    }
};

// A burst of events costs one scan: no sooner than a moment after the first event, nor than the
// spacing after the last scan. The drawing that appeared is taken up then, as a tick would.
TEST_F(Follow, ABurstOfWindowEventsCostsOneScan) {
    const struct {
        std::uint32_t sinceLastScan;
        std::uint32_t delay;
    } cases[] = {{0, 250}, {100, 150}, {230, 50}, {5000, 50}};
    jw.Start();
    for (const auto& c : cases) {
        const auto w = fake().AddWindow("detail.jww - jw_win");
        fake().Advance(c.sinceLastScan);
        strip.rescansArmed.clear();
        const int before = Scans();
        for (int i = 0; i < 5; ++i) {
            jw.WindowsChanged();
        }
        EXPECT_EQ(strip.rescansArmed, std::vector<std::uint32_t>{c.delay}) << c.sinceLastScan;
        EXPECT_EQ(Scans(), before) << c.sinceLastScan;
        fake().Advance(c.delay);
        jw.RescanDue();
        EXPECT_EQ(Scans(), before + 1) << c.sinceLastScan;
        EXPECT_EQ(strip.tabs, std::vector<std::string>{"detail.jww"}) << c.sinceLastScan;
        fake().CloseWindow(w);
        jw.Tick();
    }
}

// A scan that ran meanwhile (the pointer came in) has seen what the events announced.
TEST_F(Follow, AScanMeanwhileLeavesTheArmedRescanNothingToDo) {
    StartIdle(0);
    jw.WindowsChanged();
    fake().Advance(300);
    jw.PointerOver();
    const int after = Scans();
    jw.RescanDue();
    EXPECT_EQ(Scans(), after);
}

// The pointer coming onto the strip and a button's command scan at once, unless a scan ran
// within the last 100 ms; the pointer moving on over the strip and a tab click do not scan.
TEST_F(Follow, PointerAndCommandsScanUnlessOneJustRan) {
    using Act = std::function<void(JwcadStrip&)>;
    const Act pointer = [](JwcadStrip& s) { s.PointerOver(); };
    const struct {
        const char* what;
        std::uint32_t sinceLastScan;
        Act act;
        bool scans;
    } cases[] = {
        {"pointer comes", 150, pointer, true},
        {"pointer comes, scan just ran", 50, pointer, false},
        {"pointer moves on", 150,
         [this](JwcadStrip& s) {
             s.PointerOver();
             fake().Advance(200);
             s.PointerOver();  // still over the strip: no second scan
         },
         true},
        {"Ｐ", 150, [](JwcadStrip& s) { s.Print(); }, true},
        {"取", 150, [](JwcadStrip& s) { s.Import(); }, true},
        {"編", 150, [](JwcadStrip& s) { s.EditTags(); }, true},
        {"印", 150, [](JwcadStrip& s) { s.BatchPrint(); }, true},
        {"閉", 150, [](JwcadStrip& s) { s.CloseLaunched(); }, true},
        {"取, scan just ran", 99, [](JwcadStrip& s) { s.Import(); }, false},
        {"tab click", 150, [](JwcadStrip& s) { s.JumpTo(0); }, false},
        {"設", 150, [](JwcadStrip& s) { s.OpenSettings(); }, false},
    };
    for (const auto& c : cases) {
        FakeStrip ui;
        JwcadStrip s{ui};
        s.Start();
        fake().Advance(c.sinceLastScan);
        const int before = Scans();
        c.act(s);
        EXPECT_EQ(Scans(), before + (c.scans ? 1 : 0)) << c.what;
        EXPECT_TRUE(ui.rescansArmed.empty()) << c.what;
        fake().Advance(1000);  // the next case's pointer comes anew
        s.Finish();
    }
}

// An interval of 0 means the strip does not follow: nothing makes it scan after the start.
TEST_F(Follow, IntervalZeroFollowsNothing) {
    StartIdle(1000);
    jw.SearchInterval = 0;
    const int before = Scans();
    jw.WindowsChanged();
    jw.PointerOver();
    jw.Print();
    jw.RescanDue();
    EXPECT_EQ(Scans(), before);
    EXPECT_TRUE(strip.rescansArmed.empty());
}

// Inside a command nothing scans: what was asked for meanwhile is scanned once it has ended,
// and decided as a tick decides (the base drawing went: the next one is taken up).
TEST_F(Follow, NoScanInsideACommandAndOneAfterIt) {
    const auto base = fake().AddWindow("detail.jww - jw_win");
    StartIdle(1000);
    KeyWait = 0.1;
    int scansInside = -1;
    fake().onMessages = [&] {
        if (scansInside >= 0) {
            return;
        }
        scansInside = Scans();
        fake().CloseWindow(base);
        fake().AddWindow("plan1.jww - jw_win");
        jw.WindowsChanged();
        jw.RescanDue();  // armed before the command began
        jw.PointerOver();
        jw.Import();  // a second click
        scansInside = Scans() - scansInside;
    };
    jw.Print();
    EXPECT_EQ(scansInside, 0);
    EXPECT_EQ(strip.tabs, std::vector<std::string>{"detail.jww"});
    ASSERT_EQ(strip.rescansArmed.size(), 1u);
    fake().Advance(strip.rescansArmed[0]);
    jw.RescanDue();
    EXPECT_EQ(strip.tabs, std::vector<std::string>{"plan1.jww"});
}

// Another file opened in the base window shows its own tags when the pointer comes, before any
// click.
TEST_F(Follow, AFileOpenedInTheBaseWindowShowsWhenThePointerComes) {
    PutTagFile();
    const auto w = fake().AddWindow("detail.jww - jw_win");
    StartIdle(1000);
    fake().Find(w)->title = "plan1.jww - jw_win";
    jw.PointerOver();
    EXPECT_EQ(strip.tabs, (std::vector<std::string>{"plan1.jww", "Detail"}));
}

}  // namespace
