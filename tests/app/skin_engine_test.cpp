// The skin engine as the program uses it: the real jedata.dll, loaded with
// dlopen and styling a real application.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>

#include <fstream>
#include <string>

#include "skin/exports.h"
#include "tests/app/data_home.h"

using namespace Qt::StringLiterals;

namespace {

struct Engine {
    SkinH_AttachExFn* attach;
    SkinH_AdjustHSVFn* adjustHsv;
    SkinH_AdjustAeroFn* adjustAero;
};

const Engine& LoadedEngine() {
    static const Engine engine = [] {
        void* library = dlopen(VARNOKE_SKIN_ENGINE_FILE, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) return Engine{};
        return Engine{reinterpret_cast<SkinH_AttachExFn*>(dlsym(library, "SkinH_AttachEx")),
                      reinterpret_cast<SkinH_AdjustHSVFn*>(dlsym(library, "SkinH_AdjustHSV")),
                      reinterpret_cast<SkinH_AdjustAeroFn*>(dlsym(library, "SkinH_AdjustAero"))};
    }();
    return engine;
}

class SkinEngineTest : public testing::Test {
   protected:
    void SetUp() override {
        engine_ = LoadedEngine();
        ASSERT_TRUE(engine_.attach && engine_.adjustHsv && engine_.adjustAero);
        engine_.adjustHsv(0, 0, 0);
    }

    // Writes the skin file and attaches it; the engine's result.
    int Attach(const std::string& content) {
        const std::string path = home_.Path() + "/skin.she";
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        return engine_.attach(path.c_str(), "");
    }

    static QColor Role(QPalette::ColorRole role) { return QApplication::palette().color(role); }

    TemporaryDataHome home_;
    Engine engine_{};
};

constexpr char kSkin[] =
    ".SHE 1\n"
    "name    test\n"
    "style   Fusion\n"
    "radius  2\n"
    "colour  face    #F0F0F0\n"
    "colour  accent  #2A7AC0\n"
    "colour  muted   #8C8C8C\n"
    "role    Window  face\n"
    "role    Highlight accent\n"
    "role    Disabled:WindowText muted\n"
    "sheet\n"
    "QPushButton { background: @sheen(face); border-color: @accent; border-radius: @radius; }\n";

TEST_F(SkinEngineTest, AttachAppliesTheStylePaletteAndStyleSheet) {
    ASSERT_EQ(Attach(kSkin), 1);
    EXPECT_EQ(Role(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(Role(QPalette::Highlight), QColor(0x2A, 0x7A, 0xC0));
    EXPECT_EQ(QApplication::palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0x8C, 0x8C, 0x8C));
    EXPECT_NE(QApplication::palette().color(QPalette::Active, QPalette::WindowText), QColor(0x8C, 0x8C, 0x8C));
    engine_.adjustAero(0, 0, 0, 2, 0, 0, 0, 0, 0);
    EXPECT_EQ(qApp->styleSheet(),
              u"QPushButton { background: #f0f0f0; border-color: #2a7ac0; border-radius: 2px; }\n"_s);
    EXPECT_EQ(qApp->property("skinEngine").toString(), u"jedata"_s);
}

TEST_F(SkinEngineTest, RefusedSkinChangesNothing) {
    ASSERT_EQ(Attach(kSkin), 1);
    const QString sheet = qApp->styleSheet();
    const QPalette palette = QApplication::palette();
    const std::string good = kSkin;
    auto with = [&](std::string_view from, std::string_view to) {
        std::string changed = good;
        changed.replace(changed.find(from), from.size(), to);
        return changed;
    };
    const std::string refused[] = {
        "",
        with(".SHE 1", "SHE 1"),
        with(".SHE 1", ".SHE 2"),
        with("name    test", "title   test"),
        with("role    Window  face", "role    Windows face"),
        with("role    Window  face", "role    Window  paper"),
        with("role    Disabled:WindowText", "role    Pressed:WindowText"),
        with("#F0F0F0", "#GGGGGG"),
        with("colour  muted   #8C8C8C", "colour  face    #8C8C8C"),
        with("style   Fusion", "style   NoSuchStyle"),
        with("@accent", "@paper"),
        with("@sheen(face)", "@sheen"),
        with("sheet\n", "sheets\n"),
    };
    for (const std::string& content : refused) {
        SCOPED_TRACE(content);
        EXPECT_EQ(Attach(content), 0);
        EXPECT_EQ(qApp->styleSheet(), sheet);
        EXPECT_EQ(QApplication::palette(), palette);
    }
    EXPECT_EQ(engine_.attach((home_.Path() + "/missing.she").c_str(), ""), 0);
    EXPECT_EQ(engine_.attach(nullptr, nullptr), 0);
    EXPECT_EQ(qApp->styleSheet(), sheet);
}

TEST_F(SkinEngineTest, HueShiftTurnsColoursAndLeavesGreysAlone) {
    ASSERT_EQ(Attach(kSkin), 1);
    const QColor accent = Role(QPalette::Highlight);
    EXPECT_EQ(engine_.adjustHsv(-80, 0, 0), 1);
    const QColor shifted = Role(QPalette::Highlight);
    EXPECT_NEAR(shifted.hsvHue(), accent.hsvHue() - 80, 1);
    EXPECT_NEAR(shifted.hsvSaturation(), accent.hsvSaturation(), 1);
    EXPECT_NEAR(shifted.value(), accent.value(), 1);
    EXPECT_EQ(Role(QPalette::Window), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_TRUE(qApp->styleSheet().contains(shifted.name()));

    // Each adjustment is measured from the skin's own colours.
    engine_.adjustHsv(-80, 0, 0);
    EXPECT_EQ(Role(QPalette::Highlight), shifted);
    engine_.adjustHsv(0, 0, 0);
    EXPECT_EQ(Role(QPalette::Highlight), accent);
    engine_.adjustHsv(500, 0, 0);
    EXPECT_NEAR(Role(QPalette::Highlight).hsvHue(), (accent.hsvHue() + 180) % 360, 1);
    engine_.adjustHsv(0, -100, 0);
    EXPECT_EQ(Role(QPalette::Highlight).hsvSaturation(), 0);
    engine_.adjustHsv(0, 0, -100);
    EXPECT_EQ(Role(QPalette::Highlight), QColor(Qt::black));
    EXPECT_EQ(Role(QPalette::Window), QColor(Qt::black));
}

TEST_F(SkinEngineTest, GlassGlossesButtonsAndRoundsCorners) {
    ASSERT_EQ(Attach(kSkin), 1);
    EXPECT_EQ(engine_.adjustAero(255, 0, 0, 3, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(qApp->styleSheet(), u"QPushButton { background: #ffffff; border-color: #2a7ac0; border-radius: 3px; }\n"_s);
    engine_.adjustAero(210, 0, 0, 50, 0, 0, 0, 0, 0);
    // 0xF0 + (0xFF - 0xF0) * 210 / 255 = 0xFC
    EXPECT_EQ(qApp->styleSheet(), u"QPushButton { background: #fcfcfc; border-color: #2a7ac0; border-radius: 12px; }\n"_s);
}

TEST_F(SkinEngineTest, TheProgramsSkinTurnsFromBlueToGreen) {
    std::ifstream file(VARNOKE_SKIN_FILE, std::ios::binary);
    const std::string win8((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(win8.substr(0, 4), ".SHE");
    ASSERT_EQ(Attach(win8), 1);
    EXPECT_EQ(Role(QPalette::Window), Role(QPalette::Button));
    const int blue = Role(QPalette::Highlight).hsvHue();
    engine_.adjustHsv(-80, 0, 0);
    engine_.adjustAero(210, 0, 0, 3, 0, 0, 0, 0, 0);
    const int green = Role(QPalette::Highlight).hsvHue();
    EXPECT_TRUE(blue >= 190 && blue < 250) << blue;
    EXPECT_TRUE(green >= 100 && green < 160) << green;
    EXPECT_TRUE(qApp->styleSheet().contains(u"border-radius: 3px"_s));
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
